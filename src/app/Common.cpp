#include "Common.h"

#include "Kelm.h"
#include "WindowSet.h"

#include <QWidget>
#include <algorithm>

namespace kelm {

QString DataFolderPath()
{
    return platform::DocumentsFolder() + platform::Separator() + QLatin1String(kDataFolderName);
}

QPoint FromMainWindow(const QPoint& offset)
{
    return (KelmInput ? KelmInput->pos() : QPoint()) + offset;
}

void FitText(QWidget* text)
{
    text->resize(std::max(text->width(), text->sizeHint().width()), text->height());
}

} // namespace kelm
