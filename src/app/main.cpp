// Start-up: the application object, the typefaces, the main window with its dialogs, the message loop.
#include "MainWindow.h"
#include "Settings.h"
#include "Texts.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "render/Typefaces.h"

#include <QApplication>
#include <memory>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    std::unique_ptr<MainWindow> window;
    try {
        // The application's name is what the desktop lists the program under and the standard error
        // box's title. (A display name would also be appended to every window title.)
        QApplication::setApplicationName(QString::fromLatin1(kelm::kApplicationTitle));
        window = std::make_unique<MainWindow>(kelm::SettingsFileName(platform::ExecutablePath()));
        window->show();
        // Its first activation loads the settings; without a window manager nothing else activates it.
        window->activateWindow();
        // The program's own bar-code typefaces, so the preview shows bars on any system. Nothing shows a
        // bar code before the first Make, so they are read once the window is on its way to the screen.
        QMetaObject::invokeMethod(
            &app, [] { render::RegisterBarCodeTypefaces(); }, Qt::QueuedConnection);
        QApplication::exec();
    } catch (const platform::Error& e) {
        platform::ShowStandardError(e.message());
    }
    return 0;
}
