#include "LabelDialog.h"

#include "CaptionFitting.h"
#include "DesktopOpener.h"
#include "Settings.h"
#include "WindowPlacement.h"
#include "labels/RtfTemplate.h"
#include "labels/StockLibrary.h"
#include "platform/Desktop.h"
#include "render/Typefaces.h"

#include <QtMath>

namespace {

// The stock templates, one per row of the label list, in the order of the settings file's [Sizes].
const QStringList& StockTemplates()
{
    static const QStringList names = [] {
        QStringList files;
        for (const labels::Stock& stock : labels::OwnStocks())
            files.append(stock.templateFile);
        return files;
    }();
    return names;
}
// What the editable list shows until the settings file has filled it.
const QString kEmptyListText = QStringLiteral("ComboBox1");

const QPoint kDialogOffset(90, 25);

const QString kNoCustomTemplate =
    QStringLiteral("You have not yet defined a custom template. Make your own label\ntemplate, name the file "
                   "custom.rtf, and place this file in the\n%1 folder.");
const QString kTemplateMissing =
    QStringLiteral("The label template %1 is missing from the folder\n%2\nPlease re-install this product.");
const QString kHowToPaste =
    QStringLiteral("To add your bar code to a label, place\nthe cursor in any label on the "
                   "form,\nthen on the menu bar click on Edit, Paste\nor just enter a "
                   "Ctrl-V.");

const QString kTooWide = QStringLiteral("At %1 pt this bar code is %2 mm wide, and a line in these labels "
                                        "%3 mm: pasted, it would wrap and not scan. ");
const QString kMakeSmaller = QStringLiteral("Make it at %1 pt or smaller, or use Fill a Sheet.");
const QString kUseFillSheet = QStringLiteral("Use Fill a Sheet, which sizes bar codes to the label.");

QString Millimetres(double points)
{
    return QString::number(points / labels::kPointsPerMm, 'f', 1);
}

} // namespace

LabelDialog::LabelDialog(QWidget* mainWindow) : m_mainWindow(mainWindow)
{
    setupUi(this);
    labelSizeList->setEditText(kEmptyListText);
    for (QWidget* text : {static_cast<QWidget*>(question), static_cast<QWidget*>(columnHeadings),
                          static_cast<QWidget*>(explainPasteBox)})
        kelm::FitText(text);
    // The question names the list for the keyboard and for screen readers; the layout file holds no
    // mnemonic of its own for it.
    question->setBuddy(labelSizeList);
    labelSizeList->setAccessibleName(QStringLiteral("Label size"));
    labelSizeList->setAccessibleDescription(columnHeadings->text().simplified());
    explainPasteBox->setAccessibleName(QStringLiteral("Explain how to paste"));
    // The first showing starts on the first control in tab order; later ones keep the user's last.
    returnButton->setFocus();
    connect(returnButton, &QPushButton::clicked, this, &LabelDialog::returnToMainWindow);
    connect(printLabelsButton, &QPushButton::clicked, this, &LabelDialog::printLabels);
    connect(fillSheetButton, &QPushButton::clicked, this, &LabelDialog::fillSheet);
    connect(labelSizeList, &QComboBox::currentIndexChanged, this, &LabelDialog::showFit);
    // The note goes under the controls, which stay where they are; the dialog grows by it while it shows.
    m_designHeight = height();
    fitNote->hide();
}

void LabelDialog::setBarCode(const kelm::MadeBarCode& barCode, int smallestPointSize)
{
    m_barCode = barCode;
    m_smallestPointSize = smallestPointSize;
    showFit();
}

QString LabelDialog::fitNoteText() const
{
    return fitNote->isHidden() ? QString() : fitNote->text();
}

void LabelDialog::showFit()
{
    const int row = labelSizeList->currentIndex();
    const QList<labels::Stock> stocks = labels::OwnStocks();
    QString note;
    // The user's own template has no size known here.
    if (!m_barCode.barText.isEmpty() && row >= 0 && row < stocks.size()) {
        const double room = labels::TemplateLineWidth(stocks.at(row));
        const double barWidth =
            render::BarCodeTextWidth(m_barCode.barText, m_barCode.textAbove, m_barCode.pointSize);
        if (barWidth > room) {
            const int largest = qFloor(room / (barWidth / m_barCode.pointSize));
            note = kTooWide.arg(m_barCode.pointSize).arg(Millimetres(barWidth), Millimetres(room)) +
                   (largest >= m_smallestPointSize ? kMakeSmaller.arg(largest) : kUseFillSheet);
        }
    }
    fitNote->setText(note);
    fitNote->setVisible(!note.isEmpty());
    int dialogHeight = m_designHeight;
    if (!note.isEmpty()) {
        fitNote->resize(fitNote->width(), fitNote->heightForWidth(fitNote->width()));
        // The same blank below the note as the design leaves below the last button.
        const int blankBelow = m_designHeight - fillSheetButton->geometry().bottom() - 1;
        dialogHeight = qMax(dialogHeight, fitNote->geometry().bottom() + 1 + blankBelow);
    }
    if (dialogHeight != height())
        resize(width(), dialogHeight);
}

void LabelDialog::setVisible(bool visible)
{
    // Every showing, not only the first: the user may have dragged the dialog away last time.
    if (visible && !isVisible())
        kelm::PlaceBeside(this, m_mainWindow->frameGeometry(), kDialogOffset);
    QDialog::setVisible(visible);
}

void LabelDialog::setLabelSizes(const QStringList& rows)
{
    labelSizeList->clear();
    labelSizeList->addItems(rows);
}

int LabelDialog::labelSize() const
{
    return labelSizeList->currentIndex();
}

void LabelDialog::setLabelSize(int row)
{
    // Selecting in an empty editable list would clear its text and leave it blank.
    if (labelSizeList->count() > 0)
        labelSizeList->setCurrentIndex(row);
}

bool LabelDialog::explainPaste() const
{
    return explainPasteBox->isChecked();
}

void LabelDialog::setExplainPaste(bool explain)
{
    explainPasteBox->setChecked(explain);
}

QString LabelDialog::StockName(int row)
{
    const QList<labels::Stock> stocks = labels::OwnStocks();
    return row >= 0 && row < stocks.size() ? stocks.at(row).name() : QString();
}

QString LabelDialog::TemplateFileName(int row)
{
    if (row >= 0 && row < StockTemplates().size())
        return StockTemplates().at(row);
    return QString::fromLatin1(labels::kCustomTemplateFile);
}

void LabelDialog::returnToMainWindow()
{
    emit focusDataRequested();
    reject();
}

void LabelDialog::fillSheet()
{
    // Closed first, so that the two never stand over each other and Return is not left behind.
    reject();
    emit fillSheetRequested();
}

void LabelDialog::printLabels()
{
    // The clipboard gets the bar code first, whether or not the template turns out to be there.
    emit copyRequested();
    emit focusDataRequested();

    const int row = labelSizeList->currentIndex();
    const QString fileName = TemplateFileName(row);
    // Asked afresh on every press: the templates may have been installed while the program ran.
    const QString folder = kelm::DataFolderPath();
    const QString fullPath = folder + platform::Separator() + fileName;
    const QPoint warningAt = m_mainWindow->pos() + kelm::kWarningOffset;

    // A path beyond the platform's limit could not be opened by the shell either: treat it as missing.
    if (!platform::FitsPathLimit(fullPath) || !platform::FileExists(fullPath)) {
        const QString message = row >= StockTemplates().size() ? kNoCustomTemplate.arg(folder)
                                                               : kTemplateMissing.arg(fileName, folder);
        platform::ShowWarning(this, warningAt, message);
        reject();
        return;
    }

    if (explainPasteBox->isChecked())
        platform::ShowWarning(this, warningAt, kHowToPaste);

    kelm::OpenWithDesktop(m_mainWindow, kelm::Handler::WordProcessor, QStringLiteral("open"), fileName, folder);
    reject();
}
