#pragma once
// Files as tests prepare and read them back.

#include <QByteArray>
#include <QString>

namespace support {

// The whole file; empty when it cannot be read.
QByteArray ReadFile(const QString& path);

// Writes the bytes as the whole file, replacing what it held; false when it cannot.
bool WriteFile(const QString& path, const QByteArray& bytes);

// "png", "svg" or "pdf" as the bytes begin (an SVG: XML with an <svg element), whatever the file is
// called; "unknown" for anything else.
QString PictureKind(const QByteArray& bytes);

// True when this process runs as the superuser, whom file permissions do not stop.
bool RunningAsRoot();

// Sets or clears the immutable attribute (chattr), which stops even the superuser; false when chattr is
// not available or fails.
bool SetImmutable(const QString& path, bool on);

// Lets nobody add files to the folder (locked), or lets its owner again: by its permissions, or for the
// superuser by the immutable attribute; false when that fails.
bool LockFolder(const QString& folder, bool locked);

} // namespace support
