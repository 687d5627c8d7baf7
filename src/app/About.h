#pragma once
// The About unit: the clipboard warning dialog, the tip-of-the-day window and the About window.
// Each is created once at start-up, shown modally and places itself against the main window.

#include "ui_About.h"
#include "ui_Tip.h"
#include "ui_WarningBox.h"

#include <QDialog>

// The note that not every program pastes the bar code's font, shown before a copy.
class TWarningBox : public QDialog, private Ui::TWarningBox {
    Q_OBJECT
public:
    explicit TWarningBox(QWidget* parent = nullptr);
    QCheckBox* noWarningBox() const;

protected:
    void showEvent(QShowEvent* event) override;
};

// The tip of the day. It keeps nothing between steps: the index of the next tip lives in the settings
// file's TipoftheDay/Position, which every step reads and writes back at once.
class TTip : public QDialog, private Ui::TTip {
    Q_OBJECT
public:
    explicit TTip(QWidget* parent = nullptr);
    ~TTip() override;

    // Shows the tip under Position (the first tip when there is none) and stores the index after it.
    void ShowNextTip();
    // Moves Position back by two around the ring, then shows the tip there.
    void ShowPreviousTip();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormActivate();
    void FormDestroy();
    void NextTipClick();
    void SpeedButton1Click();
    void ExitTipsClick();
};

// The About window: the vendor, the version and two links to the vendor's pages.
class TForm2 : public QDialog, private Ui::TForm2 {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    // "V" + the version text, set by the main window.
    QLabel* curVersion() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void CurVersionClick();
    void StaticText8Click();
};
