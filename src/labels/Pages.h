#pragma once
// Pages on any paged device (a printer, a PDF writer): the page set up for a stock's paper, and the loop
// that paints one page after another. Every job of pages goes through it.

#include "Stock.h"

#include <QPageLayout>

#include <functional>

class QIODevice;
class QPagedPaintDevice;
class QPainter;

namespace labels {

// The page layout for a stock's paper: its size (a custom one for rolls and single labels), a wide page as a
// portrait one turned, and no margins (label positions are measured from the paper's edge). Every job that
// prints a stock's labels, on a printer or into a PDF, sets this layout.
QPageLayout StockPageLayout(const Stock& stock);

// Paints one page (from 0) of a job, the painter's origin at the page's top-left corner.
using PageDrawer = std::function<void(QPainter& painter, int page)>;

// Asked before each page after the first: true when there is one more to paint.
using MorePages = std::function<bool()>;

enum class PaintResult { Painted, NotStarted, NotFinished };

// Paints pageCount pages (at least one) on device, each after the first on a new page. NotStarted when the
// device cannot be painted on (nothing is drawn), NotFinished when it fails to end the job.
PaintResult PaintPages(QPagedPaintDevice& device, int pageCount, const PageDrawer& drawPage);
// The same for a job whose length is known only as it goes: the first page, then one more while more() says so.
PaintResult PaintPages(QPagedPaintDevice& device, const MorePages& more, const PageDrawer& drawPage);

// pageCount pages (at least one) of the stock's paper as a PDF at dpi, its creator the code39 command,
// written to out (open for writing) as each page is finished: a job of any length takes the memory of
// one page. False with a reason in error; a failure of out itself is out's to report.
bool WritePdfPages(QIODevice& out, const Stock& stock, int dpi, int pageCount, const PageDrawer& drawPage,
                   QString& error);
bool WritePdfPages(QIODevice& out, const Stock& stock, int dpi, const MorePages& more, const PageDrawer& drawPage,
                   QString& error);

} // namespace labels
