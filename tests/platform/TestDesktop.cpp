#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "platform/Recorder.h"

#include <QtTest>

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void settingsFileName_data()
    {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the program itself") << "/opt/kelm/bin/kelm"
                                            << "kelmtips.ini";
        QTest::newRow("a Windows name drops its extension") << "C:\\Tools\\X.exe"
                                                            << "Xtips.ini";
        QTest::newRow("only the last dot starts the extension") << "/a/b.c/my.prog.exe"
                                                                << "my.progtips.ini";
        QTest::newRow("a drive colon ends the folder part") << "D:kelm.exe"
                                                            << "kelmtips.ini";
        QTest::newRow("a dot in a folder name is not an extension") << "/x.y/kelm"
                                                                    << "kelmtips.ini";
    }
    void settingsFileName()
    {
        QFETCH(QString, exe);
        QFETCH(QString, expected);
        QCOMPARE(platform::SettingsFileName(exe), expected);
    }

    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "22" << true << 22;
        QTest::newRow("signed") << "-5" << true << -5;
        QTest::newRow("leading zeros") << "0036" << true << 36;
        QTest::newRow("letters") << "2x" << false << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("blank inside the text") << " 22" << false << 0;
        QTest::newRow("beyond 32 bits") << "99999999999" << false << 0;
    }
    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        try {
            QCOMPARE(platform::StrToInt(text), value);
            QVERIFY(valid);
        } catch (const platform::ConvertError& e) {
            QVERIFY(!valid);
            QCOMPARE(e.message(), QStringLiteral("''%1'' is not a valid integer value").arg(text));
        }
    }

    void standardErrorText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ends in a letter: dot added") << "Unable to write to /x/kelmtips.ini"
                                                     << "Unable to write to /x/kelmtips.ini.";
        QTest::newRow("ends in a dot: unchanged") << "Failed."
                                                  << "Failed.";
        QTest::newRow("ends in an apostrophe (39): unchanged")
            << "''x'' is not" + QString("''") << "''x'' is not''";
        QTest::newRow("ends in a slash (47): dot added") << "path/"
                                                         << "path/.";
    }
    void standardErrorText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        platform::Recorder recorder;
        platform::ShowStandardError(message);
        QCOMPARE(recorder.errors, QStringList{shown});
    }

    void recorderCatchesDesktopCalls()
    {
        platform::Recorder recorder;
        platform::ShellExecute(nullptr, "open", "zovod.chm", "", "");
        platform::MessageBeep();
        platform::ShowWarning(nullptr, {110, 120}, "Careful");
        QCOMPARE(recorder.shellCalls.size(), 1);
        QCOMPARE(recorder.shellCalls[0].file, QString("zovod.chm"));
        QCOMPARE(recorder.beeps, 1);
        QCOMPARE(recorder.warnings.size(), 1);
        QCOMPARE(recorder.warnings[0].topLeft, QPoint(110, 120));
    }
};

QTEST_MAIN(TestDesktop)
#include "TestDesktop.moc"
