// Start-up: the application object, the window set, the message loop.
#include "Kelm.h"
#include "WindowSet.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "render/Typefaces.h"

#include <QApplication>

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    try {
        // The application's name is what the desktop lists the program under. (A display name would
        // also be appended to every window title.)
        QApplication::setApplicationName(QString(platform::kApplicationTitle));
        // The program's own bar-code typefaces, so the preview shows bars on any system.
        render::RegisterBarCodeTypefaces();
        CreateWindowSet();
        KelmInput->show();
        // Its first activation loads the settings; without a window manager nothing else activates it.
        KelmInput->activateWindow();
        QApplication::exec();
    } catch (const platform::Error& e) {
        platform::ShowStandardError(e.message());
    }
    DestroyWindowSet();
    return 0;
}
