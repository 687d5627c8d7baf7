#include "ReadBack.h"

#include "Pages.h"
#include "code39/Code39.h"
#include "render/Typefaces.h"

#include <QImage>
#include <QPainter>
#include <QThread>
#include <QtMath>

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace labels {

namespace {

constexpr double kInchesPerMetre = 1 / 0.0254;

// Every label draws on its own painter: the drawing can run on any thread once the typefaces are known.
void PrepareToDraw()
{
    render::RegisterBarCodeTypefaces();
}

ZXing::DecodeHints HintsFor(const Sheet& sheet)
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39);
    // Search the whole label, turned or not, as a hand scanner does: the symbol need not fill the picture.
    hints.setTryHarder(true);
    hints.setTryRotate(true);
    hints.setIsPure(false);
    hints.setTryCode39ExtendedMode(sheet.fullAscii);
    hints.setValidateCode39CheckSum(sheet.checksum);
    return hints;
}

// The label alone on a white picture whose pixels are the device's dots: the picture's corner is the dot the
// label's corner falls in, counted from the page's corner, so every edge lands where the device puts it.
QImage DrawAlone(const Sheet& sheet, qsizetype label, const DrawOptions& options, int dpi)
{
    const double scale = dpi / kPointsPerInch;
    const QRectF& rect = sheet.labels[label % sheet.labels.size()];
    const QPointF offset = options.offsetMm * kPointsPerMm;
    const QRectF dots((rect.topLeft() + offset) * scale, rect.size() * scale);
    const QPoint corner(qFloor(dots.left()), qFloor(dots.top()));
    const QSize size(qCeil(dots.right()) - corner.x(), qCeil(dots.bottom()) - corner.y());
    QImage image(size, QImage::Format_Grayscale8);
    if (image.isNull())
        return image;
    image.setDotsPerMeterX(qRound(dpi * kInchesPerMetre));
    image.setDotsPerMeterY(qRound(dpi * kInchesPerMetre));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(-corner);
        DrawLabel(painter, sheet, label, options);
    }
    // A printer's dot is black or white: the drawing's grey edges become whichever they mostly are.
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            line[x] = line[x] < 128 ? 0 : 255;
    }
    return image;
}

LabelReading Read(const Sheet& sheet, qsizetype label, const DrawOptions& options, int dpi,
                  const ZXing::DecodeHints& hints)
{
    if (label < 0 || label >= sheet.barTexts.size() || sheet.barTexts[label].isEmpty() || sheet.labels.isEmpty())
        return LabelReading::Blank;
    const qsizetype row = sheet.rowOf(label) - sheet.rowsBefore; // from 1 in data
    if (row < 1 || row > sheet.data.size())
        return LabelReading::DoesNotRead; // a bar code that no row asked for
    const QImage image = DrawAlone(sheet, label, options, dpi);
    if (image.isNull())
        return LabelReading::DoesNotRead;
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                                int(image.bytesPerLine()));
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return LabelReading::DoesNotRead;
    const QString& data = sheet.data[row - 1];
    const std::u16string expected = code39::ScannedText(
        std::u16string_view(reinterpret_cast<const char16_t*>(data.utf16()), std::size_t(data.size())),
        sheet.fullAscii);
    return QString::fromStdString(result.text()) == QString::fromStdU16String(expected)
               ? LabelReading::Reads
               : LabelReading::DoesNotRead;
}

} // namespace

LabelReading ReadLabelBack(const Sheet& sheet, qsizetype label, const DrawOptions& options, int dpi)
{
    PrepareToDraw();
    return Read(sheet, label, options, dpi, HintsFor(sheet));
}

SheetReading ReadSheetBack(const Sheet& sheet, const DrawOptions& options, int dpi, const std::atomic_bool* cancel,
                           const ReadingProgress& progress)
{
    SheetReading reading;
    std::vector<qsizetype> toRead;
    for (qsizetype label = 0; label < sheet.barTexts.size(); ++label) {
        if (!sheet.barTexts[label].isEmpty())
            toRead.push_back(label);
    }
    const auto total = qsizetype(toRead.size());
    if (total == 0 || sheet.labels.isEmpty())
        return reading;
    PrepareToDraw();
    const ZXing::DecodeHints hints = HintsFor(sheet);

    // Each thread takes the next label until none is left; the results go by position, so no lock is needed.
    std::vector<LabelReading> results(toRead.size(), LabelReading::Blank);
    std::atomic<qsizetype> next{0};
    std::atomic<qsizetype> done{0};
    const auto work = [&] {
        for (qsizetype i = next++; i < total; i = next++) {
            if (cancel && cancel->load())
                return;
            results[std::size_t(i)] = Read(sheet, toRead[std::size_t(i)], options, dpi, hints);
            const qsizetype finished = ++done;
            if (progress)
                progress(finished, total);
        }
    };
    const auto helpers = std::clamp<qsizetype>(QThread::idealThreadCount(), 1, total) - 1;
    std::vector<std::jthread> threads;
    threads.reserve(std::size_t(helpers));
    for (qsizetype t = 0; t < helpers; ++t)
        threads.emplace_back(work);
    work();
    threads.clear(); // joins

    reading.cancelled = done.load() < total;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i] == LabelReading::Blank)
            continue; // not reached before the cancel
        ++reading.checked;
        if (results[i] == LabelReading::DoesNotRead)
            reading.notRead.append(toRead[i]);
    }
    return reading;
}

QStringList ReadBackProblems(const Sheet& sheet, const SheetReading& reading)
{
    QStringList problems;
    for (const qsizetype label : reading.notRead)
        problems.append(QStringLiteral("label %1 (row %2): does not read back")
                            .arg(sheet.labelsBefore + label + 1)
                            .arg(sheet.rowOf(label)));
    return problems;
}

QString ReadBackSummary(const SheetReading& reading)
{
    const qsizetype failed = reading.notRead.size();
    if (reading.cancelled)
        return QStringLiteral("reading back cancelled after %L1 labels").arg(reading.checked);
    if (reading.checked == 0)
        return QStringLiteral("no label holds a bar code to read back");
    if (reading.checked == 1)
        return failed == 0 ? QStringLiteral("the label reads back")
                           : QStringLiteral("the label does not read back");
    if (failed == 0)
        return QStringLiteral("all %L1 labels read back").arg(reading.checked);
    return QStringLiteral("%L1 of %L2 labels %3 not read back")
        .arg(failed)
        .arg(reading.checked)
        .arg(failed == 1 ? QStringLiteral("does") : QStringLiteral("do"));
}

} // namespace labels
