#include "Common.h"

#include <QRect>
#include <QWidget>
#include <algorithm>

namespace kelm {

void PlaceBeside(QWidget* window, const QRect& mainFrame, const QPoint& offset)
{
    window->move(mainFrame.topLeft() + offset);
}

void FitText(QWidget* text)
{
    text->resize(std::max(text->width(), text->sizeHint().width()), text->height());
}

} // namespace kelm
