#include "platform/FileBatch.h"
#include "platform/FileWriter.h"
#include "platform/PendingFile.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace platform;

namespace {

constexpr qint64 kPiece = 1000;

// The bytes of a progressive write, different in every piece so that a piece lost or doubled shows.
QByteArray Piece(int index, int size)
{
    return QByteArray::number(index).rightJustified(size, '.');
}

bool setAge(const QString& path, int seconds)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-seconds), QFileDevice::FileModificationTime);
}

} // namespace

class TestFileWriter : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    // What the writer replaces and what it refuses; a refused target is left as it was.
    void targets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("written");
        QTest::newRow("a new file") << "new" << true;
        QTest::newRow("an existing file") << "file" << true;
        QTest::newRow("a link to a file is written through") << "link to file" << true;
        QTest::newRow("a link to a link to a file") << "link to link" << true;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("a named pipe (must not block or be replaced)") << "fifo" << false;
        QTest::newRow("a character device through a link") << "link to device" << false;
        QTest::newRow("a link to a missing file") << "dangling link" << false;
        QTest::newRow("a missing folder") << "missing/file" << false;
        QTest::newRow("no name at all") << "" << false;
    }
    void targets()
    {
        QFETCH(QString, target);
        QFETCH(bool, written);
        QVERIFY(support::WriteFile(path("file"), "old"));
        QVERIFY(QDir(m_dir->path()).mkdir("folder"));
#ifdef Q_OS_UNIX
        QVERIFY(QFile::link(path("file"), path("link to file")));
        QVERIFY(QFile::link(path("link to file"), path("link to link")));
        QVERIFY(QFile::link("/dev/null", path("link to device")));
        QVERIFY(QFile::link(path("nothing"), path("dangling link")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
#else
        if (target.contains("link") || target == "fifo")
            QSKIP("links and pipes are those of POSIX");
#endif
        const QString where = target.isEmpty() ? QString() : path(target);
        QString error;
        QCOMPARE(WriteWholeFile(where, "new bytes", error), written);
        QCOMPARE(error.isEmpty(), written);
        if (written) {
            QCOMPARE(support::ReadFile(where), QByteArray("new bytes"));
            if (target.startsWith("link"))
                QVERIFY(QFileInfo(where).isSymLink());
        }
        QCOMPARE(support::ReadFile(path("file")), QByteArray(written && target != "new" ? "new bytes" : "old"));
        QVERIFY(QFileInfo(path("folder")).isDir());
        QVERIFY(!QFileInfo::exists(path("nothing")));
#ifdef Q_OS_UNIX
        QVERIFY(!QFileInfo(path("fifo")).isFile());
        QVERIFY(QFileInfo(path("link to device")).isSymLink());
#endif
        // Nothing else is left behind, whatever the outcome.
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::System).filter(".").size(), 0);
    }

    // A link in a world-writable sticky folder (/tmp) is followed only when it is the user's own or the
    // folder owner's, as the kernel's protected_symlinks rule has it; elsewhere links are written through.
    void linksInSharedFolders_data()
    {
        QTest::addColumn<bool>("sticky");
        QTest::addColumn<bool>("folderOurs");
        QTest::addColumn<bool>("linkOurs");
        QTest::addColumn<bool>("written");
        QTest::newRow("our own link") << true << false << true << true;
        QTest::newRow("the folder owner's link") << true << false << false << true;
        QTest::newRow("another user's link: refused") << true << true << false << false;
        QTest::newRow("another user's link, folder not sticky") << false << true << false << true;
    }
    void linksInSharedFolders()
    {
#ifdef Q_OS_UNIX
        QFETCH(bool, sticky);
        QFETCH(bool, folderOurs);
        QFETCH(bool, linkOurs);
        QFETCH(bool, written);
        if (::geteuid() != 0)
            QSKIP("giving a link to another user takes the superuser");
        constexpr uid_t kOther = 65534; // nobody
        const QByteArray folder = QFile::encodeName(path("shared"));
        const QByteArray link = folder + "/link";
        QVERIFY(support::WriteFile(path("file"), "old"));
        QCOMPARE(::mkdir(folder.constData(), 0777), 0);
        QCOMPARE(::chmod(folder.constData(), sticky ? 01777 : 0777), 0);
        QCOMPARE(::chown(folder.constData(), folderOurs ? ::geteuid() : kOther, ::getegid()), 0);
        QCOMPARE(::symlink(QFile::encodeName(path("file")).constData(), link.constData()), 0);
        QCOMPARE(::lchown(link.constData(), linkOurs ? ::geteuid() : kOther, ::getegid()), 0);
        QString error;
        QCOMPARE(WriteWholeFile(QFile::decodeName(link), "new bytes", error), written);
        QCOMPARE(support::ReadFile(path("file")), QByteArray(written ? "new bytes" : "old"));
        QVERIFY(QFileInfo(QFile::decodeName(link)).isSymLink());
#else
        QSKIP("links and sticky folders are those of POSIX");
#endif
    }

    // Leftovers of a writer killed between creating and renaming are removed by the next successful
    // write once they are old; a fresh one may belong to a write in progress, and a user's own copy stays.
    void staleTemporaryFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("age");
        QTest::addColumn<bool>("removed");
        QTest::newRow("an old leftover") << "kelmtips.ini.aB3xYz" << 3600 << true;
        QTest::newRow("just over a minute") << "kelmtips.ini.Q1w2E3" << 90 << true;
        QTest::newRow("a fresh one may be another writer's") << "kelmtips.ini.aB3xYz" << 5 << false;
        QTest::newRow("a user's copy in small letters") << "kelmtips.ini.backup" << 3600 << false;
        QTest::newRow("another suffix length") << "kelmtips.ini.aB3xYzQ" << 3600 << false;
        QTest::newRow("another file's leftover") << "custom.rtf.aB3xYz" << 3600 << false;
    }
    void staleTemporaryFiles()
    {
        QFETCH(QString, name);
        QFETCH(int, age);
        QFETCH(bool, removed);
        QVERIFY(support::WriteFile(path(name), "half"));
        QVERIFY(setAge(path(name), age));
        QString error;
        QVERIFY2(WriteWholeFile(path("kelmtips.ini"), "[S]\r\n", error), qPrintable(error));
        QCOMPARE(!QFileInfo::exists(path(name)), removed);
        // A batch clears the same leftovers, once, when it finishes.
        QVERIFY(support::WriteFile(path(name), "half"));
        QVERIFY(setAge(path(name), age));
        FileBatch batch(FileBatch::Existing::Replace);
        QCOMPARE(batch.Write(path("kelmtips.ini"), "[T]\r\n", error), FileBatch::Outcome::Written);
        QVERIFY2(batch.Finish(error), qPrintable(error));
        QCOMPARE(!QFileInfo::exists(path(name)), removed);
    }

    // A batch writes a new name, leaves what exists unless told to replace it, and then replaces only
    // what WriteWholeFile would; whatever the outcome, no temporary file stays.
    void batch_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<int>("outcome");
        const int written = int(FileBatch::Outcome::Written), exists = int(FileBatch::Outcome::Exists),
                  failed = int(FileBatch::Outcome::Failed);
        QTest::newRow("a new file") << "new" << false << written;
        QTest::newRow("an existing file is kept") << "file" << false << exists;
        QTest::newRow("an existing file, replacing") << "file" << true << written;
        QTest::newRow("a link to a missing file is kept") << "dangling link" << false << exists;
        QTest::newRow("a link to a missing file, replacing: refused") << "dangling link" << true << failed;
        QTest::newRow("a named pipe is kept") << "fifo" << false << exists;
        QTest::newRow("a named pipe, replacing: refused") << "fifo" << true << failed;
        QTest::newRow("a missing folder") << "missing/file" << false << failed;
    }
    void batch()
    {
        QFETCH(QString, target);
        QFETCH(bool, replace);
        QFETCH(int, outcome);
#ifdef Q_OS_UNIX
        QVERIFY(support::WriteFile(path("file"), "old"));
        QVERIFY(QFile::link(path("nothing"), path("dangling link")));
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System);
        FileBatch batch(replace ? FileBatch::Existing::Replace : FileBatch::Existing::Keep);
        QString error;
        QCOMPARE(int(batch.Write(path(target), "new bytes", error)), outcome);
        QCOMPARE(error.isEmpty(), outcome != int(FileBatch::Outcome::Failed));
        QVERIFY2(batch.Finish(error), qPrintable(error));
        QCOMPARE(support::ReadFile(path("file")), QByteArray(target == "file" && replace ? "new bytes" : "old"));
        QStringList after = before;
        if (target == "new") {
            after << "new";
            after.sort();
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System), after);
        QVERIFY(!QFileInfo::exists(path("nothing")));
#else
        QSKIP("links and pipes are those of POSIX");
#endif
    }

    // Several writers of one new name at once: exactly one makes it, the others find it made and change
    // nothing, even though it did not exist when each of them began.
    void batchNeverReplacesUnasked()
    {
        constexpr int kNames = 40, kWriters = 4;
        for (int name = 0; name < kNames; ++name) {
            const QString target = path(QString::number(name));
            std::vector<FileBatch::Outcome> outcomes(kWriters);
            std::vector<QString> errors(kWriters);
            std::vector<std::thread> writers;
            FileBatch batch(FileBatch::Existing::Keep);
            for (int w = 0; w < kWriters; ++w)
                writers.emplace_back(
                    [&, w] { outcomes[w] = batch.Write(target, QByteArray::number(w), errors[w]); });
            for (std::thread& writer : writers)
                writer.join();
            QString error;
            QVERIFY2(batch.Finish(error), qPrintable(error));
            const auto winner = std::find(outcomes.begin(), outcomes.end(), FileBatch::Outcome::Written);
            QVERIFY(winner != outcomes.end());
            QCOMPARE(std::count(outcomes.begin(), outcomes.end(), FileBatch::Outcome::Exists), kWriters - 1);
            QCOMPARE(support::ReadFile(target), QByteArray::number(winner - outcomes.begin()));
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), kNames);
    }

    // A file written piece by piece replaces the old one only when all of it is written and committed: a
    // full disk (here a file-size limit) at any point, or no commit, leaves the old file byte for byte,
    // reports the failure, and leaves no temporary file beside it.
    void pendingFile_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<int>("size");     // of each piece
        QTest::addColumn<qint64>("limit"); // the file-size limit; 0 for none
        QTest::addColumn<bool>("commit");
        QTest::addColumn<bool>("written");
        const int piece = int(kPiece);
        QTest::newRow("a thousand pieces replace the file") << true << 1000 << piece << qint64(0) << true << true;
        QTest::newRow("a thousand pieces make a new file") << false << 1000 << piece << qint64(0) << true << true;
        QTest::newRow("full disk mid-write: the old file kept")
            << true << 1000 << piece << 300 * kPiece << true << false;
        QTest::newRow("full disk mid-write: no new file")
            << false << 1000 << piece << 300 * kPiece << true << false;
        QTest::newRow("full disk at the commit's flush of the last pieces: the old file kept")
            << true << 3 << piece << 2 * kPiece << true << false;
        // The system takes part of a write without an error: only the count it returns tells.
        QTest::newRow("full disk within one write larger than the buffer: the old file kept")
            << true << 1 << 100 * piece << 40 * kPiece << true << false;
        QTest::newRow("never committed: the old file kept")
            << true << 1000 << piece << qint64(0) << false << false;
        QTest::newRow("never committed: no new file") << false << 10 << piece << qint64(0) << false << false;
    }
    void pendingFile()
    {
        QFETCH(bool, existing);
        QFETCH(int, pieces);
        QFETCH(int, size);
        QFETCH(qint64, limit);
        QFETCH(bool, commit);
        QFETCH(bool, written);
        const QString target = path("sheet.pdf");
        const QByteArray old = "old bytes that must survive";
        if (existing)
            QVERIFY(support::WriteFile(target, old));
        QByteArray whole;
        QString error;
        bool committed = false;
        {
            PendingFile file(target);
            QVERIFY2(file.open(error), qPrintable(error));
            std::optional<support::FileSizeLimit> full;
            if (limit > 0) {
                full.emplace(limit);
                if (!full->isSet())
                    QSKIP("a file-size limit stands in for a full disk on POSIX only");
            }
            for (int i = 0; i < pieces; ++i) {
                file.device().write(Piece(i, size));
                whole += Piece(i, size);
            }
            if (commit)
                committed = file.commit(error);
        }
        QCOMPARE(committed, written);
        QCOMPARE(error.isEmpty(), written || !commit);
        if (written)
            QCOMPARE(support::ReadFile(target), whole);
        else if (existing)
            QCOMPARE(support::ReadFile(target), old);
        QCOMPARE(QFileInfo::exists(target), written || existing);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QFileInfo::exists(target) ? QStringList{"sheet.pdf"} : QStringList{});
    }

    // A writable file in a folder that cannot be written: only the in-place fallback changes it.
    void readOnlyFolder_data()
    {
        QTest::addColumn<int>("fallback");
        QTest::addColumn<bool>("written");
        QTest::newRow("no fallback: refused, the file kept") << int(WriteFallback::None) << false;
        QTest::newRow("in place: written") << int(WriteFallback::InPlace) << true;
    }
    void readOnlyFolder()
    {
#ifdef Q_OS_UNIX
        QFETCH(int, fallback);
        QFETCH(bool, written);
        QVERIFY(support::WriteFile(path("file"), "old bytes, longer than the new"));
        if (!support::LockFolder(m_dir->path(), true))
            QSKIP("no way to make a folder read-only here");
        QString error;
        const bool ok = WriteWholeFile(path("file"), "new", WriteFallback(fallback), error);
        QVERIFY(support::LockFolder(m_dir->path(), false));
        QCOMPARE(ok, written);
        QCOMPARE(error.isEmpty(), written);
        QCOMPARE(support::ReadFile(path("file")),
                 written ? QByteArray("new") : QByteArray("old bytes, longer than the new"));
#else
        QSKIP("folder permissions are those of POSIX");
#endif
    }
};

QTEST_GUILESS_MAIN(TestFileWriter)
#include "TestFileWriter.moc"
