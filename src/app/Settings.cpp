#include "Settings.h"

#include "platform/Desktop.h"
#include "platform/Profile.h"

#include <algorithm>

namespace kelm {

namespace {

enum class Key {
    TipsAtStart,
    TipPosition,
    TipMaximum,
    Count,
    Left,
    Top,
    Type,
    FontSize,
    PointSize,
    Data,
    Checksum,
    FullAscii,
    LabelSize,
    LabelExplain,
};

struct KeySpec {
    Key key;
    const char* section;
    const char* name;
    const char* fallback;
};

constexpr char kTipsSection[] = "TipoftheDay";
constexpr char kSettingsSection[] = "Settings";
constexpr char kSizesSection[] = "Sizes";
constexpr char kTipTextsSection[] = "Tips";

// Every key the program reads or writes, with the value a missing key reads as.
constexpr KeySpec kKeys[] = {
    {Key::TipsAtStart, kTipsSection, "Enabled", "1"},
    {Key::TipPosition, kTipsSection, "Position", "0"},
    {Key::TipMaximum, kTipsSection, "Maximum", "1"},
    {Key::Count, kSettingsSection, "Count", "1"},
    {Key::Left, kSettingsSection, "Left", "0"},
    {Key::Top, kSettingsSection, "Top", "0"},
    {Key::Type, kSettingsSection, "Type", "B"},
    // "D" is the only size letter there is: written for the file's readers, never read.
    {Key::FontSize, kSettingsSection, "FontSize", "D"},
    {Key::PointSize, kSettingsSection, "PointSize", "22"},
    {Key::Data, kSettingsSection, "Data", "ABCD4567"},
    {Key::Checksum, kSettingsSection, "Checksum", "0"},
    {Key::FullAscii, kSettingsSection, "FullASCII", "0"},
    {Key::LabelSize, kSettingsSection, "LabelSize", "4"},
    {Key::LabelExplain, kSettingsSection, "LabelExplain", "1"},
};

const KeySpec& Spec(Key key)
{
    return *std::find_if(std::begin(kKeys), std::end(kKeys), [key](const KeySpec& s) { return s.key == key; });
}

QString Section(Key key)
{
    return QLatin1String(Spec(key).section);
}
QString Name(Key key)
{
    return QLatin1String(Spec(key).name);
}
QString Fallback(Key key)
{
    return QLatin1String(Spec(key).fallback);
}

// What a read of a missing tip returns; a tip stored as exactly this text counts as missing too.
const QString kNoTip = QStringLiteral("XXXX");
const QString kTextBelow = QStringLiteral("B");
const QString kTextAbove = QStringLiteral("A");

} // namespace

QString DataFolderPath()
{
    return platform::DocumentsFolder() + platform::Separator() + QLatin1String(kDataFolderName);
}

QString SettingsFileName(const QString& programPath)
{
    // The name part follows the last separator or drive colon; the extension runs from its last dot.
    qsizetype cut = -1;
    for (QChar sep : {QChar(u'/'), QChar(u'\\'), QChar(u':')})
        cut = std::max(cut, programPath.lastIndexOf(sep));
    QString name = programPath.mid(cut + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name + QStringLiteral("tips.ini");
}

Settings Settings::Defaults(const QPoint& position)
{
    Settings s;
    s.tipsAtStart = Fallback(Key::TipsAtStart).toInt() != 0;
    s.position = position;
    s.textBelow = Fallback(Key::Type) == kTextBelow;
    s.pointSize = Fallback(Key::PointSize);
    s.data = Fallback(Key::Data);
    s.checksum = Fallback(Key::Checksum).toInt() != 0;
    s.fullAscii = Fallback(Key::FullAscii).toInt() != 0;
    s.labelSize = Fallback(Key::LabelSize).toInt();
    s.explainPaste = Fallback(Key::LabelExplain).toInt() != 0;
    return s;
}

SettingsFile SettingsFile::InDataFolder(const QString& fileName)
{
    return SettingsFile(DataFolderPath() + platform::Separator() + fileName);
}

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

bool SettingsFile::fitsPathLimit() const
{
    return platform::FitsPathLimit(m_path);
}

bool SettingsFile::hasTipsSection() const
{
    return platform::SectionExists(QLatin1String(kTipsSection), m_path);
}

bool SettingsFile::hasSettingsSection() const
{
    return platform::SectionExists(QLatin1String(kSettingsSection), m_path);
}

std::optional<QStringList> SettingsFile::labelSizes() const
{
    const QString section = QLatin1String(kSizesSection);
    if (!platform::SectionExists(section, m_path))
        return std::nullopt;
    // The keys are meant to be one digit and "="; the text starts after those two characters.
    QStringList rows;
    for (const QString& line : platform::ReadSectionValues(section, m_path))
        rows.append(line.mid(2));
    return rows;
}

Settings SettingsFile::load() const
{
    const auto text = [this](Key key) {
        return platform::GetPrivateProfileString(Section(key), Name(key), Fallback(key), m_path);
    };
    const auto integer = [this](Key key) {
        return platform::ReadInteger(Section(key), Name(key), Fallback(key).toInt(), m_path);
    };
    const auto flag = [this](Key key) {
        return platform::ReadBool(Section(key), Name(key), Fallback(key).toInt() != 0, m_path);
    };
    Settings s;
    s.tipsAtStart = flag(Key::TipsAtStart);
    s.position = QPoint(integer(Key::Left), integer(Key::Top));
    s.textBelow = text(Key::Type) == kTextBelow;
    s.pointSize = text(Key::PointSize);
    s.data = text(Key::Data);
    s.checksum = flag(Key::Checksum);
    s.fullAscii = flag(Key::FullAscii);
    s.labelSize = integer(Key::LabelSize);
    s.explainPaste = flag(Key::LabelExplain);
    return s;
}

void SettingsFile::writeSettingsSection(const Settings& s) const
{
    // The order is the file's: a key the file lacks is added after the section's last key.
    platform::WriteInteger(Section(Key::Left), Name(Key::Left), s.position.x(), m_path);
    platform::WriteInteger(Section(Key::Top), Name(Key::Top), s.position.y(), m_path);
    platform::WriteString(Section(Key::Type), Name(Key::Type), s.textBelow ? kTextBelow : kTextAbove, m_path);
    platform::WriteString(Section(Key::FontSize), Name(Key::FontSize), Fallback(Key::FontSize), m_path);
    platform::WriteString(Section(Key::PointSize), Name(Key::PointSize), s.pointSize, m_path);
    platform::WriteString(Section(Key::Data), Name(Key::Data), s.data, m_path);
    platform::WriteBool(Section(Key::Checksum), Name(Key::Checksum), s.checksum, m_path);
    platform::WriteBool(Section(Key::FullAscii), Name(Key::FullAscii), s.fullAscii, m_path);
    platform::WriteInteger(Section(Key::LabelSize), Name(Key::LabelSize), s.labelSize, m_path);
    platform::WriteBool(Section(Key::LabelExplain), Name(Key::LabelExplain), s.explainPaste, m_path);
}

void SettingsFile::save(const Settings& settings) const
{
    writeTipsAtStart(settings.tipsAtStart);
    writeSettingsSection(settings);
}

void SettingsFile::writeDefaults(const QPoint& position) const
{
    platform::WriteInteger(Section(Key::Count), Name(Key::Count), Fallback(Key::Count).toInt(), m_path);
    writeSettingsSection(Settings::Defaults(position));
}

void SettingsFile::writeTipsAtStart(bool enabled) const
{
    platform::WriteBool(Section(Key::TipsAtStart), Name(Key::TipsAtStart), enabled, m_path);
}

qint64 SettingsFile::tipPosition() const
{
    return platform::ReadInteger(Section(Key::TipPosition), Name(Key::TipPosition),
                                 Fallback(Key::TipPosition).toInt(), m_path);
}

qint64 SettingsFile::tipMaximum() const
{
    return tipMaximumOr(Fallback(Key::TipMaximum).toInt());
}

qint64 SettingsFile::tipMaximumOr(int fallback) const
{
    return platform::ReadInteger(Section(Key::TipMaximum), Name(Key::TipMaximum), fallback, m_path);
}

std::optional<QString> SettingsFile::tip(qint64 index) const
{
    const QString tip =
        platform::GetPrivateProfileString(QLatin1String(kTipTextsSection), QString::number(index), kNoTip, m_path);
    if (tip == kNoTip)
        return std::nullopt;
    return tip;
}

void SettingsFile::writeTipPosition(qint64 position) const
{
    // Position moves by one or two either way from any 32-bit value the file holds, so it is written
    // wide; a value outside the 32-bit range reads back as the default and restarts the ring.
    platform::WriteString(Section(Key::TipPosition), Name(Key::TipPosition), QString::number(position), m_path);
}

} // namespace kelm
