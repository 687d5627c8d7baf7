#include "AboutDialog.h"

#include "CaptionFitting.h"
#include "Vendor.h"
#include "WindowPlacement.h"
#include "code39/Version.h"
#include "platform/Desktop.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

const QPoint kAboutOffset(116, 109);

} // namespace

AboutDialog::AboutDialog(QWidget* mainWindow) : m_mainWindow(mainWindow)
{
    setupUi(this);
    resize(171, 151);
    companyName->setText(QString::fromUtf8(kelm::kCompanyName));
    street->setText(QString::fromUtf8(kelm::kStreet));
    town->setText(QString::fromUtf8(kelm::kTown));
    phone->setText(QStringLiteral("Phone: ") + QString::fromUtf8(kelm::kPhone));
    fax->setText(QStringLiteral("Fax: ") + QString::fromUtf8(kelm::kFax));
    productName->setText(QString::fromUtf8(kelm::kProductName));
    webLink->setText(QString::fromUtf8(kelm::kWebAddress));
    versionLink->setText(QStringLiteral("V") + QString::fromLatin1(kelm::kVersion));
    versionLink->installEventFilter(this);
    webLink->installEventFilter(this);
}

void AboutDialog::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        for (QLabel* text : {companyName, street, town, phone, fax, versionLink, productName, webLink})
            kelm::FitText(text);
        kelm::PlaceBeside(this, m_mainWindow->frameGeometry(), kAboutOffset);
    }
    QDialog::setVisible(visible);
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Static texts have no click of their own: a left-button release over the text is the click, and
    // Enter or Space on a link that has the focus is the same.
    const auto* label = qobject_cast<QLabel*>(watched);
    bool activated = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        activated =
            label && mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint());
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        activated = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    }
    if (activated) {
        if (label == versionLink)
            checkForUpdate();
        else if (label == webLink)
            openTypefacePage();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::checkForUpdate()
{
    emit focusDataRequested();
    platform::ShellExecute(m_mainWindow, QStringLiteral("open"),
                           QString::fromLatin1(kelm::kUpdateCheckPrefix) + QString::fromLatin1(kelm::kVersion),
                           QString(), QString());
}

void AboutDialog::openTypefacePage()
{
    emit focusDataRequested();
    platform::ShellExecute(m_mainWindow, QString(), QString::fromLatin1(kelm::kTypefacePage), QString(),
                           QString());
}
