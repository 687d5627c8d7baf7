#include "DesktopOpener.h"

#include "WindowPlacement.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace kelm {

namespace {

// The busy cursor of one word processor's start: it goes when the start fails, when another program
// takes the keyboard, after a while, or with the main window.
class BusyWhileStarting : public QObject {
public:
    explicit BusyWhileStarting(QWidget* mainWindow) : QObject(mainWindow)
    {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive)
                end();
        });
        QTimer::singleShot(kWordProcessorStartMs, this, &BusyWhileStarting::end);
    }
    ~BusyWhileStarting() override
    {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }
    void end()
    {
        if (std::exchange(m_busy, false))
            QApplication::restoreOverrideCursor();
        deleteLater();
    }

private:
    bool m_busy = true;
};

} // namespace

QString NotStartedMessage(Handler handler, const QString& file)
{
    switch (handler) {
    case Handler::HelpViewer:
        return QStringLiteral("No help viewer could be started to show %1.\nInstall a viewer for .chm help "
                              "files (such as the xchm package) and make it the desktop's default for them.")
            .arg(file);
    case Handler::WebBrowser:
        return QStringLiteral("No web browser could be started to open %1.\nInstall a web browser and make "
                              "it the desktop's default (xdg-settings set default-web-browser).")
            .arg(file);
    case Handler::WordProcessor:
        return QStringLiteral("No word processor could be started to open the label template %1.\nInstall "
                              "one that opens RTF documents (such as the libreoffice-writer package) and make "
                              "it the desktop's default for them.")
            .arg(file);
    }
    return QString();
}

void OpenWithDesktop(QWidget* mainWindow, Handler handler, const QString& verb, const QString& file,
                     const QString& folder)
{
    QPointer<BusyWhileStarting> busy;
    if (handler == Handler::WordProcessor)
        busy = new BusyWhileStarting(mainWindow);
    QPointer<QWidget> window(mainWindow);
    platform::ShellExecute(mainWindow, verb, file, QString(), folder, [window, busy, handler, file] {
        if (busy)
            busy->end();
        if (window)
            platform::ShowWarning(window, window->pos() + kWarningOffset, NotStartedMessage(handler, file));
    });
}

} // namespace kelm
