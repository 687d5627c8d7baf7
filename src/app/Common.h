#pragma once
// File names the windows offer: a safe part made from the user's data and a free name beside a taken one.

#include <QString>

namespace kelm {

// The name made safe as part of a file name: separators, the characters Windows forbids, control characters
// and a dot that would start a hidden name or a ".." become '_'; cut to maxLength UTF-16 units without
// splitting a character. Empty when name is.
QString SafeFileNamePart(const QString& name, qsizetype maxLength = 60);

// wanted when no file or link has its name, else the first free "<stem> (n).<suffix>" beside it (a
// "(n)" the stem already ends in is replaced); empty when thousands are taken. Saves never replace a file
// the user did not choose.
QString FreeFileName(const QString& wanted);

} // namespace kelm
