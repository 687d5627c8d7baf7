#include "Sheet.h"

#include "Pages.h"
#include "code39/Code39.h"
#include "render/Typefaces.h"

#include <QBuffer>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QtMath>

namespace labels {

namespace {

// What is left of a label for the bar code: the label less its markup margin, in device pixels.
struct Room {
    LabelShape shape = LabelShape::Rectangle;
    QRectF box;
    double hole = 0; // a CD's hole radius plus the margin
};

Room RoomIn(const Stock& stock, const QRectF& label, double scale)
{
    const double margin = stock.markupMargin * scale;
    Room room{stock.shape,
              QRectF(label.topLeft() * scale, label.size() * scale).adjusted(margin, margin, -margin, -margin)};
    room.hole = (stock.hole + stock.markupMargin) * scale;
    return room;
}

// Where a symbol of size goes in the room; an empty rectangle when it does not fit.
QRectF Place(const Room& room, const QSizeF& size)
{
    const double w = size.width(), h = size.height();
    if (room.box.width() <= 0 || room.box.height() <= 0)
        return {};
    const QPointF centre = room.box.center();
    switch (room.shape) {
    case LabelShape::Rectangle:
        if (w > room.box.width() || h > room.box.height())
            return {};
        return QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h);
    case LabelShape::Round:
    case LabelShape::Ellipse: {
        // The corners of a centred rectangle lie inside the ellipse.
        const double a = room.box.width() / 2, b = room.box.height() / 2;
        if ((w * w) / (4 * a * a) + (h * h) / (4 * b * b) > 1)
            return {};
        return QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h);
    }
    case LabelShape::Cd: {
        // Above the hole, centred in the band between the hole and the rim, its top corners on the disc.
        const double r = qMin(room.box.width(), room.box.height()) / 2;
        const double band = r - room.hole;
        if (h > band)
            return {};
        const double bottom = room.hole + (band - h) / 2; // distance of the symbol's lower edge from the centre
        if ((w / 2) * (w / 2) + (bottom + h) * (bottom + h) > r * r)
            return {};
        return QRectF(centre.x() - w / 2, centre.y() - bottom - h, w, h);
    }
    }
    return {};
}

render::BarCodeLook LookAt(const render::BarCodeLook& look, int pixelsPerEm, int dpi)
{
    render::BarCodeLook sized = look;
    sized.pointSize = pixelsPerEm * 72.0 / dpi;
    return sized;
}

// The largest pixels per em (at most the look's) at which the symbol fits the room; 0 when none does.
int FittedPixels(const Room& room, int characters, const render::BarCodeLook& look, int dpi)
{
    const QString probe(characters, QLatin1Char('0'));
    const auto fits = [&](int px) {
        return !Place(room, render::BarCodeExtent(probe, LookAt(look, px, dpi), dpi)).isEmpty();
    };
    int low = 0, high = render::PixelsPerEm(look.pointSize, dpi);
    if (fits(high))
        return high;
    // Extents grow with the size: the largest fitting size lies in (low, high).
    while (high - low > 1) {
        const int mid = low + (high - low) / 2;
        (fits(mid) ? low : high) = mid;
    }
    return low;
}

double PointsFor(int pixels, const render::BarCodeLook& look, int dpi)
{
    return pixels == render::PixelsPerEm(look.pointSize, dpi) ? look.pointSize : pixels * 72.0 / dpi;
}

QString SizeText(double points)
{
    return QString::number(points, 'f', 1);
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

double ScannablePointSize(int dpi)
{
    return kScannablePixelsPerEm * 72.0 / dpi;
}

Sheet FillSheet(const Stock& stock, const QStringList& rows, const FillOptions& options)
{
    Sheet sheet;
    sheet.stock = stock;
    sheet.look = options.look;
    sheet.dpi = options.dpi;
    sheet.labels = LabelRects(stock);
    if (sheet.labels.isEmpty())
        return sheet;
    render::RegisterBarCodeTypefaces(); // the fit measures the typeface itself
    const int copies = qBound(1, options.copies, kMaxCopies);
    const int start = qBound(1, options.start, int(sheet.labels.size()));
    sheet.rows = rows;
    sheet.start = start;
    sheet.copies = copies;
    sheet.checksum = options.checksum;
    sheet.fullAscii = options.fullAscii;
    sheet.barTexts.fill(QString(), start - 1);

    // Every label has the same room, and a symbol's extent depends only on its length.
    const Room room = RoomIn(stock, sheet.labels.front(), options.dpi / 72.0);
    QHash<int, bool> fitsByLength;
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
            auto fit = fitsByLength.find(length);
            if (fit == fitsByLength.end())
                fit = fitsByLength.insert(length, FittedPixels(room, length, options.look, options.dpi) > 0);
            if (!*fit) {
                sheet.failures.append({row, QStringLiteral("the bar code is too long to fit the label")});
                barText.clear();
            }
        }
        for (int c = 0; c < copies; ++c)
            sheet.barTexts.append(barText);
    }
    return sheet;
}

QStringList SheetWarnings(const Sheet& sheet, int dpi)
{
    QStringList warnings;
    if (sheet.labels.isEmpty())
        return warnings;
    const Room room = RoomIn(sheet.stock, sheet.labels.front(), dpi / 72.0);
    QHash<int, int> pixelsByLength;
    int smallest = INT_MAX;
    for (const QString& barText : sheet.barTexts) {
        if (barText.isEmpty())
            continue;
        auto it = pixelsByLength.find(int(barText.size()));
        if (it == pixelsByLength.end())
            it = pixelsByLength.insert(int(barText.size()),
                                       FittedPixels(room, int(barText.size()), sheet.look, dpi));
        if (*it > 0)
            smallest = qMin(smallest, *it);
    }
    if (smallest < kScannablePixelsPerEm) {
        warnings.append(QStringLiteral("Bar codes are reduced to %1 pt to fit the labels; at %2 dpi they need at "
                                       "least %3 pt to scan. Use larger labels or shorter data.")
                            .arg(SizeText(PointsFor(smallest, sheet.look, dpi)))
                            .arg(dpi)
                            .arg(SizeText(qCeil(ScannablePointSize(dpi) * 10) / 10.0)));
    }
    return warnings;
}

namespace {

// The sizes fitted so far, by bar-text length: every label of a sheet has the same room.
using FittedSizes = QHash<int, int>;

void drawLabel(QPainter& painter, const Sheet& sheet, qsizetype label, const DrawOptions& options,
               FittedSizes& fitted)
{
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
    const double scale = dpi / 72.0;
    const QRectF& rect = sheet.labels[label % sheet.labels.size()];
    if (options.outlines) {
        const QRectF box(rect.topLeft() * scale, rect.size() * scale);
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
    const Room room = RoomIn(sheet.stock, rect, scale);
    auto it = fitted.find(int(barText.size()));
    if (it == fitted.end())
        it = fitted.insert(int(barText.size()), FittedPixels(room, int(barText.size()), sheet.look, dpi));
    if (*it == 0)
        return;
    const render::BarCodeLook look = LookAt(sheet.look, *it, dpi);
    const QRectF place = Place(room, render::BarCodeExtent(barText, look, dpi));
    render::DrawBarCode(painter, place.topLeft(), barText, look);
}

} // namespace

void DrawPage(QPainter& painter, const Sheet& sheet, int page, const DrawOptions& options)
{
    // Page 0 exists even without rows: its outlines are a calibration print.
    if (page < 0 || (page > 0 && page >= sheet.pageCount()) || sheet.labels.isEmpty())
        return;
    render::RegisterBarCodeTypefaces(); // measured and drawn in no other font
    const double scale = (painter.device() ? painter.device()->logicalDpiY() : 72) / 72.0;
    painter.save();
    painter.translate(options.offsetMm * kPointsPerMm * scale);
    FittedSizes fitted;
    const qsizetype first = qsizetype(page) * sheet.labels.size();
    for (qsizetype i = 0; i < sheet.labels.size(); ++i)
        drawLabel(painter, sheet, first + i, options, fitted);
    painter.restore();
}

void DrawLabel(QPainter& painter, const Sheet& sheet, qsizetype label, const DrawOptions& options)
{
    if (label < 0 || sheet.labels.isEmpty())
        return;
    render::RegisterBarCodeTypefaces();
    const double scale = (painter.device() ? painter.device()->logicalDpiY() : 72) / 72.0;
    painter.save();
    painter.translate(options.offsetMm * kPointsPerMm * scale);
    FittedSizes fitted;
    drawLabel(painter, sheet, label, options, fitted);
    painter.restore();
}

bool WritePdf(const Sheet& sheet, const DrawOptions& options, int dpi, QByteArray& pdf, QString& error)
{
    pdf.clear();
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("code39"));
        writer.setResolution(dpi);
        if (!writer.setPageLayout(StockPageLayout(sheet.stock))) {
            error = QStringLiteral("the page size cannot be set");
            return false;
        }
        if (PaintPages(writer, sheet.pageCount(), [&](QPainter& painter, int page) {
                DrawPage(painter, sheet, page, options);
            }) == PaintResult::NotStarted) {
            error = QStringLiteral("the PDF cannot be started");
            return false;
        }
    }
    return true;
}

} // namespace labels
