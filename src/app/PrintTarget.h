#pragma once
// The one way the windows print: the print dialog on the target a window remembers, the PDF file offered
// when there is no printer, the page set up, and every page painted. The sample sheet and the label
// sheets both go through it.

#include "labels/Pages.h"

#include <QPageLayout>
#include <QPrinter>
#include <QString>

#include <optional>

class QWidget;

namespace kelm {

// What the print dialog last confirmed, kept by the window whose jobs it serves: its next job starts on
// the same printer, or offers the same file (under a new name once it exists).
struct PrintTargetMemory {
    QString printerName;
    QString file;
    bool toFile = false;
};

struct PrintRequest {
    // Names the job and the PDF file offered for it ("<documentName>.pdf").
    QString documentName;
    // Whether the job keeps that name once the dialog has offered the file (the spooler's entry, the PDF's
    // title); the sample sheet's has none.
    bool namesJob = true;
    // Pages of this layout from the paper's edge, on any printer or file the dialog chooses
    // (labels::StockPageLayout for a stock); without one, the printer's own page and printable area.
    std::optional<QPageLayout> page;
};

// NotSent: a job sent as it is to a print queue, which the queue or the print system did not take.
enum class PrintOutcome {
    Printed,
    Cancelled,
    NoFreeFileName,
    PaperRefused,
    NotStarted,
    NotFinished,
    NotWritten,
    NotSent
};

class PrintTarget {
public:
    // memory (may be null: every job then starts on the default printer) must outlive the target.
    PrintTarget(PrintRequest request, PrintTargetMemory* memory);

    // The print dialog, started on the remembered target; with no printer installed, on a PDF file that does
    // not exist yet, beside the one chosen last while its folder is there, else in the documents folder. A
    // PDF left without a file name, or with a folder for one, then goes to a new file there (in the documents
    // folder when none is named). Printed when confirmed, Cancelled, NoFreeFileName (see folder()), or
    // PaperRefused when the printer chosen does not take the request's page.
    PrintOutcome choose(QWidget* parent);

    // The printer chosen; empty when the job goes to a file.
    QString printerName() const;
    int dpi() const { return m_printer.logicalDpiY(); }
    // "the file ...", "the printer ...": where the job goes, for a message.
    QString description() const;
    // The folder where no file name was free, after NoFreeFileName.
    QString folder() const { return m_folder; }

    // Paints pageCount pages (at least one) on the target chosen. A PDF file is written whole through the
    // checked writer or not at all: NotWritten, with the reason in writeError(), leaves the file that was there.
    PrintOutcome print(int pageCount, const labels::PageDrawer& drawPage);
    QString writeError() const { return m_writeError; }

    // What to tell the user when a job of job ("the labels") ended in outcome, whichever window shows it;
    // empty for Printed and Cancelled.
    QString problem(PrintOutcome outcome, const QString& job) const;
    // The same words for a job that went elsewhere than through a print target: where as description()
    // says it (PrinterDescription, FileDescription), reason why it was not written or sent. Not for
    // NoFreeFileName or PaperRefused, which only a target meets.
    static QString ProblemAt(PrintOutcome outcome, const QString& job, const QString& where,
                             const QString& reason);
    static QString PrinterDescription(const QString& printerName);
    static QString FileDescription(const QString& path);

private:
    // Sets the request's page, when it has one; false when the printer keeps another paper.
    bool setPage();
    QString offeredFile();
    QString pdfFileName() const { return m_request.documentName + QStringLiteral(".pdf"); }
    // A free file name for the job in folder, remembering the folder when there is none.
    QString freeFileIn(const QString& folder);
    PrintOutcome printToFile(int pageCount, const labels::PageDrawer& drawPage);

    PrintRequest m_request;
    PrintTargetMemory* m_memory;
    QPrinter m_printer;
    QString m_folder;
    QString m_writeError;
};

} // namespace kelm
