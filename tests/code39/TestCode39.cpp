// The encoding core: the builder's results and messages, the symbol set, the typeface characters,
// the Full ASCII chart and a round trip through a Full ASCII reader written here from the standard
// chart, independent of the encoder's own tables.
#include "code39/Code39.h"

#include <QtTest>

#include <optional>
#include <random>

namespace {

// The standard Full ASCII chart: the symbol characters that a reader turns into each code 0 to 127.
const char* const kChart[128] = {
    "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
    "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
    " ",  "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "-",  ".",  "/O",
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "/Z", "%F", "%G", "%H", "%I", "%J",
    "%V", "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",  "K",  "L",  "M",  "N",  "O",
    "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",  "Y",  "Z",  "%K", "%L", "%M", "%N", "%O",
    "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
    "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T",
};

// The typeface characters in value order; '~' draws the space symbol.
const std::string kTypeface = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.~$/+%";

const QString kNoData = "Error:- no input data";

QString Illegal(const QString& c)
{
    return "Error: input character \"" + c + "\" not legal in bar code 3 of 9";
}

// Reads typeface output back the way a Full ASCII scanner does; false on a pair outside the chart.
bool ReadFullAscii(const std::string& symbols, std::string& text)
{
    text.clear();
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        std::string pair(1, symbols[i] == '~' ? ' ' : symbols[i]);
        if (std::string_view("$%/+").find(pair[0]) != std::string_view::npos) {
            if (++i == symbols.size())
                return false;
            pair += symbols[i];
        }
        int code = 0;
        while (code < 128 && pair != kChart[code])
            ++code;
        if (code == 128)
            return false;
        text += static_cast<char>(code);
    }
    return true;
}

} // namespace

class TestCode39 : public QObject {
    Q_OBJECT
private slots:
    void build_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("error");
        const QString none = "Error:- no input data";
        QTest::newRow("default data") << "ABCD4567" << false << false << "ABCD4567"
                                      << "";
        QTest::newRow("worked sum 68 -> P") << "ABCD4567" << false << true << "ABCD4567P"
                                            << "";
        QTest::newRow("worked sum 75 -> W") << "CODE39" << false << true << "CODE39W"
                                            << "";
        QTest::newRow("space written as ~, sum 59 -> G") << "A B" << false << true << "A~BG"
                                                         << "";
        QTest::newRow("check value 38 is ~") << "AS" << false << true << "AS~"
                                             << "";
        QTest::newRow("sum multiple of 43 -> 0") << "Z71" << false << true << "Z710"
                                                 << "";
        QTest::newRow("full ascii a with check: 41+10=51 -> 8") << "a" << true << true << "+A8"
                                                                << "";
        QTest::newRow("full ascii abc with check -> R") << "abc" << true << true << "+A+B+CR"
                                                        << "";
        QTest::newRow("empty") << "" << false << false << "" << none;
        QTest::newRow("empty with full ascii") << "" << true << false << "" << none;
        // Full ASCII has no form for these: refused and named, never left out of a code that would scan.
        QTest::newRow("a lone caret is refused, naming it") << "^" << true << false << "" << Illegal("^");
        QTest::newRow("accented letters are refused, naming the first")
            << "\u00e9\u00e8" << true << false << "" << Illegal("\u00e9");
        QTest::newRow("GR\u00d6SSE-17: the \u00d6 is named, not dropped to *GRSSE-17*")
            << "GR\u00d6SSE-17" << true << false << "" << Illegal("\u00d6");
        QTest::newRow("Caf\u00e9: the \u00e9 is named, not dropped to *C+A+F*")
            << "Caf\u00e9" << true << false << "" << Illegal("\u00e9");
        QTest::newRow("\u20ac5: the euro sign is named, not dropped to *5*")
            << "\u20ac5" << true << false << "" << Illegal("\u20ac");
        QTest::newRow("small letters rejected naming a")
            << "abc" << false << false << ""
            << "Error: input character \"a\" not legal in bar code 3 of 9";
        QTest::newRow("asterisk rejected") << "A*B" << false << false << ""
                                           << "Error: input character \"*\" not legal in bar code 3 of 9";
        QTest::newRow("caret rejected without full ascii")
            << "^M" << false << false << ""
            << "Error: input character \"^\" not legal in bar code 3 of 9";
        QTest::newRow("^M -> $M") << "^M" << true << false << "$M"
                                  << "";
        QTest::newRow("^0 -> %U") << "^0" << true << false << "%U"
                                  << "";
        QTest::newRow("^7 -> %A") << "^7" << true << false << "%A"
                                  << "";
        QTest::newRow("a final caret is refused, naming it") << "A^" << true << false << "" << Illegal("^");
        QTest::newRow("^a rejected naming a") << "^a" << true << false << ""
                                              << "Error: input character \"a\" not legal in bar code 3 of 9";
        QTest::newRow("^^ rejected naming the caret")
            << "^^" << true << false << ""
            << "Error: input character \"^\" not legal in bar code 3 of 9";
        QTest::newRow("a space b") << "a b" << true << false << "+A~+B"
                                   << "";
        QTest::newRow("astral character named whole")
            << QString::fromUcs4(U"A\U0001F600") << false << false << ""
            << QString::fromUcs4(U"Error: input character \"\U0001F600\" not legal in bar code 3 of 9");
        QTest::newRow("astral character refused whole with full ascii")
            << QString::fromUcs4(U"A\U0001F600B") << true << false << ""
            << QString::fromUcs4(U"Error: input character \"\U0001F600\" not legal in bar code 3 of 9");

        // Caret codes.
        QTest::newRow("^1 to ^9 all give ESC") << "^1^2^3^4^5^6^7^8^9" << true << false << "%A%A%A%A%A%A%A%A%A"
                                               << "";
        QTest::newRow("^A to ^Z give $A to $Z") << "^A^B^C^D^E^F^G^H^I^J^K^L^M^N^O^P^Q^R^S^T^U^V^W^X^Y^Z" << true
                                                << false << "$A$B$C$D$E$F$G$H$I$J$K$L$M$N$O$P$Q$R$S$T$U$V$W$X$Y$Z"
                                                << "";
        QTest::newRow("the pair is consumed together, the next character stands alone")
            << "^AB^00" << true << false << "$AB%U0"
            << "";
        QTest::newRow("check sum runs over the pair: 39 + 22 = 61 -> I") << "^M" << true << true << "$MI"
                                                                         << "";
        QTest::newRow("the partner is taken before expansion: ^a is not +A")
            << "AB^a" << true << false << "" << Illegal("a");
        QTest::newRow("the first bad partner is named") << "^a^b" << true << false << "" << Illegal("a");
        QTest::newRow("a control character after the caret is named")
            << QString("^") + QChar(27) << true << false << "" << Illegal(QChar(27));
        QTest::newRow("a character beyond 7 bits after the caret is named")
            << "^\u00e9" << true << false << "" << Illegal("\u00e9");
        QTest::newRow("an astral character after the caret is named whole")
            << QString::fromUcs4(U"^\U0001F600") << true << false << ""
            << Illegal(QString::fromUcs4(U"\U0001F600"));
        // A caret before a data character that is neither digit nor capital would give a pair that
        // no Full ASCII reader decodes ($-, $~, $$ ...): it is refused, and since the partner alone is
        // legal the message names the pair.
        for (const char partner : {'-', '.', ' ', '$', '/', '+', '%'})
            QTest::addRow("caret before '%c' is no code, refused naming the pair", partner)
                << QString("A^") + partner << true << false << "" << Illegal(QString("^") + QChar(partner));
        QTest::newRow("the pair is named where it stands, after good pairs")
            << "^M^-^0" << true << false << ""
            << "Error: input character \"^-\" not legal in bar code 3 of 9";

        // Messages name the first illegal character, exactly as typed.
        QTest::newRow("first illegal character is named, not a later one")
            << "A B*a" << false << false << "" << Illegal("*");
        QTest::newRow("a space is legal: the message does not name the ~ it became")
            << " a" << false << false << "" << Illegal("a");
        QTest::newRow("a tilde typed by the user is not the space symbol")
            << "A~B" << false << false << "" << Illegal("~");
        QTest::newRow("a lone surrogate is named as itself")
            << QString(QChar(0xD800)) + "A" << false << false << "" << Illegal(QChar(0xD800));
        QTest::newRow("without full ascii a control character is named")
            << QString("AB") + QChar(9) << false << false << "" << Illegal(QChar(9));
        QTest::newRow("full ascii encodes the user's own $ % / +, sum 231 -> G")
            << "$%/+" << true << true << "/D/E/O/KG"
            << "";
        QTest::newRow("full ascii refuses a literal control character, naming it")
            << QString("A") + QChar(9) + "B\r\n"
            << true << false << "" << Illegal(QChar(9));
        QTest::newRow("full ascii refuses DEL")
            << QString("A") + QChar(127) << true << false << "" << Illegal(QChar(127));
    }
    void build()
    {
        QFETCH(QString, input);
        QFETCH(bool, fullAscii);
        QFETCH(bool, checksum);
        QFETCH(QString, data);
        QFETCH(QString, error);
        const code39::BuildResult r = code39::BuildBarCodeData(input.toStdU16String(), fullAscii, checksum);
        QCOMPARE(QString::fromStdU16String(r.error), error);
        QCOMPARE(QString::fromStdString(r.data), data);
    }

    // The storage-reusing builder must leave nothing of an earlier row in a later one.
    void buildReusesStorage()
    {
        const struct {
            std::u16string input;
            bool fullAscii;
            const char* data;
            bool ok;
        } rows[] = {
            {u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", false, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", true},
            {u"abc", false, "", false},
            {u"AB", false, "AB", true},
            {u"", true, "", false},
            {u"ab", true, "+A+B", true},
            {u"C", true, "C", true},
        };
        code39::BuildResult r;
        for (const auto& row : rows) {
            QCOMPARE(code39::BuildBarCodeData(row.input, row.fullAscii, false, r), row.ok);
            QCOMPARE(r.ok(), row.ok);
            QCOMPARE(r.data, std::string(row.data));
        }
    }

    void symbolSet_data()
    {
        QTest::addColumn<QList<uint>>("characters");
        QTest::addColumn<int>("firstValue"); // values run on from here; -1: none is a data character
        QTest::newRow("digits are their own value")
            << QList<uint>{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'} << 0;
        QList<uint> capitals;
        for (uint c = 'A'; c <= 'Z'; ++c)
            capitals << c;
        QTest::newRow("capitals run from A = 10 to Z = 35") << capitals << 10;
        QTest::newRow("- . space $ / + % are 36 to 42") << QList<uint>{'-', '.', ' ', '$', '/', '+', '%'} << 36;
        QTest::newRow("start/stop * is never data") << QList<uint>{'*'} << -1;
        QTest::newRow("~ is only the typeface's space glyph") << QList<uint>{'~'} << -1;
        QTest::newRow("no case folding: small letters are not data") << QList<uint>{'a', 'm', 'z'} << -1;
        QTest::newRow("punctuation outside the set")
            << QList<uint>{'!', '"', '#', '&', '\'', '(', ')', ',', ':', ';', '<', '=',
                           '>', '?', '@', '[', '\\', ']', '^', '_', '`', '{', '|', '}'}
            << -1;
        QTest::newRow("control characters and DEL") << QList<uint>{0, 1, 9, 10, 13, 27, 31, 127} << -1;
        QTest::newRow("beyond 7 bits, including codes that alias data characters when truncated")
            << QList<uint>{0x80, 0xC9, 0xFF, 0x130, 0x141, 0xFF21, 0x10041, 0x1F600, 0x10FFFF, 0xFFFFFFFF} << -1;
    }
    void symbolSet()
    {
        QFETCH(QList<uint>, characters);
        QFETCH(int, firstValue);
        for (qsizetype i = 0; i < characters.size(); ++i) {
            const char32_t c = characters[i];
            QCOMPARE(code39::IsCode39Character(c), firstValue >= 0);
            // The value shows as the check character of the character alone (its value modulo 43).
            const std::u16string alone =
                c <= 0xFFFF ? std::u16string(1, char16_t(c)) : std::u16string(u"\U0001F600");
            const code39::BuildResult built = code39::BuildBarCodeData(alone, false, true);
            QCOMPARE(built.ok(), firstValue >= 0);
            if (firstValue >= 0)
                QCOMPARE(built.data.back(), code39::Code39Character(firstValue + int(i)));
        }
    }

    void exactlyFortyThreeDataCharacters()
    {
        int count = 0;
        for (char32_t c = 0; c <= 0x10FFFF; ++c)
            count += code39::IsCode39Character(c);
        QCOMPARE(count, 43);
    }

    void typefaceCharacter_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<char>("character");
        for (int v = 0; v <= 42; ++v)
            QTest::addRow("value %d", v) << v << kTypeface[std::size_t(v)];
        QTest::newRow("negative value gives %") << -1 << '%';
        QTest::newRow("43 gives %, the sum is never taken mod 43 twice") << 43 << '%';
        QTest::newRow("INT_MIN gives %") << std::numeric_limits<int>::min() << '%';
        QTest::newRow("INT_MAX gives %") << std::numeric_limits<int>::max() << '%';
    }
    void typefaceCharacter()
    {
        QFETCH(int, value);
        QFETCH(char, character);
        QCOMPARE(code39::Code39Character(value), character);
    }

    // Every 7-bit code but the caret, alone, with Full ASCII on.
    void fullAsciiChart_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("error");
        for (int c = 0; c < 128; ++c) {
            if (c == '^')
                continue;
            const bool refused = c < 32 || c == 127;
            QString expected = refused ? QString() : QString::fromLatin1(kChart[c]);
            expected.replace(' ', '~');
            QTest::addRow("code %d %s", c, refused ? "refused" : qPrintable("-> " + expected))
                << c << expected << (refused ? Illegal(QChar(c)) : QString());
        }
    }
    void fullAsciiChart()
    {
        QFETCH(int, code);
        QFETCH(QString, data);
        QFETCH(QString, error);
        const std::u16string input(1, char16_t(code));
        const code39::BuildResult r = code39::BuildBarCodeData(input, true, false);
        QCOMPARE(QString::fromStdString(r.data), data);
        QCOMPARE(QString::fromStdU16String(r.error), error);
    }

    void outputForms_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("barText");
        QTest::addColumn<QString>("preview");
        QTest::newRow("asterisks around the data, two trailing spaces in the preview only") << "ABCD4567P"
                                                                                            << "*ABCD4567P*"
                                                                                            << "*ABCD4567P*  ";
        QTest::newRow("the space symbol stays ~") << "A~B"
                                                  << "*A~B*"
                                                  << "*A~B*  ";
        QTest::newRow("empty data still gets its start/stop pair") << ""
                                                                   << "**"
                                                                   << "**  ";
    }
    void outputForms()
    {
        QFETCH(QString, data);
        QFETCH(QString, barText);
        QFETCH(QString, preview);
        QCOMPARE(QString::fromStdString(code39::BarCodeString(data.toStdString())), barText);
        QCOMPARE(QString::fromStdString(code39::PreviewText(data.toStdString())), preview);
    }

    // Random 7-bit data, caret-heavy: every success reads back through a Full ASCII reader as the
    // data with its caret codes turned into control characters; every failure names the first
    // character with no form: a literal control character or DEL, a caret's partner that forms no
    // code (with the caret when the partner alone is legal), or a caret at the end. Without Full
    // ASCII the data passes exactly when all of it is data.
    void randomRoundTrip()
    {
        std::mt19937 random(39);
        std::uniform_int_distribution<int> length(0, 24);
        std::uniform_int_distribution<int> code(0, 127);
        std::uniform_int_distribution<int> printable(32, 126);
        std::uniform_int_distribution<int> caret(0, 9);
        code39::BuildResult r;
        int successes = 0;
        for (int round = 0; round < 20000; ++round) {
            std::u16string input;
            // Mostly printable: a control character in almost every row would leave no success to check.
            for (int n = length(random); n > 0; --n) {
                const int pick = caret(random);
                input += pick == 0 ? u'^' : char16_t(pick == 1 ? code(random) : printable(random));
            }

            // What the reader should see, and the first character refused (as the message names it).
            std::string expected;
            std::optional<QString> refused;
            for (std::size_t i = 0; i < input.size() && !refused; ++i) {
                const char16_t c = input[i];
                if (c != u'^') {
                    if (c >= 32 && c < 127)
                        expected += char(c);
                    else
                        refused = QString(QChar(c));
                } else if (i + 1 < input.size()) {
                    const char16_t p = input[++i];
                    if (p == u'0')
                        expected += '\0';
                    else if (p >= u'1' && p <= u'9')
                        expected += '\x1B';
                    else if (p >= u'A' && p <= u'Z')
                        expected += char(p - 'A' + 1);
                    else // a partner that is a data character on its own is named with its caret
                        refused = QString(QString("-. $/+%").contains(QChar(p)) ? "^" : "") + QChar(p);
                } else {
                    refused = QStringLiteral("^");
                }
            }
            const QString what = QString::fromStdU16String(input);
            for (const bool checksum : {false, true}) {
                code39::BuildBarCodeData(input, true, checksum, r);
                if (refused) {
                    QCOMPARE(QString::fromStdU16String(r.error), Illegal(*refused));
                    continue;
                }
                if (expected.empty()) {
                    QCOMPARE(QString::fromStdU16String(r.error), kNoData);
                    continue;
                }
                QVERIFY2(r.ok(), qPrintable(what));
                QVERIFY2(r.data.find_first_not_of(kTypeface) == std::string::npos, qPrintable(what));
                std::string symbols = r.data;
                if (checksum) {
                    symbols.pop_back();
                    int sum = 0;
                    for (char s : symbols)
                        sum += int(kTypeface.find(s));
                    QCOMPARE(r.data.back(), kTypeface[std::size_t(sum % 43)]);
                }
                std::string read;
                QVERIFY2(ReadFullAscii(symbols, read), qPrintable(what));
                QVERIFY2(read == expected, qPrintable(what));
                ++successes;
            }

            code39::BuildBarCodeData(input, false, false, r);
            const bool allData =
                std::all_of(input.begin(), input.end(), [](char16_t c) { return code39::IsCode39Character(c); });
            QCOMPARE(r.ok(), allData && !input.empty());
            if (allData && !input.empty()) {
                std::u16string written = input;
                std::replace(written.begin(), written.end(), u' ', u'~');
                QCOMPARE(QString::fromStdString(r.data), QString::fromStdU16String(written));
            }
        }
        QVERIFY(successes > 5000); // the generator must exercise the success path, not only failures
    }

    // The byte fast path must agree with the builder wherever it answers, and answer for every byte
    // string the builder accepts: random bytes, data characters mostly, high bytes and illegal ones too.
    void plainBytesAgreeWithBuilder()
    {
        std::mt19937 random(43);
        std::uniform_int_distribution<int> length(0, 12);
        std::uniform_int_distribution<int> pick(0, 59);
        const std::string symbols = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
        const std::string others("a*~^\t\n\x7f\0!_", 10);
        code39::BuildResult fast, full;
        int accepted = 0;
        for (int round = 0; round < 20000; ++round) {
            std::string bytes;
            for (int n = length(random); n > 0; --n) {
                const int k = pick(random);
                bytes += k < 43 ? symbols[std::size_t(k)] : k < 50 ? char(0x80 + k) : others[std::size_t(k - 50)];
            }
            const std::u16string wide(bytes.begin(),
                                      bytes.end()); // one unit per byte; high bytes stay beyond 7 bits
            for (const bool checksum : {false, true}) {
                const bool builder = code39::BuildBarCodeData(wide, false, checksum, full);
                QCOMPARE(code39::BuildPlainBytes(bytes, checksum, fast), builder);
                if (builder) {
                    QCOMPARE(fast.data, full.data);
                    ++accepted;
                }
            }
        }
        QVERIFY(accepted > 2000);
    }
};

QTEST_APPLESS_MAIN(TestCode39)
#include "TestCode39.moc"
