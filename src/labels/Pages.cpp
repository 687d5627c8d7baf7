#include "Pages.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

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

namespace {

MorePages UpTo(int pageCount)
{
    return [pageCount, painted = 1]() mutable { return painted++ < pageCount; };
}

} // namespace

PaintResult PaintPages(QPagedPaintDevice& device, int pageCount, const PageDrawer& drawPage)
{
    return PaintPages(device, UpTo(pageCount), drawPage);
}

PaintResult PaintPages(QPagedPaintDevice& device, const MorePages& more, const PageDrawer& drawPage)
{
    QPainter painter;
    if (!painter.begin(&device))
        return PaintResult::NotStarted;
    drawPage(painter, 0);
    for (int page = 1; more(); ++page) {
        device.newPage();
        drawPage(painter, page);
    }
    return painter.end() ? PaintResult::Painted : PaintResult::NotFinished;
}

bool WritePdfPages(QIODevice& out, const Stock& stock, int dpi, int pageCount, const PageDrawer& drawPage,
                   QString& error)
{
    return WritePdfPages(out, stock, dpi, UpTo(pageCount), drawPage, error);
}

bool WritePdfPages(QIODevice& out, const Stock& stock, int dpi, const MorePages& more, const PageDrawer& drawPage,
                   QString& error)
{
    QPdfWriter writer(&out);
    writer.setCreator(QStringLiteral("code39"));
    writer.setResolution(dpi);
    if (!writer.setPageLayout(StockPageLayout(stock))) {
        error = QStringLiteral("the page size cannot be set");
        return false;
    }
    if (PaintPages(writer, more, drawPage) == PaintResult::NotStarted) {
        error = QStringLiteral("the PDF cannot be started");
        return false;
    }
    return true;
}

} // namespace labels
