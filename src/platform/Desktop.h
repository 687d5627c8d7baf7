#pragma once
// The desktop the program talks to: folders, the shell, the beep, message boxes, the print dialog.
// Tests replace all of it with a Recorder (Recorder.h), so nothing is shown and nothing blocks.

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

class QWidget;
class QPrinter;

namespace platform {

// The platform's path limit, counted in characters with the terminating NUL (MAX_PATH).
inline constexpr int kMaxPath = 260;

// The current user's documents folder, with native separators and no trailing separator. Outside
// Windows: the folder that user-dirs.dirs names (read by UserDirsDocumentsFolder), else ~/Documents.
QString DocumentsFolder();
// XDG_DOCUMENTS_DIR from the bytes of a user-dirs.dirs file, read as the desktop's own lookup reads it:
// "$HOME/..." or "/..." in double quotes, a backslash taking the next character as it is, the last
// such line winning; nullopt when no line gives one. scripts/install-user reads the file the same way.
std::optional<QString> UserDirsDocumentsFolder(const QByteArray& userDirs, const QString& home);
// The full path of the running executable.
QString ExecutablePath();
// True when the path fits the platform's limit (fewer than kMaxPath characters).
bool FitsPathLimit(const QString& path);
bool DirectoryExists(const QString& path);
bool FileExists(const QString& path);
// The native separator ("/" here, "\" on Windows), used where the folder is shown to the user.
QString Separator();

// Opens a document or a web address with the desktop's handler and returns at once.
// An empty verb means the handler's default action. When no handler could be started, notStarted (when
// given) is called later on the user-interface thread.
void ShellExecute(QWidget* owner, const QString& verb, const QString& file, const QString& parameters,
                  const QString& directory, const std::function<void()>& notStarted = {});
// The default system beep.
void MessageBeep();
// A short note by the control that did something (a copy, a saved file) that goes by itself after
// kNoteMs without taking the focus or blocking.
inline constexpr int kNoteMs = 2000;
void ShowNote(QWidget* anchor, const QString& text);
// The modal warning box: title "Warning", warning icon, one "OK" button, frame's top-left corner at topLeft.
void ShowWarning(QWidget* parent, const QPoint& topLeft, const QString& text);
// The standard error box: the application's name as its title, error icon, one OK button.
void ShowStandardError(const QString& message);
// The print dialog on the printer; true when the user confirmed it.
bool ExecPrintDialog(QPrinter& printer, QWidget* parent);
// Work for a worker thread: it stops soon after cancel is set, and counts the steps it has done in done.
using ProgressWork = std::function<void(const std::atomic_bool& cancel, std::atomic<qsizetype>& done)>;
// Runs work on a worker thread while the window stays responsive; a progress dialog with a Cancel button
// (text above the bar, steps its length) shows when the work takes more than a moment. False when cancelled.
bool RunWithProgress(QWidget* parent, const QString& text, qsizetype steps, const ProgressWork& work);
// A modal question with Yes and No buttons, No the default; true for Yes.
bool AskYesNo(QWidget* parent, const QString& title, const QString& text);
// The Save As dialog, opened at startPath (a folder, or a folder and a suggested name); filters as the
// file dialog takes them ("PNG image (*.png);;SVG drawing (*.svg)"). Returns the chosen path as
// WithFilterExtension leaves it, or empty when cancelled. It does not ask about replacing a file that
// exists: the caller does, after the extension is settled.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& startPath, const QString& filters);
// path with the first extension of chosenFilter appended when its name ends in none of the extensions
// that filters list (case aside); path itself when it does, or when the filter names none.
QString WithFilterExtension(const QString& path, const QString& filters, const QString& chosenFilter);

} // namespace platform
