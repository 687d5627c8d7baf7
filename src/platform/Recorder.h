#pragma once
// The seam for tests: while a Recorder is installed, every desktop call of Desktop.h is recorded
// here instead of reaching the desktop, and dialogs take their pre-set answers.

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>
#include <functional>

class QPrinter;

namespace platform {

struct ShellCall {
    QString verb, file, parameters, directory;
    bool hasOwner = false;
};

struct WarningCall {
    QPoint topLeft;
    QString text;
};

struct SaveFileCall {
    QString title, startPath, filters;
    bool hasParent = false;
};

struct RawPrintJob {
    QString queue, jobName;
    QByteArray bytes;
};

struct Recorder {
    QList<ShellCall> shellCalls;
    // False: the desktop has no handler for what ShellExecute opens, which it then reports at once.
    bool shellFinds = true;
    int beeps = 0;
    QStringList notes; // the short notes shown by controls
    QList<WarningCall> warnings;
    QStringList errors; // texts shown in the standard error box, with the "." rule applied
    // The print dialog's answer; on true the printer is handed to preparePrinter first
    // (tests set a PDF output file there).
    bool printDialogAnswer = false;
    std::function<void(QPrinter&)> preparePrinter;
    int printDialogs = 0;
    QStringList progressTexts;   // texts of the progress dialogs shown; their work runs as it would
    bool cancelProgress = false; // true cancels each such work as it starts
    QStringList questions;       // texts of the Yes/No questions asked
    bool questionAnswer = false; // true answers Yes
    // The Save As dialogs asked, and the answer: a path (empty cancels) chosen with saveFileFilter (one of
    // the offered filters, or empty for none), which adds its extension as the real dialog does.
    QList<SaveFileCall> saveFileCalls;
    QString saveFileName;
    QString saveFileFilter;
    // The print queues offered, and the jobs sent raw to them. A job to a queue not offered fails as the
    // print system fails it; with rawPrintError set, every job fails with that reason. Failed jobs are not kept.
    QStringList printerNames;
    QList<RawPrintJob> rawPrintJobs;
    QString rawPrintError;

    Recorder();  // installs itself
    ~Recorder(); // uninstalls, putting back the recorder it replaced
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

private:
    // A recorder made inside another one's lifetime must not leave the desktop unguarded when it goes.
    Recorder* m_previous = nullptr;
};

// The installed recorder, or nullptr.
Recorder* CurrentRecorder();

} // namespace platform
