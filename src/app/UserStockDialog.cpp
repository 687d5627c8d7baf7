#include "UserStockDialog.h"

namespace {

const QString kNameTaken = QStringLiteral("Another stock is already called \"%1\".");
const QString kCannotUse = QStringLiteral("This stock cannot be printed on: %1.");

} // namespace

UserStockDialog::UserStockDialog(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    unitCombo->addItem(QStringLiteral("mm"));
    unitCombo->addItem(QStringLiteral("inches"));
    connect(okButton, &QPushButton::clicked, this, &UserStockDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void UserStockDialog::setInput(const labels::UserStockInput& in, const QStringList& takenNames)
{
    m_takenNames = takenNames;
    nameEdit->setText(in.name);
    unitCombo->setCurrentIndex(in.inches ? 1 : 0);
    pageWidthSpin->setValue(in.pageWidth);
    pageHeightSpin->setValue(in.pageHeight);
    labelWidthSpin->setValue(in.labelWidth);
    labelHeightSpin->setValue(in.labelHeight);
    columnsSpin->setValue(in.columns);
    rowsSpin->setValue(in.rows);
    leftSpin->setValue(in.left);
    topSpin->setValue(in.top);
    pitchXSpin->setValue(in.pitchX);
    pitchYSpin->setValue(in.pitchY);
    problemLabel->clear();
}

labels::UserStockInput UserStockDialog::input() const
{
    labels::UserStockInput in;
    in.name = nameEdit->text().simplified();
    in.inches = unitCombo->currentIndex() == 1;
    in.pageWidth = pageWidthSpin->value();
    in.pageHeight = pageHeightSpin->value();
    in.labelWidth = labelWidthSpin->value();
    in.labelHeight = labelHeightSpin->value();
    in.columns = columnsSpin->value();
    in.rows = rowsSpin->value();
    in.left = leftSpin->value();
    in.top = topSpin->value();
    in.pitchX = pitchXSpin->value();
    in.pitchY = pitchYSpin->value();
    return in;
}

void UserStockDialog::accept()
{
    const labels::UserStockInput in = input();
    if (m_takenNames.contains(in.name, Qt::CaseInsensitive)) {
        problemLabel->setText(kNameTaken.arg(in.name));
        return;
    }
    labels::Stock stock;
    QString error;
    if (!labels::MakeUserStock(in, stock, error)) {
        problemLabel->setText(kCannotUse.arg(error));
        return;
    }
    QDialog::accept();
}
