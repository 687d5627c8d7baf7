#include "Sheet.h"

#include "PageFiller.h"
#include "Pages.h"
#include "ScanWarnings.h"
#include "code39/Code39.h"
#include "render/Typefaces.h"

#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>

namespace labels {

int Sheet::pageCount() const
{
    if (labels.isEmpty())
        return 0;
    return int((barTexts.size() + labels.size() - 1) / labels.size());
}

int Sheet::rowOf(qsizetype label) const
{
    const qsizetype inRun = labelsBefore + label;
    return inRun < start - 1 ? 0 : int((inRun - (start - 1)) / copies + 1);
}

SymbolRules Sheet::rules() const
{
    return {look, barHeightMm, rotation, dpi};
}

Sheet FillSheet(const Stock& stock, const QStringList& rows, const FillOptions& options)
{
    PageFiller filler(stock, options, RowsOf(rows));
    Sheet sheet = filler.rest();
    if (!sheet.labels.isEmpty())
        sheet.data = rows;
    return sheet;
}

SymbolFit FitOf(const Sheet& sheet, const QString& barText)
{
    SymbolFit none;
    none.dpi = sheet.dpi;
    return sheet.fits.value(int(barText.size()), none);
}

QStringList SheetWarnings(const Sheet& sheet)
{
    ScanWarnings warnings;
    warnings.add(sheet);
    return warnings.warnings(sheet);
}

namespace {

void drawLabel(QPainter& painter, const Sheet& sheet, qsizetype label, const DrawOptions& options)
{
    const double scale = sheet.dpi / 72.0;
    const QPointF offset = options.offsetMm * kPointsPerMm * scale;
    const QRectF& rect = sheet.labels[label % sheet.labels.size()];
    if (options.outlines) {
        const QRectF box(rect.topLeft() * scale + offset, rect.size() * scale);
        painter.setPen(QPen(Qt::gray, 0));
        painter.setBrush(Qt::NoBrush);
        if (sheet.stock.shape == LabelShape::Rectangle) {
            painter.drawRect(box);
        } else {
            painter.drawEllipse(box);
            if (sheet.stock.shape == LabelShape::Cd && sheet.stock.hole > 0)
                painter.drawEllipse(box.center(), sheet.stock.hole * scale, sheet.stock.hole * scale);
        }
    }
    if (!options.barCodes || label >= sheet.barTexts.size())
        return;
    const QString& barText = sheet.barTexts[label];
    if (barText.isEmpty())
        return;
    const SymbolFit fit = FitOf(sheet, barText);
    DrawSymbol(painter, PlaceSymbol(sheet.stock, rect, fit, offset), barText, fit, sheet.look.textAbove);
}

// The painter set to draw in the sheet's dots on its device, whatever the device's own resolution.
void ToSheetDots(QPainter& painter, const Sheet& sheet)
{
    const double deviceDpi = painter.device() ? painter.device()->logicalDpiY() : 72;
    const double toDevice = deviceDpi / sheet.dpi;
    painter.scale(toDevice, toDevice);
}

} // namespace

void DrawPage(QPainter& painter, const Sheet& sheet, int page, const DrawOptions& options)
{
    // Page 0 exists even without rows: its outlines are a calibration print.
    if (page < 0 || (page > 0 && page >= sheet.pageCount()) || sheet.labels.isEmpty() || sheet.dpi <= 0)
        return;
    painter.save();
    ToSheetDots(painter, sheet);
    const qsizetype first = qsizetype(page) * sheet.labels.size();
    for (qsizetype i = 0; i < sheet.labels.size(); ++i)
        drawLabel(painter, sheet, first + i, options);
    painter.restore();
}

void DrawLabel(QPainter& painter, const Sheet& sheet, qsizetype label, const DrawOptions& options)
{
    if (label < 0 || sheet.labels.isEmpty() || sheet.dpi <= 0)
        return;
    painter.save();
    ToSheetDots(painter, sheet);
    drawLabel(painter, sheet, label, options);
    painter.restore();
}

bool WritePdf(const Sheet& sheet, const DrawOptions& options, int dpi, QIODevice& out, QString& error)
{
    return WritePdfPages(
        out, sheet.stock, dpi, sheet.pageCount(),
        [&](QPainter& painter, int page) { DrawPage(painter, sheet, page, options); }, error);
}

} // namespace labels
