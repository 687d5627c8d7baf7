// The bar-code typefaces checked against independent oracles: the Code 39 table as published, the
// fonts' own outlines, a real decoder (zbarimg) reading rendered bar codes, and the generator's bytes.
#include "code39/Code39.h"
#include "render/BarCodeFiles.h"
#include "render/Typefaces.h"
#include "support/Files.h"
#include "support/Pictures.h"
#include "support/Programs.h"
#include "support/TemporaryHome.h"

#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

const QString kLo = QStringLiteral(":/fonts/TamroskStripe39dLo-Regular.ttf");
const QString kUp = QStringLiteral(":/fonts/TamroskStripe39dUp-Regular.ttf");
const QString kSymbols = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.~$/+%*");

// Font units: one pixel per unit at 2048 pixels per em, unhinted.
QRawFont LoadFont(const QString& path)
{
    return QRawFont(support::ReadFile(path), 2048, QFont::PreferNoHinting);
}

struct Outline {
    QList<QRectF> bars; // left to right
    QRectF text;        // bounding box of everything else
    int textContours = 0;
};

// The bars are the glyph's tallest axis-aligned rectangles; the rest is the readable character.
Outline ReadOutline(const QRawFont& font, QChar c)
{
    const QList<quint32> glyph = font.glyphIndexesForString(QString(c));
    Outline o;
    QList<QPolygonF> contours = font.pathForGlyph(glyph.value(0)).toSubpathPolygons();
    qreal tallest = 0;
    const auto isRect = [](const QPolygonF& p) {
        const QRectF r = p.boundingRect();
        return std::all_of(p.begin(), p.end(), [&](QPointF q) {
            return (q.x() == r.left() || q.x() == r.right()) && (q.y() == r.top() || q.y() == r.bottom());
        });
    };
    for (const QPolygonF& p : contours) {
        if (isRect(p))
            tallest = qMax(tallest, p.boundingRect().height());
    }
    for (const QPolygonF& p : contours) {
        if (isRect(p) && p.boundingRect().height() == tallest) {
            o.bars.append(p.boundingRect());
        } else {
            o.text |= p.boundingRect();
            ++o.textContours;
        }
    }
    std::sort(o.bars.begin(), o.bars.end(), [](const QRectF& a, const QRectF& b) { return a.left() < b.left(); });
    return o;
}

// Random data the builder accepts: data characters, or any printable ASCII for Full ASCII.
QString RandomData(QRandomGenerator& random, bool fullAscii)
{
    const QString plain = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
    QString s;
    for (int n = random.bounded(1, 11); n > 0; --n)
        s += fullAscii ? QChar(char16_t(random.bounded(32, 127))) : plain[random.bounded(plain.size())];
    return s.replace(QLatin1Char('^'), QLatin1Char('?')); // a caret starts a control code
}

} // namespace

class TestFonts : public QObject {
    Q_OBJECT
private slots:
    void patterns_data()
    {
        // Code 39 as published: nine elements from the first bar, 1 = wide.
        QTest::addColumn<QChar>("c");
        QTest::addColumn<QString>("pattern");
        const char* table[][2] = {
            {"0", "000110100"}, {"1", "100100001"}, {"2", "001100001"}, {"3", "101100000"}, {"4", "000110001"},
            {"5", "100110000"}, {"6", "001110000"}, {"7", "000100101"}, {"8", "100100100"}, {"9", "001100100"},
            {"A", "100001001"}, {"B", "001001001"}, {"C", "101001000"}, {"D", "000011001"}, {"E", "100011000"},
            {"F", "001011000"}, {"G", "000001101"}, {"H", "100001100"}, {"I", "001001100"}, {"J", "000011100"},
            {"K", "100000011"}, {"L", "001000011"}, {"M", "101000010"}, {"N", "000010011"}, {"O", "100010010"},
            {"P", "001010010"}, {"Q", "000000111"}, {"R", "100000110"}, {"S", "001000110"}, {"T", "000010110"},
            {"U", "110000001"}, {"V", "011000001"}, {"W", "111000000"}, {"X", "010010001"}, {"Y", "110010000"},
            {"Z", "011010000"}, {"-", "010000101"}, {".", "110000100"}, {"$", "010101000"}, {"/", "010100010"},
            {"+", "010001010"}, {"%", "000101010"}, {"*", "010010100"}, {"~", "011000100"}, // the space symbol
                                                                                            // stands at the tilde
        };
        for (const auto& row : table)
            QTest::newRow(row[0]) << QChar::fromLatin1(row[0][0]) << QString::fromLatin1(row[1]);
    }
    void patterns()
    {
        QFETCH(QChar, c);
        QFETCH(QString, pattern);
        // The core's table, which the vector exports draw from, is the published one.
        QCOMPARE(QString::fromLatin1(code39::ElementPattern(c.toLatin1())), pattern);
        const QRawFont mono = LoadFont(QStringLiteral(KELM_DEJAVU_MONO));
        for (const QString& path : {kLo, kUp}) {
            const QRawFont font = LoadFont(path);
            const Outline o = ReadOutline(font, c);
            QCOMPARE(o.bars.size(), 5);
            // Elements in order: bar, space, bar ... measured in narrow widths.
            QList<qreal> widths;
            for (int i = 0; i < 5; ++i) {
                if (i > 0)
                    widths.append(o.bars[i].left() - o.bars[i - 1].right());
                widths.append(o.bars[i].width());
            }
            const qreal narrow = *std::min_element(widths.begin(), widths.end());
            QString read;
            for (const qreal w : widths) {
                QVERIFY2(qAbs(w - narrow) < 1 || qAbs(w - 3 * narrow) < 1, qPrintable(path));
                read += w > 2 * narrow ? u'1' : u'0';
            }
            QCOMPARE(read, pattern);
            // Sixteen narrow widths per character, one of them the gap to the next character.
            const qreal advance = font.advancesForGlyphIndexes(font.glyphIndexesForString(QString(c)))[0].x();
            QCOMPARE(qRound(advance / narrow), 16);
            QCOMPARE(qRound((advance - o.bars.last().right() + o.bars.first().left()) / narrow), 1);

            // The readable character: DejaVu Sans Mono's shape, clear of the bars on its side.
            if (c == u'~') {
                QCOMPARE(o.textContours, 0);
                continue;
            }
            const Outline original = ReadOutline(mono, c);
            const QRectF bars = o.bars.first() | o.bars.last();
            QVERIFY(path == kLo ? o.text.top() > bars.bottom() : o.text.bottom() < bars.top());
            QCOMPARE(o.textContours, original.textContours + int(original.bars.size()));
            QVERIFY(qAbs(o.text.width() / o.text.height() -
                         (original.text | QRectF(original.bars.value(0))).width() /
                             (original.text | QRectF(original.bars.value(0))).height()) < 0.05);
        }
    }

    // Read by fontTools: the character map (Qt's own lookup adds tab and no-break space), the names
    // and the embedding rights.
    void characterMapNamesAndLicence()
    {
        QTemporaryDir dir;
        for (const QString& path : {kLo, kUp}) {
            const QString copy = dir.filePath(path.section(u'/', -1));
            QVERIFY(QFile::copy(path, copy));
            const support::ProgramRun python = support::RunProgram(
                QStringLiteral(KELM_PYTHON),
                {"-c",
                 "import json, sys; from fontTools.ttLib import TTFont; f = TTFont(sys.argv[1]); "
                 "print(json.dumps({'cmap': ''.join(sorted(map(chr, f.getBestCmap()))), "
                 "'fsType': f['OS/2'].fsType, 'names': {n.nameID: n.toUnicode() for n in f['name'].names}}))",
                 copy});
            QVERIFY2(python.status == 0, python.err.constData());
            const QJsonObject font = QJsonDocument::fromJson(python.out).object();
            QString expected = kSymbols + u' ';
            std::sort(expected.begin(), expected.end());
            QCOMPARE(font["cmap"].toString(), expected);
            // Installable: a document with a pasted bar code may carry the font along.
            QCOMPARE(font["fsType"].toInt(-1), 0);
            // The DejaVu licence: its notice travels along, and no "Bitstream" or "Vera" in the names.
            const QJsonObject names = font["names"].toObject();
            QCOMPARE(names["1"].toString(), path == kLo ? "Tamrosk Stripe 39 d Lo" : "Tamrosk Stripe 39 d Up");
            QCOMPARE(names["2"].toString(), QStringLiteral("Regular"));
            for (const char* id : {"1", "3", "4", "6", "16"})
                QVERIFY(!names[id].toString().contains(QRegularExpression("Bitstream|Vera")));
            QVERIFY(names["0"].toString().contains("Copyright (c) 2003 by Bitstream, Inc."));
            QVERIFY(names["13"].toString().contains("only if the fonts are renamed"));

            // A layout that breaks or stretches at a space must never change the bars.
            const QRawFont raw = LoadFont(path);
            const QList<quint32> space = raw.glyphIndexesForString(QStringLiteral(" A"));
            QVERIFY(raw.pathForGlyph(space[0]).isEmpty());
            QCOMPARE(raw.advancesForGlyphIndexes(space)[0], raw.advancesForGlyphIndexes(space)[1]);
        }
    }

    // Two runs give the same bytes, and they are the bytes built into the program.
    void generatorIsReproducible()
    {
        QTemporaryDir first, second;
        for (const QTemporaryDir* dir : {&first, &second}) {
            const support::ProgramRun python = support::RunProgram(
                QStringLiteral(KELM_PYTHON), {KELM_TYPEFACE_GENERATOR, dir->path(), "--mono", KELM_DEJAVU_MONO});
            QCOMPARE(python.status, 0);
        }
        for (const QString& built : {kLo, kUp}) {
            const QString name = built.mid(built.lastIndexOf(u'/') + 1);
            QCOMPARE(support::ReadFile(first.filePath(name)), support::ReadFile(second.filePath(name)));
            QCOMPARE(support::ReadFile(first.filePath(name)), support::ReadFile(built));
        }
    }

    // Typefaces installed in the user's font folder count for other programs; both are needed.
    void installedForOtherPrograms_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("both installed") << QStringList{kLo, kUp} << QByteArray("1");
        QTest::newRow("one installed") << QStringList{kLo} << QByteArray("0");
        QTest::newRow("none installed: ours are registered") << QStringList{} << QByteArray("0");
    }
    void installedForOtherPrograms()
    {
        QFETCH(QStringList, installed);
        QFETCH(QByteArray, answer);
        const support::TemporaryHome home;
        QVERIFY(home.isValid());
        QDir().mkpath(home.filePath(".local/share/fonts"));
        for (const QString& font : installed)
            QVERIFY(
                QFile::copy(font, home.filePath(".local/share/fonts/") + font.mid(font.lastIndexOf(u'/') + 1)));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KELM_TYPEFACE_PROBE", "1");
        const support::ProgramRun probe =
            support::RunProgram(QCoreApplication::applicationFilePath(), {}, {.environment = environment});
        QCOMPARE(probe.out, answer + " 11"); // and both families usable
    }

    // Many random bar codes, as the command line and the window export them, read back by a real decoder:
    // PNG directly, SVG through rsvg-convert, PDF through pdftoppm.
    void scan_data()
    {
        QTest::addColumn<bool>("textAbove");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<bool>("antialias");
        for (const bool above : {false, true})
            for (const double points : {12.0, 16.0, 22.0, 36.0})
                for (const int dpi : {96, 300})
                    for (const bool antialias : {true, false})
                        QTest::addRow("%s %g pt %d dpi%s", above ? "text above" : "text below", points, dpi,
                                      antialias ? "" : " no antialias")
                            << above << points << dpi << antialias;
    }
    void scan()
    {
        QFETCH(bool, textAbove);
        QFETCH(double, points);
        QFETCH(int, dpi);
        QFETCH(bool, antialias);
        QRandomGenerator random(quint32(points * 1000 + dpi * 2 + textAbove));
        QTemporaryDir dir;
        QStringList files;
        QList<QStringList> expected;
        const render::BarCodeLook look{textAbove, points, antialias};
        // The vector forms know no antialiasing of their own: once per size is enough.
        const QStringList formats = antialias ? QStringList{"png", "svg", "pdf"} : QStringList{"png"};
        for (int i = 0; i < 16; ++i) {
            const bool fullAscii = i % 4 >= 2, checksum = i % 2;
            const QString data = RandomData(random, fullAscii);
            const code39::BuildResult r = code39::BuildBarCodeData(data.toStdU16String(), fullAscii, checksum);
            QVERIFY2(r.ok(), qPrintable(data));
            const QString symbol = QString::fromStdString(code39::BarCodeString(r.data));
            QString error;
            const QByteArray png = render::BarCodePng(symbol, look, dpi, &error);
            const QImage image = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_Grayscale8);
            QVERIFY2(!image.isNull(), qPrintable(error));
            QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), dpi);
            // The quiet zone: nothing dark within ten narrow widths of either side.
            const int quiet = qCeil(10 * render::PixelsPerEm(points, dpi) / 16.0);
            for (int y = 0; y < image.height(); ++y) {
                const uchar* row = image.constScanLine(y);
                for (int x = 0; x < quiet; ++x)
                    QVERIFY(row[x] == 255 && row[image.width() - 1 - x] == 255);
            }
            const QString base = dir.filePath(QString::number(i));
            for (const QString& format : formats) {
                const QString file = base + '.' + format;
                QFile out(file);
                QVERIFY(out.open(QIODevice::WriteOnly));
                out.write(format == "png"   ? png
                          : format == "svg" ? render::BarCodeSvg(symbol, look, data)
                                            : render::BarCodePdf(symbol, look, data));
                out.close();
                QVERIFY2(out.size() > 0, qPrintable(file));
                if (format != "png") {
                    const QString raster = base + "-" + format + ".png";
                    QVERIFY2(support::PictureImage(file, format, dpi).save(raster), qPrintable(file));
                    files << raster;
                } else {
                    files << file;
                }
                expected << QStringList{QString(symbol).mid(1, symbol.size() - 2).replace(u'~', u' ')};
            }
        }
        QCOMPARE(support::DecodeFiles(files), expected);
    }

    // The SVG's bars, read as rectangles, against the typeface's own glyph outlines, module for module.
    void svgMatchesTypeface_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<bool>("textAbove");
        QTest::addColumn<double>("points");
        QTest::addRow("every character, text below") << "*" + kSymbols.chopped(1) + "*" << false << 22.0;
        QTest::addRow("every character, text above, odd size") << "*" + kSymbols.chopped(1) + "*" << true << 9.5;
        QTest::addRow("space symbol and check character") << "*A~B G*" << false << 12.0;
    }
    void svgMatchesTypeface()
    {
        QFETCH(QString, symbol);
        QFETCH(bool, textAbove);
        QFETCH(double, points);
        symbol.replace(u' ', u'~');
        const QByteArray svg = render::BarCodeSvg(symbol, {textAbove, points, true}, "t");
        // What the typeface draws: one flag per module, from the first module of the first character.
        const QRawFont font = LoadFont(textAbove ? kUp : kLo);
        const qreal unitsPerModule = 2048 / 16.0;
        QList<bool> fromFont(symbol.size() * 16, false);
        QRectF fontBar;
        for (qsizetype i = 0; i < symbol.size(); ++i) {
            for (const QRectF& bar : ReadOutline(font, symbol[i]).bars) {
                fontBar = bar;
                for (int m = qRound(bar.left() / unitsPerModule); m < qRound(bar.right() / unitsPerModule); ++m)
                    fromFont[i * 16 + m] = true;
            }
        }
        // What the SVG draws, in the same modules, past a quiet zone of ten.
        const qreal module = points / 16;
        QList<bool> fromSvg(symbol.size() * 16, false);
        QXmlStreamReader xml(svg);
        QString viewBox;
        int depth = 0, barDepth = -1;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement && depth-- == barDepth)
                barDepth = -1;
            if (token != QXmlStreamReader::StartElement)
                continue;
            ++depth;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("svg"))
                viewBox = a.value("viewBox").toString();
            if (xml.name() == QLatin1String("g") && a.value("fill") == QLatin1String("#000") &&
                !a.hasAttribute("font-family"))
                barDepth = depth;
            if (xml.name() != QLatin1String("rect") || barDepth < 0)
                continue;
            const qreal x = a.value("x").toDouble() / module - 10, w = a.value("width").toDouble() / module;
            QVERIFY2(qAbs(x - qRound(x)) < 0.01 && qAbs(w - qRound(w)) < 0.01,
                     qPrintable(a.value("x").toString()));
            QVERIFY(x >= 0 && qRound(x + w) <= fromSvg.size());
            for (int m = qRound(x); m < qRound(x + w); ++m)
                fromSvg[m] = true;
            // Bar height as the typeface's, in em.
            QCOMPARE(qRound(a.value("height").toDouble() / points * 1000), qRound(fontBar.height() / 2048 * 1000));
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(fromSvg, fromFont);
        // The viewBox in points: the characters and two quiet zones of ten modules.
        const QStringList box = viewBox.split(u' ');
        QCOMPARE(box.size(), 4);
        QCOMPARE(qRound(box[2].toDouble() / module), int(symbol.size()) * 16 + 20);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // part of the one line on standard error
        QTest::addColumn<QString>("decoded");
        QTest::newRow("defaults, check character") << QStringList{"-c", "CODE39"} << 0 << ""
                                                   << "CODE39W";
        QTest::newRow("small, text above, full ascii")
            << QStringList{"--size", "12", "--dpi=96", "--text-above", "-f", "a b"} << 0 << ""
            << "+A +B";
        QTest::newRow("size not a number") << QStringList{"--size", "big", "A"} << 2 << "--size"
                                           << "";
        QTest::newRow("size zero") << QStringList{"--size", "0", "A"} << 2 << "--size"
                                   << "";
        QTest::newRow("size with exponent") << QStringList{"--size", "1e3", "A"} << 2 << "--size"
                                            << "";
        QTest::newRow("dpi not whole") << QStringList{"--dpi", "96.5", "A"} << 2 << "--dpi"
                                       << "";
        QTest::newRow("dpi beyond range") << QStringList{"--dpi", "100000", "A"} << 2 << "--dpi"
                                          << "";
        QTest::newRow("dpi missing") << QStringList{"A", "--dpi"} << 2 << "--dpi"
                                     << "";
        QTest::newRow("image too large")
            << QStringList{"--size", "1000", "--dpi", "2400", "ABCDEFGHIJ"} << 2 << "too large"
            << "";
        QTest::newRow("two data") << QStringList{"A", "B"} << 2 << "exactly one"
                                  << "";
        QTest::newRow("data not encodable") << QStringList{"abc"} << 1 << "not legal"
                                            << "";
        QTest::newRow("svg, check character") << QStringList{"--svg", "x.svg", "-c", "INV-2026-0042"} << 0 << ""
                                              << "INV-2026-0042V";
        QTest::newRow("pdf, text above, full ascii")
            << QStringList{"--pdf", "x.pdf", "--text-above", "-f", "a b"} << 0 << ""
            << "+A +B";
        QTest::newRow("image too wide for PNG")
            << QStringList{"--size", "10", "--dpi", "72", QString(100000, u'A')} << 2 << "image too wide"
            << "";
        QTest::newRow("a second output file is refused")
            << QStringList{"--png", "x.png", "--svg", "y.svg", "A"} << 2 << "one output file at a time"
            << "";
        QTest::newRow("the same option twice is refused")
            << QStringList{"--pdf", "x.pdf", "--pdf", "x.pdf", "A"} << 2 << "one output file at a time"
            << "";
        QTest::newRow("file in a missing folder")
            << QStringList{"--png", "missing/x.png", "A"} << 1 << "cannot write"
            << "";
        QTest::newRow("file is a folder") << QStringList{"--png", ".", "A"} << 1 << "cannot write"
                                          << "";
        QTest::newRow("svg into a folder") << QStringList{"--svg", ".", "A"} << 1 << "not a regular file"
                                           << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, decoded);
        QTemporaryDir dir;
        // A row that names no output file draws into x.png; the folder of the test is the working folder.
        const qsizetype named = arguments.indexOf(QRegularExpression("--(png|svg|pdf)"));
        if (named < 0)
            arguments = QStringList{"--png", "x.png"} + arguments;
        const QString file = dir.filePath(named < 0 ? "x.png" : arguments.value(named + 1));
        const support::ProgramRun run =
            support::RunProgram(QStringLiteral(CODE39_EXE), arguments, {.workingDirectory = dir.path()});
        const QByteArray& err = run.err;
        QCOMPARE(run.status, status);
        QCOMPARE(err.count('\n'), status == 0 ? 0 : 1);
        QVERIFY2(err.contains(message.toUtf8()), err.constData());
        QCOMPARE(QFileInfo(file).isFile(), status == 0);
        if (status != 0)
            return;
        const QImage picture = support::PictureImage(file, QFileInfo(file).suffix(), 150);
        QVERIFY(!picture.isNull());
        QCOMPARE(support::DecodeImage(picture), QStringList{decoded});
    }
};

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    // Child process of installedForOtherPrograms: reports what this environment's fonts offer.
    if (qEnvironmentVariableIsSet("KELM_TYPEFACE_PROBE")) {
        // In the program's order: registered at start-up, asked later by the main window.
        render::RegisterBarCodeTypefaces();
        const bool installed = render::BarCodeTypefacesInstalledForOtherPrograms();
        QByteArray usable;
        for (const char* family : {"Tamrosk Stripe 39 d Lo", "Tamrosk Stripe 39 d Up"})
            usable += QFontInfo(QFont(family)).family() == family ? '1' : '0';
        std::fputs((QByteArray(installed ? "1" : "0") + ' ' + usable).constData(), stdout);
        return 0;
    }
    TestFonts test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestFonts.moc"
