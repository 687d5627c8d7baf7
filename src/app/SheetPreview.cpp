#include "SheetPreview.h"

#include <QPainter>

SheetPreview::SheetPreview(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SheetPreview::showPage(const labels::Sheet* sheet, int page)
{
    m_sheet = sheet;
    m_page = page;
    update();
}

void SheetPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_sheet || m_sheet->stock.page.isEmpty())
        return;
    // The page in the widget's pixels at its resolution, scaled down whole to fit and centred.
    const double dpi = logicalDpiY();
    const QSizeF page = m_sheet->stock.page * (dpi / 72.0);
    const double scale = qMin((width() - 8) / page.width(), (height() - 8) / page.height());
    if (scale <= 0)
        return;
    painter.translate((width() - page.width() * scale) / 2, (height() - page.height() * scale) / 2);
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(), page), Qt::white);
    painter.setPen(QPen(Qt::darkGray, 0));
    painter.drawRect(QRectF(QPointF(), page));
    // Bars a few printer dots wide are a fraction of a screen pixel here: shaded, not dropped.
    painter.setRenderHint(QPainter::Antialiasing);
    labels::DrawOptions options;
    options.outlines = true;
    labels::DrawPage(painter, *m_sheet, m_page, options);
}
