#pragma once
// What the windows share: the data folder, the texts and placements they have in common, and the
// guard that shows a handler's error in the standard error box.

#include "platform/Desktop.h"
#include "platform/Errors.h"

#include <QPoint>
#include <QString>

class QWidget;

namespace kelm {

inline constexpr char kDataFolderName[] = "Zovod";
// The data folder: the documents folder + separator + "Zovod", without a trailing separator.
QString DataFolderPath();

inline constexpr char kTipsFileMissing[] =
    "The Tip-of-the-Day file could not be found! Please re-install this product.";

// Warning boxes stand this far right of and below the main window's top-left corner.
inline const QPoint kWarningOffset(100, 100);
// The main window's top-left corner (screen coordinates) moved by offset.
QPoint FromMainWindow(const QPoint& offset);

// Widens a text to its caption (never below its design width), so a wider face does not cut it off.
void FitText(QWidget* text);

// Runs a handler the way the message loop would: an error it raises is shown in the standard error box.
// Keeping exceptions out of Qt's own frames matters, as Qt does not promise to unwind through them.
template <typename Handler> void Reported(Handler&& handler)
{
    try {
        handler();
    } catch (const platform::Error& e) {
        platform::ShowStandardError(e.message());
    }
}

} // namespace kelm
