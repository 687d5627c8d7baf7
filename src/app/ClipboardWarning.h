#pragma once
// The note that not every program pastes the bar code's font, shown before the first copy of a run
// when other programs lack the bar-code typefaces. It stands in the middle of the screen.

#include "ui_ClipboardWarning.h"

#include <QDialog>

class ClipboardWarning : public QDialog, private Ui::ClipboardWarning {
    Q_OBJECT
public:
    explicit ClipboardWarning(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};
