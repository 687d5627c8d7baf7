#pragma once
// The one way the program replaces a file on disk. Every write is checked to the last byte before the
// old file is given up, because a full disk or a file-size limit must never empty a file that held data.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace platform {

// What to do when no temporary file can be made beside the target (a read-only folder).
enum class WriteFallback {
    None,    // fail
    InPlace, // rewrite an existing writable file in place, checked; on failure its old bytes are put back
};

// Replaces the whole file at path with bytes: written to a temporary file beside it, flushed and checked,
// then renamed over it. Returns false, with a one-line reason in error, when anything
// fails; the old file is then left byte for byte. Refuses a path that exists and is not a regular file
// (a symlink to a regular file is written through, the link kept).
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString& error);
bool WriteWholeFile(const QString& path, const QByteArray& bytes, WriteFallback fallback, QString& error);

// Rewrites a file opened unbuffered for reading and writing, whose present content is old, to hold bytes:
// one write from the start, then cut to size, checked. On failure old is written back and false returned
// with the reason. For a caller that holds the file open (and locked) from its read to its write.
bool RewriteInPlace(QFile& file, const QByteArray& old, const QByteArray& bytes, QString& error);

// Temporary files ("<name>.XXXXXX") that a killed writer may leave beside a file are removed by the next
// successful write once they are older than this.
inline constexpr int kStaleTemporaryFileSeconds = 60;

} // namespace platform
