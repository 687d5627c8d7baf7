// The dialogs driven offscreen against a fresh HOME per case, with the desktop recorded.
#include "MainWindowDriver.h"
#include "app/AboutDialog.h"
#include "app/ClipboardWarning.h"
#include "app/LabelDialog.h"
#include "app/MainWindow.h"
#include "app/TipDialog.h"
#include "app/WindowPlacement.h"
#include "platform/Errors.h"
#include "support/Files.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QTextEdit>
#include <QtTest>
#include <limits>
#include <optional>

namespace {

const QString kMissingFile =
    QStringLiteral("The Tip-of-the-Day file could not be found! Please re-install this product.");
const QString kBadFile = QStringLiteral("The Tip-of-the-Day file is bad! Please re-install this product.");
const QString kThreeTips = QStringLiteral(
    "[TipoftheDay]\r\nEnabled=1\r\nPosition=0\r\nMaximum=2\r\n[Tips]\r\n0=Alpha\r\n1=Beta\r\n2=Gamma\r\n");

using Folder = WindowFixture::DataFolder;

// Records where a window stands when its native window is made: a window manager that has not framed
// the window yet takes the position as the frame's only when it is set before then.
class CreationSpy : public QObject {
public:
    std::optional<QPoint> at;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WinIdChange && !at)
            at = static_cast<QWidget*>(watched)->pos();
        return false;
    }
};

} // namespace

class TestDialogs : public QObject, private MainWindowDriver {
    Q_OBJECT

    // The stored Position, read straight from the file's text; empty when there is none.
    QString storedPosition()
    {
        static const QRegularExpression line(QStringLiteral("^Position=(.*?)\\r?$"),
                                             QRegularExpression::MultilineOption);
        const auto m = line.match(QString::fromUtf8(support::ReadFile(settingsFile())));
        return m.hasMatch() ? m.captured(1) : QString();
    }

    QWidget* dataEdit() { return child<QWidget>(&window(), "dataEdit"); }

    QDialog* dialogNamed(const QString& name)
    {
        if (name == QLatin1String("labels"))
            return &window().labelDialog();
        if (name == QLatin1String("tips"))
            return &window().tipDialog();
        return &window().aboutDialog();
    }

private slots:
    void init()
    {
        WindowFixture::init(Folder::Created);
        window().move(200, 150);
    }

    void cleanup() { WindowFixture::cleanup(); }

    // ---- the label dialog ------------------------------------------------------------------------

    void labelTemplate_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("file");
        // clang-format off
        QTest::newRow("the first row opens the first stock") << 0 << "lb167.rtf";
        QTest::newRow("row 3 opens the fourth stock") << 3 << "lb161.rtf";
        QTest::newRow("the last stock row") << 7 << "lb164.rtf";
        QTest::newRow("the row after the stocks is the user's own") << 8 << "custom.rtf";
        QTest::newRow("every later row is the user's own too") << 9 << "custom.rtf";
        QTest::newRow("no row selected") << -1 << "custom.rtf";
        // clang-format on
    }
    void labelTemplate()
    {
        QFETCH(int, row);
        QFETCH(QString, file);
        for (const char* name : {"lb167.rtf", "lb570.rtf", "lb060.rtf", "lb161.rtf", "lb162.rtf", "lb197.rtf",
                                 "lb163.rtf", "lb164.rtf", "custom.rtf"})
            QVERIFY(support::WriteFile(dataFolder() + QLatin1Char('/') + QLatin1String(name), "{\\rtf1}"));
        QComboBox* list = labelList();
        for (int i = 0; i < 10; ++i)
            list->addItem(QStringLiteral("stock %1").arg(i));
        list->setCurrentIndex(row);
        explainBox()->setChecked(false);

        execWhile(&window().labelDialog(),
                  [this] { return click(&window().labelDialog(), "printLabelsButton"), true; });

        QVERIFY(recorder()->warnings.isEmpty());
        QCOMPARE(recorder()->shellCalls.size(), 1);
        const platform::ShellCall& call = recorder()->shellCalls.first();
        QCOMPARE(call.verb, QStringLiteral("open"));
        QCOMPARE(call.file, file);
        QCOMPARE(call.parameters, QString());
        QCOMPARE(call.directory, dataFolder());
        QVERIFY(call.hasOwner);
        QVERIFY(!window().labelDialog().isVisible());
    }

    void labelTemplateMissing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("message"); // %1 stands for the data folder
        // clang-format off
        QTest::newRow("a stock names its file and the folder on a line of its own") << 3
            << "The label template lb161.rtf is missing from the folder\n%1\nPlease re-install this product.";
        QTest::newRow("a custom row asks the user to make the template") << 8
            << "You have not yet defined a custom template. Make your own label\n"
               "template, name the file custom.rtf, and place this file in the\n%1 folder.";
        QTest::newRow("no row selected is a missing stock, not a custom row") << -1
            << "The label template custom.rtf is missing from the folder\n%1\nPlease re-install this product.";
        // clang-format on
    }
    void labelTemplateMissing()
    {
        QFETCH(int, row);
        QFETCH(QString, message);
        QComboBox* list = labelList();
        for (int i = 0; i < 9; ++i)
            list->addItem(QStringLiteral("stock %1").arg(i));
        list->setCurrentIndex(row);
        preview()->setPlainText(QStringLiteral("*ABC*  "));
        QGuiApplication::clipboard()->setText(QStringLiteral("held before"));
        window().move(320, 240);

        execWhile(&window().labelDialog(),
                  [this] { return click(&window().labelDialog(), "printLabelsButton"), true; });

        // The bar code reached the clipboard before the template was looked for.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("*ABC*  "));
        QCOMPARE(recorder()->warnings.size(), 1); // no paste explanation after the failure
        QCOMPARE(recorder()->warnings.first().text, message.arg(dataFolder()));
        QCOMPARE(recorder()->warnings.first().topLeft, QPoint(420, 340));
        QVERIFY(recorder()->shellCalls.isEmpty());
        QVERIFY(!window().labelDialog().isVisible());
    }

    void labelExplainPaste()
    {
        QVERIFY(support::WriteFile(dataFolder() + QStringLiteral("/lb060.rtf"), "{\\rtf1}"));
        labelList()->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        labelList()->setCurrentIndex(2);
        QVERIFY(explainBox()->isChecked());

        execWhile(&window().labelDialog(),
                  [this] { return click(&window().labelDialog(), "printLabelsButton"), true; });

        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(
            recorder()->warnings.first().text,
            QStringLiteral("To add your bar code to a label, place\nthe cursor in any label on the form,\nthen "
                           "on the menu bar click on Edit, Paste\nor just enter a Ctrl-V."));
        QCOMPARE(recorder()->warnings.first().topLeft, QPoint(300, 250));
        QCOMPARE(recorder()->shellCalls.size(), 1);
        QCOMPARE(recorder()->shellCalls.first().file, QStringLiteral("lb060.rtf"));
    }

    // The whole way from the main window: Make, then Print Labels, then the dialog's own button. The
    // clipboard offers the bar code with its typeface, as Copy does.
    void printLabelsFromTheMainWindow()
    {
        QVERIFY(support::WriteFile(dataFolder() + QStringLiteral("/custom.rtf"), "{\\rtf1}"));
        child<QLineEdit>(&window(), "dataEdit")->setText(QStringLiteral("ABCD4567"));
        child<QAbstractButton>(&window(), "makeButton")->click();
        QCOMPARE(window().barCodeMade(), true);
        QGuiApplication::clipboard()->setText(QStringLiteral("held before"));

        QTimer::singleShot(0, &window().labelDialog(),
                           [this] { click(&window().labelDialog(), "printLabelsButton"); });
        child<QAbstractButton>(&window(), "printLabelsButton")->click();

        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        QCOMPARE(copied->text(), QStringLiteral("*ABCD4567*  "));
        QVERIFY(copied->hasFormat(QStringLiteral("text/rtf")));
        QVERIFY2(copied->html().contains(QLatin1String("Tamrosk Stripe 39 d Lo")), qPrintable(copied->html()));
        QCOMPARE(recorder()->shellCalls.size(), 1);
        QCOMPARE(recorder()->shellCalls.first().file, QStringLiteral("custom.rtf"));
        QCOMPARE(recorder()->warnings.size(), 1); // the paste explanation
        QCOMPARE(window().focusWidget(), dataEdit());
    }

    void labelReturnLeavesClipboard()
    {
        preview()->setPlainText(QStringLiteral("*ABC*  "));
        QGuiApplication::clipboard()->setText(QStringLiteral("held before"));

        execWhile(&window().labelDialog(),
                  [this] { return click(&window().labelDialog(), "returnButton"), true; });

        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("held before"));
        QVERIFY(recorder()->warnings.isEmpty());
        QVERIFY(recorder()->shellCalls.isEmpty());
    }

    // The dialog opens on "&Return" and Tab walks the controls in the design's order, then the Fill a
    // Sheet button added below them.
    void labelTabOrder()
    {
        QStringList order;
        execWhile(&window().labelDialog(), [&] {
            // A busy machine may show the dialog a moment before it has the keyboard.
            if (!QApplication::focusWidget())
                return false;
            for (int i = 0; i < 6; ++i) {
                QWidget* focused = QApplication::focusWidget();
                QWidget* list =
                    qobject_cast<QComboBox*>(focused->parentWidget()) ? focused->parentWidget() : nullptr;
                order << (list ? list : focused)->objectName();
                QTest::keyClick(focused, Qt::Key_Tab);
            }
            window().labelDialog().reject();
            return true;
        });
        QCOMPARE(order, (QStringList{"returnButton", "explainPasteBox", "printLabelsButton", "labelSizeList",
                                     "fillSheetButton", "returnButton"}));
    }

    // A bar code wider than the chosen stock's label would wrap when pasted: the dialog says so under its
    // buttons, with the largest size the main window takes that fits, or Fill a Sheet when none does; the
    // controls stay where the layout puts them. Widths in points: a character of the typeface is one em.
    void labelFitNote_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("note"); // a part of it; empty: no note
        // clang-format off
        QTest::newRow("4 characters at 22 pt (88 pt) in lb167's 117.4 pt line: fits") << "A1" << "22" << 0 << "";
        QTest::newRow("10 at 22 pt (220 pt) in lb060's 180.4 pt line: 18 pt fits") << "ABCD4567" << "22" << 2
            << "At 22 pt this bar code is 77.6 mm wide, and a line in these labels 63.6 mm: pasted, it would wrap "
               "and not scan. Make it at 18 pt or smaller, or use Fill a Sheet.";
        QTest::newRow("10 at 22 pt in lb167: only 11 pt would fit, which the window does not take") << "ABCD4567"
            << "22" << 0 << "Use Fill a Sheet, which sizes bar codes to the label.";
        QTest::newRow("the same at 18 pt in lb060: fits") << "ABCD4567" << "18" << 2 << "";
        QTest::newRow("the user's own template: its size is not known, nothing is said") << "ABCD4567" << "22" << 8
            << "";
        // clang-format on
    }
    void labelFitNote()
    {
        QFETCH(QString, data);
        QFETCH(QString, size);
        QFETCH(int, row);
        QFETCH(QString, note);
        QComboBox* list = labelList();
        while (list->count() < 9)
            list->addItem(QStringLiteral("stock %1").arg(list->count()));
        setPointSizeQuietly(size);
        make(data);
        QVERIFY(window().barCodeMade());
        LabelDialog& dialog = window().labelDialog();
        const QList<QPoint> designed{{21, 127}, {165, 127}, {25, 64}, {27, 103}, {21, 165}};
        QString shown;
        QList<QPoint> placed;
        bool noteInside = false;
        // Opened the way a user opens it, which hands the dialog the bar code.
        QTimer::singleShot(0, &dialog, [&] {
            list->setCurrentIndex(row);
            shown = dialog.fitNoteText();
            for (const char* name :
                 {"returnButton", "printLabelsButton", "labelSizeList", "explainPasteBox", "fillSheetButton"})
                placed.append(child<QWidget>(&dialog, name)->pos());
            const QLabel* fitNote = child<QLabel>(&dialog, "fitNote");
            noteInside = fitNote->isHidden() || dialog.rect().contains(fitNote->geometry());
            dialog.reject();
        });
        child<QAbstractButton>(&window(), "printLabelsButton")->click();
        QVERIFY2(note.isEmpty() ? shown.isEmpty() : shown.contains(note), qPrintable(shown));
        QCOMPARE(placed, designed);
        QVERIFY(noteInside);
    }

    // A template that exists but whose path passes the platform's limit cannot be handed to the shell:
    // it is reported as missing, and the long folder is shown whole.
    void labelPathBeyondLimit()
    {
        const QString deep = home() + QLatin1Char('/') + QString(240, QLatin1Char('d'));
        useHome(deep, Folder::Created);
        QVERIFY(support::WriteFile(dataFolder() + QStringLiteral("/lb167.rtf"), "{\\rtf1}"));
        QVERIFY(QFileInfo::exists(dataFolder() + QStringLiteral("/lb167.rtf")));
        labelList()->addItem(QStringLiteral("a"));
        labelList()->setCurrentIndex(0);

        execWhile(&window().labelDialog(),
                  [this] { return click(&window().labelDialog(), "printLabelsButton"), true; });

        QVERIFY(recorder()->shellCalls.isEmpty());
        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(recorder()->warnings.first().text,
                 QStringLiteral("The label template lb167.rtf is missing from the folder\n%1\nPlease re-install "
                                "this product.")
                     .arg(dataFolder()));
    }

    // ---- the tips ring ---------------------------------------------------------------------------

    void tipsRing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("steps");     // "next" or "previous"
        QTest::addColumn<QStringList>("labels");    // TipLabel after each step
        QTest::addColumn<QStringList>("memos");     // Memo1 after each step
        QTest::addColumn<QStringList>("positions"); // stored Position after each step, "" when absent
        QTest::addColumn<QStringList>("warnings");  // every warning, in order

        const QStringList none;
        // clang-format off
        QTest::newRow("forward through three tips wraps to the first") << kThreeTips
            << QStringList{"next", "next", "next", "next"}
            << QStringList{"Tip 1 of 3", "Tip 2 of 3", "Tip 3 of 3", "Tip 1 of 3"}
            << QStringList{"Alpha", "Beta", "Gamma", "Alpha"} << QStringList{"1", "2", "3", "1"} << none;
        QTest::newRow("back from the first tip turns over to the last") << kThreeTips
            << QStringList{"next", "previous", "previous"} << QStringList{"Tip 1 of 3", "Tip 3 of 3", "Tip 2 of 3"}
            << QStringList{"Alpha", "Gamma", "Beta"} << QStringList{"1", "3", "2"} << none;
        QTest::newRow("back from position 0 shows the last tip but one") << kThreeTips << QStringList{"previous"}
            << QStringList{"Tip 2 of 3"} << QStringList{"Beta"} << QStringList{"2"} << none;
        QTest::newRow("without Maximum the count reads 2 and back from the first stays there")
            << "[TipoftheDay]\nPosition=0\n[Tips]\n0=Alpha\n1=Beta\n2=Gamma\n" << QStringList{"next", "previous"}
            << QStringList{"Tip 1 of 2", "Tip 1 of 2"} << QStringList{"Alpha", "Alpha"} << QStringList{"1", "1"}
            << none;
        QTest::newRow("a single tip comes back both ways")
            << "[TipoftheDay]\nPosition=0\nMaximum=0\n[Tips]\n0=Only\n" << QStringList{"next", "next", "previous"}
            << QStringList{"Tip 1 of 1", "Tip 1 of 1", "Tip 1 of 1"} << QStringList{"Only", "Only", "Only"}
            << QStringList{"1", "1", "1"} << none;
        QTest::newRow("a gap in the keys ends the ring")
            << "[TipoftheDay]\nPosition=1\nMaximum=3\n[Tips]\n0=Alpha\n1=Beta\n3=Delta\n"
            << QStringList{"next", "next"} << QStringList{"Tip 2 of 4", "Tip 1 of 4"}
            << QStringList{"Beta", "Alpha"} << QStringList{"2", "1"} << none;
        QTest::newRow("a tip stored as XXXX counts as missing")
            << "[TipoftheDay]\nPosition=1\nMaximum=2\n[Tips]\n0=Alpha\n1=XXXX\n2=Gamma\n" << QStringList{"next"}
            << QStringList{"Tip 1 of 3"} << QStringList{"Alpha"} << QStringList{"1"} << none;
        QTest::newRow("xxxx in lower case is a tip")
            << "[TipoftheDay]\nPosition=1\nMaximum=2\n[Tips]\n0=Alpha\n1=xxxx\n2=Gamma\n" << QStringList{"next"}
            << QStringList{"Tip 2 of 3"} << QStringList{"xxxx"} << QStringList{"2"} << none;
        QTest::newRow("a negative position starts at the first tip")
            << "[TipoftheDay]\nPosition=-4\nMaximum=2\n[Tips]\n0=Alpha\n1=Beta\n" << QStringList{"next"}
            << QStringList{"Tip 1 of 3"} << QStringList{"Alpha"} << QStringList{"1"} << none;
        QTest::newRow("a position past Maximum shows a tip stored there")
            << "[TipoftheDay]\nPosition=6\nMaximum=4\n[Tips]\n0=Alpha\n6=Seventh\n" << QStringList{"next"}
            << QStringList{"Tip 7 of 5"} << QStringList{"Seventh"} << QStringList{"7"} << none;
        QTest::newRow("the largest position steps past the integer range and then restarts")
            << "[TipoftheDay]\nPosition=2147483647\nMaximum=2147483647\n[Tips]\n0=Alpha\n2147483647=Last\n"
            << QStringList{"next", "next"} << QStringList{"Tip 2147483648 of 2147483648", "Tip 1 of 2147483648"}
            << QStringList{"Last", "Alpha"} << QStringList{"2147483648", "1"} << none;
        QTest::newRow("back from the smallest position restarts at the first tip")
            << "[TipoftheDay]\nPosition=-2147483648\nMaximum=2\n[Tips]\n0=Alpha\n1=Beta\n"
            << QStringList{"previous"} << QStringList{"Tip 1 of 3"} << QStringList{"Alpha"} << QStringList{"1"}
            << none;
        QTest::newRow("no file: warned, nothing shown, nothing written") << QString()
            << QStringList{"next", "previous"} << QStringList{"", ""}
            << QStringList{"A helpfull hint goes here.", "A helpfull hint goes here."} << QStringList{"", ""}
            << QStringList{kMissingFile, kMissingFile};
        QTest::newRow("a TipoftheDay section without keys counts as no file") << "[TipoftheDay]\n[Tips]\n0=Alpha\n"
            << QStringList{"next"} << QStringList{""} << QStringList{"A helpfull hint goes here."}
            << QStringList{""} << QStringList{kMissingFile};
        QTest::newRow("no tip at the position nor at 0: bad file, empty memo, position 0")
            << "[TipoftheDay]\nPosition=3\nMaximum=2\n" << QStringList{"next"} << QStringList{""}
            << QStringList{""} << QStringList{"0"} << QStringList{kBadFile};
        // clang-format on
    }
    void tipsRing()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, memos);
        QFETCH(QStringList, positions);
        QFETCH(QStringList, warnings);
        if (!file.isNull())
            QVERIFY(support::WriteFile(settingsFile(), file.toUtf8()));
        window().move(40, 60);
        auto* label = child<QLabel>(&window().tipDialog(), "tipCounter");
        auto* memo = child<QPlainTextEdit>(&window().tipDialog(), "tipText");

        for (int i = 0; i < steps.size(); ++i) {
            if (steps[i] == QLatin1String("next"))
                window().tipDialog().showNextTip();
            else
                window().tipDialog().showPreviousTip();
            QCOMPARE(label->text(), labels[i]);
            QCOMPARE(memo->toPlainText(), memos[i]);
            QCOMPARE(storedPosition(), positions[i]);
        }
        QStringList shown;
        for (const platform::WarningCall& w : recorder()->warnings) {
            shown << w.text;
            QCOMPARE(w.topLeft, QPoint(140, 160));
        }
        QCOMPARE(shown, warnings);
        if (file.isNull())
            QVERIFY(!QFile::exists(settingsFile()));
    }

    // A bad file after a good step leaves the label as it was and the memo empty.
    void tipsBadAfterGood()
    {
        QVERIFY(support::WriteFile(settingsFile(), "[TipoftheDay]\nPosition=0\nMaximum=0\n[Tips]\n0=Only\n"));
        window().tipDialog().showNextTip();
        QVERIFY(support::WriteFile(settingsFile(), "[TipoftheDay]\nPosition=0\nMaximum=0\n"));
        window().tipDialog().showNextTip();
        QCOMPARE(child<QLabel>(&window().tipDialog(), "tipCounter")->text(), QStringLiteral("Tip 1 of 1"));
        QCOMPARE(child<QPlainTextEdit>(&window().tipDialog(), "tipText")->toPlainText(), QString());
        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(recorder()->warnings.first().text, kBadFile);
    }

    // A settings file that cannot be written is reported in the standard error box and the step stops
    // there; the window stays usable.
    void tipsUnwritable()
    {
        QVERIFY(support::WriteFile(settingsFile(), kThreeTips.toUtf8()));
        QVERIFY(QFile::setPermissions(settingsFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        auto* label = child<QLabel>(&window().tipDialog(), "tipCounter");
        execWhile(&window().tipDialog(), [&] {
            if (label->text().isEmpty())
                return false;
            click(&window().tipDialog(), "nextTipButton");
            click(&window().tipDialog(), "exitButton");
            return true;
        });
        const QString error = "Unable to write to " + settingsFile() + ".";
        QCOMPARE(recorder()->errors, (QStringList{error, error}));
        QCOMPARE(label->text(), QStringLiteral("Tip 1 of 3"));
        QCOMPARE(storedPosition(), QStringLiteral("0"));
    }

    // The path is taken afresh at each step and a path beyond the platform's limit reads as no file.
    void tipsPathBeyondLimit()
    {
        useHome(home() + QLatin1Char('/') + QString(240, QLatin1Char('t')), Folder::Created);
        QVERIFY(support::WriteFile(settingsFile(), kThreeTips.toUtf8()));
        const QByteArray before = support::ReadFile(settingsFile());
        QVERIFY(!before.isEmpty());

        window().tipDialog().showNextTip();

        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(recorder()->warnings.first().text, kMissingFile);
        QCOMPARE(support::ReadFile(settingsFile()), before);
    }

    // Opening the window shows one tip; the buttons step the ring; a second opening goes on from there.
    void tipsWindow()
    {
        QVERIFY(support::WriteFile(settingsFile(), kThreeTips.toUtf8()));
        auto* label = child<QLabel>(&window().tipDialog(), "tipCounter");

        QStringList seen;
        execWhile(&window().tipDialog(), [&] {
            if (label->text().isEmpty())
                return false; // the opening tip is still on its way
            seen << label->text();
            click(&window().tipDialog(), "nextTipButton");
            seen << label->text();
            click(&window().tipDialog(), "previousTipButton");
            seen << label->text();
            click(&window().tipDialog(), "exitButton");
            return true;
        });
        QCOMPARE(seen, (QStringList{"Tip 1 of 3", "Tip 2 of 3", "Tip 1 of 3"}));
        QCOMPARE(storedPosition(), QStringLiteral("1"));

        execWhile(&window().tipDialog(), [&] {
            if (label->text() == QLatin1String("Tip 1 of 3"))
                return false;
            seen << label->text();
            window().tipDialog().close(); // the close box
            return true;
        });
        QCOMPARE(seen.last(), QStringLiteral("Tip 2 of 3"));
        QCOMPARE(storedPosition(), QStringLiteral("2"));
        QVERIFY(recorder()->warnings.isEmpty());
    }

    // A window whose title bar is on no screen comes back just far enough for 100 pixels of it to be.
    void reachablePosition_data()
    {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("placed");
        // A 1366 x 768 screen at 200 %, and a wide screen with a smaller one left of it and lower.
        const QList<QRect> scaled{QRect(0, 0, 683, 384)};
        const QList<QRect> pair{QRect(0, 0, 1920, 1040), QRect(-1024, 200, 1024, 728)};
        const QSize size(465, 410);
        constexpr int kMax = std::numeric_limits<int>::max();
        constexpr int kMin = std::numeric_limits<int>::min();
        // clang-format off
        QTest::newRow("scaled: the saved corner shows the title bar") << scaled << QRect(QPoint(407, 321), size)
            << QPoint(407, 321);
        QTest::newRow("scaled: title bar below the screen") << scaled << QRect(QPoint(407, 380), size)
            << QPoint(407, 360);
        QTest::newRow("scaled: far left") << scaled << QRect(QPoint(-5000, 10), size) << QPoint(-365, 10);
        QTest::newRow("scaled: far right") << scaled << QRect(QPoint(5000, 10), size) << QPoint(583, 10);
        QTest::newRow("scaled: above") << scaled << QRect(QPoint(-1, -10), size) << QPoint(-1, 0);
        QTest::newRow("scaled: int maximum") << scaled << QRect(kMax - 500, kMax - 500, 465, 410)
            << QPoint(583, 360);
        QTest::newRow("scaled: int minimum") << scaled << QRect(QPoint(kMin, kMin), size) << QPoint(-365, 0);
        QTest::newRow("pair: on the left screen") << pair << QRect(QPoint(-900, 300), size) << QPoint(-900, 300);
        QTest::newRow("pair: in the gap above the left screen: down onto it") << pair
            << QRect(QPoint(-900, 100), size) << QPoint(-900, 200);
        QTest::newRow("pair: left of both: onto the left screen") << pair << QRect(QPoint(-6000, 500), size)
            << QPoint(-1389, 500);
        QTest::newRow("pair: below both, at the right: onto the wide screen") << pair
            << QRect(QPoint(1000, 3000), size) << QPoint(1000, 1016);
        QTest::newRow("pair: across the seam") << pair << QRect(QPoint(-200, 50), size) << QPoint(-200, 50);
        QTest::newRow("no screen: as it stands") << QList<QRect>{} << QRect(QPoint(-5000, -5000), size)
            << QPoint(-5000, -5000);
        // clang-format on
    }
    void reachablePosition()
    {
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, frame);
        QFETCH(QPoint, placed);
        QCOMPARE(kelm::ReachableFramePosition(frame, screens, 24), placed);
    }

    // ---- placement and focus ---------------------------------------------------------------------

    void placement_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QPoint>("offset");
        // clang-format off
        QTest::newRow("label dialog") << "labels" << QPoint(90, 25);
        QTest::newRow("tips window") << "tips" << QPoint(80, 100);
        QTest::newRow("About window") << "about" << QPoint(116, 109);
        // clang-format on
    }
    void placement()
    {
        QFETCH(QString, dialogName);
        QFETCH(QPoint, offset);
        QVERIFY(support::WriteFile(settingsFile(), kThreeTips.toUtf8()));
        QDialog* dialog = dialogNamed(dialogName);
        CreationSpy spy;
        dialog->installEventFilter(&spy);
        for (const QPoint main : {QPoint(200, 150), QPoint(333, 77)}) {
            window().move(main);
            QPoint placed;
            execWhile(dialog, [&] {
                placed = dialog->pos();
                dialog->move(5, 5); // the user drags it away; the next showing must not keep that
                dialog->reject();
                return true;
            });
            QCOMPARE(placed, main + offset);
            QCOMPARE(spy.at, std::optional<QPoint>(QPoint(200, 150) + offset)); // placed before it was made
        }
    }

    void focusAfterClose_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("control");
        // clang-format off
        QTest::newRow("label dialog, Return") << "labels" << "returnButton";
        QTest::newRow("label dialog, Print Labels") << "labels" << "printLabelsButton";
        QTest::newRow("tips window, Exit") << "tips" << "exitButton";
        QTest::newRow("About window, version") << "about" << "versionLink";
        QTest::newRow("About window, web address") << "about" << "webLink";
        // clang-format on
    }
    void focusAfterClose()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, control);
        QVERIFY(support::WriteFile(settingsFile(), kThreeTips.toUtf8()));
        QDialog* dialog = dialogNamed(dialogName);
        preview()->setFocus();
        QCOMPARE(window().focusWidget(), static_cast<QWidget*>(preview()));

        execWhile(dialog, [&] {
            click(dialog, control.toLatin1().constData());
            if (dialog->isVisible())
                dialog->reject();
            return true;
        });
        QCOMPARE(window().focusWidget(), dataEdit());
    }

    // The tips hand the keyboard back to the data field when they go at program end, as when they close;
    // with the main window already gone there is no one to tell.
    void tipsDestroyedHandsFocusBack()
    {
        preview()->setFocus();
        auto* tips = new TipDialog(&window(), WindowFixture::kSettingsFileName);
        connect(tips, &TipDialog::focusDataRequested, &window(), &MainWindow::focusData);
        delete tips;
        QCOMPARE(window().focusWidget(), dataEdit());
        auto* orphan = new TipDialog(&window(), WindowFixture::kSettingsFileName);
        WindowFixture::cleanup();
        delete orphan;
        WindowFixture::init(Folder::Created);
    }

    // ---- the About window and the clipboard warning ----------------------------------------------

    void aboutLinks()
    {
        QList<platform::ShellCall> calls;
        execWhile(&window().aboutDialog(), [&] {
            click(&window().aboutDialog(), "versionLink");
            click(&window().aboutDialog(), "versionLink");
            click(&window().aboutDialog(), "webLink");
            if (window().aboutDialog().isVisible()) // the links leave the window open
                window().aboutDialog().reject();
            return true;
        });
        QCOMPARE(recorder()->shellCalls.size(), 3);
        for (const platform::ShellCall& call : recorder()->shellCalls) {
            QVERIFY(call.file.startsWith(QLatin1String("https://")));
            QCOMPARE(call.parameters, QString());
            QCOMPARE(call.directory, QString());
            QVERIFY(call.hasOwner);
        }
        QCOMPARE(recorder()->shellCalls[0].verb, QStringLiteral("open"));
        QVERIFY(recorder()->shellCalls[0].file.endsWith(QLatin1String("/file/update.php?v=KELMBC39-4.2")));
        QCOMPARE(recorder()->shellCalls[1].verb, QStringLiteral("open"));
        QCOMPARE(recorder()->shellCalls[1].file, recorder()->shellCalls[0].file);
        QCOMPARE(recorder()->shellCalls[2].verb, QString());
        QVERIFY(recorder()->shellCalls[2].file.endsWith(QLatin1String("/kelm.htm")));
    }

    // The links answer Enter and Space once the keyboard has reached them.
    void aboutLinkKeys_data()
    {
        QTest::addColumn<int>("tabs"); // from the first link
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("fileEnd");
        // clang-format off
        QTest::newRow("version, Enter") << 0 << int(Qt::Key_Return) << "/file/update.php?v=KELMBC39-4.2";
        QTest::newRow("web address, Space") << 1 << int(Qt::Key_Space) << "/kelm.htm";
        QTest::newRow("round again to the version, Enter") << 2 << int(Qt::Key_Enter)
            << "/file/update.php?v=KELMBC39-4.2";
        // clang-format on
    }
    void aboutLinkKeys()
    {
        QFETCH(int, tabs);
        QFETCH(int, key);
        QFETCH(QString, fileEnd);
        AboutDialog* about = &window().aboutDialog();
        QString name;
        // The dialog's own focus control, which it keeps even while a busy desktop has not activated it.
        const auto current = [about] { return about->focusWidget() ? about->focusWidget() : about; };
        execWhile(about, [&] {
            WindowFixture::child<QWidget>(about, "versionLink")->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < tabs; ++i)
                QTest::keyClick(current(), Qt::Key_Tab);
            if (QAccessibleInterface* face = QAccessible::queryAccessibleInterface(current()))
                name = face->text(QAccessible::Name);
            QTest::keyClick(current(), Qt::Key(key));
            about->reject();
            return true;
        });
        QVERIFY(!name.isEmpty());
        QCOMPARE(recorder()->shellCalls.size(), 1);
        QVERIFY2(recorder()->shellCalls[0].file.endsWith(fileEnd), qPrintable(recorder()->shellCalls[0].file));
    }

    // A screen reader gets a name for every control of the dialogs.
    void dialogAccessibleNames_data()
    {
        QTest::addColumn<QString>("dialogName");
        // clang-format off
        QTest::newRow("label dialog") << "labels";
        QTest::newRow("tips window") << "tips";
        QTest::newRow("About window") << "about";
        // clang-format on
    }
    void dialogAccessibleNames()
    {
        QFETCH(QString, dialogName);
        QVERIFY(support::WriteFile(settingsFile(), kThreeTips.toUtf8()));
        QDialog* dialog = dialogNamed(dialogName);
        QStringList unnamed;
        execWhile(dialog, [&] {
            for (QWidget* w : dialog->findChildren<QWidget*>()) {
                if (!(w->focusPolicy() & Qt::TabFocus) || w->objectName().isEmpty() ||
                    w->objectName().startsWith("qt_"))
                    continue;
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
                if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
                    unnamed << w->objectName();
            }
            dialog->reject();
            return true;
        });
        QCOMPARE(unnamed, QStringList());
    }

    void warningBox()
    {
        WindowFixture::child<QCheckBox>(&window().clipboardWarning(), "dontWarnAgainBox")
            ->hide(); // as the main window's activation leaves it
        QRect frame;
        const int result = execWhile(&window().clipboardWarning(), [&] {
            frame = window().clipboardWarning().frameGeometry();
            click(&window().clipboardWarning(), "okButton");
            return true;
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(frame.center(), window().clipboardWarning().screen()->availableGeometry().center());
    }
};

QTEST_MAIN(TestDialogs)
#include "TestDialogs.moc"
