#include "Labels.h"

#include "Common.h"
#include "Kelm.h"
#include "WindowSet.h"
#include "platform/Desktop.h"

#include <QShowEvent>
#include <algorithm>
#include <array>

namespace {

// The stock templates, one per row of the label-size list, in the order of the settings file's Sizes.
constexpr std::array<const char*, 8> kStockTemplates = {"lb167.rtf", "lb570.rtf", "lb060.rtf", "lb161.rtf",
                                                        "lb162.rtf", "lb197.rtf", "lb163.rtf", "lb164.rtf"};
constexpr char kCustomTemplate[] = "custom.rtf";

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

} // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    // An editable list shows its design text until the settings file has filled it.
    ComboBox1->setEditText(QStringLiteral("ComboBox1"));
    for (QWidget* text :
         {static_cast<QWidget*>(Label1), static_cast<QWidget*>(StaticText19), static_cast<QWidget*>(ExplainPaste)})
        kelm::FitText(text);
    // The first showing starts on the first control in tab order; later ones keep the user's last.
    ExitLabels->setFocus();
    connect(ExitLabels, &QPushButton::clicked, this, &TForm3::ExitLabelsClick);
    connect(PrintLabels, &QPushButton::clicked, this, &TForm3::PrintLabelsClick);
}

QComboBox* TForm3::labelSizeList() const
{
    return ComboBox1;
}

QCheckBox* TForm3::explainPaste() const
{
    return ExplainPaste;
}

QString TForm3::TemplateFileName(int row)
{
    if (row >= 0 && row < int(kStockTemplates.size()))
        return QString::fromLatin1(kStockTemplates[row]);
    return QString::fromLatin1(kCustomTemplate);
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Every showing, not only the first: the user may have dragged the dialog away last time.
    if (!event->spontaneous())
        FormCreate();
}

void TForm3::FormCreate()
{
    move(kelm::FromMainWindow(kDialogOffset));
}

void TForm3::ExitLabelsClick()
{
    if (KelmInput)
        KelmInput->FocusBarTextInput();
    reject();
}

void TForm3::PrintLabelsClick()
{
    // The dialog has no owner form, so the main window stands in for the application's window.
    QWidget* owner = parentWidget() ? parentWidget()->window() : KelmInput;

    // The clipboard gets the bar code first, whether or not the template turns out to be there.
    if (KelmInput) {
        KelmInput->CopyPreview();
        KelmInput->FocusBarTextInput();
    }

    const int row = ComboBox1->currentIndex();
    const QString fileName = TemplateFileName(row);
    // Asked afresh on every press: the templates may have been installed while the program ran.
    const QString folder = kelm::DataFolderPath();
    const QString fullPath = folder + platform::Separator() + fileName;

    // A path beyond the platform's limit could not be opened by the shell either: treat it as missing.
    if (!platform::FitsPathLimit(fullPath) || !platform::FileExists(fullPath)) {
        const QString message = row >= int(kStockTemplates.size()) ? kNoCustomTemplate.arg(folder)
                                                                   : kTemplateMissing.arg(fileName, folder);
        platform::ShowWarning(this, kelm::FromMainWindow(kelm::kWarningOffset), message);
        reject();
        return;
    }

    if (ExplainPaste->isChecked())
        platform::ShowWarning(this, kelm::FromMainWindow(kelm::kWarningOffset), kHowToPaste);

    platform::ShellExecute(owner, QStringLiteral("open"), fileName, QString(), folder);
    reject();
}
