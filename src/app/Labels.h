#pragma once
// The Labels unit: the label dialog. Labels are not printed here: the dialog puts the bar code on the
// clipboard and has the shell open the chosen stock's template in the word processor, where the user
// pastes and prints.

#include "ui_Labels.h"

#include <QDialog>

class TForm3 : public QDialog, private Ui::TForm3 {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    // The label-size list (ComboBox1) and "Explain how to paste a bar code on to a label", which
    // the main window loads from and saves to the settings file.
    QComboBox* labelSizeList() const;
    QCheckBox* explainPaste() const;

    // The template for a row of the label-size list; rows from 8 on and no row (-1) take the user's own.
    static QString TemplateFileName(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void ExitLabelsClick();
    void PrintLabelsClick();
};
