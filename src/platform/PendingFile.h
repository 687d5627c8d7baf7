#pragma once
// A file written progressively, through a QIODevice, that replaces the one at its path only when all of
// it is written: the checked writer (WriteWholeFile) for output too large to hold in memory, such as a
// PDF of many pages. The bytes go to a temporary file beside the target; commit() flushes, syncs and
// checks it and renames it over the target. A write that fails, or is never committed, leaves the old
// file byte for byte and no temporary file.

#include "FileWriter.h"

#include <QBuffer>
#include <QIODevice>
#include <QSaveFile>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

class PendingFile;

namespace detail {
// commit() without clearing the stale temporary files, for a batch that clears them once per folder: the
// file written (links resolved), or nothing.
std::optional<QString> CommitKeepingLeftovers(PendingFile& file, QString& error);
} // namespace detail

class PendingFile {
public:
    // Nothing is touched before open().
    explicit PendingFile(const QString& path, WriteFallback fallback = WriteFallback::None);
    // An uncommitted write is discarded.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Starts the write. False, with a one-line reason in error, when the path names no regular file (a
    // symlink to one is written through, the link kept) or no temporary file can be made beside it.
    bool open(QString& error);

    // Where the content goes, from open() to commit(); its failures are remembered and fail the commit.
    QIODevice& device();

    // Puts everything written in place of the old file. False with the reason when any of it failed: the
    // old file is then left byte for byte. Either way the write is over.
    bool commit(QString& error);

private:
    friend std::optional<QString> detail::CommitKeepingLeftovers(PendingFile& file, QString& error);

    std::optional<QString> commitTarget(QString& error);

    const QString m_path;
    const WriteFallback m_fallback;
    QString m_target; // m_path with its links resolved
    QSaveFile m_file;
    // With the in-place fallback, the content is held here and written over the old file at the end.
    std::optional<QBuffer> m_inPlace;
    // What device() hands out: m_file or m_inPlace, with every short write remembered.
    std::unique_ptr<QIODevice> m_checked;
};

} // namespace platform
