#pragma once

#include "core/PageArchive.h"
#include "store/Setting.h"

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

// What a history file holds, as `quovel-check --history` lists it: the versions without their texts.
struct HistoryListing {
    struct Version {
        QDateTime checked;
        qint32 bodyCrc = 0;
        qint64 textBytes = 0; // UTF-8
        bool truncated = false;
    };
    bool found = false;            // there is a history file for the page
    bool damaged = false;          // some of it could not be read: those versions are dropped at the next write
    bool newer = false;            // written by a newer version of the program, which alone reads and writes it
    int held = 0;                  // versions the file says it holds
    std::vector<Version> versions; // the intact ones, oldest first
};

// The history of page texts, kept compressed in one file per URL under a folder of the user's data: the
// last versions of each page, each at most 1 MiB compressed. A file is replaced whole (never written through
// a link), under a lock file beside it, so that two processes recording one page lose nothing (a first version
// is made without it, only where no file is); a write that fails leaves it as it was. Only the damaged versions of
// a damaged file are lost. Thread-safe.
class PageHistory : public PageArchive {
public:
    static constexpr int kDefaultVersions = int(Settings::kHistoryVersions.defaultValue);
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

    // The intact stored versions of url's page, oldest first.
    std::vector<PageVersion> versions(const QString& url) const;
    // The newest stored version, when there is one.
    std::optional<PageVersion> latest(const QString& url) const;
    HistoryListing listing(const QString& url) const;
    // Removes the history of every page not checked since `days` days before now; returns how many went.
    int prune(const QDateTime& now, int days = kPruneDays);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
