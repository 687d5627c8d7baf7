// The windows and the code39 command take their defaults and ranges from one table: each limit is accepted
// by both and the next step beyond it refused by both. Also what the limits serve: a full sheet from one
// bar code, and Copy offering only the pictures it can make.
#include "app/BarCodeExport.h"
#include "app/FillSheetDialog.h"
#include "app/MainWindow.h"
#include "platform/Recorder.h"
#include "render/BarCodeFiles.h"
#include "render/OutputLimits.h"
#include "support/Programs.h"

#include <QComboBox>
#include <QMimeData>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// code39's exit status for the arguments, run in folder; -1 when it did not run to the end.
int Code39Status(const QStringList& arguments, const QString& folder)
{
    return support::RunProgram(QStringLiteral(CODE39_EXE), arguments, {.workingDirectory = folder}).status;
}

QString Number(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

class TestOutputLimits : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
    }

    // Each row: the command's option at the limit (accepted) and one step beyond (refused as bad usage),
    // and the window control that holds the same value, when there is one.
    void commandAndWindowAgree_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "%1" stands for the value
        QTest::addColumn<QString>("limit");
        QTest::addColumn<QString>("beyond");
        QTest::addColumn<QString>("control"); // the Fill a Sheet window's spin box and its bound; empty for none
        QTest::addColumn<double>("controlLimit");
        const QString max = Number(render::kMaxPointSize);
        const QString offset = Number(render::kMaxOffsetMm);
        const QString sheet = QStringLiteral("labels.pdf");
        QTest::newRow("largest point size of a picture")
            << QStringList{"--svg", "x.svg", "--size", "%1", "A"} << max << Number(render::kMaxPointSize + 0.1)
            << "sizeSpin.maximum" << render::kMaxPointSize;
        QTest::newRow("smallest point size of a picture")
            << QStringList{"--svg", "x.svg", "--size", "%1", "A"} << Number(render::kMinPointSize)
            << Number(render::kMinPointSize - 0.1) << "sizeSpin.minimum" << render::kMinPointSize;
        QTest::newRow("largest point size on labels")
            << QStringList{"--labels", "lb164", "--pdf", sheet, "--size", "%1", "A"} << max
            << Number(render::kMaxPointSize + 0.1) << "sizeSpin.maximum" << render::kMaxPointSize;
        QTest::newRow("largest offset to the right")
            << QStringList{"--labels", "lb164", "--pdf", sheet, "--offset", "%1,0", "A"} << offset
            << Number(render::kMaxOffsetMm + 0.1) << "offsetXSpin.maximum" << render::kMaxOffsetMm;
        QTest::newRow("largest offset up")
            << QStringList{"--labels", "lb164", "--pdf", sheet, "--offset", "0,%1", "A"} << "-" + offset
            << Number(-render::kMaxOffsetMm - 0.1) << "offsetYSpin.minimum" << -render::kMaxOffsetMm;
        QTest::newRow("most copies: a full sheet of the largest stock")
            << QStringList{"--labels", "lb167", "--pdf", sheet, "--copies", "%1", "A"}
            << QString::number(render::kMaxCopies) << QString::number(render::kMaxCopies + 1)
            << "copiesSpin.maximum" << double(render::kMaxCopies);
        QTest::newRow("tallest bars on labels")
            << QStringList{"--labels", "lb164", "--pdf", sheet, "--height", "%1", "A"}
            << Number(render::kMaxBarHeightMm) << Number(render::kMaxBarHeightMm + 0.1) << "" << 0.0;
        QTest::newRow("lowest bars on labels")
            << QStringList{"--labels", "lb164", "--pdf", sheet, "--height", "%1", "A"}
            << Number(render::kMinBarHeightMm) << Number(render::kMinBarHeightMm - 0.1) << "" << 0.0;
        QTest::newRow("highest resolution of a picture")
            << QStringList{"--png", "x.png", "--dpi", "%1", "A"} << QString::number(render::kMaxDpi)
            << QString::number(render::kMaxDpi + 1) << "" << 0.0;
        QTest::newRow("lowest resolution of a picture")
            << QStringList{"--png", "x.png", "--dpi", "%1", "A"} << QString::number(render::kMinDpi)
            << QString::number(render::kMinDpi - 1) << "" << 0.0;
    }
    void commandAndWindowAgree()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, limit);
        QFETCH(QString, beyond);
        QFETCH(QString, control);
        QFETCH(double, controlLimit);
        const auto with = [&](const QString& value) {
            QStringList filled;
            for (const QString& argument : std::as_const(arguments))
                filled << QString(argument).replace(QLatin1String("%1"), value);
            return filled;
        };
        QTemporaryDir folder;
        QCOMPARE(Code39Status(with(limit), folder.path()), 0);
        QCOMPARE(Code39Status(with(beyond), folder.path()), 2);

        if (control.isEmpty())
            return;
        const labels::StockLibrary library;
        FillSheetDialog dialog(library);
        QAbstractSpinBox* box = dialog.findChild<QAbstractSpinBox*>(control.section(u'.', 0, 0));
        QVERIFY(box);
        QCOMPARE(box->property(qPrintable(control.section(u'.', 1))).toDouble(), controlLimit);
    }

    // The main window's size box takes sizes up to what a copy can carry, no further.
    void windowPointSize_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("used");
        QTest::newRow("the largest") << QString::number(render::kMaxWindowPointSize)
                                     << render::kMaxWindowPointSize;
        QTest::newRow("one beyond: the largest")
            << QString::number(render::kMaxWindowPointSize + 1) << render::kMaxWindowPointSize;
        QTest::newRow("below the least: the least") << "0" << int(render::kMinPointSize);
    }
    void windowPointSize()
    {
        QFETCH(QString, typed);
        QFETCH(int, used);
        platform::Recorder recorder;
        MainWindow window(QStringLiteral("kelmtips.ini"));
        auto* box = window.findChild<QComboBox*>(QStringLiteral("pointSizeBox"));
        QVERIFY(box);
        box->setEditText(typed);
        QCOMPARE(window.pointSize(), used);
    }

    // "The current bar code in every label" fills a whole sheet, however many labels it holds.
    void fullSheetOfOneBarCode_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("start");
        QTest::newRow("2,000 labels") << 40 << 50 << 1;
        QTest::newRow("the largest sheet a stock may be") << 100 << 100 << 1;
        QTest::newRow("from a start label on") << 40 << 50 << 1500;
    }
    void fullSheetOfOneBarCode()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, start);
        QCOMPARE(columns * rows <= labels::kMaxLabelsPerSheet, true);
        labels::UserStockInput stock;
        stock.name = QStringLiteral("Tiny");
        stock.pageWidth = 1000;
        stock.pageHeight = 1000;
        stock.labelWidth = 9;
        stock.labelHeight = 9;
        stock.columns = columns;
        stock.rows = rows;
        stock.pitchX = 10;
        stock.pitchY = 10;
        platform::Recorder recorder;
        const labels::StockLibrary library;
        FillSheetDialog dialog(library);
        dialog.setUserStocks({stock});
        QVERIFY(dialog.selectStockNamed(QStringLiteral("Tiny")));
        dialog.findChild<QSpinBox*>(QStringLiteral("startSpin"))->setValue(start);
        dialog.setBarCodeData(QStringLiteral("A1"));
        const labels::Sheet& sheet = dialog.sheet();
        QCOMPARE(sheet.labels.size(), columns * rows);
        QCOMPARE(sheet.barTexts.size(), columns * rows);
        QCOMPARE(sheet.barTexts.count(QStringLiteral("*A1*")), columns * rows - start + 1);
        QCOMPARE(sheet.pageCount(), 1);
        QVERIFY(sheet.failures.isEmpty());
    }

    // Copy offers a PNG exactly when one can be made: the same measure as the drawing, margins included.
    void copyOffersOnlyPicturesItCanMake_data()
    {
        QTest::addColumn<int>("characters"); // start and stop included
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        QTest::newRow("a short bar code") << 6 << 22.0 << 300;
        QTest::newRow("the longest PNG at 4 pixels an em") << 249998 << 4.0 << 72;
        QTest::newRow("one character longer") << 249999 << 4.0 << 72;
        QTest::newRow("a large size: the image's area") << 14 << 480.0 << 300;
    }
    void copyOffersOnlyPicturesItCanMake()
    {
        QFETCH(int, characters);
        QFETCH(double, points);
        QFETCH(int, dpi);
        kelm::MadeBarCode made;
        made.data = QString(characters - 2, u'A');
        made.barText = u'*' + made.data + u'*';
        made.pointSize = int(points);
        QMimeData text;
        text.setText(made.data);
        const std::unique_ptr<QMimeData> copied(kelm::WithPictures(text, made, dpi));
        QString error;
        const QByteArray png = render::BarCodePng(made.barText, made.look(), dpi, error);
        QCOMPARE(copied->hasFormat(QStringLiteral("image/png")), !png.isEmpty());
        QCOMPARE(copied->formats().contains(QStringLiteral("image/png")), !png.isEmpty());
        if (!png.isEmpty())
            QCOMPARE(copied->data(QStringLiteral("image/png")), png);
        QVERIFY(copied->hasFormat(QStringLiteral("image/svg+xml")));
    }

    // Where the symbol alone would fit an image but not with the margins the drawing adds round it, Copy
    // offers no PNG (it once did, and then had none to give).
    void copyWeighsTheMargins()
    {
        constexpr int kDpi = 300;
        kelm::MadeBarCode made;
        made.pointSize = 120;
        // The first length whose image is too large.
        render::BarCodeImageSize size;
        QString error;
        do {
            made.data += u'A';
            made.barText = u'*' + made.data + u'*';
        } while (render::MeasureBarCodeImage(made.barText, made.look(), kDpi, size, error));
        QVERIFY(size.tooLarge);
        const QSizeF symbol = render::BarCodeExtent(made.barText, made.look(), kDpi);
        QVERIFY(symbol.width() < render::kMaxPngWidth &&
                symbol.width() * symbol.height() < render::kMaxImagePixels);
        QMimeData text;
        text.setText(made.data);
        const std::unique_ptr<QMimeData> copied(kelm::WithPictures(text, made, kDpi));
        QVERIFY(!copied->hasFormat(QStringLiteral("image/png")));
        QVERIFY(render::BarCodePng(made.barText, made.look(), kDpi, error).isEmpty());
        QVERIFY(copied->hasFormat(QStringLiteral("image/svg+xml")));
    }

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestOutputLimits)
#include "TestOutputLimits.moc"
