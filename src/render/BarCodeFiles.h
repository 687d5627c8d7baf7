#pragma once
// A bar code as a finished file: the bytes of a PNG image, an SVG drawing or a PDF page, for saving and
// for the clipboard. Each needs a QGuiApplication.

#include "BarCodeDrawing.h"
#include "OutputLimits.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>

namespace render {

// The image DrawBarCodeImage makes, found without drawing it: its size in pixels and the margin round the
// symbol. tooLarge when the bars could be drawn, but not in an image of that size.
struct BarCodeImageSize {
    qint64 width = 0;
    qint64 height = 0;
    int margin = 0;
    bool tooLarge = false;
};
// The size of barText's image at dpi; false with the reason when it cannot be made (size.tooLarge tells a size
// beyond the limits from text the typeface cannot draw). Cheap enough to ask before offering an image.
bool MeasureBarCodeImage(const QString& barText, const BarCodeLook& look, int dpi, BarCodeImageSize& size,
                         QString& error);

// barText (start and stop characters included) in black on white, set in the typeface at dpi, with a
// quiet zone of at least ten narrow modules each side and a margin of two round everything: 8-bit grey, its
// resolution recorded. False with the reason when it cannot be made.
bool DrawBarCodeImage(const QString& barText, const BarCodeLook& look, int dpi, QImage& image, QString& error);

// The image above as PNG file bytes; empty, with the reason in error, when it cannot be made.
QByteArray BarCodePng(const QString& barText, const BarCodeLook& look, int dpi, QString& error);

// An SVG 1.1 drawing in points: the bars as rectangles, the readable characters as text in a generic
// monospace family, title as its <title>. Empty, with the reason, when barText cannot be drawn.
QByteArray BarCodeSvg(const QString& barText, const BarCodeLook& look, const QString& title, QString& error);

// A one-page PDF the size of the symbol and its quiet zones (rounded up to whole points): the bars as filled
// paths, the readable characters as selectable text. Empty, with the reason, when barText cannot be drawn.
QByteArray BarCodePdf(const QString& barText, const BarCodeLook& look, const QString& title, QString& error);

enum class PictureType { Png, Svg, Pdf };

// The picture file types as a file dialog takes them, one filter each ("PNG image (*.png)"), in the order
// of PictureType, separated by ";;".
QString PictureFilters();
// The type a file name's extension names (case aside); PNG for any other extension.
PictureType PictureTypeOf(const QString& path);
// The type's file name extension, without the dot: "png", "svg", "pdf".
QString PictureExtension(PictureType type);

// The bytes of a picture file of the type: a PNG image at dpi, or an SVG or PDF drawing (which ignore dpi),
// title as the drawing's title. Empty, with the reason in error, when it cannot be made.
QByteArray PictureBytes(PictureType type, const QString& barText, const BarCodeLook& look, const QString& title,
                        int dpi, QString& error);

} // namespace render
