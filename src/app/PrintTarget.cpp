#include "PrintTarget.h"

#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/PendingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinterInfo>

namespace kelm {

PrintTarget::PrintTarget(PrintRequest request, PrintTargetMemory* memory)
    : m_request(std::move(request)), m_memory(memory), m_printer(QPrinter::HighResolution)
{
    if (m_request.page) {
        m_printer.setPageLayout(*m_request.page);
        m_printer.setFullPage(true); // positions are from the paper's edge, not the printable area's
    }
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
    if (!platform::ExecPrintDialog(m_printer, parent))
        return PrintOutcome::Cancelled;
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

QString PrintTarget::description() const
{
    if (m_printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("the file ") + QDir::toNativeSeparators(m_printer.outputFileName());
    if (m_printer.printerName().isEmpty())
        return QStringLiteral("the printer");
    return QStringLiteral("the printer ") + m_printer.printerName();
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
