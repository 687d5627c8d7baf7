#include "SizeTypingFollower.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace kelm {

SizeTypingFollower::SizeTypingFollower(QComboBox* sizeBox, QLineEdit* dataField)
    : QObject(dataField), m_sizeBox(sizeBox), m_dataField(dataField)
{
    m_dataField->installEventFilter(this);
}

void SizeTypingFollower::sizeApplied()
{
    m_sinceApplied.start();
}

bool SizeTypingFollower::following() const
{
    return m_sinceApplied.isValid() && !m_sinceApplied.hasExpired(kTypingPauseMs);
}

bool SizeTypingFollower::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_dataField)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool digit = key->text().size() == 1 && key->text().front().isDigit() &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (!digit || !following()) {
            // Any other key, or a pause, ends the size: what follows is the user's data.
            m_sinceApplied.invalidate();
            return false;
        }
        m_sinceApplied.invalidate();
        // The box applies the longer size and sends the focus back here, which follows again.
        if (QLineEdit* sizeText = m_sizeBox->lineEdit())
            sizeText->insert(key->text());
        return true;
    }
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
        m_sinceApplied.invalidate();
        return false;
    default:
        return false;
    }
}

} // namespace kelm
