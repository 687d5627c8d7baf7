#pragma once
// The label dialog. Labels are not printed here: the dialog has the bar code put on the clipboard and
// the shell open the chosen stock's template in the word processor, where the user pastes and prints;
// or it hands over to the Fill a Sheet window, which prints whole sheets itself.

#include "BarCodeExport.h"
#include "ui_LabelDialog.h"

#include <QDialog>

class LabelDialog : public QDialog, private Ui::LabelDialog {
    Q_OBJECT
public:
    // mainWindow: what the dialog and its warnings are placed against, and the owner of the
    // template the shell opens.
    explicit LabelDialog(QWidget* mainWindow);

    void setVisible(bool visible) override;

    // The label list from the settings file; it replaces the design's empty list.
    void setLabelSizes(const QStringList& rows);
    // The chosen row, -1 for none.
    int labelSize() const;
    // Selects a row; a row the list does not have selects none. An empty list keeps its design text.
    void setLabelSize(int row);
    // The bar code the clipboard will get, as made and styled now, and the smallest point size the main
    // window takes: a code wider than the chosen stock's label is named under the buttons, with the
    // largest size that fits, or Fill a Sheet when none the window takes does.
    void setBarCode(const kelm::MadeBarCode& barCode, int smallestPointSize);
    // The words under the buttons; empty when the bar code fits the chosen stock's label.
    QString fitNoteText() const;

    bool explainPaste() const;
    void setExplainPaste(bool explain);

    // The template for a row of the label list; rows past the stocks and no row (-1) take the user's own.
    static QString TemplateFileName(int row);
    // The stock of a row of the label list ("Avery 5160"); empty for the user's own template or no row.
    static QString StockName(int row);

signals:
    // The bar code is to go on the clipboard now, before the template is looked for.
    void copyRequested();
    void focusDataRequested();
    // The Fill a Sheet window is wanted; the dialog has closed itself by the time it is asked for.
    void fillSheetRequested();

private:
    void returnToMainWindow();
    void printLabels();
    void fillSheet();
    void showFit();

    QWidget* m_mainWindow;
    kelm::MadeBarCode m_barCode;
    int m_smallestPointSize = 1;
    int m_designHeight = 0;
};
