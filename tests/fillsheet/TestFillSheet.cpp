// The Fill a Sheet window: what it shows for the rows and options given, and what it prints.
#include "app/FillSheetDialog.h"
#include "labels/RtfTemplate.h"
#include "platform/Recorder.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const labels::StockLibrary& Library()
{
    static const labels::StockLibrary library = [] {
        labels::StockLibrary l;
        l.loadDatabase();
        return l;
    }();
    return library;
}

int StockIndex(const QString& name)
{
    QString error;
    return Library().find(name, error);
}

template <typename T> T* Child(QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QLatin1String(name));
}

} // namespace

class TestFillSheet : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
    }

    void shows_data()
    {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QString>("rows"); // empty: the current bar code in every label
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("filled"); // labels holding a bar code, over all pages
        QTest::addColumn<QString>("problems");
        QTest::newRow("the current bar code fills every label") << "lb060"
                                                                << "" << 1 << 1 << "Page 1 of 1" << 30 << "";
        QTest::newRow("from the start label on") << "lb060"
                                                 << "" << 11 << 1 << "Page 1 of 1" << 20 << "";
        QTest::newRow("a failing row is listed with its number and kept blank")
            << "lb060"
            << "A1\nb2\nC3" << 1 << 1 << "Page 1 of 1" << 2
            << "Row 2: Error: input character \"b\" not legal in bar code 3 of 9";
        QTest::newRow("copies of a long list run onto more pages")
            << "lb060"
            << "A1\nA2\nA3\nA4\nA5\nA6\nA7\nA8" << 1 << 4 << "Page 1 of 2" << 32 << "";
        QTest::newRow("tiny labels warn before printing") << "lb167"
                                                          << "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD" << 1 << 1
                                                          << "Page 1 of 1" << 1 << "Bar codes are reduced to";
    }
    void shows()
    {
        QFETCH(QString, stock);
        QFETCH(QString, rows);
        QFETCH(int, start);
        QFETCH(int, copies);
        QFETCH(QString, page);
        QFETCH(int, filled);
        QFETCH(QString, problems);
        FillSheetDialog dialog(Library());
        dialog.setBarCodeData(QStringLiteral("INV-2026-0042"));
        QVERIFY(dialog.selectStock(StockIndex(stock)));
        if (!rows.isEmpty())
            dialog.setRows(rows.split(u'\n'));
        Child<QSpinBox>(dialog, "startSpin")->setValue(start);
        Child<QSpinBox>(dialog, "copiesSpin")->setValue(copies);
        QCOMPARE(Child<QLabel>(dialog, "pageLabel")->text(), page);
        QCOMPARE(dialog.sheet().barTexts.size() - dialog.sheet().barTexts.count(QString()), filled);
        const QString shown = Child<QPlainTextEdit>(dialog, "problemsEdit")->toPlainText();
        QVERIFY2(problems.isEmpty() ? shown.isEmpty() : shown.contains(problems), qPrintable(shown));
        QCOMPARE(Child<QPushButton>(dialog, "nextPageButton")->isEnabled(), page.endsWith(QLatin1String("of 2")));
    }

    void search_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("paper"); // index in the paper list
        QTest::addColumn<QString>("first");
        QTest::newRow("a part number") << "L7163" << 0 << "Avery L7163";
        QTest::newRow("one of ours") << "lb163" << 1 << "lb163";
        QTest::newRow("nothing on that paper") << "L7163" << 1 << "";
    }
    void search()
    {
        QFETCH(QString, words);
        QFETCH(int, paper);
        QFETCH(QString, first);
        if (!QFileInfo::exists(QStringLiteral("%1/paper-sizes.xml").arg(labels::kDatabaseFolder)))
            QSKIP("glabels-data is not installed");
        FillSheetDialog dialog(Library());
        dialog.setBarCodeData(QStringLiteral("A1"));
        QTest::keyClicks(Child<QLineEdit>(dialog, "stockSearchEdit"), words);
        Child<QComboBox>(dialog, "paperCombo")->setCurrentIndex(paper);
        auto* list = Child<QListWidget>(dialog, "stockList");
        QCOMPARE(list->count() > 0, !first.isEmpty());
        if (!first.isEmpty()) {
            QVERIFY2(list->item(0)->text().startsWith(first + QLatin1String(" - ")),
                     qPrintable(list->item(0)->text()));
            QCOMPARE(dialog.sheet().stock.name(), first);
        } else {
            QVERIFY(dialog.sheet().labels.isEmpty());
        }
    }

    // Print goes through the print dialog; the PDF it writes decodes label by label.
    void print()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("labels.pdf"));
        platform::Recorder recorder;
        recorder.printDialogAnswer = true;
        recorder.preparePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setResolution(300);
        };
        FillSheetDialog dialog(Library());
        QVERIFY(dialog.selectStock(StockIndex(QStringLiteral("lb161"))));
        dialog.setRows({QStringLiteral("ROW-1"), QStringLiteral("ROW-2"), QStringLiteral("ROW-3")});
        QSignalSpy printed(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(Child<QPushButton>(dialog, "printButton"), Qt::LeftButton);
        QCOMPARE(recorder.printDialogs, 1);
        QCOMPARE(printed.size(), 1);
        QVERIFY(recorder.warnings.isEmpty());

        QProcess raster;
        raster.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"), pdf,
                      dir.filePath(QStringLiteral("page"))});
        QVERIFY(raster.waitForFinished(60000) && raster.exitCode() == 0);
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"),
                   {QStringLiteral("--raw"), QStringLiteral("-q"), QStringLiteral("--nodbus"),
                    QStringLiteral("-Sdisable"), QStringLiteral("-Scode39.enable"),
                    dir.filePath(QStringLiteral("page-1.pgm"))});
        QVERIFY(zbar.waitForFinished(60000));
        QStringList decoded = QString::fromLatin1(zbar.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        decoded.sort();
        QCOMPARE(decoded, (QStringList{"ROW-1", "ROW-2", "ROW-3"}));
    }

    void cancelledPrintWritesNothing()
    {
        platform::Recorder recorder;
        recorder.printDialogAnswer = false;
        FillSheetDialog dialog(Library());
        dialog.setBarCodeData(QStringLiteral("A1"));
        QSignalSpy printed(&dialog, &FillSheetDialog::printed);
        QTest::mouseClick(Child<QPushButton>(dialog, "printOutlinesButton"), Qt::LeftButton);
        QCOMPARE(recorder.printDialogs, 1);
        QCOMPARE(printed.size(), 0);
    }

    // custom.rtf from the chosen stock: written when new, replaced only on Yes, refused for a stock a
    // table cannot hold.
    void saveCustomTemplate_data()
    {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("written");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("warnings");
        QTest::newRow("a new file needs no question") << "lb163" << false << false << true << 0 << 0;
        QTest::newRow("an existing file is replaced on Yes") << "lb163" << true << true << true << 1 << 0;
        QTest::newRow("an existing file is kept on No") << "lb163" << true << false << false << 1 << 0;
        QTest::newRow("round labels are refused with a reason")
            << "Avery 3274.2" << false << true << false << 0 << 1;
    }
    void saveCustomTemplate()
    {
        QFETCH(QString, stock);
        QFETCH(bool, exists);
        QFETCH(bool, answer);
        QFETCH(bool, written);
        QFETCH(int, questions);
        QFETCH(int, warnings);
        if (StockIndex(stock) < 0)
            QSKIP("glabels-data is not installed");
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("custom.rtf"));
        const QByteArray old = "{\\rtf1 mine}";
        if (exists) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        }
        platform::Recorder recorder;
        recorder.questionAnswer = answer;
        FillSheetDialog dialog(Library());
        dialog.setDataFolder(folder.path());
        QVERIFY(dialog.selectStock(StockIndex(stock)));
        QTest::mouseClick(Child<QPushButton>(dialog, "saveTemplateButton"), Qt::LeftButton);
        QCOMPARE(recorder.questions.size(), questions);
        QCOMPARE(recorder.warnings.size(), warnings);
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        // Our template for the stock, byte for byte: the same code wrote the installed lb163.rtf.
        if (written)
            QCOMPARE(bytes, labels::LabelTemplateRtf(dialog.sheet().stock, QStringLiteral("custom")));
        else
            QCOMPARE(bytes, exists ? old : QByteArray());
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestFillSheet)
#include "TestFillSheet.moc"
