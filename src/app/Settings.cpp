#include "Settings.h"

#include "labels/Zpl.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "platform/FileWriter.h"
#include "platform/Profile.h"
#include "render/OutputLimits.h"

#include <QFile>

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
    LastStock,
    LastLabelPrinter,
    PdfDpi,
};

struct KeyEntry {
    Key key;
    const char* section;
    const char* name;
    const char* fallback;
};

constexpr char kTipsSection[] = "TipoftheDay";
constexpr char kSettingsSection[] = "Settings";
constexpr char kSizesSection[] = "Sizes";
constexpr char kTipTextsSection[] = "Tips";
constexpr char kUserStocksSection[] = "UserStocks";
constexpr char kPrinterOffsetsSection[] = "PrinterOffsets";
constexpr char kFillSheetSection[] = "FillSheet";
constexpr char kLabelPrintersSection[] = "LabelPrinters";

// Every key the program reads or writes, with the value a missing key reads as.
constexpr KeyEntry kKeys[] = {
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
    {Key::LastStock, kFillSheetSection, "Stock", ""},
    {Key::LastLabelPrinter, kFillSheetSection, "LabelPrinter", ""},
    {Key::PdfDpi, kFillSheetSection, "PdfDpi", "300"},
};

const KeyEntry& Entry(Key key)
{
    return *std::find_if(std::begin(kKeys), std::end(kKeys), [key](const KeyEntry& s) { return s.key == key; });
}

QString Section(Key key)
{
    return QLatin1String(Entry(key).section);
}
QString Name(Key key)
{
    return QLatin1String(Entry(key).name);
}
QString Fallback(Key key)
{
    return QLatin1String(Entry(key).fallback);
}

// What a read of a missing tip returns; a tip stored as exactly this text counts as missing too.
const QString kNoTip = QStringLiteral("XXXX");
const QString kTextBelow = QStringLiteral("B");
const QString kTextAbove = QStringLiteral("A");

// Stock and printer names become keys: the characters that the file's grammar would read otherwise
// ("=" ends a key, ";" and "[" start comments and headers, "%" is the escape itself, line breaks and
// blanks at the ends are lost) and everything outside printable ASCII (the file's code page may not
// hold it) are written as %XX of their UTF-8 bytes.
QString KeyFor(const QString& name)
{
    QString key;
    const QByteArray utf8 = name.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const bool end = i == 0 || i == utf8.size() - 1;
        if (c < 0x20 || c > 0x7E || c == '%' || c == '=' || c == ';' || c == '[' || c == '"' || c == '\'' ||
            (c == ' ' && end))
            key += QStringLiteral("%%1").arg(c, 2, 16, QLatin1Char('0')).toUpper();
        else
            key += QLatin1Char(char(c));
    }
    return key;
}

QString NameFor(const QString& key)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(key.toLatin1()));
}

// The section's keys and values, for "key=value" lines as ReadSectionValues gives them.
// A name no stock or printer has: empty, or holding a control character (a NUL from "%00" among them), which
// would follow the name into every value it is written to.
bool IsUsableName(const QString& name)
{
    return !name.trimmed().isEmpty() && std::none_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
}

QList<std::pair<QString, QString>> KeyValues(const char* section, const QString& path)
{
    QList<std::pair<QString, QString>> pairs;
    for (const QString& line : platform::ReadSectionValues(QLatin1String(section), path)) {
        const qsizetype equals = line.indexOf(u'=');
        if (const QString name = NameFor(line.left(equals)); IsUsableName(name))
            pairs.append({name, line.mid(equals + 1)});
    }
    return pairs;
}

// The section's keys that stand for name as the file spells them: a key may escape a character otherwise
// than KeyFor does ("low%2dcase") or differ in case, and a change must reach it, or the stock comes back.
// KeyFor(name) alone when none does.
QStringList KeysFor(const char* section, const QString& name, const QString& path)
{
    QStringList keys;
    for (const QString& line : platform::ReadSectionValues(QLatin1String(section), path)) {
        const QString key = line.left(line.indexOf(u'='));
        if (NameFor(key).compare(name, Qt::CaseInsensitive) == 0 && !keys.contains(key, Qt::CaseInsensitive))
            keys.append(key);
    }
    return keys.isEmpty() ? QStringList{KeyFor(name)} : keys;
}

QString Millimetres(double value)
{
    return QString::number(value, 'g', 6);
}

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
    // The user's data reads back whole and as typed, however long (see WriteText).
    s.data = platform::ReadText(Section(Key::Data), Name(Key::Data), Fallback(Key::Data), m_path);
    s.checksum = flag(Key::Checksum);
    s.fullAscii = flag(Key::FullAscii);
    s.labelSize = integer(Key::LabelSize);
    s.explainPaste = flag(Key::LabelExplain);
    return s;
}

std::optional<QPoint> SettingsFile::savedPosition() const
{
    if (!hasTipsSection() || !hasSettingsSection())
        return std::nullopt;
    const auto integer = [this](Key key) {
        return platform::ReadInteger(Section(key), Name(key), Fallback(key).toInt(), m_path);
    };
    return QPoint(integer(Key::Left), integer(Key::Top));
}

void SettingsFile::writeSettingsSection(const Settings& s) const
{
    // The order is the file's: a key the file lacks is added after the section's last key.
    platform::WriteInteger(Section(Key::Left), Name(Key::Left), s.position.x(), m_path);
    platform::WriteInteger(Section(Key::Top), Name(Key::Top), s.position.y(), m_path);
    platform::WriteString(Section(Key::Type), Name(Key::Type), s.textBelow ? kTextBelow : kTextAbove, m_path);
    platform::WriteString(Section(Key::FontSize), Name(Key::FontSize), Fallback(Key::FontSize), m_path);
    platform::WriteString(Section(Key::PointSize), Name(Key::PointSize), s.pointSize, m_path);
    platform::WriteText(Section(Key::Data), Name(Key::Data), s.data, m_path);
    platform::WriteBool(Section(Key::Checksum), Name(Key::Checksum), s.checksum, m_path);
    platform::WriteBool(Section(Key::FullAscii), Name(Key::FullAscii), s.fullAscii, m_path);
    platform::WriteInteger(Section(Key::LabelSize), Name(Key::LabelSize), s.labelSize, m_path);
    platform::WriteBool(Section(Key::LabelExplain), Name(Key::LabelExplain), s.explainPaste, m_path);
}

void SettingsFile::save(const Settings& settings) const
{
    // Each key is a rewrite of its own. When one fails (a full disk) after others went in, the file gets
    // its old bytes back, in place where a new file would find no room, so the user's file is either
    // saved whole or left byte for byte.
    QFile file(m_path);
    const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    try {
        writeTipsAtStart(settings.tipsAtStart);
        writeSettingsSection(settings);
    } catch (const platform::IniError&) {
        if (!before.isEmpty() && file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
            const QByteArray now = file.readAll();
            QString putBackError; // the write's own failure is the one reported
            if (now != before)
                platform::RewriteInPlace(file, now, before, putBackError);
        }
        throw;
    }
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

UserStocks SettingsFile::userStocks() const
{
    UserStocks read;
    QStringList seen;
    for (const auto& [name, value] : KeyValues(kUserStocksSection, m_path)) {
        // A removed stock, or a second key of a name already read (the first is the one a read finds).
        if (value.isEmpty() || seen.contains(name, Qt::CaseInsensitive))
            continue;
        seen.append(name);
        labels::UserStockInput input;
        labels::Stock stock;
        QString error;
        if (!labels::ParseUserStockValue(name, value, input, error) ||
            !labels::MakeUserStock(input, stock, error)) {
            read.notes.append(QStringLiteral("Your stock \"%1\" in the settings file was left out: %2.")
                                  .arg(name.left(80), error));
            continue;
        }
        read.stocks.append(input);
    }
    return read;
}

void SettingsFile::writeUserStock(const labels::UserStockInput& stock) const
{
    // The first key is the one a read finds; any later one for the same name is emptied, so it cannot return.
    const QStringList keys = KeysFor(kUserStocksSection, stock.name, m_path);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        platform::WriteString(QLatin1String(kUserStocksSection), keys[i],
                              i == 0 ? labels::UserStockValue(stock) : QString(), m_path);
    }
}

void SettingsFile::removeUserStock(const QString& name) const
{
    for (const QString& key : KeysFor(kUserStocksSection, name, m_path))
        platform::WriteString(QLatin1String(kUserStocksSection), key, QString(), m_path);
}

QList<std::pair<QString, QPointF>> SettingsFile::printerOffsets() const
{
    QList<std::pair<QString, QPointF>> offsets;
    for (const auto& [name, value] : KeyValues(kPrinterOffsetsSection, m_path)) {
        const QStringList fields = value.simplified().split(u' ');
        bool xOk = false, yOk = false;
        const double x = fields.value(0).toDouble(&xOk);
        const double y = fields.value(1).toDouble(&yOk);
        if (fields.size() != 2 || !xOk || !yOk ||
            !(qAbs(x) <= render::kMaxOffsetMm && qAbs(y) <= render::kMaxOffsetMm))
            continue;
        offsets.append({name, QPointF(x, y)});
    }
    return offsets;
}

void SettingsFile::writePrinterOffset(const QString& printerName, const QPointF& offsetMm) const
{
    if (!IsUsableName(printerName))
        return;
    platform::WriteString(QLatin1String(kPrinterOffsetsSection), KeyFor(printerName),
                          Millimetres(offsetMm.x()) + QLatin1Char(' ') + Millimetres(offsetMm.y()), m_path);
}

QList<std::pair<QString, int>> SettingsFile::labelPrinterResolutions() const
{
    QList<std::pair<QString, int>> resolutions;
    for (const auto& [name, value] : KeyValues(kLabelPrintersSection, m_path)) {
        bool ok = false;
        const int dpi = value.trimmed().toInt(&ok);
        if (ok && labels::IsZplResolution(dpi))
            resolutions.append({name, dpi});
    }
    return resolutions;
}

QString SettingsFile::lastLabelPrinter() const
{
    return platform::ReadText(Section(Key::LastLabelPrinter), Name(Key::LastLabelPrinter),
                              Fallback(Key::LastLabelPrinter), m_path);
}

void SettingsFile::writeLabelPrinter(const QString& printerName, int dpi) const
{
    if (!IsUsableName(printerName))
        return;
    platform::WriteString(QLatin1String(kLabelPrintersSection), KeyFor(printerName), QString::number(dpi), m_path);
    if (printerName != lastLabelPrinter())
        platform::WriteText(Section(Key::LastLabelPrinter), Name(Key::LastLabelPrinter), printerName, m_path);
}

QString SettingsFile::lastStock() const
{
    return platform::ReadText(Section(Key::LastStock), Name(Key::LastStock), Fallback(Key::LastStock), m_path);
}

void SettingsFile::writeLastStock(const QString& name) const
{
    platform::WriteText(Section(Key::LastStock), Name(Key::LastStock), name, m_path);
}

int SettingsFile::pdfDpi() const
{
    const int dpi = platform::ReadInteger(Section(Key::PdfDpi), Name(Key::PdfDpi), render::kDefaultDpi, m_path);
    return std::ranges::find(labels::kPdfResolutions, dpi) != std::end(labels::kPdfResolutions)
               ? dpi
               : render::kDefaultDpi;
}

void SettingsFile::writePdfDpi(int dpi) const
{
    platform::WriteText(Section(Key::PdfDpi), Name(Key::PdfDpi), QString::number(dpi), m_path);
}

} // namespace kelm
