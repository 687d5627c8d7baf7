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

namespace render {

namespace {

const QString kCreator = QStringLiteral("Kelm");
// Readers refuse a page side beyond 200 inches.
constexpr double kMaxPdfPageSide = 14400;

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
        return tooLarge(QStringLiteral("the image would be too large"));
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
        return tooLarge(QStringLiteral("the image would be too large (%1 x %2 pixels)").arg(width).arg(height));
    size = {width, height, margin, false};
    return true;
}

bool DrawBarCodeImage(const QString& barText, const BarCodeLook& look, int dpi, QImage& grey, QString& error)
{
    BarCodeImageSize size;
    if (!MeasureBarCodeImage(barText, look, dpi, size, error))
        return false;
    const qint64 width = size.width, height = size.height;
    const int margin = size.margin;
    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        return Fail(error, QStringLiteral("not enough memory for a %1 x %2 image").arg(width).arg(height));
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawBarCode(painter, QPointF(margin, margin), barText, look);
    }
    // By hand: Qt's own conversion prepares a colour transform for every image, which costs more than
    // drawing it, and black on white needs none.
    grey = QImage(image.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            out[x] = uchar(qGray(in[x]));
    }
    grey.setDotsPerMeterX(dotsPerMeter);
    grey.setDotsPerMeterY(dotsPerMeter);
    return true;
}

QByteArray BarCodePng(const QString& barText, const BarCodeLook& look, int dpi, QString& error)
{
    QImage image;
    if (!DrawBarCodeImage(barText, look, dpi, image, error))
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return Fail(error, QStringLiteral("the PNG image could not be made")), QByteArray();
    return bytes;
}

QByteArray BarCodeSvg(const QString& barText, const BarCodeLook& look, const QString& title, QString& error)
{
    const BarCodeLayout layout = LayOutBarCode(barText, look);
    if (!LaidOut(barText, layout, error))
        return {};
    const QByteArray width = Trimmed(layout.size.width()), height = Trimmed(layout.size.height());
    QByteArray svg;
    svg.reserve(1024 + layout.bars.size() * 64 + layout.characters.size() * 48);
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           width + "pt\" height=\"" + height + "pt\" viewBox=\"0 0 " + width + ' ' + height + "\">\n";
    svg += "<title>" + XmlEscaped(title) + "</title>\n";
    // White behind everything: the quiet zones are part of the symbol, whatever the page colour.
    svg += "<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#fff\"/>\n<g fill=\"#000\">\n";
    for (const QRectF& bar : layout.bars) {
        svg += "<rect x=\"" + Trimmed(bar.x()) + "\" y=\"" + Trimmed(bar.y()) + "\" width=\"" +
               Trimmed(bar.width()) + "\" height=\"" + Trimmed(bar.height()) + "\"/>\n";
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
    return svg;
}

QByteArray BarCodePdf(const QString& barText, const BarCodeLook& look, const QString& title, QString& error)
{
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
            return Fail(error, QStringLiteral("the page would be too large")), QByteArray();
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
