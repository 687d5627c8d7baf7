// File names made from data: safe on any file system, cut to a length counted as the caller needs, and
// never the name of a file that exists.
#include "platform/FileNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestFileNames : public QObject {
    Q_OBJECT
private slots:
    void safeFileNamePart_data()
    {
        QTest::addColumn<QByteArray>("name"); // UTF-8, read as the command reads its rows
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<bool>("bytes"); // the length in UTF-8 bytes, else in UTF-16 units
        QTest::addColumn<QString>("part");
        // The command's rows: %d of a picture's file name, cut to 120 bytes.
        QTest::newRow("a slash") << QByteArray("A/B") << 120 << true << "A_B";
        QTest::newRow("a double dot climbs nowhere") << QByteArray("..") << 120 << true << "__";
        QTest::newRow("a control character") << QByteArray("x\ty") << 120 << true << "x_y";
        QTest::newRow("invalid UTF-8") << QByteArray("\xFFZ") << 120 << true << "_Z";
        QTest::newRow("a single dot inside stays") << QByteArray("a.b") << 120 << true << "a.b";
        QTest::newRow("cut to 120 bytes") << QByteArray(130, 'A') << 120 << true << QString(120, u'A');
        QTest::newRow("nothing") << QByteArray() << 120 << true << "";
        QTest::newRow("bytes: a character is not split")
            << QByteArray(118, 'A') + "\xC3\xA9\xC3\xA9" << 120 << true << QString(118, u'A') + u'\u00E9';
        QTest::newRow("bytes: a pair of UTF-16 units is four bytes")
            << QByteArray(117, 'A') + "\xF0\x9F\x98\x80" << 120 << true << QString(117, u'A');
        // The windows' rows: a picture's suggested name, cut to 60 UTF-16 units.
        QTest::newRow("separators and the characters Windows forbids")
            << QByteArray("A/B\\C:D*E?F\"G<H>I|J") << 60 << false << "A_B_C_D_E_F_G_H_I_J";
        QTest::newRow("no climbing out, no hidden name") << QByteArray("../X") << 60 << false << "___X";
        QTest::newRow("C1 control characters") << QByteArray("A\xC2\x85"
                                                             "B")
                                               << 60 << false << "A_B";
        QTest::newRow("U+FFFD typed stands for lost data too")
            << QByteArray("A\xEF\xBF\xBD") << 60 << false << "A_";
        QTest::newRow("units: long data is cut") << QByteArray(200, 'A') << 60 << false << QString(60, u'A');
        QTest::newRow("units: a pair of UTF-16 units is not split")
            << QByteArray(59, 'A') + "\xF0\x9F\x98\x80" << 60 << false << QString(59, u'A');
        QTest::newRow("units: a character of three bytes is one unit")
            << QByteArray("\xE2\x82\xAC").repeated(60) << 60 << false << QString(60, u'\u20AC');
    }
    void safeFileNamePart()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, maxLength);
        QFETCH(bool, bytes);
        QFETCH(QString, part);
        const auto unit = bytes ? platform::NameLength::Utf8Bytes : platform::NameLength::Utf16Units;
        QCOMPARE(platform::SafeFileNamePart(QString::fromUtf8(name), maxLength, unit), part);
    }

    // A free name beside the wanted one: the wanted one itself while nothing has it, else the next number.
    void freeFileName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("free");
        QTest::newRow("nothing there") << QStringList{} << "a.pdf"
                                       << "a.pdf";
        QTest::newRow("taken: the next number") << QStringList{"a.pdf", "a (2).pdf"} << "a.pdf"
                                                << "a (3).pdf";
        QTest::newRow("a numbered name counts on") << QStringList{"a (2).pdf"} << "a (2).pdf"
                                                   << "a (3).pdf";
        QTest::newRow("no suffix") << QStringList{"notes"} << "notes"
                                   << "notes (2)";
        QTest::newRow("a dangling link counts as taken") << QStringList{"link:a.pdf"} << "a.pdf"
                                                         << "a (2).pdf";
        QTest::newRow("in a folder not made yet") << QStringList{} << "new/a.pdf"
                                                  << "new/a.pdf";
    }
    void freeFileName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, wanted);
        QFETCH(QString, free);
        QTemporaryDir dir;
        for (const QString& name : existing) {
            if (name.startsWith(QLatin1String("link:"))) {
                QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), dir.filePath(name.mid(5))));
            } else {
                QFile file(dir.filePath(name));
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
        const QString folder = QFileInfo(dir.filePath(wanted)).path();
        const QString name = QFileInfo(wanted).fileName();
        QCOMPARE(platform::FreeFileName(dir.filePath(wanted)), dir.filePath(free));
        QCOMPARE(platform::FreeFileNameIn(folder, name), dir.filePath(free));
        QVERIFY(QFileInfo(folder).isDir());
    }
};

QTEST_GUILESS_MAIN(TestFileNames)
#include "TestFileNames.moc"
