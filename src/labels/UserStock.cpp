#include "UserStock.h"

#include <QStringList>
#include <QtMath>

namespace labels {

namespace {

QString Number(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

bool MakeUserStock(const UserStockInput& input, Stock& stock, QString& error)
{
    if (input.name.trimmed().isEmpty()) {
        error = QStringLiteral("the stock has no name");
        return false;
    }
    const double unit = input.inches ? kPointsPerInch : kPointsPerMm;
    // Sheets beyond a metre, or more labels than a sheet can hold, are slips of the keyboard.
    if (!(input.pageWidth * unit <= kMaxPageSide && input.pageHeight * unit <= kMaxPageSide)) {
        error = QStringLiteral("the page is larger than a metre");
        return false;
    }
    if (qint64(input.columns) * input.rows > kMaxLabelsPerSheet) {
        error = QStringLiteral("more than %1 labels on a sheet").arg(kMaxLabelsPerSheet);
        return false;
    }
    Stock made;
    made.part = input.name.simplified();
    made.description = QStringLiteral("your own stock");
    made.page = QSizeF(input.pageWidth * unit, input.pageHeight * unit);
    made.label = QSizeF(input.labelWidth * unit, input.labelHeight * unit);
    made.layouts.append({input.columns, input.rows, input.left * unit, input.top * unit, input.pitchX * unit,
                         input.pitchY * unit});
    // Named after the paper it matches, to a millimetre.
    const auto near = [&](double w, double h) {
        return qAbs(made.page.width() - w) < kPointsPerMm && qAbs(made.page.height() - h) < kPointsPerMm;
    };
    if (near(210 * kPointsPerMm, 297 * kPointsPerMm)) {
        made.paperId = made.paperName = QStringLiteral("A4");
    } else if (near(8.5 * kPointsPerInch, 11 * kPointsPerInch)) {
        made.paperId = QStringLiteral("US-Letter");
        made.paperName = QStringLiteral("US Letter");
    } else {
        made.paperId = made.paperName = QStringLiteral("Other");
    }
    if (!CanPrintOn(made, error))
        return false;
    stock = made;
    return true;
}

QString UserStockValue(const UserStockInput& in)
{
    return QStringList{in.inches ? QStringLiteral("in") : QStringLiteral("mm"),
                       Number(in.pageWidth),
                       Number(in.pageHeight),
                       Number(in.labelWidth),
                       Number(in.labelHeight),
                       QString::number(in.columns),
                       QString::number(in.rows),
                       Number(in.left),
                       Number(in.top),
                       Number(in.pitchX),
                       Number(in.pitchY)}
        .join(u' ');
}

bool ParseUserStockValue(const QString& name, const QString& value, UserStockInput& input, QString& error)
{
    const QStringList fields = value.simplified().split(u' ');
    if (fields.size() != 11 || (fields[0] != u"mm" && fields[0] != u"in")) {
        error = QStringLiteral("the stock \"%1\" is not unit, page, label, columns, rows, corner and pitch")
                    .arg(name.left(80));
        return false;
    }
    UserStockInput read;
    read.name = name;
    read.inches = fields[0] == u"in";
    double* lengths[] = {&read.pageWidth, &read.pageHeight, &read.labelWidth, &read.labelHeight,
                         &read.left,      &read.top,        &read.pitchX,     &read.pitchY};
    const int lengthFields[] = {1, 2, 3, 4, 7, 8, 9, 10};
    bool ok = true;
    for (int i = 0; i < 8 && ok; ++i) {
        *lengths[i] = fields[lengthFields[i]].toDouble(&ok);
        ok = ok && qIsFinite(*lengths[i]);
    }
    bool columnsOk = false, rowsOk = false;
    read.columns = fields[5].toInt(&columnsOk);
    read.rows = fields[6].toInt(&rowsOk);
    if (!ok || !columnsOk || !rowsOk) {
        error = QStringLiteral("the stock \"%1\" has a value that is no number").arg(name.left(80));
        return false;
    }
    input = read;
    return true;
}

} // namespace labels
