#include "FillSheetDialog.h"

#include "PrintTarget.h"
#include "UserStockDialog.h"
#include "labels/ReadBack.h"
#include "labels/RowList.h"
#include "labels/RtfTemplate.h"
#include "labels/Zpl.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/FileWriter.h"
#include "platform/RawPrinter.h"
#include "render/OutputLimits.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <limits>

namespace {

const QString kPageOf = QStringLiteral("Page %1 of %2");
const QString kSavedNote = QStringLiteral("Saved %1");
const QString kPrintedNote = QStringLiteral("Sent to %1");
const QString kPdfWrittenNote = QStringLiteral("Saved the labels as a PDF file");
const QString kRowFailed = QStringLiteral("Row %1: %2");
const QString kLabelsJob = QStringLiteral("the labels"); // as a message names them
const QString kChooseList = QStringLiteral("Open a List of Bar Codes");
const QString kListFiles = QStringLiteral("Lists (*.txt *.csv *.tsv);;All files (*)");
const QString kReplaceTitle = QStringLiteral("Save as Custom Template");
const QString kReplaceCustom =
    QStringLiteral("%1 already exists.\nDo you want to replace it with a template for %2?");
const QString kCannotSave = QStringLiteral("The template could not be saved: %1");
const QString kNoTemplate = QStringLiteral("This stock cannot be a template: %1.");
const QString kCurrentBarCode = QStringLiteral("The c&urrent bar code in every label: %1");
const QString kNoBarCodeYet = QStringLiteral("The c&urrent bar code in every label (make one first)");
// How wide the data may stand in the radio button's caption, in pixels.
constexpr int kDataShownWidth = 160;
const QString kStockItem = QStringLiteral("%1 - %2 (%3, %4, %5)");
const QString kRemoveTitle = QStringLiteral("Remove Your Stock");
const QString kRemoveStock = QStringLiteral("Remove your stock \"%1\" from the list?");
// The print job's name, which the print dialog also offers as the PDF file's name.
const QString kSheetDocument = QStringLiteral("%1 labels");
const QString kReadingBack = QStringLiteral("Reading every label back at %1 dpi...");
const QString kReadBackOutcome = QStringLiteral("Checked before printing at %1 dpi: %2");
const QString kNotReadTitle = QStringLiteral("Labels That Do Not Read Back");
const QString kPrintUnreadable = QStringLiteral("At %1 dpi %2:\n%3\n\nPrint them anyway?");
const QString kMoreNotRead = QStringLiteral("and %L1 more");
// Labels named in the question; the problems box names them all.
constexpr qsizetype kNotReadListed = 12;
const QString kNothingToPrint = QStringLiteral("There are no bar codes to print: %1");
const QString kNoRows = QStringLiteral("the list has no rows.");
const QString kNoRowMade = QStringLiteral("no row makes a bar code (see the problems listed).");
const QString kSaveZplTitle = QStringLiteral("Save Labels as ZPL");
const QString kZplFilters = QStringLiteral("ZPL labels (*.zpl);;All files (*)");
const QString kReplaceFile = QStringLiteral("%1 already exists.\nDo you want to replace it?");
const QString kNoLabelPrinter = QStringLiteral(
    "There is no print queue to send the labels to. Set one up for the label printer that takes jobs as they "
    "are (a raw queue; Help tells how), then open this window again.");
// UTF-16 units of the stock's name in the file offered: well within a file name's 255 bytes.
constexpr qsizetype kLongestStockName = 60;

} // namespace

FillSheetDialog::FillSheetDialog(const labels::StockLibrary& library, QWidget* parent)
    : QDialog(parent), m_library(library)
{
    setupUi(this);
    paperCombo->addItem(QStringLiteral("Any paper"), QString());
    paperCombo->addItem(QStringLiteral("US Letter"), QStringLiteral("US-Letter"));
    paperCombo->addItem(QStringLiteral("A4"), QStringLiteral("A4"));
    paperCombo->addItem(QStringLiteral("Other"), QStringLiteral("Other"));
    // A PDF file's bars are set for the printer it will go to: the usual label and office printers.
    for (const int dpi : labels::kPdfResolutions)
        dpiCombo->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    dpiCombo->setCurrentIndex(dpiCombo->findData(render::kDefaultDpi));
    for (const int dpi : labels::kZplResolutions)
        labelDpiCombo->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    labelDpiCombo->setCurrentIndex(labelDpiCombo->findData(labels::kDefaultZplDpi));

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
    connect(dpiCombo, &QComboBox::currentIndexChanged, this, &FillSheetDialog::rebuild);
    connect(previousPageButton, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(nextPageButton, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(printButton, &QPushButton::clicked, this, &FillSheetDialog::print);
    connect(printOutlinesButton, &QPushButton::clicked, this, &FillSheetDialog::printOutlines);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(saveZplButton, &QPushButton::clicked, this, &FillSheetDialog::saveZpl);
    connect(sendZplButton, &QPushButton::clicked, this, &FillSheetDialog::sendToLabelPrinter);
    connect(labelPrinterCombo, &QComboBox::currentIndexChanged, this, &FillSheetDialog::showLabelPrinterDpi);
    connect(saveTemplateButton, &QPushButton::clicked, this, [this] {
        if (saveCustomTemplate())
            platform::ShowNote(
                saveTemplateButton,
                kSavedNote.arg(QDir::toNativeSeparators(
                    QDir(m_dataFolder).filePath(QString::fromLatin1(labels::kCustomTemplateFile)))));
    });
    saveTemplateButton->setEnabled(false);
    connect(addStockButton, &QPushButton::clicked, this, &FillSheetDialog::addUserStock);
    connect(editStockButton, &QPushButton::clicked, this, &FillSheetDialog::editUserStock);
    connect(removeStockButton, &QPushButton::clicked, this, &FillSheetDialog::removeUserStock);
    for (QDoubleSpinBox* spin : {offsetXSpin, offsetYSpin})
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { m_offsetTyped = true; });

    // The panel's width follows its captions and lists, which change after the window is built.
    settingsPanel->installEventFilter(this);
    keepSettingsWhole();

    // A field reached by Tab or its mnemonic is scrolled into view on a short screen.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && settingsPanel->isAncestorOf(now))
            settingsScroll->ensureWidgetVisible(now);
    });
    // The ranges the command line takes too; until a printer is chosen the warnings assume the default dpi.
    copiesSpin->setMaximum(render::kMaxCopies);
    columnSpin->setMaximum(labels::kMaxListColumn);
    sizeSpin->setRange(render::kMinPointSize, render::kMaxPointSize);
    for (QDoubleSpinBox* spin : {offsetXSpin, offsetYSpin})
        spin->setRange(-render::kMaxOffsetMm, render::kMaxOffsetMm);
    listLabelPrinters();
    const FillOnce once(*this);
    setBarCodeData(QString());
    searchStocks();
}

FillSheetDialog::FillOnce::FillOnce(FillSheetDialog& dialog) : m_dialog(dialog)
{
    ++m_dialog.m_fillsHeld;
}

FillSheetDialog::FillOnce::~FillOnce()
{
    if (--m_dialog.m_fillsHeld == 0 && std::exchange(m_dialog.m_fillPending, false))
        m_dialog.rebuild();
}

void FillSheetDialog::setBarCodeData(const QString& barCodeData)
{
    // The radio buttons' toggles fill the sheet too.
    const FillOnce once(*this);
    m_data = barCodeData;
    currentRadio->setEnabled(!barCodeData.isEmpty());
    if (barCodeData.isEmpty()) {
        currentRadio->setText(kNoBarCodeYet);
        currentRadio->setToolTip(QString());
        listRadio->setChecked(true);
    } else {
        // Long data is cut short so that the window keeps its width; the tip shows it whole.
        const QString shown = currentRadio->fontMetrics().elidedText(barCodeData, Qt::ElideRight, kDataShownWidth);
        currentRadio->setText(kCurrentBarCode.arg(QString(shown).replace(u'&', QStringLiteral("&&"))));
        currentRadio->setToolTip(barCodeData);
        // A bar code to fill with is what the window is for, unless a list has been typed.
        if (listEdit->toPlainText().trimmed().isEmpty())
            currentRadio->setChecked(true);
    }
    rebuild();
}

void FillSheetDialog::setBuildOptions(bool checksum, bool fullAscii, bool textAbove, double pointSize)
{
    m_options.checksum = checksum;
    m_options.fullAscii = fullAscii;
    m_options.look.textAbove = textAbove;
    const FillOnce once(*this);
    sizeSpin->setValue(pointSize); // fills only when the size changes
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
    // A copy: a re-read passes m_listFile itself, which setRows clears, and the file would be forgotten after
    // the first change of column or header.
    const QString file = path;
    QStringList rows;
    QString error;
    if (!labels::ReadListFile(file, {columnSpin->value(), headerCheck->isChecked()}, rows, error)) {
        m_listError = error;
        rebuild();
        return false;
    }
    setRows(rows);
    m_listFile = file;
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

bool FillSheetDialog::selectStockNamed(const QString& name)
{
    for (int i = 0; i < m_userStocks.size(); ++i) {
        if (m_userStocks[i].stock.name().compare(name, Qt::CaseInsensitive) == 0)
            return selectStock(-1 - i);
    }
    QString error;
    const int index = m_library.find(name, error);
    return index >= 0 && selectStock(index);
}

int FillSheetDialog::pdfDpi() const
{
    return dpiCombo->currentData().toInt();
}

void FillSheetDialog::setPdfDpi(int dpi)
{
    if (const int index = dpiCombo->findData(dpi); index >= 0)
        dpiCombo->setCurrentIndex(index);
}

QString FillSheetDialog::stockName() const
{
    return stockList->currentItem() ? m_sheet.stock.name() : QString();
}

void FillSheetDialog::setUserStocks(const QList<labels::UserStockInput>& stocks)
{
    m_userStocks.clear();
    for (const labels::UserStockInput& input : stocks) {
        labels::Stock stock;
        QString error;
        if (labels::MakeUserStock(input, stock, error))
            m_userStocks.append({input, stock});
    }
    searchStocks();
}

QList<labels::UserStockInput> FillSheetDialog::userStocks() const
{
    QList<labels::UserStockInput> inputs;
    for (const UserStock& own : m_userStocks)
        inputs.append(own.input);
    return inputs;
}

const labels::Stock& FillSheetDialog::stockFor(int id) const
{
    return id >= 0 ? m_library.stocks()[id] : m_userStocks[-1 - id].stock;
}

int FillSheetDialog::chosenUserStock() const
{
    const QListWidgetItem* item = stockList->currentItem();
    const int id = item ? item->data(Qt::UserRole).toInt() : 0;
    return id < 0 ? -1 - id : -1;
}

void FillSheetDialog::showStocks(int id)
{
    searchStocks();
    selectStock(id);
}

bool FillSheetDialog::addUserStock()
{
    labels::UserStockInput input;
    // A new stock starts from the chosen one's sizes: most are a known sheet with one thing changed.
    const labels::Stock& chosen = m_sheet.stock;
    if (stockList->currentItem() && !chosen.layouts.isEmpty()) {
        const labels::Layout& grid = chosen.layouts.first();
        const auto mm = [](double points) { return qRound(points / labels::kPointsPerMm * 100) / 100.0; };
        input.pageWidth = mm(chosen.page.width());
        input.pageHeight = mm(chosen.page.height());
        input.labelWidth = mm(chosen.label.width());
        input.labelHeight = mm(chosen.label.height());
        input.columns = grid.nx;
        input.rows = grid.ny;
        input.left = mm(grid.x0);
        input.top = mm(grid.y0);
        input.pitchX = mm(grid.dx);
        input.pitchY = mm(grid.dy);
    }
    QStringList taken;
    for (const UserStock& own : std::as_const(m_userStocks))
        taken.append(own.input.name);
    UserStockDialog editor(this);
    editor.setInput(input, taken);
    if (editor.exec() != QDialog::Accepted)
        return false;
    input = editor.input();
    labels::Stock stock;
    QString error;
    if (!labels::MakeUserStock(input, stock, error))
        return false;
    m_userStocks.append({input, stock});
    showStocks(-int(m_userStocks.size()));
    emit userStockSaved(input, QString());
    return true;
}

bool FillSheetDialog::editUserStock()
{
    const int chosen = chosenUserStock();
    if (chosen < 0)
        return false;
    QStringList taken;
    for (int i = 0; i < m_userStocks.size(); ++i) {
        if (i != chosen)
            taken.append(m_userStocks[i].input.name);
    }
    UserStockDialog editor(this);
    editor.setInput(m_userStocks[chosen].input, taken);
    if (editor.exec() != QDialog::Accepted)
        return false;
    const labels::UserStockInput input = editor.input();
    labels::Stock stock;
    QString error;
    if (!labels::MakeUserStock(input, stock, error))
        return false;
    const QString before = m_userStocks[chosen].input.name;
    m_userStocks[chosen] = {input, stock};
    showStocks(-1 - chosen);
    emit userStockSaved(input, before);
    return true;
}

bool FillSheetDialog::removeUserStock()
{
    const int chosen = chosenUserStock();
    if (chosen < 0)
        return false;
    const QString name = m_userStocks[chosen].input.name;
    if (!platform::AskYesNo(this, kRemoveTitle, kRemoveStock.arg(name)))
        return false;
    m_userStocks.removeAt(chosen);
    searchStocks();
    emit userStockRemoved(name);
    return true;
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
    if (QString problem; !labels::CanMakeTemplate(m_sheet.stock, problem)) {
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
                                  error)) {
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), kCannotSave.arg(error));
        return false;
    }
    return true;
}

void FillSheetDialog::setPrinterOffset(const QPointF& mm)
{
    const QSignalBlocker quietX(offsetXSpin);
    const QSignalBlocker quietY(offsetYSpin);
    offsetXSpin->setValue(mm.x());
    offsetYSpin->setValue(mm.y());
    m_offsetTyped = false;
}

void FillSheetDialog::setPrinterOffsets(const QList<std::pair<QString, QPointF>>& offsets)
{
    m_offsets.clear();
    for (const auto& [printer, offset] : offsets)
        m_offsets.insert(printer, offset);
    const QString printer = QPrinterInfo::defaultPrinterName();
    if (m_offsets.contains(printer))
        setPrinterOffset(m_offsets.value(printer));
}

QPointF FillSheetDialog::printerOffset() const
{
    return {offsetXSpin->value(), offsetYSpin->value()};
}

QPointF FillSheetDialog::offsetForPrinter(const QString& printerName)
{
    if (!m_offsetTyped && m_offsets.contains(printerName))
        setPrinterOffset(m_offsets.value(printerName));
    return printerOffset();
}

void FillSheetDialog::searchStocks()
{
    const QListWidgetItem* current = stockList->currentItem();
    // Ids run from -1 - (user stocks) to the library's last index: past that is "none".
    const int chosen = current ? current->data(Qt::UserRole).toInt() : std::numeric_limits<int>::max();
    const QSignalBlocker blocker(stockList);
    stockList->clear();
    const QString words = stockSearchEdit->text();
    const QString paper = paperCombo->currentData().toString();
    QList<int> ids;
    // The user's own first: every word in the name, on the paper asked for.
    const QStringList wordList = words.split(u' ', Qt::SkipEmptyParts);
    for (int i = 0; i < m_userStocks.size(); ++i) {
        const labels::Stock& stock = m_userStocks[i].stock;
        const bool named = std::all_of(wordList.begin(), wordList.end(), [&](const QString& word) {
            return stock.name().contains(word, Qt::CaseInsensitive);
        });
        if (named && (paper.isEmpty() || stock.paperId == paper))
            ids.append(-1 - i);
    }
    ids.append(m_library.search(words, paper));
    for (int id : std::as_const(ids)) {
        const labels::Stock& stock = stockFor(id);
        auto* item = new QListWidgetItem(kStockItem.arg(stock.name(), stock.description, stock.paperName,
                                                        labels::LabelCountText(stock.labelCount()),
                                                        labels::LabelSizeText(stock)),
                                         stockList);
        item->setData(Qt::UserRole, id);
        item->setToolTip(item->text()); // the list cuts long names short
        if (chosen == id)
            stockList->setCurrentItem(item);
    }
    if (!stockList->currentItem() && stockList->count() > 0)
        stockList->setCurrentRow(0);
    rebuild();
}

void FillSheetDialog::rebuild()
{
    if (m_fillsHeld > 0) {
        m_fillPending = true;
        return;
    }
    const QListWidgetItem* item = stockList->currentItem();
    if (!item) {
        m_sheet = {};
        problemsEdit->setPlainText(QStringLiteral("No label stock matches the search."));
        editStockButton->setEnabled(false);
        removeStockButton->setEnabled(false);
        showPage(0);
        return;
    }
    const bool own = item->data(Qt::UserRole).toInt() < 0;
    editStockButton->setEnabled(own);
    removeStockButton->setEnabled(own);
    const labels::Stock& stock = stockFor(item->data(Qt::UserRole).toInt());
    startSpin->setMaximum(qMax(1, stock.labelCount()));
    m_options.start = startSpin->value();
    m_options.look.pointSize = sizeSpin->value();
    m_options.dpi = dpiCombo->currentData().toInt();
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
    m_rows = rows;
    m_sheet = labels::FillSheet(stock, rows, m_options);

    QStringList problems;
    if (list && !m_listError.isEmpty())
        problems.append(m_listError);
    for (const labels::RowFailure& failure : std::as_const(m_sheet.failures))
        problems.append(kRowFailed.arg(failure.row).arg(failure.message));
    problems.append(labels::SheetWarnings(m_sheet));
    if (const QString offPage = labels::OffPageWarning(stock); !offPage.isEmpty())
        problems.append(offPage);
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
    printPages(labels::DrawOptions(), true);
}

void FillSheetDialog::printOutlines()
{
    labels::DrawOptions options;
    options.outlines = true;
    options.barCodes = false;
    printPages(options, false);
}

bool FillSheetDialog::hasBarCodes()
{
    if (m_sheet.labels.isEmpty())
        return false;
    // Blank sheets are a mistake (an empty list, a wrong column), not a job: outlines alone are asked for apart.
    if (std::all_of(m_sheet.barTexts.begin(), m_sheet.barTexts.end(),
                    [](const QString& t) { return t.isEmpty(); })) {
        const bool noRows = listRadio->isChecked() && labels::RowsFromText(listEdit->toPlainText()).isEmpty();
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)),
                              kNothingToPrint.arg(noRows ? kNoRows : kNoRowMade));
        return false;
    }
    return true;
}

labels::Sheet FillSheetDialog::sheetAt(int dpi) const
{
    if (dpi == m_sheet.dpi)
        return m_sheet;
    labels::FillOptions fill = m_options;
    fill.dpi = dpi;
    return labels::FillSheet(m_sheet.stock, m_rows, labels::ForZpl(fill));
}

bool FillSheetDialog::checkBeforePrinting(const labels::Sheet& sheet, const labels::DrawOptions& options,
                                          bool warn)
{
    if (warn) {
        // What scans on this printer; say so before the paper is used.
        const QStringList warnings = labels::SheetWarnings(sheet);
        if (!warnings.isEmpty())
            platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), warnings.join(u'\n'));
    }
    // The labels are read back on the dots they are drawn for: the printer's, or those chosen for a PDF.
    return !options.barCodes || readBackBeforePrinting(sheet, options);
}

bool FillSheetDialog::printPages(labels::DrawOptions options, bool warn)
{
    if (m_sheet.labels.isEmpty() || (options.barCodes && !hasBarCodes()))
        return false;
    const QString document = kSheetDocument.arg(
        platform::SafeFileNamePart(m_sheet.stock.name(), kLongestStockName, platform::NameLength::Utf16Units));
    kelm::PrintTarget target({document, true, labels::StockPageLayout(m_sheet.stock)}, nullptr);
    const kelm::PrintOutcome chosen = target.choose(this);
    if (chosen != kelm::PrintOutcome::Printed) {
        if (chosen != kelm::PrintOutcome::Cancelled)
            platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), target.problem(chosen, kLabelsJob));
        return false;
    }
    const QString printerName = target.printerName();
    options.offsetMm = offsetForPrinter(printerName);
    // The bars go on the printer's own dots; a PDF file's on those chosen for it, as the preview shows.
    const labels::Sheet sheet = sheetAt(printerName.isEmpty() ? m_options.dpi : target.dpi());
    if (!checkBeforePrinting(sheet, options, warn))
        return false;
    const int pages = options.barCodes ? sheet.pageCount() : 1;
    const auto drawPage = [&](QPainter& painter, int page) { labels::DrawPage(painter, sheet, page, options); };
    if (const kelm::PrintOutcome printed = target.print(pages, drawPage); printed != kelm::PrintOutcome::Printed) {
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), target.problem(printed, kLabelsJob));
        return false;
    }
    if (!printerName.isEmpty()) {
        m_offsets.insert(printerName, options.offsetMm);
        m_offsetTyped = false;
    }
    platform::ShowNote(printButton, printerName.isEmpty() ? kPdfWrittenNote : kPrintedNote.arg(printerName));
    emit printed(printerName, options.offsetMm);
    return true;
}

void FillSheetDialog::keepSettingsWhole()
{
    // The settings scroll up and down on a short screen, never sideways: their view is as wide as the panel
    // needs, with room for the scroll bar.
    settingsScroll->setMinimumWidth(settingsPanel->minimumSizeHint().width() +
                                    style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, settingsScroll) +
                                    2 * settingsScroll->frameWidth());
}

bool FillSheetDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == settingsPanel && event->type() == QEvent::LayoutRequest)
        keepSettingsWhole();
    return QDialog::eventFilter(watched, event);
}

void FillSheetDialog::setLabelPrinters(const QList<std::pair<QString, int>>& resolutions, const QString& lastUsed)
{
    m_labelPrinterDpis.clear();
    for (const auto& [queue, dpi] : resolutions)
        m_labelPrinterDpis.insert(queue, dpi);
    m_lastLabelPrinter = lastUsed;
    listLabelPrinters();
}

void FillSheetDialog::listLabelPrinters()
{
    QStringList queues = platform::PrinterNames();
    if (queues.removeAll(m_lastLabelPrinter) > 0)
        queues.prepend(m_lastLabelPrinter);
    const QSignalBlocker quiet(labelPrinterCombo);
    labelPrinterCombo->clear();
    labelPrinterCombo->addItems(queues);
    labelPrinterCombo->setCurrentIndex(queues.isEmpty() ? -1 : 0);
    showLabelPrinterDpi();
}

void FillSheetDialog::showLabelPrinterDpi()
{
    const int dpi = m_labelPrinterDpis.value(labelPrinterCombo->currentText(), labels::kDefaultZplDpi);
    if (const int index = labelDpiCombo->findData(dpi); index >= 0)
        labelDpiCombo->setCurrentIndex(index);
}

std::optional<QByteArray> FillSheetDialog::zplForLabelPrinter(const QPointF& offsetMm, QString& error)
{
    labels::DrawOptions options;
    options.offsetMm = offsetMm;
    // Fitted on the label printer's dots, with bars no wider than its bar-code command draws.
    labels::FillOptions fill = m_options;
    fill.dpi = labelDpiCombo->currentData().toInt();
    const labels::Sheet sheet = labels::FillSheet(m_sheet.stock, m_rows, labels::ForZpl(fill));
    if (!checkBeforePrinting(sheet, options, true))
        return std::nullopt;
    QByteArray zpl;
    QBuffer buffer(&zpl);
    buffer.open(QIODevice::WriteOnly);
    if (!labels::WriteZpl(sheet, options, buffer, error))
        return std::nullopt;
    return zpl;
}

bool FillSheetDialog::saveZpl()
{
    if (!hasBarCodes())
        return false;
    QString folder = m_zplFolder;
    if (folder.isEmpty() || !platform::DirectoryExists(folder)) {
        folder = platform::DocumentsFolder();
        if (!platform::DirectoryExists(folder))
            folder = QDir::toNativeSeparators(QDir::homePath());
    }
    const QString offered = kSheetDocument.arg(platform::SafeFileNamePart(m_sheet.stock.name(), kLongestStockName,
                                                                          platform::NameLength::Utf16Units)) +
                            QStringLiteral(".zpl");
    const QString path =
        platform::AskSaveFileName(this, kSaveZplTitle, QDir(folder).filePath(offered), kZplFilters);
    if (path.isEmpty())
        return false;
    const QFileInfo target(path);
    const QString shown = QDir::toNativeSeparators(target.absoluteFilePath());
    if (platform::DirectoryExists(target.absolutePath()))
        m_zplFolder = target.absolutePath();
    // A folder or device there is not asked about: the writer refuses it, and the warning says why.
    if (target.isFile() && !platform::AskYesNo(this, kSaveZplTitle, kReplaceFile.arg(shown)))
        return false;
    QString error;
    const std::optional<QByteArray> zpl = zplForLabelPrinter(printerOffset(), error);
    if (zpl && platform::WriteWholeFile(path, *zpl, error)) {
        platform::ShowNote(saveZplButton, kSavedNote.arg(shown));
        return true;
    }
    if (!error.isEmpty())
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)),
                              kelm::PrintTarget::ProblemAt(kelm::PrintOutcome::NotWritten, kLabelsJob,
                                                           kelm::PrintTarget::FileDescription(shown), error));
    return false;
}

bool FillSheetDialog::sendToLabelPrinter()
{
    if (!hasBarCodes())
        return false;
    const QString queue = labelPrinterCombo->currentText();
    if (queue.isEmpty()) {
        platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)), kNoLabelPrinter);
        return false;
    }
    const QPointF offsetMm = offsetForPrinter(queue);
    const int dpi = labelDpiCombo->currentData().toInt();
    QString error;
    const std::optional<QByteArray> zpl = zplForLabelPrinter(offsetMm, error);
    const QString job = kSheetDocument.arg(m_sheet.stock.name());
    if (!zpl || !platform::PrintRaw(queue, job, *zpl, error)) {
        if (!error.isEmpty())
            platform::ShowWarning(this, mapToGlobal(QPoint(40, 40)),
                                  kelm::PrintTarget::ProblemAt(kelm::PrintOutcome::NotSent, kLabelsJob,
                                                               kelm::PrintTarget::PrinterDescription(queue),
                                                               error));
        return false;
    }
    m_offsets.insert(queue, offsetMm);
    m_offsetTyped = false;
    m_labelPrinterDpis.insert(queue, dpi);
    m_lastLabelPrinter = queue;
    platform::ShowNote(sendZplButton, kPrintedNote.arg(queue));
    emit printed(queue, offsetMm);
    emit labelPrinterUsed(queue, dpi);
    return true;
}

bool FillSheetDialog::readBackBeforePrinting(const labels::Sheet& sheet, const labels::DrawOptions& options)
{
    // The worker reads the sheet about to print, not the window's, which may change while it works.
    const int dpi = sheet.dpi;
    const auto toRead = std::count_if(sheet.barTexts.cbegin(), sheet.barTexts.cend(),
                                      [](const QString& barText) { return !barText.isEmpty(); });
    labels::SheetReading reading;
    const bool finished = platform::RunWithProgress(
        this, kReadingBack.arg(dpi), toRead, [&](const std::atomic_bool& cancel, std::atomic<qsizetype>& done) {
            reading = labels::ReadSheetBack(sheet, options, dpi, &cancel,
                                            [&done](qsizetype read, qsizetype) { done = read; });
        });
    if (!finished)
        return false;
    const QString summary = labels::ReadBackSummary(reading);
    const QStringList notRead = labels::ReadBackProblems(sheet, reading);
    problemsEdit->appendPlainText(kReadBackOutcome.arg(dpi).arg(summary));
    if (notRead.isEmpty())
        return true;
    problemsEdit->appendPlainText(notRead.join(u'\n'));
    QStringList listed = notRead.mid(0, kNotReadListed);
    if (notRead.size() > kNotReadListed)
        listed.append(kMoreNotRead.arg(notRead.size() - kNotReadListed));
    return platform::AskYesNo(this, kNotReadTitle, kPrintUnreadable.arg(dpi).arg(summary, listed.join(u'\n')));
}
