#pragma once
// Pictures read back from outside the program: pages rasterised by pdftoppm or rsvg-convert, bar codes
// decoded by zbarimg with Code 39 alone enabled (or by ZXing, where a test needs a second decoder). Each symbol
// comes as zbar gives it (the check character kept, Full ASCII pairs not expanded).

#include <QImage>
#include <QList>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace support {

// The page (from 1) of the PDF rasterised in greys at dpi; a null image when pdftoppm fails or there is
// no such page.
QImage RasterisePdf(const QString& pdf, int dpi, int page = 1);

// The pages of the PDF as pdfinfo reads them: each page's size in points as it is shown (a page turned by
// its /Rotate entry counted turned). Empty when pdfinfo fails.
QList<QSizeF> PdfPageSizes(const QString& pdf);

// The SVG rasterised at dpi; a null image when rsvg-convert fails.
QImage RasteriseSvg(const QString& svg, int dpi);

// The picture file as an image, told by kind ("png", "svg" or "pdf", its first page) and rasterised at dpi;
// a null image when it cannot be read or rasterised.
QImage PictureImage(const QString& file, const QString& kind, int dpi);

// Every symbol in each image file, the files read in one zbarimg run; a file where zbarimg fails, or every
// file when it does not run, gets the one entry "error: " and the reason.
QList<QStringList> DecodeFiles(const QStringList& files);

// Every symbol in the image file, in zbar's order; empty when none, {"error: ..."} when zbarimg fails.
QStringList DecodeFile(const QString& file);

// The Code 39 symbol ZXing finds anywhere in the image, turned or not, read with Full ASCII and the check
// character (then left out) as asked; empty when it finds none.
QString DecodeCode39(const QImage& image, bool fullAscii, bool checksum);

// Every symbol in the part of the image within pixels (the whole image when null); empty when none,
// {"error: ..."} when zbarimg fails.
QStringList DecodeImage(const QImage& image, const QRect& pixels = QRect());

} // namespace support
