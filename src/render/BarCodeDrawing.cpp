#include "BarCodeDrawing.h"

#include "Typefaces.h"
#include "code39/Code39.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QtMath>

#include <algorithm>

namespace render {

namespace {

QString FamilyOf(const BarCodeLook& look)
{
    return BarCodeFontName(!look.textAbove);
}

// The quiet zone in whole device pixels, so that the bars start on a pixel edge.
double QuietZone(const QFont& font)
{
    return qCeil(kQuietZoneModules * double(font.pixelSize()) / kModulesPerCharacter);
}

// The typeface's vertical design, in em, baseline at 0 and y growing downwards as Qt draws.
struct VerticalMetrics {
    double ascent = 0.8, descent = 0.2; // the line: what BarCodeExtent counts
    double barsTop = -0.8125, barsBottom = 0;
    double textBaseline = 0.4;
};

// Read from the built-in typeface itself, so that the vector forms follow it if its design changes.
VerticalMetrics ReadVerticalMetrics(bool textAbove)
{
    VerticalMetrics m;
    QFile file(BarCodeTypefaceFile(textAbove));
    // At one pixel per font unit, so that no metric is rounded.
    constexpr double kUnitsPerEm = 2048;
    const QRawFont font(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(), kUnitsPerEm,
                        QFont::PreferNoHinting);
    if (!font.isValid())
        return m;
    m.ascent = font.ascent();
    m.descent = font.descent();
    // The start/stop glyph's tallest rectangles are its bars.
    const QList<QPolygonF> contours =
        font.pathForGlyph(font.glyphIndexesForString(QStringLiteral("*")).value(0)).toSubpathPolygons();
    double tallest = 0;
    for (const QPolygonF& contour : contours) {
        const QRectF box = contour.boundingRect();
        if (box.height() > tallest) {
            tallest = box.height();
            m.barsTop = box.top();
            m.barsBottom = box.bottom();
        }
    }
    // A capital E stands flat on the readable text's baseline; its bars are the glyph's tallest part.
    bool first = true;
    for (const QPolygonF& contour :
         font.pathForGlyph(font.glyphIndexesForString(QStringLiteral("E")).value(0)).toSubpathPolygons()) {
        const QRectF box = contour.boundingRect();
        if (box.height() < tallest - 1e-6) {
            m.textBaseline = first ? box.bottom() : std::max(m.textBaseline, box.bottom());
            first = false;
        }
    }
    for (double* value : {&m.ascent, &m.descent, &m.barsTop, &m.barsBottom, &m.textBaseline})
        *value /= kUnitsPerEm;
    return m;
}

const VerticalMetrics& Metrics(bool textAbove)
{
    static const VerticalMetrics below = ReadVerticalMetrics(false);
    static const VerticalMetrics above = ReadVerticalMetrics(true);
    return textAbove ? above : below;
}

} // namespace

int PixelsPerEm(double pointSize, int dpi)
{
    return qMax(1, qRound(pointSize * dpi / 72.0));
}

QFont BarCodeFont(const BarCodeLook& look, int dpi)
{
    QFont font(FamilyOf(look));
    font.setPixelSize(PixelsPerEm(look.pointSize, dpi));
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoFontMerging |
                                               (look.antialias ? QFont::PreferAntialias : QFont::NoAntialias)));
    // The typeface's hints put every bar edge on a whole pixel with one narrow and one wide width;
    // renderers follow them only in full hinting (or without antialiasing).
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

bool BarCodeTypefaceAvailable(const BarCodeLook& look)
{
    RegisterBarCodeTypefaces();
    return QFontInfo(BarCodeFont(look, 72)).family() == FamilyOf(look);
}

QSizeF BarCodeExtent(const QString& barText, const BarCodeLook& look, int dpi)
{
    const QFont font = BarCodeFont(look, dpi);
    const QFontMetricsF metrics(font);
    // Every character is exactly one em wide, so the width needs no shaping of a possibly huge text.
    return {double(barText.size()) * font.pixelSize() + 2 * QuietZone(font), metrics.ascent() + metrics.descent()};
}

void DrawBarCode(QPainter& painter, const QPointF& topLeft, const QString& barText, const BarCodeLook& look)
{
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
    const QFont font = BarCodeFont(look, dpi);
    const QFontMetricsF metrics(font);
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, look.antialias);
    painter.setFont(font);
    painter.setPen(Qt::black);
    // Whole pixels again: a bar edge between two pixels would blur a narrow bar into a wide one.
    const QPointF origin(qRound(topLeft.x() + QuietZone(font)), qRound(topLeft.y() + metrics.ascent()));
    // Qt's time to draw one run of text grows with the square of its length (a 1,000-character bar code
    // took seconds); every character is one em wide, so pieces set side by side give the same pixels.
    constexpr qsizetype kPiece = 8;
    for (qsizetype from = 0; from < barText.size(); from += kPiece)
        painter.drawText(origin + QPointF(double(from) * font.pixelSize(), 0), barText.mid(from, kPiece));
    painter.restore();
}

bool CanDrawBarCodeText(const QString& barText, QString& why)
{
    if (barText.isEmpty()) {
        why = QStringLiteral("nothing to draw");
        return false;
    }
    for (qsizetype i = 0; i < barText.size(); ++i) {
        const QChar c = barText[i];
        if (c.unicode() >= 128 || code39::ElementPattern(char(c.unicode())).empty()) {
            const bool pair = c.isHighSurrogate() && i + 1 < barText.size() && barText[i + 1].isLowSurrogate();
            why = QStringLiteral("\"%1\" has no bars in the bar-code typeface").arg(barText.mid(i, pair ? 2 : 1));
            return false;
        }
    }
    return true;
}

QList<QRectF> BarRects(const QString& barText, double module, int leftModules, double top, double height)
{
    QList<QRectF> bars;
    bars.reserve(barText.size() * 5);
    for (qsizetype i = 0; i < barText.size(); ++i) {
        const QChar c = barText[i];
        const std::string_view pattern = code39::ElementPattern(c.unicode() < 128 ? char(c.unicode()) : '\0');
        if (pattern.empty())
            return {};
        double x = (leftModules + i * kModulesPerCharacter) * module;
        for (std::size_t e = 0; e < pattern.size(); ++e) {
            const double width = (pattern[e] == '1' ? kWideModules : 1) * module;
            if (e % 2 == 0)
                bars.append(QRectF(x, top, width, height));
            x += width;
        }
    }
    return bars;
}

QFont ReadableTextFont()
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    return font;
}

BarCodeLayout LayOutBarCode(const QString& barText, const BarCodeLook& look)
{
    BarCodeLayout layout;
    const double em = look.pointSize;
    const double module = em / kModulesPerCharacter;
    const VerticalMetrics& m = Metrics(look.textAbove);
    // The readable characters are DejaVu Sans Mono at 0.4 em, centred under the bars.
    constexpr double kTextScale = 0.4;
    constexpr double kBarsCentre = (kModulesPerCharacter - 1) / 2.0;
    layout.textPointSize = kTextScale * em;
    layout.bars =
        BarRects(barText, module, kQuietZoneModules, (m.ascent + m.barsTop) * em, (m.barsBottom - m.barsTop) * em);
    if (layout.bars.isEmpty())
        return {};
    for (qsizetype i = 0; i < barText.size(); ++i) {
        const QChar c = barText[i];
        if (c != u'~') {
            const double centre = (kQuietZoneModules + i * kModulesPerCharacter + kBarsCentre) * module;
            layout.characters.append({QPointF(centre, (m.ascent + m.textBaseline) * em), c});
        }
    }
    layout.size = QSizeF((barText.size() * kModulesPerCharacter + 2 * kQuietZoneModules) * module,
                         (m.ascent + m.descent) * em);
    return layout;
}

} // namespace render
