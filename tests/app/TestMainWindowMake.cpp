// The main window driven offscreen through its real controls. Make and its notices, the Full ASCII controls, and
// the style and point size of the preview.
#include "MainWindowDriver.h"
#include "TextRuns.h"
#include "app/LabelDialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestMainWindowMake : public QObject, private MainWindowDriver {
    Q_OBJECT
    using MainWindowDriver::make; // beside the test function make()

private slots:
    void initTestCase() { WindowFixture::initTestCase(); }
    void init() { WindowFixture::init(DataFolder::Missing); }
    void cleanup() { WindowFixture::cleanup(); }

    // ---- Make ---------------------------------------------------------------------------------------

    void make_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("barCode"); // the string box after success, empty on failure
        QTest::addColumn<QString>("notice");  // the preview's message on failure
        QTest::addColumn<double>("applied");  // the preview's point size on success

        const auto illegal = [](const QString& c) {
            return QStringLiteral("Error: input character \"%1\" not legal in bar code 3 of 9").arg(c);
        };
        const QString none = QStringLiteral("Error:- no input data");
        // clang-format off
        QTest::newRow("default data") << "ABCD4567" << false << false << "22" << "*ABCD4567*" << QString() << 22.0;
        QTest::newRow("check character P") << "ABCD4567" << false << true << "22" << "*ABCD4567P*" << QString()
            << 22.0;
        QTest::newRow("check sum over the expanded +A: 51 mod 43 = 8") << "a" << true << true << "22" << "*+A8*"
            << QString() << 22.0;
        QTest::newRow("a space becomes the typeface's ~") << "A B" << false << false << "22" << "*A~B*"
            << QString() << 22.0;
        QTest::newRow("small letters need Full ASCII") << "abc" << false << false << "22" << QString()
            << illegal("a") << 0.0;
        QTest::newRow("the asterisk is the start/stop character") << "A*B" << false << false << "22" << QString()
            << illegal("*") << 0.0;
        QTest::newRow("a caret needs Full ASCII") << "A^M" << false << false << "22" << QString() << illegal("^")
            << 0.0;
        QTest::newRow("Full ASCII small letters") << "a b" << true << false << "22" << "*+A~+B*" << QString()
            << 22.0;
        QTest::newRow("caret letter") << "^M" << true << false << "22" << "*$M*" << QString() << 22.0;
        QTest::newRow("caret 0 is NUL") << "^0" << true << false << "22" << "*%U*" << QString() << 22.0;
        QTest::newRow("caret 7 is ESC") << "^7" << true << false << "22" << "*%A*" << QString() << 22.0;
        QTest::newRow("a final caret is refused") << "A^" << true << false << "22" << QString() << illegal("^")
            << 0.0;
        QTest::newRow("caret small letter") << "^a" << true << false << "22" << QString() << illegal("a") << 0.0;
        QTest::newRow("caret caret") << "^^" << true << false << "22" << QString() << illegal("^") << 0.0;
        QTest::newRow("a character beyond ASCII is refused, not dropped") << QStringLiteral("GRÖSSE-17") << true
            << false << "22" << QString() << illegal(QStringLiteral("Ö")) << 0.0;
        QTest::newRow("empty, plain") << "" << false << false << "22" << QString() << none << 0.0;
        QTest::newRow("empty, Full ASCII") << "" << true << false << "22" << QString() << none << 0.0;
        QTest::newRow("size 5 applies as it is") << "A" << false << false << "5" << "*A*" << QString() << 5.0;
        QTest::newRow("size 0 applies as the smallest, 1") << "A" << false << false << "0" << "*A*" << QString()
            << 1.0;
        QTest::newRow("negative size applies as 1") << "A" << false << false << "-40" << "*A*" << QString() << 1.0;
        QTest::newRow("huge size applies as the largest, 1638") << "A" << false << false << "99999" << "*A*"
            << QString() << 1638.0;
        QTest::newRow("1638 as it is") << "A" << false << false << "1638" << "*A*" << QString() << 1638.0;
        // clang-format on
    }
    void make()
    {
        QFETCH(QString, data);
        QFETCH(bool, fullAscii);
        QFETCH(bool, checksum);
        QFETCH(QString, size);
        QFETCH(QString, barCode);
        QFETCH(QString, notice);
        QFETCH(double, applied);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(fullAscii);
        control<QCheckBox>("checksumBox")->setChecked(checksum);
        setPointSizeQuietly(size);
        control<QWidget>("checksumBox")->setFocus(); // anything but the data field
        make(data);

        QCOMPARE(focused(), input());
        QVERIFY(recorder()->errors.isEmpty());
        if (barCode.isEmpty()) {
            verifyNotice(notice);
            QCOMPARE(window().barCodeMade(), false);
            return;
        }
        QCOMPARE(output()->text(), barCode);
        QCOMPARE(RunsOf(preview()->document()), (QList<TextRun>{{barCode + "  ", kLo, applied}}));
        QCOMPARE(window().barCodeMade(), true);
        QCOMPARE(recorder()->beeps, 0);
        QCOMPARE(window().previewText(), barCode + "  ");
    }

    void sizeThatIsNoNumberChangesNothing_data()
    {
        QTest::addColumn<bool>("madeBefore");
        // clang-format off
        QTest::newRow("after a bar code") << true;
        QTest::newRow("before any bar code") << false;
        // clang-format on
    }
    void sizeThatIsNoNumberChangesNothing()
    {
        QFETCH(bool, madeBefore);
        start();
        if (madeBefore)
            make("OLD");
        const QList<TextRun> previewBefore = RunsOf(preview()->document());
        const QString outBefore = output()->text();
        setPointSizeQuietly("2x");
        make("NEW");
        QCOMPARE(recorder()->errors, QStringList{"''2x'' is not a valid integer value."});
        QCOMPARE(RunsOf(preview()->document()), previewBefore);
        QCOMPARE(output()->text(), outBefore);
        QCOMPARE(window().barCodeMade(), madeBefore);
        QCOMPARE(recorder()->beeps, 0);
    }

    // ---- Notices of the other buttons ----------------------------------------------------------------

    void noticesBeforeMake_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<bool>("failedMake"); // a good bar code first, then a failed Make
        const QString copy = QStringLiteral("Nothing to copy to clip board");
        const QString sample = QStringLiteral("Must click \"Make a bar code\" before printing");
        const QString labels = QStringLiteral("Make a bar code before printing labels");
        const QString saveAs = QStringLiteral("Make a bar code before saving it");
        // clang-format off
        QTest::newRow("Copy") << "copyButton" << copy << false;
        QTest::newRow("Print Sample") << "printSampleButton" << sample << false;
        QTest::newRow("Print Labels") << "printLabelsButton" << labels << false;
        QTest::newRow("Copy after a failed Make") << "copyButton" << copy << true;
        QTest::newRow("Print Sample after a failed Make") << "printSampleButton" << sample << true;
        QTest::newRow("Print Labels after a failed Make") << "printLabelsButton" << labels << true;
        QTest::newRow("Save As by Ctrl+S") << "Ctrl+S" << saveAs << false;
        QTest::newRow("Save As from the preview's menu after a failed Make") << "menu" << saveAs << true;
        // clang-format on
    }
    void noticesBeforeMake()
    {
        QFETCH(QString, button);
        QFETCH(QString, notice);
        QFETCH(bool, failedMake);
        start();
        if (failedMake) {
            make("ABC");
            make("abc");
            recorder()->beeps = 0;
        }
        output()->setText("stale");
        QGuiApplication::clipboard()->setText("untouched");
        recorder()->saveFileName = home() + "/never.png";
        saveAsBy(button);
        verifyNotice(notice);
        QCOMPARE(focused(), input());
        QCOMPARE(window().barCodeMade(), false);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
        QCOMPARE(recorder()->printDialogs, 0);
        QVERIFY(recorder()->saveFileCalls.isEmpty());
        QVERIFY(!QFile::exists(recorder()->saveFileName));
    }

    void printLabelsOpensTheDialogAfterMake()
    {
        start();
        make("ABC");
        bool shown = false;
        QTimer::singleShot(0, &window().labelDialog(), [this, &shown] {
            shown = window().labelDialog().isVisible();
            window().labelDialog().close();
        });
        control<QPushButton>("printLabelsButton")->click();
        QVERIFY(shown);
        QCOMPARE(recorder()->beeps, 0);
    }

    // ---- Full ASCII controls --------------------------------------------------------------------------

    void insertListEntries_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caretCode");
        QTest::addColumn<QString>("pair");
        const QStringList names = {"Null", "Bell", "Tab", "Line Feed", "Form Feed", "Carriage Return", "Escape"};
        const QStringList codes = {"^0", "^G", "^I", "^J", "^L", "^M", "^1"};
        const QStringList pairs = {"%U", "$G", "$I", "$J", "$L", "$M", "%A"};
        for (int i = 0; i < names.size(); ++i)
            // clang-format off
            QTest::newRow(qPrintable(names[i])) << i << codes[i] << pairs[i];
        const QString letters = QStringLiteral("ABCDEFHKNPQRSTUVWXYZ");
        for (int i = 0; i < letters.size(); ++i)
            QTest::newRow(qPrintable(QStringLiteral("Ctrl-") + letters[i])) << int(names.size() + i)
                << QStringLiteral("^") + letters[i] << QStringLiteral("$") + letters[i];
        // clang-format on
    }
    void insertListEntries()
    {
        QFETCH(int, row);
        QFETCH(QString, caretCode);
        QFETCH(QString, pair);
        start();
        auto* list = control<QComboBox>("controlCharacterList");
        QCOMPARE(list->count(), 27);
        control<QCheckBox>("fullAsciiBox")->setChecked(true);
        input()->setText("AB");
        input()->setCursorPosition(0); // the code goes to the end whatever the caret position
        list->setCurrentIndex(row);
        control<QPushButton>("insertButton")->click();
        QCOMPARE(input()->text(), "AB" + caretCode);
        QCOMPARE(focused(), input());
        QCOMPARE(window().barCodeMade(), false); // Insert does not make
        control<QPushButton>("makeButton")->click();
        QCOMPARE(output()->text(), "*AB" + pair + "*");
    }

    void insertTypedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("appended");
        // clang-format off
        QTest::newRow("the initial choice is Tab") << QString() << "^I";
        QTest::newRow("names match case-sensitively") << "Ctrl-g" << "";
        QTest::newRow("only the sixth character counts") << "xxxxxQ" << "^Q";
        QTest::newRow("Ctrl-O does not exist") << "Ctrl-O" << "";
        QTest::newRow("Ctrl-M is offered only by its name") << "Ctrl-M" << "";
        QTest::newRow("a short text matching no name adds nothing") << "tab" << "";
        QTest::newRow("an emptied box adds nothing") << "" << "";
        // clang-format on
    }
    void insertTypedText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, appended);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(true);
        auto* list = control<QComboBox>("controlCharacterList");
        if (QTest::currentDataTag() != QLatin1String("the initial choice is Tab"))
            list->setEditText(typed);
        QCOMPARE(list->currentText(), typed.isNull() ? QStringLiteral("Tab") : typed);
        input()->setText("ABC");
        control<QPushButton>("insertButton")->click();
        QCOMPARE(input()->text(), "ABC" + appended);
        QVERIFY(recorder()->errors.isEmpty());
        QCOMPARE(recorder()->beeps, 0);
        QCOMPARE(focused(), input());
    }

    void enterLeavesTheListsAlone_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("entries");
        // clang-format off
        QTest::newRow("a size that waits for more") << "pointSizeBox" << "17" << 10;
        QTest::newRow("a control name that matches none") << "controlCharacterList" << "Ctrl-g" << 27;
        // clang-format on
    }
    void enterLeavesTheListsAlone()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, entries);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(true);
        auto* combo = control<QComboBox>(box.toLatin1());
        combo->setFocus();
        combo->clearEditText();
        QTest::keyClicks(combo, typed);
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(combo->count(), entries);
        QCOMPARE(combo->currentText(), typed);
    }

    void insertWithoutFullAscii()
    {
        start();
        make("ABC");
        auto* button = control<QPushButton>("insertButton");
        control<QCheckBox>("fullAsciiBox")->setFocus();
        window().insertControlCharacter(); // the button is hidden, so the handler is reached directly
        QCOMPARE(input()->text(), QStringLiteral("ABC"));
        verifyNotice(QStringLiteral("Must be in Full ASCII mode to enter control characters"));
        QCOMPARE(window().barCodeMade(), true);
        QCOMPARE(focused(), control<QWidget>("fullAsciiBox"));
        QVERIFY(!button->isVisible());
    }

    void fullAsciiSwitchShowsAndHidesInsert()
    {
        start();
        auto* box = control<QCheckBox>("fullAsciiBox");
        auto* insert = control<QPushButton>("insertButton");
        auto* list = control<QComboBox>("controlCharacterList");
        QVERIFY(!insert->isVisible() && !list->isVisible());
        box->click();
        QVERIFY(insert->isVisible() && list->isVisible());
        QCOMPARE(focused(), input());
        input()->setText("A");
        insert->click();
        box->click();
        QVERIFY(!insert->isVisible() && !list->isVisible());
        QCOMPARE(input()->text(), QStringLiteral("A^I")); // the codes stay...
        make(input()->text());
        QCOMPARE(preview()->toPlainText(),
                 QStringLiteral("Error: input character \"^\" not legal in bar code 3 of 9")); // ...and fail
    }

    // ---- Style and point size --------------------------------------------------------------------------

    void restyleAfterMake()
    {
        start();
        make("ABCD4567");
        pointSize()->setCurrentIndex(pointSize()->findText("36"));
        QCOMPARE(RunsOf(preview()->document()),
                 (QList<TextRun>{{"*ABCD4567*", kLo, 36}, {"  ", kLo, 22}})); // trailing spaces keep Make's size
        QCOMPARE(focused(), input());
        control<QRadioButton>("textAboveButton")->click();
        QCOMPARE(RunsOf(preview()->document()), (QList<TextRun>{{"*ABCD4567*", kUp, 36}, {"  ", kLo, 22}}));
        QCOMPARE(output()->text(), QStringLiteral("*ABCD4567*"));
        QCOMPARE(focused(), input());
    }

    void sizeLetterStaysChosen_data()
    {
        QTest::addColumn<QString>("style");
        // clang-format off
        QTest::newRow("with text below") << "textBelowButton";
        QTest::newRow("with text above") << "textAboveButton";
        // clang-format on
    }
    void sizeLetterStaysChosen()
    {
        QFETCH(QString, style);
        start();
        control<QRadioButton>(style.toLatin1())->click();
        auto* letter = control<QRadioButton>("sizeLetterD");
        letter->click();
        QVERIFY(letter->isChecked());
        QVERIFY(control<QRadioButton>(style.toLatin1())->isChecked());
        // The arrow keys move within the style group, not from the size letter into it.
        letter->setFocus(Qt::TabFocusReason);
        QTest::keyClick(letter, Qt::Key_Left);
        QVERIFY(letter->isChecked());
        QVERIFY(control<QRadioButton>(style.toLatin1())->isChecked());
    }

    void tabOrder_data()
    {
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QStringList>("visited"); // from the data field on
        // Leaving the point size box hands the focus back to the data field.
        const QStringList options = {"printSampleButton", "copyButton",  "makeButton",
                                     "textBelowButton",   "sizeLetterD", "pointSizeBox"};
        const QStringList plain = QStringList{"dataEdit", "barCodeString", "preview"} + options;
        const QStringList full =
            QStringList{"dataEdit", "barCodeString", "controlCharacterList", "preview", "insertButton"} + options;
        // clang-format off
        QTest::newRow("twice round, Full ASCII off") << false << false << plain + plain + QStringList{"dataEdit"};
        QTest::newRow("twice round, Full ASCII on") << true << false << full + full + QStringList{"dataEdit"};
        QTest::newRow("backwards") << false << true
            << QStringList{"dataEdit", "printLabelsButton", "tipsAtStartBox", "fullAsciiBox", "checksumBox",
                           "helpButton", "pointSizeBox", "dataEdit"};
        // clang-format on
    }
    void tabOrder()
    {
        QFETCH(bool, fullAscii);
        QFETCH(bool, backwards);
        QFETCH(QStringList, visited);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(fullAscii);
        input()->setFocus();
        QStringList seen{focused()->objectName()};
        while (seen.size() < visited.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
            seen << focused()->objectName();
        }
        QCOMPARE(seen, visited);
    }

    void typingASize_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("focusLeaves");
        // clang-format off
        QTest::newRow("one character waits") << "1" << 22.0 << false;
        QTest::newRow("below 18 waits") << "12" << 22.0 << false;
        QTest::newRow("120 applies at the third digit") << "120" << 120.0 << true;
        QTest::newRow("200 applies already at 20") << "20" << 20.0 << true;
        // clang-format on
    }
    void typingASize()
    {
        QFETCH(QString, typed);
        QFETCH(double, size);
        QFETCH(bool, focusLeaves);
        start();
        make("AB");
        pointSize()->setFocus();
        pointSize()->clearEditText();
        QTest::keyClicks(pointSize(), typed);
        QCOMPARE(RunsOf(preview()->document()).value(0).size, size);
        QCOMPARE(focused(), focusLeaves ? static_cast<QWidget*>(input()) : pointSize());
    }

    void leavingTheSizeBoxApplies()
    {
        start();
        make("AB");
        setPointSizeQuietly("9");
        pointSize()->setFocus();
        control<QCheckBox>("checksumBox")->setFocus(Qt::TabFocusReason);
        QCOMPARE(RunsOf(preview()->document()).value(0), (TextRun{"*AB*", kLo, 9}));
        QCOMPARE(focused(), input());
    }

    void styleChangesWithoutABarCode_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("typedPreview");
        // clang-format off
        QTest::newRow("before any Make") << QString() << QString();
        QTest::newRow("after a failed Make") << "" << QString();
        QTest::newRow("the bar code edited out of the preview") << "AB" << "something else";
        // clang-format on
    }
    void styleChangesWithoutABarCode()
    {
        QFETCH(QString, data);
        QFETCH(QString, typedPreview);
        start();
        if (!data.isNull())
            make(data);
        if (!typedPreview.isNull())
            preview()->setPlainText(typedPreview);
        const QList<TextRun> before = RunsOf(preview()->document());
        control<QRadioButton>("textAboveButton")->click();
        pointSize()->setCurrentIndex(pointSize()->findText("48"));
        QCOMPARE(RunsOf(preview()->document()), before);
        QCOMPARE(focused(), input());
    }

    void sizeTypedAsNoNumberIsReported()
    {
        start();
        make("AB");
        pointSize()->setFocus();
        pointSize()->clearEditText();
        QTest::keyClicks(pointSize(), "2x");
        QCOMPARE(recorder()->errors, QStringList{"''2x'' is not a valid integer value."});
        QCOMPARE(RunsOf(preview()->document()), (QList<TextRun>{{"*AB*  ", kLo, 22}}));
    }
};

QTEST_MAIN(TestMainWindowMake)
#include "TestMainWindowMake.moc"
