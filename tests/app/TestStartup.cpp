// The real program under a virtual X server: it starts with the settings of a prepared home, shows
// its main window under its caption, and on a window manager's close saves the settings and ends
// with exit code 0. The README's picture of the window is taken from it by a script that needs no display.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void startAndClose()
    {
        for (const char* tool : {"xvfb-run", "xauth", "python3"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        }
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const QString folder = home.filePath(QStringLiteral("Documents/Zovod"));
        QVERIFY(QDir().mkpath(folder));
        const QString settings = folder + QStringLiteral("/kelmtips.ini");
        {
            QFile file(settings);
            QVERIFY(file.open(QIODevice::WriteOnly));
            // Tips off, so no modal window stands in the way of the close.
            file.write("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nLeft=12\r\nTop=34\r\nData=FROM FILE\r\n"
                       "Checksum=1\r\n");
        }

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        if (!env.contains(QStringLiteral("ASAN_OPTIONS")))
            env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0")); // the X libraries' own
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(QStringLiteral("xvfb-run"),
                  {QStringLiteral("-a"), QStringLiteral("python3"), QStringLiteral(KELM_XWINDOW),
                   QStringLiteral("--title"), QStringLiteral("Tamrosks free bar code 3 of 9 utility"),
                   QStringLiteral("--timeout"), QStringLiteral("60"), QStringLiteral("--"),
                   QStringLiteral(KELM_EXECUTABLE)});
        QVERIFY(run.waitForFinished(90000));
        const QString out = QString::fromUtf8(run.readAllStandardOutput());
        QVERIFY2(run.exitCode() == 0, qPrintable(out + QString::fromUtf8(run.readAllStandardError())));
        QVERIFY2(out.contains(QStringLiteral("\nsize 465x382\n")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("\nexit 0\n")), qPrintable(out));

        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        for (const char* line :
             {"Enabled=0\r\n", "Left=12\r\n", "Top=34\r\n", "Data=FROM FILE\r\n", "Checksum=1\r\n", "Type=B\r\n",
              "PointSize=22\r\n", "FullASCII=0\r\n", "LabelExplain=1\r\n"})
            QVERIFY2(saved.contains(line), saved.constData());
    }

    // The README's screenshot script runs without a display and takes the real window with a bar code
    // made by Enter: the picture has the window's size and its bar code scans.
    void screenshotScript()
    {
        for (const char* tool : {"xvfb-run", "xauth", "xdotool", "zbarimg"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        }
        QTemporaryDir out;
        QVERIFY(out.isValid());
        const QString png = out.filePath(QStringLiteral("shots/main window.png"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("KELM_PYTHON"), QStringLiteral(KELM_PYTHON));
        if (!env.contains(QStringLiteral("ASAN_OPTIONS")))
            env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        QProcess run;
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QStringLiteral("bash"), {QStringLiteral(KELM_SCREENSHOT), QStringLiteral(KELM_EXECUTABLE), png,
                                           QStringLiteral("KELM-42")});
        QVERIFY(run.waitForFinished(90000));
        const QString log = QString::fromUtf8(run.readAll());
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, qPrintable(log));

        QFile file(png);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(log));
        const QByteArray head = file.read(24);
        QVERIFY(head.startsWith("\x89PNG\r\n\x1a\n"));
        const auto be32 = [&head](int at) { return qFromBigEndian<quint32>(head.constData() + at); };
        QCOMPARE(be32(16), 465u);
        QCOMPARE(be32(20), 382u);
        QProcess scan;
        scan.start(QStringLiteral("zbarimg"), {QStringLiteral("--quiet"), QStringLiteral("--raw"), png});
        QVERIFY(scan.waitForFinished(30000));
        QCOMPARE(scan.readAllStandardOutput(), QByteArray("KELM-42\n"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "TestStartup.moc"
