#pragma once

#include "core/Outcome.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What a write does when the file's name is a symbolic link: the user's own files (a list file) are written
// where the link points; files the program owns (history) get the link itself replaced, its target untouched.
enum class LinkPolicy { FollowLink, ReplaceLink };

// Whether commit() puts the new file in place of an old one, or only where the name is free (a file that
// appeared meanwhile is then left as it is, and the commit fails).
enum class CommitPolicy { Replace, OnlyIfAbsent };

// Replaces a file all or nothing: the bytes go to a temporary file beside it, unbuffered so that every write
// error (a full disk, a quota, EFBIG) is seen where it happens, then to disk (fsync), and only then is the
// temporary file renamed over the old one and the folder flushed. Until commit() the old file is untouched;
// a failed or abandoned write leaves it byte-identical and removes the temporary file.
class AtomicFile {
public:
    explicit AtomicFile(QString path, LinkPolicy links = LinkPolicy::FollowLink);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool open();
    bool write(QByteArrayView bytes);
    bool commit(CommitPolicy how = CommitPolicy::Replace);
    // Why the last step failed, for the user; empty while nothing failed.
    const QString& errorString() const { return m_error; }

private:
    bool fail(const QString& what);
    void discard();

    QString m_path;
    QString m_target; // m_path, or where its link points
    QString m_temporary;
    LinkPolicy m_links;
    int m_fd = -1;
    bool m_failed = false;
    QString m_error;
};

// The whole file at once, through AtomicFile; a failure carries the reason (errno text) for the caller to show.
Outcome writeFileAtomically(const QString& path, QByteArrayView data, LinkPolicy links = LinkPolicy::FollowLink,
                            CommitPolicy how = CommitPolicy::Replace);
