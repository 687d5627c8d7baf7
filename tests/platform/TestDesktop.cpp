#include "platform/Application.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"
#include "platform/RawPrinter.h"
#include "platform/Recorder.h"
#include "support/Files.h"
#include "support/Modal.h"
#include "support/TemporaryHome.h"

#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <optional>
#include <stdexcept>

namespace {

// Hands the next modal message box to inspect() once it is up, then presses its OK button.
void answerNextBox(std::function<void(QMessageBox*)> inspect)
{
    support::OnNextModal<QMessageBox>([inspect](QMessageBox* box) {
        inspect(box);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->done(0);
    });
}

struct Box {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QPoint pos;
    bool modal = false;
};

Box describe(QMessageBox* box)
{
    Box seen{box->windowTitle(), box->text(), box->icon(), {}, box->pos(), box->isModal()};
    for (QAbstractButton* b : box->buttons())
        seen.buttons.append(b->text());
    return seen;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
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
        QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
        QTest::newRow("plus sign") << "+5" << true << 5;
        QTest::newRow("group separator") << "1,000" << false << 0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0;
        QTest::newRow("exponent") << "1e3" << false << 0;
        QTest::newRow("non-ASCII digit") << "\u0663" << false << 0;
        QTest::newRow("trailing no-break space") << "5\u00A0" << false << 0;
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

    void pathLimit_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("fits");
        QTest::newRow("259 characters and the NUL fit") << 259 << true;
        QTest::newRow("260 characters leave no room for the NUL") << 260 << false;
    }
    void pathLimit()
    {
        QFETCH(int, length);
        QFETCH(bool, fits);
        QCOMPARE(platform::FitsPathLimit(QString(length, u'x')), fits);
    }

    // The documents folder as user-dirs.dirs names it, escapes read as the desktop reads them.
    void documentsFolder_data()
    {
        QTest::addColumn<QByteArray>("userDirs"); // the file's bytes; "-" for no file
        QTest::addColumn<QString>("expected");    // below HOME unless absolute
        QTest::newRow("no user-dirs.dirs") << QByteArray("-") << "Documents";
        QTest::newRow("a folder below HOME") << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n") << "Papiere";
        QTest::newRow("a quote in the name, escaped")
            << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/My Docs \\\"q\\\"\"\n") << "My Docs \"q\"";
        QTest::newRow("an escaped backslash and dollar")
            << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/a\\\\b\\$c\"\n") << "a\\b$c";
        QTest::newRow("an absolute folder") << QByteArray("XDG_DOCUMENTS_DIR=\"/srv/papers/\"\n") << "/srv/papers";
        QTest::newRow("blanks around the sign, CRLF line ends")
            << QByteArray("\tXDG_DOCUMENTS_DIR = \"$HOME/Docs\"\r\n") << "Docs";
        QTest::newRow("the last line wins")
            << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME/One\"\nXDG_DOCUMENTS_DIR=\"$HOME/Two\"") << "Two";
        QTest::newRow("other folders and comments are passed over")
            << QByteArray("# XDG_DOCUMENTS_DIR=\"$HOME/No\"\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n") << "Documents";
        QTest::newRow("a relative value is no folder")
            << QByteArray("XDG_DOCUMENTS_DIR=\"Docs\"\n") << "Documents";
        QTest::newRow("$HOME without a folder after it is no folder")
            << QByteArray("XDG_DOCUMENTS_DIR=\"$HOME\"\n") << "Documents";
        QTest::newRow("an unquoted value is no folder")
            << QByteArray("XDG_DOCUMENTS_DIR=$HOME/Docs\n") << "Documents";
    }
    void documentsFolder()
    {
        QFETCH(QByteArray, userDirs);
        QFETCH(QString, expected);
        support::TemporaryHome home;
        QVERIFY(home.isValid());
        home.setVariable("HOME", home.path() + "/");
        // A configuration folder of its own, as XDG_CONFIG_HOME may name one.
        home.setVariable("XDG_CONFIG_HOME", home.path() + "/conf");
        if (userDirs != "-") {
            QVERIFY(QDir(home.path()).mkdir("conf"));
            QVERIFY(support::WriteFile(home.path() + "/conf/user-dirs.dirs", userDirs));
        }
        const QString folder = platform::DocumentsFolder();
        QCOMPARE(folder,
                 QDir::toNativeSeparators(expected.startsWith(u'/') ? expected : home.path() + "/" + expected));
    }

    // The boxes themselves, shown for real and answered from a timer.
    void warningBox()
    {
        QWidget owner;
        owner.show();
        Box seen;
        answerNextBox([&](QMessageBox* box) { seen = describe(box); });
        platform::ShowWarning(&owner, {110, 120},
                              "The folder /x/Zovod/ is missing, please re-install this product.");
        QCOMPARE(seen.title, QString("Warning"));
        QCOMPARE(seen.text, QString("The folder /x/Zovod/ is missing, please re-install this product."));
        QCOMPARE(seen.icon, QMessageBox::Warning);
        QCOMPARE(seen.buttons, QStringList{"OK"});
        QCOMPARE(seen.pos, QPoint(110, 120));
        QVERIFY(seen.modal);
    }

    void standardErrorBox()
    {
        QCoreApplication::setApplicationName("Make a bar code 3 of 9"); // the program names itself at start-up
        Box seen;
        answerNextBox([&](QMessageBox* box) { seen = describe(box); });
        platform::ShowStandardError("Unable to write to /x/kelmtips.ini");
        QCOMPARE(seen.title, QString("Make a bar code 3 of 9"));
        QCOMPARE(seen.text, QString("Unable to write to /x/kelmtips.ini."));
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.buttons, QStringList{"OK"});
        QVERIFY(seen.modal);
    }

    // A path in a message is shown as it is spelled, never read as markup: a folder named "<b>x</b>" is
    // a legal name on some systems.
    void boxesShowPlainText_data()
    {
        QTest::addColumn<bool>("warning");
        QTest::addColumn<QString>("text");
        QTest::newRow("warning naming a folder with a tag")
            << true << "The folder /home/<b>x</b>/Zovod/ is missing, please re-install this product.";
        QTest::newRow("warning naming a folder with an entity")
            << true << "The folder /home/a&lt;b/Zovod/ is missing, please re-install this product.";
        QTest::newRow("error naming a settings file under a tag")
            << false << "Unable to write to /<i>/kelmtips.ini";
    }
    void boxesShowPlainText()
    {
        QFETCH(bool, warning);
        QFETCH(QString, text);
        bool literal = false;
        QString shown;
        answerNextBox([&](QMessageBox* box) {
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            if (!label)
                return;
            shown = label->text();
            literal = label->textFormat() == Qt::PlainText ||
                      (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(shown));
        });
        if (warning)
            platform::ShowWarning(nullptr, {110, 120}, text);
        else
            platform::ShowStandardError(text);
        QVERIFY(shown.startsWith(text));
        QVERIFY2(literal, qPrintable(shown));
    }

    // An exception that escapes an event handler reaches the standard error box, and the loop goes on.
    void exceptionInHandler_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("shown");
        QTest::newRow("INI error from a timer") << "timer"
                                                << "Unable to write to /x/kelmtips.ini.";
        QTest::newRow("conversion error from a button click") << "click"
                                                              << "''2x'' is not a valid integer value.";
        QTest::newRow("any standard exception from a timer") << "std"
                                                             << "boom.";
    }
    void exceptionInHandler()
    {
        QFETCH(QString, where);
        QFETCH(QString, shown);
        platform::Recorder recorder;
        QPushButton button("Make");
        if (where == "timer") {
            QTimer::singleShot(0, &button, [] { throw platform::IniError("Unable to write to /x/kelmtips.ini"); });
        } else if (where == "std") {
            QTimer::singleShot(0, &button, [] { throw std::runtime_error("boom"); });
        } else {
            QObject::connect(&button, &QPushButton::clicked, [] { platform::StrToInt("2x"); });
            button.show();
            QVERIFY(QTest::qWaitForWindowExposed(&button));
            QTest::mouseClick(&button, Qt::LeftButton);
        }
        QTRY_COMPARE(recorder.errors, QStringList{shown});
        bool later = false;
        QTimer::singleShot(0, &button, [&] { later = true; });
        QTRY_VERIFY(later);
        QCOMPARE(recorder.errors.size(), 1);
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

    // The Save As dialog settles the file type: a name that already ends in one of the offered extensions
    // keeps it, any other gains the chosen filter's first extension.
    void withFilterExtension_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("result");
        const QString png = "PNG image (*.png)", svg = "SVG drawing (*.svg *.svgz)";
        // clang-format off
        QTest::newRow("no extension gains the chosen one") << "/d/code" << svg << "/d/code.svg";
        QTest::newRow("an offered extension wins over the filter") << "/d/code.png" << svg << "/d/code.png";
        QTest::newRow("an offered extension in capitals") << "/d/code.SVG" << png << "/d/code.SVG";
        QTest::newRow("a second extension of a filter counts") << "/d/code.svgz" << png << "/d/code.svgz";
        QTest::newRow("an extension nobody offered is kept, the chosen one added") << "/d/code.txt" << png
            << "/d/code.txt.png";
        QTest::newRow("a dot in the folder is no extension") << "/d/x.png/code" << png << "/d/x.png/code.png";
        QTest::newRow("a name that is only the extension gains one") << "/d/.png" << png << "/d/.png.png";
        QTest::newRow("no filter chosen leaves the name") << "/d/code" << QString() << "/d/code";
        QTest::newRow("a filter without a pattern leaves the name") << "/d/code" << "All files (*)" << "/d/code";
        QTest::newRow("cancel stays empty") << QString() << png << QString();
        // clang-format on
    }
    void withFilterExtension()
    {
        QFETCH(QString, path);
        QFETCH(QString, chosen);
        QFETCH(QString, result);
        const QString filters = "PNG image (*.png);;SVG drawing (*.svg *.svgz)";
        QCOMPARE(platform::WithFilterExtension(path, filters, chosen), result);
        // The recorder's answer goes through the same step, and the call is kept.
        platform::Recorder recorder;
        recorder.saveFileName = path;
        recorder.saveFileFilter = chosen;
        QCOMPARE(platform::AskSaveFileName(nullptr, "Save", "/d/start.png", filters), result);
        QCOMPARE(recorder.saveFileCalls.size(), 1);
        QCOMPARE(recorder.saveFileCalls[0].startPath, QString("/d/start.png"));
        QCOMPARE(recorder.saveFileCalls[0].filters, filters);
    }

    // Work on a worker thread behind a progress dialog: shown for real once the work takes a while, its
    // Cancel stopping the work; under a recorder nothing shows, and the recorder's answer may cancel at once.
    void runWithProgress_data()
    {
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<bool>("cancel"); // the recorder's answer, or pressing Cancel in the dialog
        QTest::newRow("the dialog's Cancel stops the work") << false << true;
        QTest::newRow("recorded and left to finish") << true << false;
        QTest::newRow("recorded and cancelled") << true << true;
    }
    void runWithProgress()
    {
        QFETCH(bool, recorded);
        QFETCH(bool, cancel);
        constexpr int kSteps = 500;
        std::optional<platform::Recorder> recorder;
        if (recorded) {
            recorder.emplace();
            recorder->cancelProgress = cancel;
        }
        QWidget owner;
        owner.show();
        bool shown = false;
        if (!recorded) {
            support::OnNextModal<QProgressDialog>([&](QProgressDialog* dialog) {
                shown = true;
                QCOMPARE(dialog->labelText(), QString("Reading every label back..."));
                QCOMPARE(dialog->maximum(), kSteps);
                QPushButton* cancelButton = dialog->findChild<QPushButton*>();
                QVERIFY(cancelButton);
                QCOMPARE(cancelButton->text(), QString("Cancel"));
                cancelButton->click();
            });
        }
        qsizetype reached = 0;
        const bool finished =
            platform::RunWithProgress(&owner, "Reading every label back...", kSteps,
                                      [&](const std::atomic_bool& cancelled, std::atomic<qsizetype>& done) {
                                          // Slow enough for the dialog to show before the end.
                                          for (int step = 0; step < kSteps && !cancelled; ++step) {
                                              if (!recorded)
                                                  QThread::msleep(10);
                                              done = step + 1;
                                          }
                                          reached = done;
                                      });
        QCOMPARE(finished, !cancel);
        QCOMPARE(reached == kSteps, !cancel);
        QCOMPARE(shown, !recorded);
        if (recorded)
            QCOMPARE(recorder->progressTexts, QStringList{"Reading every label back..."});
    }

    // Raw jobs: the recorder keeps the bytes exactly as sent, or fails as the print system would; the print
    // system itself names a queue it does not have (or says it does not answer) and prints nothing.
    void rawPrint_data()
    {
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("refusal"); // the recorder's rawPrintError
        QTest::addColumn<QString>("error");   // a part of it; empty: sent
        // clang-format off
        QTest::newRow("an offered queue takes the bytes as they are") << true << "Thermal" << "" << "";
        QTest::newRow("a queue not offered is named") << true << "Gone" << ""
            << "there is no print queue called \"Gone\"";
        QTest::newRow("the print system's refusal is passed on") << true << "Thermal" << "the printer is off"
            << "the printer is off";
        QTest::newRow("the print system: a queue it does not have") << false << "kelm test: no such queue" << ""
            << "<none>";
        // clang-format on
    }
    void rawPrint()
    {
        QFETCH(bool, recorded);
        QFETCH(QString, queue);
        QFETCH(QString, refusal);
        QFETCH(QString, error);
        // Every byte a page language may hold, its escape characters and a NUL among them.
        QByteArray bytes = "^XA^FH^FD_5E_7E~^FS^XZ\r\n";
        for (int i = 0; i < 256; ++i)
            bytes += char(i);
        std::optional<platform::Recorder> recorder;
        if (recorded) {
            recorder.emplace();
            recorder->printerNames = {QStringLiteral("Office"), QStringLiteral("Thermal")};
            recorder->rawPrintError = refusal;
            QCOMPARE(platform::PrinterNames(), recorder->printerNames);
        }
        QString reason;
        const bool sent = platform::PrintRaw(queue, QStringLiteral("labels"), bytes, reason);
        QCOMPARE(sent, error.isEmpty());
        if (error == u"<none>") {
            // Either the queue is named or the print system's silence is said.
            QVERIFY2(reason == QStringLiteral("there is no print queue called \"%1\"").arg(queue) ||
                         reason == QStringLiteral("the print system (CUPS) does not answer; is it running?"),
                     qPrintable(reason));
        } else {
            QVERIFY2(reason.contains(error), qPrintable(reason));
        }
        if (recorder) {
            QCOMPARE(recorder->rawPrintJobs.size(), sent ? 1 : 0);
            if (sent) {
                QCOMPARE(recorder->rawPrintJobs[0].queue, queue);
                QCOMPARE(recorder->rawPrintJobs[0].jobName, QStringLiteral("labels"));
                QCOMPARE(recorder->rawPrintJobs[0].bytes, bytes);
            }
        }
    }

    void nestedRecorders()
    {
        platform::Recorder outer;
        {
            platform::Recorder inner;
            platform::MessageBeep();
            QCOMPARE(inner.beeps, 1);
        }
        platform::ShellExecute(nullptr, "", "https://example.invalid/", "", "");
        QCOMPARE(outer.shellCalls.size(), 1);
        QCOMPARE(outer.beeps, 0);
    }
};

int main(int argc, char** argv)
{
    platform::Application app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}
#include "TestDesktop.moc"
