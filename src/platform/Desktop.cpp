#include "Desktop.h"

#include "Errors.h"
#include "Recorder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <thread>

namespace platform {

namespace {
// Work shorter than this shows no progress dialog; the bar follows the work this often.
constexpr int kProgressDelayMs = 500;
constexpr int kProgressPollMs = 40;
} // namespace

std::optional<QString> UserDirsDocumentsFolder(const QByteArray& userDirs, const QString& home)
{
    std::optional<QString> found;
    const QList<QByteArray> lines = userDirs.split('\n');
    for (QByteArrayView line : lines) {
        const auto skipBlanks = [&line] {
            while (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t'))
                line = line.sliced(1);
        };
        const auto take = [&line](QByteArrayView word) {
            if (!line.startsWith(word))
                return false;
            line = line.sliced(word.size());
            return true;
        };
        skipBlanks();
        if (!take("XDG_DOCUMENTS_DIR"))
            continue;
        skipBlanks();
        if (!take("="))
            continue;
        skipBlanks();
        if (!take("\""))
            continue;
        QByteArray path;
        if (take("$HOME/"))
            path = QFile::encodeName(home) + '/';
        else if (!line.startsWith('/'))
            continue;
        for (qsizetype i = 0; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' && i + 1 < line.size())
                ++i;
            path += line[i];
        }
        found = QFile::decodeName(path);
    }
    return found;
}

QString DocumentsFolder()
{
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    // Qt takes the quoted value as it stands, escapes and all, so a folder named with a quote would be
    // looked for under another name than the desktop (and the installer) gave it.
    const QString home = QDir::homePath();
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config))
        config = home + QStringLiteral("/.config");
    QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
    std::optional<QString> named;
    if (dirs.open(QIODevice::ReadOnly))
        named = UserDirsDocumentsFolder(dirs.read(1 << 20), home);
    QString folder = named.value_or(home + QStringLiteral("/Documents"));
#endif
    if (folder.isEmpty())
        folder = QDir::homePath();
    folder = QDir::toNativeSeparators(QDir::cleanPath(folder));
    while (folder.size() > 1 && folder.endsWith(Separator()))
        folder.chop(1);
    return folder;
}

QString ExecutablePath()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}

bool FitsPathLimit(const QString& path)
{
    return path.size() < kMaxPath;
}

bool DirectoryExists(const QString& path)
{
    return QFileInfo(path).isDir();
}

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

QString Separator()
{
    return QString(QDir::separator());
}

void ShellExecute(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
                  const QString& directory, const std::function<void()>& notStarted)
{
    if (Recorder* r = CurrentRecorder()) {
        r->shellCalls.append({verb, file, parameters, directory, owner != nullptr});
        if (!r->shellFinds && notStarted)
            notStarted();
        return;
    }
    // Web addresses go to the browser; documents are resolved against the working folder first,
    // as the Windows shell resolves a bare file name.
    QUrl url(file);
    if (url.scheme().size() <= 1) {
        QString path = file;
        if (QFileInfo(path).isRelative())
            path = QDir(directory.isEmpty() ? QDir::currentPath() : directory).filePath(file);
        url = QUrl::fromLocalFile(path);
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // xdg-open says by its exit status whether a handler took the document; the desktop services only
    // say whether xdg-open itself started. It may wait for the handler, so it is not waited for here.
    auto* opener = new QProcess;
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, notStarted](int code, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || code != 0) && notStarted)
                             notStarted();
                         opener->deleteLater();
                     });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, notStarted](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        if (notStarted)
            notStarted();
        opener->deleteLater();
    });
    opener->start(QStringLiteral("xdg-open"), {url.isLocalFile() ? url.toLocalFile() : url.toString()});
#else
    if (!QDesktopServices::openUrl(url) && notStarted)
        QMetaObject::invokeMethod(qApp, notStarted, Qt::QueuedConnection);
#endif
}

void MessageBeep()
{
    if (Recorder* r = CurrentRecorder()) {
        ++r->beeps;
        return;
    }
    QApplication::beep();
}

void ShowNote(QWidget* anchor, const QString& text)
{
    if (Recorder* r = CurrentRecorder()) {
        r->notes.append(text);
        return;
    }
    // A label of its own in the tool tips' colours rather than a tool tip, which any key, click or
    // window activation would take away at once. One note at a time.
    static QPointer<QLabel> shown;
    if (shown)
        shown->close();
    auto* note = new QLabel(text, anchor->window(), Qt::ToolTip | Qt::FramelessWindowHint);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setAttribute(Qt::WA_ShowWithoutActivating);
    note->setTextFormat(Qt::PlainText);
    note->setForegroundRole(QPalette::ToolTipText);
    note->setBackgroundRole(QPalette::ToolTipBase);
    note->setAutoFillBackground(true);
    note->setFrameStyle(QFrame::Box | QFrame::Plain);
    note->setMargin(4);
    note->adjustSize();
    note->move(anchor->mapToGlobal(QPoint(0, anchor->height() + 2)));
    note->show();
    QTimer::singleShot(kNoteMs, note, &QWidget::close);
    shown = note;
}

void ShowWarning(QWidget* parent, const QPoint& topLeft, const QString& text)
{
    if (Recorder* r = CurrentRecorder()) {
        r->warnings.append({topLeft, text});
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Ok, parent);
    // Messages carry folder names, which may contain anything a tag is made of.
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    // Moving first marks the box as placed, so showing it does not centre it on the parent.
    box.move(topLeft);
    box.exec();
}

void ShowStandardError(const QString& message)
{
    const QString text = StandardErrorText(message);
    if (Recorder* r = CurrentRecorder()) {
        r->errors.append(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    // Error messages name files and quote what the user typed: show them as they are spelled.
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

bool ExecPrintDialog(QPrinter& printer, QWidget* parent)
{
    if (Recorder* r = CurrentRecorder()) {
        ++r->printDialogs;
        if (r->printDialogAnswer && r->preparePrinter)
            r->preparePrinter(printer);
        return r->printDialogAnswer;
    }
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool RunWithProgress(QWidget* parent, const QString& text, qsizetype steps, const ProgressWork& work)
{
    std::atomic_bool cancel{false};
    std::atomic<qsizetype> done{0};
    std::atomic_bool finished{false};
    std::optional<QProgressDialog> dialog;
    if (Recorder* r = CurrentRecorder()) {
        r->progressTexts.append(text);
        cancel = r->cancelProgress;
    } else {
        // Modal to its window, whose contents the work may be reading, which still repaints meanwhile.
        dialog.emplace(text, QStringLiteral("Cancel"), 0, int(qMin<qsizetype>(steps, INT_MAX)), parent);
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(kProgressDelayMs);
        dialog->setAutoReset(false);
        dialog->setAutoClose(false);
        QObject::connect(&*dialog, &QProgressDialog::canceled, [&cancel] { cancel = true; });
        dialog->setValue(0); // starts the clock that shows the dialog after the delay
    }
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (dialog && dialog->wasCanceled())
            cancel = true; // closed with Escape, or cancelled without the button
        if (dialog)
            dialog->setValue(int(qMin<qsizetype>(done.load(), INT_MAX)));
        if (finished)
            loop.quit();
    });
    std::thread worker([&] {
        work(cancel, done);
        finished = true;
    });
    poll.start(kProgressPollMs);
    loop.exec();
    worker.join();
    return !cancel;
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text)
{
    if (Recorder* r = CurrentRecorder()) {
        r->questions.append(text);
        return r->questionAnswer;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

namespace {

// The extensions a filter names, without their dots: "PNG image (*.png *.PNG)" gives png, PNG.
QStringList FilterExtensions(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\*\.([^\s*?\[\]()]+))"));
    QStringList extensions;
    for (auto it = pattern.globalMatch(filter); it.hasNext();)
        extensions.append(it.next().captured(1));
    return extensions;
}

} // namespace

QString WithFilterExtension(const QString& path, const QString& filters, const QString& chosenFilter)
{
    const QStringList chosen = FilterExtensions(chosenFilter);
    if (path.isEmpty() || chosen.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    for (const QString& filter : filters.split(QStringLiteral(";;"))) {
        for (const QString& extension : FilterExtensions(filter)) {
            if (name.size() > extension.size() + 1 && name.endsWith(u'.' + extension, Qt::CaseInsensitive))
                return path;
        }
    }
    return path + u'.' + chosen.front();
}

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& startPath, const QString& filters)
{
    if (Recorder* r = CurrentRecorder()) {
        r->saveFileCalls.append({title, startPath, filters, parent != nullptr});
        return WithFilterExtension(r->saveFileName, filters, r->saveFileFilter);
    }
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks once the extension is settled; the dialog would ask about the name as typed.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(filters);
    const QFileInfo start(startPath);
    if (start.isDir()) {
        dialog.setDirectory(startPath);
    } else {
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
        // The suggested name's type is the filter shown first.
        for (const QString& filter : filters.split(QStringLiteral(";;"))) {
            if (!FilterExtensions(filter).isEmpty() &&
                WithFilterExtension(start.fileName(), filter, filter) == start.fileName()) {
                dialog.selectNameFilter(filter);
                break;
            }
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return WithFilterExtension(dialog.selectedFiles().constFirst(), filters, dialog.selectedNameFilter());
}

} // namespace platform
