#include "Zpl.h"

namespace labels {

bool WriteZpl(const Sheet&, const DrawOptions&, QIODevice&, QString& error)
{
    error = QStringLiteral("ZPL is not written yet");
    return false;
}

} // namespace labels
