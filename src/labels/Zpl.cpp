#include "Zpl.h"

#include <QIODevice>

#include <algorithm>

namespace labels {

namespace {

// Bytes gathered before each write: thousands of labels make a few writes, not thousands.
constexpr qsizetype kWriteChunk = 64 * 1024;

// The Code 39 characters that mean nothing else to the printer; the space goes escaped, as a field may
// lose a trailing one.
bool RawInField(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == u'$' ||
           c == u'/' || c == u'+' || c == u'%';
}

// Where the printer's field goes on the label and how far it reaches, in dots from the label's corner:
// the bars and their readable line, the quiet zones left to the paper around them.
struct Field {
    QPoint origin;
    QSize size;
};

// Each label is a format of its own, so the symbol is placed as on a label at the page's corner: on a sheet
// the PDF's may lie a dot away where the label's own corner falls between dots.
Field FieldOf(const Stock& stock, const SymbolFit& fit, const QPointF& offsetDots)
{
    const QRect place = PlaceSymbol(stock, QRectF(QPointF(), stock.label), fit, offsetDots);
    const int quiet = render::kQuietZoneModules * fit.module;
    const QSize upright(fit.widthModules() * fit.module - 2 * quiet, fit.barHeight + fit.textLine);
    if (fit.turned)
        return {place.topLeft() + QPoint(0, quiet), upright.transposed()};
    return {place.topLeft() + QPoint(quiet, 0), upright};
}

QByteArray Number(int value)
{
    return QByteArray::number(value);
}

} // namespace

bool IsZplResolution(int dpi)
{
    return std::find(std::begin(kZplResolutions), std::end(kZplResolutions), dpi) != std::end(kZplResolutions);
}

QString ZplResolutionsText()
{
    QStringList names;
    for (const int dpi : kZplResolutions)
        names.append(QString::number(dpi));
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

FillOptions ForZpl(FillOptions options)
{
    if (options.dpi > 0) {
        const double widest = double(kZplWidestModule) * render::kModulesPerCharacter * 72.0 / options.dpi;
        options.look.pointSize = std::min(options.look.pointSize, widest);
    }
    return options;
}

QByteArray ZplFieldData(const QString& barText)
{
    QStringView text(barText);
    if (text.size() >= 2 && text.front() == u'*' && text.back() == u'*')
        text = text.mid(1, text.size() - 2);
    QByteArray data;
    data.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (RawInField(text[i].unicode())) {
            data += char(text[i++].unicode());
            continue;
        }
        // A run of characters to escape, as UTF-8: a character beyond 16 bits stays whole.
        const qsizetype from = i;
        while (i < text.size() && !RawInField(text[i].unicode()))
            ++i;
        const QByteArray bytes = text.mid(from, i - from).toString().replace(u'~', u' ').toUtf8();
        for (const char byte : bytes)
            data += '_' + QByteArray(1, byte).toHex().toUpper();
    }
    return data;
}

bool WriteZpl(const Sheet& sheet, const DrawOptions& options, QIODevice& out, QString& error)
{
    if (!IsZplResolution(sheet.dpi)) {
        error = QStringLiteral("label printers take %1 dpi, not %2").arg(ZplResolutionsText()).arg(sheet.dpi);
        return false;
    }
    if (sheet.labels.isEmpty()) {
        error = QStringLiteral("the stock has no labels");
        return false;
    }
    const double scale = sheet.dpi / kPointsPerInch;
    const QSize label(qRound(sheet.stock.label.width() * scale), qRound(sheet.stock.label.height() * scale));
    const QPointF offsetDots = options.offsetMm * kPointsPerMm * scale;
    // ^LH0,0: a printer keeps the last home it was given, and the nudge is in every field's origin.
    const QByteArray head = "^XA\n^CI0^PW" + Number(label.width()) + "^LL" + Number(label.height()) + "^LH0,0\n";

    // Every length of bar code checked before a byte is written: a refused sheet leaves no half a file.
    for (const SymbolFit& fit : sheet.fits) {
        if (fit.module == 0)
            continue; // its rows failed and their labels are blank
        if (fit.module > kZplWidestModule) {
            error = QStringLiteral("narrow bars of %1 dots are wider than a label printer draws (at most %2)")
                        .arg(fit.module)
                        .arg(kZplWidestModule);
            return false;
        }
        const Field field = FieldOf(sheet.stock, fit, offsetDots);
        if (!QRect(QPoint(), label).contains(QRect(field.origin, field.size))) {
            error = QStringLiteral("the nudge of %1, %2 mm moves the bar codes past the label's edge, where a "
                                   "label printer cannot draw them")
                        .arg(options.offsetMm.x())
                        .arg(options.offsetMm.y());
            return false;
        }
    }

    QByteArray chunk;
    chunk.reserve(kWriteChunk + 1024);
    for (qsizetype i = 0; i < sheet.barTexts.size();) {
        const QString& barText = sheet.barTexts[i];
        const int row = sheet.rows.value(i);
        qsizetype next = i + 1;
        while (next < sheet.barTexts.size() && sheet.barTexts[next] == barText && sheet.rows.value(next) == row)
            ++next;
        chunk += head;
        const SymbolFit fit = FitOf(sheet, barText);
        if (!barText.isEmpty() && options.barCodes && fit.module > 0) {
            const Field field = FieldOf(sheet.stock, fit, offsetDots);
            const QByteArray height = Number(fit.barHeight);
            chunk += "^FO" + Number(field.origin.x()) + ',' + Number(field.origin.y()) + "^BY" +
                     Number(fit.module) + ",3.0," + height + "^B3" + (fit.turned ? "R" : "N") + ",N," + height +
                     ",Y," + (sheet.look.textAbove ? "Y" : "N") + "^FH^FD" + ZplFieldData(barText) + "^FS\n";
        }
        if (next - i > 1)
            chunk += "^PQ" + QByteArray::number(next - i) + '\n';
        chunk += "^XZ\n";
        if (chunk.size() >= kWriteChunk) {
            out.write(chunk);
            chunk.clear();
        }
        i = next;
    }
    if (!chunk.isEmpty())
        out.write(chunk);
    return true;
}

} // namespace labels
