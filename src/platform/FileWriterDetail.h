#pragma once
// The parts of the checked writer that a batch of writes (FileBatch) and a progressive write
// (PendingFile) share with it; not for other callers.

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringView>

#include <functional>

namespace platform::detail {

// WriteWholeFile without clearing the target's stale temporary files, which a batch does once per folder.
bool ReplaceWholeFile(const QString& path, const QByteArray& bytes, QString& error);

// Syncs an open file's written bytes to disk; false (errno set) when the system reports that they may
// not all be there.
bool SyncFile(QFileDevice& file);

// A fresh name for a temporary file beside target: its name, a dot and six letters or digits, not all
// small letters, as QSaveFile's are (so that RemoveStaleTemporaryFiles knows them).
QString TemporaryNameFor(const QString& target);

// Removes, with one reading of folder, the temporary files older than kStaleTemporaryFileSeconds that
// belong to a file name for which isOurs is true.
void RemoveStaleTemporaryFiles(const QString& folder, const std::function<bool(QStringView name)>& isOurs);

} // namespace platform::detail
