// The main window driven offscreen through its real controls. Save Bar Code As: the file of the type asked for,
// scanned and compared byte for byte, where the dialog starts, the suggested name, files that exist or cannot be
// written, and the preview's menu.
#include "MainWindowDriver.h"
#include "app/BarCodeExport.h"
#include "app/PreviewEdit.h"
#include "render/BarCodeFiles.h"
#include "support/Files.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QtTest>
#include <memory>

class TestMainWindowSaveAs : public QObject, private MainWindowDriver {
    Q_OBJECT
private slots:
    void initTestCase() { WindowFixture::initTestCase(); }
    void init() { WindowFixture::init(DataFolder::Missing); }
    void cleanup() { WindowFixture::cleanup(); }

    // ---- Save Bar Code As ---------------------------------------------------------------------------

    // The bar code as the preview shows it (data, check character, style, size, restyles after Make) goes
    // into a file of the type its name or the chosen filter says; each file is scanned, and the PNG and SVG
    // are the picture files of that look byte for byte.
    void saveAs_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<bool>("above");    // the style when saved
        QTest::addColumn<bool>("restyled"); // the style was switched after Make
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("how");    // Ctrl+S or the preview's menu
        QTest::addColumn<QString>("answer"); // the name given in the dialog, in Documents
        QTest::addColumn<QString>("filter"); // the file type chosen there
        QTest::addColumn<QString>("file");   // the file written
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("scanned");
        const QString png = "PNG image (*.png)", svg = "SVG drawing (*.svg)", pdf = "PDF document (*.pdf)";
        // clang-format off
        QTest::newRow("PNG by its extension, text below") << "ABCD4567" << false << false << false << "22"
            << "Ctrl+S" << "a.png" << svg << "a.png" << "png" << "ABCD4567";
        QTest::newRow("SVG by its extension, text above") << "ABCD4567" << false << true << false << "22"
            << "Ctrl+S" << "a.SVG" << png << "a.SVG" << "svg" << "ABCD4567";
        QTest::newRow("PDF by its extension, check character") << "INV-2026" << true << false << false << "22"
            << "menu" << "a.pdf" << QString() << "a.pdf" << "pdf" << "INV-2026W";
        QTest::newRow("PNG by the filter, text above, 36 pt") << "A B" << false << true << false << "36" << "menu"
            << "b" << png << "b.png" << "png" << "A B";
        QTest::newRow("SVG by the filter, restyled to text above") << "ABC" << true << true << true << "22"
            << "Ctrl+S" << "b" << svg << "b.svg" << "svg" << "ABCX";
        QTest::newRow("PDF by the filter, restyled to text above") << "XY-1" << false << true << true << "18"
            << "Ctrl+S" << "b" << pdf << "b.pdf" << "pdf" << "XY-1";
        QTest::newRow("PNG restyled to text below") << "XY-1" << false << false << true << "22" << "menu" << "c"
            << png << "c.png" << "png" << "XY-1";
        QTest::newRow("an unknown extension gains the filter's") << "ABC" << false << false << false << "22"
            << "Ctrl+S" << "c.txt" << svg << "c.txt.svg" << "svg" << "ABC";
        // clang-format on
    }
    void saveAs()
    {
        QFETCH(QString, data);
        QFETCH(bool, checksum);
        QFETCH(bool, above);
        QFETCH(bool, restyled);
        QFETCH(QString, size);
        QFETCH(QString, how);
        QFETCH(QString, answer);
        QFETCH(QString, filter);
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, scanned);
        startForSaving();
        control<QCheckBox>("checksumBox")->setChecked(checksum);
        setPointSizeQuietly(size);
        control<QRadioButton>(above != restyled ? "textAboveButton" : "textBelowButton")->click();
        make(data);
        if (restyled)
            control<QRadioButton>(above ? "textAboveButton" : "textBelowButton")->click();
        recorder()->saveFileName = documents() + '/' + answer;
        recorder()->saveFileFilter = filter;
        saveAsBy(how);

        QCOMPARE(recorder()->saveFileCalls.size(), 1);
        const platform::SaveFileCall call = recorder()->saveFileCalls[0];
        QCOMPARE(call.title, kSaveAs);
        QVERIFY(call.hasParent);
        QCOMPARE(call.filters, QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"));
        QVERIFY(recorder()->questions.isEmpty());
        QVERIFY2(recorder()->warnings.isEmpty(), qPrintable(recorder()->warnings.value(0).text));
        QCOMPARE(focused(), input());

        const QString path = documents() + '/' + file;
        const QByteArray bytes = support::ReadFile(path);
        QCOMPARE(support::PictureKind(bytes), kind);
        QCOMPARE(scan(path, kind), QStringList{scanned});
        const render::BarCodeLook look{above, size.toDouble(), true};
        if (kind == QLatin1String("png"))
            QCOMPARE(bytes, render::BarCodePng(output()->text(), look, 300));
        if (kind == QLatin1String("svg"))
            QCOMPARE(bytes, render::BarCodeSvg(output()->text(), look, data));
    }

    // The dialog starts in Documents with the data as the name, then where the last file went, with its
    // type; a cancelled dialog writes nothing and changes neither.
    void saveAsStartsWhereTheLastFileWent()
    {
        startForSaving();
        make("AB/C..1");
        const QString elsewhere = home() + "/elsewhere";
        QVERIFY(QDir().mkpath(elsewhere));
        recorder()->saveFileName = elsewhere + "/first.svg";
        QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+S")));
        recorder()->saveFileName.clear();
        QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+S")));
        make("ABCD4567");
        QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+S")));
        QStringList starts;
        for (const platform::SaveFileCall& call : recorder()->saveFileCalls)
            starts.append(call.startPath);
        QCOMPARE(starts, (QStringList{documents() + "/AB_C._1.png", elsewhere + "/AB_C._1.svg",
                                      elsewhere + "/ABCD4567.svg"}));
        QCOMPARE(QDir(elsewhere).entryList(QDir::Files), QStringList{"first.svg"});
        QVERIFY(recorder()->warnings.isEmpty());
    }

    // The data made safe for the suggested name.
    void suggestedFileName_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        // clang-format off
        QTest::newRow("plain data") << "ABCD4567" << int(kelm::PictureType::Png) << "ABCD4567.png";
        QTest::newRow("the type's extension") << "ABC" << int(kelm::PictureType::Pdf) << "ABC.pdf";
        QTest::newRow("separators and the characters Windows forbids") << QStringLiteral("A/B\\C:D*E?F\"G<H>I|J")
            << int(kelm::PictureType::Svg) << "A_B_C_D_E_F_G_H_I_J.svg";
        QTest::newRow("no climbing out, no hidden name") << "../X" << int(kelm::PictureType::Png) << "___X.png";
        QTest::newRow("a single dot inside stays") << "V1.2" << int(kelm::PictureType::Png) << "V1.2.png";
        QTest::newRow("control characters") << QString("A\tB\x01") << int(kelm::PictureType::Png) << "A_B_.png";
        QTest::newRow("blanks only") << "   " << int(kelm::PictureType::Png) << "barcode.png";
        QTest::newRow("nothing") << "" << int(kelm::PictureType::Png) << "barcode.png";
        QTest::newRow("long data is cut") << QString(200, u'A') << int(kelm::PictureType::Png)
            << QString(60, u'A') + ".png";
        QTest::newRow("a pair of UTF-16 units is not split") << QString(59, u'A') + QStringLiteral("😀")
            << int(kelm::PictureType::Png) << QString(59, u'A') + ".png";
        // clang-format on
    }
    void suggestedFileName()
    {
        QFETCH(QString, data);
        QFETCH(int, type);
        QFETCH(QString, name);
        QCOMPARE(kelm::SuggestedFileName(data, kelm::PictureType(type)), name);
    }

    // A file that exists is replaced only after Yes; No leaves it byte for byte. A name that is no regular
    // file, or a folder that takes no file, is reported with the reason and left as it was.
    void saveAsOverExistingOrUnwritable_data()
    {
        QTest::addColumn<QString>("target"); // "file", "folder", "missing folder", "read-only folder"
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("reason"); // in the warning; empty when the file is written
        // clang-format off
        QTest::newRow("a file, replaced after Yes") << "file" << true << true << QString();
        QTest::newRow("a file, kept after No") << "file" << false << true << QString();
        QTest::newRow("a folder of that name is refused, not asked about") << "folder" << true << false
            << "not a regular file";
        QTest::newRow("a missing folder") << "missing folder" << true << false << "";
        QTest::newRow("a file in a read-only folder, Yes") << "read-only folder" << true << true << "";
        // clang-format on
    }
    void saveAsOverExistingOrUnwritable()
    {
        QFETCH(QString, target);
        QFETCH(bool, yes);
        QFETCH(bool, asked);
        QFETCH(QString, reason);
        const bool fails = target != QLatin1String("file");
        startForSaving();
        make("AB12");
        const QString folder = documents() + "/sub";
        QVERIFY(QDir().mkpath(folder));
        QString path = folder + "/x.png";
        const QByteArray old = "old bytes";
        if (target == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (target == QLatin1String("missing folder")) {
            path = folder + "/missing/x.png";
        } else {
            QFile existing(path);
            QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write(old) == old.size());
        }
        if (target == QLatin1String("read-only folder")) {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            QFile probe(folder + "/probe");
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("running with rights that write into a read-only folder");
            }
        }
        recorder()->saveFileName = path;
        recorder()->questionAnswer = yes;
        QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+S")));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QCOMPARE(recorder()->questions,
                 asked ? QStringList{path + " already exists.\nDo you want to replace it?"} : QStringList());
        QCOMPARE(focused(), input());
        if (!fails) {
            QVERIFY(recorder()->warnings.isEmpty());
            QCOMPARE(support::PictureKind(support::ReadFile(path)), QString(yes ? "png" : "unknown"));
            if (!yes)
                QCOMPARE(support::ReadFile(path), old);
            return;
        }
        QCOMPARE(recorder()->warnings.size(), 1);
        const QString warning = recorder()->warnings[0].text;
        QVERIFY2(warning.startsWith("The bar code could not be saved as " + path + ": ") &&
                     warning.contains(reason) && warning.endsWith('.') &&
                     warning.size() > QString("The bar code could not be saved as " + path + ": .").size(),
                 qPrintable(warning));
        QCOMPARE(recorder()->warnings[0].topLeft, window().pos() + QPoint(100, 100));
        if (target == QLatin1String("read-only folder"))
            QCOMPARE(support::ReadFile(path), old);
        else
            QVERIFY(!QFileInfo(path).isFile());
    }

    // The preview's context menu keeps the edit's own entries and adds Save Bar Code As with its shortcut.
    void previewMenuKeepsItsEntries()
    {
        start();
        make("AB");
        const std::unique_ptr<QMenu> standard(preview()->createStandardContextMenu());
        const std::unique_ptr<QMenu> menu(static_cast<PreviewEdit*>(preview())->createContextMenu({2, 2}));
        QStringList own, shown;
        for (QAction* action : standard->actions())
            own.append(action->text());
        for (QAction* action : menu->actions())
            shown.append(action->text());
        QVERIFY(own.size() > 3);
        QCOMPARE(shown.mid(0, own.size()), own);
        QCOMPARE(shown.mid(own.size()), (QStringList{QString(), kSaveAs}));
        QCOMPARE(menu->actions().constLast()->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    }
};

QTEST_MAIN(TestMainWindowSaveAs)
#include "TestMainWindowSaveAs.moc"
