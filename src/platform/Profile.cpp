// Placeholder until the profile reader and writer land: reads give defaults, writes fail.
#include "Profile.h"

#include "Errors.h"

namespace platform {

QString GetPrivateProfileString(const QString&, const QString&, const QString& defaultValue, const QString&)
{
    return defaultValue;
}
bool WritePrivateProfileString(const QString&, const QString&, const QString&, const QString&)
{
    return false;
}
QStringList ReadSectionValues(const QString&, const QString&)
{
    return {};
}
bool SectionExists(const QString&, const QString&)
{
    return false;
}
int ReadInteger(const QString&, const QString&, int defaultValue, const QString&)
{
    return defaultValue;
}
bool ReadBool(const QString&, const QString&, bool defaultValue, const QString&)
{
    return defaultValue;
}
void WriteString(const QString&, const QString&, const QString&, const QString& fileName)
{
    throw IniError(QStringLiteral("Unable to write to %1").arg(fileName));
}
void WriteInteger(const QString& s, const QString& k, int v, const QString& f)
{
    WriteString(s, k, QString::number(v), f);
}
void WriteBool(const QString& s, const QString& k, bool v, const QString& f)
{
    WriteString(s, k, v ? "1" : "0", f);
}

} // namespace platform
