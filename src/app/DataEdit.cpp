#include "DataEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

DataEdit::DataEdit(QWidget* parent) : QLineEdit(parent) {}

bool DataEdit::event(QEvent* event)
{
    // A line edit drops its selection when it loses the focus, unless to another window or a popup, and
    // selects everything when entered by Tab or a mnemonic: it is given those reasons instead.
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1)
            emit helpRequested();
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            QFocusEvent kept(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
            return QLineEdit::event(&kept);
        }
        break;
    }
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason) {
            QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
            return QLineEdit::event(&plain);
        }
        break;
    }
    default:
        break;
    }
    return QLineEdit::event(event);
}
