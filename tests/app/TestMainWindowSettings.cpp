// The main window driven offscreen through its real controls. The settings file and the window's start: the help
// file and web page, what a run reads and writes byte for byte, the tips at start-up, an unwritable file, and the
// activation sequence.
#include "MainWindowDriver.h"
#include "app/AboutDialog.h"
#include "app/ClipboardWarning.h"
#include "app/Settings.h"
#include "app/TipDialog.h"
#include "app/Vendor.h"
#include "platform/Desktop.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

class TestMainWindowSettings : public QObject, private MainWindowDriver {
    Q_OBJECT
private slots:
    void initTestCase() { WindowFixture::initTestCase(); }
    void init() { WindowFixture::init(DataFolder::Missing); }
    void cleanup() { WindowFixture::cleanup(); }

    // ---- Help and the web page ----------------------------------------------------------------------

    void helpFileLocation_data()
    {
        QTest::addColumn<bool>("inCurrentFolder");
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("expectFullPath");
        // clang-format off
        QTest::newRow("in the current folder: the bare name") << true << false << false;
        QTest::newRow("in both: the current folder wins") << true << true << false;
        QTest::newRow("only beside the program: its full path") << false << true << true;
        QTest::newRow("nowhere: the bare name, the shell reports nothing") << false << false << false;
        // clang-format on
    }
    void helpFileLocation()
    {
        QFETCH(bool, inCurrentFolder);
        QFETCH(bool, besideProgram);
        QFETCH(bool, expectFullPath);
        const QString cwd = QDir::currentPath();
        const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath("zovod.chm");
        QTemporaryDir work;
        QDir::setCurrent(work.path());
        const auto restore = qScopeGuard([&] {
            QDir::setCurrent(cwd);
            QFile::remove(installed);
        });
        if (inCurrentFolder)
            QVERIFY(QFile(work.filePath("zovod.chm")).open(QIODevice::WriteOnly));
        if (besideProgram)
            QVERIFY(QFile(installed).open(QIODevice::WriteOnly));
        start();
        control<QPushButton>("helpButton")->click();
        QCOMPARE(recorder()->shellCalls.size(), 1);
        const platform::ShellCall call = recorder()->shellCalls[0];
        QCOMPARE(call.verb, QStringLiteral("open"));
        QCOMPARE(call.file, expectFullPath ? QDir::toNativeSeparators(installed) : QStringLiteral("zovod.chm"));
        QVERIFY(call.parameters.isEmpty() && call.directory.isEmpty() && call.hasOwner);
        QCOMPARE(focused(), input());
    }

    void f1_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("calls");
        // clang-format off
        QTest::newRow("in the data field") << "dataEdit" << int(Qt::NoModifier) << 1;
        QTest::newRow("with Shift") << "dataEdit" << int(Qt::ShiftModifier) << 1;
        QTest::newRow("with Ctrl and Alt") << "dataEdit" << int(Qt::ControlModifier | Qt::AltModifier) << 1;
        QTest::newRow("in another control") << "barCodeString" << int(Qt::NoModifier) << 0;
        // clang-format on
    }
    void f1()
    {
        QFETCH(QString, where);
        QFETCH(int, modifiers);
        QFETCH(int, calls);
        start();
        auto* target = control<QWidget>(where.toLatin1());
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(recorder()->shellCalls.size(), calls);
        if (calls)
            QCOMPARE(recorder()->shellCalls[0].file, QStringLiteral("zovod.chm"));
    }

    void webLink()
    {
        start();
        control<QCheckBox>("checksumBox")->setFocus();
        QTest::mouseClick(control<QLabel>("webLink"), Qt::LeftButton);
        QCOMPARE(recorder()->shellCalls.size(), 1);
        QCOMPARE(recorder()->shellCalls[0].verb, QString());
        QCOMPARE(recorder()->shellCalls[0].file, QString::fromLatin1(kelm::kTypefacePage));
        QVERIFY(recorder()->shellCalls[0].file.startsWith("https://www.tamrosk.example/"));
        QCOMPARE(focused(), input());
    }

    // ---- The settings file ----------------------------------------------------------------------------

    void settingsFileName_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("the program itself") << "/opt/kelm/bin/kelm" << "kelmtips.ini";
        QTest::newRow("a Windows name drops its extension") << "C:\\Tools\\X.exe" << "Xtips.ini";
        QTest::newRow("only the last dot starts the extension") << "/a/b.c/my.prog.exe" << "my.progtips.ini";
        QTest::newRow("a drive colon ends the folder part") << "D:kelm.exe" << "kelmtips.ini";
        QTest::newRow("a dot in a folder name is not an extension") << "/x.y/kelm" << "kelmtips.ini";
        // clang-format on
    }
    void settingsFileName()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QCOMPARE(kelm::SettingsFileName(program), expected);
    }

    // The whole file after a run, byte for byte: what the first run adds, what the close rewrites, and
    // every line the program does not own kept as it was. %1 and %2 stand for the window's corner.
    void savedFileBytes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        // clang-format off
        QTest::newRow("a first run records the defaults; the close writes the list's row")
            << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Sizes]\r\n1=a\r\n2=b\r\n3=c\r\n")
            << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Sizes]\r\n1=a\r\n2=b\r\n3=c\r\n[Settings]\r\n"
                          "Count=1\r\nLeft=%1\r\nTop=%2\r\nType=B\r\nFontSize=D\r\nPointSize=22\r\n"
                          "Data=ABCD4567\r\nChecksum=0\r\nFullASCII=0\r\nLabelSize=2\r\nLabelExplain=1\r\n");
        QTest::newRow("missing keys follow the last key, before a comment; other lines stay")
            << QByteArray("[Settings]\r\nData=OLD\r\n; note\r\n[TipoftheDay]\r\nEnabled=0\r\nPosition=3\r\n")
            << QByteArray("[Settings]\r\nData=OLD\r\nLeft=%1\r\nTop=%2\r\nType=B\r\nFontSize=D\r\n"
                          "PointSize=22\r\nChecksum=0\r\nFullASCII=0\r\nLabelSize=-1\r\nLabelExplain=1\r\n"
                          "; note\r\n[TipoftheDay]\r\nEnabled=0\r\nPosition=3\r\n");
        QTest::newRow("the Fill a Sheet window's sections are left as they are")
            << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[UserStocks]\r\nMine=mm 100 50 40 20 2 2 5 5 50 25\r\n"
                          "Gone=\r\n[PrinterOffsets]\r\nOffice=1.5 -0.5\r\n[FillSheet]\r\nStock=lb163\r\n")
            << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[UserStocks]\r\nMine=mm 100 50 40 20 2 2 5 5 50 25\r\n"
                          "Gone=\r\n[PrinterOffsets]\r\nOffice=1.5 -0.5\r\n[FillSheet]\r\nStock=lb163\r\n"
                          "[Settings]\r\nCount=1\r\nLeft=%1\r\nTop=%2\r\nType=B\r\nFontSize=D\r\n"
                          "PointSize=22\r\nData=ABCD4567\r\nChecksum=0\r\nFullASCII=0\r\nLabelSize=-1\r\n"
                          "LabelExplain=1\r\n");
        QTest::newRow("every key present: only the values change, in place")
            << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nCount=7\r\nLabelExplain=0\r\nLeft=1\r\n"
                          "Top=2\r\nType=A\r\nFontSize=D\r\nPointSize=36\r\nData=X\r\nChecksum=-1\r\n"
                          "FullASCII=0\r\nLabelSize=9\r\n")
            << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nCount=7\r\nLabelExplain=0\r\nLeft=%1\r\n"
                          "Top=%2\r\nType=A\r\nFontSize=D\r\nPointSize=36\r\nData=X\r\nChecksum=1\r\n"
                          "FullASCII=0\r\nLabelSize=-1\r\n");
        // clang-format on
    }
    void savedFileBytes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        installSettings(before);
        start();
        window().close();
        QVERIFY(recorder()->errors.isEmpty());
        const QPoint at = window().pos();
        QCOMPARE(fileBytes(), QString::fromLatin1(after).arg(at.x()).arg(at.y()).toLatin1());
    }

    void firstRunWritesTheDefaults()
    {
        installSettings(
            "[TipoftheDay]\r\nEnabled=0\r\nMaximum=3\r\n[Sizes]\r\na=one\r\nb=two\r\nc=three\r\nd=four\r\n");
        start();
        const QPoint at = window().pos();
        QCOMPARE(section("Settings"),
                 (QStringList{"Count=1", QStringLiteral("Left=%1").arg(at.x()),
                              QStringLiteral("Top=%1").arg(at.y()), "Type=B", "FontSize=D", "PointSize=22",
                              "Data=ABCD4567", "Checksum=0", "FullASCII=0", "LabelSize=4", "LabelExplain=1"}));
        // The controls keep their design values and the label list the row chosen after reading it.
        QCOMPARE(labelList()->count(), 4);
        QCOMPARE(labelList()->currentIndex(), 2);
        QCOMPARE(input()->text(), QStringLiteral("ABCD4567"));
        QVERIFY(!control<QCheckBox>("tipsAtStartBox")->isChecked());
        QVERIFY(recorder()->warnings.isEmpty() && recorder()->errors.isEmpty());
    }

    void loadAndSave_data()
    {
        QTest::addColumn<QByteArray>("settings"); // the [Settings] section's lines
        QTest::addColumn<bool>("withSizes");      // five label rows, "10" a two-character key
        QTest::addColumn<bool>("textBelow");
        QTest::addColumn<QString>("pointSizeText");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<int>("labelRow");
        QTest::addColumn<bool>("explain");
        QTest::addColumn<QString>("savedType");

        // clang-format off
        QTest::newRow("every key read")
            << QByteArray("Left=40\r\nTop=50\r\nType=A\r\nFontSize=D\r\nPointSize=36\r\nData=XYZ\r\n"
                          "Checksum=1\r\nFullASCII=1\r\nLabelSize=1\r\nLabelExplain=0\r\n") << true << false
            << "36" << "XYZ" << true << true << 1 << false << "A";
        QTest::newRow("Type b is not B: text above, saved as A") << QByteArray("Type=b\r\n") << true << false
            << "22" << "ABCD4567" << false << false << 4 << true << "A";
        QTest::newRow("FontSize A still selects D") << QByteArray("FontSize=A\r\n") << true << true << "22"
            << "ABCD4567" << false << false << 4 << true << "B";
        QTest::newRow("missing keys give their defaults") << QByteArray("Data=ONLY\r\n") << true << true << "22"
            << "ONLY" << false << false << 4 << true << "B";
        QTest::newRow("data with outer quotes and blanks reads back and is saved as typed")
            << QByteArray("Data=\"\"  QUOTED  \"\"\r\n") << true << true << "22" << "\"  QUOTED  \"" << false
            << false << 4 << true << "B";
        QTest::newRow("data beyond a read's 2,047 characters stays whole")
            << QByteArray("Data=" + QByteArray(3000, 'V') + "\r\n") << true << true << "22" << QString(3000, u'V')
            << false << false << 4 << true << "B";
        QTest::newRow("no Sizes: no row to select") << QByteArray("LabelSize=1\r\n") << false << true << "22"
            << "ABCD4567" << false << false << -1 << true << "B";
        QTest::newRow("LabelSize beyond the rows selects none") << QByteArray("LabelSize=9\r\n") << true << true
            << "22" << "ABCD4567" << false << false << -1 << true << "B";
        QTest::newRow("a size that is no number is put in as it stands, without an error")
            << QByteArray("PointSize=big\r\n") << true << true << "big" << "ABCD4567" << false << false << 4
            << true << "B";
        QTest::newRow("any non-zero number is true") << QByteArray("Checksum=-7\r\nFullASCII=0x10\r\n") << true
            << true << "22" << "ABCD4567" << true << true << 4 << true << "B";
        // clang-format on
    }
    void loadAndSave()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, withSizes);
        QFETCH(bool, textBelow);
        QFETCH(QString, pointSizeText);
        QFETCH(QString, data);
        QFETCH(bool, checksum);
        QFETCH(bool, fullAscii);
        QFETCH(int, labelRow);
        QFETCH(bool, explain);
        QFETCH(QString, savedType);
        QByteArray file = "[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\n" + settings;
        if (withSizes)
            file += "[Sizes]\r\n1=first\r\n2=second\r\n10=third\r\n4=fourth\r\n5=fifth\r\n";
        installSettings(file);
        start();

        QVERIFY(recorder()->errors.isEmpty() && recorder()->warnings.isEmpty());
        QCOMPARE(control<QRadioButton>("textBelowButton")->isChecked(), textBelow);
        QCOMPARE(control<QRadioButton>("textAboveButton")->isChecked(), !textBelow);
        QVERIFY(control<QRadioButton>("sizeLetterD")->isChecked());
        QCOMPARE(pointSize()->currentText(), pointSizeText);
        QCOMPARE(input()->text(), data);
        QCOMPARE(input()->selectedText(), data);
        QCOMPARE(control<QCheckBox>("checksumBox")->isChecked(), checksum);
        QCOMPARE(control<QCheckBox>("fullAsciiBox")->isChecked(), fullAscii);
        QCOMPARE(control<QPushButton>("insertButton")->isVisible(), fullAscii);
        QCOMPARE(control<QComboBox>("controlCharacterList")->isVisible(), fullAscii);
        QCOMPARE(labelList()->currentIndex(), labelRow);
        QCOMPARE(explainBox()->isChecked(), explain);
        if (withSizes)
            QCOMPARE(labelList()->itemText(2), QStringLiteral("=third"));
        else
            QCOMPARE(labelList()->currentText(), QStringLiteral("ComboBox1")); // the list's design text stays
        QCOMPARE(focused(), input());

        window().close();
        QVERIFY(recorder()->errors.isEmpty());
        const auto saved = keys("Settings");
        QCOMPARE(saved.value("Type"), savedType);
        QCOMPARE(saved.value("FontSize"), QStringLiteral("D"));
        QCOMPARE(saved.value("PointSize"), pointSizeText);
        QCOMPARE(platform::ReadText("Settings", "Data", QString(), settingsFile()), data);
        QCOMPARE(saved.value("Checksum"), checksum ? "1" : "0");
        QCOMPARE(saved.value("FullASCII"), fullAscii ? "1" : "0");
        QCOMPARE(saved.value("LabelSize"), QString::number(labelRow));
        QCOMPARE(saved.value("LabelExplain"), explain ? "1" : "0");
        QCOMPARE(saved.value("Left"), QString::number(window().x()));
        QCOMPARE(saved.value("Top"), QString::number(window().y()));
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("0"));
    }

    void windowPosition_data()
    {
        constexpr QSize kFrame(469, 386); // the design's client area, its border and the test frame
        constexpr int kTitleBarRoom = 22; // a title bar's 24 pixels less the test frame's top
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QPoint>("placed"); // where the window stands and what the close writes back
        const QPoint corner(800 - kFrame.width(), 800 - kFrame.height());
        // clang-format off
        // The test screen is 800 x 800 and adds a two-pixel frame each side: a window partly or wholly off
        // it comes back wholly onto it, with room above for a title bar.
        QTest::newRow("on the screen") << QByteArray("Left=40\r\nTop=50\r\n") << QPoint(40, 50);
        QTest::newRow("partly off the screen: wholly back on") << QByteArray("Left=600\r\nTop=500\r\n") << corner;
        QTest::newRow("far right and below: back to the corner") << QByteArray("Left=90000\r\nTop=70000\r\n")
            << corner;
        QTest::newRow("far left: back to the left edge") << QByteArray("Left=-5000\r\nTop=300\r\n")
            << QPoint(0, 300);
        QTest::newRow("above the screen: down to its top, a title bar's room below it")
            << QByteArray("Left=40\r\nTop=-10\r\n") << QPoint(40, kTitleBarRoom);
        QTest::newRow("at the int limit: no wrap, back on the screen")
            << QByteArray("Left=2147483647\r\nTop=2147483647\r\n") << corner;
        QTest::newRow("at the lower int limit") << QByteArray("Left=-2147483648\r\nTop=-2147483648\r\n")
            << QPoint(0, kTitleBarRoom);
        // clang-format on
    }
    void windowPosition()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QPoint, placed);
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\n" + settings);
        start();
        QCOMPARE(window().pos(), placed);
        window().close();
        const auto saved = keys("Settings");
        QCOMPARE(QPoint(saved.value("Left").toInt(), saved.value("Top").toInt()), placed);
    }

    void userChangesAreSaved()
    {
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nData=OLD\r\n");
        start();
        QTest::keyClicks(input(), "NEW 1");
        control<QRadioButton>("textAboveButton")->click();
        control<QCheckBox>("checksumBox")->click();
        window().close();
        const auto saved = keys("Settings");
        QCOMPARE(saved.value("Data"), QStringLiteral("NEW 1")); // typing replaced the selected data
        QCOMPARE(saved.value("Type"), QStringLiteral("A"));
        QCOMPARE(saved.value("Checksum"), QStringLiteral("1"));
    }

    void tipChoiceIsWrittenAtOnce()
    {
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nData=X\r\n");
        start();
        auto* box = control<QCheckBox>("tipsAtStartBox");
        box->click();
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("1"));
        QCOMPARE(focused(), input());
        box->click();
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("0"));
    }

    void tipWindowAtStartUp()
    {
        installSettings("[TipoftheDay]\r\nEnabled=1\r\n[Settings]\r\nLeft=30\r\nTop=60\r\n");
        QWidget* shown = nullptr;
        QPoint mainAt;
        closeNextModal([&](QWidget* modal) {
            shown = modal;
            mainAt = window().pos();
        });
        window().show(); // the window is not reactivated when the tips close offscreen: no wait for that
        QTRY_VERIFY(shown);
        QCOMPARE(shown, static_cast<QWidget*>(&window().tipDialog()));
        QCOMPARE(mainAt, QPoint(30, 60)); // moved to its place before the tips show
        QCOMPARE(focused(), input());
        QCOMPARE(input()->selectedText(), QStringLiteral("ABCD4567"));
    }

    void missingTipsSection()
    {
        installSettings("[Settings]\r\nData=UNREAD\r\n[Sizes]\r\na=one\r\nb=two\r\nc=three\r\n");
        const QByteArray before = fileBytes();
        start();
        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(recorder()->warnings[0].text,
                 QStringLiteral("The Tip-of-the-Day file could not be found! Please re-install this product."));
        QCOMPARE(recorder()->warnings[0].topLeft, window().pos() + QPoint(100, 100));
        QCOMPARE(labelList()->count(), 3); // the sizes are read all the same
        QCOMPARE(input()->text(), QStringLiteral("ABCD4567"));
        QCOMPARE(fileBytes(), before);
        window().close();
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("1"));
        QCOMPARE(keys("Settings").value("Data"), QStringLiteral("ABCD4567"));
    }

    void unwritableFileStillCloses()
    {
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nData=KEPT\r\n");
        start();
        const QByteArray before = fileBytes();
        QVERIFY(QFile::setPermissions(settingsFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        control<QCheckBox>("tipsAtStartBox")->click();
        QCOMPARE(recorder()->errors, QStringList{"Unable to write to " + settingsFile() + "."});
        recorder()->errors.clear();
        input()->setText("LOST");
        QVERIFY(window().close());
        QVERIFY(!window().isVisible());
        QCOMPARE(recorder()->errors, QStringList{"Unable to write to " + settingsFile() + "."});
        QCOMPARE(fileBytes(), before);
    }

    // ---- Activation -----------------------------------------------------------------------------------

    void activationSetsTheWindowUp()
    {
        start();
        QCOMPARE(window().windowTitle(), QStringLiteral("Tamrosks free bar code 3 of 9 utility"));
        QCOMPARE(child<QLabel>(&window().aboutDialog(), "versionLink")->text(), QStringLiteral("V4.2"));
        QCOMPARE(control<QLabel>("makerNotice")->toolTip(), QStringLiteral("Version 4.2"));
        QCOMPARE(control<QLabel>("makerNotice")->toolTipDuration(), 6000);
        QCOMPARE(control<QPushButton>("makeButton")->toolTipDuration(), 6000);
        QVERIFY(child<QCheckBox>(&window().clipboardWarning(), "dontWarnAgainBox")->isHidden());
        QVERIFY(!control<QPushButton>("insertButton")->isVisible());
        QVERIFY(!control<QComboBox>("controlCharacterList")->isVisible());
        QCOMPARE(input()->selectedText(), QStringLiteral("ABCD4567"));
        QCOMPARE(focused(), input());
        QCOMPARE(window().size(), QSize(449 + 16, 366 + 16));
    }

    void selectionSurvivesOtherControls()
    {
        start();
        control<QCheckBox>("checksumBox")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(input()->selectedText(), QStringLiteral("ABCD4567"));
        input()->setFocus(Qt::TabFocusReason);
        input()->setSelection(0, 2);
        output()->setFocus(Qt::TabFocusReason);
        input()->setFocus(Qt::BacktabFocusReason); // no select-all on entry
        QCOMPARE(input()->selectedText(), QStringLiteral("AB"));
    }

    void missingDataFolder_data()
    {
        QTest::addColumn<bool>("beyondPathLimit");
        // clang-format off
        QTest::newRow("no folder") << false;
        QTest::newRow("a folder whose settings path passes 260 characters") << true;
        // clang-format on
    }
    void missingDataFolder()
    {
        QFETCH(bool, beyondPathLimit);
        QString deepHome = home();
        // Deep enough that the folder fits the limit but the settings file in it does not.
        while (beyondPathLimit && deepHome.size() < 232)
            deepHome += QStringLiteral("/d");
        useHome(deepHome, WindowFixture::DataFolder::Missing);
        const QString folder = deepHome + QStringLiteral("/Documents/Zovod/");
        if (beyondPathLimit) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(platform::FitsPathLimit(folder));
            QVERIFY(!platform::FitsPathLimit(folder + WindowFixture::kSettingsFileName));
        }
        start();
        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(recorder()->warnings[0].text,
                 QStringLiteral("The folder %1 is missing, please re-install this product.").arg(folder));
        QCOMPARE(recorder()->warnings[0].topLeft, window().pos() + QPoint(100, 100));
        QVERIFY(window().settingsFilePath().isEmpty());
        control<QCheckBox>("tipsAtStartBox")->click();
        window().close();
        QVERIFY(recorder()->errors.isEmpty());
        // Nothing read, nothing written: the home holds no more than the test put there.
        QDirIterator files(home(), QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(!files.hasNext());
    }

    void activationRunsOnce()
    {
        start();
        QCOMPARE(recorder()->warnings.size(), 1);
        input()->setText("TYPED");

        // After a modal window...
        closeNextModal();
        control<QToolButton>("aboutButton")->click();
        QCOMPARE(focused(), input());
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        // ...and after another window had the focus.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));

        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(input()->text(), QStringLiteral("TYPED"));
    }
};

QTEST_MAIN(TestMainWindowSettings)
#include "TestMainWindowSettings.moc"
