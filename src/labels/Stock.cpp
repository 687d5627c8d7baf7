#include "Stock.h"

#include <QtMath>
#include <algorithm>

namespace labels {

int Stock::labelCount() const
{
    qint64 count = 0;
    for (const Layout& layout : layouts)
        count += qint64(layout.nx) * layout.ny;
    return int(qMin<qint64>(count, INT_MAX));
}

QList<QRectF> LabelRects(const Stock& stock)
{
    QList<QRectF> rects;
    rects.reserve(stock.labelCount());
    for (const Layout& layout : stock.layouts) {
        for (int y = 0; y < layout.ny; ++y) {
            for (int x = 0; x < layout.nx; ++x)
                rects.append(QRectF(QPointF(layout.x0 + x * layout.dx, layout.y0 + y * layout.dy), stock.label));
        }
    }
    // Rows first, then across; a stable sort keeps one layout's order where two coincide.
    std::stable_sort(rects.begin(), rects.end(), [](const QRectF& a, const QRectF& b) {
        if (qAbs(a.top() - b.top()) > 0.5)
            return a.top() < b.top();
        return a.left() < b.left() - 0.5;
    });
    return rects;
}

bool IsRoll(const Stock& stock)
{
    constexpr double kSlack = 1;
    const bool namedPaper = !stock.paperId.isEmpty() && stock.paperId != QLatin1String("Other");
    return !namedPaper && stock.labelCount() == 1 && qAbs(stock.page.width() - stock.label.width()) <= kSlack &&
           qAbs(stock.page.height() - stock.label.height()) <= kSlack;
}

namespace {

// Sizes given in one unit and pitches in another round differently: a label may reach this far past an edge.
constexpr double kEdgeSlack = 0.5;

} // namespace

QList<int> LabelsOffPage(const Stock& stock)
{
    const QRectF page = QRectF(QPointF(), stock.page).adjusted(-kEdgeSlack, -kEdgeSlack, kEdgeSlack, kEdgeSlack);
    QList<int> off;
    const QList<QRectF> rects = LabelRects(stock);
    for (qsizetype i = 0; i < rects.size(); ++i) {
        if (!page.contains(rects[i]))
            off.append(int(i + 1));
    }
    return off;
}

QString OffPageWarning(const Stock& stock)
{
    const QList<int> off = LabelsOffPage(stock);
    if (off.isEmpty())
        return {};
    // A whole column can run off a large sheet: name the first few, count the rest.
    constexpr qsizetype kNamed = 12;
    QStringList numbers;
    for (qsizetype i = 0; i < qMin(off.size(), kNamed); ++i)
        numbers.append(QString::number(off[i]));
    QString named = numbers.join(QStringLiteral(", "));
    if (off.size() > kNamed)
        named += QStringLiteral(" and %1 more").arg(off.size() - kNamed);
    const QString page = QStringLiteral("%1 x %2 mm")
                             .arg(stock.page.width() / kPointsPerMm, 0, 'f', 1)
                             .arg(stock.page.height() / kPointsPerMm, 0, 'f', 1);
    const bool one = off.size() == 1;
    return QStringLiteral("%1 %2 of %3 %4 off its %5 page and cannot be printed whole.")
        .arg(one ? QStringLiteral("Label") : QStringLiteral("Labels"), named, stock.name(),
             one ? QStringLiteral("runs") : QStringLiteral("run"), page);
}

QString LabelCountText(qint64 count)
{
    return count == 1 ? QStringLiteral("1 label") : QStringLiteral("%1 labels").arg(count);
}

bool CanPrintOn(const Stock& stock, QString& why)
{
    const auto fail = [&why](const QString& reason) {
        why = reason;
        return false;
    };
    const auto positive = [](double v) { return qIsFinite(v) && v > 0; };
    if (!positive(stock.page.width()) || !positive(stock.page.height()))
        return fail(QStringLiteral("the page has no size"));
    if (!positive(stock.label.width()) || !positive(stock.label.height()))
        return fail(QStringLiteral("the labels have no size"));
    if (stock.layouts.isEmpty())
        return fail(QStringLiteral("there are no labels on the page"));
    constexpr double kSlack = kEdgeSlack;
    for (const Layout& l : stock.layouts) {
        if (l.nx < 1 || l.ny < 1 || !qIsFinite(l.x0) || !qIsFinite(l.y0) || !qIsFinite(l.dx) || !qIsFinite(l.dy))
            return fail(QStringLiteral("a layout has no labels"));
        if ((l.nx > 1 && l.dx < stock.label.width() - kSlack) ||
            (l.ny > 1 && l.dy < stock.label.height() - kSlack))
            return fail(QStringLiteral("the labels overlap"));
        const double right = l.x0 + (l.nx - 1) * l.dx + stock.label.width();
        const double bottom = l.y0 + (l.ny - 1) * l.dy + stock.label.height();
        if (l.x0 < -kSlack || l.y0 < -kSlack || right > stock.page.width() + kSlack ||
            bottom > stock.page.height() + kSlack)
            return fail(QStringLiteral("the labels run off the page"));
    }
    return true;
}

bool HasPossibleGeometry(const Stock& stock, QString& why)
{
    const auto side = [](double v) { return qIsFinite(v) && v > 0 && v <= kMaxPageSide; };
    if (!side(stock.page.width()) || !side(stock.page.height())) {
        why = QStringLiteral("a page of %1 x %2 pt").arg(stock.page.width()).arg(stock.page.height());
        return false;
    }
    if (!side(stock.label.width()) || !side(stock.label.height()) || stock.label.width() > stock.page.width() ||
        stock.label.height() > stock.page.height()) {
        why = QStringLiteral("labels of %1 x %2 pt").arg(stock.label.width()).arg(stock.label.height());
        return false;
    }
    for (const Layout& l : stock.layouts) {
        const bool placed = qIsFinite(l.x0) && qIsFinite(l.y0) && qIsFinite(l.dx) && qIsFinite(l.dy) &&
                            qAbs(l.x0) <= kMaxPageSide && qAbs(l.y0) <= kMaxPageSide;
        if (!placed || (l.nx > 1 && l.dx < stock.label.width() / 2) ||
            (l.ny > 1 && l.dy < stock.label.height() / 2)) {
            why = QStringLiteral("labels stacked on one another");
            return false;
        }
    }
    return true;
}

QString LabelSizeText(const Stock& stock)
{
    return QStringLiteral("%1 x %2 mm")
        .arg(stock.label.width() / kPointsPerMm, 0, 'f', 2)
        .arg(stock.label.height() / kPointsPerMm, 0, 'f', 2);
}

} // namespace labels
