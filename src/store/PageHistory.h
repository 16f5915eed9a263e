#pragma once

#include "core/PageArchive.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// One stored version of a page's text.
struct PageVersion {
    QDateTime checked;  // when the check that found it ran
    qint32 bodyCrc = 0; // fingerprint of the body the text was read from
    QString text;
    bool truncated = false; // cut to fit the size cap of one version
};

// The history of page texts, kept compressed in one file per URL under a folder of the user's data: the
// last versions of each page, each at most 1 MiB compressed. Files are written atomically; a damaged file
// reads as no history and is replaced by the next version recorded. Thread-safe.
class PageHistory : public PageArchive {
public:
    static constexpr int kDefaultVersions = 10;
    static constexpr qint64 kMaxVersionBytes = 1024 * 1024; // compressed
    static constexpr int kPruneDays = 30;

    explicit PageHistory(const QString& folder, int maxVersions = kDefaultVersions);
    ~PageHistory() override;

    // The user's history folder, shared by every program of the suite: ~/.local/share/Quovel/history.
    static QString defaultFolder();
    QString folder() const;
    void setMaxVersions(int versions); // at least 1

    void record(const QString& url, const QString& text, const QDateTime& when, qint32 bodyCrc) override;
    void noteChecked(const QStringList& urls, const QDateTime& when) override;

    // The stored versions of url's page, oldest first; none when there is no history or it is damaged.
    std::vector<PageVersion> versions(const QString& url) const;
    // The newest stored version, when there is one.
    std::optional<PageVersion> latest(const QString& url) const;
    // Removes the history of every page not checked since `days` days before now; returns how many went.
    int prune(const QDateTime& now, int days = kPruneDays);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
