// The installation's files: the label templates against the stock table typed below, the settings file
// under the program's own reading rules, the artwork against its generator, and scripts/install-user
// run into a temporary HOME.

#include "platform/Desktop.h"
#include "platform/Profile.h"
#include "support/Files.h"
#include "support/Programs.h"
#include "support/TemporaryHome.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString kSource = QStringLiteral(KELM_SOURCE_DIR);
const QString kTemplates = QStringLiteral(KELM_TEMPLATE_DIR);
const QString kSettingsFile = kSource + QStringLiteral("/data/kelmtips.ini");
constexpr double kTwips = 1440.0;

// The label stocks as the sheets are sold, in inches; the order is the label list's.
struct Stock {
    const char* file;
    double width, height;
    int cols, rows;
    double left, top, pitchX, pitchY;
};
constexpr Stock kStocks[] = {
    {"lb167.rtf", 1.75, 0.5, 4, 20, 0.28125, 0.5, 2.0625, 0.5},
    {"lb570.rtf", 3.4375, 0.6667, 2, 15, 0.53125, 0.5, 4.0, 0.6667},
    {"lb060.rtf", 2.625, 1.0, 3, 10, 0.15625, 0.5, 2.78125, 1.0},
    {"lb161.rtf", 4.0, 1.0, 2, 10, 0.15625, 0.5, 4.1875, 1.0},
    {"lb162.rtf", 4.0, 1.3333, 2, 7, 0.15625, 0.8333, 4.1875, 1.3333},
    {"lb197.rtf", 4.0, 1.5, 2, 6, 0.1875, 1.0, 4.125, 1.5},
    {"lb163.rtf", 4.0, 2.0, 2, 5, 0.15625, 0.5, 4.1875, 2.0},
    {"lb164.rtf", 4.0, 3.3333, 2, 3, 0.15625, 0.5, 4.1875, 3.3333},
};

int controlWord(const QByteArray& rtf, const char* word)
{
    const QRegularExpression re(QStringLiteral("\\\\%1(-?\\d+)").arg(QLatin1String(word)));
    const auto m = re.match(QString::fromLatin1(rtf));
    return m.hasMatch() ? m.captured(1).toInt() : INT_MIN;
}

struct Row {
    int height = 0; // \trrh as written: negative means exact
    QList<int> cellRight;
};

QList<Row> tableRows(const QByteArray& rtf)
{
    QList<Row> rows;
    const QString text = QString::fromLatin1(rtf);
    const QRegularExpression height(QStringLiteral("\\\\trrh(-?\\d+)"));
    const QRegularExpression cellx(QStringLiteral("\\\\cellx(\\d+)"));
    const QStringList parts = text.split(QStringLiteral("\\trowd"));
    for (qsizetype i = 1; i < parts.size(); ++i) {
        Row row;
        row.height = height.match(parts[i]).captured(1).toInt();
        for (auto it = cellx.globalMatch(parts[i]); it.hasNext();)
            row.cellRight.append(it.next().captured(1).toInt());
        rows.append(row);
    }
    return rows;
}

// Within one twip of an exact position in inches: rounding, never drift.
bool near(int twips, double inches)
{
    return std::abs(twips - inches * kTwips) <= 1.0;
}

// Every file below a folder with its bytes' hash, size, time and permissions.
QStringList snapshot(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        // The log of the last run is the one thing a run always writes.
        if (info.fileName() == QLatin1String("install.log") ||
            info.filePath().endsWith(QLatin1String("/state/kelm")))
            continue;
        QString entry = QDir(root).relativeFilePath(info.filePath()) + u' ' +
                        QString::number(info.lastModified().toMSecsSinceEpoch()) + u' ' +
                        QString::number(int(info.permissions()), 16);
        if (info.isFile())
            entry += u' ' + QString::fromLatin1(QCryptographicHash::hash(support::ReadFile(info.filePath()),
                                                                         QCryptographicHash::Sha1)
                                                    .toHex());
        entries.append(entry);
    }
    entries.sort();
    return entries;
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void templateGeometry_data();
    void templateGeometry();
    void settingsFileTips();
    void settingsFileSizes_data();
    void settingsFileSizes();
    void settingsFileBytes();
    void artworkReproduces();
    void installUser_data();
    void installUser();
    void installFailure_data();
    void installFailure();

private:
    // Runs the script into the test's HOME: its exit status, -1 when it did not finish.
    int runInstall(QString* output, const QStringList& options = {});
};

void TestInstall::templateGeometry_data()
{
    QTest::addColumn<int>("stock");
    for (int i = 0; i < int(std::size(kStocks)); ++i)
        QTest::newRow(kStocks[i].file) << i;
}

void TestInstall::templateGeometry()
{
    QFETCH(int, stock);
    const Stock& s = kStocks[stock];
    const QByteArray rtf = support::ReadFile(kTemplates + u'/' + QLatin1String(s.file));
    QVERIFY2(rtf.startsWith("{\\rtf1"), s.file);

    QCOMPARE(controlWord(rtf, "paperw"), 12240); // 8.5 in
    QCOMPARE(controlWord(rtf, "paperh"), 15840); // 11 in
    const int margl = controlWord(rtf, "margl"), margt = controlWord(rtf, "margt");
    QVERIFY2(near(margl, s.left), qPrintable(QString::number(margl)));
    QVERIFY2(near(margt, s.top), qPrintable(QString::number(margt)));
    QVERIFY2(!rtf.contains("\\brdr"), "the labels' outlines would print");

    const QList<Row> rows = tableRows(rtf);
    QCOMPARE(rows.size(), s.rows); // every stock here has no gap between label rows
    int top = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const Row& row = rows[r];
        const QByteArray where = QByteArray(s.file) + " row " + QByteArray::number(r);
        QVERIFY2(row.height < 0, where + ": height not exact, a pasted bar code would stretch it");
        QVERIFY2(near(top, r * s.pitchY), where + ": row starts at " + QByteArray::number(top));
        QVERIFY2(near(-row.height, s.height), where + ": height " + QByteArray::number(-row.height));
        top += -row.height;
        QCOMPARE(row.cellRight.size(), 2 * s.cols - 1); // label, gap, label ...
        for (int c = 0; c < s.cols; ++c) {
            const int left = c == 0 ? 0 : row.cellRight[2 * c - 1];
            QVERIFY2(near(left, c * s.pitchX), where + ": label " + QByteArray::number(c) + " left");
            QVERIFY2(near(row.cellRight[2 * c], c * s.pitchX + s.width),
                     where + ": label " + QByteArray::number(c) + " right");
        }
    }
    // The table must fit the text area, or a word processor moves or shrinks it.
    QVERIFY(margl + rows.first().cellRight.last() + controlWord(rtf, "margr") <= 12240);
    QVERIFY(margt + top + controlWord(rtf, "margb") <= 15840);
}

void TestInstall::settingsFileTips()
{
    const QString& f = kSettingsFile;
    QVERIFY(platform::SectionExists(QStringLiteral("TipoftheDay"), f));
    QVERIFY(platform::ReadBool(QStringLiteral("TipoftheDay"), QStringLiteral("Enabled"), false, f));
    QCOMPARE(platform::ReadInteger(QStringLiteral("TipoftheDay"), QStringLiteral("Position"), -1, f), 0);
    const int maximum = platform::ReadInteger(QStringLiteral("TipoftheDay"), QStringLiteral("Maximum"), -1, f);
    QVERIFY2(maximum >= 11 && maximum <= 19, qPrintable(QString::number(maximum)));
    // The first run writes Settings; a shipped one would hide the first-run defaults.
    QVERIFY(!platform::SectionExists(QStringLiteral("Settings"), f));

    // The tips window walks the keys 0 .. Maximum and wraps at the first missing one.
    QStringList tips;
    for (int k = 0; k <= maximum + 1; ++k)
        tips.append(platform::GetPrivateProfileString(QStringLiteral("Tips"), QString::number(k),
                                                      QStringLiteral("XXXX"), f));
    QCOMPARE(tips.takeLast(), QStringLiteral("XXXX")); // no tip past Maximum
    for (int k = 0; k <= maximum; ++k) {
        QVERIFY2(tips[k] != QStringLiteral("XXXX"), qPrintable(QStringLiteral("tip %1 missing").arg(k)));
        // The memo holds about 200 characters of its small font.
        QVERIFY2(tips[k].size() >= 40 && tips[k].size() <= 200, qPrintable(tips[k]));
        QCOMPARE(tips.count(tips[k]), 1);
    }
}

void TestInstall::settingsFileSizes_data()
{
    // Row i opens template i, so each row must name that stock's number and count.
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("labelNumber");
    QTest::addColumn<QString>("perSheet");
    for (int i = 0; i < int(std::size(kStocks)); ++i)
        QTest::newRow(kStocks[i].file) << i << QString::fromLatin1(kStocks[i].file).mid(2, 3)
                                       << QString::number(kStocks[i].cols * kStocks[i].rows);
    QTest::newRow("the row after the stocks opens custom.rtf") << 8 << QStringLiteral("custom") << QString();
}

void TestInstall::settingsFileSizes()
{
    QFETCH(int, row);
    QFETCH(QString, labelNumber);
    QFETCH(QString, perSheet);
    const QStringList lines = platform::ReadSectionValues(QStringLiteral("Sizes"), kSettingsFile);
    QCOMPARE(lines.size(), int(std::size(kStocks)) + 1);
    const QString line = lines.value(row);
    // A one-character key: the list shows the line from its third character on.
    QCOMPARE(line.left(2), QString::number(row) + u'=');
    const QStringList columns = line.mid(2).split(u' ', Qt::SkipEmptyParts);
    QCOMPARE(columns.last(), labelNumber);
    if (!perSheet.isEmpty())
        QCOMPARE(columns.value(columns.size() - 2), perSheet);
    QVERIFY2(line.size() <= 60, "wider than the label list");
}

void TestInstall::settingsFileBytes()
{
    const QByteArray bytes = support::ReadFile(kSettingsFile);
    QVERIFY(!bytes.isEmpty());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        // Plain ASCII reads the same in every code page; CRLF is the profile format's line end.
        QVERIFY2(uchar(bytes[i]) < 0x80, qPrintable(QStringLiteral("byte %1").arg(i)));
        if (bytes[i] == '\n')
            QVERIFY2(i > 0 && bytes[i - 1] == '\r', qPrintable(QStringLiteral("bare LF at byte %1").arg(i)));
    }
    QVERIFY(bytes.endsWith("\r\n"));
}

void TestInstall::artworkReproduces()
{
    const QString python = QStringLiteral(KELM_PYTHON);
    if (support::RunProgram(python, {QStringLiteral("-c"), QStringLiteral("import PIL")}).status != 0)
        QSKIP("python3-pil is not installed");
    const support::ProgramRun tool =
        support::RunProgram(python, {kSource + QStringLiteral("/tools/make_artwork.py"), QStringLiteral("--check"),
                                     kSource + QStringLiteral("/resources")});
    QVERIFY2(tool.status == 0, tool.err.constData());
}

int TestInstall::runInstall(QString* output, const QStringList& options)
{
    const support::ProgramRun run = support::RunProgram(
        QStringLiteral("bash"),
        QStringList{kSource + QStringLiteral("/scripts/install-user"), QStringLiteral("--build-dir"),
                    QStringLiteral(KELM_BUILD_DIR), QStringLiteral("--no-packages")} +
            options,
        {.mergeChannels = true});
    *output = QString::fromLocal8Bit(run.out + run.err);
    return run.status;
}

void TestInstall::installUser_data()
{
    QTest::addColumn<QString>("userDirs");  // user-dirs.dirs, empty for none
    QTest::addColumn<QString>("documents"); // where the data folder must land, below HOME
    QTest::newRow("no user-dirs.dirs: ~/Documents") << QString() << "Documents";
    QTest::newRow("user-dirs.dirs names the documents folder")
        << QStringLiteral("XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n") << "Papiere";
    QTest::newRow("a name with escaped quotes, found by the script and the program alike")
        << QStringLiteral("XDG_DOCUMENTS_DIR=\"$HOME/My Docs \\\"q\\\"\"\n") << "My Docs \"q\"";
    QTest::newRow("a name with two spaces and a dollar")
        << QStringLiteral("XDG_DOCUMENTS_DIR=\"$HOME/A  \\$B\"\n") << "A  $B";
}

void TestInstall::installUser()
{
    QFETCH(QString, userDirs);
    QFETCH(QString, documents);
    const support::TemporaryHome home;
    QVERIFY(home.isValid());
    if (!userDirs.isEmpty()) {
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral(".config")));
        QVERIFY(support::WriteFile(home.filePath(QStringLiteral(".config/user-dirs.dirs")), userDirs.toUtf8()));
    }
    // The script must put the files where the program looks for them.
    const QString zovod = platform::DocumentsFolder() + "/Zovod/";
    QCOMPARE(zovod, home.filePath(documents) + "/Zovod/");

    QString log;
    QVERIFY2(runInstall(&log) == 0, qPrintable(log));

    const QString prefix = home.filePath(QStringLiteral(".local/opt/kelm"));
    QVERIFY(QFileInfo(prefix + "/bin/kelm").isExecutable());
    QVERIFY(support::ReadFile(prefix + "/bin/zovod.chm").startsWith("ITSF"));
    QCOMPARE(support::ReadFile(zovod + "kelmtips.ini"), support::ReadFile(kSettingsFile));
    for (const Stock& s : kStocks) {
        const QString name = QLatin1String(s.file);
        QVERIFY2(support::ReadFile(zovod + name) == support::ReadFile(kTemplates + u'/' + name),
                 qPrintable(zovod + name));
    }
    QVERIFY(!QFile::exists(zovod + "custom.rtf"));
    const QString share = home.filePath(QStringLiteral(".local/share"));
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        QCOMPARE(support::ReadFile(QStringLiteral("%1/icons/hicolor/%2x%2/apps/kelm.png").arg(share).arg(size)),
                 support::ReadFile(QStringLiteral("%1/resources/icons/kelm-%2.png").arg(kSource).arg(size)));
    const QDir shippedFonts(prefix + "/share/kelm/fonts");
    for (const QString& font : shippedFonts.entryList({QStringLiteral("*.ttf")}))
        QCOMPARE(support::ReadFile(share + "/fonts/kelm/" + font), support::ReadFile(shippedFonts.filePath(font)));

    const QString desktop = QString::fromUtf8(support::ReadFile(share + "/applications/kelm.desktop"));
    QVERIFY2(desktop.startsWith(QStringLiteral("[Desktop Entry]\n")), qPrintable(desktop));
    QVERIFY(desktop.contains(QStringLiteral("\nExec=\"%1/bin/kelm\"\n").arg(prefix)));
    // The program starts in the user's home folder (Help finds its file beside the program), and the
    // icon goes by its name so that the desktop picks the installed size it needs.
    QVERIFY(!desktop.contains(QStringLiteral("\nPath=")));
    QVERIFY(desktop.contains(QStringLiteral("\nIcon=kelm\n")));
    QVERIFY(desktop.contains(QStringLiteral("\nStartupWMClass=kelm\n")));
    QVERIFY(desktop.contains(QStringLiteral("\nKeywords=barcode;bar code;code 39;label;\n")));
    QVERIFY(QFile::exists(share + "/icons/hicolor/48x48/apps/kelm.png"));
    // The entry is the package's own, started from the prefix; the package's places for the help file and
    // the typefaces stay empty in a prefix of the user's own.
    QCOMPARE(desktop, QString::fromUtf8(support::ReadFile(kSource + "/resources/desktop/kelm.desktop"))
                          .replace(QStringLiteral("\nExec=kelm\n"),
                                   QStringLiteral("\nExec=\"%1/bin/kelm\"\n").arg(prefix)));
    QVERIFY(!QFileInfo::exists(prefix + "/share/kelm/zovod.chm"));
    QVERIFY(!QFileInfo::exists(prefix + "/share/fonts"));
    QVERIFY2(support::MissingProgram({QStringLiteral("desktop-file-validate")}).isEmpty(),
             "desktop-file-validate is missing: install desktop-file-utils");
    const support::ProgramRun validate = support::RunProgram(
        QStringLiteral("desktop-file-validate"), {share + "/applications/kelm.desktop"}, {.mergeChannels = true});
    QCOMPARE(validate.out + validate.err, QByteArray()); // no error, no warning, no hint
    QCOMPARE(validate.status, 0);
    // The details are in the log the closing lines name, not on the terminal.
    const QString logFile = home.filePath(QStringLiteral(".local/state/kelm/install.log"));
    QVERIFY2(log.contains("details    " + logFile), qPrintable(log));
    QVERIFY2(!log.contains("-- Install"), qPrintable(log));
    QVERIFY(support::ReadFile(logFile).contains("-- Install"));

    // The encoder is on the user's PATH folder, with its manual page and completion.
    const QFileInfo code39(home.filePath(".local/bin/code39"));
    QVERIFY(code39.isSymLink() && code39.isExecutable());
    QCOMPARE(code39.symLinkTarget(), prefix + "/bin/code39");
    QCOMPARE(support::ReadFile(share + "/man/man1/code39.1"),
             support::ReadFile(kSource + "/resources/man/code39.1"));
    QCOMPARE(support::ReadFile(share + "/man/man1/kelm.1"), support::ReadFile(kSource + "/resources/man/kelm.1"));
    QCOMPARE(support::ReadFile(share + "/bash-completion/completions/code39"),
             support::ReadFile(kSource + "/resources/completion/code39.bash"));
    QVERIFY2(log.contains(home.filePath(".local/bin") + " is not on your PATH"), qPrintable(log));
    const support::ProgramRun completion =
        support::RunProgram("bash", {"-c",
                                     "source \"$0\"; COMP_WORDS=(code39 --sv); COMP_CWORD=1; _code39; "
                                     "echo \"${COMPREPLY[*]}\"",
                                     share + "/bash-completion/completions/code39"});
    QCOMPARE(completion.out, QByteArray("--svg\n"));

    // A second run changes nothing, not even a file's time.
    const QStringList before = snapshot(home.path());
    QVERIFY2(runInstall(&log) == 0, qPrintable(log));
    QCOMPARE(snapshot(home.path()), before);

    // A code39 of the user's own in ~/.local/bin is kept.
    QVERIFY(QFile::remove(code39.filePath()));
    QVERIFY(support::WriteFile(code39.filePath(), "#!/bin/sh\n"));
    QVERIFY2(runInstall(&log) == 0, qPrintable(log));
    QCOMPARE(support::ReadFile(code39.filePath()), QByteArray("#!/bin/sh\n"));
    QVERIFY2(log.contains("kept " + code39.filePath()), qPrintable(log));

    // The user's settings and own template survive; a deleted template comes back.
    const QByteArray settings = support::ReadFile(zovod + "kelmtips.ini") + "[Settings]\r\nData=MINE\r\n";
    const QByteArray custom("{\\rtf1 my labels}");
    for (const auto& [name, bytes] : {std::pair{"kelmtips.ini", settings}, std::pair{"custom.rtf", custom}})
        QVERIFY(support::WriteFile(zovod + name, bytes));
    QVERIFY(QFile::remove(zovod + "lb161.rtf"));
    QVERIFY2(runInstall(&log) == 0, qPrintable(log));
    QCOMPARE(support::ReadFile(zovod + "kelmtips.ini"), settings);
    QCOMPARE(support::ReadFile(zovod + "custom.rtf"), custom);
    QCOMPARE(support::ReadFile(zovod + "lb161.rtf"), support::ReadFile(kTemplates + "/lb161.rtf"));

    // A menu entry still as installed follows a new prefix; one the user edited is kept.
    const QString entry = share + "/applications/kelm.desktop";
    const QString moved = home.filePath(QStringLiteral("elsewhere"));
    QVERIFY2(runInstall(&log, {"--prefix", moved}) == 0, qPrintable(log));
    QVERIFY(QString::fromUtf8(support::ReadFile(entry))
                .contains(QStringLiteral("\nExec=\"%1/bin/kelm\"\n").arg(moved)));
    const QByteArray edited = support::ReadFile(entry).replace("Terminal=false", "Terminal=false\nNoDisplay=true");
    QVERIFY(support::WriteFile(entry, edited));
    QVERIFY2(runInstall(&log) == 0, qPrintable(log));
    QCOMPARE(support::ReadFile(entry), edited);
    QVERIFY2(log.contains("kept " + entry), qPrintable(log));

    // Uninstalling takes away all that was installed, and says that the data folder stays.
    QVERIFY(QFile::remove(code39.filePath()));
    QVERIFY2(runInstall(&log) == 0, qPrintable(log));
    QVERIFY2(runInstall(&log, {"--uninstall"}) == 0, qPrintable(log));
    for (const QString& gone :
         {prefix, share + "/applications/kelm.desktop", share + "/fonts/kelm",
          share + "/icons/hicolor/256x256/apps/kelm.png", code39.filePath(), share + "/man/man1/code39.1",
          share + "/man/man1/kelm.1", share + "/bash-completion/completions/code39"})
        QVERIFY2(!QFileInfo::exists(gone) && !QFileInfo(gone).isSymLink(), qPrintable(gone));
    QCOMPARE(support::ReadFile(zovod + "custom.rtf"), custom);
    QCOMPARE(support::ReadFile(zovod + "kelmtips.ini"), settings);
    QVERIFY2(log.contains("Kept: your data folder " + zovod.chopped(1)), qPrintable(log));
}

void TestInstall::installFailure_data()
{
    // A path below HOME that is made a plain file, so that the step which needs it as a folder fails.
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<QString>("step");
    QTest::newRow("cmake --install fails (its status was lost behind a pipe)") << ".local/opt/kelm/bin"
                                                                               << "Program";
    QTest::newRow("the data folder cannot be made") << "Documents"
                                                    << "Data folder";
    QTest::newRow("the icons cannot be copied") << ".local/share/icons"
                                                << "Menu entry and icon";
}

void TestInstall::installFailure()
{
    QFETCH(QString, blocked);
    QFETCH(QString, step);
    const support::TemporaryHome home;
    QVERIFY(home.isValid());
    QVERIFY(QDir(home.path()).mkpath(QFileInfo(home.filePath(blocked)).path()));
    QVERIFY(support::WriteFile(home.filePath(blocked), {}));
    QString log;
    const int status = runInstall(&log);
    QVERIFY2(status > 0, qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("install-user: step \"%1\" failed").arg(step)), qPrintable(log));
    QVERIFY2(!log.contains("== Done =="), qPrintable(log));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
