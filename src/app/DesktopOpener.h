#pragma once
// Documents and web addresses handed to the desktop: when nothing can open one, the user is told what is
// missing and what to install; while a word processor starts, the cursor says the program is busy.

#include <QString>

class QWidget;

namespace kelm {

// What the desktop is asked to open with: it names what is missing when nothing opens.
enum class Handler { HelpViewer, WebBrowser, WordProcessor };

// How long the busy cursor stays at most while a word processor starts (it goes as soon as another
// program takes the keyboard, or the start fails).
inline constexpr int kWordProcessorStartMs = 10000;

// Opens the file (a document, found in folder when that is given, or a web address) with the
// desktop's handler and returns at once. When none can be started, a warning beside the main window
// says so.
void OpenWithDesktop(QWidget* mainWindow, Handler handler, const QString& verb, const QString& file,
                     const QString& folder = QString());

// The message for a handler that could not be started on the file.
QString NotStartedMessage(Handler handler, const QString& file);

} // namespace kelm
