#include "BarCodeDrawing.h"

#include "Typefaces.h"
#include "code39/Code39.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QtMath>

namespace render {

namespace {

QString FamilyOf(const BarCodeLook& look)
{
    const std::string_view name = code39::BarCodeFontName(!look.textAbove);
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

// The quiet zone in whole device pixels, so that the bars start on a pixel edge.
double QuietZone(const QFont& font)
{
    return qCeil(kQuietZoneModules * double(font.pixelSize()) / kModulesPerCharacter);
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
    painter.drawText(QPointF(qRound(topLeft.x() + QuietZone(font)), qRound(topLeft.y() + metrics.ascent())),
                     barText);
    painter.restore();
}

} // namespace render
