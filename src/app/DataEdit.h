#pragma once
// The data field: a line edit that keeps its selection when the focus moves on, so that typing after any
// click elsewhere replaces the data, and keeps it when tabbed back into rather than selecting everything.
// F1, whatever the modifiers, asks for help; the key still reaches the field.

#include <QLineEdit>

class DataEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DataEdit(QWidget* parent = nullptr);

signals:
    void helpRequested();

protected:
    bool event(QEvent* event) override;
};
