// The secondary windows driven offscreen against a fresh HOME per case, with the desktop recorded.
#include "app/About.h"
#include "app/Kelm.h"
#include "app/Labels.h"
#include "app/WindowSet.h"
#include "platform/Errors.h"
#include "platform/Recorder.h"

#include <QAbstractButton>
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
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

const QString kMissingFile =
    QStringLiteral("The Tip-of-the-Day file could not be found! Please re-install this product.");
const QString kBadFile = QStringLiteral("The Tip-of-the-Day file is bad! Please re-install this product.");
const QString kThreeTips = QStringLiteral(
    "[TipoftheDay]\r\nEnabled=1\r\nPosition=0\r\nMaximum=2\r\n[Tips]\r\n0=Alpha\r\n1=Beta\r\n2=Gamma\r\n");

template <typename T> T* child(QWidget* window, const char* name)
{
    T* w = window->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// Runs the dialog modally; `step` is called every 10 ms while the dialog is the active modal window
// until it returns true. A dialog that does not close within five seconds is rejected and reported.
int execWhile(QDialog* dialog, const std::function<bool()>& step, bool* forced = nullptr)
{
    bool done = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!done && QApplication::activeModalWidget() == dialog)
            done = step();
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (forced)
            *forced = true;
        dialog->reject();
    });
    poll.start();
    guard.start(5000);
    return dialog->exec();
}

void click(QWidget* window, const char* name)
{
    QTest::mouseClick(child<QWidget>(window, name), Qt::LeftButton);
}

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<platform::Recorder> m_recorder;
    QString m_dataFolder; // <HOME>/Documents/Zovod as the user sees it

    QString settingsFile() const { return m_dataFolder + QStringLiteral("/kelmtips.ini"); }

    void makeHome(const QString& home)
    {
        qputenv("HOME", QFile::encodeName(home));
        m_dataFolder = QDir::toNativeSeparators(home + QStringLiteral("/Documents/Zovod"));
        QVERIFY(QDir().mkpath(m_dataFolder));
    }

    void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The stored Position, read straight from the file's text; empty when there is none.
    QString storedPosition()
    {
        static const QRegularExpression line(QStringLiteral("^Position=(.*?)\\r?$"),
                                             QRegularExpression::MultilineOption);
        const auto m = line.match(QString::fromUtf8(readFile(settingsFile())));
        return m.hasMatch() ? m.captured(1) : QString();
    }

    QTextEdit* preview() { return child<QTextEdit>(KelmInput, "BarCodeOut"); }
    QWidget* barTextInput() { return child<QWidget>(KelmInput, "BarTextInput"); }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        makeHome(m_home->path());
        m_recorder = std::make_unique<platform::Recorder>();
        CreateWindowSet();
        KelmInput->move(200, 150);
    }

    void cleanup()
    {
        DestroyWindowSet();
        m_recorder.reset();
        m_home.reset();
    }

    // ---- the label dialog ------------------------------------------------------------------------

    void labelTemplate_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("file");
        QTest::newRow("the first row opens the first stock") << 0 << "lb167.rtf";
        QTest::newRow("row 3 opens the fourth stock") << 3 << "lb161.rtf";
        QTest::newRow("the last stock row") << 7 << "lb164.rtf";
        QTest::newRow("the row after the stocks is the user's own") << 8 << "custom.rtf";
        QTest::newRow("every later row is the user's own too") << 9 << "custom.rtf";
        QTest::newRow("no row selected") << -1 << "custom.rtf";
    }
    void labelTemplate()
    {
        QFETCH(int, row);
        QFETCH(QString, file);
        for (const char* name : {"lb167.rtf", "lb570.rtf", "lb060.rtf", "lb161.rtf", "lb162.rtf", "lb197.rtf",
                                 "lb163.rtf", "lb164.rtf", "custom.rtf"})
            writeFile(m_dataFolder + QLatin1Char('/') + QLatin1String(name), "{\\rtf1}");
        QComboBox* list = Form3->labelSizeList();
        for (int i = 0; i < 10; ++i)
            list->addItem(QStringLiteral("stock %1").arg(i));
        list->setCurrentIndex(row);
        Form3->explainPaste()->setChecked(false);

        execWhile(Form3, [] { return click(Form3, "PrintLabels"), true; });

        QVERIFY(m_recorder->warnings.isEmpty());
        QCOMPARE(m_recorder->shellCalls.size(), 1);
        const platform::ShellCall& call = m_recorder->shellCalls.first();
        QCOMPARE(call.verb, QStringLiteral("open"));
        QCOMPARE(call.file, file);
        QCOMPARE(call.parameters, QString());
        QCOMPARE(call.directory, m_dataFolder);
        QVERIFY(call.hasOwner);
        QVERIFY(!Form3->isVisible());
    }

    void labelTemplateMissing_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("message"); // %1 stands for the data folder
        QTest::newRow("a stock names its file and the folder on a line of its own")
            << 3 << "The label template lb161.rtf is missing from the folder\n%1\nPlease re-install this product.";
        QTest::newRow("a custom row asks the user to make the template")
            << 8
            << "You have not yet defined a custom template. Make your own label\ntemplate, name the file "
               "custom.rtf, and place this file in the\n%1 folder.";
        QTest::newRow("no row selected is a missing stock, not a custom row")
            << -1
            << "The label template custom.rtf is missing from the folder\n%1\nPlease re-install this product.";
    }
    void labelTemplateMissing()
    {
        QFETCH(int, row);
        QFETCH(QString, message);
        QComboBox* list = Form3->labelSizeList();
        for (int i = 0; i < 9; ++i)
            list->addItem(QStringLiteral("stock %1").arg(i));
        list->setCurrentIndex(row);
        preview()->setPlainText(QStringLiteral("*ABC*  "));
        QGuiApplication::clipboard()->setText(QStringLiteral("held before"));
        KelmInput->move(320, 240);

        execWhile(Form3, [] { return click(Form3, "PrintLabels"), true; });

        // The bar code reached the clipboard before the template was looked for.
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("*ABC*  "));
        QCOMPARE(m_recorder->warnings.size(), 1); // no paste explanation after the failure
        QCOMPARE(m_recorder->warnings.first().text, message.arg(m_dataFolder));
        QCOMPARE(m_recorder->warnings.first().topLeft, QPoint(420, 340));
        QVERIFY(m_recorder->shellCalls.isEmpty());
        QVERIFY(!Form3->isVisible());
    }

    void labelExplainPaste()
    {
        writeFile(m_dataFolder + QStringLiteral("/lb060.rtf"), "{\\rtf1}");
        Form3->labelSizeList()->addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        Form3->labelSizeList()->setCurrentIndex(2);
        QVERIFY(Form3->explainPaste()->isChecked());

        execWhile(Form3, [] { return click(Form3, "PrintLabels"), true; });

        QCOMPARE(m_recorder->warnings.size(), 1);
        QCOMPARE(
            m_recorder->warnings.first().text,
            QStringLiteral("To add your bar code to a label, place\nthe cursor in any label on the form,\nthen "
                           "on the menu bar click on Edit, Paste\nor just enter a Ctrl-V."));
        QCOMPARE(m_recorder->warnings.first().topLeft, QPoint(300, 250));
        QCOMPARE(m_recorder->shellCalls.size(), 1);
        QCOMPARE(m_recorder->shellCalls.first().file, QStringLiteral("lb060.rtf"));
    }

    // The whole way from the main window: Make, then Print Labels, then the dialog's own button. The
    // clipboard offers the bar code with its typeface, as Copy does.
    void printLabelsFromTheMainWindow()
    {
        writeFile(m_dataFolder + QStringLiteral("/custom.rtf"), "{\\rtf1}");
        child<QLineEdit>(KelmInput, "BarTextInput")->setText(QStringLiteral("ABCD4567"));
        child<QAbstractButton>(KelmInput, "BitBtn3")->click();
        QCOMPARE(BarCodeMade, 1);
        QGuiApplication::clipboard()->setText(QStringLiteral("held before"));

        QTimer::singleShot(0, Form3, [] { click(Form3, "PrintLabels"); });
        child<QAbstractButton>(KelmInput, "BitBtn4")->click();

        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        QCOMPARE(copied->text(), QStringLiteral("*ABCD4567*  "));
        QVERIFY(copied->hasFormat(QStringLiteral("text/rtf")));
        QVERIFY2(copied->html().contains(QLatin1String("Tamrosk Stripe 39 d Lo")), qPrintable(copied->html()));
        QCOMPARE(m_recorder->shellCalls.size(), 1);
        QCOMPARE(m_recorder->shellCalls.first().file, QStringLiteral("custom.rtf"));
        QCOMPARE(m_recorder->warnings.size(), 1); // the paste explanation
        QCOMPARE(KelmInput->focusWidget(), barTextInput());
    }

    void labelReturnLeavesClipboard()
    {
        preview()->setPlainText(QStringLiteral("*ABC*  "));
        QGuiApplication::clipboard()->setText(QStringLiteral("held before"));

        execWhile(Form3, [] { return click(Form3, "ExitLabels"), true; });

        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("held before"));
        QVERIFY(m_recorder->warnings.isEmpty());
        QVERIFY(m_recorder->shellCalls.isEmpty());
    }

    // The dialog opens on "&Return" and Tab walks the controls in the design's order.
    void labelTabOrder()
    {
        QStringList order;
        execWhile(Form3, [&] {
            for (int i = 0; i < 5; ++i) {
                QWidget* focused = QApplication::focusWidget();
                QWidget* list =
                    qobject_cast<QComboBox*>(focused->parentWidget()) ? focused->parentWidget() : nullptr;
                order << (list ? list : focused)->objectName();
                QTest::keyClick(focused, Qt::Key_Tab);
            }
            Form3->reject();
            return true;
        });
        QCOMPARE(order, (QStringList{"ExitLabels", "ExplainPaste", "PrintLabels", "ComboBox1", "ExitLabels"}));
    }

    // A template that exists but whose path passes the platform's limit cannot be handed to the shell:
    // it is reported as missing, and the long folder is shown whole.
    void labelPathBeyondLimit()
    {
        const QString deep = m_home->path() + QLatin1Char('/') + QString(240, QLatin1Char('d'));
        makeHome(deep);
        writeFile(m_dataFolder + QStringLiteral("/lb167.rtf"), "{\\rtf1}");
        QVERIFY(QFileInfo::exists(m_dataFolder + QStringLiteral("/lb167.rtf")));
        Form3->labelSizeList()->addItem(QStringLiteral("a"));
        Form3->labelSizeList()->setCurrentIndex(0);

        execWhile(Form3, [] { return click(Form3, "PrintLabels"), true; });

        QVERIFY(m_recorder->shellCalls.isEmpty());
        QCOMPARE(m_recorder->warnings.size(), 1);
        QCOMPARE(m_recorder->warnings.first().text,
                 QStringLiteral("The label template lb167.rtf is missing from the folder\n%1\nPlease re-install "
                                "this product.")
                     .arg(m_dataFolder));
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
        QTest::newRow("forward through three tips wraps to the first")
            << kThreeTips << QStringList{"next", "next", "next", "next"}
            << QStringList{"Tip 1 of 3", "Tip 2 of 3", "Tip 3 of 3", "Tip 1 of 3"}
            << QStringList{"Alpha", "Beta", "Gamma", "Alpha"} << QStringList{"1", "2", "3", "1"} << none;
        QTest::newRow("back from the first tip turns over to the last")
            << kThreeTips << QStringList{"next", "previous", "previous"}
            << QStringList{"Tip 1 of 3", "Tip 3 of 3", "Tip 2 of 3"} << QStringList{"Alpha", "Gamma", "Beta"}
            << QStringList{"1", "3", "2"} << none;
        QTest::newRow("back from position 0 shows the last tip but one")
            << kThreeTips << QStringList{"previous"} << QStringList{"Tip 2 of 3"} << QStringList{"Beta"}
            << QStringList{"2"} << none;
        QTest::newRow("without Maximum the count reads 2 and back from the first stays there")
            << "[TipoftheDay]\nPosition=0\n[Tips]\n0=Alpha\n1=Beta\n2=Gamma\n"
            << QStringList{"next", "previous"} << QStringList{"Tip 1 of 2", "Tip 1 of 2"}
            << QStringList{"Alpha", "Alpha"} << QStringList{"1", "1"} << none;
        QTest::newRow("a single tip comes back both ways")
            << "[TipoftheDay]\nPosition=0\nMaximum=0\n[Tips]\n0=Only\n"
            << QStringList{"next", "next", "previous"} << QStringList{"Tip 1 of 1", "Tip 1 of 1", "Tip 1 of 1"}
            << QStringList{"Only", "Only", "Only"} << QStringList{"1", "1", "1"} << none;
        QTest::newRow("a gap in the keys ends the ring")
            << "[TipoftheDay]\nPosition=1\nMaximum=3\n[Tips]\n0=Alpha\n1=Beta\n3=Delta\n"
            << QStringList{"next", "next"} << QStringList{"Tip 2 of 4", "Tip 1 of 4"}
            << QStringList{"Beta", "Alpha"} << QStringList{"2", "1"} << none;
        QTest::newRow("a tip stored as XXXX counts as missing")
            << "[TipoftheDay]\nPosition=1\nMaximum=2\n[Tips]\n0=Alpha\n1=XXXX\n2=Gamma\n"
            << QStringList{"next"} << QStringList{"Tip 1 of 3"} << QStringList{"Alpha"} << QStringList{"1"}
            << none;
        QTest::newRow("xxxx in lower case is a tip")
            << "[TipoftheDay]\nPosition=1\nMaximum=2\n[Tips]\n0=Alpha\n1=xxxx\n2=Gamma\n"
            << QStringList{"next"} << QStringList{"Tip 2 of 3"} << QStringList{"xxxx"} << QStringList{"2"} << none;
        QTest::newRow("a negative position starts at the first tip")
            << "[TipoftheDay]\nPosition=-4\nMaximum=2\n[Tips]\n0=Alpha\n1=Beta\n"
            << QStringList{"next"} << QStringList{"Tip 1 of 3"} << QStringList{"Alpha"} << QStringList{"1"}
            << none;
        QTest::newRow("a position past Maximum shows a tip stored there")
            << "[TipoftheDay]\nPosition=6\nMaximum=4\n[Tips]\n0=Alpha\n6=Seventh\n"
            << QStringList{"next"} << QStringList{"Tip 7 of 5"} << QStringList{"Seventh"} << QStringList{"7"}
            << none;
        QTest::newRow("the largest position steps past the integer range and then restarts")
            << "[TipoftheDay]\nPosition=2147483647\nMaximum=2147483647\n[Tips]\n0=Alpha\n2147483647=Last\n"
            << QStringList{"next", "next"} << QStringList{"Tip 2147483648 of 2147483648", "Tip 1 of 2147483648"}
            << QStringList{"Last", "Alpha"} << QStringList{"2147483648", "1"} << none;
        QTest::newRow("back from the smallest position restarts at the first tip")
            << "[TipoftheDay]\nPosition=-2147483648\nMaximum=2\n[Tips]\n0=Alpha\n1=Beta\n"
            << QStringList{"previous"} << QStringList{"Tip 1 of 3"} << QStringList{"Alpha"} << QStringList{"1"}
            << none;
        QTest::newRow("no file: warned, nothing shown, nothing written")
            << QString() << QStringList{"next", "previous"} << QStringList{"", ""}
            << QStringList{"A helpfull hint goes here.", "A helpfull hint goes here."} << QStringList{"", ""}
            << QStringList{kMissingFile, kMissingFile};
        QTest::newRow("a TipoftheDay section without keys counts as no file")
            << "[TipoftheDay]\n[Tips]\n0=Alpha\n"
            << QStringList{"next"} << QStringList{""} << QStringList{"A helpfull hint goes here."}
            << QStringList{""} << QStringList{kMissingFile};
        QTest::newRow("no tip at the position nor at 0: bad file, empty memo, position 0")
            << "[TipoftheDay]\nPosition=3\nMaximum=2\n"
            << QStringList{"next"} << QStringList{""} << QStringList{""} << QStringList{"0"}
            << QStringList{kBadFile};
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
            writeFile(settingsFile(), file.toUtf8());
        KelmInput->move(40, 60);
        auto* label = child<QLabel>(Tip, "TipLabel");
        auto* memo = child<QPlainTextEdit>(Tip, "Memo1");

        for (int i = 0; i < steps.size(); ++i) {
            if (steps[i] == QLatin1String("next"))
                Tip->ShowNextTip();
            else
                Tip->ShowPreviousTip();
            QCOMPARE(label->text(), labels[i]);
            QCOMPARE(memo->toPlainText(), memos[i]);
            QCOMPARE(storedPosition(), positions[i]);
        }
        QStringList shown;
        for (const platform::WarningCall& w : m_recorder->warnings) {
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
        writeFile(settingsFile(), "[TipoftheDay]\nPosition=0\nMaximum=0\n[Tips]\n0=Only\n");
        Tip->ShowNextTip();
        writeFile(settingsFile(), "[TipoftheDay]\nPosition=0\nMaximum=0\n");
        Tip->ShowNextTip();
        QCOMPARE(child<QLabel>(Tip, "TipLabel")->text(), QStringLiteral("Tip 1 of 1"));
        QCOMPARE(child<QPlainTextEdit>(Tip, "Memo1")->toPlainText(), QString());
        QCOMPARE(m_recorder->warnings.size(), 1);
        QCOMPARE(m_recorder->warnings.first().text, kBadFile);
    }

    // A settings file that cannot be written is reported in the standard error box and the step stops
    // there; the window stays usable.
    void tipsUnwritable()
    {
        writeFile(settingsFile(), kThreeTips.toUtf8());
        QVERIFY(QFile::setPermissions(settingsFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        auto* label = child<QLabel>(Tip, "TipLabel");
        execWhile(Tip, [&] {
            if (label->text().isEmpty())
                return false;
            click(Tip, "NextTip");
            click(Tip, "ExitTips");
            return true;
        });
        const QString error = "Unable to write to " + settingsFile() + ".";
        QCOMPARE(m_recorder->errors, (QStringList{error, error}));
        QCOMPARE(label->text(), QStringLiteral("Tip 1 of 3"));
        QCOMPARE(storedPosition(), QStringLiteral("0"));
    }

    // The path is taken afresh at each step and a path beyond the platform's limit reads as no file.
    void tipsPathBeyondLimit()
    {
        makeHome(m_home->path() + QLatin1Char('/') + QString(240, QLatin1Char('t')));
        writeFile(settingsFile(), kThreeTips.toUtf8());
        const QByteArray before = readFile(settingsFile());
        QVERIFY(!before.isEmpty());

        Tip->ShowNextTip();

        QCOMPARE(m_recorder->warnings.size(), 1);
        QCOMPARE(m_recorder->warnings.first().text, kMissingFile);
        QCOMPARE(readFile(settingsFile()), before);
    }

    // Opening the window shows one tip; the buttons step the ring; a second opening goes on from there.
    void tipsWindow()
    {
        writeFile(settingsFile(), kThreeTips.toUtf8());
        auto* label = child<QLabel>(Tip, "TipLabel");

        QStringList seen;
        execWhile(Tip, [&] {
            if (label->text().isEmpty())
                return false; // the opening tip is still on its way
            seen << label->text();
            click(Tip, "NextTip");
            seen << label->text();
            click(Tip, "SpeedButton1");
            seen << label->text();
            click(Tip, "ExitTips");
            return true;
        });
        QCOMPARE(seen, (QStringList{"Tip 1 of 3", "Tip 2 of 3", "Tip 1 of 3"}));
        QCOMPARE(storedPosition(), QStringLiteral("1"));

        execWhile(Tip, [&] {
            if (label->text() == QLatin1String("Tip 1 of 3"))
                return false;
            seen << label->text();
            Tip->close(); // the close box
            return true;
        });
        QCOMPARE(seen.last(), QStringLiteral("Tip 2 of 3"));
        QCOMPARE(storedPosition(), QStringLiteral("2"));
        QVERIFY(m_recorder->warnings.isEmpty());
    }

    // ---- placement and focus ---------------------------------------------------------------------

    void placement_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QPoint>("offset");
        QTest::newRow("label dialog") << "Form3" << QPoint(90, 25);
        QTest::newRow("tips window") << "Tip" << QPoint(80, 100);
        QTest::newRow("About window") << "Form2" << QPoint(116, 109);
    }
    void placement()
    {
        QFETCH(QString, window);
        QFETCH(QPoint, offset);
        writeFile(settingsFile(), kThreeTips.toUtf8());
        QDialog* dialog = window == QLatin1String("Form3") ? static_cast<QDialog*>(Form3)
                          : window == QLatin1String("Tip") ? static_cast<QDialog*>(Tip)
                                                           : static_cast<QDialog*>(Form2);
        for (const QPoint main : {QPoint(200, 150), QPoint(333, 77)}) {
            KelmInput->move(main);
            QPoint placed;
            execWhile(dialog, [&] {
                placed = dialog->pos();
                dialog->move(5, 5); // the user drags it away; the next showing must not keep that
                dialog->reject();
                return true;
            });
            QCOMPARE(placed, main + offset);
        }
    }

    void focusAfterClose_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::newRow("label dialog, Return") << "Form3"
                                              << "ExitLabels";
        QTest::newRow("label dialog, Print Labels") << "Form3"
                                                    << "PrintLabels";
        QTest::newRow("tips window, Exit") << "Tip"
                                           << "ExitTips";
        QTest::newRow("About window, version") << "Form2"
                                               << "CurVersion";
        QTest::newRow("About window, web address") << "Form2"
                                                   << "StaticText8";
    }
    void focusAfterClose()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        writeFile(settingsFile(), kThreeTips.toUtf8());
        QDialog* dialog = window == QLatin1String("Form3") ? static_cast<QDialog*>(Form3)
                          : window == QLatin1String("Tip") ? static_cast<QDialog*>(Tip)
                                                           : static_cast<QDialog*>(Form2);
        preview()->setFocus();
        QCOMPARE(KelmInput->focusWidget(), static_cast<QWidget*>(preview()));

        execWhile(dialog, [&] {
            click(dialog, control.toLatin1().constData());
            if (dialog->isVisible())
                dialog->reject();
            return true;
        });
        QCOMPARE(KelmInput->focusWidget(), barTextInput());
    }

    void tipsDestroyedHandsFocusBack()
    {
        preview()->setFocus();
        delete Tip;
        Tip = nullptr;
        QCOMPARE(KelmInput->focusWidget(), barTextInput());
        // At program end the main window may already be gone.
        Tip = new TTip;
        delete KelmInput;
        KelmInput = nullptr;
        delete Tip;
        Tip = nullptr;
    }

    // ---- the About window and the clipboard warning ----------------------------------------------

    void aboutLinks()
    {
        QList<platform::ShellCall> calls;
        execWhile(Form2, [&] {
            click(Form2, "CurVersion");
            click(Form2, "CurVersion");
            click(Form2, "StaticText8");
            if (Form2->isVisible()) // the links leave the window open
                Form2->reject();
            return true;
        });
        QCOMPARE(m_recorder->shellCalls.size(), 3);
        for (const platform::ShellCall& call : m_recorder->shellCalls) {
            QVERIFY(call.file.startsWith(QLatin1String("https://")));
            QCOMPARE(call.parameters, QString());
            QCOMPARE(call.directory, QString());
            QVERIFY(call.hasOwner);
        }
        QCOMPARE(m_recorder->shellCalls[0].verb, QStringLiteral("open"));
        QVERIFY(m_recorder->shellCalls[0].file.endsWith(QLatin1String("/file/update.php?v=KELMBC39-4.2")));
        QCOMPARE(m_recorder->shellCalls[1].verb, QStringLiteral("open"));
        QCOMPARE(m_recorder->shellCalls[1].file, m_recorder->shellCalls[0].file);
        QCOMPARE(m_recorder->shellCalls[2].verb, QString());
        QVERIFY(m_recorder->shellCalls[2].file.endsWith(QLatin1String("/kelm.htm")));
    }

    void warningBox()
    {
        WarningBox->noWarningBox()->hide(); // as the main window's activation leaves it
        QRect frame;
        const int result = execWhile(WarningBox, [&] {
            frame = WarningBox->frameGeometry();
            click(WarningBox, "OKBtn");
            return true;
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(frame.center(), WarningBox->screen()->availableGeometry().center());
    }
};

QTEST_MAIN(TestWindows)
#include "TestWindows.moc"
