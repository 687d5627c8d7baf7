#pragma once
// A bar-code string set in the bar-code typeface on any painter: the one place that knows how big a
// symbol is and where its quiet zones go, shared by the images, the label sheets and the exports.

#include "OutputLimits.h"
#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace render {

// Each character of the typeface is one em wide and holds 16 modules (narrow bar = 1 module).
inline constexpr int kModulesPerCharacter = 16;
// Blank space each side of the symbol, in modules: scanners need at least ten.
inline constexpr int kQuietZoneModules = 10;
// A wide bar or space is three narrow ones, as the typeface draws it.
inline constexpr int kWideModules = 3;

struct BarCodeLook {
    bool textAbove = false; // the family with the readable text above the bars
    double pointSize = kDefaultPointSize;
    bool antialias = true;
};

// The font's size in whole pixels per em for a point size on a device of dpi (at least 1). Whole pixels
// per em put every module edge where the typeface's hints expect it.
int PixelsPerEm(double pointSize, int dpi);

// The bar-code typeface for the look on a device of dpi: sized in whole pixels, fully hinted, and never
// filled in from another font (a stranger's glyph would read as data).
QFont BarCodeFont(const BarCodeLook& look, int dpi);

// True when the typeface of the look is available to draw with (it is registered at start-up).
bool BarCodeTypefaceAvailable(const BarCodeLook& look);

// The symbol's size in device pixels as DrawBarCode draws it: the characters plus a quiet zone of at least
// kQuietZoneModules (rounded up to whole pixels) each side, and the font's full line height (bars and text).
QSizeF BarCodeExtent(const QString& barText, const BarCodeLook& look, int dpi);

// Draws barText (start and stop characters included) in black, its extent's top-left corner at topLeft,
// in device pixels of the painter's device (its logical dpi decides the font's pixel size).
void DrawBarCode(QPainter& painter, const QPointF& topLeft, const QString& barText, const BarCodeLook& look);

// The symbol laid out in points for vector output (SVG, PDF): the typeface's extent and quiet zones, with
// the bars placed from the element table, so that no renderer's hinting can move an edge.
struct BarCodeLayout {
    struct Character {
        QPointF baseline; // the character is centred on x, standing on y
        QChar c;
    };
    QSizeF size;                 // points, quiet zones included; empty when there is nothing to draw
    QList<QRectF> bars;          // points, from the top-left corner, left to right
    QList<Character> characters; // the readable ones (the space symbol has none)
    double textPointSize = 0;    // of the readable characters, in a monospace face
};

// Whether barText can be drawn as a bar code; false with the reason in why (empty, or a character the
// typeface has no bars for).
bool CanDrawBarCodeText(const QString& barText, QString& why);

// The bars of barText from the element table, left to right: the first character's first bar leftModules
// from x = 0, each bar one module or kWideModules wide, every character kModulesPerCharacter modules after
// the one before, each bar height tall from top. Empty when barText holds a character that has no bars.
QList<QRectF> BarRects(const QString& barText, double module, int leftModules, double top, double height);

// The face the readable characters are set in beside the bars of a drawing (not the typeface's own).
QFont ReadableTextFont();

// barText laid out as DrawBarCode sets it in the typeface. An empty layout when barText is empty or holds
// a character the typeface has no bars for. Needs a QGuiApplication.
BarCodeLayout LayOutBarCode(const QString& barText, const BarCodeLook& look);

} // namespace render
