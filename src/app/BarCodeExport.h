#pragma once
// The bar code as Make left it, as a picture: the file types Save Bar Code As offers, their bytes, the
// name the dialog suggests, and the picture forms Copy puts on the clipboard beside the text.

#include "render/BarCodeDrawing.h"
#include "render/BarCodeFiles.h"
#include "render/OutputLimits.h"

#include <QByteArray>
#include <QString>

class QMimeData;

namespace kelm {

// The PNG resolution of saved and copied pictures.
inline constexpr int kPictureDpi = render::kDefaultDpi;

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

// The picture types and their filters are render's: Save As offers what the command line writes.
using render::PictureFilters;
using render::PictureType;
using render::PictureTypeOf;

// The file's bytes; empty, with the reason in *error, when the picture cannot be made (too large).
QByteArray PictureBytes(const MadeBarCode& made, PictureType type, int dpi, QString* error);

// The data as a file name of the type: the characters no file system takes (separators, the ones Windows
// forbids, control characters) and a dot that would start a hidden name or a ".." become '_', cut to a
// length any file system takes; "barcode" when nothing is left.
QString SuggestedFileName(const QString& data, PictureType type);

// The formats of text followed by image/png (at dpi) and image/svg+xml of the bar code, so that programs
// that take text keep finding theirs first. The pictures are drawn only when a program asks for them (a
// long bar code takes seconds to draw); a picture that cannot be made (a PNG too large) is not offered.
QMimeData* WithPictures(const QMimeData& text, const MadeBarCode& made, int dpi);

} // namespace kelm
