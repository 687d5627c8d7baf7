#include "BarCodeSaver.h"

#include "WindowPlacement.h"
#include "platform/Desktop.h"
#include "platform/FileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace kelm {

namespace {

const QString kReplaceQuestion = QStringLiteral("%1 already exists.\nDo you want to replace it?");
const QString kCannotSave = QStringLiteral("The bar code could not be saved as %1: %2.");

} // namespace

QString BarCodeSaver::save(QWidget* window, const MadeBarCode& made)
{
    QString folder = m_folder;
    if (folder.isEmpty()) {
        folder = platform::DocumentsFolder();
        if (!platform::DirectoryExists(folder))
            folder = QDir::toNativeSeparators(QDir::homePath());
    }
    const QString start = QDir(folder).filePath(SuggestedFileName(made.data, m_type));
    const QString path = platform::AskSaveFileName(window, kSaveAsCaption, start, PictureFilters());
    if (path.isEmpty())
        return QString();
    const QFileInfo target(path);
    const QString shown = QDir::toNativeSeparators(target.absoluteFilePath());
    if (platform::DirectoryExists(target.absolutePath()))
        m_folder = QDir::toNativeSeparators(target.absolutePath());
    m_type = PictureTypeOf(path);
    // A folder or device there is not asked about: the writer refuses it, and the warning says why.
    if (target.isFile() && !platform::AskYesNo(window, kSaveAsCaption, kReplaceQuestion.arg(shown)))
        return QString();
    QString error;
    const QByteArray bytes = PictureBytes(made, m_type, kPictureDpi, error);
    if (bytes.isEmpty() || !platform::WriteWholeFile(path, bytes, error)) {
        platform::ShowWarning(window, window->pos() + kWarningOffset, kCannotSave.arg(shown, error));
        return QString();
    }
    return shown;
}

} // namespace kelm
