#include "BarCodeFiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QStringList>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace render {

namespace {

const QString kCreator = QStringLiteral("Kelm");
// What each picture type says when the size asked for is beyond its limits.
const QString kImageTooLarge = QStringLiteral("the image would be too large");
const QString kPageTooLarge = QStringLiteral("the page would be too large");

bool Fail(QString& error, const QString& why)
{
    error = why;
    return false;
}

// Short and exact enough: a thousandth of a point is far below any printer's dot.
QByteArray Trimmed(double value)
{
    QByteArray text = QByteArray::number(qRound64(value * 1000) / 1000.0, 'f', 3);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

// Text for XML character data and attributes. Characters XML 1.0 cannot hold (most control characters, a
// lone surrogate) become U+FFFD, so that any data gives a well-formed file.
QByteArray XmlEscaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate() || (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') ||
                   c.unicode() == 0xFFFE || c.unicode() == 0xFFFF) {
            out += QChar(QChar::ReplacementCharacter);
        } else if (c == u'&') {
            out += u"&amp;";
        } else if (c == u'<') {
            out += u"&lt;";
        } else if (c == u'>') {
            out += u"&gt;";
        } else if (c == u'"') {
            out += u"&quot;";
        } else if (c == u'\t' || c == u'\n' || c == u'\r') {
            out += QStringLiteral("&#%1;").arg(c.unicode()); // kept as typed, not folded into a blank
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

struct PictureKind {
    PictureType type;
    const char* extension;
    const char* filter;
};
constexpr PictureKind kPictureKinds[] = {
    {PictureType::Png, "png", "PNG image (*.png)"},
    {PictureType::Svg, "svg", "SVG drawing (*.svg)"},
    {PictureType::Pdf, "pdf", "PDF document (*.pdf)"},
};

// One character of a look drawn as DrawBarCode draws it, in greys: the columns and rows of its ink in an
// image of one character, and those pixels. Character i of a longer bar code is the same tile moved i ems
// to the right, so that an image is put together from copies instead of drawn glyph by glyph.
struct CharacterTile {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uchar> pixels; // width x height, row by row; white (255) where there is no ink
};

// The tiles of the characters drawn so far, for one look at one resolution at a time: a batch of pictures
// draws each character once.
class CharacterTiles {
public:
    // The tile of c (a character with bars); drawn on first use.
    const CharacterTile& Tile(QChar c, const BarCodeLook& look, int dpi)
    {
        if (look.textAbove != m_look.textAbove || look.pointSize != m_look.pointSize ||
            look.antialias != m_look.antialias || dpi != m_dpi) {
            Clear();
            m_look = look;
            m_dpi = dpi;
        }
        CharacterTile& tile = m_tiles[c.unicode() & 0x7F];
        if (!m_drawn[c.unicode() & 0x7F]) {
            tile = Draw(c, look, dpi);
            m_bytes += qint64(tile.pixels.size());
            m_drawn[c.unicode() & 0x7F] = true;
        }
        return tile;
    }

    // Lets go of large tiles: a huge picture's characters are unlikely to be drawn again.
    void Trim()
    {
        constexpr qint64 kKeptBytes = 4 * 1024 * 1024;
        if (m_bytes > kKeptBytes)
            Clear();
    }

private:
    void Clear()
    {
        m_tiles = {};
        m_drawn = {};
        m_bytes = 0;
    }

    static CharacterTile Draw(QChar c, const BarCodeLook& look, int dpi)
    {
        // As the picture draws it: in colour, then grey by hand as below, so that the tiles give the same
        // pixels as drawing the whole text would.
        BarCodeImageSize size;
        QString why;
        MeasureBarCodeImage(QString(c), look, dpi, size, why);
        QImage image(int(size.width), int(size.height), QImage::Format_RGB32);
        const int dotsPerMeter = qRound(dpi / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            DrawBarCode(painter, QPointF(size.margin, size.margin), QString(c), look);
        }
        int left = image.width(), right = -1, top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(row[x]) != 255) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        CharacterTile tile;
        if (right < 0)
            return tile;
        tile.left = left;
        tile.top = top;
        tile.width = right - left + 1;
        tile.height = bottom - top + 1;
        tile.pixels.resize(std::size_t(tile.width) * std::size_t(tile.height));
        for (int y = 0; y < tile.height; ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(top + y)) + left;
            uchar* out = tile.pixels.data() + std::size_t(y) * std::size_t(tile.width);
            for (int x = 0; x < tile.width; ++x)
                out[x] = uchar(qGray(row[x]));
        }
        return tile;
    }

    BarCodeLook m_look;
    int m_dpi = 0;
    std::array<CharacterTile, 128> m_tiles;
    std::array<bool, 128> m_drawn = {};
    qint64 m_bytes = 0;
};

// CRC-32 as PNG chunks carry it (the ISO 3309 polynomial, reflected).
quint32 Crc32(quint32 crc, const char* data, qsizetype length)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (qsizetype i = 0; i < length; ++i)
        crc = table[(crc ^ uchar(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void AppendBigEndian(QByteArray& out, quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    out.append(bytes, 4);
}

void AppendChunk(QByteArray& out, const char* type, const QByteArray& data)
{
    AppendBigEndian(out, quint32(data.size()));
    const qsizetype start = out.size();
    out.append(type, 4);
    out += data;
    AppendBigEndian(out, Crc32(0, out.constData() + start, out.size() - start));
}

// An 8-bit grey image as a PNG file: its size, its resolution and its pixels, nothing else. Written here
// rather than by the image writer, whose trials of every row filter at a thorough zlib level cost more than
// drawing the picture: bars are vertical, so each row less the one above is nearly all zeros, which the
// fastest zlib level packs small.
QByteArray GreyPng(const QImage& grey)
{
    const int width = grey.width(), height = grey.height();
    QByteArray rows(qsizetype(height) * (width + 1), Qt::Uninitialized);
    uchar* out = reinterpret_cast<uchar*>(rows.data());
    for (int y = 0; y < height; ++y, out += width + 1) {
        const uchar* row = grey.constScanLine(y);
        if (y == 0) {
            out[0] = 0; // no filter
            std::memcpy(out + 1, row, std::size_t(width));
        } else {
            out[0] = 2; // each byte less the one above it
            const uchar* above = grey.constScanLine(y - 1);
            if (std::memcmp(row, above, std::size_t(width)) == 0) {
                std::memset(out + 1, 0, std::size_t(width)); // most rows: through the bars
            } else {
                for (int x = 0; x < width; ++x)
                    out[x + 1] = uchar(row[x] - above[x]);
            }
        }
    }
    // qCompress gives a zlib stream after four bytes of length.
    const QByteArray packed = qCompress(rows, 1);
    rows = QByteArray();
    if (packed.size() <= 4)
        return {};

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    AppendBigEndian(header, quint32(width));
    AppendBigEndian(header, quint32(height));
    header.append("\x08\x00\x00\x00\x00", 5); // 8 bits of grey; deflate, row filters, no interlace
    AppendChunk(png, "IHDR", header);
    QByteArray resolution;
    AppendBigEndian(resolution, quint32(grey.dotsPerMeterX()));
    AppendBigEndian(resolution, quint32(grey.dotsPerMeterY()));
    resolution.append('\x01'); // dots per metre
    AppendChunk(png, "pHYs", resolution);
    AppendChunk(png, "IDAT", QByteArray::fromRawData(packed.constData() + 4, packed.size() - 4));
    AppendChunk(png, "IEND", {});
    return png;
}

bool LaidOut(const QString& barText, const BarCodeLayout& layout, QString& error)
{
    QString why;
    return !layout.size.isEmpty() || CanDrawBarCodeText(barText, why) || Fail(error, why);
}

} // namespace

bool MeasureBarCodeImage(const QString& barText, const BarCodeLook& look, int dpi, BarCodeImageSize& size,
                         QString& error)
{
    size = {};
    const auto tooLarge = [&](const QString& why) {
        size.tooLarge = true;
        return Fail(error, why);
    };
    if (!CanDrawBarCodeText(barText, error))
        return false;
    if (!BarCodeTypefaceAvailable(look)) {
        return Fail(error,
                    QStringLiteral("the typeface \"%1\" is not available").arg(BarCodeFont(look, dpi).family()));
    }

    // A cheap bound first: sizing a huge text at a huge size could overflow.
    const int pixels = PixelsPerEm(look.pointSize, dpi);
    if (qint64(barText.size()) * pixels * pixels > kMaxImagePixels)
        return tooLarge(kImageTooLarge);
    // A margin of two modules round the symbol and its quiet zones.
    const int margin = qCeil(2 * pixels / double(kModulesPerCharacter));
    const QSizeF extent = BarCodeExtent(barText, look, dpi);
    const qint64 width = qCeil(extent.width()) + 2 * margin;
    const qint64 height = qCeil(extent.height()) + 2 * margin;
    if (width > kMaxPngWidth)
        return tooLarge(QStringLiteral("image too wide (%1 pixels; a PNG image holds at most %2)")
                            .arg(width)
                            .arg(kMaxPngWidth));
    if (width * height > kMaxImagePixels)
        return tooLarge(QStringLiteral("%1 (%2 x %3 pixels)").arg(kImageTooLarge).arg(width).arg(height));
    size = {width, height, margin, false};
    return true;
}

bool DrawBarCodeImage(const QString& barText, const BarCodeLook& look, int dpi, QImage& grey, QString& error)
{
    BarCodeImageSize size;
    if (!MeasureBarCodeImage(barText, look, dpi, size, error))
        return false;
    grey = QImage(int(size.width), int(size.height), QImage::Format_Grayscale8);
    if (grey.isNull())
        return Fail(error,
                    QStringLiteral("not enough memory for a %1 x %2 image").arg(size.width).arg(size.height));
    const int dotsPerMeter = qRound(dpi / 0.0254);
    grey.setDotsPerMeterX(dotsPerMeter);
    grey.setDotsPerMeterY(dotsPerMeter);
    grey.fill(255);

    static std::mutex mutex;
    static CharacterTiles tiles;
    const std::lock_guard lock(mutex);
    const int em = PixelsPerEm(look.pointSize, dpi);
    qint64 inkedUpTo = 0; // the columns left of this may hold a character's ink
    for (qsizetype i = 0; i < barText.size(); ++i) {
        const CharacterTile& tile = tiles.Tile(barText[i], look, dpi);
        const qint64 left = tile.left + i * em;
        const int to = int(std::min<qint64>(tile.width, grey.width() - left));
        if (tile.width == 0 || left < 0 || to <= 0)
            continue;
        // Ink laid over a neighbour's darkens it, as the painter lays one glyph over another; on white
        // paper it is a copy.
        const bool overlaps = left < inkedUpTo;
        for (int y = 0; y < tile.height && tile.top + y < grey.height(); ++y) {
            const uchar* in = tile.pixels.data() + std::size_t(y) * std::size_t(tile.width);
            uchar* out = grey.scanLine(tile.top + y) + left;
            if (overlaps) {
                for (int x = 0; x < to; ++x)
                    out[x] = std::min(out[x], in[x]);
            } else {
                std::memcpy(out, in, std::size_t(to));
            }
        }
        inkedUpTo = std::max(inkedUpTo, left + to);
    }
    tiles.Trim();
    return true;
}

QByteArray BarCodePng(const QString& barText, const BarCodeLook& look, int dpi, QString& error)
{
    QImage image;
    if (!DrawBarCodeImage(barText, look, dpi, image, error))
        return {};
    const QByteArray png = GreyPng(image);
    if (png.isEmpty())
        Fail(error, QStringLiteral("the PNG image could not be made"));
    return png;
}

QByteArray BarCodeSvg(const QString& barText, const BarCodeLook& look, const QString& title, QString& error)
{
    // Every character has five bars, none shorter in the file than this: a row too long is refused before
    // it is laid out, which would take as much memory again.
    constexpr qint64 kLeastBarBytes = sizeof("<rect x=\"0\" y=\"0\" width=\"0\" height=\"0\"/>\n") - 1;
    if (!CanDrawBarCodeText(barText, error))
        return {};
    if (barText.size() * 5 * kLeastBarBytes > kMaxSvgBytes)
        return Fail(error, kImageTooLarge), QByteArray();
    const BarCodeLayout layout = LayOutBarCode(barText, look);
    if (!LaidOut(barText, layout, error))
        return {};
    const QByteArray width = Trimmed(layout.size.width()), height = Trimmed(layout.size.height());
    QByteArray svg;
    svg.reserve(std::min<qint64>(1024 + layout.bars.size() * 64 + layout.characters.size() * 48, kMaxSvgBytes));
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           width + "pt\" height=\"" + height + "pt\" viewBox=\"0 0 " + width + ' ' + height + "\">\n";
    svg += "<title>" + XmlEscaped(title) + "</title>\n";
    // White behind everything: the quiet zones are part of the symbol, whatever the page colour.
    svg += "<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#fff\"/>\n<g fill=\"#000\">\n";
    for (const QRectF& bar : layout.bars) {
        svg += "<rect x=\"" + Trimmed(bar.x()) + "\" y=\"" + Trimmed(bar.y()) + "\" width=\"" +
               Trimmed(bar.width()) + "\" height=\"" + Trimmed(bar.height()) + "\"/>\n";
        if (svg.size() > kMaxSvgBytes)
            return Fail(error, kImageTooLarge), QByteArray();
    }
    svg += "</g>\n";
    if (!layout.characters.isEmpty()) {
        svg += "<g font-family=\"monospace\" font-size=\"" + Trimmed(layout.textPointSize) +
               "\" text-anchor=\"middle\" fill=\"#000\">\n";
        for (const BarCodeLayout::Character& c : layout.characters) {
            svg += "<text x=\"" + Trimmed(c.baseline.x()) + "\" y=\"" + Trimmed(c.baseline.y()) + "\">" +
                   XmlEscaped(QString(c.c)) + "</text>\n";
        }
        svg += "</g>\n";
    }
    svg += "</svg>\n";
    if (svg.size() > kMaxSvgBytes)
        return Fail(error, kImageTooLarge), QByteArray();
    return svg;
}

QByteArray BarCodePdf(const QString& barText, const BarCodeLook& look, const QString& title, QString& error)
{
    // The page is as wide as the layout below (an em a character and ten modules each side), found first:
    // laying out a row too long would take far more memory than its page is allowed.
    if (!CanDrawBarCodeText(barText, error))
        return {};
    if (std::ceil(double(barText.size() * kModulesPerCharacter + 2 * kQuietZoneModules) * look.pointSize /
                  kModulesPerCharacter) > kMaxPdfPageSide)
        return Fail(error, kPageTooLarge), QByteArray();
    const BarCodeLayout layout = LayOutBarCode(barText, look);
    if (!LaidOut(barText, layout, error))
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(kCreator);
        // Painter units are points.
        pdf.setResolution(72);
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
        // The writer keeps page sizes in whole points: the symbol goes in the middle of the next larger page.
        const QSizeF page(qCeil(layout.size.width()), qCeil(layout.size.height()));
        if (page.width() > kMaxPdfPageSide || page.height() > kMaxPdfPageSide ||
            !pdf.setPageSize(QPageSize(page, QPageSize::Point, QString(), QPageSize::ExactMatch)))
            return Fail(error, kPageTooLarge), QByteArray();
        QPainter painter;
        if (!painter.begin(&pdf))
            return Fail(error, QStringLiteral("the PDF page could not be made")), QByteArray();
        painter.translate((page.width() - layout.size.width()) / 2, (page.height() - layout.size.height()) / 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        QPainterPath bars;
        for (const QRectF& bar : layout.bars)
            bars.addRect(bar);
        painter.drawPath(bars);

        QFont font = ReadableTextFont();
        font.setPointSizeF(layout.textPointSize);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QFontMetricsF metrics(font, &pdf);
        for (const BarCodeLayout::Character& c : layout.characters) {
            const QString text(c.c);
            painter.drawText(c.baseline - QPointF(metrics.horizontalAdvance(text) / 2, 0), text);
        }
        painter.end();
    }
    return bytes;
}

QString PictureFilters()
{
    QStringList filters;
    for (const PictureKind& kind : kPictureKinds)
        filters.append(QString::fromLatin1(kind.filter));
    return filters.join(QStringLiteral(";;"));
}

PictureType PictureTypeOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const PictureKind& kind : kPictureKinds) {
        if (suffix.compare(QLatin1String(kind.extension), Qt::CaseInsensitive) == 0)
            return kind.type;
    }
    return PictureType::Png;
}

QString PictureExtension(PictureType type)
{
    for (const PictureKind& kind : kPictureKinds) {
        if (kind.type == type)
            return QString::fromLatin1(kind.extension);
    }
    return QString::fromLatin1(kPictureKinds[0].extension);
}

QByteArray PictureBytes(PictureType type, const QString& barText, const BarCodeLook& look, const QString& title,
                        int dpi, QString& error)
{
    switch (type) {
    case PictureType::Svg:
        return BarCodeSvg(barText, look, title, error);
    case PictureType::Pdf:
        return BarCodePdf(barText, look, title, error);
    case PictureType::Png:
        break;
    }
    return BarCodePng(barText, look, dpi, error);
}

} // namespace render
