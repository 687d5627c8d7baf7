#include "code39/Code39.h"

#include <QtTest>

namespace {
QString Q(const std::u16string& s)
{
    return QString::fromStdU16String(s);
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
        QTest::newRow("lone caret drops to nothing") << "^" << true << false << "" << none;
        QTest::newRow("only accented letters drop") << "\u00e9\u00e8" << true << false << "" << none;
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
        QTest::newRow("final caret dropped") << "A^" << true << false << "A"
                                             << "";
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
        QTest::newRow("astral character dropped whole with full ascii")
            << QString::fromUcs4(U"A\U0001F600B") << true << false << "AB"
            << "";
    }
    void build()
    {
        QFETCH(QString, input);
        QFETCH(bool, fullAscii);
        QFETCH(bool, checksum);
        QFETCH(QString, data);
        QFETCH(QString, error);
        const code39::BuildResult r = code39::BuildBarCodeData(input.toStdU16String(), fullAscii, checksum);
        QCOMPARE(Q(r.error), error);
        QCOMPARE(QString::fromStdString(r.data), data);
    }
};

QTEST_APPLESS_MAIN(TestCode39)
#include "TestCode39.moc"
