#pragma once
// The application object: catches an exception that escapes an event handler where Qt dispatches
// events, shows it in the standard error box and carries on.

#include <QApplication>

namespace platform {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace platform
