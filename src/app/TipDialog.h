#pragma once
// The tip of the day. It keeps nothing between steps: the index of the next tip lives in the settings
// file's TipoftheDay/Position, which every step reads and writes back at once.

#include "ui_TipDialog.h"

#include <QDialog>

class TipDialog : public QDialog, private Ui::TipDialog {
    Q_OBJECT
public:
    // mainWindow: what the dialog and its warnings are placed against; settingsFileName: the file
    // looked for in the data folder at every step.
    TipDialog(const QWidget* mainWindow, QString settingsFileName);
    // Hands the keyboard back to the main window's data field, as closing does.
    ~TipDialog() override;

    void setVisible(bool visible) override;

    // Shows the tip under Position (the first tip when there is none) and stores the index after it.
    // Throws platform::IniError when Position cannot be written.
    void showNextTip();
    // Moves Position back by two around the ring, then shows the tip there. Throws platform::IniError.
    void showPreviousTip();

signals:
    void focusDataRequested();

private:
    void showOpeningTip();
    void exit();
    void warn(const QString& text);

    const QWidget* m_mainWindow;
    QString m_settingsFileName;
};
