#include "FillSheetOpener.h"

#include "ErrorGuard.h"
#include "FillSheetDialog.h"
#include "Settings.h"
#include "WindowPlacement.h"
#include "labels/StockLibrary.h"
#include "platform/Desktop.h"

#include <utility>

namespace kelm {

FillSheetOpener::FillSheetOpener(QWidget* mainWindow, const std::unique_ptr<SettingsFile>& settingsFile)
    : m_mainWindow(mainWindow), m_settingsFile(settingsFile)
{
}

FillSheetOpener::~FillSheetOpener()
{
    // The window goes before the library it lists.
    m_dialog.reset();
}

void FillSheetOpener::create()
{
    // Made at the first opening, not at start-up: reading the 1,756 stocks of the label-template
    // database would slow every start for a window many runs never open.
    m_stockLibrary = std::make_unique<labels::StockLibrary>();
    m_stockLibrary->loadDatabase();
    m_dialog = std::make_unique<FillSheetDialog>(*m_stockLibrary, m_mainWindow);
    FillSheetDialog* dialog = m_dialog.get();
    // What the window changes is written at once, as every other setting is; the file has no place
    // for a name that is empty (a PDF, not a printer).
    QObject::connect(dialog, &FillSheetDialog::printed, dialog,
                     [this](const QString& printerName, const QPointF& offsetMm) {
                         if (m_settingsFile && !printerName.isEmpty())
                             Reported([&] { m_settingsFile->writePrinterOffset(printerName, offsetMm); });
                     });
    QObject::connect(dialog, &FillSheetDialog::labelPrinterUsed, dialog, [this](const QString& queue, int dpi) {
        if (m_settingsFile)
            Reported([&] { m_settingsFile->writeLabelPrinter(queue, dpi); });
    });
    QObject::connect(dialog, &FillSheetDialog::userStockSaved, dialog,
                     [this](const labels::UserStockInput& stock, const QString& replacedName) {
                         if (!m_settingsFile)
                             return;
                         Reported([&] {
                             if (!replacedName.isEmpty() &&
                                 replacedName.compare(stock.name, Qt::CaseInsensitive) != 0)
                                 m_settingsFile->removeUserStock(replacedName);
                             m_settingsFile->writeUserStock(stock);
                         });
                     });
    QObject::connect(dialog, &FillSheetDialog::userStockRemoved, dialog, [this](const QString& name) {
        if (m_settingsFile)
            Reported([&] { m_settingsFile->removeUserStock(name); });
    });
}

void FillSheetOpener::open(const MadeBarCode& barCode, const QString& offeredStock)
{
    const bool created = !m_dialog;
    if (created)
        create();
    FillSheetDialog& dialog = *m_dialog;
    {
        const FillSheetDialog::FillOnce once(dialog);
        if (m_settingsFile) {
            // Read at every opening, as every other setting is: the file may have been edited since.
            const UserStocks stocks = m_settingsFile->userStocks();
            dialog.setUserStocks(stocks.stocks);
            if (const QString last = m_settingsFile->lastStock(); created && !last.isEmpty())
                dialog.selectStockNamed(last); // a stock no longer there leaves the list's first chosen
            if (created)
                dialog.setPdfDpi(m_settingsFile->pdfDpi());
            if (!stocks.notes.isEmpty() && !std::exchange(m_userStockNotesShown, true))
                platform::ShowWarning(m_mainWindow, m_mainWindow->pos() + kWarningOffset,
                                      stocks.notes.join(u'\n'));
            dialog.setPrinterOffsets(m_settingsFile->printerOffsets());
            dialog.setLabelPrinters(m_settingsFile->labelPrinterResolutions(), m_settingsFile->lastLabelPrinter());
        }
        if (!offeredStock.isEmpty())
            dialog.selectStockNamed(offeredStock);
        dialog.setBarCodeData(barCode.data);
        dialog.setBuildOptions(barCode.checksum, barCode.fullAscii, barCode.textAbove, barCode.pointSize);
        const QString folder = DataFolderPath();
        dialog.setDataFolder(platform::DirectoryExists(folder) ? folder : QString());
    }
    if (created)
        FitOnScreen(&dialog, kPreferredSize, m_mainWindow);
    dialog.exec();
    if (m_settingsFile) {
        const QString chosen = dialog.stockName();
        if (!chosen.isEmpty() && chosen != m_settingsFile->lastStock())
            m_settingsFile->writeLastStock(chosen);
        if (dialog.pdfDpi() != m_settingsFile->pdfDpi())
            m_settingsFile->writePdfDpi(dialog.pdfDpi());
    }
}

} // namespace kelm
