#include "PrintTarget.h"

#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/PendingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinterInfo>

namespace kelm {

namespace {

// "the labels" as a sentence starts with it.
QString Capitalised(const QString& job)
{
    return job.left(1).toUpper() + job.mid(1);
}

} // namespace

PrintTarget::PrintTarget(PrintRequest request, PrintTargetMemory* memory)
    : m_request(std::move(request)), m_memory(memory), m_printer(QPrinter::HighResolution)
{
    setPage();
}

bool PrintTarget::setPage()
{
    if (!m_request.page)
        return true;
    m_printer.setFullPage(true); // positions are from the paper's edge, not the printable area's
    if (m_printer.setPageLayout(*m_request.page))
        return true;
    // A printer may answer false for margins it cannot print to, which a full page does not use: only the
    // paper itself, its size and which way it lies, must be the one asked for.
    const QRectF got = m_printer.pageLayout().fullRectPoints();
    const QRectF wanted = m_request.page->fullRectPoints();
    return qAbs(got.width() - wanted.width()) < 1 && qAbs(got.height() - wanted.height()) < 1;
}

QString PrintTarget::freeFileIn(const QString& folder)
{
    const QString free = platform::FreeFileNameIn(folder, pdfFileName());
    if (free.isEmpty())
        m_folder = folder;
    return free;
}

QString PrintTarget::offeredFile()
{
    const QString last = m_memory ? m_memory->file : QString();
    if (!last.isEmpty() && QFileInfo(last).dir().exists()) {
        const QString free = platform::FreeFileName(last);
        if (free.isEmpty())
            m_folder = QFileInfo(last).absolutePath();
        return free;
    }
    return freeFileIn(platform::DocumentsFolder());
}

PrintOutcome PrintTarget::choose(QWidget* parent)
{
    // The dialog names a file after the document when the user switches to a file.
    m_printer.setDocName(m_request.documentName);
    const bool remembered = m_memory && !m_memory->printerName.isEmpty() && !m_memory->toFile;
    if (remembered) {
        m_printer.setPrinterName(m_memory->printerName);
    } else if ((m_memory && m_memory->toFile) || QPrinterInfo::availablePrinterNames().isEmpty()) {
        const QString offered = offeredFile();
        if (offered.isEmpty())
            return PrintOutcome::NoFreeFileName;
        m_printer.setOutputFileName(offered);
    }
    // Choosing a printer puts its default paper in; the dialog is to start on the stock's.
    setPage();
    if (!platform::ExecPrintDialog(m_printer, parent))
        return PrintOutcome::Cancelled;
    // The dialog sets the paper of the printer or the file chosen (a standard size, often the default),
    // which for a label stock is wrong: the stock's page is set again, and a printer that refuses it
    // prints nothing rather than labels in the wrong places.
    if (!setPage())
        return PrintOutcome::PaperRefused;
    const bool toFile = m_printer.outputFormat() == QPrinter::PdfFormat;
    if (m_memory) {
        m_memory->toFile = toFile;
        if (!toFile)
            m_memory->printerName = m_printer.printerName();
    }
    if (!m_request.namesJob)
        m_printer.setDocName(QString());
    if (toFile) {
        const QString chosen = m_printer.outputFileName();
        if (chosen.isEmpty() || QFileInfo(chosen).isDir()) {
            const QString path = freeFileIn(chosen.isEmpty() ? platform::DocumentsFolder() : chosen);
            if (path.isEmpty())
                return PrintOutcome::NoFreeFileName;
            m_printer.setOutputFileName(path);
        } else if (QFileInfo(chosen).absolutePath() == QDir(platform::DocumentsFolder()).absolutePath()) {
            QDir().mkpath(platform::DocumentsFolder()); // offered before the folder was made
        }
        if (m_memory)
            m_memory->file = m_printer.outputFileName();
    }
    return PrintOutcome::Printed;
}

QString PrintTarget::printerName() const
{
    return m_printer.outputFormat() == QPrinter::NativeFormat ? m_printer.printerName() : QString();
}

QString PrintTarget::problem(PrintOutcome outcome, const QString& job) const
{
    switch (outcome) {
    case PrintOutcome::NoFreeFileName:
        return QStringLiteral("There is no free file name for %1 in %2.")
            .arg(job, QDir::toNativeSeparators(m_folder));
    case PrintOutcome::PaperRefused: {
        const QRectF page = m_request.page ? m_request.page->fullRectPoints() : QRectF();
        const QString paper = QStringLiteral("%1 x %2 mm")
                                  .arg(page.width() / labels::kPointsPerMm, 0, 'f', 1)
                                  .arg(page.height() / labels::kPointsPerMm, 0, 'f', 1);
        return QStringLiteral(
                   "%1 could not be printed: %2 does not take their paper of %3. Set that paper size up "
                   "for the printer, or choose another printer or a PDF file.")
            .arg(Capitalised(job), description(), paper);
    }
    default:
        return ProblemAt(outcome, job, description(), m_writeError);
    }
}

QString PrintTarget::ProblemAt(PrintOutcome outcome, const QString& job, const QString& where,
                               const QString& reason)
{
    switch (outcome) {
    case PrintOutcome::Printed:
    case PrintOutcome::Cancelled:
    case PrintOutcome::NoFreeFileName:
    case PrintOutcome::PaperRefused:
        return {};
    case PrintOutcome::NotStarted:
        return QStringLiteral("%1 could not be printed on %2: the job did not start.")
            .arg(Capitalised(job), where);
    case PrintOutcome::NotFinished:
        return QStringLiteral("%1 could not be printed whole on %2.").arg(Capitalised(job), where);
    case PrintOutcome::NotWritten:
        return QStringLiteral("%1 could not be saved to %2: %3. The file there was left as it was.")
            .arg(Capitalised(job), where, reason);
    case PrintOutcome::NotSent:
        return QStringLiteral("%1 could not be sent to %2: %3.").arg(Capitalised(job), where, reason);
    }
    return {};
}

QString PrintTarget::description() const
{
    if (m_printer.outputFormat() == QPrinter::PdfFormat)
        return FileDescription(m_printer.outputFileName());
    return PrinterDescription(m_printer.printerName());
}

QString PrintTarget::PrinterDescription(const QString& printerName)
{
    if (printerName.isEmpty())
        return QStringLiteral("the printer");
    return QStringLiteral("the printer ") + printerName;
}

QString PrintTarget::FileDescription(const QString& path)
{
    return QStringLiteral("the file ") + QDir::toNativeSeparators(path);
}

namespace {

PrintOutcome OutcomeOf(labels::PaintResult result)
{
    switch (result) {
    case labels::PaintResult::NotStarted:
        return PrintOutcome::NotStarted;
    case labels::PaintResult::NotFinished:
        return PrintOutcome::NotFinished;
    case labels::PaintResult::Painted:
        break;
    }
    return PrintOutcome::Printed;
}

} // namespace

PrintOutcome PrintTarget::print(int pageCount, const labels::PageDrawer& drawPage)
{
    if (m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty())
        return printToFile(pageCount, drawPage);
    const PrintOutcome outcome = OutcomeOf(labels::PaintPages(m_printer, pageCount, drawPage));
    if (outcome == PrintOutcome::Printed && m_printer.printerState() == QPrinter::Error)
        return PrintOutcome::NotFinished;
    return outcome;
}

// Qt's own PDF output truncates the file first and reports nothing when the disk fills: the pages go to a
// temporary file beside it instead, the same pages at the same resolution, and the file is replaced only
// when all of it is written.
PrintOutcome PrintTarget::printToFile(int pageCount, const labels::PageDrawer& drawPage)
{
    platform::PendingFile file(m_printer.outputFileName());
    if (!file.open(m_writeError))
        return PrintOutcome::NotWritten;
    {
        QPdfWriter pdf(&file.device());
        pdf.setResolution(m_printer.resolution());
        pdf.setPageLayout(m_printer.pageLayout());
        pdf.setTitle(m_printer.docName());
        pdf.setCreator(m_printer.creator());
        if (const PrintOutcome painted = OutcomeOf(labels::PaintPages(pdf, pageCount, drawPage));
            painted != PrintOutcome::Printed)
            return painted;
    }
    if (!file.commit(m_writeError))
        return PrintOutcome::NotWritten;
    return PrintOutcome::Printed;
}

} // namespace kelm
