#include "SymbolFit.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QRawFont>
#include <QtMath>

#include <algorithm>

namespace labels {

namespace {

// What is left of a label for the bar code: the label less its markup margin, in device dots.
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
    if (room.box.width() <= 0 || room.box.height() <= 0 || w <= 0 || h <= 0)
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

// The tallest symbol, in whole dots, that a symbol along dots long fits the room with; 0 when none.
int Across(const Room& room, int along, bool turned)
{
    const auto fits = [&](int across) {
        return !Place(room, turned ? QSizeF(across, along) : QSizeF(along, across)).isEmpty();
    };
    int low = 0, high = int(std::max(room.box.width(), room.box.height())) + 1;
    // Heights that fit form a range from 1 up: the largest lies in [low, high).
    while (high - low > 1) {
        const int mid = low + (high - low) / 2;
        (fits(mid) ? low : high) = mid;
    }
    return low;
}

// The readable face's proportions, per pixel of its size.
struct TextMetrics {
    double ascent = 0.93;
    double height = 1.17;
    double advance = 0.6;
};

const TextMetrics& ReadableMetrics()
{
    static const TextMetrics metrics = [] {
        constexpr int kPixels = 100;
        QFont font = render::ReadableTextFont();
        font.setPixelSize(kPixels);
        const QFontMetricsF m(font);
        return TextMetrics{m.ascent() / kPixels, (m.ascent() + m.descent()) / kPixels,
                           m.horizontalAdvance(QLatin1Char('0')) / kPixels};
    }();
    return metrics;
}

// The readable face at a pixel size, kept per thread: a sheet draws thousands of labels at one size.
const QRawFont& ReadableFace(int pixelSize)
{
    thread_local QHash<int, QRawFont> faces;
    auto it = faces.find(pixelSize);
    if (it == faces.end()) {
        QFont font = render::ReadableTextFont();
        font.setPixelSize(pixelSize);
        font.setHintingPreference(QFont::PreferNoHinting);
        it = faces.insert(pixelSize, QRawFont::fromFont(font));
    }
    return *it;
}

// The readable characters stand 0.4 em of the typeface high, as in the pictures.
int TextSizeFor(int module)
{
    return qMax(1, qRound(0.4 * render::kModulesPerCharacter * module));
}

// The bars are never shorter than the typeface sets them (13 of its 16 modules): below that a label is
// better left to the warning than printed as a strip.
constexpr int kLeastDrawnBarModules = 13;

// How good a fit is: the module and the bars scan, the module scans, or it only fits.
int Grade(const SymbolFit& fit)
{
    if (fit.module == 0)
        return -1;
    if (!fit.moduleScans())
        return 0;
    return fit.barsScan() ? 2 : 1;
}

bool Better(const SymbolFit& a, const SymbolFit& b)
{
    const int ga = Grade(a), gb = Grade(b);
    return ga > gb || (ga == gb && a.module > b.module);
}

SymbolFit FitOneWay(const Room& room, int characters, const SymbolRules& rules, bool turned)
{
    SymbolFit best;
    best.characters = characters;
    best.dpi = rules.dpi;
    best.turned = turned;
    // The typeface's module at the size asked, in whole dots, at least one.
    const int largest =
        qMax(1, int(std::floor(rules.look.pointSize * rules.dpi / 72.0 / render::kModulesPerCharacter + 1e-9)));
    const int askedBars = rules.barHeightMm > 0 ? qRound(rules.barHeightMm / 25.4 * rules.dpi) : 0;
    for (int module = largest; module >= 1; --module) {
        SymbolFit fit = best;
        fit.module = module;
        fit.textSize = TextSizeFor(module);
        fit.textLine = module + qCeil(ReadableMetrics().height * fit.textSize);
        const int across = Across(room, fit.widthModules() * module, turned);
        const int bars = across - fit.textLine;
        if (bars < kLeastDrawnBarModules * module)
            continue;
        fit.barHeight = askedBars > 0 ? qMin(askedBars, bars) : bars;
        if (Better(fit, best))
            best = fit;
        if (Grade(best) == 2)
            break; // smaller modules only do worse
    }
    return best;
}

} // namespace

int SymbolFit::widthModules() const
{
    return characters * render::kModulesPerCharacter - 1 + 2 * render::kQuietZoneModules;
}

QSize SymbolFit::size() const
{
    return {widthModules() * module, barHeight + textLine};
}

double DotsToMm(double dots, int dpi)
{
    return dots * 25.4 / dpi;
}

bool SymbolFit::moduleScans() const
{
    // A thousandth of a millimetre spared for the rounding of 0.19 mm in dots.
    return module >= kLeastModuleDots && DotsToMm(module, dpi) >= kLeastModuleMm - 1e-3;
}

int SymbolFit::leastBarHeight() const
{
    const double length = (characters * render::kModulesPerCharacter - 1) * module; // bars only
    const double least = qMax(kLeastBarHeightMm / 25.4 * dpi, kLeastBarHeightShare * length);
    return qCeil(least - 1e-6);
}

SymbolFit FitSymbol(const Stock& stock, int characters, const SymbolRules& rules)
{
    SymbolFit none;
    none.characters = characters;
    none.dpi = rules.dpi;
    if (stock.layouts.isEmpty() || characters <= 0)
        return none;
    // Every label of a stock has the same room.
    const Room room = RoomIn(stock, QRectF(QPointF(), stock.label), rules.dpi / 72.0);
    switch (rules.rotation) {
    case Rotation::Upright:
        return FitOneWay(room, characters, rules, false);
    case Rotation::Turned:
        return FitOneWay(room, characters, rules, true);
    case Rotation::Auto:
        break;
    }
    const SymbolFit upright = FitOneWay(room, characters, rules, false);
    if (Grade(upright) == 2)
        return upright;
    // Turned only when that is what fits: along the label's long side at a module closer to scanning.
    const SymbolFit turned = FitOneWay(room, characters, rules, true);
    return Better(turned, upright) ? turned : upright;
}

QRect PlaceSymbol(const Stock& stock, const QRectF& label, const SymbolFit& fit, const QPointF& offsetDots)
{
    if (fit.module == 0)
        return {};
    const QSize upright = fit.size();
    const QSize size = fit.turned ? upright.transposed() : upright;
    const QRectF place = Place(RoomIn(stock, label, fit.dpi / 72.0), size);
    if (place.isEmpty())
        return {};
    // Every edge on the device's dot grid, counted from the page's corner.
    const QPointF corner = place.topLeft() + offsetDots;
    return QRect(QPoint(qRound(corner.x()), qRound(corner.y())), size);
}

void DrawSymbol(QPainter& painter, const QRect& place, const QString& barText, const SymbolFit& fit,
                bool textAbove)
{
    if (place.isEmpty() || fit.module == 0)
        return;
    // Only the transform changes: a PDF pays for every saved and restored state, over thousands of labels.
    const QTransform before = painter.transform();
    painter.translate(place.topLeft());
    if (fit.turned) {
        // A quarter turn clockwise: the symbol's top to the right, its text read downwards.
        painter.translate(place.width(), 0);
        painter.rotate(90);
    }
    const int x = fit.module;
    const int barsTop = textAbove ? fit.textLine : 0;
    const QList<QRectF> bars = render::BarRects(barText, x, render::kQuietZoneModules, barsTop, fit.barHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRects(bars.constData(), int(bars.size()));

    // One glyph run for the whole text, each character centred over its own and the space symbol left
    // blank: placed glyph by glyph, no layout can spread them differently on another device.
    const TextMetrics& metrics = ReadableMetrics();
    const QRawFont& face = ReadableFace(fit.textSize);
    const QString text = QString(barText).replace(u'~', u' ');
    QList<quint32> glyphs = face.glyphIndexesForString(text);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    const double advance = metrics.advance * fit.textSize;
    const double baseline = (textAbove ? 0 : fit.barHeight + x) + metrics.ascent * fit.textSize;
    const double centre = (render::kQuietZoneModules + (render::kModulesPerCharacter - 1) / 2.0) * x;
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        positions.append(QPointF(centre + double(i) * render::kModulesPerCharacter * x - advance / 2, baseline));
    QGlyphRun run;
    run.setRawFont(face);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.setPen(Qt::black);
    painter.drawGlyphRun(QPointF(), run);
    painter.setTransform(before);
}

} // namespace labels
