#pragma once
// The bar code as Make left it, as a picture: the file types Save Bar Code As offers, their bytes, the
// name the dialog suggests, and the picture forms Copy puts on the clipboard beside the text.

#include "render/BarCodeDrawing.h"

#include <QByteArray>
#include <QString>

class QMimeData;

namespace kelm {

// The PNG resolution of saved and copied pictures: enough for any printer to set the bars crisply.
inline constexpr int kPictureDpi = 300;

// What the preview shows of the last successful Make.
struct MadeBarCode {
    QString data;    // as typed: the picture's title and the suggested file name
    QString barText; // the bar-code string, start and stop characters included
    bool textAbove = false;
    int pointSize = 22;
    // The options it was made with, for a sheet that builds more bar codes the same way.
    bool checksum = false;
    bool fullAscii = false;

    render::BarCodeLook look() const { return {textAbove, double(pointSize), true}; }
};

enum class PictureType { Png, Svg, Pdf };

// The Save As dialog's file types, one filter each, in the order of PictureType.
QString PictureFilters();
// The type the file name's extension names (case aside); PNG for any other extension.
PictureType PictureTypeOf(const QString& path);

// The file's bytes; empty, with the reason in *error, when the picture cannot be made (too large).
QByteArray PictureBytes(const MadeBarCode& made, PictureType type, int dpi, QString* error);

// The data as a file name of the type: the characters no file system takes (separators, the ones Windows
// forbids, control characters) and a dot that would start a hidden name or a ".." become '_', cut to a
// length any file system takes; "barcode" when nothing is left.
QString SuggestedFileName(const QString& data, PictureType type);

// The formats of text followed by image/png (at dpi) and image/svg+xml of the bar code, so that programs
// that take text keep finding theirs first. The pictures are drawn only when a program asks for them (a
// long bar code takes seconds to draw); a picture too large to make is not offered.
QMimeData* WithPictures(const QMimeData& text, const MadeBarCode& made, int dpi);

} // namespace kelm
