#include "SampleSheet.h"

#include "Vendor.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <iterator>

namespace kelm {

namespace {

const QString kTextFamily = QStringLiteral("Arial");
// The font the measures are taken from; nothing is printed in it.
constexpr int kMeasureFontSize = 12;

const char* const kNotes[] = {
    "Decoding of a checksum is an optional function of your bar code reader. Your reader must",
    "have its optional checksum feature enabled or the checksum will simply be read as data.",
    "Full ASCII decoding is an optional function of your bar code reader. Your reader must have",
    "this option enabled if you want to read any characters other than A-Z, 0-9, or the 7 special",
    "characters that are part of the bar code 3 of 9 character set. Control characters may only be",
    "used when both our program and your reader have Full ASCII mode enabled.",
};
// The line each note stands on; a blank line separates the checksum note from the Full ASCII one.
constexpr int kNoteLines[] = {11, 12, 14, 15, 16, 17};

// number * numerator / denominator rounded to the nearest whole number, halves away from zero,
// without overflow in the product.
int MulDiv(int number, int numerator, int denominator)
{
    const qint64 product = qint64(number) * numerator;
    const qint64 half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

const QString kSheetName = QStringLiteral("Sample sheet");
const QString kSheetJob = QStringLiteral("the sample sheet"); // as a message names it

} // namespace

SheetMeasures MeasureSheet(int dpiX, int dpiY)
{
    SheetMeasures m;
    m.H = MulDiv(kMeasureFontSize, dpiY, 72);
    m.U = dpiX / 10;
    // The largest whole number strictly below 6H/5, in integers: floating point would give 120 for
    // H = 100, where the sheet wants 119.
    m.L = (6 * m.H - 1) / 5;
    return m;
}

QList<SheetLine> SampleSheetLines(int dpiX, int dpiY, const SampleSheetContent& content)
{
    const SheetMeasures m = MeasureSheet(dpiX, dpiY);
    const int textX = 5 * m.U;
    const int barCodeX = 15 * m.U;
    QList<SheetLine> lines;
    auto text = [&](int pointSize, int lineNo, const QString& s) {
        lines.append({kTextFamily, pointSize, textX, lineNo * m.L, s});
    };

    text(24, 2, QString::fromUtf8(kCompanyName));
    text(14, 4, VendorAddressLine());
    text(12, 5, VendorPhoneFaxLine());
    text(12, 6, QString::fromUtf8(kWebAddress));
    for (int i = 0; i < int(std::size(kNotes)); ++i)
        text(12, kNoteLines[i], QString::fromUtf8(kNotes[i]));

    text(12, 19, QStringLiteral("Kelmcode data: ") + content.data);
    text(12, 20, QStringLiteral("Font name: ") + content.fontName);
    int n = 21;
    if (content.checksum)
        text(12, n++, QStringLiteral("Includes checksum"));
    if (content.fullAscii)
        text(12, n++, QStringLiteral("Full ASCII encoding"));
    ++n;

    // The gaps grow with the size, leaving room for the taller bar codes.
    for (int k = 0; k < 6; ++k) {
        const int size = 16 + 4 * k;
        text(10, n, QStringLiteral("%1 points:").arg(size));
        lines.append({content.fontName, size, barCodeX, n * m.L, content.barCode});
        n += 3 + k / 2;
    }
    return lines;
}

void DrawSampleSheet(QPainter& painter, int dpiX, int dpiY, const SampleSheetContent& content)
{
    for (const SheetLine& line : SampleSheetLines(dpiX, dpiY, content)) {
        QFont font;
        font.setFamilies({line.family});
        font.setPointSize(line.pointSize);
        painter.setFont(font);
        // Placed by the top of the text, so the baseline goes one ascent below. The painter's own
        // metrics measure at the device's resolution.
        painter.drawText(QPoint(line.x, line.y + painter.fontMetrics().ascent()), line.text);
    }
}

bool PrintSampleSheet(QWidget* parent, const SampleSheetContent& content, PrintTargetMemory& memory)
{
    PrintTarget target({kSheetName, false, std::nullopt}, &memory);
    // A printing problem is the toolkit's error here: it goes to the standard error box.
    const PrintOutcome chosen = target.choose(parent);
    if (chosen == PrintOutcome::Cancelled)
        return false;
    if (chosen != PrintOutcome::Printed)
        throw platform::PrinterError(target.problem(chosen, kSheetJob));
    const PrintOutcome printed = target.print(1, [&](QPainter& painter, int) {
        DrawSampleSheet(painter, painter.device()->logicalDpiX(), painter.device()->logicalDpiY(), content);
    });
    if (printed != PrintOutcome::Printed)
        throw platform::PrinterError(target.problem(printed, kSheetJob));
    return true;
}

} // namespace kelm
