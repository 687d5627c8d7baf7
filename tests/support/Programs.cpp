#include "Programs.h"

#include <QProcess>
#include <QStandardPaths>

namespace support {

ProgramRun RunProgram(const QString& program, const QStringList& arguments, const ProgramOptions& options)
{
    QProcess process;
    process.setProcessEnvironment(options.environment);
    if (!options.workingDirectory.isEmpty())
        process.setWorkingDirectory(options.workingDirectory);
    if (!options.inputFile.isEmpty())
        process.setStandardInputFile(options.inputFile);
    if (!options.outputFile.isEmpty())
        process.setStandardOutputFile(options.outputFile);
    if (options.mergeChannels)
        process.setProcessChannelMode(QProcess::MergedChannels);
    ProgramRun run;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        run.err = "cannot start " + program.toLocal8Bit() + ": " + process.errorString().toLocal8Bit();
        return run;
    }
    if (options.inputFile.isEmpty()) {
        process.write(options.input);
        process.closeWriteChannel();
    }
    const bool finished = process.waitForFinished(options.timeoutSeconds * 1000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    if (!finished)
        run.err +=
            program.toLocal8Bit() + " did not finish in " + QByteArray::number(options.timeoutSeconds) + " s";
    else if (process.exitStatus() != QProcess::NormalExit)
        run.err += program.toLocal8Bit() + " crashed";
    else
        run.status = process.exitCode();
    return run;
}

QString MissingProgram(const QStringList& programs)
{
    for (const QString& program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty())
            return program;
    }
    return {};
}

} // namespace support
