#include "MainWindow.h"

#include "AboutDialog.h"
#include "BarCodeSaver.h"
#include "CaptionFitting.h"
#include "ClipboardWarning.h"
#include "ControlCharacters.h"
#include "ControlSettings.h"
#include "DesktopOpener.h"
#include "ErrorGuard.h"
#include "FillSheetOpener.h"
#include "InstalledFiles.h"
#include "LabelDialog.h"
#include "SampleSheet.h"
#include "Settings.h"
#include "SizeTypingFollower.h"
#include "Texts.h"
#include "TipDialog.h"
#include "Vendor.h"
#include "WindowLook.h"
#include "WindowPlacement.h"
#include "code39/Code39.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "render/OutputLimits.h"
#include "render/Typefaces.h"
#include "version/Version.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFont>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QTextCharFormat>
#include <algorithm>
#include <limits>
#include <utility>

namespace {

const QString kNoticeFamily = QStringLiteral("Arial");
constexpr int kNoticePointSize = 12;
constexpr int kSmallestTypedPointSize = 18;
constexpr int kHintHidePause = 6000;
constexpr int kFirstLabelRow = 2;
// Qt cuts a line edit's text at 32,767 characters unless told otherwise; the builder takes any length,
// and a string box cut short would lose its check and stop characters.
constexpr int kLongestText = std::numeric_limits<int>::max();

const QString kFullAsciiOff = QStringLiteral("Must be in Full ASCII mode to enter control characters");
const QString kNothingToCopy = QStringLiteral("Nothing to copy to clip board");
const QString kMakeBeforePrinting = QStringLiteral("Must click \"Make a bar code\" before printing");
const QString kMakeBeforeLabels = QStringLiteral("Make a bar code before printing labels");
const QString kMakeBeforeSaving = QStringLiteral("Make a bar code before saving it");
const QString kTooLong = QStringLiteral("Error: the data is too long for one bar code");
const QString kFolderMissing = QStringLiteral("The folder %1 is missing, please re-install this product.");
const QString kTipsFileMissing = QString::fromLatin1(kelm::kTipsFileMissing);
const QString kCopiedNote = QStringLiteral("Copied %1 \u2014 paste it into your word processor");
const QString kSavedNote = QStringLiteral("Saved %1");

using kelm::Reported;

} // namespace

MainWindow::MainWindow(const QString& settingsFileName, QWidget* parent)
    : QWidget(parent), m_settingsFileName(settingsFileName)
{
    kelm::SubstituteLayoutFaces();
    // The fitting below covers the fonts set on the way there: no second pass is queued for them.
    m_fitPending = true;
    // Set before the controls exist, so they are made in it rather than told of a change one by one.
    setFont(kelm::LayoutFont(10));
    setupUi(this);
    for (QLabel* label : {optionsHeading, dataHeading, barCodeStringHeading, previewHeading}) {
        label->setFont(kelm::LayoutFont(11, true));
        kelm::FitText(label);
    }
    for (QLineEdit* edit : std::initializer_list<QLineEdit*>{dataEdit, barCodeString}) {
        edit->setFont(kelm::LayoutFont(15));
        edit->setMaxLength(kLongestText);
    }
    QFont link = webLink->font();
    link.setUnderline(true);
    webLink->setFont(link);
    webLink->setText(QString::fromLatin1(kelm::kWebAddress));
    makerNotice->setText(QString::fromLatin1(kelm::kMakerNotice));
    kelm::FitToStyle(clientArea);
    m_fitPending = false;

    // The client area and its 8-pixel border; the window does not resize.
    setFixedSize(clientArea->geometry().adjusted(-8, -8, 8, 8).size());
    // The window is filled in the buttons' face colour of whatever palette is in use, now or later.
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    kelm::SetButtonPictures({makeButton, copyButton, printLabelsButton, printSampleButton, insertButton,
                             tipsButton, helpButton, aboutButton});
    if (const QScreen* desktop = QGuiApplication::primaryScreen())
        move(desktop->availableGeometry().center() - rect().center());

    bindHandlers();
    bindKeys();
    // The size letter sits in the panel that also holds the style group; Qt would count the style
    // buttons among its exclusive partners (unticking "D" when it is clicked, and taking the style
    // group out of the tab chain), so the layout gives it a button group of its own.

    // The boxes take what is typed as it stands: completing "1" to "18" or "tab" to "Tab" would apply a
    // size or insert a code the user did not type.
    pointSizeBox->setCompleter(nullptr);
    controlCharacterList->setCompleter(nullptr);

    pointSizeBox->installEventFilter(this);
    m_sizeTyping = new kelm::SizeTypingFollower(pointSizeBox, dataEdit);
    dataEdit->setFocus();
    m_fillSheet = std::make_unique<kelm::FillSheetOpener>(this, m_settingsFile);
    addSaveAsAction();
    addFillSheetAction();
}

MainWindow::~MainWindow()
{
    // The dialogs go first, the last made first, while this window can still take the focus back.
    m_fillSheet.reset();
    m_labelDialog.reset();
    m_aboutDialog.reset();
    m_tipDialog.reset();
    m_clipboardWarning.reset();
}

void MainWindow::createDialogs()
{
    // Once, in this order, for the whole run: a dialog keeps the state of its controls between showings.
    if (m_labelDialog)
        return;
    m_clipboardWarning = std::make_unique<ClipboardWarning>();
    m_tipDialog = std::make_unique<TipDialog>(this, m_settingsFileName);
    m_aboutDialog = std::make_unique<AboutDialog>(this);
    m_labelDialog = std::make_unique<LabelDialog>(this);
    connect(m_tipDialog.get(), &TipDialog::focusDataRequested, this, &MainWindow::focusData);
    connect(m_aboutDialog.get(), &AboutDialog::focusDataRequested, this, &MainWindow::focusData);
    connect(m_labelDialog.get(), &LabelDialog::focusDataRequested, this, &MainWindow::focusData);
    connect(m_labelDialog.get(), &LabelDialog::copyRequested, this, &MainWindow::copyPreview);
    // Queued: the label dialog's own modal loop ends before the window opens.
    connect(
        m_labelDialog.get(), &LabelDialog::fillSheetRequested, this,
        [this] { Reported([this] { fillSheet(LabelDialog::StockName(m_labelDialog->labelSize())); }); },
        Qt::QueuedConnection);
    m_controlSettings =
        std::make_unique<kelm::ControlSettings>(static_cast<Ui::MainWindow&>(*this), *m_labelDialog);
}

ClipboardWarning& MainWindow::clipboardWarning()
{
    createDialogs();
    return *m_clipboardWarning;
}

TipDialog& MainWindow::tipDialog()
{
    createDialogs();
    return *m_tipDialog;
}

AboutDialog& MainWindow::aboutDialog()
{
    createDialogs();
    return *m_aboutDialog;
}

LabelDialog& MainWindow::labelDialog()
{
    createDialogs();
    return *m_labelDialog;
}

kelm::ControlSettings& MainWindow::controlSettings()
{
    createDialogs();
    return *m_controlSettings;
}

void MainWindow::addFillSheetAction()
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    connect(shortcut, &QShortcut::activated, this, [this] { Reported([this] { fillSheet(); }); });
}

void MainWindow::finishStartUp()
{
    createDialogs();
    // Seven sizes of picture to decode and hand to the desktop.
    if (const QIcon icon = kelm::ProgramIcon(); !icon.isNull())
        setWindowIcon(icon);
    // The program's own bar-code typefaces, so the preview shows bars on any system; nothing shows a bar
    // code before the first Make, which makes sure of them too.
    render::RegisterBarCodeTypefaces();
}

void MainWindow::bindHandlers()
{
    const auto bind = [this](auto* sender, auto signal, void (MainWindow::*handler)()) {
        connect(sender, signal, this, [this, handler] { Reported([this, handler] { (this->*handler)(); }); });
    };
    bind(makeButton, &QPushButton::clicked, &MainWindow::make);
    bind(copyButton, &QPushButton::clicked, &MainWindow::copy);
    bind(printSampleButton, &QPushButton::clicked, &MainWindow::printSample);
    bind(printLabelsButton, &QPushButton::clicked, &MainWindow::printLabels);
    bind(insertButton, &QPushButton::clicked, &MainWindow::insertControlCharacter);
    bind(helpButton, &QPushButton::clicked, &MainWindow::openHelp);
    bind(tipsButton, &QToolButton::clicked, &MainWindow::showTips);
    bind(aboutButton, &QToolButton::clicked, &MainWindow::showAbout);
    bind(textBelowButton, &QRadioButton::clicked, &MainWindow::applyPointSize);
    bind(textAboveButton, &QRadioButton::clicked, &MainWindow::applyPointSize);
    bind(sizeLetterD, &QRadioButton::clicked, &MainWindow::applyPointSize);
    bind(pointSizeBox, &QComboBox::editTextChanged, &MainWindow::pointSizeEdited);
    // Check boxes react to changes of state only, whoever makes them.
    bind(fullAsciiBox, &QCheckBox::toggled, &MainWindow::showFullAsciiControls);
    bind(tipsAtStartBox, &QCheckBox::toggled, &MainWindow::saveTipsChoice);
    bind(dataEdit, &DataEdit::helpRequested, &MainWindow::openHelp);
    bind(webLink, &LinkLabel::activated, &MainWindow::openTypefacePage);
}

void MainWindow::bindKeys()
{
    // Enter in the data field presses Make, the window's default action.
    makeButton->setDefault(true);
    connect(dataEdit, &QLineEdit::returnPressed, makeButton, &QPushButton::click);
    // The About button and the web link show no caption to carry a mnemonic.
    aboutButton->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    auto* web = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_W), this);
    connect(web, &QShortcut::activated, this, [this] { Reported([this] { openTypefacePage(); }); });
}

// ---- What later features read ----------------------------------------------------------------------

FillSheetDialog* MainWindow::fillSheetDialog() const
{
    return m_fillSheet->dialog();
}

QString MainWindow::barCodeFamily() const
{
    return render::BarCodeFontName(textBelow());
}

int MainWindow::pointSize() const
{
    // Beyond the largest a copy cannot carry the size, below 1 point there is nothing to set: the nearest
    // size that works is used instead.
    return std::clamp(platform::StrToInt(pointSizeBox->currentText()), 1, render::kMaxWindowPointSize);
}

QString MainWindow::settingsFilePath() const
{
    return m_settingsFile ? m_settingsFile->path() : QString();
}

// ---- Shared steps -----------------------------------------------------------------------------------

void MainWindow::focusData()
{
    dataEdit->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showNotice(const QString& message)
{
    QTextCharFormat notice;
    notice.setFontFamilies(QStringList{kNoticeFamily});
    notice.setFontPointSize(kNoticePointSize);
    preview->showFormatted(message, notice);
    barCodeString->setText(QString());
    platform::MessageBeep();
}

void MainWindow::copyPreview()
{
    preview->selectAll();
    if (!preview->textCursor().hasSelection())
        return;
    std::unique_ptr<QMimeData> copied(preview->selectionMimeData());
    if (m_barCodeMade)
        copied.reset(kelm::WithPictures(*copied, m_made, kelm::kPictureDpi));
    QGuiApplication::clipboard()->setMimeData(copied.release());
}

// ---- Make -------------------------------------------------------------------------------------------

void MainWindow::make()
{
    const QString typed = dataEdit->text();
    focusData();
    const code39::BuildResult built = code39::BuildBarCodeData(typed.toStdU16String(), fullAscii(), checksum());
    if (!built.ok()) {
        showNotice(QString::fromStdU16String(built.error));
        m_barCodeMade = false;
        return;
    }
    // The preview's typefaces, in case Make comes before the first frame has had them read.
    render::RegisterBarCodeTypefaces();
    // Start and stop characters and the preview's two spaces come on top of the data.
    if (built.data.size() > std::size_t(barCodeString->maxLength()) - 4) {
        showNotice(kTooLong);
        m_barCodeMade = false;
        return;
    }

    // The size is read before anything is shown, so a size that is not a number leaves every box as it was.
    QTextCharFormat barCode;
    barCode.setFontPointSize(pointSize());
    barCode.setFontFamilies(QStringList{barCodeFamily()});
    barCodeString->setText(QString::fromStdString(code39::BarCodeString(built.data)));
    preview->showFormatted(QString::fromStdString(code39::PreviewText(built.data)), barCode);
    m_barCodeMade = true;
    m_made = {typed, barCodeString->text(), !textBelow(), int(barCode.fontPointSize()), checksum(), fullAscii()};
    focusData();
}

// ---- Full ASCII controls ----------------------------------------------------------------------------

void MainWindow::showFullAsciiControls()
{
    insertButton->setVisible(fullAscii());
    controlCharacterList->setVisible(fullAscii());
    focusData();
}

void MainWindow::insertControlCharacter()
{
    if (!fullAscii()) {
        showNotice(kFullAsciiOff);
        return;
    }
    if (const QString code = kelm::CaretCodeFor(controlCharacterList->currentText()); !code.isEmpty())
        dataEdit->setText(dataEdit->text() + code);
    focusData();
}

// ---- Style and point size ---------------------------------------------------------------------------

void MainWindow::restylePreview()
{
    const QString barCode = barCodeString->text();
    const int size = pointSize();
    if (barCode.isEmpty())
        return;
    // Only the bar code's own characters change; the trailing spaces keep Make's formats. When the user
    // has edited the boxes so that the bar code is no longer in the preview, nothing changes.
    QTextCharFormat style;
    style.setFontPointSize(size);
    style.setFontFamilies(QStringList{barCodeFamily()});
    if (!preview->restyle(barCode, style))
        return;
    if (barCode == m_made.barText) {
        m_made.textAbove = !textBelow();
        m_made.pointSize = size;
    }
}

void MainWindow::applyPointSize()
{
    if (m_barCodeMade)
        restylePreview();
    focusData();
}

void MainWindow::pointSizeEdited()
{
    const QString text = pointSizeBox->currentText();
    if (text.size() < 2 || platform::StrToInt(text) < kSmallestTypedPointSize) {
        pointSizeBox->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (m_barCodeMade)
        restylePreview();
    focusData();
    m_sizeTyping->sizeApplied();
}

// ---- Copy and the buttons that open other windows -----------------------------------------------

void MainWindow::copy()
{
    if (!m_barCodeMade) {
        showNotice(kNothingToCopy);
        focusData();
        return;
    }
    if (!std::exchange(m_clipboardWarningConsidered, true) && !render::BarCodeTypefacesInstalledForOtherPrograms())
        clipboardWarning().exec();
    copyPreview();
    platform::ShowNote(copyButton, kCopiedNote.arg(m_made.data));
    focusData();
}

void MainWindow::printSample()
{
    if (!m_barCodeMade) {
        showNotice(kMakeBeforePrinting);
        focusData();
        return;
    }
    // The sheet reads the controls as they stand now, not as they were at Make.
    const kelm::SampleSheetContent content{data(), barCodeFamily(), checksum(), fullAscii(), previewText()};
    if (!kelm::PrintSampleSheet(this, content, m_printTarget))
        return; // cancelled: the focus stays where it is
    focusData();
}

void MainWindow::printLabels()
{
    if (m_barCodeMade) {
        labelDialog().setBarCode(m_made, kSmallestTypedPointSize);
        labelDialog().exec();
        return;
    }
    showNotice(kMakeBeforeLabels);
    focusData();
}

void MainWindow::fillSheet(const QString& offeredStock)
{
    // Before any Make the window offers a list only, built with the options as the boxes stand.
    kelm::MadeBarCode barCode = m_made;
    if (!m_barCodeMade) {
        barCode.data.clear();
        barCode.checksum = checksum();
        barCode.fullAscii = fullAscii();
    }
    barCode.textAbove = !textBelow();
    try {
        barCode.pointSize = pointSize();
    } catch (const platform::ConvertError&) {
        // A size box that holds no number: the size of the last Make, as the preview shows it.
    }
    m_fillSheet->open(barCode, offeredStock);
    focusData();
}

void MainWindow::showTips()
{
    tipDialog().exec();
    focusData();
}

void MainWindow::showAbout()
{
    aboutDialog().exec();
    focusData();
}

// ---- Help and the web page --------------------------------------------------------------------------

void MainWindow::openHelp()
{
    kelm::OpenWithDesktop(this, kelm::Handler::HelpViewer, QStringLiteral("open"),
                          kelm::HelpFile(QCoreApplication::applicationDirPath()));
    focusData();
}

void MainWindow::openTypefacePage()
{
    focusData();
    kelm::OpenWithDesktop(this, kelm::Handler::WebBrowser, QString(), QString::fromLatin1(kelm::kTypefacePage));
}

// ---- Activation and close ---------------------------------------------------------------------------

void MainWindow::setUp()
{
    // The activation sequence fills the dialogs, and the hint pause below reaches their controls too.
    createDialogs();
    insertButton->hide();
    controlCharacterList->hide();
    for (QWidget* widget : QApplication::allWidgets())
        widget->setToolTipDuration(kHintHidePause);
    makerNotice->setToolTip(QStringLiteral("Version ") + QString::fromLatin1(kelm::kVersion));
    locateDataFolder();
    if (m_settingsFile && loadSettings())
        tipDialog().exec();
    // The data stays highlighted while another control has the focus (see eventFilter), so typing
    // after any click replaces it.
    dataEdit->selectAll();
    focusData();
}

bool MainWindow::event(QEvent* event)
{
    // Qt activates the window again after every modal window and every switch between programs; the
    // settings are loaded and the tip offered on the first activation only.
    if (event->type() == QEvent::WindowActivate && !std::exchange(m_activated, true)) {
        const bool handled = QWidget::event(event);
        Reported([this] { setUp(); });
        return handled;
    }
    // What can wait follows the first frame, so that the window is on the screen as soon as it can be.
    if (event->type() == QEvent::Paint && !std::exchange(m_firstFramePainted, true))
        QMetaObject::invokeMethod(this, &MainWindow::finishStartUp, Qt::QueuedConnection);
    return QWidget::event(event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    // The settings are read at the first activation, after the window is on the screen; its first frame
    // already stands at the saved place, so it never jumps there.
    if (!std::exchange(m_placedBeforeShowing, true))
        placeAtSavedPosition();
    QWidget::showEvent(event);
}

void MainWindow::placeAtSavedPosition()
{
    const QString folder = kelm::DataFolderPath() + platform::Separator();
    const kelm::SettingsFile file(folder + m_settingsFileName);
    if (!file.fitsPathLimit() || !platform::DirectoryExists(folder))
        return;
    try {
        if (const std::optional<QPoint> saved = file.savedPosition())
            kelm::MoveOnScreen(this, *saved);
    } catch (const platform::Error&) {
        // The first activation reads the file again and reports what is wrong with it.
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    // Another style or font gives the captions and frames other sizes: fit them once the children have
    // taken the change too.
    if ((event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) &&
        !std::exchange(m_fitPending, true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_fitPending = false;
                kelm::FitToStyle(clientArea);
            },
            Qt::QueuedConnection);
    }
    QWidget::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A settings file that cannot be written is reported once; the window closes all the same, so the
    // user is never trapped in it.
    Reported([this] { saveSettings(); });
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pointSizeBox && event->type() == QEvent::FocusOut) {
        // Leaving the box applies the size; the list popping up or another window taking over is not
        // leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            Reported([this] { applyPointSize(); });
    }
    return QWidget::eventFilter(watched, event);
}

// ---- The settings file ------------------------------------------------------------------------------

void MainWindow::locateDataFolder()
{
    // The first start after a system-wide install: a package leaves home folders alone, so the program
    // makes the data folder from the installation's copy. Without one the folder stays missing.
    kelm::MakeDataFolder(kelm::DataFolderPath(),
                         kelm::InstalledDataFolder(QCoreApplication::applicationDirPath()));
    const QString folder = kelm::DataFolderPath() + platform::Separator();
    auto file = std::make_unique<kelm::SettingsFile>(folder + m_settingsFileName);
    if (file->fitsPathLimit() && platform::DirectoryExists(folder)) {
        m_settingsFile = std::move(file);
        return;
    }
    // While there is no file the window neither reads nor writes settings.
    platform::ShowWarning(this, pos() + kelm::kWarningOffset, kFolderMissing.arg(folder));
}

bool MainWindow::loadSettings()
{
    if (const std::optional<QStringList> rows = m_settingsFile->labelSizes()) {
        labelDialog().setLabelSizes(*rows);
        labelDialog().setLabelSize(kFirstLabelRow);
    }
    if (!m_settingsFile->hasTipsSection()) {
        platform::ShowWarning(this, pos() + kelm::kWarningOffset, kTipsFileMissing);
        return false;
    }
    const kelm::Settings settings = m_settingsFile->load();
    tipsAtStartBox->setChecked(settings.tipsAtStart);
    if (m_settingsFile->hasSettingsSection()) {
        kelm::MoveOnScreen(this, settings.position);
        // "D" is the only size letter there is.
        sizeLetterD->setChecked(true);
        controlSettings().apply(settings);
    } else {
        // The first run after installation records the defaults; the controls keep their design values.
        m_settingsFile->writeDefaults(pos());
    }
    return tipsAtStartBox->isChecked();
}

void MainWindow::saveSettings()
{
    if (!m_settingsFile)
        return;
    kelm::Settings settings;
    settings.tipsAtStart = tipsAtStartBox->isChecked();
    settings.position = pos();
    controlSettings().collect(settings);
    m_settingsFile->save(settings);
}

void MainWindow::saveTipsChoice()
{
    if (m_settingsFile)
        m_settingsFile->writeTipsAtStart(tipsAtStartBox->isChecked());
    focusData();
}

// ---- Save Bar Code As -------------------------------------------------------------------------------

void MainWindow::addSaveAsAction()
{
    m_saveAsAction = new QAction(kelm::kSaveAsCaption, this);
    m_saveAsAction->setObjectName(QStringLiteral("saveAsAction"));
    m_saveAsAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_saveAsAction->setShortcutContext(Qt::WindowShortcut);
    connect(m_saveAsAction, &QAction::triggered, this, [this] { Reported([this] { saveBarCodeAs(); }); });
    addAction(m_saveAsAction);
    preview->addContextActions({m_saveAsAction});
}

void MainWindow::saveBarCodeAs()
{
    if (m_barCodeMade) {
        if (const QString saved = m_barCodeSaver.save(this, m_made); !saved.isEmpty())
            platform::ShowNote(preview, kSavedNote.arg(saved));
    } else
        showNotice(kMakeBeforeSaving);
    focusData();
}
