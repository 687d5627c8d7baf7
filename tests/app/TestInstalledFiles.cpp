// The installation's files found from the program's folder, in a prefix of the user's own and in a
// system-wide install: the help file, and the data folder made at the first start.
#include "app/InstalledFiles.h"
#include "support/Files.h"

#include <QDirIterator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every entry below a folder with its bytes, hidden ones included: what a call must leave alone.
QStringList Listing(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString entry = QDir(root).relativeFilePath(info.filePath());
        if (info.isFile())
            entry += u' ' + QString::fromLatin1(support::ReadFile(info.filePath()).toHex());
        entries.append(entry);
    }
    entries.sort();
    return entries;
}

} // namespace

class TestInstalledFiles : public QObject {
    Q_OBJECT
private slots:
    void helpFile_data()
    {
        QTest::addColumn<QStringList>("holders"); // of "current", "bin", "share/kelm"
        QTest::addColumn<QString>("expected");    // "name", or the holder whose path is given
        // clang-format off
        QTest::newRow("in the current folder: the bare name for the shell") << QStringList{"current", "bin"} << "name";
        QTest::newRow("beside the program (a prefix of the user's own)") << QStringList{"bin"} << "bin";
        QTest::newRow("with the shared files (/usr)") << QStringList{"share/kelm"} << "share/kelm";
        QTest::newRow("beside the program wins over the shared files") << QStringList{"bin", "share/kelm"} << "bin";
        QTest::newRow("nowhere: the bare name, which the shell reports missing") << QStringList{} << "name";
        // clang-format on
    }
    void helpFile()
    {
        QFETCH(QStringList, holders);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        QTemporaryDir current;
        QVERIFY(prefix.isValid() && current.isValid());
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(current.path()));
        const auto restore = qScopeGuard([&cwd] { QDir::setCurrent(cwd); });
        const auto folder = [&](const QString& holder) {
            return holder == QLatin1String("current") ? current.path() : prefix.filePath(holder);
        };
        for (const QString& holder : holders) {
            QVERIFY(QDir().mkpath(folder(holder)));
            QVERIFY(support::WriteFile(folder(holder) + QStringLiteral("/zovod.chm"), "ITSF"));
        }
        QCOMPARE(kelm::HelpFile(prefix.filePath(QStringLiteral("bin"))),
                 expected == QLatin1String("name") ? QStringLiteral("zovod.chm")
                                                   : folder(expected) + QStringLiteral("/zovod.chm"));
    }

    // The data is looked for where `cmake --install` puts it, whatever the prefix.
    void installedDataFolder_data()
    {
        QTest::addColumn<QString>("programFolder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the package") << "/usr/bin"
                                     << "/usr/share/kelm/data";
        QTest::newRow("scripts/install-user's prefix") << "/home/u/.local/opt/kelm/bin"
                                                       << "/home/u/.local/opt/kelm/share/kelm/data";
    }
    void installedDataFolder()
    {
        QFETCH(QString, programFolder);
        QFETCH(QString, expected);
        QCOMPARE(kelm::InstalledDataFolder(programFolder), expected);
    }

    void makeDataFolder_data()
    {
        // What stands at Documents/Zovod (or at Documents) before the first start, and what follows.
        QTest::addColumn<QString>(
            "before"); // "nothing", "no documents", "folder", "file", "link", "documents file"
        QTest::addColumn<bool>("installed"); // the installation has its data folder
        QTest::addColumn<bool>("made");
        // clang-format off
        QTest::newRow("nothing there: a copy of the installation's data") << "nothing" << true << true;
        QTest::newRow("no documents folder either: both made") << "no documents" << true << true;
        QTest::newRow("a folder, even an empty one, is the user's") << "folder" << true << false;
        QTest::newRow("a file under the folder's name is the user's") << "file" << true << false;
        QTest::newRow("a dangling link under the name is the user's") << "link" << true << false;
        QTest::newRow("documents is a file: nothing made, nothing left behind") << "documents file" << true << false;
        QTest::newRow("no installed data (a build tree): the folder stays missing") << "nothing" << false << false;
        // clang-format on
    }
    void makeDataFolder()
    {
        QFETCH(QString, before);
        QFETCH(bool, installed);
        QFETCH(bool, made);
        QTemporaryDir home;
        QTemporaryDir installation;
        QVERIFY(home.isValid() && installation.isValid());
        const QString documents = home.filePath(QStringLiteral("Documents"));
        const QString folder = documents + QStringLiteral("/Zovod");
        const QString data = installation.filePath(QStringLiteral("share/kelm/data"));
        const QByteArray settings("[TipoftheDay]\r\nEnabled=1\r\n");
        const QByteArray label("{\\rtf1 labels}");
        if (installed) {
            QVERIFY(QDir().mkpath(data));
            QVERIFY(support::WriteFile(data + QStringLiteral("/kelmtips.ini"), settings));
            QVERIFY(support::WriteFile(data + QStringLiteral("/lb060.rtf"), label));
            // A package's files are the system's: read-only for the user.
            QVERIFY(
                QFile::setPermissions(data + QStringLiteral("/lb060.rtf"), QFile::ReadOwner | QFile::ReadOther));
        }
        if (before == QLatin1String("documents file")) {
            QVERIFY(support::WriteFile(documents, "not a folder"));
        } else if (before != QLatin1String("no documents")) {
            QVERIFY(QDir().mkpath(documents));
            if (before == QLatin1String("folder"))
                QVERIFY(QDir().mkdir(folder));
            else if (before == QLatin1String("file"))
                QVERIFY(support::WriteFile(folder, "mine"));
            else if (before == QLatin1String("link"))
                QVERIFY(QFile::link(home.filePath(QStringLiteral("gone")), folder));
        }
        const QStringList untouched = Listing(home.path());

        QCOMPARE(kelm::MakeDataFolder(folder, data), made);
        if (!made) {
            QCOMPARE(Listing(home.path()), untouched);
            return;
        }
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"kelmtips.ini", "lb060.rtf"}));
        QCOMPARE(support::ReadFile(folder + QStringLiteral("/kelmtips.ini")), settings);
        QCOMPARE(support::ReadFile(folder + QStringLiteral("/lb060.rtf")), label);
        QVERIFY(QFileInfo(folder + QStringLiteral("/lb060.rtf")).permissions() & QFile::WriteOwner);
        // Nothing else beside it: the folder was copied under a temporary name and renamed.
        QCOMPARE(QDir(documents).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Zovod"});
        // A second start finds the folder and leaves it, changes and all.
        QVERIFY(support::WriteFile(folder + QStringLiteral("/kelmtips.ini"), "[Settings]\r\nData=MINE\r\n"));
        QVERIFY(!kelm::MakeDataFolder(folder, data));
        QCOMPARE(support::ReadFile(folder + QStringLiteral("/kelmtips.ini")),
                 QByteArray("[Settings]\r\nData=MINE\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestInstalledFiles)
#include "TestInstalledFiles.moc"
