#pragma once
// Opens the Fill a Sheet window for the main window: creates it at its first opening, with the label-stock
// library, fills it from the settings file at every opening, and writes back what the user changes there.

#include "BarCodeExport.h"

#include <QSize>
#include <memory>

class FillSheetDialog;
class QWidget;

namespace labels {
class StockLibrary;
}

namespace kelm {

class SettingsFile;

class FillSheetOpener {
public:
    // mainWindow: the window's parent and what warnings are placed against. settingsFile: the main
    // window's, which it finds at its first activation; while it holds none nothing is read or written.
    FillSheetOpener(QWidget* mainWindow, const std::unique_ptr<SettingsFile>& settingsFile);
    ~FillSheetOpener();

    // Shows the window modally, filling every label with barCode; empty data offers a list only, built
    // with barCode's options. offeredStock (when given and known) is the stock chosen first; otherwise
    // the one chosen last. Remembers the stock chosen when the window closes.
    void open(const MadeBarCode& barCode, const QString& offeredStock = QString());

    // Nothing until the window has first been opened.
    FillSheetDialog* dialog() const { return m_dialog.get(); }

private:
    void create();

    QWidget* m_mainWindow;
    const std::unique_ptr<SettingsFile>& m_settingsFile;
    std::unique_ptr<labels::StockLibrary> m_stockLibrary;
    std::unique_ptr<FillSheetDialog> m_dialog;
    // The window's size when it first opens, where the screen has room for it.
    static constexpr QSize kPreferredSize{900, 600};
    // A bad stock in the settings file is reported once a run, not at every opening.
    bool m_userStockNotesShown = false;
};

} // namespace kelm
