#pragma once
// The About unit: the clipboard warning dialog, the tip-of-the-day window and the About window.

#include <QDialog>

class QCheckBox;
class QLabel;

// The clipboard warning dialog.
class TWarningBox : public QDialog {
    Q_OBJECT
public:
    explicit TWarningBox(QWidget* parent = nullptr);
    QCheckBox* noWarningBox() const;

private:
    QCheckBox* m_noWarningBox;
};

// The tip-of-the-day window.
class TTip : public QDialog {
    Q_OBJECT
public:
    explicit TTip(QWidget* parent = nullptr);
};

// The About window.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    QLabel* curVersion() const;

private:
    QLabel* m_curVersion;
};
