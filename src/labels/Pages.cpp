#include "Pages.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>

namespace labels {

QPageLayout StockPageLayout(const Stock& stock)
{
    // Page sizes are portrait; a wide page is a portrait one turned.
    const bool wide = stock.page.width() > stock.page.height();
    const QPageSize size(wide ? stock.page.transposed() : stock.page, QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    QPageLayout layout(size, wide ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
    // Full-page mode: a printer's unprintable edge must not widen the margins, or the layout would differ
    // from the one asked for and the page be taken as refused.
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

PaintResult PaintPages(QPagedPaintDevice& device, int pageCount, const PageDrawer& drawPage)
{
    QPainter painter;
    if (!painter.begin(&device))
        return PaintResult::NotStarted;
    for (int page = 0; page < qMax(1, pageCount); ++page) {
        if (page > 0)
            device.newPage();
        drawPage(painter, page);
    }
    return painter.end() ? PaintResult::Painted : PaintResult::NotFinished;
}

} // namespace labels
