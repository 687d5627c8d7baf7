// Placeholder windows until their layouts land.
#include "About.h"

#include <QCheckBox>
#include <QLabel>

TWarningBox::TWarningBox(QWidget* parent) : QDialog(parent), m_noWarningBox(new QCheckBox(this))
{
    setWindowTitle(QStringLiteral("Clip Board Warning"));
    m_noWarningBox->setObjectName(QStringLiteral("NoWarningBox"));
}

QCheckBox* TWarningBox::noWarningBox() const
{
    return m_noWarningBox;
}

TTip::TTip(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Tip of the Day"));
}

TForm2::TForm2(QWidget* parent) : QDialog(parent), m_curVersion(new QLabel(this))
{
    setWindowTitle(QStringLiteral("About"));
    m_curVersion->setObjectName(QStringLiteral("CurVersion"));
}

QLabel* TForm2::curVersion() const
{
    return m_curVersion;
}
