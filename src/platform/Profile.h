#pragma once
// Profile (INI) files with the semantics of the Windows profile functions: every call opens the
// file, reads or writes one key and closes it again; nothing is cached.

#include <QString>
#include <QStringList>

namespace platform {

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                const QString& fileName);
// False when the file cannot be written; the file is then left as it was.
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
void WriteInteger(const QString& section, const QString& key, int value, const QString& fileName);
void WriteBool(const QString& section, const QString& key, bool value, const QString& fileName);

} // namespace platform
