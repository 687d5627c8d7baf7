// Runs the built code39 executable as a user would and checks what it writes and returns.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    QByteArray out, err;
    int status = -1;
};

Run RunCode39(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(QStringLiteral(CODE39_EXE), arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    Run run;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

const QByteArray kIllegalA = "Error: input character \"a\" not legal in bar code 3 of 9";

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void rows_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err"); // every stderr line, in order
        QTest::addColumn<int>("status");
        const QByteArray fffd = "\xEF\xBF\xBD";
        QTest::newRow("each argument is a row, a failure leaves an empty row")
            << QStringList{"ABC", "abc", "A B"} << QByteArray() << QByteArray("*ABC*\n\n*A~B*\n")
            << "code39: line 2: " + kIllegalA + "\n"
            << 1;
        QTest::newRow("each stdin line is a row, a failure leaves an empty row")
            << QStringList{} << QByteArray("ABC\nabc\nA B\n") << QByteArray("*ABC*\n\n*A~B*\n")
            << "code39: line 2: " + kIllegalA + "\n"
            << 1;
        QTest::newRow("full ascii with check character")
            << QStringList{"-f", "-c"} << QByteArray("abc\n") << QByteArray("*+A+B+CR*\n") << QByteArray() << 0;
        QTest::newRow("long options and a short cluster agree")
            << QStringList{"--full-ascii", "--checksum", "abc", "-fc"} << QByteArray() << QByteArray("*+A+B+CR*\n")
            << QByteArray() << 0;
        QTest::newRow("a caret before a data character is refused naming the pair")
            << QStringList{"-f"} << QByteArray("^M\nA^-B\n^a\n") << QByteArray("*$M*\n\n\n")
            << QByteArray("code39: line 2: Error: input character \"^-\" not legal in bar code 3 of 9\n"
                          "code39: line 3: Error: input character \"a\" not legal in bar code 3 of 9\n")
            << 1;
        const QByteArray atLimit(1 << 20, 'A');
        const QByteArray tooLong = "code39: line 2: line too long (over 1048576 bytes)\n";
        QTest::newRow("a line of exactly the limit is encoded, across read blocks")
            << QStringList{} << "X\n" + atLimit + "\nB\n"
            << "*X*\n*" + atLimit + "*\n*B*\n"
            << QByteArray() << 0;
        QTest::newRow("a CR after a line at the limit is not part of the row")
            << QStringList{} << "X\n" + atLimit + "\r\nB\n"
            << "*X*\n*" + atLimit + "*\n*B*\n"
            << QByteArray() << 0;
        QTest::newRow("one byte over the limit: an empty row, the rows after it aligned")
            << QStringList{} << "X\n" + atLimit + "A\nB\n"
            << QByteArray("*X*\n\n*B*\n") << tooLong << 1;
        QTest::newRow("far over the limit, passed over across many blocks")
            << QStringList{"-f"} << "X\n" + QByteArray(5 << 20, 'a') + "\r\nB\n"
            << QByteArray("*X*\n\n*B*\n") << tooLong << 1;
        QTest::newRow("a last line over the limit without its LF")
            << QStringList{} << "X\n" + atLimit + "AA" << QByteArray("*X*\n\n") << tooLong << 1;
        QTest::newRow("two long lines in a row each get their row")
            << QStringList{} << "X\n" + atLimit + "A\n" + atLimit + "A\nB\n"
            << QByteArray("*X*\n\n\n*B*\n") << tooLong + "code39: line 3: line too long (over 1048576 bytes)\n"
            << 1;
        QTest::newRow("CRLF input loses its CR")
            << QStringList{} << QByteArray("AB\r\nCD\r\n") << QByteArray("*AB*\n*CD*\n") << QByteArray() << 0;
        QTest::newRow("only one trailing CR is dropped, the other is named escaped")
            << QStringList{} << QByteArray("AB\r\r\n") << QByteArray("\n")
            << QByteArray("code39: line 1: Error: input character \"\\x0D\" not legal in bar code 3 of 9\n") << 1;
        QTest::newRow("last line without LF is still a row")
            << QStringList{} << QByteArray("AB\nCD") << QByteArray("*AB*\n*CD*\n") << QByteArray() << 0;
        QTest::newRow("empty input gives no rows")
            << QStringList{} << QByteArray() << QByteArray() << QByteArray() << 0;
        QTest::newRow("empty line is a failed row")
            << QStringList{} << QByteArray("\nAB\n") << QByteArray("\n*AB*\n")
            << QByteArray("code39: line 1: Error:- no input data\n") << 1;
        QTest::newRow("empty argument is a failed row")
            << QStringList{""} << QByteArray() << QByteArray("\n")
            << QByteArray("code39: line 1: Error:- no input data\n") << 1;
        QTest::newRow("invalid UTF-8 is rejected as U+FFFD")
            << QStringList{}
            << QByteArray("A\xFF"
                          "B\n")
            << QByteArray("\n")
            << "code39: line 1: Error: input character \"" + fffd + "\" not legal in bar code 3 of 9\n"
            << 1;
        QTest::newRow("invalid UTF-8 is dropped with full ascii: stray, truncated, overlong, surrogate")
            << QStringList{"-f"}
            << QByteArray("a\xFF"
                          "b\xE2\x82"
                          "C\xC0\xAF"
                          "D\xED\xA0\x80"
                          "E\n")
            << QByteArray("*+A+BCDE*\n") << QByteArray() << 0;
        QTest::newRow("a UTF-8 character is named whole")
            << QStringList{"A\u00e9"} << QByteArray() << QByteArray("\n")
            << QByteArray("code39: line 1: Error: input character \"\xC3\xA9\" not legal in bar code 3 of 9\n")
            << 1;
        QTest::newRow("a four-byte character is named whole")
            << QStringList{} << QByteArray("\xF0\x9F\x98\x80\n") << QByteArray("\n")
            << QByteArray(
                   "code39: line 1: Error: input character \"\xF0\x9F\x98\x80\" not legal in bar code 3 of 9\n")
            << 1;
        QTest::newRow("a control character cannot reach the terminal raw")
            << QStringList{"A\x1B[2J"} << QByteArray() << QByteArray("\n")
            << QByteArray("code39: line 1: Error: input character \"\\x1B\" not legal in bar code 3 of 9\n") << 1;
        QTest::newRow("-- ends options, a lone - is data") << QStringList{"-c", "--", "-A", "-"} << QByteArray()
                                                           << QByteArray("*-A3*\n*--*\n") << QByteArray() << 0;
        QTest::newRow("arguments win over stdin")
            << QStringList{"AB"} << QByteArray("CD\n") << QByteArray("*AB*\n") << QByteArray() << 0;
        QTest::newRow("version") << QStringList{"--version"} << QByteArray() << QByteArray("4.2\n") << QByteArray()
                                 << 0;
    }
    void rows()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(int, status);
        const Run run = RunCode39(arguments, input);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown short option") << QStringList{"-x", "ABC"};
        QTest::newRow("unknown option inside a cluster") << QStringList{"-cz"};
        QTest::newRow("unknown long option") << QStringList{"--bogus"};
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        const Run run = RunCode39(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.startsWith("code39: ") && run.err.contains("usage: code39"), run.err.constData());
    }

    void help()
    {
        const Run run = RunCode39({"--help", "abc"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains("--full-ascii") && run.out.contains("--checksum"));
        QVERIFY(run.err.isEmpty());
    }

    void writeFailureIsNotSuccess()
    {
        if (!QFile::exists("/dev/full"))
            QSKIP("needs /dev/full");
        QProcess process;
        process.setStandardOutputFile("/dev/full");
        process.start(QStringLiteral(CODE39_EXE), {"ABC"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("cannot write"));
    }

    // Rows stay aligned across a million lines, including the ones that fail and the read-block
    // boundaries in between.
    void millionLines()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const int lines = 1'000'000;
        QByteArray input;
        input.reserve(lines * 12);
        for (int i = 1; i <= lines; ++i)
            input += i % 1000 == 0 ? "bad" + QByteArray::number(i) + "\n" : "N" + QByteArray::number(i) + "\r\n";
        QFile inFile(dir.filePath("in.txt"));
        QVERIFY(inFile.open(QIODevice::WriteOnly) && inFile.write(input) == input.size());
        inFile.close();

        QProcess process;
        process.setStandardInputFile(inFile.fileName());
        process.setStandardOutputFile(dir.filePath("out.txt"));
        process.start(QStringLiteral(CODE39_EXE), {"-c"});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(process.readAllStandardError().count('\n'), lines / 1000);

        QFile outFile(dir.filePath("out.txt"));
        QVERIFY(outFile.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = outFile.readAll().split('\n');
        QCOMPARE(rows.size(), lines + 1); // the text ends with a newline
        QCOMPARE(rows.last(), QByteArray());
        QCOMPARE(rows[0], QByteArray("*N1O*"));              // 23 + 1 = 24 -> O
        QCOMPARE(rows[998], QByteArray("*N9997*"));          // 23 + 27 = 50, mod 43 = 7
        QCOMPARE(rows[999], QByteArray());                   // row 1000 failed
        QCOMPARE(rows[1000], QByteArray("*N1001P*"));        // 23 + 2 = 25 -> P, after the failed row
        QCOMPARE(rows[lines - 2], QByteArray("*N999999Y*")); // 23 + 54 = 77, mod 43 = 34 -> Y
        QCOMPARE(rows[lines - 1], QByteArray());
    }

    // One line far larger than the read block is passed over, not held: an empty row, and the rows
    // after it come out aligned.
    void hugeLine()
    {
        const QByteArray line(20 << 20, 'A');
        const Run run = RunCode39({}, line + "\nB\n");
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QByteArray("\n*B*\n"));
        QCOMPARE(run.err, QByteArray("code39: line 1: line too long (over 1048576 bytes)\n"));
    }

    // Memory stays bounded whatever the input: the peak resident size read from /proc while the
    // encoder works through a line far larger than that bound, and through input that never ends.
    void memoryStaysBounded_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("a 512 MiB line with full ascii, then a row")
            << "line" << QByteArray("*$A*\n\n*B*\n")
            << QByteArray("code39: line 2: line too long (over 1048576 bytes)\n");
        QTest::newRow("endless NUL bytes: stops with a message after its empty row")
            << "/dev/zero" << QByteArray("\n")
            << QByteArray("code39: line 1: line too long (over 1048576 bytes)\n"
                          "code39: line 1: no line break in 4294967296 bytes: not text, input stopped\n");
    }
    void memoryStaysBounded()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        if (!QFile::exists("/proc/self/status"))
            QSKIP("needs /proc");
        QProcess process;
        if (input != "line")
            process.setStandardInputFile(input);
        process.start(QStringLiteral(CODE39_EXE), {"-f"});
        QVERIFY(process.waitForStarted());
        const QString status = QStringLiteral("/proc/%1/status").arg(process.processId());
        qint64 peakKiB = 0;
        const auto sample = [&] {
            QFile file(status);
            if (!file.open(QIODevice::ReadOnly))
                return;
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (line.startsWith("VmHWM:"))
                    peakKiB = std::max(peakKiB, line.mid(6).trimmed().split(' ').first().toLongLong());
            }
        };
        if (input == "line") {
            process.write("^A\n");
            const QByteArray chunk(1 << 20, 'a');
            for (int i = 0; i < 512; ++i) {
                process.write(chunk);
                QVERIFY(process.waitForBytesWritten(60000));
                if (i % 64 == 0)
                    sample();
            }
            process.write("\nB\n");
            QVERIFY(process.waitForBytesWritten(60000));
            sample();
            process.closeWriteChannel();
        }
        while (!process.waitForFinished(50))
            sample();
        QCOMPARE(process.readAllStandardOutput(), out);
        QCOMPARE(process.readAllStandardError(), err);
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(peakKiB > 0);
        qInfo("peak resident size %lld KiB", peakKiB);
        QVERIFY2(peakKiB < 64 * 1024, qPrintable(QString("%1 KiB").arg(peakKiB)));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
