#pragma once
// Running a program to its end as a user would, and asking whether a tool is installed.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace support {

struct ProgramOptions {
    QByteArray input{};         // written to standard input, which is closed after it
    QString inputFile{};        // standard input read from this file instead, when given
    QString outputFile{};       // standard output written to this file instead of collected, when given
    QString workingDirectory{}; // the test's own when empty
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    bool mergeChannels = false; // standard error collected into out
    int timeoutSeconds = 120;
};

struct ProgramRun {
    int status = -1; // the exit code; -1 when it did not start, crashed or ran out of time
    QByteArray out;
    QByteArray err; // on status -1 ends with the reason
};

// Runs the program with the arguments to its end (killing it after the timeout) and collects what it wrote;
// status -1 with the reason in err when it did not start, crashed or timed out.
ProgramRun RunProgram(const QString& program, const QStringList& arguments, const ProgramOptions& options = {});

// The first of the programs that is not on PATH; empty when all are.
QString MissingProgram(const QStringList& programs);

} // namespace support
