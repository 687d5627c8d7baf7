#pragma once
// The Labels unit: the label dialog, which copies the bar code and opens a label template.

#include <QDialog>

class QCheckBox;
class QComboBox;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    // The label-size list (ComboBox1) and "Explain how to paste a bar code on to a label", which
    // the main window loads from and saves to the settings file.
    QComboBox* labelSizeList() const;
    QCheckBox* explainPaste() const;

private:
    QComboBox* m_labelSizeList;
    QCheckBox* m_explainPaste;
};
