// The real program under a virtual X server: it starts with the settings of a prepared home, shows
// its main window under its caption, and on a window manager's close saves the settings and ends
// with exit code 0. The README's picture of the window is taken from it by a script that needs no display.
#include "support/Files.h"
#include "support/Pictures.h"
#include "support/Programs.h"
#include "support/Requirements.h"
#include "support/TemporaryHome.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void startAndClose()
    {
        SKIP_WITHOUT_PROGRAMS("xvfb-run", "xauth", "python3");
        const support::TemporaryHome home;
        QVERIFY(home.isValid());
        const QString folder = home.filePath(QStringLiteral("Documents/Zovod"));
        QVERIFY(QDir().mkpath(folder));
        const QString settings = folder + QStringLiteral("/kelmtips.ini");
        // Tips off, so no modal window stands in the way of the close.
        QVERIFY(support::WriteFile(settings, "[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nLeft=12\r\nTop=34\r\n"
                                             "Data=FROM FILE\r\nChecksum=1\r\n"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        if (!env.contains(QStringLiteral("ASAN_OPTIONS")))
            env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0")); // the X libraries' own
        const support::ProgramRun run = support::RunProgram(
            QStringLiteral("xvfb-run"),
            {QStringLiteral("-a"), QStringLiteral("python3"), QStringLiteral(KELM_XWINDOW),
             QStringLiteral("--title"), QStringLiteral("Tamrosks free bar code 3 of 9 utility"),
             QStringLiteral("--timeout"), QStringLiteral("60"), QStringLiteral("--"),
             QStringLiteral(KELM_EXECUTABLE)},
            {.environment = env, .timeoutSeconds = 90});
        const QString out = QString::fromUtf8(run.out);
        QVERIFY2(run.status == 0, qPrintable(out + QString::fromUtf8(run.err)));
        QVERIFY2(out.contains(QStringLiteral("\nsize 465x382\n")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("\nexit 0\n")), qPrintable(out));

        const QByteArray saved = support::ReadFile(settings);
        for (const char* line :
             {"Enabled=0\r\n", "Left=12\r\n", "Top=34\r\n", "Data=FROM FILE\r\n", "Checksum=1\r\n", "Type=B\r\n",
              "PointSize=22\r\n", "FullASCII=0\r\n", "LabelExplain=1\r\n"})
            QVERIFY2(saved.contains(line), saved.constData());
    }

    // The README's screenshot script runs without a display and takes the real window with a bar code
    // made by Enter: the picture has the window's size and its bar code scans.
    void screenshotScript()
    {
        SKIP_WITHOUT_PROGRAMS("xvfb-run", "xauth", "xdotool", "zbarimg");
        QTemporaryDir out;
        QVERIFY(out.isValid());
        const QString png = out.filePath(QStringLiteral("shots/main window.png"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("KELM_PYTHON"), QStringLiteral(KELM_PYTHON));
        if (!env.contains(QStringLiteral("ASAN_OPTIONS")))
            env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        const support::ProgramRun run = support::RunProgram(
            QStringLiteral("bash"),
            {QStringLiteral(KELM_SCREENSHOT), QStringLiteral(KELM_EXECUTABLE), png, QStringLiteral("KELM-42")},
            {.environment = env, .mergeChannels = true, .timeoutSeconds = 90});
        const QString log = QString::fromUtf8(run.out + run.err);
        QVERIFY2(run.status == 0, qPrintable(log));

        const QByteArray head = support::ReadFile(png).left(24);
        QVERIFY2(head.startsWith("\x89PNG\r\n\x1a\n"), qPrintable(log));
        const auto be32 = [&head](int at) { return qFromBigEndian<quint32>(head.constData() + at); };
        QCOMPARE(be32(16), 465u);
        QCOMPARE(be32(20), 382u);
        QCOMPARE(support::DecodeFile(png), QStringList{"KELM-42"});
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "TestStartup.moc"
