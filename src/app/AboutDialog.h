#pragma once
// The About window: the maker, the version and two links to the maker's pages.

#include "ui_AboutDialog.h"

#include <QDialog>

class AboutDialog : public QDialog, private Ui::AboutDialog {
    Q_OBJECT
public:
    // mainWindow: what the window is placed against and the owner of the pages it opens.
    explicit AboutDialog(QWidget* mainWindow);

    void setVisible(bool visible) override;

signals:
    void focusDataRequested();

private:
    void checkForUpdate();
    void openTypefacePage();

    QWidget* m_mainWindow;
};
