#pragma once
// The point size applies at its second digit and the focus goes to the data field at once, while the
// user may still be typing a longer size (200, 1000). The digits that follow within a typing pause are
// handed back to the size box, so a keystroke meant for the size never changes the data.

#include <QElapsedTimer>
#include <QObject>

class QComboBox;
class QLineEdit;

namespace kelm {

class SizeTypingFollower : public QObject {
    Q_OBJECT
public:
    // How long after an applied size a digit typed into the data field still belongs to the size.
    static constexpr int kTypingPauseMs = 1000;

    SizeTypingFollower(QComboBox* sizeBox, QLineEdit* dataField);

    // Called when a typed size has just been applied and the focus moved to the data field.
    void sizeApplied();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool following() const;

    QComboBox* m_sizeBox;
    QLineEdit* m_dataField;
    QElapsedTimer m_sinceApplied;
};

} // namespace kelm
