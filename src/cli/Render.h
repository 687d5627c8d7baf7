#pragma once
// Sets a bar-code string in the bar-code typeface on an image, for `code39 --png` and for tests
// that hand the image to a real decoder.

#include <QImage>
#include <QString>
#include <QtGlobal>

namespace cli {

struct RenderOptions {
    double pointSize = 22;
    int dpi = 300;
    bool textAbove = false; // the family with the readable text above the bars
    bool antialias = true;
};

// Accepted ranges: beyond them an image is either unreadable or needlessly huge.
inline constexpr double kMinPointSize = 1;
inline constexpr double kMaxPointSize = 1000;
inline constexpr int kMinDpi = 36;
inline constexpr int kMaxDpi = 2400;
// Cap on the image, so a long text at a large size cannot exhaust memory.
inline constexpr qint64 kMaxPixels = 64 * 1024 * 1024;

// The font's size in pixels for a point size at a resolution (at least 1).
int PixelSize(double pointSize, int dpi);

struct Rendered {
    enum Failure { None, NoTypeface, TooLarge };
    QImage image; // 8-bit grey, its resolution recorded; null on failure
    Failure failure = None;
    QString error; // why, on failure
};

// The bar-code string (with its asterisks) in black on white, on one line, with a quiet zone of at
// least ten narrow modules on each side. Needs a QGuiApplication.
Rendered RenderBarCode(const QString& barText, const RenderOptions& options);

// True when the command line asks for an image (--png before any "--").
bool WantsPng(int argc, char** argv);

// code39 --png FILE [--size PT] [--dpi N] [--text-above] [--no-antialias] [-c] [-f] DATA: renders
// the encoded DATA into a PNG file. Returns the exit status: 0 written, 1 the data cannot be encoded
// or the file cannot be written, 2 bad usage.
int RunPng(int argc, char** argv);

} // namespace cli
