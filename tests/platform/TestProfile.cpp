#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/Profile.h"
#include "support/Files.h"
#include "support/TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <functional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace platform;

namespace {

QByteArray utf16(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray utf8Bom(const QByteArray& bytes)
{
    return QByteArray("\xEF\xBB\xBF") + bytes;
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT

    std::unique_ptr<support::TemporaryHome> m_home;
    QString m_file;
    QStringList m_immutable; // paths to release in cleanup(), whatever the test's outcome
    QStringList m_locked;    // folders to make writable again in cleanup()

    void makeImmutable(const QString& path)
    {
        if (!support::SetImmutable(path, true))
            QSKIP("chattr +i is not available here, so nothing can be made read-only for the superuser");
        m_immutable.append(path);
    }

    // A folder nobody may add files to until cleanup().
    void lockFolder(const QString& path)
    {
        if (!support::LockFolder(path, true)) {
            if (support::RunningAsRoot())
                QSKIP("chattr +i is not available here, so nothing can be made read-only for the superuser");
            QFAIL("the folder's permissions cannot be changed");
        }
        m_locked.append(path);
    }

private slots:
    void init()
    {
        m_home = std::make_unique<support::TemporaryHome>();
        QVERIFY(m_home->isValid());
        m_file = m_home->filePath("kelmtips.ini");
    }

    void cleanup()
    {
        for (const QString& path : std::as_const(m_immutable))
            support::SetImmutable(path, false);
        m_immutable.clear();
        for (const QString& path : std::as_const(m_locked))
            support::LockFolder(path, false);
        m_locked.clear();
        m_home.reset();
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // the default is "dflt"
        const auto row = [](const char* what, const QByteArray& file, const QString& section, const QString& key,
                            const QString& expected) {
            QTest::newRow(what) << file << section << key << expected;
        };

        const QByteArray simple = "[Settings]\r\nData=ABCD4567\r\n";
        row("names match without regard to case, value as stored", "[SeTTings]\r\ndaTA=AbC\r\n", "SETTINGS",
            "data", "AbC");
        row("spaces and tabs around names and value are ignored",
            " \t[ \tSettings\t ] \r\n \t Data \t=\t a b \t\r\n", "Settings", "Data", "a b");
        row("spaces around lookup arguments are ignored", simple, "  Settings ", " Data  ", "ABCD4567");
        row("a tab in a lookup argument is part of the name", simple, "Settings", "\tData", "dflt");
        row("outer double quotes go, inner blanks stay", "[S]\r\nk = \" a b \" \r\n", "S", "k", " a b ");
        row("outer single quotes go", "[S]\r\nk='x'\r\n", "S", "k", "x");
        row("mismatched quotes stay", "[S]\r\nk=\"x'\r\n", "S", "k", "\"x'");
        row("only one pair of quotes goes", "[S]\r\nk=\"\"x\"\"\r\n", "S", "k", "\"x\"");
        row("a lone quote stays", "[S]\r\nk=\"\r\n", "S", "k", "\"");
        row("a comment line is no key", "[S]\r\n;k=1\r\n", "S", ";k", "dflt");
        row("an indented comment line is no key", "[S]\r\n \t;k=1\r\n", "S", "k", "dflt");
        row("a semicolon after the start is text", "[S]\r\nk=a ;b\r\n", "S", "k", "a ;b");
        row("a hash is text", "[S]\r\n#k=1\r\n", "S", "#k", "1");
        row("the line splits at its first =", "[S]\r\nk=a=b\r\n", "S", "k", "a=b");
        row("=v has the empty key", "[S]\r\n=v\r\n", "S", "", "v");
        row("a header name ends at the first ]", "[S]x]\r\nk=1\r\n", "S", "k", "1");
        row("[] is the section named \"\"", "k=0\r\n[]\r\nk=1\r\n", "", "k", "1");
        row("the first of duplicate keys wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1");
        row("only the first of duplicate sections is searched", "[S]\r\na=1\r\n[T]\r\n[s]\r\nb=2\r\n", "S", "b",
            "dflt");
        row("keys before any section cannot be read", "k=1\r\n[S]\r\n", "S", "k", "dflt");
        row("a line without = is no key", "[S]\r\nk\r\n", "S", "k", "dflt");
        row("a key of the next section is not found", "[S]\r\n[T]\r\nk=1\r\n", "S", "k", "dflt");
        row("key= reads as empty, not as the default", "[S]\r\nk=\r\n", "S", "k", "");
        row("key=\"\" reads as empty", "[S]\r\nk=\"\"\r\n", "S", "k", "");
        row("LF line ends", "[A]\nx=1\n[S]\nk=2\n", "S", "k", "2");
        row("CR line ends", "[A]\rx=1\r[S]\rk=2\r", "S", "k", "2");
        row("no line break at the end", "[S]\r\nk=2", "S", "k", "2");
        row("8-bit text is UTF-8",
            "[S]\r\nk=Gr\xC3\xBC\xC3\x9F"
            "e\r\n",
            "S", "k", "Grüße");
        row("UTF-16LE with its byte-order mark", utf16("[S]\r\nk=€ ü\r\n"), "S", "k", "€ ü");
        // Half a surrogate pair is no character: it reads as the replacement character, as broken UTF-8 does.
        row("UTF-16LE with half a surrogate pair",
            utf16(QStringLiteral("[S]\r\nk=") + QChar(0xDC00) + u'3' + QChar(0xD83D) + QChar(0xDE00) +
                  QChar(0xD90D) + QStringLiteral("\r\n")),
            "S", "k", QStringLiteral("\uFFFD3\U0001F600\uFFFD"));
        row("UTF-16LE of odd length", utf16("[S]\r\nk=v\r\n") + 'x', "S", "k", "v");
        row("a UTF-8 byte-order mark leaves line 1 readable", utf8Bom("[S]\r\nk=\xE2\x82\xAC\r\n"), "S", "k", "€");
        row("a value is cut to 2,047 characters", "[S]\r\nk=" + QByteArray(3000, 'v') + "\r\n", "S", "k",
            QString(2047, u'v'));
        row("a cut never splits a surrogate pair", "[S]\r\nk=" + QByteArray(2046, 'v') + "\xF0\x9F\x98\x80", "S",
            "k", QString(2046, u'v'));
        row("binary junk reads as the default", QByteArray("\x00\xFF[\x01=\x80\r\x00\n]=\xFE", 12), "S", "k",
            "dflt");
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QVERIFY(support::WriteFile(m_file, file));
        QCOMPARE(GetPrivateProfileString(section, key, "dflt", m_file), expected);
    }

    void readDefaults_data()
    {
        QTest::addColumn<QString>("defaultValue");
        QTest::addColumn<QString>("expected");
        QTest::newRow("trailing spaces go") << "dflt  "
                                            << "dflt";
        QTest::newRow("leading spaces and tabs stay") << " \tdflt\t"
                                                      << " \tdflt\t";
        QTest::newRow("a long default is cut like a value") << QString(3000, u'd') << QString(2047, u'd');
    }
    void readDefaults()
    {
        QFETCH(QString, defaultValue);
        QFETCH(QString, expected);
        QCOMPARE(GetPrivateProfileString("S", "k", defaultValue, m_file), expected); // no file
        QVERIFY(support::WriteFile(m_file, "[S]\r\nj=1\r\n"));
        QCOMPARE(GetPrivateProfileString("S", "k", defaultValue, m_file), expected); // no key
        QCOMPARE(GetPrivateProfileString("T", "j", defaultValue, m_file), expected); // no section
    }

    void readInteger_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("expected"); // default 7
        QTest::newRow("empty") << QByteArray("") << 7;
        QTest::newRow("plus sign") << QByteArray("+42") << 42;
        QTest::newRow("leading zeros") << QByteArray("0042") << 42;
        QTest::newRow("minus sign") << QByteArray("-42") << -42;
        QTest::newRow("blanks around it are the file's") << QByteArray(" 42\t") << 42;
        QTest::newRow("0x is hexadecimal") << QByteArray("0x1F") << 31;
        QTest::newRow("0X with lower-case digits") << QByteArray("0X1f") << 31;
        QTest::newRow("$ is no hexadecimal prefix") << QByteArray("$1F") << 7;
        QTest::newRow("$ before a decimal number") << QByteArray("$3") << 7;
        QTest::newRow("a sign before $") << QByteArray("-$1") << 7;
        QTest::newRow("a quoted number") << QByteArray("'0x10'") << 16;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << int(-2147483648LL);
        QTest::newRow("above 32 bits") << QByteArray("2147483648") << 7;
        QTest::newRow("below 32 bits") << QByteArray("-2147483649") << 7;
        QTest::newRow("far above, many digits") << QByteArray("99999999999999999999999") << 7;
        QTest::newRow("eight hex digits wrap to signed") << QByteArray("0xFFFFFFFF") << -1;
        QTest::newRow("hex leading zeros beyond eight digits") << QByteArray("0x000000001") << 1;
        QTest::newRow("nine significant hex digits") << QByteArray("0x100000000") << 7;
        QTest::newRow("a blank inside quotes") << QByteArray("\"42 \"") << 7;
        QTest::newRow("a fraction") << QByteArray("1.5") << 7;
        QTest::newRow("trailing letters") << QByteArray("12abc") << 7;
        QTest::newRow("a bare 0x") << QByteArray("0x") << 7;
        QTest::newRow("a bare $") << QByteArray("$") << 7;
        QTest::newRow("0x with one digit") << QByteArray("0x9") << 9;
        QTest::newRow("a bare sign") << QByteArray("-") << 7;
        QTest::newRow("a sign before 0x") << QByteArray("-0x1") << 7;
        QTest::newRow("a sign after 0x") << QByteArray("0x-1") << 7;
        QTest::newRow("non-ASCII digits") << QByteArray("\xD9\xA3") << 7;
    }
    void readInteger()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, expected);
        QVERIFY(support::WriteFile(m_file, "[S]\r\nk=" + text + "\r\n"));
        QCOMPARE(ReadInteger("S", "k", 7, m_file), expected);
    }

    void readBool_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("whenDefaultTrue");
        QTest::addColumn<bool>("whenDefaultFalse");
        QTest::newRow("1") << QByteArray("k=1") << true << true;
        QTest::newRow("-1") << QByteArray("k=-1") << true << true;
        QTest::newRow("2") << QByteArray("k=2") << true << true;
        QTest::newRow("0") << QByteArray("k=0") << false << false;
        QTest::newRow("00") << QByteArray("k=00") << false << false;
        QTest::newRow("0x0") << QByteArray("k=0x0") << false << false;
        QTest::newRow("yes is no number") << QByteArray("k=yes") << true << false;
        QTest::newRow("empty") << QByteArray("k=") << true << false;
        QTest::newRow("missing") << QByteArray("j=0") << true << false;
    }
    void readBool()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, whenDefaultTrue);
        QFETCH(bool, whenDefaultFalse);
        QVERIFY(support::WriteFile(m_file, "[S]\r\n" + text + "\r\n"));
        QCOMPARE(ReadBool("S", "k", true, m_file), whenDefaultTrue);
        QCOMPARE(ReadBool("S", "k", false, m_file), whenDefaultFalse);
    }

    void sectionValues_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("keys in file order, comments and lines without = left out")
            << QByteArray("[Sizes]\r\n0=a b\r\n;c=1\r\njunk\r\n 1 = \"x \" \r\n10=y\r\n[T]\r\nz=1\r\n")
            << QStringList{"0=a b", "1=x ", "10=y"};
        QTest::newRow("a duplicate key is listed with the value a read gives")
            << QByteArray("[Sizes]\r\nk=1\r\nK=2\r\n") << QStringList{"k=1", "K=1"};
        QTest::newRow("only the first of duplicate sections")
            << QByteArray("[Sizes]\r\na=1\r\n[sizes]\r\nb=2\r\n") << QStringList{"a=1"};
        QTest::newRow("comments only: the section does not exist")
            << QByteArray("[Sizes]\r\n;a=1\r\nb\r\n[T]\r\nc=1\r\n") << QStringList{};
        QTest::newRow("missing section") << QByteArray("[T]\r\nc=1\r\n") << QStringList{};
        QTest::newRow("keys before any section belong to none")
            << QByteArray("a=1\r\n[Sizes]\r\n") << QStringList{};
    }
    void sectionValues()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        QVERIFY(support::WriteFile(m_file, file));
        QCOMPARE(ReadSectionValues("Sizes", m_file), expected);
        QCOMPARE(SectionExists("sizes", m_file), !expected.isEmpty());
    }

    void missingFile()
    {
        QCOMPARE(GetPrivateProfileString("S", "k", "d", m_file), QString("d"));
        QCOMPARE(ReadInteger("S", "k", 5, m_file), 5);
        QCOMPARE(ReadBool("S", "k", true, m_file), true);
        QCOMPARE(ReadSectionValues("S", m_file), QStringList{});
        QVERIFY(!SectionExists("S", m_file));
        QVERIFY(!QFile::exists(m_file)); // reads never create it
    }

    void write_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        // Writes S/k = v unless the row says otherwise.
        const auto row = [](const char* what, const QByteArray& before, const QByteArray& after) {
            QTest::newRow(what) << true << before << "S"
                                << "k"
                                << "v" << after;
        };
        const auto rowWith = [](const char* what, bool exists, const QByteArray& before, const QString& section,
                                const QString& key, const QString& value, const QByteArray& after) {
            QTest::newRow(what) << exists << before << section << key << value << after;
        };

        const QByteArray added = "[S]\r\nk=v\r\n";
        rowWith("a missing file is created", false, {}, "S", "k", "v", added);
        row("an empty file", "", added);
        row("a new section goes at the end, no blank line before it", "[A]\r\nx=1\r\n", "[A]\r\nx=1\r\n" + added);
        row("a last line without a break gets CRLF first", "[A]\r\nx=1", "[A]\r\nx=1\r\n" + added);
        row("new lines use CRLF in an LF file", "[A]\nx=1\n", "[A]\nx=1\n" + added);
        row("a file ending in CR needs no extra break", "[A]\rx=1\r", "[A]\rx=1\r" + added);
        row("a new key follows the last key, before comments and blank lines", "[S]\r\na=1\r\n; c\r\n\r\n[T]\r\n",
            "[S]\r\na=1\r\nk=v\r\n; c\r\n\r\n[T]\r\n");
        row("a new key in a section without keys follows the header", "[S] ;x\n;c\n[T]\n",
            "[S] ;x\nk=v\r\n;c\n[T]\n");
        row("a new key after an unterminated last line", "[S]\r\na=1", "[S]\r\na=1\r\nk=v\r\n");
        row("a new key after an unterminated header", "[S]", added);
        rowWith("replacing changes only the text after the first =", true,
                "; top\n[ sEcT ]  ;x\r\n  KeY \t= old ;c\r\nz=1\r", "Sect", "key", "new",
                "; top\n[ sEcT ]  ;x\r\n  KeY \t=new\r\nz=1\r");
        row("replacing an unterminated last line adds CRLF", "[S]\r\nk=old", added);
        row("the first of duplicate keys is replaced", "[S]\r\nk=1\r\nk=2\r\n", "[S]\r\nk=v\r\nk=2\r\n");
        row("a write goes to the first of duplicate sections", "[S]\r\n[T]\r\n[S]\r\nk=1\r\n",
            "[S]\r\nk=v\r\n[T]\r\n[S]\r\nk=1\r\n");
        row("keys before any section are left alone", "k=1\r\n", "k=1\r\n" + added);
        row("a commented-out key is not replaced", "[S]\r\n;k=1\r\n", "[S]\r\nk=v\r\n;k=1\r\n");
        rowWith("names lose their spaces, the value is written as given", false, {}, " S ", "  k ", " \"v\" ",
                "[S]\r\nk= \"v\" \r\n");
        rowWith("line breaks in a value are written as spaces", true, "[S]\r\nk=1\r\n", "S", "k", "a\r\nb=c\nd\re",
                "[S]\r\nk=a  b=c d e\r\n");
        rowWith("an empty value", false, {}, "S", "k", "", "[S]\r\nk=\r\n");
        rowWith("8-bit files take UTF-8", false, {}, "S", "k", "Grüße",
                "[S]\r\nk=Gr\xC3\xBC\xC3\x9F"
                "e\r\n");
        row("bytes that are no UTF-8 survive elsewhere", "[A]\r\nx=\xFF\xC3(\r\n[S]\r\nk=1\r\n",
            "[A]\r\nx=\xFF\xC3(\r\n[S]\r\nk=v\r\n");
        rowWith("UTF-16LE stays UTF-16LE", true, utf16("[S]\r\nk=1\r\n"), "S", "k", "€ü",
                utf16("[S]\r\nk=€ü\r\n"));
        row("UTF-16LE: a new section", utf16("[A]\r\nx=1"), utf16("[A]\r\nx=1\r\n[S]\r\nk=v\r\n"));
        row("UTF-16LE of odd length keeps its last byte", utf16("[S]\r\n") + 'z', utf16("[S]\r\nk=v\r\n") + 'z');
        rowWith("a UTF-8 byte-order mark is kept and line 1 found", true, utf8Bom("[S]\r\nk=1\r\n"), "S", "k", "€",
                utf8Bom("[S]\r\nk=\xE2\x82\xAC\r\n"));
        row("a file of only a UTF-8 byte-order mark", utf8Bom(""), utf8Bom(added));
    }
    void write()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (exists)
            QVERIFY(support::WriteFile(m_file, before));
        QVERIFY(WritePrivateProfileString(section, key, value, m_file));
        QCOMPARE(support::ReadFile(m_file), after);
        QCOMPARE(QDir(m_home->path()).entryList(QDir::Files), QStringList{"kelmtips.ini"}); // no leftovers
    }

    void writeThenRead_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("readBack");
        const QString wide = "Grüße € \U0001F600";
        for (const auto& [name, start] :
             {std::pair{"8-bit", QByteArray("[S]\r\nk=0\r\n")}, std::pair{"UTF-16LE", utf16("[S]\r\nk=0\r\n")},
              std::pair{"UTF-8 BOM", utf8Bom("[S]\r\nk=0\r\n")}}) {
            QTest::addRow("%s: non-ASCII text", name) << start << wide << wide;
            QTest::addRow("%s: U+FEFF is an ordinary character", name) << start << "\uFEFFx\uFEFF"
                                                                       << "\uFEFFx\uFEFF";
            QTest::addRow("%s: outer blanks are lost on read", name) << start << "  x\t"
                                                                     << "x";
            QTest::addRow("%s: outer quotes are lost on read", name) << start << "'x'"
                                                                     << "x";
            QTest::addRow("%s: a long value is written whole and read cut", name)
                << start << QString(100000, u'v') << QString(2047, u'v');
        }
    }
    void writeThenRead()
    {
        QFETCH(QByteArray, start);
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        QVERIFY(support::WriteFile(m_file, start));
        WriteString("S", "k", value, m_file);
        QCOMPARE(GetPrivateProfileString("S", "k", "", m_file), readBack);
        QCOMPARE(IniFile(support::ReadFile(m_file)).encoding(), IniFile(start).encoding());
        QVERIFY(support::ReadFile(m_file).size() > value.size()); // the file holds all of it
        // Nothing is cached: a change made behind the reader's back is seen at once.
        QVERIFY(support::WriteFile(m_file, start));
        QCOMPARE(GetPrivateProfileString("S", "k", "", m_file), QString("0"));
    }

    // The user's text reads back as typed, and is stored as typed where a read would not change it.
    void textReadsBackAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("plain text as it is") << "A B" << QByteArray("k=A B");
        QTest::newRow("outer blanks") << "  SPACES\t" << QByteArray("k=\"  SPACES\t\"");
        QTest::newRow("outer double quotes") << "\"QUOTED\"" << QByteArray("k=\"\"QUOTED\"\"");
        QTest::newRow("outer single quotes") << "'x'" << QByteArray("k=\"'x'\"");
        QTest::newRow("unmatched quotes as they are") << "\"x'" << QByteArray("k=\"x'");
        QTest::newRow("a lone quote as it is") << "\"" << QByteArray("k=\"");
        QTest::newRow("text beyond a read's 2,047 characters, whole")
            << QString(3000, u'v') << "k=" + QByteArray(3000, 'v');
    }
    void textReadsBackAsWritten()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, stored);
        WriteText("S", "k", text, m_file);
        QCOMPARE(support::ReadFile(m_file), "[S]\r\n" + stored + "\r\n");
        QCOMPARE(ReadText("S", "k", "", m_file), text);
        QCOMPARE(GetPrivateProfileString("S", "k", "", m_file), text.left(IniFile::kMaxValueLength));
    }

    void typedWrites()
    {
        WriteInteger("Settings", "Left", -12, m_file);
        WriteBool("Settings", "Checksum", true, m_file);
        WriteBool("Settings", "FullASCII", false, m_file);
        WriteInteger("Settings", "LabelSize", 4, m_file);
        QCOMPARE(support::ReadFile(m_file),
                 QByteArray("[Settings]\r\nLeft=-12\r\nChecksum=1\r\nFullASCII=0\r\nLabelSize=4\r\n"));
        QCOMPARE(ReadInteger("Settings", "Left", 0, m_file), -12);
        QCOMPARE(ReadBool("Settings", "Checksum", false, m_file), true);
        QCOMPARE(ReadBool("Settings", "FullASCII", true, m_file), false);
    }

    void writeFailure_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("read-only file") << "read-only file";
        QTest::newRow("read-only file for the superuser too (immutable)") << "immutable file";
        QTest::newRow("read-only folder") << "read-only folder";
        QTest::newRow("missing folder") << "missing folder";
        QTest::newRow("a path through a regular file") << "through a file";
        QTest::newRow("the path is a folder") << "folder";
        QTest::newRow("the file is larger than the bound") << "oversized";
        QTest::newRow("the result would be larger than the bound") << "oversized result";
    }
    void writeFailure()
    {
        QFETCH(QString, how);
        QString path = m_file;
        const QByteArray before = "[S]\r\nk=old\r\n";
        QByteArray expected = before;
        QString value = "new";
        QVERIFY(support::WriteFile(m_file, before));
        if (how == "read-only file") {
            QVERIFY(QFile::setPermissions(m_file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        } else if (how == "immutable file") {
            makeImmutable(m_file);
        } else if (how == "read-only folder") {
            path = m_home->filePath("Zovod/kelmtips.ini");
            QVERIFY(QDir(m_home->path()).mkdir("Zovod"));
            if (support::RunningAsRoot())
                makeImmutable(m_home->filePath("Zovod"));
            else
                QVERIFY(QFile::setPermissions(m_home->filePath("Zovod"),
                                              QFileDevice::ReadOwner | QFileDevice::ExeOwner));
            expected.clear();
        } else if (how == "missing folder") {
            path = m_home->filePath("Zovod/kelmtips.ini");
            expected.clear();
        } else if (how == "through a file") {
            path = m_file + "/kelmtips.ini";
        } else if (how == "folder") {
            path = m_home->path();
            expected.clear();
        } else if (how == "oversized") {
            expected = before + QByteArray(kMaxProfileFileSize, ';');
            QVERIFY(support::WriteFile(m_file, expected));
        } else if (how == "oversized result") {
            value = QString(kMaxProfileFileSize, u'x');
        }

        QVERIFY(!WritePrivateProfileString("S", "k", value, path));
        try {
            WriteString("S", "k", value, path);
            QFAIL("the write did not fail");
        } catch (const IniError& e) {
            QCOMPARE(e.message(), "Unable to write to " + path);
        }
        QCOMPARE(support::ReadFile(how.endsWith("folder") ? path : m_file), expected);
        // A failed write leaves nothing else behind either.
        QCOMPARE(QDir(m_home->path()).entryList(QDir::Files), QStringList{"kelmtips.ini"});
    }

    void unreadableFiles_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("larger than the bound") << "oversized";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a pipe with no writer (must not block)") << "fifo";
    }
    void unreadableFiles()
    {
        QFETCH(QString, how);
        if (how == "oversized") {
            QVERIFY(support::WriteFile(m_file, "[S]\r\nk=1\r\n" + QByteArray(kMaxProfileFileSize, ';')));
        } else if (how == "folder") {
            QVERIFY(QDir(m_home->path()).mkdir("kelmtips.ini"));
        } else {
#ifdef Q_OS_UNIX
            QCOMPARE(::mkfifo(QFile::encodeName(m_file).constData(), 0600), 0);
#else
            QSKIP("no named pipes here");
#endif
        }
        QCOMPARE(GetPrivateProfileString("S", "k", "d", m_file), QString("d"));
        QCOMPARE(ReadInteger("S", "k", 9, m_file), 9);
        QVERIFY(!SectionExists("S", m_file));
        QVERIFY(!WritePrivateProfileString("S", "k", "2", m_file));
    }

    void keepsPermissionsAndLinks()
    {
#ifdef Q_OS_UNIX
        QVERIFY(support::WriteFile(m_file, "[S]\r\nk=1\r\n"));
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(m_file, mode));
        const QString link = m_home->filePath("link.ini");
        QVERIFY(QFile::link(m_file, link));
        WriteString("S", "k", "2", link);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(support::ReadFile(m_file), QByteArray("[S]\r\nk=2\r\n"));
        QCOMPARE(QFileInfo(m_file).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), mode);
#else
        QSKIP("permission bits and symbolic links are those of POSIX");
#endif
    }

    // A writable settings file in a folder that cannot be written (a shared, prepared folder) still
    // takes the user's changes: it is rewritten in place.
    void readOnlyFolderWritesInPlace()
    {
        const QByteArray start = "[Settings]\r\nData=a much longer start value\r\n[Sizes]\r\nS1=x\r\n";
        QVERIFY(support::WriteFile(m_file, start));
        lockFolder(m_home->path());
        WriteString("Settings", "Data", "short", m_file);
        WriteInteger("Settings", "Left", 12, m_file);
        QCOMPARE(support::ReadFile(m_file),
                 QByteArray("[Settings]\r\nData=short\r\nLeft=12\r\n[Sizes]\r\nS1=x\r\n"));
        QCOMPARE(QDir(m_home->path()).entryList(QDir::Files), QStringList{"kelmtips.ini"});
    }

    // Two copies of the program writing different keys at once: no key ends on an older value, and the
    // file is never torn, also where the folder takes no lock file and the file is rewritten in place.
    void twoCopiesLoseNoUpdate_data()
    {
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("writable folder: lock file beside it") << false;
        QTest::newRow("read-only folder: the file itself is locked") << true;
    }
    void twoCopiesLoseNoUpdate()
    {
        QFETCH(bool, readOnlyFolder);
        QVERIFY(support::WriteFile(m_file, "[TipoftheDay]\r\nEnabled=1\r\n[Settings]\r\nData=ABC\r\n"));
        if (readOnlyFolder)
            lockFolder(m_home->path());
        QProcess first;
        QProcess second;
        first.start(PROFILE_WRITER, {"keys", m_file, "A"});
        second.start(PROFILE_WRITER, {"keys", m_file, "B"});
        QVERIFY(first.waitForFinished(120000));
        QVERIFY(second.waitForFinished(120000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        const IniFile now(support::ReadFile(m_file));
        int lost = 0;
        for (const QString name : {"A", "B"}) {
            for (int key = 0; key < 50; ++key)
                lost += now.value("Settings", name + QString::number(key)) != QString("19");
        }
        QCOMPARE(lost, 0);
        QCOMPARE(now.value("Settings", "Data"), QString("ABC"));
        QVERIFY(!support::ReadFile(m_file).contains('\0'));
        QVERIFY(support::ReadFile(m_file).endsWith("\r\n"));
        QCOMPARE(QDir(m_home->path()).entryList(QDir::Files), QStringList{"kelmtips.ini"});
    }

    // The lock of a copy that was killed is taken over at once; a live copy's lock is waited for and,
    // when it is never released, the write fails loudly and changes nothing.
    void heldLock_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("the holder was killed: taken over") << true;
        QTest::newRow("the holder is alive: refused") << false;
    }
    void heldLock()
    {
        QFETCH(bool, killed);
        const QByteArray start = "[Settings]\r\nData=start\r\n";
        QVERIFY(support::WriteFile(m_file, start));
        QProcess holder;
        holder.start(PROFILE_WRITER, {"hold", m_file, "0"});
        QVERIFY2(holder.waitForReadyRead(10000), "the holder did not start");
        if (killed) {
            holder.kill();
            QVERIFY(holder.waitForFinished(10000));
            QVERIFY(QFileInfo::exists(m_file + ".lock"));
        }
        const bool written = WritePrivateProfileString("Settings", "Data", "new", m_file);
        holder.kill();
        holder.waitForFinished(10000);
        QCOMPARE(written, killed);
        QCOMPARE(support::ReadFile(m_file), killed ? IniFile(start).withValue("Settings", "Data", "new") : start);
        if (killed)
            QVERIFY(!QFileInfo::exists(m_file + ".lock"));
    }

    // A parse is reused only for the very same bytes: another process's write is seen however little
    // it changes and however close in time, and a chain of writes reads back as a fresh parse does.
    void parseIsNeverStale_data()
    {
        QTest::addColumn<QStringList>("steps"); // "w <section> <key> <value>" ours, "x <bytes>" another's
        const QString big = QString(300, u'v');
        QTest::newRow("another's write of the same size and time")
            << QStringList{"x [S]\r\nk=1\r\n", "x [S]\r\nk=2\r\n"};
        QTest::newRow("another's write after ours") << QStringList{"w S k 1", "x [S]\r\nk=9\r\n", "w S j 2"};
        QTest::newRow("values growing and shrinking ahead of later sections")
            << QStringList{"x [A]\r\na=1\r\n[B]\r\nb=2\r\n[C]\r\nc=3\r\n",
                           "w A a " + big,
                           "w B b x",
                           "w A a ",
                           "w C c " + big,
                           "w B b 4",
                           "w A a 5"};
        QTest::newRow("a new key and a new section between replaced values")
            << QStringList{"x [A]\r\na=1\r\n[B]\r\nb=2\r\n",
                           "w A a 11",
                           "w A n 3",
                           "w B b 22",
                           "w D d 4",
                           "w A a 1",
                           "w D d 44",
                           "w B b 2"};
        QTest::newRow("a repeated section: only the first counts")
            << QStringList{"x [A]\r\na=1\r\n[a]\r\na=2\r\nb=3\r\n", "w A a 111", "w A b 4", "w A a 1"};
        QTest::newRow("a last line without a line break")
            << QStringList{"x [A]\r\na=1\r\n[B]\r\nb=2", "w B b 33", "w A a 44", "w B b 5"};
    }
    void parseIsNeverStale()
    {
        QFETCH(QStringList, steps);
        for (const QString& step : std::as_const(steps)) {
            if (step.startsWith("x ")) {
                QDateTime time = QFileInfo(m_file).lastModified();
                QVERIFY(support::WriteFile(m_file, step.mid(2).toUtf8()));
                if (time.isValid()) {
                    QFile file(m_file);
                    QVERIFY(file.open(QIODevice::ReadWrite));
                    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
                }
            } else {
                const QStringList parts = step.split(u' ');
                WriteString(parts[1], parts[2], parts.mid(3).join(u' '), m_file);
            }
            // Every section and key as a parse of the file's bytes from scratch reads them.
            const IniFile fresh(support::ReadFile(m_file));
            for (const QString section : {"A", "B", "C", "D", "S"}) {
                QCOMPARE(ReadSectionValues(section, m_file), fresh.sectionValues(section));
                QCOMPARE(SectionExists(section, m_file), fresh.hasKeys(section));
                for (const QString key : {"a", "b", "c", "d", "j", "k", "n"})
                    QCOMPARE(GetPrivateProfileString(section, key, "-", m_file),
                             fresh.value(section, key).value_or("-"));
            }
        }
    }

    // A writer killed at any moment leaves the old file or a new one, never a mixture or a truncation.
    void killedWriterLeavesAWholeFile()
    {
        const QByteArray start = "; installed\r\n[TipoftheDay]\r\nEnabled=1\r\n[Settings]\r\nData=start\r\n";
        QVERIFY(support::WriteFile(m_file, start));
        const int length = 200000;
        const QSet<QByteArray> allowed = {start,
                                          IniFile(start).withValue("Settings", "Data", QString(length, u'A')),
                                          IniFile(start).withValue("Settings", "Data", QString(length, u'B'))};
        auto* random = QRandomGenerator::global();
        int changed = 0;
        for (int round = 0; round < 200; ++round) {
            QProcess writer;
            writer.start(PROFILE_WRITER, {"loop", m_file, QString::number(length)});
            QVERIFY2(writer.waitForReadyRead(10000), "the writer did not start");
            // Long enough for a write (with its lock) to complete now and then, even in a sanitizer build.
            QThread::usleep(random->bounded(1000, 40000));
            writer.kill();
            QVERIFY(writer.waitForFinished(10000));
            const QByteArray now = support::ReadFile(m_file);
            QVERIFY2(allowed.contains(now),
                     qPrintable(QString("round %1 left %2 bytes").arg(round).arg(now.size())));
            changed += now != start;
            QVERIFY(support::WriteFile(m_file, start));
        }
        QVERIFY(changed > 0); // the kills did land after some writes
        // A kill between naming the new file and renaming it may leave that file beside the settings.
        const QStringList files = QDir(m_home->path()).entryList(QDir::Files);
        for (const QString& name : files)
            QVERIFY2(name == "kelmtips.ini" || name.startsWith("kelmtips.ini."), qPrintable(name));
        qInfo("%lld of 200 killed writers left a temporary file", files.size() - 1);
        qInfo("%d of 200 killed writers had completed a write", changed);
    }

    // A full disk mid-write: the file-size limit stops the write, the old file stays. Limits below the
    // writer's 16 KiB buffer fail only when the buffer is flushed, which must be checked too.
    void fullDiskLeavesTheFile_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::addColumn<bool>("readOnlyFolder"); // the file is then rewritten in place
        QTest::newRow("100 bytes: the whole write sits in the buffer") << "100" << false;
        QTest::newRow("1,000 bytes: cut mid-value in the buffer") << "1000" << false;
        QTest::newRow("4,000 bytes") << "4000" << false;
        QTest::newRow("4,095 bytes: one below a page") << "4095" << false;
        QTest::newRow("4,096 bytes: a page") << "4096" << false;
        QTest::newRow("20,000 bytes: beyond the buffer, written straight through") << "20000" << false;
        QTest::newRow("in place, 100 bytes: the old bytes are put back") << "100" << true;
        QTest::newRow("in place, 20,000 bytes") << "20000" << true;
    }
    void fullDiskLeavesTheFile()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, limit);
        QFETCH(bool, readOnlyFolder);
        const QByteArray start = "[Settings]\r\nData=start\r\n";
        QVERIFY(support::WriteFile(m_file, start));
        if (readOnlyFolder)
            lockFolder(m_home->path());
        QProcess writer;
        writer.start(PROFILE_WRITER, {"limited", m_file, limit});
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(writer.readAllStandardOutput().trimmed(), ("Unable to write to " + m_file).toLocal8Bit());
        QCOMPARE(support::ReadFile(m_file), start);
        QCOMPARE(QDir(m_home->path()).entryList(QDir::Files), QStringList{"kelmtips.ini"});
#else
        QSKIP("file-size limits are those of POSIX");
#endif
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "TestProfile.moc"
