#include "About.h"

#include "Common.h"
#include "Kelm.h"
#include "Vendor.h"
#include "WindowSet.h"
#include "code39/Version.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "platform/Profile.h"

#include <QMouseEvent>
#include <QScreen>
#include <QShowEvent>

namespace {

const QString kTipSection = QStringLiteral("TipoftheDay");
const QString kTipsSection = QStringLiteral("Tips");
const QString kPositionKey = QStringLiteral("Position");
const QString kMaximumKey = QStringLiteral("Maximum");
// What a read of a missing tip returns; a tip stored as exactly this text counts as missing too.
const QString kNoTip = QStringLiteral("XXXX");

const QString kTipsFileMissing = QString::fromLatin1(kelm::kTipsFileMissing);
const QString kTipsFileBad = QStringLiteral("The Tip-of-the-Day file is bad! Please re-install this product.");

const QPoint kTipOffset(80, 100);
const QPoint kAboutOffset(116, 109);

void FocusBarTextInput()
{
    if (KelmInput)
        KelmInput->FocusBarTextInput();
}

// The dialogs have no owner form, so the main window stands in for the application's window.
QWidget* ShellOwner(const QWidget* dialog)
{
    return dialog->parentWidget() ? dialog->parentWidget()->window() : KelmInput;
}

// The settings file, located afresh at every step so that nothing about it is remembered; empty when
// the path would not fit the platform's limit, which then reads as a missing file.
QString TipsFilePath()
{
    const QString path =
        kelm::DataFolderPath() + platform::Separator() + platform::SettingsFileName(platform::ExecutablePath());
    return platform::FitsPathLimit(path) ? path : QString();
}

bool TipsFileFound(const QString& path)
{
    return !path.isEmpty() && platform::SectionExists(kTipSection, path);
}

// Position moves by one or two either way from any 32-bit value the file holds, so the arithmetic is
// done wide; a result outside the 32-bit range reads back as the default and restarts the ring.
void WritePosition(qint64 position, const QString& path)
{
    platform::WriteString(kTipSection, kPositionKey, QString::number(position), path);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TWarningBox

TWarningBox::TWarningBox(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setFixedSize(sizeHint());
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
}

QCheckBox* TWarningBox::noWarningBox() const
{
    return NoWarningBox;
}

void TWarningBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // The main window hides the check box after construction: fit the dialog to what is left.
    setFixedSize(sizeHint());
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

// ---------------------------------------------------------------------------------------------------
// TTip

TTip::TTip(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setFixedSize(size());
    // A long "Tip n of m" grows over the Previous button: let clicks pass through it.
    TipLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(NextTip, &QToolButton::clicked, this, &TTip::NextTipClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TTip::SpeedButton1Click);
    connect(ExitTips, &QToolButton::clicked, this, &TTip::ExitTipsClick);
}

TTip::~TTip()
{
    FormDestroy();
}

void TTip::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // Placed before the window appears; the tip follows once the window's event loop runs, so that a
    // warning about the file stands over the visible window.
    move(kelm::FromMainWindow(kTipOffset));
    QMetaObject::invokeMethod(this, &TTip::FormActivate, Qt::QueuedConnection);
}

void TTip::FormActivate()
{
    if (isVisible())
        kelm::Reported([this] { ShowNextTip(); });
}

void TTip::FormDestroy()
{
    FocusBarTextInput();
}

void TTip::NextTipClick()
{
    kelm::Reported([this] { ShowNextTip(); });
}

void TTip::SpeedButton1Click()
{
    kelm::Reported([this] { ShowPreviousTip(); });
}

void TTip::ExitTipsClick()
{
    FocusBarTextInput();
    reject();
}

void TTip::ShowNextTip()
{
    const QString path = TipsFilePath();
    if (!TipsFileFound(path)) {
        platform::ShowWarning(this, kelm::FromMainWindow(kelm::kWarningOffset), kTipsFileMissing);
        return;
    }
    Memo1->clear();
    qint64 position = platform::ReadInteger(kTipSection, kPositionKey, 0, path);
    const qint64 maximum = platform::ReadInteger(kTipSection, kMaximumKey, 1, path);
    QString tip = platform::GetPrivateProfileString(kTipsSection, QString::number(position), kNoTip, path);
    if (tip == kNoTip) {
        // Past the last tip, or a gap in the keys: start the ring again at the first tip.
        position = 0;
        WritePosition(position, path);
        tip = platform::GetPrivateProfileString(kTipsSection, QStringLiteral("0"), kNoTip, path);
        if (tip == kNoTip) {
            platform::ShowWarning(this, kelm::FromMainWindow(kelm::kWarningOffset), kTipsFileBad);
            return;
        }
    }
    TipLabel->setText(QStringLiteral("Tip %1 of %2").arg(position + 1).arg(maximum + 1));
    TipLabel->adjustSize();
    Memo1->appendPlainText(tip);
    WritePosition(position + 1, path);
}

void TTip::ShowPreviousTip()
{
    const QString path = TipsFilePath();
    if (!TipsFileFound(path)) {
        platform::ShowWarning(this, kelm::FromMainWindow(kelm::kWarningOffset), kTipsFileMissing);
        return;
    }
    // While tip k is on display Position holds k + 1, so going back two shows tip k - 1; from the first
    // tip the ring turns over to the last.
    const qint64 position = platform::ReadInteger(kTipSection, kPositionKey, 0, path);
    qint64 previous;
    if (position == 1)
        previous = platform::ReadInteger(kTipSection, kMaximumKey, 0, path);
    else if (position == 0)
        previous = qint64(platform::ReadInteger(kTipSection, kMaximumKey, 0, path)) - 1;
    else
        previous = position - 2;
    WritePosition(previous, path);
    ShowNextTip();
}

// ---------------------------------------------------------------------------------------------------
// TForm2

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    resize(171, 151);
    StaticText1->setText(QString::fromUtf8(kelm::kCompanyName));
    StaticText2->setText(QString::fromUtf8(kelm::kStreet));
    StaticText3->setText(QString::fromUtf8(kelm::kTown));
    StaticText4->setText(QStringLiteral("Phone: ") + QString::fromUtf8(kelm::kPhone));
    StaticText5->setText(QStringLiteral("Fax: ") + QString::fromUtf8(kelm::kFax));
    StaticText7->setText(QString::fromUtf8(kelm::kProductName));
    StaticText8->setText(QString::fromUtf8(kelm::kWebAddress));
    CurVersion->installEventFilter(this);
    StaticText8->installEventFilter(this);
}

QLabel* TForm2::curVersion() const
{
    return CurVersion;
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // The version text is set by the main window after construction.
    for (QLabel* text :
         {StaticText1, StaticText2, StaticText3, StaticText4, StaticText5, CurVersion, StaticText7, StaticText8})
        kelm::FitText(text);
    FormCreate();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    // Static texts have no click of their own: a left-button release over the text is the click.
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* label = qobject_cast<QLabel*>(watched);
        if (label && mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (label == CurVersion)
                CurVersionClick();
            else if (label == StaticText8)
                StaticText8Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::FormCreate()
{
    move(kelm::FromMainWindow(kAboutOffset));
}

void TForm2::CurVersionClick()
{
    QWidget* owner = ShellOwner(this);
    FocusBarTextInput();
    platform::ShellExecute(owner, QStringLiteral("open"),
                           QString::fromLatin1(kelm::kUpdateCheckPrefix) + QString::fromLatin1(kelm::kVersion),
                           QString(), QString());
}

void TForm2::StaticText8Click()
{
    QWidget* owner = ShellOwner(this);
    FocusBarTextInput();
    platform::ShellExecute(owner, QString(), QString::fromLatin1(kelm::kTypefacePage), QString(), QString());
}
