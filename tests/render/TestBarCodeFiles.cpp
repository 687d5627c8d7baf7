// The file forms of a bar code checked from outside: the PDF's page read back by pdfinfo, the SVG parsed
// as XML, the PNG decoded, and the sizes the files may take.
#include "render/BarCodeFiles.h"
#include "support/Files.h"
#include "support/Programs.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// The SVG's <title>, or a parse error.
QString SvgTitle(const QByteArray& svg)
{
    QXmlStreamReader xml(svg);
    QString title;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("title"))
            title = xml.readElementText();
    }
    return xml.hasError() ? "error: " + xml.errorString() : title;
}

// "Page size: W x H pts" and the title, as pdfinfo reads them.
QString PdfInfo(const QByteArray& pdf, const QString& field)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("x.pdf");
    if (!support::WriteFile(file, pdf))
        return {};
    const QString text = QString::fromUtf8(support::RunProgram("pdfinfo", {file}).out);
    return QRegularExpression("^" + field + ":\\s*(.*)$", QRegularExpression::MultilineOption)
        .match(text)
        .captured(1)
        .trimmed();
}

} // namespace

class TestBarCodeFiles : public QObject {
    Q_OBJECT
private slots:
    // A 12-character bar code stays small in the vector forms, and the PDF page is the symbol and its
    // quiet zones: 16 modules a character, 10 each side, rounded up to whole points.
    void sizesAndPage_data()
    {
        QTest::addColumn<bool>("textAbove");
        QTest::addColumn<double>("points");
        QTest::newRow("text below, 22 pt") << false << 22.0;
        QTest::newRow("text above, 22 pt") << true << 22.0;
        QTest::newRow("text below, 9.5 pt") << false << 9.5;
        QTest::newRow("text above, 72 pt") << true << 72.0;
    }
    void sizesAndPage()
    {
        QFETCH(bool, textAbove);
        QFETCH(double, points);
        const QString symbol = "*INV-2026-00*"; // 11 data characters and a check character
        const render::BarCodeLook look{textAbove, points, true};
        QString error;
        const QByteArray svg = render::BarCodeSvg(symbol, look, "INV-2026-00", error);
        const QByteArray pdf = render::BarCodePdf(symbol, look, "INV-2026-00", error);
        QVERIFY2(svg.size() < 8 * 1024, QByteArray::number(svg.size()));
        QVERIFY2(pdf.size() < 40 * 1024, QByteArray::number(pdf.size()));
        const double width = (symbol.size() * 16 + 20) * points / 16;
        const QStringList page = PdfInfo(pdf, "Page size").split(' ');
        QCOMPARE(page.value(0).toDouble(), std::ceil(width));
        QVERIFY(page.value(2).toDouble() > points && page.value(2).toDouble() < 2 * points);
        QCOMPARE(PdfInfo(pdf, "Pages"), QStringLiteral("1"));
        QCOMPARE(PdfInfo(pdf, "Title"), QStringLiteral("INV-2026-00"));
    }

    // Any title gives a well-formed SVG that reads back as the title, with what XML cannot hold replaced.
    void svgTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("read");
        QTest::newRow("markup characters") << "a<b>&\"c\""
                                           << "a<b>&\"c\"";
        QTest::newRow("a closing tag cannot end the title early") << "</title><x/>"
                                                                  << "</title><x/>";
        QTest::newRow("control characters become U+FFFD, tab and line ends stay")
            << QString("a\x01\tb\nc\x1B") << QString("a\uFFFD\tb\nc\uFFFD");
        QTest::newRow("a lone surrogate becomes U+FFFD, a pair stays")
            << QString(QChar(0xD800)) + "x" + QString::fromUtf8("\xF0\x9F\x98\x80")
            << QString(QChar(0xFFFD)) + "x" + QString::fromUtf8("\xF0\x9F\x98\x80");
    }
    void svgTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, read);
        QString error;
        QCOMPARE(SvgTitle(render::BarCodeSvg("*A*", {}, title, error)), read);
    }

    // What cannot be drawn gives no bytes and a reason, never a partial file.
    void refusals_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("png"); // part of the reason; empty when the PNG is made
        QTest::addColumn<bool>("svg");    // made
        QTest::addColumn<bool>("pdf");    // made
        QTest::newRow("nothing to draw") << "" << 22.0 << 300 << "nothing to draw" << false << false;
        QTest::newRow("a character without bars leaves no gap: refused")
            << "*Aé*" << 22.0 << 300 << "\"é\" has no bars" << false << false;
        QTest::newRow("wider than a PNG may be")
            << "*" + QString(62499, u'A') + "*" << 1.0 << 1152 << "image too wide" << true << false;
        QTest::newRow("a PDF page beyond 200 inches")
            << "*" + QString(1000, u'A') + "*" << 22.0 << 36 << "" << true << false;
        QTest::newRow("a row of a megabyte is too large for every picture")
            << "*" + QString(1 << 20, u'A') + "*" << 22.0 << 300 << "the image would be too large" << false
            << false;
        QTest::newRow("the longest PNG at 4 pixels an em has its SVG too")
            << "*" + QString(249996, u'A') + "*" << 4.0 << 72 << "" << true << false;
        QTest::newRow("an SVG laid out but beyond its bytes: long numbers at a large size")
            << "*" + QString(450000, u'A') + "*" << 1000.0 << 300 << "too large" << false << false;
    }
    void refusals()
    {
        QFETCH(QString, symbol);
        QFETCH(double, points);
        QFETCH(int, dpi);
        QFETCH(QString, png);
        QFETCH(bool, svg);
        QFETCH(bool, pdf);
        const render::BarCodeLook look{false, points, true};
        QString error;
        const QByteArray image = render::BarCodePng(symbol, look, dpi, error);
        QCOMPARE(image.isEmpty(), !png.isEmpty());
        QVERIFY2(png.isEmpty() || error.contains(png), qPrintable(error));
        QVERIFY(image.isEmpty() || !QImage::fromData(image, "PNG").isNull());
        error.clear();
        const QByteArray drawing = render::BarCodeSvg(symbol, look, "t", error);
        QCOMPARE(!drawing.isEmpty(), svg);
        QCOMPARE(error.isEmpty(), svg);
        QVERIFY(drawing.size() <= render::kMaxSvgBytes);
        // Too large is one reason, said alike for the image and the drawing.
        if (!svg && png.contains("too large"))
            QCOMPARE(error, QStringLiteral("the image would be too large"));
        error.clear();
        QCOMPARE(!render::BarCodePdf(symbol, look, "t", error).isEmpty(), pdf);
        QCOMPARE(error.isEmpty(), pdf);
    }

    // The measure the drawing itself takes: a PNG is made exactly when the measure allows it, at the size
    // it gives, margins included.
    void imageMeasure_data()
    {
        QTest::addColumn<int>("characters"); // start and stop included
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("made");
        // 4 pixels an em: 4 a character, a quiet zone of 3 and a margin of 1 each side.
        QTest::newRow("exactly as wide as a PNG may be") << 249998 << 4.0 << 72 << true;
        QTest::newRow("one character wider") << 249999 << 4.0 << 72 << false;
        QTest::newRow("a short bar code") << 6 << 22.0 << 300 << true;
        QTest::newRow("too many pixels") << 14 << 480.0 << 300 << false;
    }
    void imageMeasure()
    {
        QFETCH(int, characters);
        QFETCH(double, points);
        QFETCH(int, dpi);
        QFETCH(bool, made);
        const QString symbol = "*" + QString(characters - 2, u'A') + "*";
        const render::BarCodeLook look{false, points, true};
        render::BarCodeImageSize size;
        QString measureError;
        QCOMPARE(render::MeasureBarCodeImage(symbol, look, dpi, size, measureError), made);
        QImage image;
        QString drawError;
        QCOMPARE(render::DrawBarCodeImage(symbol, look, dpi, image, drawError), made);
        QCOMPARE(drawError, measureError);
        if (made)
            QCOMPARE(QSize(image.width(), image.height()), QSize(int(size.width), int(size.height)));
        if (characters > 1000 && made)
            QCOMPARE(size.width, render::kMaxPngWidth);
        if (characters > 1000 && !made)
            QVERIFY2(measureError.contains("1000004 pixels"), qPrintable(measureError));
    }

    // The PNG holds exactly what the painter draws on a label or a preview, pixel for pixel, and says its
    // resolution: every character, both families, with and without antialiasing, odd sizes.
    void pngIsThePaintersDrawing_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<bool>("textAbove");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("antialias");
        const QString every = "*0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.~$/+%*";
        QTest::newRow("every character, the usual size") << every << false << 22.0 << 300 << true;
        QTest::newRow("every character, text above") << every << true << 22.0 << 300 << true;
        QTest::newRow("without antialiasing") << every << false << 22.0 << 300 << false;
        QTest::newRow("an odd size on a screen") << every << true << 7.3 << 96 << true;
        QTest::newRow("one pixel an em") << every << false << 1.0 << 36 << true;
        QTest::newRow("a large size, few characters") << "*AQ7*" << false << 300.0 << 300 << true;
        QTest::newRow("a repeated character") << "*" + QString(40, u'W') + "*" << true << 13.0 << 600 << false;
    }
    void pngIsThePaintersDrawing()
    {
        QFETCH(QString, symbol);
        QFETCH(bool, textAbove);
        QFETCH(double, points);
        QFETCH(int, dpi);
        QFETCH(bool, antialias);
        const render::BarCodeLook look{textAbove, points, antialias};
        render::BarCodeImageSize size;
        QString error;
        QVERIFY2(render::MeasureBarCodeImage(symbol, look, dpi, size, error), qPrintable(error));
        QImage painted(int(size.width), int(size.height), QImage::Format_RGB32);
        painted.setDotsPerMeterX(qRound(dpi / 0.0254));
        painted.setDotsPerMeterY(qRound(dpi / 0.0254));
        painted.fill(Qt::white);
        {
            QPainter painter(&painted);
            render::DrawBarCode(painter, QPointF(size.margin, size.margin), symbol, look);
        }
        const QImage png = QImage::fromData(render::BarCodePng(symbol, look, dpi, error), "PNG");
        QVERIFY2(!png.isNull(), qPrintable(error));
        QCOMPARE(png.format(), QImage::Format_Grayscale8);
        QCOMPARE(png.size(), painted.size());
        QCOMPARE(png.dotsPerMeterX(), painted.dotsPerMeterX());
        QCOMPARE(png.dotsPerMeterY(), painted.dotsPerMeterY());
        for (int y = 0; y < png.height(); ++y) {
            const QRgb* expected = reinterpret_cast<const QRgb*>(painted.constScanLine(y));
            const uchar* row = png.constScanLine(y);
            for (int x = 0; x < png.width(); ++x) {
                if (row[x] != qGray(expected[x]))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3, painted %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(row[x])
                                         .arg(qGray(expected[x]))));
            }
        }
    }

    // The type a file name asks for, and the bytes of each type.
    void pictureTypes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("head"); // the file's first bytes
        QTest::newRow("png") << "a/b.png" << int(render::PictureType::Png) << QByteArray("\x89PNG");
        QTest::newRow("svg, case aside") << "b.SVG" << int(render::PictureType::Svg) << QByteArray("<?xml");
        QTest::newRow("pdf") << "b.tar.pdf" << int(render::PictureType::Pdf) << QByteArray("%PDF-");
        QTest::newRow("any other extension: PNG")
            << "b.jpg" << int(render::PictureType::Png) << QByteArray("\x89PNG");
        QTest::newRow("none: PNG") << "b" << int(render::PictureType::Png) << QByteArray("\x89PNG");
    }
    void pictureTypes()
    {
        QFETCH(QString, path);
        QFETCH(int, type);
        QFETCH(QByteArray, head);
        const render::PictureType found = render::PictureTypeOf(path);
        QCOMPARE(int(found), type);
        QVERIFY(render::PictureFilters().split(";;").value(type).contains("*." + render::PictureExtension(found)));
        QString error;
        QVERIFY(render::PictureBytes(found, "*A*", {}, "A", 300, error).startsWith(head));
        QVERIFY(error.isEmpty());
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    TestBarCodeFiles test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestBarCodeFiles.moc"
