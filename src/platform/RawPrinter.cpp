#include "RawPrinter.h"

#include "Recorder.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <QPrinterInfo>
#include <windows.h>
#include <winspool.h>
#else
#include <cups/cups.h>
#endif

namespace platform {

namespace {

const QString kNoSuchQueue = QStringLiteral("there is no print queue called \"%1\"");

#ifndef Q_OS_WIN
// Its own words for this are a socket's ("Bad file descriptor"), which say nothing to the user.
const QString kNoPrintSystem = QStringLiteral("the print system (CUPS) does not answer; is it running?");
const QString kRefused = QStringLiteral("the print system refused the job (%1)");
const QString kCutShort = QStringLiteral("the job was cut short (%1)");
// The print system sends the job on in pieces of this size.
constexpr qsizetype kChunk = 64 * 1024;

QString LastCupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

bool CupsFailed()
{
    return cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE;
}

// The queues without their instances: an instance is a set of options, which raw bytes do not use.
QStringList CupsQueues(bool& answered)
{
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    answered = count > 0 || !CupsFailed();
    QStringList names;
    for (int i = 0; i < count; ++i) {
        if (!dests[i].instance)
            names.append(QString::fromUtf8(dests[i].name));
    }
    cupsFreeDests(count, dests);
    return names;
}
#endif

} // namespace

QStringList PrinterNames()
{
    if (Recorder* r = CurrentRecorder())
        return r->printerNames;
#ifdef Q_OS_WIN
    return QPrinterInfo::availablePrinterNames();
#else
    bool answered = false;
    return CupsQueues(answered);
#endif
}

bool PrintRaw(const QString& queue, const QString& jobName, const QByteArray& bytes, QString& error)
{
    if (Recorder* r = CurrentRecorder()) {
        if (!r->printerNames.contains(queue)) {
            error = kNoSuchQueue.arg(queue);
            return false;
        }
        if (!r->rawPrintError.isEmpty()) {
            error = r->rawPrintError;
            return false;
        }
        r->rawPrintJobs.append({queue, jobName, bytes});
        return true;
    }
#ifdef Q_OS_WIN
    std::wstring name = queue.toStdWString();
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr)) {
        error = kNoSuchQueue.arg(queue);
        return false;
    }
    std::wstring title = jobName.toStdWString();
    wchar_t raw[] = L"RAW";
    DOC_INFO_1W document{title.data(), nullptr, raw};
    bool sent = false;
    if (StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&document)) != 0) {
        DWORD written = 0;
        sent = StartPagePrinter(printer) &&
               WritePrinter(printer, const_cast<char*>(bytes.constData()), DWORD(bytes.size()), &written) &&
               written == DWORD(bytes.size());
        EndPagePrinter(printer);
        sent = EndDocPrinter(printer) && sent;
    }
    ClosePrinter(printer);
    if (!sent)
        error = QStringLiteral("the printer refused the job (error %1)").arg(GetLastError());
    return sent;
#else
    bool answered = false;
    if (!CupsQueues(answered).contains(queue)) {
        error = answered ? kNoSuchQueue.arg(queue) : kNoPrintSystem;
        return false;
    }
    const QByteArray name = queue.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), jobName.toUtf8().constData(), 0, nullptr);
    if (job == 0) {
        error = kRefused.arg(LastCupsError());
        return false;
    }
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, jobName.toUtf8().constData(), CUPS_FORMAT_RAW,
                          1) != HTTP_STATUS_CONTINUE) {
        error = kRefused.arg(LastCupsError());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return false;
    }
    for (qsizetype at = 0; at < bytes.size(); at += kChunk) {
        const qsizetype size = qMin(kChunk, bytes.size() - at);
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.constData() + at, size_t(size)) !=
            HTTP_STATUS_CONTINUE) {
            error = kCutShort.arg(LastCupsError());
            cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
            // Part of a label format must not print: the printer would take the rest of it from the next job.
            cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
            return false;
        }
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) != IPP_STATUS_OK) {
        error = kRefused.arg(LastCupsError());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
        return false;
    }
    return true;
#endif
}

} // namespace platform
