#include "ClipboardWarning.h"

#include <QScreen>
#include <QShowEvent>

ClipboardWarning::ClipboardWarning(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    // The choice not to be warned again is kept nowhere, so the box is not offered.
    dontWarnAgainBox->hide();
    setFixedSize(sizeHint());
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

void ClipboardWarning::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Centred by its frame, which the platform knows once the window exists.
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}
