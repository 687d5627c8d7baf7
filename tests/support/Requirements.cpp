#include "Requirements.h"

#include "labels/StockLibrary.h"

#include <QFileInfo>

namespace support {

bool HasLabelDatabase()
{
    return QFileInfo::exists(QStringLiteral("%1/paper-sizes.xml").arg(QLatin1String(labels::kDatabaseFolder)));
}

} // namespace support
