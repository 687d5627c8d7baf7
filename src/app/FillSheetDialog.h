#pragma once
// The Fill a Sheet window: a label stock searched from the library, the current bar code in every label
// or a list (typed, or a column of a text or CSV file), a start label and copies, a preview page by
// page, the rows that fail and the size warnings, and printing through the print dialog with a printer
// offset. It knows no other window: the bar code and the options come in through the setters.

#include "labels/Sheet.h"
#include "labels/StockLibrary.h"
#include "ui_FillSheetDialog.h"

#include <QDialog>

class FillSheetDialog : public QDialog, private Ui::FillSheetDialog {
    Q_OBJECT
public:
    // library must outlive the dialog.
    explicit FillSheetDialog(const labels::StockLibrary& library, QWidget* parent = nullptr);

    // The bar code of "the current bar code in every label", and the builder's options for every row.
    void setBarCodeData(const QString& barCodeData);
    void setBuildOptions(bool checksum, bool fullAscii, bool textAbove, double pointSize);
    // Switches to a list and shows the rows in the list box.
    void setRows(const QStringList& rows);
    // Reads a list file (with the column and header row chosen); false, with the message shown in the
    // problems box, when it cannot be read.
    bool loadListFile(const QString& path);
    // Chooses the stock by index in the library; false when there is none such.
    bool selectStock(int index);

    // The folder the label dialog opens templates from; saving a custom template needs it.
    void setDataFolder(const QString& folder);

    void setPrinterOffset(const QPointF& mm);
    QPointF printerOffset() const;

    // What is shown now: the sheet in the preview and the page.
    const labels::Sheet& sheet() const { return m_sheet; }
    int currentPage() const { return m_page; }

signals:
    // After a print, the printer's name and the offset used, for the caller to remember per printer.
    void printed(const QString& printerName, const QPointF& offsetMm);
    void customTemplateSaved(const QString& path);

public slots:
    void print();
    void printOutlines();
    // Writes the chosen stock as the user's custom.rtf in the data folder, asking before replacing one.
    bool saveCustomTemplate();

private:
    void searchStocks();
    void rebuild();
    void showPage(int page);
    void chooseListFile();
    void reloadListFile();
    // The print dialog, then every page drawn with options; false when cancelled or failed.
    bool printPages(const labels::DrawOptions& options, bool warn);

    const labels::StockLibrary& m_library;
    QString m_data;
    labels::FillOptions m_options;
    labels::Sheet m_sheet;
    QString m_dataFolder;
    QString m_listFile;
    QString m_listError;
    int m_page = 0;
};
