#pragma once

#include "core/SiteOptions.h"
#include "core/StoredCrc.h"

#include <QString>
#include <QtGlobal>

#include <memory>

// A site's options as its entry holds them: shared with the entry's copies until one of them is edited, and
// none at all for the default options of most sites, so that a long list is small to copy, move and sort.
class SharedOptions {
public:
    SharedOptions() = default;
    explicit SharedOptions(const SiteOptions& options) { *this = options; }
    SharedOptions& operator=(const SiteOptions& options) {
        m_d = options == defaults() ? nullptr : std::make_shared<SiteOptions>(options);
        return *this;
    }

    const SiteOptions& operator*() const { return m_d ? *m_d : defaults(); }
    const SiteOptions* operator->() const { return &**this; }
    operator const SiteOptions&() const { return **this; }
    // The options to change: from now on this entry's own.
    SiteOptions& edit() {
        if (!m_d)
            m_d = std::make_shared<SiteOptions>();
        else if (m_d.use_count() > 1)
            m_d = std::make_shared<SiteOptions>(*m_d);
        return *m_d;
    }

    // The default options, never edited: as an entry read without options holds them.
    bool unset() const { return !m_d; }

    bool operator==(const SharedOptions& o) const { return m_d == o.m_d || **this == *o; }
    bool operator==(const SiteOptions& o) const { return **this == o; }

private:
    static const SiteOptions& defaults() {
        static const SiteOptions kDefaults;
        return kDefaults;
    }

    std::shared_ptr<SiteOptions> m_d; // null: the default options
};

// One watched page: what a row of the site list shows and what the list file keeps.
struct SiteEntry {
    QString url;
    QString res;       // result marker of the latest check, one of the ResultMarker texts
    StoredCrc crc;     // page fingerprint of the latest check
    QString rdatetime; // local date and time of the last successful check, as text
    QString descrizione;
    QString nick;
    QString key;             // identity within the list; fixed at creation
    SharedOptions options{}; // how a change is judged; default for most sites
    UnknownXml unknown{};    // what a later version wrote in the record, kept as read
    bool ticked = false;
    quint64 id = 0; // identity of this entry for the program's lifetime, given by SiteList

    bool operator==(const SiteEntry&) const = default;
};

// The five texts of the RES column.
namespace ResultMarker {
inline const QString kNone;
inline const QString kBusy = QStringLiteral(" ......");
inline const QString kEqual = QStringLiteral("   =");
inline const QString kChanged = QStringLiteral("  <>");
inline const QString kTimeout = QStringLiteral("   ?");
} // namespace ResultMarker

// Keys compare without regard to letter case: this is the form two keys are compared in.
inline QString keyIdentity(const QString& key) {
    // An ASCII key, the usual one, folds by its capital letters alone: no trip through the Unicode tables.
    bool capitals = false;
    for (const QChar c : key) {
        if (c.unicode() >= 0x80)
            return key.toCaseFolded();
        capitals = capitals || (c >= u'A' && c <= u'Z');
    }
    if (!capitals)
        return key;
    QString folded = key;
    for (QChar& c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return folded;
}
