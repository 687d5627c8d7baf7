// Start-up: the application object, the main window (which makes its dialogs and reads the bar-code
// typefaces right after its first frame), the message loop.
#include "MainWindow.h"
#include "Settings.h"
#include "StartOptions.h"
#include "Texts.h"
#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"

#include <QApplication>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // Answered without a display: a terminal asking for help needs no window.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<std::string> answer = kelm::StartAnswer(arguments)) {
        std::fwrite(answer->data(), 1, answer->size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
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
        QApplication::exec();
    } catch (const platform::Error& e) {
        platform::ShowStandardError(e.message());
    }
    return 0;
}
