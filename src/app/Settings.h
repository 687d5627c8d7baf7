#pragma once
// The settings file: where it lives, how each key is spelled and what it defaults to, and the values
// the windows show. Every read and write goes to the file at once (nothing is cached), as the profile
// functions underneath do.

#include "labels/UserStock.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

namespace kelm {

// The folder in the documents folder that holds the settings file and the label templates.
inline constexpr char kDataFolderName[] = "Zovod";
// The data folder: the documents folder + separator + "Zovod", without a trailing separator. Asked
// afresh at every call.
QString DataFolderPath();
// The settings file's name for a program: its base name without extension + "tips.ini"
// ("/opt/kelm/bin/kelm" -> "kelmtips.ini").
QString SettingsFileName(const QString& programPath);

// The user's own label stocks as the settings file holds them, and a line for each one left out.
struct UserStocks {
    QList<labels::UserStockInput> stocks;
    QStringList notes;
};

// What the main window and the label dialog show, as stored under [Settings] and
// TipoftheDay/Enabled. The defaults are the file's defaults.
struct Settings {
    bool tipsAtStart = true;
    QPoint position;       // the main window's frame, top-left corner
    bool textBelow = true; // Type: "B" is text below, anything else text above (saved as "A")
    QString pointSize;     // as typed, not checked
    QString data;
    bool checksum = false;
    bool fullAscii = false;
    int labelSize = 0; // the label list's row; -1 for none
    bool explainPaste = true;

    // The values a first run records.
    static Settings Defaults(const QPoint& position);
};

class SettingsFile {
public:
    // The file of that name in the data folder as it is now.
    static SettingsFile InDataFolder(const QString& fileName);
    explicit SettingsFile(QString path);

    const QString& path() const { return m_path; }
    // False when the path reaches the platform's limit: it could only be used cut short, which would
    // name another file.
    bool fitsPathLimit() const;

    // True when [TipoftheDay] holds a key (a file without it counts as missing).
    bool hasTipsSection() const;
    // True when [Settings] holds a key (without it this is the first run after installation).
    bool hasSettingsSection() const;
    // The label list from [Sizes]: each line without its first two characters; nothing when the
    // section holds no key.
    std::optional<QStringList> labelSizes() const;

    Settings load() const;
    // Where the main window's frame was saved: what load() gives when the window applies it (the file
    // has both its tips and its settings section), else nothing.
    std::optional<QPoint> savedPosition() const;
    // Writes TipoftheDay/Enabled, then every [Settings] key but Count. Throws platform::IniError.
    void save(const Settings& settings) const;
    // The first run: Count=1, then every [Settings] key with its default. Throws platform::IniError.
    void writeDefaults(const QPoint& position) const;
    // Throws platform::IniError.
    void writeTipsAtStart(bool enabled) const;

    // The tip ring: Position is the index of the tip to show next, Maximum the index of the last tip.
    qint64 tipPosition() const;
    qint64 tipMaximum() const;
    // Maximum with another value for a missing or unreadable key (the step back counts from 0).
    qint64 tipMaximumOr(int fallback) const;
    // The tip stored under the index; nothing when there is none or it is stored as "XXXX".
    std::optional<QString> tip(qint64 index) const;
    // Throws platform::IniError.
    void writeTipPosition(qint64 position) const;

    // ---- The Fill a Sheet window: sections of their own, written only when the window changes them --
    // The user's stocks, in file order; a value that does not make a stock is left out with a note.
    UserStocks userStocks() const;
    // Adds the stock or replaces the one of that name (names match without regard to case).
    // Throws platform::IniError.
    void writeUserStock(const labels::UserStockInput& stock) const;
    // The profile functions cannot take a key out: the key stays with an empty value, which reads as
    // no stock. Throws platform::IniError.
    void removeUserStock(const QString& name) const;
    // Millimetres right and down per printer name, in file order; a value that is not two numbers
    // within the window's range is left out.
    QList<std::pair<QString, QPointF>> printerOffsets() const;
    // Throws platform::IniError.
    void writePrinterOffset(const QString& printerName, const QPointF& offsetMm) const;
    // The resolution of each label printer (a print queue's name), in file order; a value that is not a
    // label printer's resolution (labels::kZplResolutions) is left out.
    QList<std::pair<QString, int>> labelPrinterResolutions() const;
    // The label printer last sent to; empty for none.
    QString lastLabelPrinter() const;
    // Keeps the printer's resolution and makes it the last one sent to. Throws platform::IniError.
    void writeLabelPrinter(const QString& printerName, int dpi) const;
    // The stock last chosen in the Fill a Sheet window ("Avery 5160"); empty for none.
    QString lastStock() const;
    // Throws platform::IniError.
    void writeLastStock(const QString& name) const;
    // The resolution last chosen for a PDF of labels; the default for a value that is not one of
    // labels::kPdfResolutions.
    int pdfDpi() const;
    // Throws platform::IniError.
    void writePdfDpi(int dpi) const;

private:
    void writeSettingsSection(const Settings& settings) const;

    QString m_path;
};

} // namespace kelm
