#pragma once
// Printing bytes as they are: a print queue takes them unchanged (the print system's raw mode), for printers
// that speak a page language of their own. Tests replace it with a Recorder (Recorder.h), so nothing prints.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// The print queues the print system offers, in its order; empty when there are none or it does not answer.
QStringList PrinterNames();

// Sends bytes unchanged to the queue as one job named jobName. False, with a reason that can follow "could
// not be sent to the printer X: ", when the print system does not answer, has no such queue, or refuses or
// cuts the job short.
bool PrintRaw(const QString& queue, const QString& jobName, const QByteArray& bytes, QString& error);

} // namespace platform
