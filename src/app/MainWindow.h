#pragma once
// Kelm's main window, and the map of the windows (src/app). The libraries underneath (code39, platform,
// render, labels) and the command line are mapped in the Layout table of README.md.
//
// The windows:
//   MainWindow.*          this window (layout in MainWindow.ui): Make, the Full ASCII controls, restyle,
//                         Copy, help and web links, the first activation and the close. It owns the
//                         four dialogs below, creates them once, together and in this order (right
//                         after its first frame, or earlier when anything needs one), and listens to
//                         their signals; no dialog knows this class.
//   ClipboardWarning.*    the note shown before the first copy of a run.
//   TipDialog.*           the tip of the day: the ring of tips in the settings file.
//   AboutDialog.*         the maker, the version and the update check.
//   LabelDialog.*         the label list; asks for a copy and opens a label template, or asks for the
//                         Fill a Sheet window.
//   FillSheetDialog.*     the Fill a Sheet window (with SheetPreview and UserStockDialog): whole sheets
//                         of labels printed through the print dialog.
//   FillSheetOpener.*     creates that window at its first opening, with the label-stock library (which
//                         takes a moment to read), fills it from the settings file at every opening and
//                         writes back what the user changes there.
// Their controls:
//   DataEdit.*            the data field, which keeps its selection as the focus comes and goes.
//   PreviewEdit.*         the preview box, a QTextEdit that also puts RTF on the clipboard.
//   LinkLabel.*           a text that acts as a link (the web address, the version).
//   SizeTypingFollower.*  digits typed just after a size applied go on to the size box, not the data.
// What the main window does through others:
//   ControlSettings.*     which control shows which setting: the table that fills the controls from the
//                         settings file and reads them back at the close.
//   Settings.*            the settings file: its path, every key with its default, the values the
//                         windows show (struct Settings) and the tip ring's Position.
//   BarCodeSaver.*        Save Bar Code As: the file dialog, the question, the write.
//   BarCodeExport.*       the made bar code as a PNG, SVG or PDF picture: what Save Bar Code As writes and
//                         the pictures Copy adds to the clipboard.
//   ControlCharacters.*   the caret codes Insert adds for the control-character list.
//   SampleSheet.*         the sample sheet: its layout in printer pixels and the print job.
//   PrintTarget.*         every print job: the print dialog on the target a window remembers, the PDF
//                         file offered without a printer, and the pages (labels/Pages.h) painted.
// Shared by the windows:
//   DesktopOpener.*       help, web pages and label templates handed to the desktop; a message when
//                         nothing can open them.
//   InstalledFiles.*      the installation's help file and data found from the program's folder; the
//                         data folder made at the first start.
//   WindowPlacement.*     dialogs and warnings beside the main window; a frame kept within reach.
//   CaptionFitting.*      captions fitted to the style and font in use.
//   WindowLook.*          the faces and pictures the fixed layout was drawn with.
//   ErrorGuard.h          Reported(): a handler's platform::Error shown in the standard error box.
//   Texts.h               the texts more than one window shows.
//   Vendor.h              the maker's details (generated from cmake/Vendor.cmake).
//   StartOptions.*        kelm --help and --version, answered before any window.
//   main.cpp              start-up: the application object, this window, the loop.
//
// Every handler that can fail with a platform::Error is bound through that guard, as the message loop
// would; called directly, the handlers throw.

#include "BarCodeExport.h"
#include "BarCodeSaver.h"
#include "PrintTarget.h"
#include "ui_MainWindow.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

class AboutDialog;
class QAction;
class ClipboardWarning;
class FillSheetDialog;
class LabelDialog;
class TipDialog;

namespace kelm {
class ControlSettings;
class FillSheetOpener;
class SettingsFile;
class SizeTypingFollower;
} // namespace kelm

class MainWindow : public QWidget, private Ui::MainWindow {
    Q_OBJECT
public:
    // settingsFileName: the settings file's name in the data folder (kelm::SettingsFileName of the
    // program's path; tests name it themselves).
    explicit MainWindow(const QString& settingsFileName, QWidget* parent = nullptr);
    ~MainWindow() override;

    // ---- What later features read --------------------------------------------------------------
    // True after a successful Make, false at start and after a failed one.
    bool barCodeMade() const { return m_barCodeMade; }
    // The string box: "*" + data + "*" after a Make (the user may have edited it since).
    QString barCodeText() const { return barCodeString->text(); }
    // The preview's whole text: the bar code, its start/stop characters and two trailing spaces.
    QString previewText() const { return preview->toPlainText(); }
    // The data field as typed.
    QString data() const { return dataEdit->text(); }
    bool checksum() const { return checksumBox->isChecked(); }
    bool fullAscii() const { return fullAsciiBox->isChecked(); }
    // The style: text below the bars, or above.
    bool textBelow() const { return textBelowButton->isChecked(); }
    // The bar-code typeface family for the chosen style.
    QString barCodeFamily() const;
    // The point size box's number, brought into the range a copy can carry (1..render::kMaxWindowPointSize).
    // Throws platform::ConvertError when the box holds no number.
    int pointSize() const;
    // The settings file in use: set at the first activation; empty until then or when the data folder
    // is missing.
    QString settingsFilePath() const;

    // The dialogs, for features that show them and for tests. Asking for any of them makes the whole set
    // when the first frame has not yet done so.
    ClipboardWarning& clipboardWarning();
    TipDialog& tipDialog();
    AboutDialog& aboutDialog();
    LabelDialog& labelDialog();
    // Nothing until the window has first been opened.
    FillSheetDialog* fillSheetDialog() const;

    // ---- The window's actions (throw platform::Error where the guard would report it) ------------
    void make();
    void copy();
    void printSample();
    void printLabels();
    // The Fill a Sheet window with the bar code as Make made it, or for a list before any Make; offering
    // the stock first when one is given.
    void fillSheet(const QString& offeredStock = QString());
    // Appends the chosen control character's caret code to the data; refused while Full ASCII is off.
    void insertControlCharacter();
    void showTips();
    void showAbout();
    void openHelp();
    void openTypefacePage();
    // Makes the data field the window's focused control (it gets the keyboard focus at once when the
    // window is active, otherwise when it becomes active again).
    void focusData();
    // Selects the whole preview and copies it (HTML, RTF and plain text, and after a Make the bar code as
    // PNG and SVG pictures); the selection stays.
    void copyPreview();
    // Asks for a file name and saves the made bar code there as PNG, SVG or PDF, by the name's extension.
    // Before a Make: the notice. A file that exists is replaced only when the user says so; a file that
    // cannot be written is reported in a warning box and left as it was.
    void saveBarCodeAs();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The dialogs and what listens to them, once; later calls do nothing.
    void createDialogs();
    kelm::ControlSettings& controlSettings();
    void addFillSheetAction();
    // What the first frame need not wait for: the dialogs, the window's icon and the bar-code typefaces.
    void finishStartUp();
    void bindHandlers();
    // Enter for Make, and keys for the controls that show no mnemonic.
    void bindKeys();
    // The first activation: the version, the settings, the tip at start-up.
    void setUp();
    void locateDataFolder();
    // Before the first showing: the frame where the settings file put it.
    void placeAtSavedPosition();
    // Returns true when the tip window is to be shown.
    bool loadSettings();
    void saveSettings();
    void saveTipsChoice();
    void showFullAsciiControls();
    // The style or size changed: restyle the preview after a Make.
    void applyPointSize();
    // The size box's text changed: apply it once it is a plausible size, else keep the focus there.
    void pointSizeEdited();
    void restylePreview();
    // The in-place report of a user error: the preview in Arial 12 showing the message, the string box
    // emptied, the default beep. Focus and the made state are the caller's business.
    void showNotice(const QString& message);
    // Ctrl+S and the preview's context-menu entry for Save Bar Code As.
    void addSaveAsAction();

    QString m_settingsFileName;
    std::unique_ptr<kelm::SettingsFile> m_settingsFile; // set when the data folder was found
    std::unique_ptr<kelm::ControlSettings> m_controlSettings;
    std::unique_ptr<ClipboardWarning> m_clipboardWarning;
    std::unique_ptr<TipDialog> m_tipDialog;
    std::unique_ptr<AboutDialog> m_aboutDialog;
    std::unique_ptr<LabelDialog> m_labelDialog;
    std::unique_ptr<kelm::FillSheetOpener> m_fillSheet;
    kelm::SizeTypingFollower* m_sizeTyping = nullptr; // owned by the data field
    bool m_barCodeMade = false;
    // The bar code of the last successful Make as the preview shows it (restyles included).
    kelm::MadeBarCode m_made;
    QAction* m_saveAsAction = nullptr;
    kelm::BarCodeSaver m_barCodeSaver;
    // Where the last sample sheet went, for the next one in this run.
    kelm::PrintTargetMemory m_printTarget;
    bool m_activated = false;
    bool m_firstFramePainted = false;
    bool m_placedBeforeShowing = false;
    bool m_fitPending = false;
    // Whether the clipboard warning has had its one chance this run.
    bool m_clipboardWarningConsidered = false;
};
