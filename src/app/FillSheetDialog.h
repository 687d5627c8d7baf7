#pragma once
// The Fill a Sheet window: a label stock searched from the library, the current bar code in every label
// or a list (typed, or a column of a text or CSV file), a start label and copies, a preview page by
// page, the rows that fail and the size warnings, and printing through the print dialog with a printer
// offset, every label read back by a decoder first; or the same labels as ZPL, saved to a file or sent
// unchanged to a thermal label printer's queue at its resolution. The user's own stocks are added, edited and
// removed here. It knows no other window: the bar code, the options, the user's stocks and the offsets come in
// through the setters, and what is to be remembered goes out through signals.

#include "labels/Sheet.h"
#include "labels/StockLibrary.h"
#include "labels/UserStock.h"
#include "ui_FillSheetDialog.h"

#include <QDialog>
#include <QHash>
#include <optional>
#include <utility>

class FillSheetDialog : public QDialog, private Ui::FillSheetDialog {
    Q_OBJECT
public:
    // library must outlive the dialog.
    explicit FillSheetDialog(const labels::StockLibrary& library, QWidget* parent = nullptr);

    // The bar code of "the current bar code in every label", and the builder's options for every row.
    // Empty while no bar code has been made: the window then offers the list only.
    void setBarCodeData(const QString& barCodeData);
    void setBuildOptions(bool checksum, bool fullAscii, bool textAbove, double pointSize);
    // Switches to a list and shows the rows in the list box.
    void setRows(const QStringList& rows);
    // Reads a list file (with the column and header row chosen); false, with the message shown in the
    // problems box, when it cannot be read.
    bool loadListFile(const QString& path);
    // Chooses the stock by index in the library; false when there is none such.
    bool selectStock(int index);
    // Chooses the user's stock or the library's of that name ("Avery 5160"); false when there is none.
    bool selectStockNamed(const QString& name);
    // The chosen stock's name; empty when no stock is chosen.
    QString stockName() const;
    // The resolution a PDF of the labels is drawn for; one the window does not offer is not taken.
    int pdfDpi() const;
    void setPdfDpi(int dpi);

    // The user's own stocks, listed before the library's; one that does not make a stock is left out.
    void setUserStocks(const QList<labels::UserStockInput>& stocks);
    QList<labels::UserStockInput> userStocks() const;

    // The folder the label dialog opens templates from; saving a custom template needs it.
    void setDataFolder(const QString& folder);

    void setPrinterOffset(const QPointF& mm);
    QPointF printerOffset() const;
    // The offsets remembered per printer. The default printer's is shown; a print on a printer that
    // has one uses it, unless the offset boxes were changed since it was shown.
    void setPrinterOffsets(const QList<std::pair<QString, QPointF>>& offsets);
    // The offset to print with on the printer, shown in the boxes: the one remembered for it, unless
    // the boxes were changed by hand since they were last filled.
    QPointF offsetForPrinter(const QString& printerName);

    // The resolution remembered per label printer queue, and the queue last sent to, which the list offers
    // first. The queues themselves are the print system's, asked afresh.
    void setLabelPrinters(const QList<std::pair<QString, int>>& resolutions, const QString& lastUsed);

    // While one lives, the setters leave the sheet as it is; it is filled once when the last one goes. Each
    // setter fills once by itself, and an opening that sets the stocks, the bar code and its options
    // together holds one so that the sheet, which may take a while, is filled once for them all.
    class FillOnce {
    public:
        explicit FillOnce(FillSheetDialog& dialog);
        ~FillOnce();
        FillOnce(const FillOnce&) = delete;
        FillOnce& operator=(const FillOnce&) = delete;

    private:
        FillSheetDialog& m_dialog;
    };

    // What is shown now: the sheet in the preview and the page.
    const labels::Sheet& sheet() const { return m_sheet; }
    int currentPage() const { return m_page; }

signals:
    // After a print, the printer's name and the offset used, for the caller to remember per printer.
    void printed(const QString& printerName, const QPointF& offsetMm);
    // A stock of the user's was added (replacedName empty) or edited (replacedName its name before).
    void userStockSaved(const labels::UserStockInput& stock, const QString& replacedName);
    void userStockRemoved(const QString& name);
    // After labels went to a label printer: its queue and the resolution they were written for.
    void labelPrinterUsed(const QString& queue, int dpi);

public slots:
    void print();
    void printOutlines();
    // Writes the chosen stock as the user's custom.rtf in the data folder, asking before replacing one.
    bool saveCustomTemplate();
    // The stock editor, for a new stock (starting from the chosen stock's sizes) or the chosen one of
    // the user's; false when cancelled or when there is nothing to edit.
    bool addUserStock();
    bool editUserStock();
    // Asks first; false when answered No or when the chosen stock is not the user's.
    bool removeUserStock();
    // The Save As dialog, then the labels as ZPL at the label printer's resolution, checked as a print is;
    // false when cancelled or failed, with the reason shown.
    bool saveZpl();
    // The labels as ZPL, checked as a print is, sent unchanged to the label printer's queue at its
    // resolution; false when cancelled or failed, with the reason shown.
    bool sendToLabelPrinter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The settings' view as wide as their panel needs.
    void keepSettingsWhole();
    void searchStocks();
    void rebuild();
    void showPage(int page);
    void chooseListFile();
    void reloadListFile();
    // The print dialog, then every page drawn with options and the offset for the printer chosen;
    // false when cancelled or failed.
    bool printPages(labels::DrawOptions options, bool warn);
    // False, with a warning, when no label holds a bar code.
    bool hasBarCodes();
    // The labels as they go to a device of dpi: the fits depend on its dots.
    labels::Sheet sheetAt(int dpi) const;
    // The size warnings shown (when warn) and every label read back; true to go on printing.
    bool checkBeforePrinting(const labels::Sheet& sheet, const labels::DrawOptions& options, bool warn);
    // The ZPL of the labels for the label printer's resolution, checked first: nullopt when cancelled,
    // declined or not written (the reason in error, empty for the first two).
    std::optional<QByteArray> zplForLabelPrinter(const QPointF& offsetMm, QString& error);
    // Lists the print queues, the one last sent to first, and chooses it.
    void listLabelPrinters();
    void showLabelPrinterDpi();
    // Every label drawn as options draw it on a device of dpi and read back by a decoder, in a worker thread;
    // the outcome goes to the problems box. True to go on printing: all read back, or the user chose to
    // print those that do not; false when cancelled or declined.
    bool readBackBeforePrinting(const labels::Sheet& sheet, const labels::DrawOptions& options);
    // A stock in the list: an index in the library, or -1 - n for the user's stock n.
    const labels::Stock& stockFor(int id) const;
    // The user's stock chosen in the list, -1 for none.
    int chosenUserStock() const;
    // Lists the user's stocks anew and chooses the stock id.
    void showStocks(int id);

    struct UserStock {
        labels::UserStockInput input;
        labels::Stock stock;
    };

    const labels::StockLibrary& m_library;
    QList<UserStock> m_userStocks;
    QHash<QString, QPointF> m_offsets;
    bool m_offsetTyped = false;
    QString m_data;
    labels::FillOptions m_options;
    QStringList m_rows; // what the sheet was filled with
    labels::Sheet m_sheet;
    QHash<QString, int> m_labelPrinterDpis;
    QString m_lastLabelPrinter;
    QString m_zplFolder; // where the last ZPL file was saved
    QString m_dataFolder;
    QString m_listFile;
    QString m_listError;
    int m_page = 0;
    int m_fillsHeld = 0;
    bool m_fillPending = false;
};
