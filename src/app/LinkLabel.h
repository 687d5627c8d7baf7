#pragma once
// A text that acts as a link: a left click over it, or Enter or Space while it has the focus, activates it.
// Static texts have no click of their own, and a rich-text link would hand the address to Qt's opener
// rather than to the window that decides what to do with it.

#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void activated();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
