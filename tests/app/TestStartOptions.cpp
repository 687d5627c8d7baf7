// kelm on the command line: --help and --version answered without a window or a display, every option
// of its table in the help and the manual page, and the two manual pages naming each other.
#include "app/StartOptions.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("answer"); // null: the window starts
        const QString help = QString::fromStdString(kelm::StartHelpText());
        // clang-format off
        QTest::newRow("no arguments: the window") << QStringList{} << QString();
        QTest::newRow("--help") << QStringList{"--help"} << help;
        QTest::newRow("-h") << QStringList{"-h"} << help;
        QTest::newRow("--version: program, project and version") << QStringList{"--version"} << "kelm (Kelm) 4.2\n";
        QTest::newRow("after Qt's own options") << QStringList{"-style", "fusion", "--version"} << "kelm (Kelm) 4.2\n";
        QTest::newRow("Qt's own options alone: the window") << QStringList{"-style", "fusion"} << QString();
        QTest::newRow("after --, nothing is an option") << QStringList{"--", "--help"} << QString();
        // clang-format on
    }
    void answers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, answer);
        const std::optional<std::string> given = kelm::StartAnswer(arguments);
        QCOMPARE(given.has_value(), !answer.isNull());
        if (given)
            QCOMPARE(QString::fromStdString(*given), answer);
    }

    // The help names the menu entry that starts the window, and the help and the manual page every option.
    void everyOptionIsDocumented()
    {
        const QString help = QString::fromStdString(kelm::StartHelpText());
        const QString manual = QString::fromUtf8(ReadAll(QStringLiteral(KELM_MANUAL))).replace("\\-", "-");
        QVERIFY(!manual.isEmpty());
        QVERIFY(help.contains("\"Kelm Bar Code 3 of 9\""));
        QVERIFY(manual.contains("Kelm Bar Code 3 of 9"));
        for (const kelm::StartOption& option : kelm::StartOptions()) {
            const QString longName = QStringLiteral("--") + QLatin1String(option.longName);
            QVERIFY2(help.contains(longName), qPrintable(longName));
            QVERIFY2(manual.contains(longName), qPrintable(longName));
            QVERIFY2(help.contains(QLatin1String(option.help)), option.help);
            QVERIFY2(manual.contains(QLatin1String(option.help)), option.help);
            if (option.shortName) {
                const QString shortName = QStringLiteral("-") + QLatin1String(option.shortName);
                QVERIFY2(help.contains(shortName + ", " + longName), qPrintable(shortName));
                QVERIFY2(manual.contains(shortName), qPrintable(shortName));
            }
        }
        // Each page names the other, and both exist.
        QVERIFY(manual.contains(".BR code39 (1)"));
        QVERIFY(QString::fromUtf8(ReadAll(QStringLiteral(KELM_CODE39_MANUAL))).contains(".BR kelm (1)"));
    }

    // The program answers in a terminal with no display at all.
    void answeredWithoutADisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("--help") << "--help" << QByteArray::fromStdString(kelm::StartHelpText());
        QTest::newRow("--version") << "--version" << QByteArray("kelm (Kelm) 4.2\n");
    }
    void answeredWithoutADisplay()
    {
        QFETCH(QString, option);
        QFETCH(QByteArray, output);
        QProcess kelm;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        kelm.setProcessEnvironment(env);
        kelm.start(QStringLiteral(KELM_EXECUTABLE), {option});
        QVERIFY(kelm.waitForFinished(30000));
        QCOMPARE(kelm.exitStatus(), QProcess::NormalExit);
        QCOMPARE(kelm.exitCode(), 0);
        QCOMPARE(kelm.readAllStandardOutput(), output);
        QCOMPARE(kelm.readAllStandardError(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestStartOptions)
#include "TestStartOptions.moc"
