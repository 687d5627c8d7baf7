// Label stocks read from the label-template database, sheets filled and fitted, list files, templates,
// and code39 --labels as a user runs it: its PDF rasterised at 300 dpi and each label decoded by zbar.
#include "code39/Code39.h"
#include "labels/ListReader.h"
#include "labels/PageFiller.h"
#include "labels/ReadBack.h"
#include "labels/RowList.h"
#include "labels/RtfTemplate.h"
#include "labels/ScanWarnings.h"
#include "labels/Sheet.h"
#include "labels/StockLibrary.h"
#include "labels/UserStock.h"
#include "labels/Zpl.h"
#include "support/Files.h"
#include "support/Pictures.h"
#include "support/Programs.h"
#include "support/Requirements.h"
#include "support/ZplReader.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using labels::Stock;

namespace {

constexpr double kInch = labels::kPointsPerInch;
constexpr double kMm = labels::kPointsPerMm;
constexpr int kDpi = 300;

const QString kCode39 = QStringLiteral(CODE39_EXE);

// A templates file of one or more <Template> elements, with the paper sizes the tests know.
QByteArray Templates(const char* body)
{
    return QByteArray("<?xml version=\"1.0\"?>\n<Glabels-templates>\n") + body + "\n</Glabels-templates>\n";
}

labels::PaperSizes Papers()
{
    return {{QStringLiteral("A4"), {QStringLiteral("A4"), QSizeF(210 * kMm, 297 * kMm)}},
            {QStringLiteral("US-Letter"), {QStringLiteral("US Letter"), QSizeF(8.5 * kInch, 11 * kInch)}}};
}

// What zbar reads in the rectangle (points) of a page rasterised at dpi, symbols one a line; empty when
// nothing.
QByteArray Decode(const QImage& page, const QRectF& rect, int dpi = kDpi)
{
    const double s = dpi / kInch;
    const QRect pixels = QRectF(rect.topLeft() * s, rect.size() * s).toAlignedRect() & page.rect();
    return support::DecodeImage(page, pixels).join(u'\n').toLatin1();
}

// The box round the dark pixels within grow points of the rectangle, in points, on a page rasterised at dpi;
// null when none.
// Ink inside the others (the rectangles of neighbouring labels, in points) is theirs and not counted.
QRectF InkAround(const QImage& page, const QRectF& rect, double grow, int dpi = kDpi,
                 const QList<QRectF>& others = {})
{
    const double s = dpi / kInch;
    const QRectF search = rect.adjusted(-grow, -grow, grow, grow);
    const QRect pixels = QRectF(search.topLeft() * s, search.size() * s).toAlignedRect() & page.rect();
    QList<QRect> theirs;
    for (const QRectF& other : others)
        theirs.append(QRectF(other.topLeft() * s, other.size() * s).toRect());
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const uchar* line = page.constScanLine(y);
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const auto inOther = [&] {
                return std::any_of(theirs.begin(), theirs.end(), [&](const QRect& r) { return r.contains(x, y); });
            };
            if (line[x] < 128 && !inOther()) {
                left = qMin(left, x), right = qMax(right, x), top = qMin(top, y), bottom = qMax(bottom, y);
            }
        }
    }
    if (right < 0)
        return {};
    return QRectF(left / s, top / s, (right + 1 - left) / s, (bottom + 1 - top) / s);
}

// The label shapes users print bar codes on, each as its stock's data sheet gives it (all lengths in points).
Stock ShapeOf(const QString& shape)
{
    Stock stock;
    stock.part = shape;
    if (shape == u"sheet") { // 38.1 x 21.2 mm, 65 on A4
        stock.page = QSizeF(210 * kMm, 297 * kMm);
        stock.label = QSizeF(108, 60.09);
        stock.markupMargin = 5;
        stock.layouts.append({5, 13, 12.5, 38.5, 115.2, 60.09});
    } else if (shape == u"small label") { // 13 x 25 mm, one to a page, fed narrow side first
        stock.page = stock.label = QSizeF(13 * kMm, 25 * kMm);
        stock.layouts.append(labels::Layout());
    } else if (shape == u"roll") { // 29 x 90 mm address labels on a roll
        stock.page = stock.label = QSizeF(82, 255);
        stock.markupMargin = 4.25;
        stock.layouts.append(labels::Layout());
    } else if (shape == u"spine") { // 0.5 x 11 in binder spines, 16 on US Letter
        stock.page = QSizeF(8.5 * kInch, 11 * kInch);
        stock.label = QSizeF(0.5 * kInch, 11 * kInch);
        stock.markupMargin = 0.125 * kInch;
        stock.layouts.append({16, 1, 0.25 * kInch, 0, 0.5 * kInch, 0});
    } else if (shape == u"round") { // 40 mm round, 4 x 6 on A4
        stock.page = QSizeF(210 * kMm, 297 * kMm);
        stock.shape = labels::LabelShape::Round;
        stock.label = QSizeF(40 * kMm, 40 * kMm);
        stock.markupMargin = 1.5 * kMm;
        stock.layouts.append({4, 6, 15 * kMm, 18 * kMm, 46 * kMm, 44 * kMm});
    }
    return stock;
}

Stock OwnStock(const QString& part)
{
    const QList<Stock> own = labels::OwnStocks();
    return *std::find_if(own.begin(), own.end(), [&](const Stock& stock) { return stock.part == part; });
}

Stock OneLabel(double width, double height, double margin = 0)
{
    Stock stock;
    stock.part = QStringLiteral("test");
    stock.page = QSizeF(8.5 * kInch, 11 * kInch);
    stock.label = QSizeF(width, height);
    stock.markupMargin = margin;
    stock.layouts.append({1, 1, 36, 36, 0, 0});
    return stock;
}

// A stock by the name a test table gives: one of ShapeOf's, one of ours, or a maker's part from the
// label-template database (empty when it is not installed).
Stock StockNamed(const QString& name)
{
    if (Stock shape = ShapeOf(name); !shape.layouts.isEmpty())
        return shape;
    labels::StockLibrary library;
    library.loadDatabase();
    QString error;
    const int index = library.find(name, error);
    return index < 0 ? Stock() : library.stocks()[index];
}

// The sheet as ZPL; empty with the writer's reason in error when it refuses.
QByteArray ZplOf(const labels::Sheet& sheet, const labels::DrawOptions& draw, QString& error)
{
    QByteArray zpl;
    QBuffer buffer(&zpl);
    buffer.open(QIODevice::WriteOnly);
    if (!labels::WriteZpl(sheet, draw, buffer, error))
        return {};
    return zpl;
}

// Our own drawing of label (from 0) alone, on a picture of its size in the sheet's dots, black or white:
// the label set at the page's corner, as a label printer takes each label.
QImage OurLabelAlone(const labels::Sheet& sheet, qsizetype label)
{
    labels::Sheet alone = sheet;
    alone.labels = {QRectF(QPointF(), sheet.stock.label)};
    const double scale = sheet.dpi / kInch;
    QImage image(qRound(sheet.stock.label.width() * scale), qRound(sheet.stock.label.height() * scale),
                 QImage::Format_Grayscale8);
    image.setDotsPerMeterX(qRound(sheet.dpi / 0.0254));
    image.setDotsPerMeterY(qRound(sheet.dpi / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        labels::DrawLabel(painter, alone, label, {});
    }
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            line[x] = line[x] < 128 ? 0 : 255;
    }
    return image;
}

// The box round the black pixels of a picture; null when none.
QRect BlackBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Whether field data is Code 39 letters and hex escapes, nothing else.
bool IsSafeFieldData(const QByteArray& data)
{
    const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    for (qsizetype i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '_') {
            if (i + 2 >= data.size() || !hex(data[i + 1]) || !hex(data[i + 2]))
                return false;
            i += 2;
        } else if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || QByteArrayView("-.$/+%").contains(c))) {
            return false;
        }
    }
    return true;
}

// The rows of bytes read by a ListReader handed at most chunk bytes at a time, as a pipe hands them.
bool RowsInChunks(const QByteArray& bytes, qsizetype chunk, const labels::ListOptions& options, QStringList& rows,
                  QString& error)
{
    qsizetype at = 0;
    labels::ListReader reader(
        [&](char* to, qint64 most, QString&) {
            const qsizetype got = std::min({qsizetype(most), chunk, bytes.size() - at});
            std::copy_n(bytes.constData() + at, got, to);
            at += got;
            return qint64(got);
        },
        options);
    rows.clear();
    QString row;
    while (reader.next(row))
        rows.append(row);
    if (reader.finish())
        return true;
    rows.clear();
    error = reader.error();
    return false;
}

// Every sheet a PageFiller gives for rows, the last the one without labels that ends the run.
QList<labels::Sheet> FillPages(const Stock& stock, const QStringList& rows, const labels::FillOptions& options)
{
    labels::PageFiller filler(stock, options, labels::RowsOf(rows));
    QList<labels::Sheet> pages(1);
    while (filler.next(pages.last()))
        pages.append(labels::Sheet());
    return pages;
}

// A PDF with the time it was made, which differs from run to run, masked.
QByteArray Timeless(QByteArray pdf)
{
    static const QRegularExpression time(QStringLiteral("\\(D:[0-9]{14}[^)]*\\)"));
    QString text = QString::fromLatin1(pdf);
    for (const QRegularExpressionMatch& match : time.globalMatch(text))
        text.replace(match.capturedStart(), match.capturedLength(), QString(match.capturedLength(), u'#'));
    return text.toLatin1();
}

} // namespace

Q_DECLARE_METATYPE(labels::LabelReading)
Q_DECLARE_METATYPE(labels::Stock)

class TestLabels : public QObject {
    Q_OBJECT
private slots:
    void parseLength_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("points");
        QTest::newRow("a bare number is points") << "20.84" << true << 20.84;
        QTest::newRow("inches") << "2.625in" << true << 189.0;
        QTest::newRow("millimetres") << "25.4mm" << true << 72.0;
        QTest::newRow("centimetres") << "2.54cm" << true << 72.0;
        QTest::newRow("picas") << "2pc" << true << 24.0;
        QTest::newRow("points named") << "9pt" << true << 9.0;
        QTest::newRow("blanks round the number") << " 3 mm " << true << 3 * kMm;
        QTest::newRow("an unknown unit") << "5px" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("infinity is no length") << "inf" << false << 0.0;
        QTest::newRow("an overflowing exponent") << "1e999mm" << false << 0.0;
        QTest::newRow("hexadecimal") << "0x10" << false << 0.0;
    }
    void parseLength()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, points);
        double got = -1;
        QCOMPARE(labels::ParseLength(text, got), ok);
        if (ok)
            QVERIFY2(qAbs(got - points) < 1e-9, qPrintable(QString::number(got)));
    }

    void parseTemplates_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("stocks");
        QTest::addColumn<int>("equivalents");
        QTest::addColumn<QString>("note"); // a part of the one note expected, or empty for none
        QTest::addColumn<QSizeF>("label"); // of the first stock, in points
        QTest::addColumn<int>("labelCount");
        const QByteArray rect = R"(<Label-rectangle id="0" width="2.625in" height="1in">
            <Markup-margin size="0.0625in"/>
            <Layout nx="3" ny="10" x0="0.15625in" y0="0.5in" dx="2.78125in" dy="1in"/></Label-rectangle>)";
        QTest::newRow("a rectangle in inches with its equivalent")
            << Templates("<Template brand=\"Avery\" part=\"5160\" size=\"US-Letter\">" + rect +
                         "</Template><Template brand=\"Avery\" part=\"5260\" equiv=\"5160\"/>")
            << 1 << 1 << QString() << QSizeF(189, 72) << 30;
        QTest::newRow("two layouts count every label")
            << Templates(R"(<Template brand="B" part="2L" size="A4"><Label-rectangle width="50mm" height="20mm">
               <Layout nx="2" ny="3" x0="5mm" y0="5mm" dx="55mm" dy="25mm"/>
               <Layout nx="1" ny="4" x0="120mm" y0="5mm" dx="0" dy="25mm"/></Label-rectangle></Template>)")
            << 1 << 0 << QString() << QSizeF(50 * kMm, 20 * kMm) << 10;
        QTest::newRow("a round label is its circle's box")
            << Templates(R"(<Template brand="B" part="R" size="A4"><Label-round radius="0.75in">
               <Layout nx="2" ny="2" x0="10" y0="10" dx="120" dy="120"/></Label-round></Template>)")
            << 1 << 0 << QString() << QSizeF(108, 108) << 4;
        QTest::newRow("a layout given twice is one")
            << Templates(R"(<Template brand="B" part="T" size="A4"><Label-rectangle width="170mm" height="54mm">
               <Layout nx="1" ny="5" x0="20mm" y0="14mm" dx="170mm" dy="54mm"/>
               <Layout nx="1" ny="5" x0="20mm" y0="14mm" dx="170mm" dy="54mm"/></Label-rectangle></Template>)")
            << 1 << 0 << QString() << QSizeF(170 * kMm, 54 * kMm) << 5;
        QTest::newRow("an empty offset is the page's edge")
            << Templates(R"(<Template brand="B" part="E" size="A4"><Label-rectangle width="198.425" height="102">
               <Layout nx="3" ny="8" x0="" y0="12.557" dx="198.425" dy="102"/></Label-rectangle></Template>)")
            << 1 << 0 << QString() << QSizeF(198.425, 102) << 24;
        QTest::newRow("a page of another size gives its own")
            << Templates(R"(<Template brand="B" part="O" size="Other" width="82pt" height="255pt">
               <Label-rectangle width="80" height="250"><Layout nx="1" ny="1" x0="1" y0="1"/>
               </Label-rectangle></Template>)")
            << 1 << 0 << QString() << QSizeF(80, 250) << 1;
        QTest::newRow("an unknown paper size leaves the template out")
            << Templates("<Template brand=\"B\" part=\"P\" size=\"Tabloid\">" + rect + "</Template>") << 0 << 0
            << "unknown paper size \"Tabloid\"" << QSizeF() << 0;
        QTest::newRow("a template without a layout is left out, the next one read")
            << Templates(R"(<Template brand="B" part="N" size="A4"><Label-rectangle width="5" height="5"/>
               </Template><Template brand="B" part="5160" size="US-Letter">)" +
                         rect + "</Template>")
            << 1 << 0 << "B N left out: no layout" << QSizeF(189, 72) << 30;
        QTest::newRow("a count that is no number")
            << Templates(R"(<Template brand="B" part="C" size="A4"><Label-rectangle width="5" height="5">
               <Layout nx="many" ny="1" x0="0" y0="0"/></Label-rectangle></Template>)")
            << 0 << 0 << "nx=\"many\" is not a count" << QSizeF() << 0;
        QTest::newRow("a length without a number")
            << Templates(R"(<Template brand="B" part="W" size="A4"><Label-rectangle width="mm" height="5">
               <Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle></Template>)")
            << 0 << 0 << "width=\"mm\" is not a length" << QSizeF() << 0;
        for (const char* page : {"-8in", "0", "1e30in"}) {
            QTest::newRow(qPrintable(QStringLiteral("a page %1 wide is no page").arg(page)))
                << Templates(QStringLiteral(R"(<Template brand="B" part="G" size="Other" width="%1" height="11in">
                   <Label-rectangle width="5" height="5"><Layout nx="1" ny="1" x0="0" y0="0"/></Label-rectangle>
                   </Template>)")
                                 .arg(page)
                                 .toUtf8()
                                 .constData())
                << 0 << 0 << "B G left out: a page of" << QSizeF() << 0;
        }
        QTest::newRow("10,000 labels on one spot")
            << Templates(R"(<Template brand="B" part="S" size="A4"><Label-rectangle width="0.1" height="0.1">
               <Layout nx="100" ny="100" x0="0" y0="0" dx="0" dy="0"/></Label-rectangle></Template>)")
            << 0 << 0 << "B S left out: labels stacked" << QSizeF() << 0;
        QByteArray whole = Templates("<Template brand=\"Avery\" part=\"5160\" size=\"US-Letter\">" + rect +
                                     "</Template><Template brand=\"Avery\" part=\"5161\" size=\"US-Letter\">" +
                                     rect + "</Template>");
        QTest::newRow("a truncated file gives nothing, with a note")
            << whole.left(whole.size() - 40) << 0 << 0 << "t.xml left out: line" << QSizeF() << 0;
        QTest::newRow("bytes that are no XML")
            << QByteArray("\x00\xFF<<Template", 12) << 0 << 0 << "t.xml left out" << QSizeF() << 0;
    }
    void parseTemplates()
    {
        QFETCH(QByteArray, xml);
        QFETCH(int, stocks);
        QFETCH(int, equivalents);
        QFETCH(QString, note);
        QFETCH(QSizeF, label);
        QFETCH(int, labelCount);
        const labels::ParsedTemplates parsed = labels::ParseTemplates(xml, QStringLiteral("t.xml"), Papers());
        QCOMPARE(parsed.stocks.size(), stocks);
        QCOMPARE(parsed.equivalents.size(), equivalents);
        QCOMPARE(parsed.notes.size(), note.isEmpty() ? 0 : 1);
        if (!note.isEmpty())
            QVERIFY2(parsed.notes.front().contains(note), qPrintable(parsed.notes.front()));
        if (stocks > 0) {
            const Stock& s = parsed.stocks.front();
            QVERIFY(qAbs(s.label.width() - label.width()) < 1e-6 &&
                    qAbs(s.label.height() - label.height()) < 1e-6);
            QCOMPARE(labels::LabelRects(s).size(), labelCount);
        }
    }

    // A database folder whose files are a pipe or a device gives notes at once, never a hang or a huge read.
    void databaseOfOddFiles()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("paper-sizes.xml")).constData(), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", dir.filePath("zero-templates.xml")));
        labels::StockLibrary library;
        library.loadDatabase(dir.path());
        QCOMPARE(library.templatesSeen(), 0);
        QCOMPARE(library.notes().filter("not a regular file").size(), 2);
#else
        QSKIP("pipes are those of POSIX");
#endif
    }

    // Every template of the installed database loads, equivalents resolve, every label is placed.
    void database()
    {
        SKIP_WITHOUT_LABEL_DATABASE();
        labels::StockLibrary library;
        library.loadDatabase();
        for (const QString& note : library.notes())
            qInfo("note: %s", qPrintable(note));
        qInfo("templates seen %d, loaded %d", library.templatesSeen(), library.templatesLoaded());
        QVERIFY(library.templatesSeen() >= 1700);
        QCOMPARE(library.templatesLoaded() + library.notes().size(), library.templatesSeen());
        QVERIFY(library.notes().size() <= 5);
        int multi = 0;
        for (const Stock& stock : library.stocks()) {
            const QList<QRectF> rects = labels::LabelRects(stock);
            QCOMPARE(rects.size(), stock.labelCount());
            if (stock.layouts.size() < 2)
                continue;
            ++multi;
            // Different layouts put their labels in different places.
            QSet<QPair<int, int>> places;
            for (const QRectF& r : rects)
                places.insert({qRound(r.left() * 10), qRound(r.top() * 10)});
            QVERIFY2(places.size() == rects.size(), qPrintable(stock.name()));
        }
        QVERIFY(multi >= 40);
    }

    void find_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found"); // the stock's name, or a part of the error
        QTest::newRow("maker and part") << "Avery 5160"
                                        << "Avery 5160";
        QTest::newRow("case and blanks do not matter") << "  avery   l7163 "
                                                       << "Avery L7163";
        QTest::newRow("a part only one maker uses") << "L7163"
                                                    << "Avery L7163";
        QTest::newRow("an equivalent part is a stock of its own") << "Avery 5260"
                                                                  << "Avery 5260";
        QTest::newRow("one of ours by name") << "lb167"
                                             << "lb167";
        QTest::newRow("one of ours by file name") << "LB060.rtf"
                                                  << "lb060";
        QTest::newRow("a part two makers use is ambiguous") << "5095"
                                                            << "is ambiguous: ";
        QTest::newRow("an unknown stock") << "Avery 99999"
                                          << "no label stock \"Avery 99999\"";
    }
    void find()
    {
        QFETCH(QString, name);
        QFETCH(QString, found);
        if (!name.contains(QLatin1String("lb")))
            SKIP_WITHOUT_LABEL_DATABASE();
        labels::StockLibrary library;
        library.loadDatabase();
        QString error;
        const int index = library.find(name, error);
        if (index < 0)
            QVERIFY2(error.contains(found), qPrintable(error));
        else
            QCOMPARE(library.stocks()[index].name(), found);
    }

    void search_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QString>("includes");
        QTest::addColumn<QString>("excludes");
        QTest::newRow("a part number") << "5160"
                                       << ""
                                       << "Avery 5160"
                                       << "Avery L7163";
        QTest::newRow("an equivalent's part finds it") << "5260"
                                                       << ""
                                                       << "Avery 5260"
                                                       << "Avery 5161";
        QTest::newRow("description words in any case") << "ADDRESS labels"
                                                       << ""
                                                       << "Avery 5160"
                                                       << "Avery L7163";
        QTest::newRow("maker and part together") << "avery l7163"
                                                 << ""
                                                 << "Avery L7163"
                                                 << "Avery 5160";
        QTest::newRow("the paper filter") << "labels"
                                          << "A4"
                                          << "Avery L7163"
                                          << "Avery 5160";
        QTest::newRow("the paper by the name the list shows") << "labels"
                                                              << "us letter"
                                                              << "Avery 5160"
                                                              << "Avery L7163";
        QTest::newRow("our own stocks are searched") << "80 per sheet"
                                                     << ""
                                                     << "lb167"
                                                     << "lb060";
    }
    void search()
    {
        QFETCH(QString, words);
        QFETCH(QString, paper);
        QFETCH(QString, includes);
        QFETCH(QString, excludes);
        SKIP_WITHOUT_LABEL_DATABASE();
        labels::StockLibrary library;
        library.loadDatabase();
        QStringList names;
        for (int i : library.search(words, paper))
            names.append(library.stocks()[i].name());
        QVERIFY2(names.contains(includes), qPrintable(names.join(u',')));
        QVERIFY2(!names.contains(excludes), qPrintable(names.join(u',')));
        if (QTest::currentDataTag() == QLatin1String("an equivalent's part finds it"))
            QCOMPARE(names.front(), includes); // the part typed comes before the stock it is sold as
    }

    void labelOrder()
    {
        // Two grids side by side: numbering runs across both before it goes down.
        Stock stock = OneLabel(50, 20);
        stock.layouts = {{2, 2, 10, 10, 60, 30}, {1, 2, 200, 10, 0, 30}};
        QList<QPointF> corners;
        for (const QRectF& r : labels::LabelRects(stock))
            corners.append(r.topLeft());
        QCOMPARE(corners, (QList<QPointF>{{10, 10}, {70, 10}, {200, 10}, {10, 40}, {70, 40}, {200, 40}}));
    }

    void rowsFromBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("error");
        QTest::newRow("lines, CRLF, CR or LF, no row for the last break")
            << QByteArray("A1\r\nB2\rC3\n") << 0 << false << QStringList{"A1", "B2", "C3"} << QString();
        QTest::newRow("a CSV column after a header")
            << QByteArray("name,code\nbolt,B-1\nnut,N-2\n") << 2 << true << QStringList{"B-1", "N-2"} << QString();
        QTest::newRow("quoted fields keep their separators and quotes")
            << QByteArray("\"a,b\",\"say \"\"X\"\"\"\n") << 2 << false << QStringList{"say \"X\""} << QString();
        QTest::newRow("a quoted field holds a line break: the rows after it stay in place")
            << QByteArray("code,name\n\"A-1\",\"two\nlines\"\nB-2,x\n") << 1 << true << QStringList{"A-1", "B-2"}
            << QString();
        QTest::newRow("the quoted line break is in the field, CRLF as typed")
            << QByteArray("\"A-1\",\"two\r\nlines\"\r\nB-2,x\r\n") << 2 << false
            << QStringList{"two\r\nlines", "x"} << QString();
        QTest::newRow("a header with a quoted line break is one record")
            << QByteArray("\"part\nno\";code\nP;C-1\n") << 2 << true << QStringList{"C-1"} << QString();
        QTest::newRow("a quote inside a field does not hide the separator after it")
            << QByteArray("12\" rule;R-1\nX;Y\n") << 2 << false << QStringList{"R-1", "Y"} << QString();
        QTest::newRow("a quote inside an unquoted field is a character")
            << QByteArray("12\" rule,R-1\nX,Y\n") << 2 << false << QStringList{"R-1", "Y"} << QString();
        QTest::newRow("semicolons separate when the first line has them")
            << QByteArray("A;B\nC;D\n") << 2 << false << QStringList{"B", "D"} << QString();
        QTest::newRow("a line without the column gives an empty row, kept in place")
            << QByteArray("A,B\nC\nE,F\n") << 2 << false << QStringList{"B", "", "F"} << QString();
        QTest::newRow("a UTF-8 byte-order mark is not data")
            << QByteArray("\xEF\xBB\xBFX1\n") << 0 << false << QStringList{"X1"} << QString();
        QTest::newRow("UTF-16 with its mark")
            << QByteArray("\xFF\xFEX\0001\0\n\0", 8) << 0 << false << QStringList{"X1"} << QString();
        QTest::newRow("binary data") << QByteArray("PK\x03\x04\0\0\x14", 7) << 0 << false << QStringList()
                                     << "binary data";
        QTest::newRow("Latin-1 text names its line")
            << QByteArray("A\nB\nCaf\xE9\n") << 0 << false << QStringList() << "not UTF-8 text (line 3)";
        QTest::newRow("UTF-8 cut inside its last character names the line")
            << QByteArray("ABC\nDEFG\xE2\x82") << 0 << false << QStringList() << "not UTF-8 text (line 2)";
        QTest::newRow("UTF-16 with an odd last byte names the line")
            << QByteArray("\xFF\xFEX\0\n\0Y\0Z", 9) << 0 << false << QStringList()
            << "not valid UTF-16 text (line 2)";
        QTest::newRow("more rows than any run of sheets holds: read one row beyond")
            << QByteArray("A\n").repeated(labels::kMaxLabels + 5) << 0 << false
            << QStringList(labels::kMaxLabels + 1, "A") << QString();
        QTest::newRow("a huge list") << QByteArray(labels::kMaxListBytes + 1, 'A') << 0 << false << QStringList()
                                     << "larger than 16 MB";
        QTest::newRow("characters of several bytes, whole wherever a read ends")
            << QByteArray("Caf\xC3\xA9\n\xE2\x82\xAC-1\n\xF0\x9F\x93\xA6\n") << 0 << false
            << QStringList{"Caf\u00e9", "\u20ac-1", "\U0001F4E6"} << QString();
        QTest::newRow("UTF-16 big-endian, a pair of surrogates, CRLF")
            << QByteArray("\xFE\xFF\0A\0\r\0\n\xD8\x3D\xDC\xE6\0\n", 14) << 0 << false
            << QStringList{"A", "\U0001F4E6"} << QString();
        QTest::newRow("UTF-16: half a pair of surrogates is kept as it comes, for the builder to refuse")
            << QByteArray("\xFF\xFE"
                          "A\0\n\0=\xD8"
                          "B\0\n\0=\xD8",
                          14)
            << 0 << false << QStringList{"A", QString(QChar(0xD83D)) + u'B', QString(QChar(0xD83D))} << QString();
        QTest::newRow("a second mark is passed over, a third is a character")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBFX\n") << 0 << false
            << QStringList{QString(QChar::ByteOrderMark) + u'X'} << QString();
        QTest::newRow("UTF-16: a second mark is passed over, one of the other order is a character")
            << QByteArray("\xFF\xFE\xFF\xFE\xFE\xFFX\0\n\0", 10) << 0 << false << QStringList{"\uFFFEX"}
            << QString();
        QTest::newRow("a zero byte after a bad one: binary wins, wherever it is")
            << QByteArray("\xE9\nA\n").repeated(2000) + QByteArray("\0", 1) << 0 << false << QStringList()
            << "binary data";
        QTest::newRow("a quoted field runs over many reads, the separator found after it")
            << QByteArray("\"") + QByteArray("a\n").repeated(40000) + QByteArray("\";B\nC;D\n") << 2 << false
            << QStringList{"B", "D"} << QString();
        QTest::newRow("a bad character after the rows a run holds still refuses the list")
            << QByteArray("A\n").repeated(labels::kMaxLabels + 5) + "\xFF" << 0 << false << QStringList()
            << "not UTF-8 text (line 1000006)";
        QTest::newRow("a lone CR is an empty list too")
            << QByteArray("\r") << 1 << false << QStringList() << QString();
        QTest::newRow("a header alone") << QByteArray("code\r\n") << 0 << true << QStringList() << QString();
    }
    void rowsFromBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, column);
        QFETCH(bool, header);
        QFETCH(QStringList, rows);
        QFETCH(QString, error);
        QStringList got;
        QString message;
        QCOMPARE(labels::RowsFromBytes(bytes, {column, header}, got, message), error.isEmpty());
        QCOMPARE(got, rows);
        QVERIFY2(message.contains(error), qPrintable(message));
        // Read as a pipe hands it, cut anywhere (inside a character, a quoted field, a CRLF): the same.
        if (bytes.size() > 100000)
            return;
        for (const qsizetype chunk : {1, 2, 3, 5, 4096}) {
            QString chunkMessage;
            QCOMPARE(RowsInChunks(bytes, chunk, {column, header}, got, chunkMessage), error.isEmpty());
            QCOMPARE(got, rows);
            QCOMPARE(chunkMessage, message);
        }
    }

    void fillSheet_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<QStringList>("barTexts");
        QTest::addColumn<QString>("failures"); // "row: message" lines
        QTest::newRow("start at label 3, two copies each")
            << QStringList{"A", "B"} << 3 << 2 << false << QStringList{"", "", "*A*", "*A*", "*B*", "*B*"}
            << QString();
        QTest::newRow("a failing row keeps its place blank, with the builder's message")
            << QStringList{"A-1", "a-2", "A 3"} << 1 << 1 << false << QStringList{"*A-1*", "", "*A~3*"}
            << "2: Error: input character \"a\" not legal in bar code 3 of 9";
        QTest::newRow("Full ASCII takes small letters")
            << QStringList{"a"} << 1 << 1 << true << QStringList{"*+A*"} << QString();
        QTest::newRow("Full ASCII refuses what it has no form for, the label left blank, not a code without it")
            << QStringList{"Caf\u00e9", "A"} << 1 << 1 << true << QStringList{"", "*A*"}
            << "1: Error: input character \"\u00e9\" not legal in bar code 3 of 9";
        QTest::newRow("an empty row") << QStringList{"", "B"} << 1 << 1 << false << QStringList{"", "*B*"}
                                      << "1: Error:- no input data";
        QTest::newRow("a row too long for the label at any size")
            << QStringList{QString(1000, u'X')} << 1 << 1 << false << QStringList{""}
            << "1: the bar code is too long to fit the label (at most 7 characters of data scan on it at 300 dpi)";
    }
    void fillSheet()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, start);
        QFETCH(int, copies);
        QFETCH(bool, fullAscii);
        QFETCH(QStringList, barTexts);
        QFETCH(QString, failures);
        labels::FillOptions options;
        options.start = start;
        options.copies = copies;
        options.fullAscii = fullAscii;
        const labels::Sheet sheet = labels::FillSheet(labels::OwnStocks().front(), rows, options);
        QCOMPARE(sheet.barTexts, barTexts);
        QStringList got;
        for (const labels::RowFailure& f : sheet.failures)
            got.append(QStringLiteral("%1: %2").arg(f.row).arg(f.message));
        QCOMPARE(got.join(u'\n'), failures);
    }

    // A run filled page by page holds, page after page, what the whole run holds (FillSheet the oracle): its
    // labels, rows and failures, each failure on the page its row was read for, the run's warnings, and each
    // page's labels map to their rows' data.
    void fillPageByPage_data()
    {
        QTest::addColumn<Stock>("stock");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QList<int>>("labelsPerPage");
        QTest::addColumn<QList<int>>("failurePages"); // per failure, the page (from 0) that names it
        const Stock lb164 = OwnStock(QStringLiteral("lb164"));
        const QStringList eight{"R-1", "R-2", "R-3", "R-4", "R-5", "R-6", "R-7", "r-8"};
        QTest::newRow("exactly one page: no empty page after it")
            << lb164 << eight.first(6) << 1 << 1 << QList<int>{6} << QList<int>();
        QTest::newRow("a row's copies run on to the next page")
            << lb164 << QStringList{"A", "B"} << 1 << 4 << QList<int>{6, 2} << QList<int>();
        QTest::newRow("blank labels before the start on the first page only")
            << lb164 << eight.first(7) << 5 << 1 << QList<int>{6, 5} << QList<int>();
        QTest::newRow("a failing row on a later page is named with that page, its labels blank")
            << lb164 << eight << 1 << 1 << QList<int>{6, 2} << QList<int>{1};
        QTest::newRow("a failing row whose copies span pages")
            << lb164 << QStringList{"A", "b", "C"} << 2 << 3 << QList<int>{6, 4} << QList<int>{0};
        QTest::newRow("one label a page, many copies: a row over many pages")
            << OneLabel(3 * kInch, kInch) << QStringList{"A", "B"} << 1 << 3 << QList<int>{1, 1, 1, 1, 1, 1}
            << QList<int>();
        QTest::newRow("warnings gather the rows of every page, by length")
            << OwnStock(QStringLiteral("lb167"))
            << QStringList{"ABCDEFGHIJKLM", "A1", "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "B2", "ABCDEFGHIJKLN"} << 3
            << 20 << QList<int>{80, 42} << QList<int>();
    }
    void fillPageByPage()
    {
        QFETCH(Stock, stock);
        QFETCH(QStringList, rows);
        QFETCH(int, start);
        QFETCH(int, copies);
        QFETCH(QList<int>, labelsPerPage);
        QFETCH(QList<int>, failurePages);
        labels::FillOptions options;
        options.start = start;
        options.copies = copies;
        const labels::Sheet whole = labels::FillSheet(stock, rows, options);
        QList<labels::Sheet> pages = FillPages(stock, rows, options);
        QVERIFY(pages.last().barTexts.isEmpty());
        QList<int> perPage;
        QStringList barTexts;
        QList<int> rowOfLabel;
        QList<int> failed;
        QList<int> failedOn;
        labels::ScanWarnings warnings;
        for (qsizetype p = 0; p < pages.size(); ++p) {
            const labels::Sheet& page = pages[p];
            if (!page.barTexts.isEmpty())
                perPage.append(int(page.barTexts.size()));
            QCOMPARE(page.labelsBefore, qsizetype(barTexts.size()));
            for (qsizetype i = 0; i < page.barTexts.size(); ++i) {
                const int row = page.rowOf(i);
                QCOMPARE(row, whole.rowOf(page.labelsBefore + i));
                if (!page.barTexts[i].isEmpty())
                    QCOMPARE(page.data.value(row - page.rowsBefore - 1), rows[row - 1]);
            }
            barTexts += page.barTexts;
            rowOfLabel += page.rows;
            for (const labels::RowFailure& failure : page.failures) {
                failed.append(failure.row);
                failedOn.append(int(p));
            }
            warnings.add(page);
        }
        QCOMPARE(perPage, labelsPerPage);
        QCOMPARE(perPage.size(), whole.pageCount());
        QCOMPARE(barTexts, whole.barTexts);
        QCOMPARE(rowOfLabel, whole.rows);
        QList<int> wholeFailed;
        for (const labels::RowFailure& failure : whole.failures)
            wholeFailed.append(failure.row);
        QCOMPARE(failed, wholeFailed);
        QCOMPARE(failedOn, failurePages);
        QCOMPARE(warnings.warnings(pages.last()), labels::SheetWarnings(whole));
    }

    // The rows a warning names: in order, each once, the first four ranges shown and the rest counted, whether
    // the run is filled whole or page by page.
    void warningRows_data()
    {
        QTest::addColumn<QList<int>>("longRows"); // the rows of 12 characters, too many to scan, in a run of 12
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("named");
        QTest::newRow("one row") << QList<int>{5} << 1 << "The bar codes of row 5 (";
        QTest::newRow("ranges and single rows, copies each once")
            << QList<int>{1, 2, 3, 7} << 30 << "The bar codes of rows 1-3, 7 (";
        QTest::newRow("four ranges shown, the rest counted")
            << QList<int>{1, 3, 4, 6, 8, 9, 11} << 20 << "The bar codes of rows 1, 3-4, 6, 8-9 and 1 more (";
        QTest::newRow("the fourth range runs on past the others")
            << QList<int>{1, 3, 5, 7, 8, 9, 10, 12} << 7 << "The bar codes of rows 1, 3, 5, 7-10 and 1 more (";
    }
    void warningRows()
    {
        QFETCH(QList<int>, longRows);
        QFETCH(int, copies);
        QFETCH(QString, named);
        QStringList rows;
        for (int row = 1; row <= 12; ++row)
            rows.append(longRows.contains(row) ? QStringLiteral("ABCDEFGHIJ%1").arg(row, 2, 10, QChar(u'0'))
                                               : QStringLiteral("A1"));
        labels::FillOptions options;
        options.copies = copies;
        const Stock stock = OwnStock(QStringLiteral("lb167"));
        const QStringList whole = labels::SheetWarnings(labels::FillSheet(stock, rows, options));
        QVERIFY2(std::any_of(whole.begin(), whole.end(), [&](const QString& w) { return w.startsWith(named); }),
                 qPrintable(whole.join(u'\n')));
        const QList<labels::Sheet> pages = FillPages(stock, rows, options);
        labels::ScanWarnings paged;
        for (const labels::Sheet& page : pages)
            paged.add(page);
        QCOMPARE(paged.warnings(pages.last()), whole);
    }

    // The PDF of a run written page by page, as the command writes it, is the PDF of the whole run.
    void pdfPageByPage_data()
    {
        QTest::addColumn<Stock>("stock");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("copies");
        QTest::newRow("three sheets, a start, copies across sheets")
            << OwnStock(QStringLiteral("lb060")) << 40 << 4 << 2;
        QTest::newRow("one label a page") << OneLabel(3 * kInch, kInch) << 3 << 1 << 2;
        QTest::newRow("part of one sheet") << OwnStock(QStringLiteral("lb167")) << 5 << 1 << 1;
    }
    void pdfPageByPage()
    {
        QFETCH(Stock, stock);
        QFETCH(int, rows);
        QFETCH(int, start);
        QFETCH(int, copies);
        QStringList list;
        for (int row = 1; row <= rows; ++row)
            list.append(row % 7 == 0 ? QStringLiteral("bad-%1").arg(row) : QStringLiteral("P-%1").arg(row));
        labels::FillOptions options;
        options.start = start;
        options.copies = copies;
        labels::DrawOptions draw;
        draw.outlines = true;
        QString error;
        QBuffer whole;
        QVERIFY(whole.open(QIODevice::WriteOnly));
        QVERIFY(labels::WritePdf(labels::FillSheet(stock, list, options), draw, kDpi, whole, error));
        labels::PageFiller filler(stock, options, labels::RowsOf(list));
        QBuffer paged;
        QVERIFY(paged.open(QIODevice::WriteOnly));
        int pagesSeen = 0;
        QVERIFY(labels::WritePdf(
            filler, draw, kDpi, paged, [&](const labels::Sheet&) { ++pagesSeen; }, error));
        QVERIFY(pagesSeen >= 2);
        QCOMPARE(Timeless(paged.data()), Timeless(whole.data()));
    }

    // The fit: the narrow bar never wider than the typeface's at the chosen size, in whole dots, reduced to
    // what fits, and the warning naming the rule and what would scan.
    void fit_data()
    {
        QTest::addColumn<double>("width"); // label, points
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("characters");
        QTest::addColumn<double>("chosen");
        QTest::addColumn<int>("module");      // dots at 300 dpi; -1: fewer than the chosen size's, and it scans
        QTest::addColumn<QString>("warning"); // a part of it; empty for none
        // 22 pt is an em of 91.7 dots at 300 dpi: a module of 5.7, of which 5 whole dots.
        QTest::newRow("room to spare keeps the chosen size, in whole dots")
            << 400.0 << 100.0 << 6 << 22.0 << 5 << QString();
        QTest::newRow("a narrow label reduces it") << 150.0 << 100.0 << 10 << 22.0 << -1 << QString();
        QTest::newRow("a low label keeps bars no shorter than the typeface's, and warns")
            << 400.0 << 12.0 << 6 << 22.0 << 1
            << "will not scan: their narrow bars are 1 printer dot (0.08 mm) at 300 dpi; Code 39 needs at least "
               "2 dots and 0.19 mm";
        QTest::newRow("too small to scan at any resolution warns and names what would scan")
            << 50.0 << 30.0 << 5 << 22.0 << 1
            << "will not scan: their narrow bars are 1 printer dot (0.08 mm) at "
               "300 dpi; Code 39 needs at least 2 dots and 0.19 mm. It would scan "
               "with a larger label.";
        QTest::newRow("bars short of the rule may not scan, at the largest module that scans")
            << 400.0 << 24.0 << 6 << 22.0 << 3
            << "Code 39 needs at least 6.35 mm, or 15 % of the symbol's length where that is more (here 6.35 mm). "
               "It would scan with a label with room for bars of 6.35 mm.";
    }
    void fit()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, characters);
        QFETCH(double, chosen);
        QFETCH(int, module);
        QFETCH(QString, warning);
        const Stock stock = OneLabel(width, height, 2);
        render::BarCodeLook look;
        look.pointSize = chosen;
        labels::FillOptions options;
        options.look = look;
        options.rotation = labels::Rotation::Upright;
        const labels::Sheet sheet = labels::FillSheet(stock, {QString(characters - 2, u'A')}, options);
        // The module drawn, read from the bars on the page: a character is 16 modules, less the gap of one
        // after the last bar.
        QImage page(qRound(stock.page.width() * kDpi / kInch), qRound(stock.page.height() * kDpi / kInch),
                    QImage::Format_RGB32);
        page.setDotsPerMeterX(qRound(kDpi / 0.0254));
        page.setDotsPerMeterY(qRound(kDpi / 0.0254));
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            labels::DrawPage(painter, sheet, 0, {});
        }
        const QRectF label(QPointF(36, 36), stock.label);
        const QRectF ink = InkAround(page.convertToFormat(QImage::Format_Grayscale8), label, 0);
        QVERIFY(!ink.isNull());
        const double drawn = ink.width() * kDpi / kInch / (characters * render::kModulesPerCharacter - 1);
        const double pixel = kInch / kDpi;
        QVERIFY2(label.adjusted(2 - pixel, 2 - pixel, pixel - 2, pixel - 2).contains(ink),
                 qPrintable(QString::number(drawn)));
        if (module > 0) {
            QCOMPARE(drawn, double(module));
        } else {
            QVERIFY2(drawn < chosen * kDpi / kInch / render::kModulesPerCharacter - 1 && drawn >= 3,
                     qPrintable(QString::number(drawn)));
        }
        const QStringList warnings = labels::SheetWarnings(sheet);
        QCOMPARE(warnings.size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty())
            QVERIFY2(warnings.front().contains(warning), qPrintable(warnings.front()));
    }

    // Every label shape at the usual printer resolutions: the sheet written as a PDF at the device's dpi,
    // rasterised at that dpi by poppler and its first label cut out by its own geometry, reads back with
    // zbar unless the warning says it will not scan; its bars lie on the device's dots (no grey along a
    // line through them), and a symbol that scans only along the label's long side is turned.
    void printerTrue_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("outcome"); // "scans", "may not scan", "will not scan" or "too long"
        QTest::addColumn<bool>("turned");
        struct Row {
            const char* shape;
            const char* data;
            int dpi;
            const char* outcome;
            bool turned;
        };
        // Where the outcome changes with the resolution, the narrow bar crosses 2 dots and 0.19 mm.
        const Row rows[] = {
            {"sheet", "K7", 203, "scans", false},
            {"sheet", "K7", 300, "scans", false},
            {"sheet", "K7", 600, "scans", false},
            {"sheet", "SKU-0001", 203, "will not scan", false},
            {"sheet", "SKU-0001", 300, "will not scan", false},
            {"sheet", "SKU-0001", 600, "will not scan", false},
            {"sheet", "INV-2026-0042-X7", 203, "too long", false},
            {"sheet", "INV-2026-0042-X7", 300, "will not scan", false},
            {"sheet", "INV-2026-0042-X7", 600, "will not scan", false},
            {"small label", "K7", 203, "scans", true},
            {"small label", "K7", 300, "scans", true},
            {"small label", "K7", 600, "scans", true},
            {"small label", "SKU-0001", 203, "will not scan", true},
            {"small label", "SKU-0001", 300, "will not scan", true},
            {"small label", "SKU-0001", 600, "will not scan", true},
            {"small label", "INV-2026-0042-X7", 203, "too long", false},
            {"small label", "INV-2026-0042-X7", 300, "too long", false},
            {"small label", "INV-2026-0042-X7", 600, "will not scan", false},
            {"roll", "K7", 203, "scans", false},
            {"roll", "K7", 300, "scans", false},
            {"roll", "K7", 600, "scans", false},
            {"roll", "SKU-0001", 203, "scans", true},
            {"roll", "SKU-0001", 300, "scans", true},
            {"roll", "SKU-0001", 600, "scans", true},
            {"roll", "INV-2026-0042-X7", 203, "scans", true},
            {"roll", "INV-2026-0042-X7", 300, "scans", true},
            {"roll", "INV-2026-0042-X7", 600, "scans", true},
            {"spine", "K7", 203, "may not scan", true},
            {"spine", "K7", 300, "may not scan", true},
            {"spine", "K7", 600, "may not scan", true},
            {"spine", "SKU-0001", 203, "may not scan", true},
            {"spine", "SKU-0001", 300, "may not scan", true},
            {"spine", "SKU-0001", 600, "may not scan", true},
            {"spine", "INV-2026-0042-X7", 203, "may not scan", true},
            {"spine", "INV-2026-0042-X7", 300, "may not scan", true},
            {"spine", "INV-2026-0042-X7", 600, "may not scan", true},
            {"round", "K7", 203, "scans", false},
            {"round", "K7", 300, "scans", false},
            {"round", "K7", 600, "scans", false},
            {"round", "SKU-0001", 203, "will not scan", false},
            {"round", "SKU-0001", 300, "will not scan", false},
            {"round", "SKU-0001", 600, "will not scan", false},
            {"round", "INV-2026-0042-X7", 203, "too long", false},
            {"round", "INV-2026-0042-X7", 300, "will not scan", false},
            {"round", "INV-2026-0042-X7", 600, "will not scan", false},
        };
        for (const Row& row : rows) {
            QTest::addRow("%s, %s, %d dpi: %s%s", row.shape, row.data, row.dpi, row.outcome,
                          row.turned ? ", turned" : "")
                << row.shape << row.data << row.dpi << row.outcome << row.turned;
        }
    }
    void printerTrue()
    {
        QFETCH(QString, shape);
        QFETCH(QString, data);
        QFETCH(int, dpi);
        QFETCH(QString, outcome);
        QFETCH(bool, turned);
        labels::FillOptions options;
        options.dpi = dpi;
        const labels::Sheet sheet = labels::FillSheet(ShapeOf(shape), {data}, options);
        const labels::SymbolFit fit = labels::FitOf(sheet, QLatin1Char('*') + data + QLatin1Char('*'));
        const QStringList warnings = labels::SheetWarnings(sheet);
        const QString seen = QStringLiteral("X %1 dots, bars %2 dots, turned %3; %4 %5")
                                 .arg(fit.module)
                                 .arg(fit.barHeight)
                                 .arg(fit.turned)
                                 .arg(warnings.join(u' '))
                                 .arg(sheet.failures.isEmpty() ? QString() : sheet.failures.front().message);
        if (outcome == u"too long") {
            QCOMPARE(sheet.failures.size(), 1);
            QVERIFY2(sheet.failures.front().message.startsWith(QLatin1String("the bar code is too long")),
                     qPrintable(seen));
            return;
        }
        QVERIFY2(sheet.failures.isEmpty(), qPrintable(seen));
        QVERIFY2(fit.turned == turned, qPrintable(seen));
        if (outcome == u"scans") {
            QVERIFY2(warnings.isEmpty(), qPrintable(seen));
        } else {
            QCOMPARE(warnings.size(), 1);
            QVERIFY2(warnings.front().contains(outcome + QLatin1Char(':')), qPrintable(seen));
        }

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("sheet.pdf"));
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::WriteOnly));
        QString error;
        QVERIFY2(labels::WritePdf(sheet, {}, dpi, pdf, error), qPrintable(error));
        pdf.close();
        const QImage page = support::RasterisePdf(file, dpi);
        QVERIFY(!page.isNull());
        const QRectF label = sheet.labels.front();
        if (outcome != u"will not scan")
            QCOMPARE(Decode(page, label, dpi), data.toLatin1());
        // A line through the middle of the bars (the text lies beyond it) crosses only black and white.
        const QRectF ink = InkAround(page, label, 0, dpi);
        QVERIFY(!ink.isNull());
        const double s = dpi / kInch;
        const QRect pixels = QRectF(ink.topLeft() * s, ink.size() * s).toAlignedRect() & page.rect();
        const QPoint middle = pixels.center();
        int grey = 0;
        for (int k = 0; k < (turned ? pixels.height() : pixels.width()); ++k) {
            const int value = turned ? page.pixel(middle.x(), pixels.top() + k) & 0xFF
                                     : page.constScanLine(middle.y())[pixels.left() + k];
            grey += value > 32 && value < 223;
        }
        QVERIFY2(grey == 0, qPrintable(QStringLiteral("%1 grey pixels; %2").arg(grey).arg(seen)));
    }

    // One label drawn alone at the device's resolution and decoded: over stock shapes, data, the builder's
    // options, resolutions and offsets; a sheet spoiled by hand must not pass.
    void readLabelBack_data()
    {
        QTest::addColumn<Stock>("stock");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<bool>("textAbove");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QPointF>("offsetMm");
        QTest::addColumn<QString>("spoil"); // how the filled sheet is spoiled by hand; empty: not at all
        QTest::addColumn<labels::LabelReading>("reading");
        using enum labels::LabelReading;
        const Stock big = OwnStock(QStringLiteral("lb164"));
        const Stock small = OwnStock(QStringLiteral("lb167"));
        Stock round = OneLabel(40 * kMm, 40 * kMm, 1 * kMm);
        round.shape = labels::LabelShape::Round;
        const QPointF none;
        QTest::newRow("a sheet label at 300 dpi") << big << QStringList{"INV-2026-0042"} << 1 << false << false
                                                  << false << 300 << none << QString() << Reads;
        QTest::newRow("a small label, short data, at 203 dpi")
            << small << QStringList{"K7"} << 1 << false << false << false << 203 << none << QString() << Reads;
        QTest::newRow("a round label at 600 dpi")
            << round << QStringList{"R-12"} << 1 << false << false << false << 600 << none << QString() << Reads;
        QTest::newRow("the check character is checked and left out")
            << big << QStringList{"AB-3"} << 1 << true << false << false << 300 << none << QString() << Reads;
        QTest::newRow("Full ASCII: small letters, and a caret pair read as its control character")
            << big << QStringList{"Ab^Az-9"} << 1 << false << true << false << 300 << none << QString() << Reads;
        QTest::newRow("without Full ASCII the pairs' characters are read as they are")
            << big << QStringList{"A+B$C"} << 1 << false << false << false << 300 << none << QString() << Reads;
        QTest::newRow("text above, and an offset that puts the label between dots")
            << big << QStringList{"OFF-1"} << 1 << false << false << true << 300 << QPointF(0.37, -0.61)
            << QString() << Reads;
        QTest::newRow("a blank label before the start holds nothing to read")
            << big << QStringList{"A"} << 2 << false << false << false << 300 << none << QString() << Blank;
        QTest::newRow("a label far too small for its bar code")
            << big << QStringList{"ABCDEFGH"} << 1 << false << false << false << 300 << none << "tiny label"
            << DoesNotRead;
        QTest::newRow("bars that hold other data than the row")
            << big << QStringList{"ABC"} << 1 << false << false << false << 300 << none << "other data"
            << DoesNotRead;
        QTest::newRow("a check character asked for but not drawn")
            << big << QStringList{"ABC"} << 1 << false << false << false << 300 << none << "check character"
            << DoesNotRead;
    }
    void readLabelBack()
    {
        QFETCH(Stock, stock);
        QFETCH(QStringList, rows);
        QFETCH(int, start);
        QFETCH(bool, checksum);
        QFETCH(bool, fullAscii);
        QFETCH(bool, textAbove);
        QFETCH(int, dpi);
        QFETCH(QPointF, offsetMm);
        QFETCH(QString, spoil);
        QFETCH(labels::LabelReading, reading);
        labels::FillOptions options;
        options.start = start;
        options.checksum = checksum;
        options.fullAscii = fullAscii;
        options.look.textAbove = textAbove;
        options.dpi = dpi;
        labels::Sheet sheet = labels::FillSheet(stock, rows, options);
        QVERIFY2(sheet.failures.isEmpty(), qPrintable(sheet.failures.value(0).message));
        if (spoil == u"tiny label") {
            sheet.stock = OneLabel(10 * kMm, 3 * kMm);
            sheet.labels = labels::LabelRects(sheet.stock);
        } else if (spoil == u"other data") {
            sheet.barTexts[0] = QStringLiteral("*ABD*");
        } else if (spoil == u"check character") {
            sheet.checksum = true;
        }
        labels::DrawOptions draw;
        draw.offsetMm = offsetMm;
        QCOMPARE(labels::ReadLabelBack(sheet, 0, draw, dpi), reading);
    }

    // A whole run of sheets read back on every core: the labels that do not read back named over all pages
    // with their rows, in the words the command line and the window share; a cancel stops it.
    void readSheetBack_data()
    {
        QTest::addColumn<int>("spoiled"); // the label (from 0) given another row's bars; -1: none
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QString>("summary");
        QTest::newRow("every label reads back") << -1 << false << QStringList() << "all 6 labels read back";
        QTest::newRow("the first label of the second sheet does not")
            << 6 << false << QStringList{"label 7 (row 3): does not read back"}
            << "1 of 6 labels does not read back";
        QTest::newRow("cancelled before the first label")
            << -1 << true << QStringList() << "reading back cancelled after 0 labels";
    }
    void readSheetBack()
    {
        QFETCH(int, spoiled);
        QFETCH(bool, cancel);
        QFETCH(QStringList, problems);
        QFETCH(QString, summary);
        labels::FillOptions options;
        options.start = 2;
        options.copies = 2;
        // Six labels a sheet: one blank, then two of each row, the last on the second sheet.
        labels::Sheet sheet = labels::FillSheet(OwnStock(QStringLiteral("lb164")), {"A-1", "B-2", "C-3"}, options);
        QCOMPARE(sheet.pageCount(), 2);
        if (spoiled >= 0)
            sheet.barTexts[spoiled] = sheet.barTexts[1];
        const std::atomic_bool cancelled{cancel};
        std::atomic<qsizetype> lastDone{0}, lastTotal{0};
        const labels::SheetReading reading =
            labels::ReadSheetBack(sheet, {}, kDpi, &cancelled, [&](qsizetype done, qsizetype total) {
                lastDone = qMax(lastDone.load(), done);
                lastTotal = total;
            });
        QCOMPARE(reading.cancelled, cancel);
        QCOMPARE(reading.checked, cancel ? 0 : 6);
        QCOMPARE(lastDone.load(), reading.checked);
        QCOMPARE(lastTotal.load(), cancel ? 0 : 6);
        QCOMPARE(labels::ReadBackProblems(sheet, reading), problems);
        QCOMPARE(labels::ReadBackSummary(reading), summary);
        if (cancel)
            return;
        // Page by page, as the command reads each page before it writes it: the same labels named.
        QList<labels::Sheet> pages = FillPages(OwnStock(QStringLiteral("lb164")), {"A-1", "B-2", "C-3"}, options);
        QStringList pageProblems;
        qsizetype checked = 0;
        for (labels::Sheet& page : pages) {
            const qsizetype local = spoiled - page.labelsBefore;
            if (spoiled >= 0 && local >= 0 && local < page.barTexts.size())
                page.barTexts[local] = pages.first().barTexts[1];
            const labels::SheetReading pageReading = labels::ReadSheetBack(page, {}, kDpi);
            checked += pageReading.checked;
            pageProblems += labels::ReadBackProblems(page, pageReading);
        }
        QCOMPARE(checked, reading.checked);
        QCOMPARE(pageProblems, problems);
    }

    // A stock typed by the user: made, kept as one settings value, read back, found by name.
    void userStock_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error"); // a part of it; empty when the stock is made
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QRectF>("last"); // the last label, in points
        QTest::newRow("A4 in millimetres, 3 x 8")
            << "mm 210 297 70 37 3 8 0 0.5 70 37"
            << ""
            << "A4" << QRectF(140 * kMm, (0.5 + 7 * 37) * kMm, 70 * kMm, 37 * kMm);
        QTest::newRow("US Letter in inches")
            << "in 8.5 11 2.625 1 3 10 0.15625 0.5 2.78125 1"
            << ""
            << "US Letter" << QRectF(5.71875 * kInch, 9.5 * kInch, 2.625 * kInch, kInch);
        QTest::newRow("labels wider than their pitch overlap") << "mm 210 297 80 37 3 8 0 0 70 37"
                                                               << "overlap"
                                                               << "" << QRectF();
        QTest::newRow("labels off the page") << "mm 210 297 70 37 4 8 0 0 70 37"
                                             << "run off the page"
                                             << "" << QRectF();
        QTest::newRow("no columns") << "mm 210 297 70 37 0 8 0 0 70 37"
                                    << "no labels"
                                    << "" << QRectF();
        QTest::newRow("a page beyond a metre") << "mm 2100 297 70 37 3 8 0 0 70 37"
                                               << "larger than a metre"
                                               << "" << QRectF();
        QTest::newRow("a unit we do not know") << "cm 21 29.7 7 3.7 3 8 0 0 7 3.7"
                                               << "is not unit"
                                               << "" << QRectF();
        QTest::newRow("a value that is no number") << "mm 210 297 70 37 3 8 0 0 nan 37"
                                                   << "no number"
                                                   << "" << QRectF();
        QTest::newRow("a field missing") << "mm 210 297 70 37 3 8 0 0 70"
                                         << "is not unit"
                                         << "" << QRectF();
    }
    void userStock()
    {
        QFETCH(QString, value);
        QFETCH(QString, error);
        QFETCH(QString, paper);
        QFETCH(QRectF, last);
        labels::UserStockInput input;
        QString message;
        Stock stock;
        const bool made = labels::ParseUserStockValue(QStringLiteral("Shelf tags"), value, input, message) &&
                          labels::MakeUserStock(input, stock, message);
        QVERIFY2(made == error.isEmpty() && message.contains(error), qPrintable(message));
        if (!made)
            return;
        QCOMPARE(labels::UserStockValue(input), value);
        QCOMPARE(stock.paperName, paper);
        const QRectF got = labels::LabelRects(stock).back();
        QVERIFY2(qAbs(got.left() - last.left()) < 1e-6 && qAbs(got.top() - last.top()) < 1e-6 &&
                     qAbs(got.width() - last.width()) < 1e-6,
                 qPrintable(QStringLiteral("%1 %2").arg(got.left()).arg(got.top())));
        labels::StockLibrary library;
        library.addStock(stock);
        QString findError;
        QCOMPARE(library.find(QStringLiteral("shelf tags"), findError), library.stocks().size() - 1);
    }

    void templateProblem_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("problem");
        QTest::newRow("our stock writes") << 0 << QString();
        QTest::newRow("two grids") << 1 << "more than one grid";
        QTest::newRow("round labels") << 2 << "not rectangles";
        QTest::newRow("overlapping labels") << 3 << "overlap";
        QTest::newRow("labels off the page") << 4 << "run off the page";
    }
    void templateProblem()
    {
        QFETCH(int, change);
        QFETCH(QString, problem);
        Stock stock = labels::OwnStocks().at(2);
        if (change == 1)
            stock.layouts.append(stock.layouts.front());
        else if (change == 2)
            stock.shape = labels::LabelShape::Round;
        else if (change == 3)
            stock.layouts.front().dx = stock.label.width() - 5;
        else if (change == 4)
            stock.layouts.front().x0 = 100;
        QString got;
        QCOMPARE(labels::CanMakeTemplate(stock, got), problem.isEmpty());
        QVERIFY2(problem.isEmpty() ? got.isEmpty() : got.contains(problem), qPrintable(got));
        QCOMPARE(labels::LabelTemplateRtf(stock, QStringLiteral("custom")).isEmpty(), !problem.isEmpty());
    }

    // A custom template on A4: the page and the first label where the stock has them.
    void customTemplate()
    {
        Stock stock;
        stock.page = QSizeF(210 * kMm, 297 * kMm);
        stock.label = QSizeF(99.1 * kMm, 38.1 * kMm);
        stock.layouts.append({2, 7, 4.65 * kMm, 15.15 * kMm, 101.6 * kMm, 38.1 * kMm});
        const QByteArray rtf = labels::LabelTemplateRtf(stock, QStringLiteral("custom"));
        QVERIFY(rtf.contains("\\paperw11906\\paperh16838\\margl264"));
        QVERIFY(rtf.contains("\\margt859"));
        QVERIFY(rtf.contains("{\\info{\\title Label sheet custom}}"));
        QCOMPARE(rtf.count("\\row"), 7);
        QVERIFY(rtf.contains("\\cellx5618\\clvertalc\\cellx5760\\clvertalc\\cellx11378"));
    }

    // code39 --labels as a user runs it: every label of the PDF, rasterised at 300 dpi, decodes to its
    // row in order, and the ink of every bar code lies within half a millimetre of its label.
    void scan_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QRectF>("first"); // the first label, in inches, from the stock's data sheet
        QTest::addColumn<QPointF>("pitch");
        QTest::addColumn<int>("across");
        QTest::addColumn<QList<QByteArray>>("decoded"); // per label, in order
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("err");
        const QRectF avery5160(0.15625, 0.5, 2.625, 1);
        const QRectF averyL7163(4.65 / 25.4, 15.15 / 25.4, 99.1 / 25.4, 38.1 / 25.4);
        // 13 characters on a 2.625 in label: narrow bars of 2 dots at 300 dpi, which zbar reads from a perfect
        // raster but a printer's toner spreads.
        QTest::newRow("US Letter: a full sheet of one bar code, with the warning that it will not scan")
            << QStringList{"--labels", "Avery 5160", "--copies", "30", "INV-2026-0042"} << QByteArray()
            << avery5160 << QPointF(2.78125, 1) << 3 << QList<QByteArray>(30, "INV-2026-0042") << 0
            << QByteArray("code39: warning: The bar codes of row 1 (15 characters with start and stop) will not "
                          "scan: their narrow bars are 2 printer dots (0.17 mm) at 300 dpi; Code 39 needs at "
                          "least 2 dots and 0.19 mm. It would scan with at most 12 characters of data on these "
                          "labels, or a printer of 600 dpi, or a larger label.\n");
        QTest::newRow("US Letter at 600 dpi: the same bar code scans")
            << QStringList{"--labels", "Avery 5160", "--dpi", "600", "INV-2026-0042"} << QByteArray() << avery5160
            << QPointF(2.78125, 1) << 3 << QList<QByteArray>{"INV-2026-0042", ""} << 0 << QByteArray();
        QList<QByteArray> codes;
        QByteArray csv = "item,code\n";
        for (int i = 1; i <= 14; ++i) {
            codes.append("PART-" + QByteArray::number(i * 7));
            csv += "thing " + QByteArray::number(i) + ",PART-" + QByteArray::number(i * 7) + "\n";
        }
        QTest::newRow("A4: fourteen rows of a CSV column")
            << QStringList{"--labels", "L7163", "--list", "-", "--column", "2", "--header", "--verify"} << csv
            << averyL7163 << QPointF(101.6 / 25.4, 38.1 / 25.4) << 2 << codes << 0 << QByteArray();
        QTest::newRow("failing rows stay blank, in place, and are named")
            << QStringList{"--labels", "Avery 5160", "-c"} << QByteArray("AB-1\nbad\nAB-3\n\nAB-5\n") << avery5160
            << QPointF(2.78125, 1) << 3 << QList<QByteArray>{"AB-1F", "", "AB-3H", "", "AB-5J", ""} << 1
            << QByteArray("code39: row 2: Error: input character \"b\" not legal in bar code 3 of 9\n"
                          "code39: row 4: Error:- no input data\n");
        QTest::newRow("a start offset on a part-used sheet")
            << QStringList{"--labels", "lb060", "--start", "5", "X1", "X2"} << QByteArray() << avery5160
            << QPointF(2.78125, 1) << 3 << QList<QByteArray>{"", "", "", "", "X1", "X2", ""} << 0 << QByteArray();
        QTest::newRow("text above the bars, Full ASCII, at a size of our choosing")
            << QStringList{"--labels", "lb161", "--text-above", "-f", "--size", "14", "ab", "Z-9"} << QByteArray()
            << QRectF(0.15625, 0.5, 4, 1) << QPointF(4.1875, 1) << 2 << QList<QByteArray>{"+A+B", "Z-9", ""} << 0
            << QByteArray();
        QTest::newRow("the smallest label: 17.8 x 10 mm still holds a short code, one dot a bar, with a warning")
            << QStringList{"--labels", "Avery L4730", "K7", "M9"} << QByteArray()
            << QRectF(8.5 / 25.4, 13.5 / 25.4, 17.8 / 25.4, 10 / 25.4) << QPointF(20.3 / 25.4, 10 / 25.4) << 10
            << QList<QByteArray>{"K7", "M9", ""} << 0
            << QByteArray("code39: warning: The bar codes of rows 1-2 (4 characters with start and stop) will not "
                          "scan: their narrow bars are 1 printer dot (0.08 mm) at 300 dpi; Code 39 needs at least "
                          "2 dots and 0.19 mm. It would scan with a larger label.\n");
    }
    void scan()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QRectF, first);
        QFETCH(QPointF, pitch);
        QFETCH(int, across);
        QFETCH(QList<QByteArray>, decoded);
        QFETCH(int, status);
        QFETCH(QByteArray, err);
        if (arguments[1].contains(QLatin1String("Avery")) || arguments[1] == u"L7163")
            SKIP_WITHOUT_LABEL_DATABASE();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString list = dir.filePath(QStringLiteral("list.csv"));
        if (arguments.contains(QStringLiteral("-"))) {
            QVERIFY(support::WriteFile(list, input));
            arguments[arguments.indexOf(QStringLiteral("-"))] = list;
            input.clear();
        }
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        const support::ProgramRun run =
            support::RunProgram(kCode39, arguments + QStringList{QStringLiteral("--pdf"), pdf}, {.input = input});
        QCOMPARE(run.err, err);
        QCOMPARE(run.status, status);
        const QImage page = support::RasterisePdf(pdf, kDpi);
        QVERIFY(!page.isNull());

        const double halfMm = 0.5 * kMm;
        QList<QRectF> rects;
        for (int i = 0; i < decoded.size() + across; ++i) {
            rects.append(QRectF(
                QPointF(first.left() + (i % across) * pitch.x(), first.top() + (i / across) * pitch.y()) * kInch,
                first.size() * kInch));
        }
        for (int i = 0; i < decoded.size(); ++i) {
            const QRectF& label = rects[i];
            QCOMPARE(Decode(page, label), decoded[i]);
            // Bars as tall as the label come within 2 mm of the next label's: its own ink is not this one's.
            QList<QRectF> others = rects;
            others.removeAt(i);
            const QRectF ink = InkAround(page, label, 2 * kMm, kDpi, others);
            QCOMPARE(ink.isNull(), decoded[i].isEmpty());
            if (!ink.isNull()) {
                QVERIFY2(label.adjusted(-halfMm, -halfMm, halfMm, halfMm).contains(ink),
                         qPrintable(QStringLiteral("label %1: ink %2,%3 %4x%5 pt")
                                        .arg(i)
                                        .arg(ink.x())
                                        .arg(ink.y())
                                        .arg(ink.width())
                                        .arg(ink.height())));
            }
        }
    }

    void commandLine_data()
    {
        // Too long for lb167's labels to scan at 300 dpi.
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err"); // a part of standard error
        QTest::addColumn<int>("status");
        QTest::newRow("list our stock by its words")
            << QStringList{"--list-stocks", "80", "per"}
            << QByteArray("-\tlb167\tUS Letter\t80\t44.45 x 12.70 mm\t1 3/4 x 1/2 in, 80 per sheet\n") << QString()
            << 0;
        QTest::newRow("nothing matches")
            << QStringList{"--list-stocks", "zzqqx"} << QByteArray() << "no label stock matches \"zzqqx\"" << 1;
        QTest::newRow("--paper takes the name the list prints")
            << QStringList{"--list-stocks", "--paper", "US Letter", "80", "per"}
            << QByteArray("-\tlb167\tUS Letter\t80\t44.45 x 12.70 mm\t1 3/4 x 1/2 in, 80 per sheet\n") << QString()
            << 0;
        QTest::newRow("a paper no stock is on is named, not the words")
            << QStringList{"--list-stocks", "--paper", "Letter-ish", "80"} << QByteArray()
            << "no label stock is on the paper \"Letter-ish\"" << 1;
        QTest::newRow("labels that run off the page are named (B4 is 250 x 353 mm, the grid 257 x 364)")
            << QStringList{"--labels", "Hisago GB865", "--pdf", "x.pdf", "A1"} << QByteArray()
            << "warning: Labels 6, 12, 18, 19, 20, 21, 22, 23, 24 of Hisago GB865 run off its 250.0 x 353.0 mm "
               "page and cannot be printed whole."
            << 0;
        QTest::newRow("a start beyond a single label counts 1 label")
            << QStringList{"--labels", "Dymo 11353", "--start", "2", "--pdf", "x.pdf", "A1"} << QByteArray()
            << "--start 2: Dymo 11353 has 1 label per sheet" << 2;
        QTest::newRow("an empty list is an error, not a blank page")
            << QStringList{"--labels", "lb164", "--list", "/dev/null", "--pdf", "x.pdf"} << QByteArray()
            << "no rows to print" << 1;
        QTest::newRow("a list of a header only has no rows either")
            << QStringList{"--labels", "lb164", "--list", "header.csv", "--header",
                           "--column", "1",     "--pdf",  "x.pdf"}
            << QByteArray() << "no rows to print" << 1;
        QTest::newRow("an unknown stock is bad usage")
            << QStringList{"--labels", "Nobody 1", "--pdf", "x.pdf", "A"} << QByteArray()
            << "no label stock \"Nobody 1\" (code39 --list-stocks WORDS lists them)" << 2;
        QTest::newRow("no PDF file") << QStringList{"--labels", "lb167", "A"} << QByteArray()
                                     << "--labels needs --pdf FILE" << 2;
        QTest::newRow("a start beyond the sheet")
            << QStringList{"--labels", "lb164", "--start", "7", "--pdf", "x.pdf", "A"} << QByteArray()
            << "lb164 has 6 labels per sheet" << 2;
        QTest::newRow("copies out of range") << QStringList{"--labels", "lb164", "--copies", "0", "--pdf", "x.pdf"}
                                             << QByteArray() << "--copies needs a number from 1 to 10000" << 2;
        QTest::newRow("a size that is no number")
            << QStringList{"--labels", "lb164", "--size", "nan", "--pdf", "x.pdf"} << QByteArray()
            << "--size needs a point size" << 2;
        QTest::newRow("a list that is binary")
            << QStringList{"--labels", "lb164", "--list", "binary.list", "--pdf", "x.pdf"} << QByteArray()
            << "binary data" << 1;
        QTest::newRow("a list that turns out not to be text pages later writes nothing")
            << QStringList{"--labels", "lb164", "--list", "late.list", "--pdf", "x.pdf"} << QByteArray()
            << "The list is not UTF-8 text (line 51)" << 1;
        QTest::newRow("a list file of more than 16 MB is refused at once, from its size")
            << QStringList{"--labels", "lb164", "--list", "huge.list", "--pdf", "x.pdf"} << QByteArray()
            << "code39: The list is larger than 16 MB: it is not a list of labels.\n"
            << 1;
        QTest::newRow("tiny labels warn and name what would scan")
            << QStringList{"--labels", "lb167", "--pdf", "x.pdf", "ABCDEFGHIJKLM"} << QByteArray()
            << "will not scan: their narrow bars are 1 printer dot (0.08 mm) at 300 dpi; Code 39 needs at least 2 "
               "dots and 0.19 mm. It would scan with at most 7 characters of data on these labels, or a larger "
               "label."
            << 0;
        QTest::newRow("a turn of another angle")
            << QStringList{"--labels", "lb167", "--rotate", "45", "--pdf", "x.pdf", "A"} << QByteArray()
            << "--rotate needs auto, 0 or 90, not \"45\"" << 2;
        QTest::newRow("bars lower than a millimetre")
            << QStringList{"--labels", "lb167", "--height", "0.5", "--pdf", "x.pdf", "A"} << QByteArray()
            << "--height needs a height in millimetres from 1 to 1000" << 2;
        QTest::newRow("bars as short as asked, and what would scan")
            << QStringList{"--labels", "lb060", "--height", "3", "--pdf", "x.pdf", "A1"} << QByteArray()
            << "It would scan with a bar height of at least 6.35 mm." << 0;
        QTest::newRow("--verify writes labels that read back, saying nothing")
            << QStringList{"--labels", "lb164", "--verify", "--pdf", "x.pdf", "A-1", "B-2"} << QByteArray()
            << QString() << 0;
        QTest::newRow("--verify reads Full ASCII and check characters as the row asked for them")
            << QStringList{"--labels", "lb161", "--verify", "-f", "-c", "--pdf", "x.pdf", "ab^Az", "Hello", "x^0y"}
            << QByteArray() << QString() << 0;
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        QFETCH(int, status);
        if (arguments.join(u' ').contains(QRegularExpression(QStringLiteral("Hisago|Dymo"))))
            SKIP_WITHOUT_LABEL_DATABASE();
        QTemporaryDir dir;
        // A few bytes of a program's kind, whatever size the build's own programs have.
        QVERIFY(support::WriteFile(dir.filePath(QStringLiteral("binary.list")), QByteArray("\x7F"
                                                                                           "ELF\2\1\1\0\0",
                                                                                           9)));
        QVERIFY(support::WriteFile(dir.filePath(QStringLiteral("header.csv")), "code,name\n"));
        QVERIFY(support::WriteFile(dir.filePath(QStringLiteral("late.list")),
                                   QByteArray("A\n").repeated(50) + "\xFF\n"));
        QVERIFY(support::WriteFile(dir.filePath(QStringLiteral("huge.list")),
                                   QByteArray("A\n").repeated(labels::kMaxListBytes / 2 + 1)));
        const support::ProgramRun run = support::RunProgram(kCode39, arguments, {.workingDirectory = dir.path()});
        QCOMPARE(run.out, out);
        const QString stderrText = QString::fromUtf8(run.err);
        QVERIFY2(err.isEmpty() ? stderrText.isEmpty() : stderrText.contains(err), qPrintable(stderrText));
        QCOMPARE(run.status, status);
        // Nothing is written when the command is refused.
        QCOMPARE(QFileInfo::exists(dir.filePath(QStringLiteral("x.pdf"))), status == 0 && out.isEmpty());
    }

    // Labels as ZPL, read by the tests' own interpreter and drawn on the printer's dots with its own
    // element table, then decoded by ZXing: the data, and the bars exactly where and as wide as our own
    // drawing of the label puts them (which proves the turn, R, is ours). A format with a quantity stands
    // for that many labels of one row; a blank label is a format without a field. The printer's readable
    // line is taken as tall as ours: a real printer's font may make it taller or shorter, which moves the
    // bars only where the line comes first (text above, or on the left of a turned label).
    void zplReadsBack_data()
    {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<bool>("textAbove");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("turned");
        QTest::addColumn<int>("formats");
        struct Row {
            const char* why;
            const char* stock;
            QStringList rows;
            int dpi;
            bool checksum, fullAscii, textAbove;
            int copies, start;
            bool turned;
            int formats;
        };
        // clang-format off
        const Row rows[] = {
            {"a sheet's label at 203 dpi", "lb164", {"INV-2026-0042"}, 203, false, false, false, 1, 1, false, 1},
            {"a sheet's label at 300 dpi", "lb164", {"INV-2026-0042"}, 300, false, false, false, 1, 1, false, 1},
            {"a sheet's label at 600 dpi, the narrow bar held to what the printer draws", "lb164", {"A1"},
                600, false, false, false, 1, 1, false, 1},
            {"a Dymo roll at 203 dpi", "Dymo 11354", {"K7"}, 203, false, false, false, 1, 1, false, 1},
            {"a Dymo roll at 300 dpi, turned", "Dymo 11354", {"INV-2026-0042"},
                300, false, false, false, 1, 1, true, 1},
            {"a small label turned, at 203 dpi", "small label", {"K7"}, 203, false, false, false, 1, 1, true, 1},
            {"a small label turned, at 300 dpi", "small label", {"K7"}, 300, false, false, false, 1, 1, true, 1},
            {"a round label at 203 dpi", "round", {"K7"}, 203, false, false, false, 1, 1, false, 1},
            {"a round label at 300 dpi", "round", {"K7"}, 300, false, false, false, 1, 1, false, 1},
            {"our check character, not the printer's", "lb164", {"AB-3"}, 300, true, false, false, 1, 1, false, 1},
            {"Full ASCII pairs as we built them", "lb164", {"Ab^Az-9"}, 203, false, true, false, 1, 1, false, 1},
            {"copies are one format with a quantity, after the blank label before the start", "lb164", {"A1", "B2"},
                203, false, false, false, 3, 2, false, 3},
            {"text above, turned, on a roll", "roll", {"SKU-0001"}, 300, false, false, true, 1, 1, true, 1},
            {"text above, upright", "lb164", {"UP-1"}, 203, false, false, true, 1, 1, false, 1},
            {"the space symbol goes as an escape", "roll", {"A B"}, 203, false, false, false, 1, 1, false, 1},
            {"a failing row is a blank format in its place", "roll", {"A1", "a", "C3"},
                203, false, false, false, 1, 1, false, 3},
        };
        // clang-format on
        for (const Row& row : rows) {
            QTest::newRow(row.why) << row.stock << row.rows << row.dpi << row.checksum << row.fullAscii
                                   << row.textAbove << row.copies << row.start << row.turned << row.formats;
        }
    }
    void zplReadsBack()
    {
        QFETCH(QString, stock);
        QFETCH(QStringList, rows);
        QFETCH(int, dpi);
        QFETCH(bool, checksum);
        QFETCH(bool, fullAscii);
        QFETCH(bool, textAbove);
        QFETCH(int, copies);
        QFETCH(int, start);
        QFETCH(bool, turned);
        QFETCH(int, formats);
        const Stock labelStock = StockNamed(stock);
        if (labelStock.layouts.isEmpty())
            SKIP_WITHOUT_LABEL_DATABASE();
        QVERIFY(!labelStock.layouts.isEmpty());
        labels::FillOptions options;
        options.dpi = dpi;
        options.checksum = checksum;
        options.fullAscii = fullAscii;
        options.look.textAbove = textAbove;
        options.copies = copies;
        options.start = start;
        const labels::Sheet sheet = labels::FillSheet(labelStock, rows, labels::ForZpl(options));
        QString error;
        const QByteArray zpl = ZplOf(sheet, {}, error);
        QVERIFY2(!zpl.isEmpty(), qPrintable(error));
        const support::ZplReading reading = support::ReadZpl(zpl);
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error + u'\n' + QString::fromLatin1(zpl)));
        QCOMPARE(reading.labels.size(), formats);

        const double scale = dpi / kInch;
        const QSize size(qRound(labelStock.label.width() * scale), qRound(labelStock.label.height() * scale));
        qsizetype label = 0;
        for (const support::ZplLabel& format : reading.labels) {
            QCOMPARE(format.size, size);
            QVERIFY(label + format.quantity <= sheet.barTexts.size());
            for (int k = 1; k < format.quantity; ++k) {
                QCOMPARE(sheet.barTexts[label + k], sheet.barTexts[label]);
                QCOMPARE(sheet.rows[label + k], sheet.rows[label]);
            }
            const QString& barText = sheet.barTexts[label];
            if (barText.isEmpty()) {
                QVERIFY(format.barCodes.isEmpty());
                label += format.quantity;
                continue;
            }
            QCOMPARE(format.quantity, copies);
            QCOMPARE(format.barCodes.size(), 1);
            const support::ZplBarCode& code = format.barCodes.front();
            const labels::SymbolFit fit = labels::FitOf(sheet, barText);
            QCOMPARE(fit.turned, turned);
            QCOMPARE(code.orientation, turned ? 'R' : 'N');
            QVERIFY(code.line && !code.printerCheck);
            QCOMPARE(code.lineAbove, textAbove);
            QCOMPARE(code.module, fit.module);
            QVERIFY(fit.module <= labels::kZplWidestModule);

            const QImage printed = support::DrawZplLabel(format, fit.textLine);
            const QString& data = rows[sheet.rows[label] - 1];
            const std::u16string scanned = code39::ScannedText(
                std::u16string_view(reinterpret_cast<const char16_t*>(data.utf16()), std::size_t(data.size())),
                fullAscii);
            QCOMPARE(support::DecodeCode39(printed, fullAscii, checksum), QString::fromStdU16String(scanned));

            const QRect bars = BlackBox(printed);
            QVERIFY(!bars.isNull());
            // The bars lie on ours, dot for dot.
            const QImage ours = OurLabelAlone(sheet, label);
            int differ = 0;
            for (int y = bars.top(); y <= bars.bottom(); ++y) {
                for (int x = bars.left(); x <= bars.right(); ++x)
                    differ += printed.constScanLine(y)[x] != ours.constScanLine(y)[x];
            }
            QVERIFY2(differ == 0, qPrintable(QStringLiteral("%1 dots differ in the bars at %2,%3 %4x%5")
                                                 .arg(differ)
                                                 .arg(bars.x())
                                                 .arg(bars.y())
                                                 .arg(bars.width())
                                                 .arg(bars.height())));
            label += format.quantity;
        }
        QCOMPARE(label, sheet.barTexts.size());
    }

    // Whatever a bar text holds, its field data is Code 39 letters and hex escapes: no ^, ~, control byte
    // or byte beyond ASCII reaches the printer raw, and the escapes give the text back. Through the whole
    // writer a hostile text stays inside its one field of its one format.
    void zplFieldDataIsSafe_data()
    {
        QTest::addColumn<QString>("barText");
        QString controls, high;
        for (int c = 0; c < 32; ++c)
            controls += QChar(c);
        for (int c = 127; c < 256; ++c)
            high += QChar(c);
        QTest::newRow("a format's end and a new start") << "*^XZ^XA*";
        QTest::newRow("a control command") << "*~JR*";
        QTest::newRow("a field of its own") << "*^FS^FO0,0^A0N,50,50^FDX^FS*";
        QTest::newRow("bytes 0 to 31") << QLatin1Char('*') + controls + QLatin1Char('*');
        QTest::newRow("bytes 127 to 255") << QLatin1Char('*') + high + QLatin1Char('*');
        QTest::newRow("the escape character itself") << "*_5F__*";
        QTest::newRow("the space symbol and a space") << "*A~B C*";
        QTest::newRow("beyond Latin-1") << QStringLiteral("*Ä€😀*");
        QTest::newRow("a long row") << QLatin1Char('*') + QStringLiteral("^~_\r\n").repeated(4000) +
                                           QLatin1Char('*');
        QTest::newRow("no stars") << "^XA";
        QRandomGenerator random(21);
        for (int i = 0; i < 24; ++i) {
            QString text;
            const int length = int(random.bounded(1, 200));
            for (int k = 0; k < length; ++k)
                text += QChar(char16_t(random.bounded(i % 2 ? 0x80 : 0xD800)));
            QTest::addRow("random %d", i) << text;
        }
    }
    void zplFieldDataIsSafe()
    {
        QFETCH(QString, barText);
        const QByteArray data = labels::ZplFieldData(barText);
        QVERIFY2(IsSafeFieldData(data), data.left(200).constData());
        QByteArray undone;
        for (qsizetype i = 0; i < data.size(); ++i) {
            if (data[i] != '_') {
                undone += data[i];
                continue;
            }
            undone += char(data.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        }
        QString expected = barText;
        if (expected.size() >= 2 && expected.startsWith(u'*') && expected.endsWith(u'*'))
            expected = expected.mid(1, expected.size() - 2);
        QCOMPARE(QString::fromUtf8(undone), expected.replace(u'~', u' '));

        labels::FillOptions options;
        options.dpi = 203;
        labels::Sheet sheet = labels::FillSheet(ShapeOf(QStringLiteral("roll")), {QStringLiteral("A")}, options);
        sheet.fits.insert(int(barText.size()), sheet.fits.value(3));
        sheet.barTexts[0] = barText;
        QString error;
        const QByteArray zpl = ZplOf(sheet, {}, error);
        QVERIFY2(!zpl.isEmpty(), qPrintable(error));
        for (const char* command : {"^XA", "^XZ", "^FD", "^FS", "^FO"})
            QCOMPARE(zpl.count(command), 1);
        QVERIFY(!zpl.contains('~'));
        QVERIFY(std::all_of(zpl.begin(), zpl.end(), [](char c) { return c == '\n' || (c >= 32 && c < 127); }));
        const qsizetype from = zpl.indexOf("^FD") + 3;
        QCOMPARE(zpl.mid(from, zpl.indexOf("^FS") - from), data);
    }

    // What the writer refuses rather than have the printer do something else, and a nudge it takes.
    void zplRefused_data()
    {
        QTest::addColumn<QString>("stock");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("forZpl"); // the point size held to the printer's widest narrow bar
        QTest::addColumn<QPointF>("offsetMm");
        QTest::addColumn<QString>("error");
        QTest::newRow("a resolution label printers do not come in")
            << "roll" << 250 << true << QPointF() << "label printers take 203, 300 or 600 dpi, not 250";
        QTest::newRow("a nudge up past the label's top")
            << "small label" << 203 << true << QPointF(0, -10)
            << "the nudge of 0, -10 mm moves the bar codes past the label's edge";
        QTest::newRow("a nudge right past the label's edge")
            << "small label" << 203 << true << QPointF(10, 0)
            << "the nudge of 10, 0 mm moves the bar codes past the label's edge";
        QTest::newRow("narrow bars wider than the printer draws")
            << "lb164" << 600 << false << QPointF()
            << "narrow bars of 11 dots are wider than a label printer draws (at most 10)";
        QTest::newRow("a nudge within the label moves the field by its dots")
            << "roll" << 300 << true << QPointF(1.5, -1) << QString();
    }
    void zplRefused()
    {
        QFETCH(QString, stock);
        QFETCH(int, dpi);
        QFETCH(bool, forZpl);
        QFETCH(QPointF, offsetMm);
        QFETCH(QString, error);
        labels::FillOptions options;
        options.dpi = dpi;
        const labels::Sheet sheet = labels::FillSheet(StockNamed(stock), {QStringLiteral("K7")},
                                                      forZpl ? labels::ForZpl(options) : options);
        labels::DrawOptions draw;
        draw.offsetMm = offsetMm;
        QString why;
        const QByteArray zpl = ZplOf(sheet, draw, why);
        QCOMPARE(zpl.isEmpty(), !error.isEmpty());
        QVERIFY2(why.startsWith(error), qPrintable(why));
        if (!error.isEmpty())
            return;
        const QByteArray still = ZplOf(sheet, {}, why);
        const support::ZplReading nudged = support::ReadZpl(zpl), unnudged = support::ReadZpl(still);
        QVERIFY(nudged.error.isEmpty() && unnudged.error.isEmpty());
        const QPoint moved =
            nudged.labels.front().barCodes.front().origin - unnudged.labels.front().barCodes.front().origin;
        const QPointF dots = offsetMm * dpi / 25.4;
        QVERIFY2(qAbs(moved.x() - dots.x()) <= 0.5 && qAbs(moved.y() - dots.y()) <= 0.5,
                 qPrintable(QStringLiteral("%1,%2").arg(moved.x()).arg(moved.y())));
    }

    // The interpreter takes what the writer emits and refuses the rest, so a writer that emits more, or
    // lets a raw byte into field data, is noticed.
    void zplReader_data()
    {
        QTest::addColumn<QByteArray>("zpl");
        QTest::addColumn<QString>("error"); // a part of the refusal; empty: read
        const QByteArray head = "^XA\n^CI0^PW100^LL50^LH0,0\n^FO10,5^BY2,3.0,20^B3N,N,20,Y,N";
        QTest::newRow("what the writer emits") << head + "^FH^FDA_20B^FS\n^PQ2\n^XZ\n" << QString();
        QTest::newRow("a text field") << QByteArray("^XA^PW100^LL50^FO0,0^A0N,20,20^FDA^FS^XZ")
                                      << "the unknown command ^A0";
        QTest::newRow("a control command") << QByteArray("~JR") << "a ~ command";
        QTest::newRow("a raw ~ in field data") << head + "^FDA~B^FS^XZ"
                                               << "a raw ~ in field data";
        QTest::newRow("a raw control byte in field data") << head + "^FDA\x01"
                                                                    "B^FS^XZ"
                                                          << "a raw byte 0x01";
        QTest::newRow("an escape short of two hex digits") << head + "^FH^FDA_4^FS^XZ"
                                                           << "hex escape";
        QTest::newRow("a character without bars") << head + "^FDa^FS^XZ"
                                                  << "no bars for";
        QTest::newRow("a star: the printer adds its own") << head + "^FD*A*^FS^XZ"
                                                          << "no bars for";
        QTest::newRow("a format without its end") << QByteArray("^XA^PW100^LL50") << "no ^XZ";
        QTest::newRow("a command outside a format") << QByteArray("^PW100") << "outside a format";
        QTest::newRow("text outside any command") << QByteArray("hello") << "outside any command";
        QTest::newRow("an orientation of no kind")
            << QByteArray("^XA^PW9^LL9^FO0,0^B3X,N,9,Y,N^XZ") << "^B3 with the value";
        QTest::newRow("a narrow bar beyond 10 dots") << QByteArray("^XA^BY11,3.0,20^XZ") << "^BY with the value";
        QTest::newRow("a field left open") << head + "^FDA^XZ"
                                           << "a field without ^FS";
    }
    void zplReader()
    {
        QFETCH(QByteArray, zpl);
        QFETCH(QString, error);
        const support::ZplReading reading = support::ReadZpl(zpl);
        QVERIFY2(error.isEmpty() ? reading.error.isEmpty() : reading.error.contains(error),
                 qPrintable(reading.error));
        QCOMPARE(reading.labels.isEmpty(), !error.isEmpty());
    }

    // code39 --labels --zpl as a user runs it: the file (or standard output) read by the interpreter, the
    // rows, warnings and exit codes as with a PDF; and the stock list of rolls.
    void zplCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("err"); // a part of standard error; empty: nothing
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("formats");    // in the ZPL written; -1: none written
        QTest::addColumn<int>("width");      // ^PW of the first format
        QTest::addColumn<QByteArray>("out"); // a part of standard output, for the stock list
        QTest::newRow("a Dymo roll, one format per row, at 203 dpi unless told")
            << QStringList{"--labels", "Dymo 11352", "--zpl", "x.zpl", "A1", "B2"} << QString() << 0 << 2 << 200
            << QByteArray();
        QTest::newRow("to standard output at 300 dpi")
            << QStringList{"--labels", "Dymo 11352", "--dpi", "300", "--zpl", "-", "A1"} << QString() << 0 << 1
            << 295 << QByteArray();
        QTest::newRow("a --dpi before --zpl is kept")
            << QStringList{"--dpi", "600", "--labels", "Dymo 11352", "--zpl", "x.zpl", "A1"} << QString() << 0 << 1
            << 591 << QByteArray();
        QTest::newRow("copies as a quantity, read back first")
            << QStringList{"--labels", "lb164", "--copies", "2", "--verify", "--zpl", "x.zpl", "A1", "B2"}
            << QString() << 0 << 2 << 812 << QByteArray();
        QTest::newRow("a failing row is named and left a blank format")
            << QStringList{"--labels", "Dymo 11352", "--zpl", "x.zpl", "A1", "a"}
            << "row 2: Error: input character \"a\" not legal" << 1 << 2 << 200 << QByteArray();
        QTest::newRow("the same warnings as a PDF")
            << QStringList{"--labels", "lb167", "--zpl", "x.zpl", "ABCDEFGHIJKLM"}
            << "will not scan: their narrow bars are 1 printer dot (0.13 mm) at 203 dpi" << 0 << 1 << 355
            << QByteArray();
        QTest::newRow("a resolution label printers do not come in")
            << QStringList{"--labels", "Dymo 11352", "--dpi", "250", "--zpl", "x.zpl", "A"}
            << "--zpl needs --dpi 203, 300 or 600 (a label printer's), not 250" << 2 << -1 << 0 << QByteArray();
        QTest::newRow("a nudge that pushes the bars off the label writes nothing")
            << QStringList{"--labels", "Dymo 11353", "--offset", "0,-15", "--zpl", "x.zpl", "A"}
            << "cannot write x.zpl: the nudge of 0, -15 mm moves the bar codes past the label's edge" << 1 << -1
            << 0 << QByteArray();
        QTest::newRow("ZPL is for label sheets")
            << QStringList{"--zpl", "x.zpl", "A"} << "--zpl needs --labels" << 2 << -1 << 0 << QByteArray();
        QTest::newRow("a PDF and ZPL at once")
            << QStringList{"--labels", "lb164", "--pdf", "x.pdf", "--zpl", "x.zpl", "A"}
            << "one output file at a time: --pdf and --zpl" << 2 << -1 << 0 << QByteArray();
        QTest::newRow("the stock list of rolls")
            << QStringList{"--list-stocks", "--roll", "Dymo"} << QString() << 0 << -1 << 0
            << QByteArray("Dymo\t11352\tOther\t1\t25.00 x 54.00 mm\tReturn Address Labels\n");
        QTest::newRow("a full-sheet label is a sheet, not a roll")
            << QStringList{"--list-stocks", "--roll", "Avery", "8165"}
            << "no roll of labels matches \"Avery 8165\"" << 1 << -1 << 0 << QByteArray();
        QTest::newRow("no roll among sheets")
            << QStringList{"--list-stocks", "--roll", "80", "per"} << "no roll of labels matches \"80 per\"" << 1
            << -1 << 0 << QByteArray();
    }
    void zplCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, err);
        QFETCH(int, status);
        QFETCH(int, formats);
        QFETCH(int, width);
        QFETCH(QByteArray, out);
        if (arguments.join(u' ').contains(QStringLiteral("Dymo")))
            SKIP_WITHOUT_LABEL_DATABASE();
        QTemporaryDir dir;
        const support::ProgramRun run = support::RunProgram(kCode39, arguments, {.workingDirectory = dir.path()});
        const QString stderrText = QString::fromUtf8(run.err);
        QVERIFY2(err.isEmpty() ? stderrText.isEmpty() : stderrText.contains(err), qPrintable(stderrText));
        QCOMPARE(run.status, status);
        const bool toStandardOutput = arguments.contains(QStringLiteral("-"));
        QVERIFY2(run.out.contains(out) && (toStandardOutput || !out.isEmpty() || run.out.isEmpty()),
                 run.out.constData());
        if (out.contains('\t')) {
            for (const QByteArray& line : run.out.trimmed().split('\n'))
                QVERIFY2(line.split('\t').value(3) == "1", line.constData());
        }
        const QString file = dir.filePath(QStringLiteral("x.zpl"));
        QCOMPARE(QFileInfo::exists(file), formats >= 0 && !toStandardOutput);
        if (formats < 0)
            return;
        const support::ZplReading reading = support::ReadZpl(toStandardOutput ? run.out : support::ReadFile(file));
        QVERIFY2(reading.error.isEmpty(), qPrintable(reading.error));
        QCOMPARE(reading.labels.size(), formats);
        QCOMPARE(reading.labels.front().size.width(), width);
    }
};

QTEST_MAIN(TestLabels)
#include "TestLabels.moc"
