#pragma once
// Kelm: the main window, TKelmInput, and everything it runs.
//
// Where things live:
//   code39/Code39.h     the encoding core (symbol set, check character, Full ASCII, Make's string steps);
//                       no Qt, no window code.
//   platform/           the desktop: profile (INI) files, folders, shell, beep, message boxes, the print
//                       dialog, the application object that reports handler errors. Tests swap the
//                       desktop for a platform::Recorder.
//   app/Kelm.*          this window: layout in Kelm.ui (object names are the control names), Make, the
//                       Full ASCII controls, restyle, Copy, help and web links, the activation sequence
//                       and the settings file. Print Sample (BitBtn1Click) starts the sample sheet.
//   app/SampleSheet.*   the sample sheet: its layout in printer pixels and the print job.
//   app/RichEdit.*      the preview box, a QTextEdit that also puts RTF on the clipboard.
//   app/Labels.*        the label dialog TForm3.
//   app/About.*         the clipboard warning TWarningBox, the tips window TTip, the About window TForm2.
//   app/WindowSet.*     the five windows, created once in order; main.cpp starts the message loop.
//
// Every handler that can fail with a platform::Error is bound through a guard that shows the standard
// error box, as the message loop would; called directly, the handlers throw.

#include "ui_Kelm.h"

#include <QString>
#include <QWidget>

// 1 after a successful Make, 0 at start and after a failed one; only Make writes it.
extern int BarCodeMade;
// The documents folder + "Zovod" + separator, built on the first activation.
extern QString DataFolder;
// True when DataFolder exists (and the settings file's path fits the platform's limit); while false the
// main window neither reads nor writes the settings file.
extern bool DataFolderFound;
// Whether the clipboard warning has had its one chance this run.
extern bool WarningShown;

class TKelmInput : public QWidget, private Ui::TKelmInput {
    Q_OBJECT
public:
    explicit TKelmInput(QWidget* parent = nullptr);

    // Makes BarTextInput the window's focused control (it gets the keyboard focus at once when the
    // window is active, otherwise when it becomes active again).
    void FocusBarTextInput();
    // The in-place report of a user error: the preview in Arial 12 showing the message, BarTextOut
    // emptied, the default beep. Focus and BarCodeMade are the caller's business.
    void PreviewNotice(const QString& message);
    // The bar-code typeface family for the chosen style.
    QString BarCodeFontName() const;
    // Selects the whole preview and copies it (HTML, RTF and plain text); the selection stays.
    void CopyPreview();

    // What the sample sheet reads.
    QString PreviewText() const;
    QString DataText() const;
    bool ChecksumTicked() const;
    bool FullAsciiTicked() const;

    // The settings file: built from DataFolder and the executable's name.
    QString SettingsFilePath() const;

public slots:
    void BitBtn3Click(); // Make
    void BitBtn2Click(); // Copy
    void BitBtn1Click(); // Print Sample
    void BitBtn4Click(); // Print Labels
    void Button3Click(); // Insert
    void CheckBox2Click();
    void PointSizeClick();
    void PointSizeChange();
    void HelpButtonClickClick();
    void Label2Click();
    void SpeedButton1Click(); // Tips
    void SpeedButton2Click(); // About
    void TipCheckBoxClick();
    // The activation sequence; runs on the first activation only.
    void HelpCheck();
    // The close: saves the settings when the data folder was found.
    void FormClose();

public:
    // F1 (whatever the modifiers) opens the help; the key still reaches the field.
    void BarTextInputKeyDown(int key);

    void LocateDataFolder();
    // Returns true when the tip window is to be shown.
    bool LoadSettings();
    void SaveSettings();
    void SaveTipChoice(bool enabled);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RestylePreview();
    // The point size from PointSize, brought into the range the typeface can be set at.
    int PointSizeValue() const;
    void OpenHelpFile();
    void LoadPictures();
    QPoint WarningPosition() const;

    bool m_activated = false;
};
