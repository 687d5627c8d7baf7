#include "Profile.h"

#include "Errors.h"
#include "FileWriter.h"
#include "IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

enum class State { Missing, Unreadable, Read };

struct Contents {
    State state = State::Missing;
    QByteArray bytes;
};

Contents load(const QString& fileName)
{
    Contents contents;
    if (fileName.isEmpty())
        return contents;
    const QFileInfo info(fileName);
    if (!info.exists())
        return contents;
    contents.state = State::Unreadable;
    // Only regular files: opening a pipe or a device could block or never end.
    if (!info.isFile() || info.size() > kMaxProfileFileSize)
        return contents;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return contents;
    // The file may grow after the size check; never read more than the bound.
    QByteArray bytes = file.read(kMaxProfileFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxProfileFileSize)
        return contents;
    contents.state = State::Read;
    contents.bytes = std::move(bytes);
    return contents;
}

// The read-only mark of the file itself, which the superuser would otherwise write through.
bool isReadOnly(const QString& fileName)
{
    const QFileInfo info(fileName);
    // (WriteUser is left out: it reports what this user may do, which for the superuser is everything.)
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & writeBits);
}

QString trimTrailingSpaces(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    text.truncate(end);
    return text;
}

} // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state == State::Read) {
        if (std::optional<QString> value = IniFile(contents.bytes).value(section, key))
            return *value;
    }
    return trimTrailingSpaces(defaultValue).left(IniFile::kMaxValueLength);
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state == State::Unreadable)
        return false;
    if (contents.state == State::Read && isReadOnly(fileName))
        return false;
    const QByteArray bytes = IniFile(contents.bytes).withValue(section, key, value);
    if (bytes.size() > kMaxProfileFileSize)
        return false;
    // The new contents go to a temporary file in the same folder that then replaces the old one, so a
    // crash, a full disk or a second copy of the program never leaves a truncated file behind. A file
    // in a folder that cannot be written is still the user's to change: it is rewritten in place.
    return WriteWholeFile(fileName, bytes, WriteFallback::InPlace, nullptr);
}

QStringList ReadSectionValues(const QString& section, const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state != State::Read)
        return {};
    return IniFile(contents.bytes).sectionValues(section);
}

bool SectionExists(const QString& section, const QString& fileName)
{
    const Contents contents = load(fileName);
    return contents.state == State::Read && IniFile(contents.bytes).hasKeys(section);
}

int ReadInteger(const QString& section, const QString& key, int defaultValue, const QString& fileName)
{
    const Contents contents = load(fileName);
    if (contents.state != State::Read)
        return defaultValue;
    const std::optional<QString> text = IniFile(contents.bytes).value(section, key);
    if (!text)
        return defaultValue;
    return ProfileInteger(*text).value_or(defaultValue);
}

bool ReadBool(const QString& section, const QString& key, bool defaultValue, const QString& fileName)
{
    return ReadInteger(section, key, defaultValue ? 1 : 0, fileName) != 0;
}

void WriteString(const QString& section, const QString& key, const QString& value, const QString& fileName)
{
    if (!WritePrivateProfileString(section, key, value, fileName)) {
        const QString path = QFileInfo(fileName).isAbsolute() ? fileName : QFileInfo(fileName).absoluteFilePath();
        throw IniError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
    }
}

void WriteInteger(const QString& section, const QString& key, int value, const QString& fileName)
{
    WriteString(section, key, QString::number(value), fileName);
}

void WriteBool(const QString& section, const QString& key, bool value, const QString& fileName)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"), fileName);
}

} // namespace platform
