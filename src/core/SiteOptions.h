#pragma once

#include "core/PageSelector.h"
#include "core/UnknownXml.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>

// The version of the text taken from a page: raised whenever the extraction gives other text for the same
// bytes, so every stored text fingerprint made by an older one is taken again, silently.
inline constexpr int kTextVersion = 2;

// A site's ignore rules are matched against every line of its page: these bound the work a list file can ask.
inline constexpr int kMaxIgnoreRules = 100;
inline constexpr int kMaxRuleLength = 1000;

// How one site is judged when its body changed: the whole body (the default), or the text read from it,
// with the site's own rules for what is noise.
struct SiteOptions {
    bool textMode = false; // judge the page by its text, not by its bytes
    bool noDigits = false; // digits are taken out of the text first (counters, dates)
    QStringList ignore;    // regular expressions; a line matching any of them is left out
    QString start;         // the text is kept from the first line containing this, when set
    QString end;           // up to the first later line containing this, when set
    QString selector;      // when set, the text is that of the elements it matches
    SelectorKind selectorKind = SelectorKind::XPath;
    std::optional<qint32> textCrc; // the text fingerprint of the last check; none before the first
    int version = kTextVersion;    // the extraction that made textCrc
    UnknownXml unknown{};          // what a later version wrote in the options, kept as read

    bool operator==(const SiteOptions&) const = default;

    // Default options are not written to the list file, so a list that uses none stays as it always was.
    bool isDefault() const {
        return !textMode && !noDigits && ignore.isEmpty() && start.isEmpty() && end.isEmpty() &&
               selector.isEmpty() && !textCrc && unknown.isEmpty();
    }
    // The rules that decide what the text is; the stored fingerprint and its version are not among them.
    bool sameRules(const SiteOptions& o) const {
        return textMode == o.textMode && noDigits == o.noDigits && ignore == o.ignore && start == o.start &&
               end == o.end && selector == o.selector && (selector.isEmpty() || selectorKind == o.selectorKind);
    }
    // A stored text fingerprint made by this extraction, to compare the next text with.
    bool hasBaseline() const { return textCrc.has_value() && version == kTextVersion; }
};
