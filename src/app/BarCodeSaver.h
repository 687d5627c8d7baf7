#pragma once
// Save Bar Code As: the made bar code written to a file the user names, as a PNG, SVG or PDF picture.

#include "BarCodeExport.h"

#include <QString>

class QWidget;

namespace kelm {

// The command's caption, and the title of its file dialog and of its question.
inline const QString kSaveAsCaption = QStringLiteral("Save Bar Code As\u2026");

// Remembers where the last file went, so the next save of the run starts there.
class BarCodeSaver {
public:
    // Asks for a file name (at first in Documents, with the data as the name; then in the folder and of the
    // type of the last file chosen) and writes the bar code there as the name's extension says, else as the
    // type chosen in the dialog. A file that exists is replaced only when the user says so; a file that
    // cannot be written is reported in a warning box and left as it was. window owns the dialogs.
    // Returns the file written, as the user sees it; empty when nothing was.
    QString save(QWidget* window, const MadeBarCode& made);

private:
    QString m_folder;
    PictureType m_type = PictureType::Png;
};

} // namespace kelm
