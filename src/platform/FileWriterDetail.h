#pragma once
// The parts of the checked writer that a batch of writes (FileBatch) shares with it; not for other callers.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>

namespace platform::detail {

// WriteWholeFile without clearing the target's stale temporary files, which a batch does once per folder.
bool ReplaceWholeFile(const QString& path, const QByteArray& bytes, QString& error);

// A fresh name for a temporary file beside target: its name, a dot and six letters or digits, not all
// small letters, as QSaveFile's are (so that RemoveStaleTemporaryFiles knows them).
QString TemporaryNameFor(const QString& target);

// Removes, with one reading of folder, the temporary files older than kStaleTemporaryFileSeconds that
// belong to a file name for which isOurs is true.
void RemoveStaleTemporaryFiles(const QString& folder, const std::function<bool(QStringView name)>& isOurs);

} // namespace platform::detail
