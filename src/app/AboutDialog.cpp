#include "AboutDialog.h"

#include "CaptionFitting.h"
#include "DesktopOpener.h"
#include "Vendor.h"
#include "WindowPlacement.h"
#include "platform/Desktop.h"
#include "version/Version.h"

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
    connect(versionLink, &LinkLabel::activated, this, &AboutDialog::checkForUpdate);
    connect(webLink, &LinkLabel::activated, this, &AboutDialog::openTypefacePage);
}

void AboutDialog::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        for (QLabel* text : std::initializer_list<QLabel*>{companyName, street, town, phone, fax, versionLink,
                                                           productName, webLink})
            kelm::FitText(text);
        kelm::PlaceBeside(this, m_mainWindow->frameGeometry(), kAboutOffset);
    }
    QDialog::setVisible(visible);
}

void AboutDialog::checkForUpdate()
{
    emit focusDataRequested();
    kelm::OpenWithDesktop(m_mainWindow, kelm::Handler::WebBrowser, QStringLiteral("open"),
                          QString::fromLatin1(kelm::kUpdateCheckPrefix) + QString::fromLatin1(kelm::kVersion));
}

void AboutDialog::openTypefacePage()
{
    emit focusDataRequested();
    kelm::OpenWithDesktop(m_mainWindow, kelm::Handler::WebBrowser, QString(),
                          QString::fromLatin1(kelm::kTypefacePage));
}
