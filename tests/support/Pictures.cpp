#include "Pictures.h"

#include "Programs.h"

#include <QDir>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <ZXing/ReadBarcode.h>

namespace support {

namespace {

QImage ReadImage(const QString& file)
{
    // A whole page at 600 dpi is beyond Qt's default limit of 128 MB once converted.
    QImageReader::setAllocationLimit(1024);
    QImage image(file);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_Grayscale8);
}

} // namespace

QImage RasterisePdf(const QString& pdf, int dpi, int page)
{
    QTemporaryDir dir;
    const QString number = QString::number(page);
    const QString base = dir.filePath(QStringLiteral("page"));
    const ProgramRun run =
        RunProgram(QStringLiteral("pdftoppm"),
                   {"-r", QString::number(dpi), "-gray", "-f", number, "-l", number, "-singlefile", pdf, base});
    if (run.status != 0)
        return {};
    return ReadImage(base + QStringLiteral(".pgm"));
}

QList<QSizeF> PdfPageSizes(const QString& pdf)
{
    // "Page    1 size: 612 x 792 pts (letter)" and "Page    1 rot:  90" for each page asked for.
    const ProgramRun run = RunProgram(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "100000", pdf});
    if (run.status != 0)
        return {};
    QList<QSizeF> sizes;
    static const QRegularExpression size(QStringLiteral(R"(^Page\s+\d+\s+size:\s+([\d.]+) x ([\d.]+) pts)"));
    static const QRegularExpression rot(QStringLiteral(R"(^Page\s+\d+\s+rot:\s+(\d+))"));
    for (const QString& line : QString::fromUtf8(run.out).split(u'\n')) {
        if (const auto m = size.match(line); m.hasMatch())
            sizes.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
        else if (const auto r = rot.match(line);
                 r.hasMatch() && !sizes.isEmpty() && r.captured(1).toInt() % 180 != 0)
            sizes.last().transpose();
    }
    return sizes;
}

QImage RasteriseSvg(const QString& svg, int dpi)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("picture.png"));
    const QString resolution = QString::number(dpi);
    const ProgramRun run =
        RunProgram(QStringLiteral("rsvg-convert"), {"-d", resolution, "-p", resolution, "-o", png, svg});
    if (run.status != 0)
        return {};
    return QImage(png);
}

QImage PictureImage(const QString& file, const QString& kind, int dpi)
{
    if (kind == QLatin1String("svg"))
        return RasteriseSvg(file, dpi);
    if (kind == QLatin1String("pdf"))
        return RasterisePdf(file, dpi);
    return QImage(file);
}

QList<QStringList> DecodeFiles(const QStringList& files)
{
    // zbarimg's XML names each image it read, so a missed image cannot shift the results.
    const ProgramRun run = RunProgram(
        QStringLiteral("zbarimg"), QStringList{"--xml", "--nodbus", "-q", "-Sdisable", "-Scode39.enable"} + files);
    QList<QStringList> symbols(files.size());
    // 4 is zbarimg's "no symbol found"; anything else but 0 is a failure.
    if (run.status != 0 && run.status != 4) {
        const QString error =
            QStringLiteral("error: zbarimg failed: ") + QString::fromLocal8Bit(run.err).trimmed();
        return QList<QStringList>(files.size(), QStringList{error});
    }
    QXmlStreamReader xml(run.out);
    qsizetype index = -1;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            index = files.indexOf(xml.attributes().value(QLatin1String("href")).toString());
        } else if (xml.name() == QLatin1String("data") && index >= 0) {
            const bool base64 = xml.attributes().value(QLatin1String("format")) == QLatin1String("base64");
            const QString text = xml.readElementText();
            symbols[index].append(base64 ? QString::fromLatin1(QByteArray::fromBase64(text.toLatin1())) : text);
        }
    }
    if (xml.hasError())
        return QList<QStringList>(files.size(), QStringList{"error: zbarimg's XML: " + xml.errorString()});
    return symbols;
}

QStringList DecodeFile(const QString& file)
{
    return DecodeFiles({file}).value(0);
}

QStringList DecodeImage(const QImage& image, const QRect& pixels)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("decode.png"));
    if (!(pixels.isNull() ? image : image.copy(pixels)).save(file))
        return {QStringLiteral("error: the image cannot be saved for zbarimg")};
    return DecodeFile(file);
}

QString DecodeCode39(const QImage& image, bool fullAscii, bool checksum)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39);
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setIsPure(false);
    hints.setTryCode39ExtendedMode(fullAscii);
    hints.setValidateCode39CheckSum(checksum);
    const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum,
                                int(grey.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? QString::fromStdString(result.text()) : QString();
}

} // namespace support
