#include "TipDialog.h"

#include "ErrorGuard.h"
#include "Settings.h"
#include "Texts.h"
#include "WindowPlacement.h"

namespace {

const QString kTipsFileMissing = QString::fromLatin1(kelm::kTipsFileMissing);
const QString kTipsFileBad = QStringLiteral("The Tip-of-the-Day file is bad! Please re-install this product.");

const QPoint kTipOffset(80, 100);

} // namespace

TipDialog::TipDialog(const QWidget* mainWindow, QString settingsFileName)
    : m_mainWindow(mainWindow), m_settingsFileName(std::move(settingsFileName))
{
    setupUi(this);
    setFixedSize(size());
    // A long "Tip n of m" grows over the Previous button: let clicks pass through it.
    tipCounter->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(nextTipButton, &QToolButton::clicked, this, [this] { kelm::Reported([this] { showNextTip(); }); });
    connect(previousTipButton, &QToolButton::clicked, this,
            [this] { kelm::Reported([this] { showPreviousTip(); }); });
    connect(exitButton, &QToolButton::clicked, this, &TipDialog::exit);
}

TipDialog::~TipDialog()
{
    emit focusDataRequested();
}

void TipDialog::setVisible(bool visible)
{
    const bool opening = visible && !isVisible();
    if (opening)
        kelm::PlaceBeside(this, m_mainWindow->frameGeometry(), kTipOffset);
    QDialog::setVisible(visible);
    // The tip follows once the window's event loop runs, so that a warning about the file stands over
    // the visible window.
    if (opening)
        QMetaObject::invokeMethod(this, &TipDialog::showOpeningTip, Qt::QueuedConnection);
}

void TipDialog::showOpeningTip()
{
    if (isVisible())
        kelm::Reported([this] { showNextTip(); });
}

void TipDialog::exit()
{
    emit focusDataRequested();
    reject();
}

void TipDialog::warn(const QString& text)
{
    platform::ShowWarning(this, m_mainWindow->pos() + kelm::kWarningOffset, text);
}

void TipDialog::showNextTip()
{
    // The file is located afresh at every step; a path beyond the platform's limit reads as no file.
    const kelm::SettingsFile file = kelm::SettingsFile::InDataFolder(m_settingsFileName);
    if (!file.fitsPathLimit() || !file.hasTipsSection()) {
        warn(kTipsFileMissing);
        return;
    }
    tipText->clear();
    qint64 position = file.tipPosition();
    const qint64 maximum = file.tipMaximum();
    std::optional<QString> tip = file.tip(position);
    if (!tip) {
        // Past the last tip, or a gap in the keys: start the ring again at the first tip.
        position = 0;
        file.writeTipPosition(position);
        tip = file.tip(0);
        if (!tip) {
            warn(kTipsFileBad);
            return;
        }
    }
    tipCounter->setText(QStringLiteral("Tip %1 of %2").arg(position + 1).arg(maximum + 1));
    tipCounter->adjustSize();
    tipText->appendPlainText(*tip);
    file.writeTipPosition(position + 1);
}

void TipDialog::showPreviousTip()
{
    const kelm::SettingsFile file = kelm::SettingsFile::InDataFolder(m_settingsFileName);
    if (!file.fitsPathLimit() || !file.hasTipsSection()) {
        warn(kTipsFileMissing);
        return;
    }
    // While tip k is on display Position holds k + 1, so going back two shows tip k - 1; from the first
    // tip the ring turns over to the last.
    const qint64 position = file.tipPosition();
    qint64 previous;
    if (position == 1)
        previous = file.tipMaximumOr(0);
    else if (position == 0)
        previous = file.tipMaximumOr(0) - 1;
    else
        previous = position - 2;
    file.writeTipPosition(previous);
    showNextTip();
}
