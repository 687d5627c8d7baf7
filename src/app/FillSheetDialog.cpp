#include "FillSheetDialog.h"

#include "labels/RowList.h"
#include "labels/RtfTemplate.h"
#include "platform/Desktop.h"
#include "platform/FileWriter.h"

#include <QDir>

#include <QFileDialog>
#include <QPainter>
#include <QPrinter>

namespace {

const QString kPageOf = QStringLiteral("Page %1 of %2");
const QString kRowFailed = QStringLiteral("Row %1: %2");
const QString kPrintFailed = QStringLiteral("The labels could not be printed: the printer did not start.");
const QString kChooseList = QStringLiteral("Open a List of Bar Codes");
const QString kListFiles = QStringLiteral("Lists (*.txt *.csv *.tsv);;All files (*)");
const QString kReplaceTitle = QStringLiteral("Save as Custom Template");
const QString kReplaceCustom =
    QStringLiteral("%1 already exists.\nDo you want to replace it with a template for %2?");
const QString kCannotSave = QStringLiteral("The template could not be saved: %1");
const QString kNoTemplate = QStringLiteral("This stock cannot be a template: %1.");
// The resolution the preview's warnings assume until a printer has been chosen: a common printer's.
constexpr int kAssumedDpi = 300;

} // namespace

FillSheetDialog::FillSheetDialog(const labels::StockLibrary& library, QWidget* parent)
    : QDialog(parent), m_library(library)
{
    setupUi(this);
    paperCombo->addItem(QStringLiteral("Any paper"), QString());
    paperCombo->addItem(QStringLiteral("US Letter"), QStringLiteral("US-Letter"));
    paperCombo->addItem(QStringLiteral("A4"), QStringLiteral("A4"));
    paperCombo->addItem(QStringLiteral("Other"), QStringLiteral("Other"));

    connect(stockSearchEdit, &QLineEdit::textChanged, this, &FillSheetDialog::searchStocks);
    connect(paperCombo, &QComboBox::currentIndexChanged, this, &FillSheetDialog::searchStocks);
    connect(stockList, &QListWidget::currentRowChanged, this, &FillSheetDialog::rebuild);
    connect(currentRadio, &QRadioButton::toggled, this, &FillSheetDialog::rebuild);
    connect(listEdit, &QPlainTextEdit::textChanged, this, [this] {
        if (!listRadio->isChecked())
            listRadio->setChecked(true);
        rebuild();
    });
    connect(openListButton, &QPushButton::clicked, this, &FillSheetDialog::chooseListFile);
    connect(columnSpin, &QSpinBox::valueChanged, this, &FillSheetDialog::reloadListFile);
    connect(headerCheck, &QCheckBox::toggled, this, &FillSheetDialog::reloadListFile);
    for (QSpinBox* spin : {startSpin, copiesSpin})
        connect(spin, &QSpinBox::valueChanged, this, &FillSheetDialog::rebuild);
    connect(sizeSpin, &QDoubleSpinBox::valueChanged, this, &FillSheetDialog::rebuild);
    connect(previousPageButton, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(nextPageButton, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(printButton, &QPushButton::clicked, this, &FillSheetDialog::print);
    connect(printOutlinesButton, &QPushButton::clicked, this, &FillSheetDialog::printOutlines);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(saveTemplateButton, &QPushButton::clicked, this, &FillSheetDialog::saveCustomTemplate);
    saveTemplateButton->setEnabled(false);

    copiesSpin->setMaximum(labels::kMaxCopies);
    searchStocks();
}

void FillSheetDialog::setBarCodeData(const QString& barCodeData)
{
    m_data = barCodeData;
    currentRadio->setText(QStringLiteral("The current bar code in every label: %1").arg(barCodeData));
    rebuild();
}

void FillSheetDialog::setBuildOptions(bool checksum, bool fullAscii, bool textAbove, double pointSize)
{
    m_options.checksum = checksum;
    m_options.fullAscii = fullAscii;
    m_options.look.textAbove = textAbove;
    sizeSpin->setValue(pointSize); // rebuilds
    rebuild();
}

void FillSheetDialog::setRows(const QStringList& rows)
{
    m_listFile.clear();
    m_listError.clear();
    listRadio->setChecked(true);
    listEdit->setPlainText(rows.join(u'\n'));
}

bool FillSheetDialog::loadListFile(const QString& path)
{
    QStringList rows;
    QString error;
    if (!labels::ReadListFile(path, {columnSpin->value(), headerCheck->isChecked()}, rows, error)) {
        m_listError = error;
        rebuild();
        return false;
    }
    setRows(rows);
    m_listFile = path;
    return true;
}

bool FillSheetDialog::selectStock(int index)
{
    for (int row = 0; row < stockList->count(); ++row) {
        if (stockList->item(row)->data(Qt::UserRole).toInt() == index) {
            stockList->setCurrentRow(row);
            return true;
        }
    }
    // Not among the matches: show every stock, then look again.
    if (!stockSearchEdit->text().isEmpty() || paperCombo->currentIndex() != 0) {
        stockSearchEdit->clear();
        paperCombo->setCurrentIndex(0);
        return selectStock(index);
    }
    return false;
}

void FillSheetDialog::setDataFolder(const QString& folder)
{
    m_dataFolder = folder;
    saveTemplateButton->setEnabled(!folder.isEmpty());
}

bool FillSheetDialog::saveCustomTemplate()
{
    if (m_dataFolder.isEmpty() || m_sheet.labels.isEmpty())
        return false;
    const QString problem = labels::TemplateProblem(m_sheet.stock);
    if (!problem.isEmpty()) {
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), kNoTemplate.arg(problem));
        return false;
    }
    const QString path = QDir(m_dataFolder).filePath(QLatin1String(labels::kCustomTemplateFile));
    if (QFileInfo::exists(path) &&
        !platform::AskYesNo(this, kReplaceTitle,
                            kReplaceCustom.arg(QDir::toNativeSeparators(path), m_sheet.stock.name())))
        return false;
    QString error;
    if (!platform::WriteWholeFile(path, labels::LabelTemplateRtf(m_sheet.stock, QStringLiteral("custom")),
                                  &error)) {
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), kCannotSave.arg(error));
        return false;
    }
    emit customTemplateSaved(path);
    return true;
}

void FillSheetDialog::setPrinterOffset(const QPointF& mm)
{
    offsetXSpin->setValue(mm.x());
    offsetYSpin->setValue(mm.y());
}

QPointF FillSheetDialog::printerOffset() const
{
    return {offsetXSpin->value(), offsetYSpin->value()};
}

void FillSheetDialog::searchStocks()
{
    const int chosen = stockList->currentItem() ? stockList->currentItem()->data(Qt::UserRole).toInt() : -1;
    const QSignalBlocker blocker(stockList);
    stockList->clear();
    for (int index : m_library.search(stockSearchEdit->text(), paperCombo->currentData().toString())) {
        const labels::Stock& stock = m_library.stocks()[index];
        auto* item = new QListWidgetItem(QStringLiteral("%1 - %2 (%3, %4 labels, %5)")
                                             .arg(stock.name(), stock.description, stock.paperName)
                                             .arg(stock.labelCount())
                                             .arg(labels::LabelSizeText(stock)),
                                         stockList);
        item->setData(Qt::UserRole, index);
        if (index == chosen)
            stockList->setCurrentItem(item);
    }
    if (!stockList->currentItem() && stockList->count() > 0)
        stockList->setCurrentRow(0);
    rebuild();
}

void FillSheetDialog::rebuild()
{
    const QListWidgetItem* item = stockList->currentItem();
    if (!item) {
        m_sheet = {};
        problemsEdit->setPlainText(QStringLiteral("No label stock matches the search."));
        showPage(0);
        return;
    }
    const labels::Stock& stock = m_library.stocks()[item->data(Qt::UserRole).toInt()];
    startSpin->setMaximum(qMax(1, stock.labelCount()));
    m_options.start = startSpin->value();
    m_options.look.pointSize = sizeSpin->value();
    const bool list = listRadio->isChecked();
    copiesSpin->setEnabled(list);
    QStringList rows;
    if (list) {
        rows = labels::RowsFromText(listEdit->toPlainText());
        m_options.copies = copiesSpin->value();
    } else {
        // Every label from the start label on holds the one bar code.
        rows = {m_data};
        m_options.copies = stock.labelCount() - m_options.start + 1;
    }
    m_sheet = labels::FillSheet(stock, rows, m_options);

    QStringList problems;
    if (list && !m_listError.isEmpty())
        problems.append(m_listError);
    for (const labels::RowFailure& failure : std::as_const(m_sheet.failures))
        problems.append(kRowFailed.arg(failure.row).arg(failure.message));
    problems.append(labels::SheetWarnings(m_sheet, kAssumedDpi));
    problemsEdit->setPlainText(problems.join(u'\n'));
    showPage(qMin(m_page, qMax(0, m_sheet.pageCount() - 1)));
}

void FillSheetDialog::showPage(int page)
{
    const int pages = qMax(1, m_sheet.pageCount());
    m_page = qBound(0, page, pages - 1);
    pageLabel->setText(kPageOf.arg(m_page + 1).arg(pages));
    previousPageButton->setEnabled(m_page > 0);
    nextPageButton->setEnabled(m_page + 1 < pages);
    preview->showPage(&m_sheet, m_page);
}

void FillSheetDialog::chooseListFile()
{
    const QString path = QFileDialog::getOpenFileName(this, kChooseList, platform::DocumentsFolder(), kListFiles);
    if (!path.isEmpty())
        loadListFile(path);
}

void FillSheetDialog::reloadListFile()
{
    if (!m_listFile.isEmpty())
        loadListFile(m_listFile);
}

void FillSheetDialog::print()
{
    labels::DrawOptions options;
    options.offsetMm = printerOffset();
    printPages(options, true);
}

void FillSheetDialog::printOutlines()
{
    labels::DrawOptions options;
    options.outlines = true;
    options.barCodes = false;
    options.offsetMm = printerOffset();
    printPages(options, false);
}

bool FillSheetDialog::printPages(const labels::DrawOptions& options, bool warn)
{
    if (m_sheet.labels.isEmpty())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    const QSizeF size = m_sheet.stock.page;
    const bool wide = size.width() > size.height();
    printer.setPageLayout(
        QPageLayout(QPageSize(wide ? size.transposed() : size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    wide ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    printer.setFullPage(true); // label positions are from the paper's edge, not the printable area's
    printer.setDocName(m_sheet.stock.name());
    if (!platform::ExecPrintDialog(printer, this))
        return false;
    const int dpi = printer.logicalDpiY();
    if (warn) {
        // The printer's own resolution decides what scans; say so before the paper is used.
        const QStringList warnings = labels::SheetWarnings(m_sheet, dpi);
        if (!warnings.isEmpty())
            platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), warnings.join(u'\n'));
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), kPrintFailed);
        return false;
    }
    const int pages = options.barCodes ? qMax(1, m_sheet.pageCount()) : 1;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        labels::DrawPage(painter, m_sheet, page, options);
    }
    painter.end();
    emit printed(printer.printerName(), options.offsetMm);
    return true;
}
