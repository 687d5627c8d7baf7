#pragma once
// File names the program makes up itself, from data or for a document it offers to write: safe on any file
// system, and never the name of a file that is already there.

#include <QString>

namespace platform {

// How a name's length is counted: in UTF-16 units (what a Windows name is limited in) or in UTF-8 bytes
// (what a file name is limited in here, 255 bytes).
enum class NameLength { Utf16Units, Utf8Bytes };

// The name made safe as part of a file name: separators, the characters Windows forbids, control characters,
// U+FFFD (where invalid UTF-8 was read) and a dot that would start a hidden name or a ".." become '_'; cut to
// maxLength (counted as unit says) without splitting a character. Empty when name is.
QString SafeFileNamePart(const QString& name, qsizetype maxLength, NameLength unit);

// wanted when no file or link has its name, else the first free "<stem> (n).<suffix>" beside it (a "(n)"
// the stem already ends in is replaced); empty when thousands are taken. Saves never replace a file the
// user did not choose.
QString FreeFileName(const QString& wanted);

// A free name (as FreeFileName gives) for fileName in folder, the folder made when missing (a file dialog
// refuses a folder that does not exist); empty when none is free.
QString FreeFileNameIn(const QString& folder, const QString& fileName);

} // namespace platform
