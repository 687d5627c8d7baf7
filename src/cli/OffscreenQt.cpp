#include "OffscreenQt.h"

#include "Messages.h"

#include <cstdio>

namespace cli {

namespace {

void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        Complain(stderr, message);
}

} // namespace

std::unique_ptr<QGuiApplication> StartOffscreenQt(char* programName)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no display needed
    qInstallMessageHandler(QuietMessages);
    // Qt keeps a reference to the count and the vector for the application's life.
    static int argc = 1;
    static char* argv[] = {programName, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace cli
