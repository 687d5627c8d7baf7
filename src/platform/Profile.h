#pragma once
// Profile (INI) files with the semantics of the Windows profile functions: every call opens the
// file, reads or writes one key and closes it again. Only the parse of the bytes last read is kept,
// and reused only while the file holds exactly those bytes. Each write holds a lock file beside the
// settings file ("<name>.lock"), so that two copies of the program never undo each other's keys; where
// the folder takes no lock file, the file itself is locked while it is rewritten in place.

#include <QString>
#include <QStringList>

namespace platform {

// A settings file larger than this is not read (reads give their defaults) and not written (writes
// fail and leave it alone), so a runaway or wrong file can never make the program allocate without limit.
inline constexpr qint64 kMaxProfileFileSize = 16 * 1024 * 1024;

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                const QString& fileName);
// The user's own text as WriteText stored it: like GetPrivateProfileString, but whole, however long,
// so that text longer than a read's 2,047 characters is never cut and then written back cut.
QString ReadText(const QString& section, const QString& key, const QString& defaultValue, const QString& fileName);
// False when the file cannot be written, or when another copy holds its lock for seconds; the file is
// then left as it was. The file is replaced as a whole (written beside it, then renamed over it), so it
// is never seen half written; in a folder that takes no new files it is rewritten in place, checked.
bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName);
// "key=value" for each key of the section, in file order.
QStringList ReadSectionValues(const QString& section, const QString& fileName);
// True when the section holds at least one key.
bool SectionExists(const QString& section, const QString& fileName);
int ReadInteger(const QString& section, const QString& key, int defaultValue, const QString& fileName);
bool ReadBool(const QString& section, const QString& key, bool defaultValue, const QString& fileName);

// The program's writes: throw IniError "Unable to write to <full path>" when the write fails.
void WriteString(const QString& section, const QString& key, const QString& value, const QString& fileName);
// The user's own text (data, names): outer blanks or outer quotes, which a read drops, are kept by writing
// the text inside a further pair of quotes, so that it reads back as typed.
void WriteText(const QString& section, const QString& key, const QString& text, const QString& fileName);
void WriteInteger(const QString& section, const QString& key, int value, const QString& fileName);
void WriteBool(const QString& section, const QString& key, bool value, const QString& fileName);

} // namespace platform
