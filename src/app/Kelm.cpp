#include "Kelm.h"

#include "About.h"
#include "Common.h"
#include "Labels.h"
#include "SampleSheet.h"
#include "Vendor.h"
#include "WindowSet.h"
#include "code39/Code39.h"
#include "code39/Version.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "platform/Profile.h"
#include "render/Typefaces.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>

int BarCodeMade = 0;
QString DataFolder;
bool DataFolderFound = false;
bool WarningShown = false;

namespace {

// The builder's working copy of the data; rebuilt by every Make.
QString BarCodeData;

const QString kNoticeFamily = QStringLiteral("Arial");
constexpr int kNoticePointSize = 12;
constexpr int kLargestPointSize = 1638;
constexpr int kSmallestTypedPointSize = 18;
constexpr int kHintHidePause = 6000;

const QString kFullAsciiOff = QStringLiteral("Must be in Full ASCII mode to enter control characters");
const QString kNothingToCopy = QStringLiteral("Nothing to copy to clip board");
const QString kMakeBeforePrinting = QStringLiteral("Must click \"Make a bar code\" before printing");
const QString kMakeBeforeLabels = QStringLiteral("Make a bar code before printing labels");
const QString kFolderMissing = QStringLiteral("The folder %1 is missing, please re-install this product.");
const QString kTipsFileMissing = QString::fromLatin1(kelm::kTipsFileMissing);
const QString kHelpFile = QStringLiteral("zovod.chm");

// Settings file sections and keys.
const QString kSettings = QStringLiteral("Settings");
const QString kTipoftheDay = QStringLiteral("TipoftheDay");
const QString kSizes = QStringLiteral("Sizes");
const QString kEnabled = QStringLiteral("Enabled");
const QString kDefaultData = QStringLiteral("ABCD4567");
const QString kDefaultPointSize = QStringLiteral("22");
constexpr int kDefaultLabelSize = 4;
constexpr int kFirstLabelRow = 2;

// The control-character names that Insert knows whole, with their caret codes.
const std::pair<QString, QString> kNamedControls[] = {
    {QStringLiteral("Tab"), QStringLiteral("^I")},       {QStringLiteral("Null"), QStringLiteral("^0")},
    {QStringLiteral("Bell"), QStringLiteral("^G")},      {QStringLiteral("Line Feed"), QStringLiteral("^J")},
    {QStringLiteral("Form Feed"), QStringLiteral("^L")}, {QStringLiteral("Carriage Return"), QStringLiteral("^M")},
    {QStringLiteral("Escape"), QStringLiteral("^1")},
};
// The letters offered as "Ctrl-x" (the others have names of their own, and there is no Ctrl-O).
const QString kCtrlLetters = QStringLiteral("ABCDEFHKNPQRSTUVWXYZ");

using kelm::Reported;

// The faces the layout names are not on every system: map them to close ones with similar widths so
// the fixed layout still fits.
void SubstituteFaces()
{
    static bool done = false;
    if (std::exchange(done, true))
        return;
    const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                              QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), sans);
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

// Qt keeps a window's corners in ints and adds the window's size to them: a coordinate from the settings
// file near the int limits would wrap round. Qt's own bound on widget sizes keeps the sums in range.
int ScreenCoordinate(int value)
{
    return std::clamp(value, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

QFont PixelFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

TKelmInput::TKelmInput(QWidget* parent) : QWidget(parent)
{
    SubstituteFaces();
    setupUi(this);
    setFont(PixelFont(10));
    for (QLabel* label : {Label1, Label3, Label4, Label5}) {
        label->setFont(PixelFont(11, true));
        kelm::FitText(label);
    }
    for (QLineEdit* edit : {BarTextInput, BarTextOut})
        edit->setFont(PixelFont(15));
    QFont link = Label2->font();
    link.setUnderline(true);
    Label2->setFont(link);
    Label2->setText(QString::fromLatin1(kelm::kWebAddress));
    Label6->setText(QString::fromLatin1(kelm::kMakerNotice));

    // The client area and its 8-pixel border; the window does not resize.
    setFixedSize(ClientArea->geometry().adjusted(-8, -8, 8, 8).size());
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    LoadPictures();
    if (const QScreen* desktop = QGuiApplication::primaryScreen())
        move(desktop->availableGeometry().center() - rect().center());

    const auto bind = [this](auto* sender, auto signal, void (TKelmInput::*handler)()) {
        connect(sender, signal, this, [this, handler] { Reported([this, handler] { (this->*handler)(); }); });
    };
    bind(BitBtn3, &QPushButton::clicked, &TKelmInput::BitBtn3Click);
    bind(BitBtn2, &QPushButton::clicked, &TKelmInput::BitBtn2Click);
    bind(BitBtn1, &QPushButton::clicked, &TKelmInput::BitBtn1Click);
    bind(BitBtn4, &QPushButton::clicked, &TKelmInput::BitBtn4Click);
    bind(Button3, &QPushButton::clicked, &TKelmInput::Button3Click);
    bind(HelpButtonClick, &QPushButton::clicked, &TKelmInput::HelpButtonClickClick);
    bind(SpeedButton1, &QToolButton::clicked, &TKelmInput::SpeedButton1Click);
    bind(SpeedButton2, &QToolButton::clicked, &TKelmInput::SpeedButton2Click);
    bind(RadioButton2, &QRadioButton::clicked, &TKelmInput::PointSizeClick);
    bind(RadioButton3, &QRadioButton::clicked, &TKelmInput::PointSizeClick);
    bind(FontD, &QRadioButton::clicked, &TKelmInput::PointSizeClick);
    bind(PointSize, &QComboBox::editTextChanged, &TKelmInput::PointSizeChange);
    // Check boxes react to changes of state only, whoever makes them.
    bind(CheckBox2, &QCheckBox::toggled, &TKelmInput::CheckBox2Click);
    bind(TipCheckBox, &QCheckBox::toggled, &TKelmInput::TipCheckBoxClick);

    // FontD sits in the panel that also holds the style group; Qt would count the style buttons among
    // its exclusive partners (unticking "D" when it is clicked, and taking the style group out of the
    // tab chain), so the layout gives it a button group of its own.

    // The boxes take what is typed as it stands: completing "1" to "18" or "tab" to "Tab" would apply a
    // size or insert a code the user did not type.
    PointSize->setCompleter(nullptr);
    ComboBox1->setCompleter(nullptr);

    for (QObject* watched : std::initializer_list<QObject*>{BarTextInput, PointSize, Label2})
        watched->installEventFilter(this);
    BarTextInput->setFocus();
}

void TKelmInput::LoadPictures()
{
    // A picture that is not installed leaves the button with its caption only.
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             BitBtn3, BitBtn2, BitBtn4, BitBtn1, Button3, SpeedButton1, HelpButtonClick, SpeedButton2}) {
        const QIcon picture(QStringLiteral(":/glyphs/Kelm/%1.png").arg(button->objectName()));
        if (!picture.availableSizes().isEmpty()) {
            button->setIcon(picture);
            button->setIconSize(QSize(24, 24));
        }
    }
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString& name : icons.entryList({QStringLiteral("kelm-*.png")}, QDir::Files))
        icon.addFile(icons.filePath(name));
    if (!icon.isNull())
        setWindowIcon(icon);
}

// ---- Shared operations -------------------------------------------------------------------------

void TKelmInput::FocusBarTextInput()
{
    BarTextInput->setFocus(Qt::OtherFocusReason);
}

QString TKelmInput::BarCodeFontName() const
{
    return QString::fromLatin1(code39::BarCodeFontName(RadioButton2->isChecked()));
}

void TKelmInput::PreviewNotice(const QString& message)
{
    QTextCharFormat notice;
    notice.setFontFamilies(QStringList{kNoticeFamily});
    notice.setFontPointSize(kNoticePointSize);
    BarCodeOut->setPlainText(message);
    QTextCursor whole(BarCodeOut->document());
    whole.select(QTextCursor::Document);
    whole.setCharFormat(notice);
    BarCodeOut->setCurrentCharFormat(notice);
    BarTextOut->setText(QString());
    platform::MessageBeep();
}

void TKelmInput::CopyPreview()
{
    BarCodeOut->selectAll();
    BarCodeOut->copy();
}

QString TKelmInput::PreviewText() const
{
    return BarCodeOut->toPlainText();
}

QString TKelmInput::DataText() const
{
    return BarTextInput->text();
}

bool TKelmInput::ChecksumTicked() const
{
    return CheckBox1->isChecked();
}

bool TKelmInput::FullAsciiTicked() const
{
    return CheckBox2->isChecked();
}

int TKelmInput::PointSizeValue() const
{
    // Rich text holds sizes in twentieths of a point in 16 bits, so 1638 points is the most a copy can
    // carry; below 1 point there is nothing to set. The nearest size that works is used instead.
    return std::clamp(platform::StrToInt(PointSize->currentText()), 1, kLargestPointSize);
}

// ---- Make ----------------------------------------------------------------------------------------

void TKelmInput::BitBtn3Click()
{
    BarCodeData = BarTextInput->text();
    FocusBarTextInput();
    const code39::BuildResult built =
        code39::BuildBarCodeData(BarCodeData.toStdU16String(), CheckBox2->isChecked(), CheckBox1->isChecked());
    if (!built.ok()) {
        PreviewNotice(QString::fromStdU16String(built.error));
        BarCodeMade = 0;
        return;
    }
    BarCodeData = QString::fromStdString(built.data);

    // The size is read before anything is shown, so a size that is not a number leaves every box as it was.
    QTextCharFormat barCode;
    barCode.setFontPointSize(PointSizeValue());
    barCode.setFontFamilies(QStringList{BarCodeFontName()});
    BarTextOut->setText(QString::fromStdString(code39::BarTextOut(built.data)));
    BarCodeOut->setPlainText(QString::fromStdString(code39::PreviewText(built.data)));
    QTextCursor whole(BarCodeOut->document());
    whole.select(QTextCursor::Document);
    whole.setCharFormat(barCode);
    BarCodeOut->setCurrentCharFormat(barCode);
    BarCodeMade = 1;
    FocusBarTextInput();
}

// ---- Full ASCII controls ---------------------------------------------------------------------------

void TKelmInput::CheckBox2Click()
{
    Button3->setVisible(CheckBox2->isChecked());
    ComboBox1->setVisible(CheckBox2->isChecked());
    FocusBarTextInput();
}

void TKelmInput::Button3Click()
{
    if (!CheckBox2->isChecked()) {
        PreviewNotice(kFullAsciiOff);
        return;
    }
    const QString choice = ComboBox1->currentText();
    QString code;
    for (const auto& [name, caretCode] : kNamedControls) {
        if (choice == name) {
            code = caretCode;
            break;
        }
    }
    // "Ctrl-x": only the letter after the prefix counts; a text too short to have one adds nothing.
    if (code.isEmpty() && choice.size() >= 6 && kCtrlLetters.contains(choice.at(5)))
        code = QStringLiteral("^") + choice.at(5);
    if (!code.isEmpty())
        BarTextInput->setText(BarTextInput->text() + code);
    FocusBarTextInput();
}

// ---- Style and point size --------------------------------------------------------------------------

void TKelmInput::RestylePreview()
{
    const QString barCode = BarTextOut->text();
    const int size = PointSizeValue();
    if (barCode.isEmpty())
        return;
    // Only the bar code's own characters change; the trailing spaces keep Make's formats. When the user
    // has edited the boxes so that the bar code is no longer in the preview, nothing changes.
    QTextCursor found = BarCodeOut->document()->find(barCode, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull())
        return;
    QTextCursor selection(BarCodeOut->document());
    selection.setPosition(found.selectionStart());
    selection.setPosition(found.selectionStart() + int(barCode.size()), QTextCursor::KeepAnchor);
    QTextCharFormat style;
    style.setFontPointSize(size);
    style.setFontFamilies(QStringList{BarCodeFontName()});
    selection.mergeCharFormat(style);
    BarCodeOut->setTextCursor(selection);
}

void TKelmInput::PointSizeClick()
{
    if (BarCodeMade == 1)
        RestylePreview();
    FocusBarTextInput();
}

void TKelmInput::PointSizeChange()
{
    const QString text = PointSize->currentText();
    if (text.size() < 2) {
        PointSize->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (platform::StrToInt(text) < kSmallestTypedPointSize) {
        PointSize->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (BarCodeMade == 1)
        RestylePreview();
    FocusBarTextInput();
}

// ---- Copy and the buttons that open other windows -----------------------------------------------

void TKelmInput::BitBtn2Click()
{
    if (BarCodeMade != 0) {
        if (!std::exchange(WarningShown, true) && !render::BarCodeTypefacesInstalledForOtherPrograms())
            WarningBox->exec();
        CopyPreview();
        FocusBarTextInput();
    } else {
        PreviewNotice(kNothingToCopy);
        FocusBarTextInput();
    }
}

void TKelmInput::BitBtn1Click()
{
    if (!BarCodeMade) {
        PreviewNotice(kMakeBeforePrinting);
        FocusBarTextInput();
        return;
    }
    // The sheet reads the controls as they stand now, not as they were at Make.
    const kelm::SampleSheetContent content{DataText(), BarCodeFontName(), ChecksumTicked(), FullAsciiTicked(),
                                           PreviewText()};
    if (!kelm::PrintSampleSheet(this, content))
        return; // cancelled: the focus stays where it is
    FocusBarTextInput();
}

void TKelmInput::BitBtn4Click()
{
    if (BarCodeMade) {
        Form3->exec();
        return;
    }
    PreviewNotice(kMakeBeforeLabels);
    FocusBarTextInput();
}

void TKelmInput::SpeedButton1Click()
{
    Tip->exec();
    FocusBarTextInput();
}

void TKelmInput::SpeedButton2Click()
{
    Form2->exec();
    FocusBarTextInput();
}

// ---- Help and the web page ----------------------------------------------------------------------

void TKelmInput::OpenHelpFile()
{
    // The shell looks for a bare name in the current folder; when the help file is not there, the
    // copy installed beside the program is the one the user wants.
    QString file = kHelpFile;
    if (!platform::FileExists(QDir::current().filePath(kHelpFile))) {
        const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath(kHelpFile);
        if (platform::FileExists(installed))
            file = QDir::toNativeSeparators(installed);
    }
    platform::ShellExecute(this, QStringLiteral("open"), file, QString(), QString());
}

void TKelmInput::HelpButtonClickClick()
{
    OpenHelpFile();
    FocusBarTextInput();
}

void TKelmInput::BarTextInputKeyDown(int key)
{
    if (key == Qt::Key_F1) {
        OpenHelpFile();
        FocusBarTextInput();
    }
}

void TKelmInput::Label2Click()
{
    FocusBarTextInput();
    platform::ShellExecute(this, QString(), QString::fromLatin1(kelm::kTypefacePage), QString(), QString());
}

// ---- Activation and close -----------------------------------------------------------------------

void TKelmInput::HelpCheck()
{
    Button3->hide();
    ComboBox1->hide();
    for (QWidget* widget : QApplication::allWidgets())
        widget->setToolTipDuration(kHintHidePause);
    setWindowTitle(QStringLiteral("Tamrosks free bar code 3 of 9 utility"));
    Form2->curVersion()->setText(QStringLiteral("V") + QString::fromLatin1(kelm::kVersion));
    Label6->setToolTip(QStringLiteral("Version ") + QString::fromLatin1(kelm::kVersion));
    WarningBox->noWarningBox()->hide();
    LocateDataFolder();
    if (DataFolderFound && LoadSettings())
        Tip->exec();
    // The data stays highlighted while another control has the focus (see eventFilter), so typing
    // after any click replaces it.
    BarTextInput->selectAll();
    FocusBarTextInput();
}

void TKelmInput::FormClose()
{
    if (DataFolderFound)
        SaveSettings();
}

bool TKelmInput::event(QEvent* event)
{
    // Qt activates the window again after every modal window and every switch between programs; the
    // settings are loaded and the tip offered on the first activation only.
    if (event->type() == QEvent::WindowActivate && !std::exchange(m_activated, true)) {
        const bool handled = QWidget::event(event);
        Reported([this] { HelpCheck(); });
        return handled;
    }
    return QWidget::event(event);
}

void TKelmInput::closeEvent(QCloseEvent* event)
{
    // A settings file that cannot be written is reported once; the window closes all the same, so the
    // user is never trapped in it.
    Reported([this] { FormClose(); });
    event->accept();
}

bool TKelmInput::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == BarTextInput) {
        if (event->type() == QEvent::KeyPress) {
            Reported([this, event] { BarTextInputKeyDown(static_cast<QKeyEvent*>(event)->key()); });
            return false;
        }
        // The line edit would drop its selection when it loses the focus and select everything when
        // tabbed into; the data field keeps its selection in both cases.
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                QFocusEvent kept(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
                QCoreApplication::sendEvent(BarTextInput, &kept);
                return true;
            }
        } else if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                reason == Qt::ShortcutFocusReason) {
                QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
                QCoreApplication::sendEvent(BarTextInput, &plain);
                return true;
            }
        }
    } else if (watched == PointSize && event->type() == QEvent::FocusOut) {
        // Leaving the box applies the size; the list popping up or another window taking over is not
        // leaving it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            Reported([this] { PointSizeClick(); });
    } else if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label2->rect().contains(mouse->position().toPoint()))
            Reported([this] { Label2Click(); });
    }
    return QWidget::eventFilter(watched, event);
}

// ---- The settings file ----------------------------------------------------------------------------

QString TKelmInput::SettingsFilePath() const
{
    return DataFolder + platform::SettingsFileName(platform::ExecutablePath());
}

QPoint TKelmInput::WarningPosition() const
{
    return pos() + kelm::kWarningOffset;
}

void TKelmInput::LocateDataFolder()
{
    DataFolder = kelm::DataFolderPath() + platform::Separator();
    // A path beyond the platform's limit could only be used cut short, which would name another file.
    DataFolderFound = platform::FitsPathLimit(SettingsFilePath()) && platform::DirectoryExists(DataFolder);
    if (!DataFolderFound)
        platform::ShowWarning(this, WarningPosition(), kFolderMissing.arg(DataFolder));
}

bool TKelmInput::LoadSettings()
{
    const QString file = SettingsFilePath();
    QComboBox* labelSizes = Form3->labelSizeList();
    if (platform::SectionExists(kSizes, file)) {
        QStringList rows;
        for (const QString& line : platform::ReadSectionValues(kSizes, file))
            rows.append(line.mid(2));
        labelSizes->clear();
        labelSizes->addItems(rows);
        labelSizes->setCurrentIndex(kFirstLabelRow);
    }
    if (!platform::SectionExists(kTipoftheDay, file)) {
        platform::ShowWarning(this, WarningPosition(), kTipsFileMissing);
        return false;
    }

    TipCheckBox->setChecked(platform::ReadBool(kTipoftheDay, kEnabled, true, file));
    if (platform::SectionExists(kSettings, file)) {
        const auto text = [&file](const char* key, const QString& fallback) {
            return platform::GetPrivateProfileString(kSettings, QString::fromLatin1(key), fallback, file);
        };
        move(ScreenCoordinate(platform::ReadInteger(kSettings, QStringLiteral("Left"), 0, file)), y());
        move(x(), ScreenCoordinate(platform::ReadInteger(kSettings, QStringLiteral("Top"), 0, file)));
        if (text("Type", QStringLiteral("B")) == QStringLiteral("B"))
            RadioButton2->setChecked(true);
        else
            RadioButton3->setChecked(true);
        text("FontSize", QStringLiteral("D")); // read, but "D" is the only size letter there is
        FontD->setChecked(true);
        {
            // Put in as it stands; the size rules apply when the user edits it or makes a bar code.
            const QSignalBlocker quiet(PointSize);
            PointSize->setEditText(text("PointSize", kDefaultPointSize));
        }
        BarTextInput->setText(text("Data", kDefaultData));
        CheckBox1->setChecked(platform::ReadBool(kSettings, QStringLiteral("Checksum"), false, file));
        CheckBox2->setChecked(platform::ReadBool(kSettings, QStringLiteral("FullASCII"), false, file));
        labelSizes->setCurrentIndex(
            platform::ReadInteger(kSettings, QStringLiteral("LabelSize"), kDefaultLabelSize, file));
        Form3->explainPaste()->setChecked(
            platform::ReadBool(kSettings, QStringLiteral("LabelExplain"), true, file));
    } else {
        // The first run after installation records the defaults; the controls keep their design values.
        platform::WriteInteger(kSettings, QStringLiteral("Count"), 1, file);
        platform::WriteInteger(kSettings, QStringLiteral("Left"), x(), file);
        platform::WriteInteger(kSettings, QStringLiteral("Top"), y(), file);
        platform::WriteString(kSettings, QStringLiteral("Type"), QStringLiteral("B"), file);
        platform::WriteString(kSettings, QStringLiteral("FontSize"), QStringLiteral("D"), file);
        platform::WriteString(kSettings, QStringLiteral("PointSize"), kDefaultPointSize, file);
        platform::WriteString(kSettings, QStringLiteral("Data"), kDefaultData, file);
        platform::WriteBool(kSettings, QStringLiteral("Checksum"), false, file);
        platform::WriteBool(kSettings, QStringLiteral("FullASCII"), false, file);
        platform::WriteInteger(kSettings, QStringLiteral("LabelSize"), kDefaultLabelSize, file);
        platform::WriteBool(kSettings, QStringLiteral("LabelExplain"), true, file);
    }
    return TipCheckBox->isChecked();
}

void TKelmInput::SaveSettings()
{
    const QString file = SettingsFilePath();
    platform::WriteBool(kTipoftheDay, kEnabled, TipCheckBox->isChecked(), file);
    platform::WriteInteger(kSettings, QStringLiteral("Left"), x(), file);
    platform::WriteInteger(kSettings, QStringLiteral("Top"), y(), file);
    platform::WriteString(kSettings, QStringLiteral("Type"),
                          RadioButton2->isChecked() ? QStringLiteral("B") : QStringLiteral("A"), file);
    platform::WriteString(kSettings, QStringLiteral("FontSize"), QStringLiteral("D"), file);
    platform::WriteString(kSettings, QStringLiteral("PointSize"), PointSize->currentText(), file);
    platform::WriteString(kSettings, QStringLiteral("Data"), BarTextInput->text(), file);
    platform::WriteBool(kSettings, QStringLiteral("Checksum"), CheckBox1->isChecked(), file);
    platform::WriteBool(kSettings, QStringLiteral("FullASCII"), CheckBox2->isChecked(), file);
    platform::WriteInteger(kSettings, QStringLiteral("LabelSize"), Form3->labelSizeList()->currentIndex(), file);
    platform::WriteBool(kSettings, QStringLiteral("LabelExplain"), Form3->explainPaste()->isChecked(), file);
}

void TKelmInput::SaveTipChoice(bool enabled)
{
    platform::WriteBool(kTipoftheDay, kEnabled, enabled, SettingsFilePath());
}

void TKelmInput::TipCheckBoxClick()
{
    if (DataFolderFound)
        SaveTipChoice(TipCheckBox->isChecked());
    FocusBarTextInput();
}
