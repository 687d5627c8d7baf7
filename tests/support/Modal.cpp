#include "Modal.h"

#include <QApplication>
#include <QTimer>

namespace support {

void OnNextModalWidget(const std::function<bool(QWidget*)>& accepts, const std::function<void(QWidget*)>& action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, accepts, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !accepts(modal))
            return;
        // Stopped before the action, which may spin an event loop of its own.
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

} // namespace support
