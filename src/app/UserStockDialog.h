#pragma once
// The editor of one of the user's own label stocks: name, unit, page and label size, columns and rows,
// the first label's corner and the pitch. OK keeps the dialog open, with the reason shown, until the
// values make a stock that can be printed on.

#include "labels/UserStock.h"
#include "ui_UserStockDialog.h"

#include <QDialog>

class UserStockDialog : public QDialog, private Ui::UserStockDialog {
    Q_OBJECT
public:
    explicit UserStockDialog(QWidget* parent = nullptr);

    // Fills the controls; takenNames are the names another stock has (compared without regard to case).
    void setInput(const labels::UserStockInput& input, const QStringList& takenNames);
    labels::UserStockInput input() const;

    void accept() override;

private:
    QStringList m_takenNames;
};
