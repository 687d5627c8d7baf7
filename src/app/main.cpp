// Start-up placeholder until the main window lands.
#include "platform/Application.h"

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Make a bar code 3 of 9"));
    return 0;
}
