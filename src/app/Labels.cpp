// Placeholder dialog until its layout lands.
#include "Labels.h"

#include <QCheckBox>
#include <QComboBox>

TForm3::TForm3(QWidget* parent)
    : QDialog(parent), m_labelSizeList(new QComboBox(this)), m_explainPaste(new QCheckBox(this))
{
    setWindowTitle(QStringLiteral("Label Printing"));
    m_labelSizeList->setObjectName(QStringLiteral("ComboBox1"));
    m_explainPaste->setObjectName(QStringLiteral("ExplainPaste"));
    m_explainPaste->setChecked(true);
}

QComboBox* TForm3::labelSizeList() const
{
    return m_labelSizeList;
}
QCheckBox* TForm3::explainPaste() const
{
    return m_explainPaste;
}
