#include "Sheet.h"

#include "Pages.h"
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

namespace {

QString Millimetres(double dots, int dpi)
{
    return QString::number(DotsToMm(dots, dpi), 'f', 2);
}

// "row 4", "rows 1-3, 7", "rows 1-3, 7, 9-12 and 5 more": the rows of a warning, in order, each once.
QString RowsText(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    constexpr int kRangesShown = 4;
    QStringList ranges;
    qsizetype i = 0, shown = 0;
    while (i < rows.size() && ranges.size() < kRangesShown) {
        qsizetype j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        ranges.append(i == j ? QString::number(rows[i]) : QStringLiteral("%1-%2").arg(rows[i]).arg(rows[j]));
        shown = j + 1;
        i = j + 1;
    }
    QString text =
        (rows.size() == 1 ? QStringLiteral("row ") : QStringLiteral("rows ")) + ranges.join(QStringLiteral(", "));
    if (shown < rows.size())
        text += QStringLiteral(" and %L1 more").arg(rows.size() - shown);
    return text;
}

SymbolRules RulesOf(const Sheet& sheet)
{
    return {sheet.look, sheet.barHeightMm, sheet.rotation, sheet.dpi};
}

// The longest bar text (start and stop included) whose symbol scans on the sheet's labels; 0 when none.
int LongestThatScans(const Sheet& sheet, const SymbolRules& rules, int characters)
{
    int longest = 0;
    for (int n = 3; n < characters; ++n) {
        const SymbolFit fit = FitSymbol(sheet.stock, n, rules);
        if (fit.module == 0 || !fit.moduleScans() || !fit.barsScan())
            break;
        longest = n;
    }
    return longest;
}

// Why a bar text of characters leaves its label blank, and how long one may be.
QString TooLong(const Sheet& sheet, int characters)
{
    const int longest = LongestThatScans(sheet, RulesOf(sheet), characters);
    const QString tooLong = QStringLiteral("the bar code is too long to fit the label");
    if (longest > 2)
        return tooLong + QStringLiteral(" (at most %1 characters of data scan on it at %2 dpi)")
                             .arg(longest - 2)
                             .arg(sheet.dpi);
    return tooLong + QStringLiteral(" (no bar code scans on it at %1 dpi)").arg(sheet.dpi);
}

// What would make a symbol of this length scan: fewer characters, a higher resolution, a larger label.
QString WouldScan(const Sheet& sheet, const SymbolFit& fit, bool moduleRule)
{
    SymbolRules rules = RulesOf(sheet);
    QStringList ways;
    if (const int longest = LongestThatScans(sheet, rules, fit.characters); longest > 2)
        ways.append(QStringLiteral("at most %1 characters of data on these labels").arg(longest - 2));
    if (moduleRule) {
        for (const int dpi : {300, 600, 1200}) {
            if (dpi <= sheet.dpi)
                continue;
            rules.dpi = dpi;
            const SymbolFit finer = FitSymbol(sheet.stock, fit.characters, rules);
            if (finer.module > 0 && finer.moduleScans()) {
                ways.append(QStringLiteral("a printer of %1 dpi").arg(dpi));
                break;
            }
        }
    }
    const QString least = Millimetres(fit.leastBarHeight(), fit.dpi);
    // Bars as short as asked, on a label that holds more, need only a taller bar height.
    const bool asked = sheet.barHeightMm > 0 && fit.barHeight >= qRound(sheet.barHeightMm / 25.4 * fit.dpi);
    if (moduleRule)
        ways.append(QStringLiteral("a larger label"));
    else if (asked)
        ways.append(QStringLiteral("a bar height of at least %1 mm").arg(least));
    else
        ways.append(QStringLiteral("a label with room for bars of %1 mm").arg(least));
    return QStringLiteral("It would scan with ") + ways.join(QStringLiteral(", or ")) + u'.';
}

// The warning for the symbols of one length, or an empty text when they scan.
QString SymbolWarning(const Sheet& sheet, const SymbolFit& fit, const QList<int>& rows)
{
    const QString what = QStringLiteral("The bar codes of %1 (%2 characters with start and stop)")
                             .arg(RowsText(rows))
                             .arg(fit.characters);
    if (!fit.moduleScans()) {
        return QStringLiteral("%1 will not scan: their narrow bars are %2 printer dot%3 (%4 mm) at %5 dpi; Code "
                              "39 needs at least %6 dots and %7 mm. %8")
            .arg(what)
            .arg(fit.module)
            .arg(fit.module == 1 ? QString() : QStringLiteral("s"))
            .arg(Millimetres(fit.module, fit.dpi))
            .arg(fit.dpi)
            .arg(kLeastModuleDots)
            .arg(kLeastModuleMm)
            .arg(WouldScan(sheet, fit, true));
    }
    if (!fit.barsScan()) {
        return QStringLiteral("%1 may not scan: their bars are %2 mm high; Code 39 needs at least %3 mm, or "
                              "%4 % of the symbol's length where that is more (here %5 mm). %6")
            .arg(what)
            .arg(Millimetres(fit.barHeight, fit.dpi))
            .arg(kLeastBarHeightMm)
            .arg(kLeastBarHeightShare * 100)
            .arg(Millimetres(fit.leastBarHeight(), fit.dpi))
            .arg(WouldScan(sheet, fit, false));
    }
    return {};
}

} // namespace

int Sheet::pageCount() const
{
    if (labels.isEmpty())
        return 0;
    return int((barTexts.size() + labels.size() - 1) / labels.size());
}

int Sheet::rowOf(qsizetype label) const
{
    return label < start - 1 ? 0 : int((label - (start - 1)) / copies + 1);
}

Sheet FillSheet(const Stock& stock, const QStringList& rows, const FillOptions& options)
{
    Sheet sheet;
    sheet.stock = stock;
    sheet.look = options.look;
    sheet.dpi = options.dpi;
    sheet.barHeightMm = options.barHeightMm;
    sheet.rotation = options.rotation;
    sheet.labels = LabelRects(stock);
    if (sheet.labels.isEmpty())
        return sheet;
    render::RegisterBarCodeTypefaces();
    const int copies = qBound(1, options.copies, kMaxCopies);
    const int start = qBound(1, options.start, int(sheet.labels.size()));
    sheet.data = rows;
    sheet.start = start;
    sheet.copies = copies;
    sheet.checksum = options.checksum;
    sheet.fullAscii = options.fullAscii;
    sheet.barTexts.fill(QString(), start - 1);
    sheet.rows.fill(0, start - 1);

    const SymbolRules rules = RulesOf(sheet);
    code39::BuildResult built;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int row = int(i + 1);
        if (sheet.barTexts.size() + copies > kMaxLabels) {
            sheet.failures.append(
                {row, QStringLiteral("rows from here on are left out: more than %L1 labels").arg(kMaxLabels)});
            break;
        }
        const QString& text = rows[i];
        QString barText;
        if (!code39::BuildBarCodeData(
                std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())),
                options.fullAscii, options.checksum, built)) {
            sheet.failures.append({row, QString::fromStdU16String(built.error)});
        } else {
            barText = QString::fromStdString(code39::BarCodeString(built.data));
            const int length = int(barText.size());
            auto fit = sheet.fits.find(length);
            if (fit == sheet.fits.end())
                fit = sheet.fits.insert(length, FitSymbol(stock, length, rules));
            if (fit->module == 0) {
                sheet.failures.append({row, TooLong(sheet, length)});
                barText.clear();
            }
        }
        for (int c = 0; c < copies; ++c) {
            sheet.barTexts.append(barText);
            sheet.rows.append(barText.isEmpty() ? 0 : row);
        }
    }
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
    // By length, in the order the rows come.
    QList<int> lengths;
    QHash<int, QList<int>> rowsByLength;
    for (qsizetype i = 0; i < sheet.barTexts.size(); ++i) {
        const int length = int(sheet.barTexts[i].size());
        if (length == 0)
            continue;
        auto it = rowsByLength.find(length);
        if (it == rowsByLength.end()) {
            lengths.append(length);
            it = rowsByLength.insert(length, {});
        }
        it->append(sheet.rows.value(i));
    }
    QStringList warnings;
    for (const int length : std::as_const(lengths)) {
        const SymbolFit fit = sheet.fits.value(length);
        if (fit.module == 0)
            continue;
        if (const QString warning = SymbolWarning(sheet, fit, rowsByLength.value(length)); !warning.isEmpty())
            warnings.append(warning);
    }
    return warnings;
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
