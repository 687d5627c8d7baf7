// Runs the built code39 executable as a user would and checks what it writes and returns.
#include "cli/Options.h"
#include "support/Files.h"
#include "support/Programs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using support::ProgramRun;
using support::RunProgram;

namespace {

const QString kCode39 = QStringLiteral(CODE39_EXE);

ProgramRun RunCode39(const QStringList& arguments, const QByteArray& input = {})
{
    return RunProgram(kCode39, arguments, {.input = input});
}

const QByteArray kIllegalA = "Error: input character \"a\" not legal in bar code 3 of 9";

// What a folder holds, as "name:kind" sorted by code point: kind is the picture type read from the bytes
// (png, svg, pdf), "old" for the bytes a test put there, or the kind of a node that is not a file.
QStringList Listing(const QDir& dir)
{
    QStringList listing;
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QString kind;
        if (entry.isSymLink()) {
            kind = "link to " + entry.symLinkTarget().section(u'/', -1);
        } else if (!entry.isFile()) {
            kind = "node";
        } else {
            const QByteArray bytes = support::ReadFile(entry.filePath());
            kind = bytes == "old" ? "old" : support::PictureKind(bytes);
            if (kind == "unknown")
                kind = "other";
        }
        listing << entry.fileName() + ':' + kind;
    }
    std::sort(listing.begin(), listing.end()); // by code point, whatever the locale
    return listing;
}

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
        QTest::newRow("invalid UTF-8 is rejected with full ascii too: stray, truncated, overlong, surrogate")
            << QStringList{"-f"}
            << QByteArray("a\xFF"
                          "b\n"
                          "b\xE2\x82"
                          "C\n"
                          "C\xC0\xAF"
                          "D\n"
                          "D\xED\xA0\x80"
                          "E\n")
            << QByteArray("\n\n\n\n")
            << "code39: line 1: Error: input character \"" + fffd +
                   "\" not legal in bar code 3 of 9\n"
                   "code39: line 2: Error: input character \"" +
                   fffd +
                   "\" not legal in bar code 3 of 9\n"
                   "code39: line 3: Error: input character \"" +
                   fffd +
                   "\" not legal in bar code 3 of 9\n"
                   "code39: line 4: Error: input character \"" +
                   fffd + "\" not legal in bar code 3 of 9\n"
            << 1;
        QTest::newRow("full ascii names what it cannot encode instead of dropping it")
            << QStringList{"-f", "GR\u00d6SSE-17", "Caf\u00e9", "\u20ac5", "A\tB", "A^"} << QByteArray()
            << QByteArray("\n\n\n\n\n")
            << QByteArray("code39: line 1: Error: input character \"\xC3\x96\" not legal in bar code 3 of 9\n"
                          "code39: line 2: Error: input character \"\xC3\xA9\" not legal in bar code 3 of 9\n"
                          "code39: line 3: Error: input character \"\xE2\x82\xAC\" not legal in bar code 3 of 9\n"
                          "code39: line 4: Error: input character \"\\x09\" not legal in bar code 3 of 9\n"
                          "code39: line 5: Error: input character \"^\" not legal in bar code 3 of 9\n")
            << 1;
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
        QTest::newRow("version") << QStringList{"--version"} << QByteArray() << QByteArray("code39 (Kelm) 4.2\n")
                                 << QByteArray() << 0;
    }
    void rows()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QFETCH(int, status);
        const ProgramRun run = RunCode39(arguments, input);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
    }

    // Picture files: one per DATA, or one per row when the name holds %n or %d; what exists is never
    // replaced silently, and nothing but a regular file is ever replaced.
    void pictureFiles_data()
    {
        QTest::addColumn<QStringList>("before"); // name:old, name:fifo, name:device or name:link to TARGET
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("fileSizeLimit"); // in 512-byte blocks; 0 for none
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QByteArray>("err"); // every stderr line, in order; "*" for any one line
        QTest::addColumn<int>("status");
        const QStringList none;
        QTest::newRow("one file per row, %n counts rows from 1")
            << none << QStringList{"--svg", "tag-%n.svg"} << QByteArray("A\r\nB\n") << 0
            << QStringList{"tag-1.svg:svg", "tag-2.svg:svg"} << QByteArray() << 0;
        QTest::newRow("a failing row writes no file and names its line")
            << none << QStringList{"-c", "--pdf", "t-%n.pdf"} << QByteArray("A\nabc\nC") << 0
            << QStringList{"t-1.pdf:pdf", "t-3.pdf:pdf"} << "code39: line 2: " + kIllegalA + "\n"
            << 1;
        // Full ASCII has no form for a control character or bad UTF-8: those rows make no file at all.
        QTest::newRow("%d: slash, leading and double dots become _; a control character or bad UTF-8 no file")
            << none << QStringList{"-f", "--svg", "%d.svg"} << QByteArray("A/B\n..\nx\ty\n\xFFZ\na.b\n") << 0
            << QStringList{"A_B.svg:svg", "__.svg:svg", "a.b.svg:svg"}
            << QByteArray("code39: line 3: Error: input character \"\\x09\" not legal in bar code 3 of 9\n"
                          "code39: line 4: Error: input character \"\xEF\xBF\xBD\" not legal in bar code 3 of 9\n")
            << 1;
        QTest::newRow("%d is cut to 120 bytes")
            << none << QStringList{"--svg", "%d.svg", QString(130, u'A')} << QByteArray() << 0
            << QStringList{QString(120, u'A') + ".svg:svg"} << QByteArray() << 0;
        QTest::newRow("%% is one percent sign in a template")
            << none << QStringList{"--png", "50%%-%n.png", "A"} << QByteArray() << 0
            << QStringList{"50%-1.png:png"} << QByteArray() << 0;
        QTest::newRow("a name without %n or %d is taken as typed")
            << none << QStringList{"--svg", "100%%.svg", "A"} << QByteArray() << 0 << QStringList{"100%%.svg:svg"}
            << QByteArray() << 0;
        QTest::newRow("DATA arguments are the rows of a template")
            << none << QStringList{"--png=p-%n.png", "A", "B"} << QByteArray() << 0
            << QStringList{"p-1.png:png", "p-2.png:png"} << QByteArray() << 0;
        QTest::newRow("an existing file is kept and named, the other rows go on")
            << QStringList{"t-1.svg:old"} << QStringList{"--svg", "t-%n.svg"} << QByteArray("A\nB\n") << 0
            << QStringList{"t-1.svg:old", "t-2.svg:svg"}
            << QByteArray("code39: line 1: t-1.svg exists; --force replaces it\n") << 1;
        QTest::newRow("--force replaces an existing file")
            << QStringList{"t-1.svg:old"} << QStringList{"--force", "--svg", "t-%n.svg"} << QByteArray("A\n") << 0
            << QStringList{"t-1.svg:svg"} << QByteArray() << 0;
        QTest::newRow("two rows with one name: the second does not replace the first")
            << none << QStringList{"--svg", "%d.svg"} << QByteArray("AB\nAB\n") << 0 << QStringList{"AB.svg:svg"}
            << QByteArray("code39: line 2: AB.svg: made the same file name as line 1, whose file is kept\n") << 1;
        QTest::newRow("two rows with one name and --force: the first is still kept, the second named")
            << QStringList{"AB.svg:old"} << QStringList{"--force", "--svg", "x%n%d.svg"}
            << QByteArray("23\nB\nC\nD\nE\nF\nG\nH\nI\nJ\nK\n3\n") << 0
            << QStringList{"AB.svg:old",  "x10J.svg:svg", "x11K.svg:svg", "x123.svg:svg",
                           "x2B.svg:svg", "x3C.svg:svg",  "x4D.svg:svg",  "x5E.svg:svg",
                           "x6F.svg:svg", "x7G.svg:svg",  "x8H.svg:svg",  "x9I.svg:svg"}
            << QByteArray("code39: line 12: x123.svg: made the same file name as line 1, whose file is kept\n")
            << 1;
        QByteArray rows;
        QStringList written{"m-5.svg:node"};
        for (int i = 1; i <= 30; ++i) {
            rows += i % 7 == 0 ? "bad\n" : "R" + QByteArray::number(i) + "\n";
            if (i % 7 != 0 && i != 5)
                written << QStringLiteral("m-%1.svg:svg").arg(i);
        }
        std::sort(written.begin(), written.end());
        QTest::newRow("messages come in row order while files are written side by side")
            << QStringList{"m-2.svg:old", "m-5.svg:fifo"} << QStringList{"--force", "--svg", "m-%n.svg"} << rows
            << 0 << written
            << QByteArray("code39: line 5: cannot write m-5.svg: not a regular file\n"
                          "code39: line 7: Error: input character \"b\" not legal in bar code 3 of 9\n"
                          "code39: line 14: Error: input character \"b\" not legal in bar code 3 of 9\n"
                          "code39: line 21: Error: input character \"b\" not legal in bar code 3 of 9\n"
                          "code39: line 28: Error: input character \"b\" not legal in bar code 3 of 9\n")
            << 1;
        QTest::newRow("a line beyond 1 MiB is refused, the next row still drawn")
            << none << QStringList{"--svg", "r-%n.svg"} << QByteArray((1 << 20) + 1, 'A') + "\nB\n"
            << 0 << QStringList{"r-2.svg:svg"}
            << QByteArray("code39: line 1: line too long (over 1048576 bytes)\n") << 1;
        QTest::newRow("a CRLF line of exactly 1 MiB is a row: encoded, not refused as too long")
            << none << QStringList{"--svg", "r-%n.svg"} << QByteArray(1 << 20, 'a') + "\r\nB\n"
            << 0 << QStringList{"r-2.svg:svg"} << "code39: line 1: " + kIllegalA + "\n"
            << 1;
        const QByteArray megabyteRow = QByteArray(1 << 20, 'A') + "\nB\n";
        QTest::newRow("a row of 1 MiB is too large for a PNG, the next row still drawn")
            << none << QStringList{"--png", "r-%n.png"} << megabyteRow << 0 << QStringList{"r-2.png:png"}
            << QByteArray("code39: line 1: the image would be too large\n") << 1;
        QTest::newRow("a row of 1 MiB is too large for an SVG, said as for a PNG")
            << none << QStringList{"--svg", "r-%n.svg"} << megabyteRow << 0 << QStringList{"r-2.svg:svg"}
            << QByteArray("code39: line 1: the image would be too large\n") << 1;
        QTest::newRow("a row of 1 MiB is too large for a PDF page")
            << none << QStringList{"--pdf", "r-%n.pdf"} << megabyteRow << 0 << QStringList{"r-2.pdf:pdf"}
            << QByteArray("code39: line 1: the page would be too large\n") << 1;
        QTest::newRow("no DATA and no %n or %d is bad usage")
            << none << QStringList{"--svg", "x.svg"} << QByteArray("A\n") << 0 << none << QByteArray("*") << 2;
        QTest::newRow("a single file replaces an older one")
            << QStringList{"x.pdf:old"} << QStringList{"--pdf", "x.pdf", "A"} << QByteArray() << 0
            << QStringList{"x.pdf:pdf"} << QByteArray() << 0;
        QTest::newRow("a FIFO is refused and left as it is")
            << QStringList{"x.svg:fifo"} << QStringList{"--svg", "x.svg", "A"} << QByteArray() << 0
            << QStringList{"x.svg:node"} << QByteArray("code39: cannot write x.svg: not a regular file\n") << 1;
        QTest::newRow("a character device is refused and left as it is")
            << QStringList{"x.png:device"} << QStringList{"--png", "x.png", "A"} << QByteArray() << 0
            << QStringList{"x.png:node"} << QByteArray("code39: cannot write x.png: not a regular file\n") << 1;
        QTest::newRow("a link to a character device is refused, the link kept")
            << QStringList{"x.png:link to /dev/null"} << QStringList{"--png", "x.png", "A"} << QByteArray() << 0
            << QStringList{"x.png:link to null"} << QByteArray("code39: cannot write x.png: not a regular file\n")
            << 1;
        QTest::newRow("a link to a regular file is written through, the link kept")
            << QStringList{"real.png:old", "x.png:link to real.png"} << QStringList{"--png", "x.png", "A"}
            << QByteArray() << 0 << QStringList{"real.png:png", "x.png:link to real.png"} << QByteArray() << 0;
        QTest::newRow("a full disk leaves the old PNG and fails")
            << QStringList{"x.png:old"} << QStringList{"--png", "x.png", "ABCDEFGHIJKL"} << QByteArray() << 1
            << QStringList{"x.png:old"} << QByteArray("*") << 1;
    }
    void pictureFiles()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, fileSizeLimit);
        QFETCH(QStringList, after);
        QFETCH(QByteArray, err);
        QFETCH(int, status);
        QTemporaryDir dir;
        for (const QString& entry : before) {
            const QString name = dir.filePath(entry.section(u':', 0, 0)), kind = entry.section(u':', 1);
            if (kind == "old") {
                QFile file(name);
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write("old") == 3);
            } else if (kind == "fifo") {
                QCOMPARE(mkfifo(QFile::encodeName(name).constData(), 0600), 0);
            } else if (kind == "device") {
                // The null device's numbers: harmless even if something were written to it.
                if (mknod(QFile::encodeName(name).constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
                    QSKIP("making a device node needs root");
            } else {
                QVERIFY(QFile::link(kind.mid(8), name));
            }
        }
        QStringList command{kCode39};
        if (fileSizeLimit > 0) {
            // A file-size limit stands in for a full disk; the signal it raises is ignored, as the
            // process then sees the failed write a full disk gives.
            command = QStringList{
                "/bin/sh", "-c",
                QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(fileSizeLimit), kCode39};
        }
        const QString program = command.takeFirst();
        const ProgramRun run =
            RunProgram(program, command + arguments, {.input = input, .workingDirectory = dir.path()});
        if (err == "*")
            QCOMPARE(run.err.count('\n'), 1);
        else
            QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
        QCOMPARE(Listing(QDir(dir.path())), after);
    }

    // Two batches at once into one folder, neither with --force: every name is written exactly once, by
    // the batch whose row its file holds, and the other batch reports that line's file as existing, even
    // where the name was free when it looked; no temporary file stays.
    void twoBatchesAtOnce()
    {
        constexpr int kRows = 300;
        QTemporaryDir dir;
        QProcess batches[2];
        for (int b = 0; b < 2; ++b) {
            const QString rowsFile = dir.filePath(QStringLiteral("rows%1.txt").arg(b));
            QByteArray rows;
            for (int n = 1; n <= kRows; ++n)
                rows += char('A' + b) + QByteArray::number(n) + '\n';
            QVERIFY(support::WriteFile(rowsFile, rows));
            batches[b].setStandardInputFile(rowsFile);
            batches[b].setWorkingDirectory(dir.path());
        }
        for (QProcess& batch : batches)
            batch.start(QStringLiteral(CODE39_EXE), {"--svg", "c-%n.svg"});
        QByteArray err[2];
        for (int b = 0; b < 2; ++b) {
            QVERIFY(batches[b].waitForFinished(60000));
            err[b] = batches[b].readAllStandardError();
        }
        int refused[2] = {0, 0};
        for (int n = 1; n <= kRows; ++n) {
            const QByteArray name = "c-" + QByteArray::number(n) + ".svg";
            const QByteArray svg = support::ReadFile(dir.filePath(name));
            const int writer = svg.contains("<title>A" + QByteArray::number(n) + "</title>")   ? 0
                               : svg.contains("<title>B" + QByteArray::number(n) + "</title>") ? 1
                                                                                               : -1;
            QVERIFY2(writer >= 0, name.constData());
            const QByteArray exists = "code39: line " + QByteArray::number(n) + ": " + name + " exists";
            QVERIFY2(!err[writer].contains(exists + ';') && err[1 - writer].contains(exists + ';'),
                     name.constData());
            ++refused[1 - writer];
        }
        for (int b = 0; b < 2; ++b) {
            QCOMPARE(err[b].count('\n'), refused[b]);
            QCOMPARE(batches[b].exitCode(), refused[b] ? 1 : 0);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kRows + 2);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("message"); // the start of the one line, before the usage
        QTest::newRow("unknown short option") << QStringList{"-x", "ABC"} << QByteArray("unknown option -x");
        QTest::newRow("unknown option inside a cluster") << QStringList{"-cz"} << QByteArray("unknown option -z");
        QTest::newRow("unknown long option") << QStringList{"--bogus"} << QByteArray("unknown option --bogus");
        QTest::newRow("a flag given a value")
            << QStringList{"--force=yes"} << QByteArray("--force takes no value");
        QTest::newRow("a picture option without a picture")
            << QStringList{"--size", "12", "A"} << QByteArray("--size needs --png, --svg, --pdf or --labels");
        QTest::newRow("a picture option with label sheets")
            << QStringList{"--labels", "lb164", "--pdf", "x.pdf", "--force", "A"}
            << QByteArray("--force is not allowed with --labels");
        QTest::newRow("a label option with pictures") << QStringList{"--svg", "x.svg", "--copies=2", "A"}
                                                      << QByteArray("--copies is not allowed with --svg");
        QTest::newRow("reading back is for label sheets")
            << QStringList{"--pdf", "x.pdf", "--verify", "A"} << QByteArray("--verify is not allowed with --pdf");
        QTest::newRow("label sheets and the stock list at once")
            << QStringList{"--list-stocks", "--labels", "lb164"}
            << QByteArray("--labels is not allowed with --list-stocks");
        QTest::newRow("a second output file, in either spelling")
            << QStringList{"--png=a.png", "--svg", "b.svg", "A"}
            << QByteArray("one output file at a time: --png and --svg");
        QTest::newRow("label sheets need their PDF or their ZPL")
            << QStringList{"--labels", "lb164", "A"} << QByteArray("--labels needs --pdf FILE or --zpl FILE");
        QTest::newRow("ZPL is for label sheets")
            << QStringList{"--zpl", "x.zpl", "A"} << QByteArray("--zpl needs --labels");
        QTest::newRow("the rolls are a stock list's")
            << QStringList{"--labels", "lb164", "--roll", "--zpl", "x.zpl", "A"}
            << QByteArray("--roll is not allowed with --labels");
        QTest::newRow("options after -- are DATA, so a picture still needs one")
            << QStringList{"--png", "x.png", "--", "--size", "A"}
            << QByteArray("--png draws exactly one DATA, or one file per row when the file name holds %n or %d");
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, message);
        QTemporaryDir dir;
        const ProgramRun run = RunProgram(kCode39, arguments, {.workingDirectory = dir.path()});
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count('\n'), 1);
        QVERIFY2(run.err.startsWith("code39: " + message + "; usage: code39"), run.err.constData());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    // Every option of the table is in --help, the manual page, the bash completion and the README; its
    // usage line names it in each mode that takes it.
    void everyTableOptionDocumented_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("shortOption");
        QTest::addColumn<unsigned>("modes");
        for (const cli::Option& option : cli::OptionTable()) {
            const QString name = QString::fromStdString(cli::OptionName(option));
            QTest::newRow(qPrintable(name))
                << name << (option.shortName ? QStringLiteral("-") + QChar(option.shortName) : QString())
                << option.modes;
        }
    }
    void everyTableOptionDocumented()
    {
        QFETCH(QString, option);
        QFETCH(QString, shortOption);
        QFETCH(unsigned, modes);
        const QByteArray help = RunCode39({"--help"}).out;
        const QByteArray manual = support::ReadFile(KELM_MANUAL);
        const QByteArray completion = support::ReadFile(KELM_COMPLETION);
        const QByteArray readme = support::ReadFile(KELM_README);
        for (const QString& name : {option, shortOption}) {
            if (name.isEmpty())
                continue;
            // Whole words only: --list must not pass for --list-stocks.
            const QRegularExpression word("(^|[^-\\w])" + QRegularExpression::escape(name) + "($|[^-\\w])");
            QVERIFY2(word.match(QString::fromUtf8(help)).hasMatch(), "--help");
            // The manual page writes a minus sign as \-.
            QVERIFY2(word.match(QString::fromUtf8(manual).replace("\\-", "-")).hasMatch(), "manual page");
            QVERIFY2(word.match(QString::fromUtf8(completion)).hasMatch(), "completion");
            QVERIFY2(word.match(QString::fromUtf8(readme)).hasMatch(), "README");
        }
        // One row per name, and a value has a name and a wording for its messages.
        const auto rows = cli::OptionTable();
        const cli::Option& row = *std::find_if(rows.begin(), rows.end(), [&](const cli::Option& o) {
            return QString::fromStdString(cli::OptionName(o)) == option;
        });
        QCOMPARE(std::count_if(rows.begin(), rows.end(),
                               [&](const cli::Option& o) {
                                   return o.longName == row.longName ||
                                          (row.shortName && o.shortName == row.shortName);
                               }),
                 1);
        // A number's range as the table has it (from the defaults header), in the manual page too.
        if (row.kind == cli::ValueKind::Number || row.kind == cli::ValueKind::WholeNumber ||
            row.kind == cli::ValueKind::NumberPair) {
            const QString range = QString::number(row.low, 'g', 10) + " to " + QString::number(row.high, 'g', 10);
            QVERIFY2(QString::fromUtf8(manual).replace("\\-", "-").contains(range), qPrintable(range));
        }
        QCOMPARE(row.valueName.empty(), row.kind == cli::ValueKind::None);
        QCOMPARE(row.needs.empty(), row.kind == cli::ValueKind::None);
        for (const cli::Mode mode :
             {cli::Mode::Text, cli::Mode::Pictures, cli::Mode::Labels, cli::Mode::StockList}) {
            if (!(modes & unsigned(mode)) || (modes == cli::kEveryMode && mode != cli::Mode::Text))
                continue;
            const QString usage = QString::fromStdString(cli::UsageLine(mode));
            QVERIFY2(usage.contains(shortOption.isEmpty() ? option : shortOption), qPrintable(usage));
        }
    }

    // Numbers are read the same whatever decimal separator the locale uses: under a comma-decimal locale
    // a dot still reads as a dot, so a value just beyond the range is refused rather than cut short.
    void numbersIgnoreTheLocale_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("err"); // a part of standard error
        QTest::newRow("label sheets: a size just over the largest")
            << QStringList{"--labels", "lb164", "--size", "1000.5", "--pdf", "x.pdf", "A"} << 2
            << QByteArray("--size needs a point size from 1 to 1000, not \"1000.5\"");
        QTest::newRow("label sheets: an offset just beyond its range")
            << QStringList{"--labels", "lb164", "--offset", "0.5,-20.5", "--pdf", "x.pdf", "A"} << 2
            << QByteArray("--offset needs X,Y in millimetres from -20 to 20");
        QTest::newRow("pictures: a size just over the largest")
            << QStringList{"--svg", "x.svg", "--size", "1000.5", "A"} << 2 << QByteArray("--size needs");
        QTest::newRow("pictures: a fractional size is taken")
            << QStringList{"--svg", "x.svg", "--size", "10.5", "A"} << 0 << QByteArray();
    }
    void numbersIgnoreTheLocale()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, err);
        // The comma-decimal locale is made for the test when the system has none installed.
        static QTemporaryDir locales;
        static const bool made =
            RunProgram("localedef", {"-i", "de_DE", "-f", "UTF-8", locales.filePath("de_DE.UTF-8")}).status == 0 ||
            QFileInfo::exists(locales.filePath("de_DE.UTF-8"));
        if (!made)
            QSKIP("no comma-decimal locale can be made here (localedef and its sources are needed)");
        QTemporaryDir dir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LOCPATH", locales.path());
        environment.insert("LC_ALL", "de_DE.UTF-8");
        const ProgramRun run =
            RunProgram(kCode39, arguments, {.workingDirectory = dir.path(), .environment = environment});
        QVERIFY2(err.isEmpty() ? run.err.isEmpty() : run.err.contains(err), run.err.constData());
        QCOMPARE(run.status, status);
    }

    void help()
    {
        const ProgramRun run = RunCode39({"--help", "abc"});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains("--full-ascii") && run.out.contains("--checksum"));
        QVERIFY(run.err.isEmpty());
    }

    // --help and the manual page name every option the parsers take.
    void everyOptionDocumented_data()
    {
        QTest::addColumn<QString>("option");
        for (const char* option :
             {"-c", "--checksum", "-f", "--full-ascii", "-h", "--help", "--version", "--png", "--svg", "--pdf",
              "--size", "--dpi", "--text-above", "--no-antialias", "--force", "%n", "%d", "%%"})
            QTest::newRow(option) << QString::fromLatin1(option);
    }
    void everyOptionDocumented()
    {
        QFETCH(QString, option);
        QVERIFY(RunCode39({"--help"}).out.contains(option.toLatin1()));
        QFile manual(QStringLiteral(KELM_MANUAL));
        QVERIFY(manual.open(QIODevice::ReadOnly));
        QVERIFY(manual.readAll().contains(QString(option).replace("-", "\\-").toLatin1()));
    }

    void writeFailureIsNotSuccess_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("text rows") << QStringList{"ABC"} << QByteArray("cannot write");
        QTest::newRow("ZPL to standard output")
            << QStringList{"--labels", "lb164", "--zpl", "-", "A"} << QByteArray("cannot write standard output");
    }
    void writeFailureIsNotSuccess()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, err);
        if (!QFile::exists("/dev/full"))
            QSKIP("needs /dev/full");
        const ProgramRun run = RunProgram(kCode39, arguments, {.outputFile = "/dev/full"});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(err));
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
        QVERIFY(support::WriteFile(dir.filePath("in.txt"), input));

        const ProgramRun run = RunProgram(
            kCode39, {"-c"}, {.inputFile = dir.filePath("in.txt"), .outputFile = dir.filePath("out.txt")});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err.count('\n'), lines / 1000);

        const QList<QByteArray> rows = support::ReadFile(dir.filePath("out.txt")).split('\n');
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
        const ProgramRun run = RunCode39({}, line + "\nB\n");
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QByteArray("\n*B*\n"));
        QCOMPARE(run.err, QByteArray("code39: line 1: line too long (over 1048576 bytes)\n"));
    }

    // Memory stays bounded whatever the input: the peak resident size read from /proc while the
    // encoder works through a line far larger than that bound, and through input that never ends.
    void memoryStaysBounded_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("a 512 MiB line with full ascii, then a row")
            << QStringList{"-f"} << "line" << QByteArray("*$A*\n\n*B*\n")
            << QByteArray("code39: line 2: line too long (over 1048576 bytes)\n");
        QTest::newRow("endless NUL bytes: stops with a message after its empty row")
            << QStringList{"-f"} << "/dev/zero" << QByteArray("\n")
            << QByteArray("code39: line 1: line too long (over 1048576 bytes)\n"
                          "code39: line 1: no line break in 4294967296 bytes: not text, input stopped\n");
        QTest::newRow("endless NUL bytes into picture files: the same stop, no file")
            << QStringList{"--svg", "%n.svg"} << "/dev/zero" << QByteArray()
            << QByteArray("code39: line 1: line too long (over 1048576 bytes)\n"
                          "code39: line 1: no line break in 4294967296 bytes: not text, input stopped\n");
    }
    void memoryStaysBounded()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, input);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        if (!QFile::exists("/proc/self/status"))
            QSKIP("needs /proc");
        QTemporaryDir dir;
        QProcess process;
        process.setWorkingDirectory(dir.path());
        if (input != "line")
            process.setStandardInputFile(input);
        process.start(kCode39, arguments);
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
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
