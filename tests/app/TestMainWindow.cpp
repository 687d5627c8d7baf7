// The main window driven offscreen through its real controls: Make, the notices, Insert, restyle, Copy,
// help and web links, the activation sequence and the settings file.
#include "WindowFixture.h"
#include "app/AboutDialog.h"
#include "app/BarCodeExport.h"
#include "app/ClipboardWarning.h"
#include "app/LabelDialog.h"
#include "app/MainWindow.h"
#include "app/PreviewEdit.h"
#include "app/Settings.h"
#include "app/TipDialog.h"
#include "app/Vendor.h"
#include "platform/Desktop.h"
#include "platform/Profile.h"
#include "platform/Recorder.h"
#include "render/BarCodeFiles.h"
#include "render/Typefaces.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDirIterator>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFragment>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

const QString kLo = QStringLiteral("Tamrosk Stripe 39 d Lo");
const QString kUp = QStringLiteral("Tamrosk Stripe 39 d Up");
const QString kArial = QStringLiteral("Arial");

// One run of equally formatted characters in a document.
struct Run {
    QString text;
    QString family;
    double size;
    bool operator==(const Run&) const = default;
};

char* toString(const Run& run)
{
    return QTest::toString(QStringLiteral("'%1' %2 %3").arg(run.text, run.family).arg(run.size));
}

QList<Run> RunsOf(const QTextDocument* doc)
{
    QList<Run> runs;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QStringList families = f.fontFamilies().toStringList();
            runs.append({it.fragment().text(), families.value(0), f.fontPointSize()});
        }
    }
    return runs;
}

// Reads the RTF the preview puts on the clipboard back into runs: the font table, then groups of
// {\fN\fsM text}. Independent of the writer: it decodes the escapes RTF defines.
QList<Run> ParseRtf(const QByteArray& rtf, QString* error)
{
    QMap<int, QString> fonts;
    QList<Run> runs;
    const QString s = QString::fromLatin1(rtf);
    if (!s.startsWith(QLatin1String("{\\rtf1")) || !s.trimmed().endsWith(u'}')) {
        *error = QStringLiteral("not an RTF document");
        return {};
    }
    const auto decode = [](const QString& raw) {
        QString out;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != u'\\') {
                out += raw[i];
                continue;
            }
            const QChar next = i + 1 < raw.size() ? raw[i + 1] : QChar();
            if (next == u'\\' || next == u'{' || next == u'}') {
                out += next;
                ++i;
            } else if (next == u'\'') {
                out += QChar(raw.mid(i + 2, 2).toInt(nullptr, 16));
                i += 3;
            } else if (next == u'u') {
                qsizetype j = i + 2;
                while (j < raw.size() && (raw[j] == u'-' || raw[j].isDigit()))
                    ++j;
                out += QChar(char16_t(raw.mid(i + 2, j - i - 2).toInt()));
                i = j; // skips the one fallback character
            }
        }
        return out;
    };
    static const QRegularExpression font(QStringLiteral(R"(\{\\f(\d+) ((?:[^;\\]|\\.)*);\})"));
    const qsizetype tableEnd = s.indexOf(QLatin1String("}}"));
    for (auto m = font.globalMatch(s.left(tableEnd + 1)); m.hasNext();) {
        const auto hit = m.next();
        fonts[hit.captured(1).toInt()] = decode(hit.captured(2));
    }
    static const QRegularExpression group(
        QStringLiteral(R"(\{\\f(\d+)\\fs(\d+) ((?:[^{}\\]|\\.|\\u-?\d+\?)*)\})"));
    for (auto m = group.globalMatch(s.mid(tableEnd + 2)); m.hasNext();) {
        const auto hit = m.next();
        runs.append(
            {decode(hit.captured(3)), fonts.value(hit.captured(1).toInt()), hit.captured(2).toInt() / 2.0});
    }
    return runs;
}

const QString kSaveAs = QStringLiteral("Save Bar Code As\u2026");

// What a picture file holds, told by its first bytes rather than its name.
QString FileKind(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return QStringLiteral("png");
    if (bytes.startsWith("%PDF-"))
        return QStringLiteral("pdf");
    if (bytes.startsWith("<?xml") && bytes.contains("<svg"))
        return QStringLiteral("svg");
    return QStringLiteral("unknown");
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What zbar reads in a picture file of the kind: PNG directly, SVG through rsvg-convert and PDF through
// pdftoppm at 300 dpi. Each symbol's characters as zbar gives them (the check character kept).
QString Scan(const QString& file, const QString& kind)
{
    QTemporaryDir dir;
    QString image = file;
    if (kind != QLatin1String("png")) {
        image = dir.filePath(QStringLiteral("raster.png"));
        QProcess tool;
        if (kind == QLatin1String("svg"))
            tool.start(QStringLiteral("rsvg-convert"), {"-d", "300", "-p", "300", "-o", image, file});
        else
            tool.start(QStringLiteral("pdftoppm"),
                       {"-r", "300", "-png", "-singlefile", file, dir.filePath("raster")});
        if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
            return QStringLiteral("error: %1 could not be rasterised").arg(kind);
    }
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {"--raw", "-q", "--nodbus", "-Sdisable", "-Scode39.enable", image});
    if (!zbar.waitForFinished(60000))
        return QStringLiteral("error: zbarimg did not run");
    return QString::fromLatin1(zbar.readAllStandardOutput()).trimmed();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    WindowFixture m_fixture;

    MainWindow& window() const { return m_fixture.window(); }
    platform::Recorder* recorder() const { return &m_fixture.recorder(); }
    template <typename T> T* control(const char* name) const { return m_fixture.control<T>(name); }
    QLineEdit* input() const { return control<QLineEdit>("dataEdit"); }
    QLineEdit* output() const { return control<QLineEdit>("barCodeString"); }
    QTextEdit* preview() const { return control<QTextEdit>("preview"); }
    QComboBox* pointSize() const { return control<QComboBox>("pointSizeBox"); }
    QWidget* focused() const { return window().focusWidget(); }
    QComboBox* labelList() const
    {
        return WindowFixture::child<QComboBox>(&window().labelDialog(), "labelSizeList");
    }
    QCheckBox* explainBox() const
    {
        return WindowFixture::child<QCheckBox>(&window().labelDialog(), "explainPasteBox");
    }
    QString settingsFile() const { return m_fixture.settingsFile(); }

    void start() { m_fixture.start(); }

    // Sets the point size as a program would, without the typing handlers.
    void setPointSizeQuietly(const QString& text)
    {
        const QSignalBlocker quiet(pointSize());
        pointSize()->setEditText(text);
    }

    void make(const QString& data)
    {
        input()->setText(data);
        control<QPushButton>("makeButton")->click();
    }

    void verifyNotice(const QString& message)
    {
        QCOMPARE(preview()->toPlainText(), message);
        QCOMPARE(RunsOf(preview()->document()), (QList<Run>{{message, kArial, 12}}));
        QCOMPARE(output()->text(), QString());
        QCOMPARE(recorder()->beeps, 1);
    }

    void installSettings(const QByteArray& content) { m_fixture.writeSettings(content); }
    QStringList section(const char* name) const
    {
        return platform::ReadSectionValues(QLatin1String(name), settingsFile());
    }
    QMap<QString, QString> keys(const char* name) const
    {
        QMap<QString, QString> map;
        for (const QString& line : section(name))
            map.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
        return map;
    }
    QByteArray fileBytes() const { return m_fixture.settingsBytes(); }

    // Save As the way a user reaches it ("Ctrl+S", "menu": the preview's context menu), or a button's click.
    void saveAsBy(const QString& how)
    {
        if (how == QLatin1String("Ctrl+S")) {
            QTest::keySequence(&window(), QKeySequence(QStringLiteral("Ctrl+S")));
        } else if (how == QLatin1String("menu")) {
            const std::unique_ptr<QMenu> menu(static_cast<PreviewEdit*>(preview())->createContextMenu({2, 2}));
            QAction* entry = nullptr;
            for (QAction* action : menu->actions())
                entry = action->text() == kSaveAs ? action : entry;
            QVERIFY(entry);
            entry->trigger();
        } else {
            control<QPushButton>(how.toLatin1())->click();
        }
    }
    QString documents() const { return m_fixture.home() + "/Documents"; }
    // Starts the window with a documents folder and nothing reported yet (the fixture's HOME has no data
    // folder, which start-up reports).
    void startForSaving()
    {
        QVERIFY(QDir().mkpath(documents()));
        start();
        recorder()->warnings.clear();
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        render::RegisterBarCodeTypefaces();
    }

    void init() { m_fixture.init(WindowFixture::DataFolder::Missing); }
    void cleanup() { m_fixture.cleanup(); }

    // ---- Make ---------------------------------------------------------------------------------------

    void make_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("barCode"); // the string box after success, empty on failure
        QTest::addColumn<QString>("notice");  // the preview's message on failure
        QTest::addColumn<double>("applied");  // the preview's point size on success

        const auto illegal = [](const QString& c) {
            return QStringLiteral("Error: input character \"%1\" not legal in bar code 3 of 9").arg(c);
        };
        const QString none = QStringLiteral("Error:- no input data");
        // clang-format off
        QTest::newRow("default data") << "ABCD4567" << false << false << "22" << "*ABCD4567*" << QString() << 22.0;
        QTest::newRow("check character P") << "ABCD4567" << false << true << "22" << "*ABCD4567P*" << QString() << 22.0;
        QTest::newRow("check sum over the expanded +A: 51 mod 43 = 8") << "a" << true << true << "22" << "*+A8*" << QString() << 22.0;
        QTest::newRow("a space becomes the typeface's ~") << "A B" << false << false << "22" << "*A~B*" << QString() << 22.0;
        QTest::newRow("small letters need Full ASCII") << "abc" << false << false << "22" << QString() << illegal("a") << 0.0;
        QTest::newRow("the asterisk is the start/stop character") << "A*B" << false << false << "22" << QString() << illegal("*") << 0.0;
        QTest::newRow("a caret needs Full ASCII") << "A^M" << false << false << "22" << QString() << illegal("^") << 0.0;
        QTest::newRow("Full ASCII small letters") << "a b" << true << false << "22" << "*+A~+B*" << QString() << 22.0;
        QTest::newRow("caret letter") << "^M" << true << false << "22" << "*$M*" << QString() << 22.0;
        QTest::newRow("caret 0 is NUL") << "^0" << true << false << "22" << "*%U*" << QString() << 22.0;
        QTest::newRow("caret 7 is ESC") << "^7" << true << false << "22" << "*%A*" << QString() << 22.0;
        QTest::newRow("a final caret is dropped") << "A^" << true << false << "22" << "*A*" << QString() << 22.0;
        QTest::newRow("caret small letter") << "^a" << true << false << "22" << QString() << illegal("a") << 0.0;
        QTest::newRow("caret caret") << "^^" << true << false << "22" << QString() << illegal("^") << 0.0;
        QTest::newRow("only characters beyond ASCII") << QStringLiteral("éü") << true << false << "22" << QString() << none << 0.0;
        QTest::newRow("empty, plain") << "" << false << false << "22" << QString() << none << 0.0;
        QTest::newRow("empty, Full ASCII") << "" << true << false << "22" << QString() << none << 0.0;
        QTest::newRow("size 5 applies as it is") << "A" << false << false << "5" << "*A*" << QString() << 5.0;
        QTest::newRow("size 0 applies as the smallest, 1") << "A" << false << false << "0" << "*A*" << QString() << 1.0;
        QTest::newRow("negative size applies as 1") << "A" << false << false << "-40" << "*A*" << QString() << 1.0;
        QTest::newRow("huge size applies as the largest, 1638") << "A" << false << false << "99999" << "*A*" << QString() << 1638.0;
        QTest::newRow("1638 as it is") << "A" << false << false << "1638" << "*A*" << QString() << 1638.0;
        // clang-format on
    }
    void make()
    {
        QFETCH(QString, data);
        QFETCH(bool, fullAscii);
        QFETCH(bool, checksum);
        QFETCH(QString, size);
        QFETCH(QString, barCode);
        QFETCH(QString, notice);
        QFETCH(double, applied);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(fullAscii);
        control<QCheckBox>("checksumBox")->setChecked(checksum);
        setPointSizeQuietly(size);
        control<QWidget>("checksumBox")->setFocus(); // anything but the data field
        make(data);

        QCOMPARE(focused(), input());
        QVERIFY(recorder()->errors.isEmpty());
        if (barCode.isEmpty()) {
            verifyNotice(notice);
            QCOMPARE(window().barCodeMade(), false);
            return;
        }
        QCOMPARE(output()->text(), barCode);
        QCOMPARE(RunsOf(preview()->document()), (QList<Run>{{barCode + "  ", kLo, applied}}));
        QCOMPARE(window().barCodeMade(), true);
        QCOMPARE(recorder()->beeps, 0);
        QCOMPARE(window().previewText(), barCode + "  ");
    }

    void sizeThatIsNoNumberChangesNothing_data()
    {
        QTest::addColumn<bool>("madeBefore");
        // clang-format off
        QTest::newRow("after a bar code") << true;
        QTest::newRow("before any bar code") << false;
        // clang-format on
    }
    void sizeThatIsNoNumberChangesNothing()
    {
        QFETCH(bool, madeBefore);
        start();
        if (madeBefore)
            make("OLD");
        const QList<Run> previewBefore = RunsOf(preview()->document());
        const QString outBefore = output()->text();
        setPointSizeQuietly("2x");
        make("NEW");
        QCOMPARE(recorder()->errors, QStringList{"''2x'' is not a valid integer value."});
        QCOMPARE(RunsOf(preview()->document()), previewBefore);
        QCOMPARE(output()->text(), outBefore);
        QCOMPARE(window().barCodeMade(), madeBefore);
        QCOMPARE(recorder()->beeps, 0);
    }

    // ---- Notices of the other buttons ----------------------------------------------------------------

    void noticesBeforeMake_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<bool>("failedMake"); // a good bar code first, then a failed Make
        const QString copy = QStringLiteral("Nothing to copy to clip board");
        const QString sample = QStringLiteral("Must click \"Make a bar code\" before printing");
        const QString labels = QStringLiteral("Make a bar code before printing labels");
        const QString saveAs = QStringLiteral("Make a bar code before saving it");
        // clang-format off
        QTest::newRow("Copy") << "copyButton" << copy << false;
        QTest::newRow("Print Sample") << "printSampleButton" << sample << false;
        QTest::newRow("Print Labels") << "printLabelsButton" << labels << false;
        QTest::newRow("Copy after a failed Make") << "copyButton" << copy << true;
        QTest::newRow("Print Sample after a failed Make") << "printSampleButton" << sample << true;
        QTest::newRow("Print Labels after a failed Make") << "printLabelsButton" << labels << true;
        QTest::newRow("Save As by Ctrl+S") << "Ctrl+S" << saveAs << false;
        QTest::newRow("Save As from the preview's menu after a failed Make") << "menu" << saveAs << true;
        // clang-format on
    }
    void noticesBeforeMake()
    {
        QFETCH(QString, button);
        QFETCH(QString, notice);
        QFETCH(bool, failedMake);
        start();
        if (failedMake) {
            make("ABC");
            make("abc");
            recorder()->beeps = 0;
        }
        output()->setText("stale");
        QGuiApplication::clipboard()->setText("untouched");
        recorder()->saveFileName = m_fixture.home() + "/never.png";
        saveAsBy(button);
        verifyNotice(notice);
        QCOMPARE(focused(), input());
        QCOMPARE(window().barCodeMade(), false);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
        QCOMPARE(recorder()->printDialogs, 0);
        QVERIFY(recorder()->saveFileCalls.isEmpty());
        QVERIFY(!QFile::exists(recorder()->saveFileName));
    }

    void printLabelsOpensTheDialogAfterMake()
    {
        start();
        make("ABC");
        bool shown = false;
        QTimer::singleShot(0, &window().labelDialog(), [this, &shown] {
            shown = window().labelDialog().isVisible();
            window().labelDialog().close();
        });
        control<QPushButton>("printLabelsButton")->click();
        QVERIFY(shown);
        QCOMPARE(recorder()->beeps, 0);
    }

    // ---- Full ASCII controls --------------------------------------------------------------------------

    void insertListEntries_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caretCode");
        QTest::addColumn<QString>("pair");
        const QStringList names = {"Null", "Bell", "Tab", "Line Feed", "Form Feed", "Carriage Return", "Escape"};
        const QStringList codes = {"^0", "^G", "^I", "^J", "^L", "^M", "^1"};
        const QStringList pairs = {"%U", "$G", "$I", "$J", "$L", "$M", "%A"};
        for (int i = 0; i < names.size(); ++i)
            // clang-format off
            QTest::newRow(qPrintable(names[i])) << i << codes[i] << pairs[i];
        const QString letters = QStringLiteral("ABCDEFHKNPQRSTUVWXYZ");
        for (int i = 0; i < letters.size(); ++i)
            QTest::newRow(qPrintable(QStringLiteral("Ctrl-") + letters[i])) << int(names.size() + i) << QStringLiteral("^") + letters[i] << QStringLiteral("$") + letters[i];
        // clang-format on
    }
    void insertListEntries()
    {
        QFETCH(int, row);
        QFETCH(QString, caretCode);
        QFETCH(QString, pair);
        start();
        auto* list = control<QComboBox>("controlCharacterList");
        QCOMPARE(list->count(), 27);
        control<QCheckBox>("fullAsciiBox")->setChecked(true);
        input()->setText("AB");
        input()->setCursorPosition(0); // the code goes to the end whatever the caret position
        list->setCurrentIndex(row);
        control<QPushButton>("insertButton")->click();
        QCOMPARE(input()->text(), "AB" + caretCode);
        QCOMPARE(focused(), input());
        QCOMPARE(window().barCodeMade(), false); // Insert does not make
        control<QPushButton>("makeButton")->click();
        QCOMPARE(output()->text(), "*AB" + pair + "*");
    }

    void insertTypedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("appended");
        // clang-format off
        QTest::newRow("the initial choice is Tab") << QString() << "^I";
        QTest::newRow("names match case-sensitively") << "Ctrl-g" << "";
        QTest::newRow("only the sixth character counts") << "xxxxxQ" << "^Q";
        QTest::newRow("Ctrl-O does not exist") << "Ctrl-O" << "";
        QTest::newRow("Ctrl-M is offered only by its name") << "Ctrl-M" << "";
        QTest::newRow("a short text matching no name adds nothing") << "tab" << "";
        QTest::newRow("an emptied box adds nothing") << "" << "";
        // clang-format on
    }
    void insertTypedText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, appended);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(true);
        auto* list = control<QComboBox>("controlCharacterList");
        if (QTest::currentDataTag() != QLatin1String("the initial choice is Tab"))
            list->setEditText(typed);
        QCOMPARE(list->currentText(), typed.isNull() ? QStringLiteral("Tab") : typed);
        input()->setText("ABC");
        control<QPushButton>("insertButton")->click();
        QCOMPARE(input()->text(), "ABC" + appended);
        QVERIFY(recorder()->errors.isEmpty());
        QCOMPARE(recorder()->beeps, 0);
        QCOMPARE(focused(), input());
    }

    void enterLeavesTheListsAlone_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("entries");
        // clang-format off
        QTest::newRow("a size that waits for more") << "pointSizeBox" << "17" << 10;
        QTest::newRow("a control name that matches none") << "controlCharacterList" << "Ctrl-g" << 27;
        // clang-format on
    }
    void enterLeavesTheListsAlone()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, entries);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(true);
        auto* combo = control<QComboBox>(box.toLatin1());
        combo->setFocus();
        combo->clearEditText();
        QTest::keyClicks(combo, typed);
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(combo->count(), entries);
        QCOMPARE(combo->currentText(), typed);
    }

    void insertWithoutFullAscii()
    {
        start();
        make("ABC");
        auto* button = control<QPushButton>("insertButton");
        control<QCheckBox>("fullAsciiBox")->setFocus();
        window().insertControlCharacter(); // the button is hidden, so the handler is reached directly
        QCOMPARE(input()->text(), QStringLiteral("ABC"));
        verifyNotice(QStringLiteral("Must be in Full ASCII mode to enter control characters"));
        QCOMPARE(window().barCodeMade(), true);
        QCOMPARE(focused(), control<QWidget>("fullAsciiBox"));
        QVERIFY(!button->isVisible());
    }

    void fullAsciiSwitchShowsAndHidesInsert()
    {
        start();
        auto* box = control<QCheckBox>("fullAsciiBox");
        auto* insert = control<QPushButton>("insertButton");
        auto* list = control<QComboBox>("controlCharacterList");
        QVERIFY(!insert->isVisible() && !list->isVisible());
        box->click();
        QVERIFY(insert->isVisible() && list->isVisible());
        QCOMPARE(focused(), input());
        input()->setText("A");
        insert->click();
        box->click();
        QVERIFY(!insert->isVisible() && !list->isVisible());
        QCOMPARE(input()->text(), QStringLiteral("A^I")); // the codes stay...
        make(input()->text());
        QCOMPARE(preview()->toPlainText(),
                 QStringLiteral("Error: input character \"^\" not legal in bar code 3 of 9")); // ...and fail
    }

    // ---- Style and point size --------------------------------------------------------------------------

    void restyleAfterMake()
    {
        start();
        make("ABCD4567");
        pointSize()->setCurrentIndex(pointSize()->findText("36"));
        QCOMPARE(RunsOf(preview()->document()),
                 (QList<Run>{{"*ABCD4567*", kLo, 36}, {"  ", kLo, 22}})); // trailing spaces keep Make's size
        QCOMPARE(focused(), input());
        control<QRadioButton>("textAboveButton")->click();
        QCOMPARE(RunsOf(preview()->document()), (QList<Run>{{"*ABCD4567*", kUp, 36}, {"  ", kLo, 22}}));
        QCOMPARE(output()->text(), QStringLiteral("*ABCD4567*"));
        QCOMPARE(focused(), input());
    }

    void sizeLetterStaysChosen_data()
    {
        QTest::addColumn<QString>("style");
        // clang-format off
        QTest::newRow("with text below") << "textBelowButton";
        QTest::newRow("with text above") << "textAboveButton";
        // clang-format on
    }
    void sizeLetterStaysChosen()
    {
        QFETCH(QString, style);
        start();
        control<QRadioButton>(style.toLatin1())->click();
        auto* letter = control<QRadioButton>("sizeLetterD");
        letter->click();
        QVERIFY(letter->isChecked());
        QVERIFY(control<QRadioButton>(style.toLatin1())->isChecked());
        // The arrow keys move within the style group, not from the size letter into it.
        letter->setFocus(Qt::TabFocusReason);
        QTest::keyClick(letter, Qt::Key_Left);
        QVERIFY(letter->isChecked());
        QVERIFY(control<QRadioButton>(style.toLatin1())->isChecked());
    }

    void tabOrder_data()
    {
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QStringList>("visited"); // from the data field on
        // Leaving the point size box hands the focus back to the data field.
        const QStringList options = {"printSampleButton", "copyButton",  "makeButton",
                                     "textBelowButton",   "sizeLetterD", "pointSizeBox"};
        const QStringList plain = QStringList{"dataEdit", "barCodeString", "preview"} + options;
        const QStringList full =
            QStringList{"dataEdit", "barCodeString", "controlCharacterList", "preview", "insertButton"} + options;
        // clang-format off
        QTest::newRow("twice round, Full ASCII off") << false << false << plain + plain + QStringList{"dataEdit"};
        QTest::newRow("twice round, Full ASCII on") << true << false << full + full + QStringList{"dataEdit"};
        QTest::newRow("backwards") << false << true << QStringList{"dataEdit",     "printLabelsButton", "tipsAtStartBox", "fullAsciiBox", "checksumBox",       "helpButton", "pointSizeBox", "dataEdit"};
        // clang-format on
    }
    void tabOrder()
    {
        QFETCH(bool, fullAscii);
        QFETCH(bool, backwards);
        QFETCH(QStringList, visited);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(fullAscii);
        input()->setFocus();
        QStringList seen{focused()->objectName()};
        while (seen.size() < visited.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
            seen << focused()->objectName();
        }
        QCOMPARE(seen, visited);
    }

    void typingASize_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("focusLeaves");
        // clang-format off
        QTest::newRow("one character waits") << "1" << 22.0 << false;
        QTest::newRow("below 18 waits") << "12" << 22.0 << false;
        QTest::newRow("120 applies at the third digit") << "120" << 120.0 << true;
        QTest::newRow("200 applies already at 20") << "20" << 20.0 << true;
        // clang-format on
    }
    void typingASize()
    {
        QFETCH(QString, typed);
        QFETCH(double, size);
        QFETCH(bool, focusLeaves);
        start();
        make("AB");
        pointSize()->setFocus();
        pointSize()->clearEditText();
        QTest::keyClicks(pointSize(), typed);
        QCOMPARE(RunsOf(preview()->document()).value(0).size, size);
        QCOMPARE(focused(), focusLeaves ? static_cast<QWidget*>(input()) : pointSize());
    }

    void leavingTheSizeBoxApplies()
    {
        start();
        make("AB");
        setPointSizeQuietly("9");
        pointSize()->setFocus();
        control<QCheckBox>("checksumBox")->setFocus(Qt::TabFocusReason);
        QCOMPARE(RunsOf(preview()->document()).value(0), (Run{"*AB*", kLo, 9}));
        QCOMPARE(focused(), input());
    }

    void styleChangesWithoutABarCode_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("typedPreview");
        // clang-format off
        QTest::newRow("before any Make") << QString() << QString();
        QTest::newRow("after a failed Make") << "" << QString();
        QTest::newRow("the bar code edited out of the preview") << "AB" << "something else";
        // clang-format on
    }
    void styleChangesWithoutABarCode()
    {
        QFETCH(QString, data);
        QFETCH(QString, typedPreview);
        start();
        if (!data.isNull())
            make(data);
        if (!typedPreview.isNull())
            preview()->setPlainText(typedPreview);
        const QList<Run> before = RunsOf(preview()->document());
        control<QRadioButton>("textAboveButton")->click();
        pointSize()->setCurrentIndex(pointSize()->findText("48"));
        QCOMPARE(RunsOf(preview()->document()), before);
        QCOMPARE(focused(), input());
    }

    void sizeTypedAsNoNumberIsReported()
    {
        start();
        make("AB");
        pointSize()->setFocus();
        pointSize()->clearEditText();
        QTest::keyClicks(pointSize(), "2x");
        QCOMPARE(recorder()->errors, QStringList{"''2x'' is not a valid integer value."});
        QCOMPARE(RunsOf(preview()->document()), (QList<Run>{{"*AB*  ", kLo, 22}}));
    }

    // ---- Copy ---------------------------------------------------------------------------------------

    void copyCarriesFamilyAndSize()
    {
        start();
        make("ABCD4567");
        pointSize()->setCurrentIndex(pointSize()->findText("36"));
        QGuiApplication::clipboard()->setText("before");
        if (!render::BarCodeTypefacesInstalledForOtherPrograms())
            WindowFixture::closeNextModal(); // the clipboard warning
        control<QPushButton>("copyButton")->click();
        QCOMPARE(focused(), input());
        QCOMPARE(preview()->textCursor().selectedText(), QStringLiteral("*ABCD4567*  "));

        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied);
        QCOMPARE(copied->text(), QStringLiteral("*ABCD4567*  "));
        const QString html = copied->html();
        QVERIFY2(html.contains("font-family:'" + kLo + "'") && html.contains("font-size:36pt"), qPrintable(html));
        for (const char* format : {"text/rtf", "application/rtf"}) {
            QString error;
            const QList<Run> runs = ParseRtf(copied->data(format), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(runs, (QList<Run>{{"*ABCD4567*", kLo, 36}, {"  ", kLo, 22}}));
        }
    }

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
        QTest::newRow("PNG by its extension, text below") << "ABCD4567" << false << false << false << "22" << "Ctrl+S" << "a.png" << svg << "a.png" << "png" << "ABCD4567";
        QTest::newRow("SVG by its extension, text above") << "ABCD4567" << false << true << false << "22" << "Ctrl+S" << "a.SVG" << png << "a.SVG" << "svg" << "ABCD4567";
        QTest::newRow("PDF by its extension, check character") << "INV-2026" << true << false << false << "22" << "menu" << "a.pdf" << QString() << "a.pdf" << "pdf" << "INV-2026W";
        QTest::newRow("PNG by the filter, text above, 36 pt") << "A B" << false << true << false << "36" << "menu" << "b" << png << "b.png" << "png" << "A B";
        QTest::newRow("SVG by the filter, restyled to text above") << "ABC" << true << true << true << "22" << "Ctrl+S" << "b" << svg << "b.svg" << "svg" << "ABCX";
        QTest::newRow("PDF by the filter, restyled to text above") << "XY-1" << false << true << true << "18" << "Ctrl+S" << "b" << pdf << "b.pdf" << "pdf" << "XY-1";
        QTest::newRow("PNG restyled to text below") << "XY-1" << false << false << true << "22" << "menu" << "c" << png << "c.png" << "png" << "XY-1";
        QTest::newRow("an unknown extension gains the filter's") << "ABC" << false << false << false << "22" << "Ctrl+S" << "c.txt" << svg << "c.txt.svg" << "svg" << "ABC";
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
        const QByteArray bytes = ReadAll(path);
        QCOMPARE(FileKind(bytes), kind);
        QCOMPARE(Scan(path, kind), scanned);
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
        const QString elsewhere = m_fixture.home() + "/elsewhere";
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
        QTest::newRow("separators and the characters Windows forbids") << QStringLiteral("A/B\\C:D*E?F\"G<H>I|J") << int(kelm::PictureType::Svg) << "A_B_C_D_E_F_G_H_I_J.svg";
        QTest::newRow("no climbing out, no hidden name") << "../X" << int(kelm::PictureType::Png) << "___X.png";
        QTest::newRow("a single dot inside stays") << "V1.2" << int(kelm::PictureType::Png) << "V1.2.png";
        QTest::newRow("control characters") << QString("A\tB\x01") << int(kelm::PictureType::Png) << "A_B_.png";
        QTest::newRow("blanks only") << "   " << int(kelm::PictureType::Png) << "barcode.png";
        QTest::newRow("nothing") << "" << int(kelm::PictureType::Png) << "barcode.png";
        QTest::newRow("long data is cut") << QString(200, u'A') << int(kelm::PictureType::Png) << QString(60, u'A') + ".png";
        QTest::newRow("a pair of UTF-16 units is not split") << QString(59, u'A') + QStringLiteral("😀") << int(kelm::PictureType::Png) << QString(59, u'A') + ".png";
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
        QTest::newRow("a folder of that name is refused, not asked about") << "folder" << true << false << "not a regular file";
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
            QCOMPARE(FileKind(ReadAll(path)), QString(yes ? "png" : "unknown"));
            if (!yes)
                QCOMPARE(ReadAll(path), old);
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
            QCOMPARE(ReadAll(path), old);
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

    // Copy, and the label dialog's copy, add the bar code as PNG and SVG pictures after the text forms, which
    // stay what the preview's own copy gives byte for byte, in the same order.
    void copyAddsPictures_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("above");
        QTest::addColumn<QString>("size");
        // clang-format off
        QTest::newRow("Copy, text below, 22 pt") << "copyButton" << false << "22";
        QTest::newRow("Copy after a restyle to text above, 36 pt") << "copyButton" << true << "36";
        QTest::newRow("the label dialog's copy") << "labels" << false << "18";
        // clang-format on
    }
    void copyAddsPictures()
    {
        QFETCH(QString, how);
        QFETCH(bool, above);
        QFETCH(QString, size);
        start();
        make("INV-42");
        if (above)
            control<QRadioButton>("textAboveButton")->click();
        pointSize()->setCurrentIndex(pointSize()->findText(size));
        preview()->selectAll();
        preview()->copy();
        const QMimeData* plain = QGuiApplication::clipboard()->mimeData();
        QVERIFY(plain && !plain->formats().isEmpty());
        const QStringList textFormats = plain->formats();
        QMap<QString, QByteArray> textBytes;
        for (const QString& format : textFormats)
            textBytes[format] = plain->data(format);

        if (how == QLatin1String("labels")) {
            emit window().labelDialog().copyRequested();
        } else {
            if (!render::BarCodeTypefacesInstalledForOtherPrograms())
                WindowFixture::closeNextModal();
            control<QPushButton>("copyButton")->click();
        }
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(copied->formats(), textFormats + QStringList({"image/png", "image/svg+xml"}));
        for (const QString& format : textFormats)
            QCOMPARE(copied->data(format), textBytes[format]);
        const render::BarCodeLook look{above, size.toDouble(), true};
        QCOMPARE(copied->data("image/png"), render::BarCodePng("*INV-42*", look, 300));
        QCOMPARE(copied->data("image/svg+xml"), render::BarCodeSvg("*INV-42*", look, "INV-42"));
        QTemporaryDir dir;
        QFile picture(dir.filePath("copied.png"));
        QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write(copied->data("image/png")) > 0);
        picture.close();
        QCOMPARE(Scan(picture.fileName(), "png"), QStringLiteral("INV-42"));
    }

    // Copy and restyle leave the bar code selected; while another control has the focus the selection
    // must not paint the bars inverted, so the preview looks as it does with nothing selected.
    void unfocusedSelectionIsNotPainted_data()
    {
        QTest::addColumn<QString>("action");
        // clang-format off
        QTest::newRow("after Copy") << "copy";
        QTest::newRow("after a restyle") << "restyle";
        // clang-format on
    }
    void unfocusedSelectionIsNotPainted()
    {
        QFETCH(QString, action);
        start();
        make("AB");
        if (action == QLatin1String("copy")) {
            if (!render::BarCodeTypefacesInstalledForOtherPrograms())
                WindowFixture::closeNextModal();
            control<QPushButton>("copyButton")->click();
            // The clipboard warning, when it came, leaves the window inactive offscreen.
            window().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window()));
        } else {
            control<QRadioButton>("textAboveButton")->click();
        }
        QCOMPARE(focused(), input());
        QVERIFY(preview()->textCursor().hasSelection()); // the selection itself stays
        const QImage withSelection = preview()->viewport()->grab().toImage();

        QTextCursor none = preview()->textCursor();
        const QTextCursor kept = none;
        none.clearSelection();
        preview()->setTextCursor(none);
        const QImage withoutSelection = preview()->viewport()->grab().toImage();
        QCOMPARE(withSelection, withoutSelection);

        // The same comparison sees a selection where it is meant to show: in the focused preview.
        preview()->setTextCursor(kept);
        preview()->setFocus();
        QVERIFY(preview()->viewport()->grab().toImage() != withoutSelection);
    }

    // Qt cuts a line edit at 32,767 characters unless told otherwise: long data must reach the builder
    // whole, and the string box must hold the whole bar code with its check and stop characters.
    void longData_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<QString>("barCode");
        // clang-format off
        QTest::newRow("40,000 plain characters") << QString(40000, u'A') << false << "*" + QString(40000, u'A') + "*";
        QTest::newRow("20,000 small letters expand to 40,000") << QString(20000, u'a') << true << "*" + QString("+A").repeated(20000) + "*";
        // clang-format on
    }
    void longData()
    {
        QFETCH(QString, data);
        QFETCH(bool, fullAscii);
        QFETCH(QString, barCode);
        start();
        control<QCheckBox>("fullAsciiBox")->setChecked(fullAscii);
        make(data);
        QCOMPARE(input()->text().size(), data.size());
        QCOMPARE(output()->text(), barCode);
        QCOMPARE(window().previewText(), barCode + "  ");
        QCOMPARE(window().barCodeText(), output()->text());
    }

    void clipboardWarningOncePerRun()
    {
        // Other programs cannot show the bars when the typefaces are only the program's own: the first
        // copy of the run says so, later ones do not.
        const bool warns = !render::BarCodeTypefacesInstalledForOtherPrograms();
        start();
        make("AB");
        int shown = 0;
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, timer, [this, &shown] {
            if (QApplication::activeModalWidget() == &window().clipboardWarning()) {
                ++shown;
                QVERIFY(
                    WindowFixture::child<QCheckBox>(&window().clipboardWarning(), "dontWarnAgainBox")->isHidden());
                window().clipboardWarning().close();
            }
        });
        timer->start(10);
        for (int copy = 0; copy < 3; ++copy) {
            control<QPushButton>("copyButton")->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("*AB*  "));
        }
        delete timer;
        QCOMPARE(shown, warns ? 1 : 0);
        QCOMPARE(focused(), input());
    }

    void rtfEscapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        // clang-format off
        QTest::newRow("RTF's own characters") << R"(a\b{c}d)" << kLo;
        QTest::newRow("beyond ASCII, one and two UTF-16 units") << QStringLiteral("é€😀") << kLo;
        QTest::newRow("a family with RTF characters") << "x" << R"(Odd;{Face}\Name)";
        // clang-format on
    }
    void rtfEscapes()
    {
        QFETCH(QString, text);
        QFETCH(QString, family);
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextCharFormat format;
        format.setFontFamilies(QStringList{family});
        format.setFontPointSize(10.5);
        cursor.insertText(text, format);
        cursor.select(QTextCursor::Document);
        QString error;
        QCOMPARE(ParseRtf(RichTextFormat(cursor), &error), (QList<Run>{{text, family, 10.5}}));
        QVERIFY(error.isEmpty());
        for (char c : RichTextFormat(cursor))
            QVERIFY(uchar(c) < 0x80);
    }

    // ---- Help and the web page ----------------------------------------------------------------------

    void helpFileLocation_data()
    {
        QTest::addColumn<bool>("inCurrentFolder");
        QTest::addColumn<bool>("besideProgram");
        QTest::addColumn<bool>("expectFullPath");
        // clang-format off
        QTest::newRow("in the current folder: the bare name") << true << false << false;
        QTest::newRow("in both: the current folder wins") << true << true << false;
        QTest::newRow("only beside the program: its full path") << false << true << true;
        QTest::newRow("nowhere: the bare name, the shell reports nothing") << false << false << false;
        // clang-format on
    }
    void helpFileLocation()
    {
        QFETCH(bool, inCurrentFolder);
        QFETCH(bool, besideProgram);
        QFETCH(bool, expectFullPath);
        const QString cwd = QDir::currentPath();
        const QString installed = QDir(QCoreApplication::applicationDirPath()).filePath("zovod.chm");
        QTemporaryDir work;
        QDir::setCurrent(work.path());
        const auto restore = qScopeGuard([&] {
            QDir::setCurrent(cwd);
            QFile::remove(installed);
        });
        if (inCurrentFolder)
            QVERIFY(QFile(work.filePath("zovod.chm")).open(QIODevice::WriteOnly));
        if (besideProgram)
            QVERIFY(QFile(installed).open(QIODevice::WriteOnly));
        start();
        control<QPushButton>("helpButton")->click();
        QCOMPARE(recorder()->shellCalls.size(), 1);
        const platform::ShellCall call = recorder()->shellCalls[0];
        QCOMPARE(call.verb, QStringLiteral("open"));
        QCOMPARE(call.file, expectFullPath ? QDir::toNativeSeparators(installed) : QStringLiteral("zovod.chm"));
        QVERIFY(call.parameters.isEmpty() && call.directory.isEmpty() && call.hasOwner);
        QCOMPARE(focused(), input());
    }

    void f1_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("calls");
        // clang-format off
        QTest::newRow("in the data field") << "dataEdit" << int(Qt::NoModifier) << 1;
        QTest::newRow("with Shift") << "dataEdit" << int(Qt::ShiftModifier) << 1;
        QTest::newRow("with Ctrl and Alt") << "dataEdit" << int(Qt::ControlModifier | Qt::AltModifier) << 1;
        QTest::newRow("in another control") << "barCodeString" << int(Qt::NoModifier) << 0;
        // clang-format on
    }
    void f1()
    {
        QFETCH(QString, where);
        QFETCH(int, modifiers);
        QFETCH(int, calls);
        start();
        auto* target = control<QWidget>(where.toLatin1());
        target->setFocus();
        QTest::keyClick(target, Qt::Key_F1, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(recorder()->shellCalls.size(), calls);
        if (calls)
            QCOMPARE(recorder()->shellCalls[0].file, QStringLiteral("zovod.chm"));
    }

    void webLink()
    {
        start();
        control<QCheckBox>("checksumBox")->setFocus();
        QTest::mouseClick(control<QLabel>("webLink"), Qt::LeftButton);
        QCOMPARE(recorder()->shellCalls.size(), 1);
        QCOMPARE(recorder()->shellCalls[0].verb, QString());
        QCOMPARE(recorder()->shellCalls[0].file, QString::fromLatin1(kelm::kTypefacePage));
        QVERIFY(recorder()->shellCalls[0].file.startsWith("https://www.tamrosk.example/"));
        QCOMPARE(focused(), input());
    }

    // ---- The settings file ----------------------------------------------------------------------------

    void settingsFileName_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("the program itself") << "/opt/kelm/bin/kelm" << "kelmtips.ini";
        QTest::newRow("a Windows name drops its extension") << "C:\\Tools\\X.exe" << "Xtips.ini";
        QTest::newRow("only the last dot starts the extension") << "/a/b.c/my.prog.exe" << "my.progtips.ini";
        QTest::newRow("a drive colon ends the folder part") << "D:kelm.exe" << "kelmtips.ini";
        QTest::newRow("a dot in a folder name is not an extension") << "/x.y/kelm" << "kelmtips.ini";
        // clang-format on
    }
    void settingsFileName()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QCOMPARE(kelm::SettingsFileName(program), expected);
    }

    // The whole file after a run, byte for byte: what the first run adds, what the close rewrites, and
    // every line the program does not own kept as it was. %1 and %2 stand for the window's corner.
    void savedFileBytes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        // clang-format off
        QTest::newRow("a first run records the defaults; the close writes the list's row") << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Sizes]\r\n1=a\r\n2=b\r\n3=c\r\n") << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[Sizes]\r\n1=a\r\n2=b\r\n3=c\r\n[Settings]\r\nCount=1\r\n" "Left=%1\r\nTop=%2\r\nType=B\r\nFontSize=D\r\nPointSize=22\r\nData=ABCD4567\r\n" "Checksum=0\r\nFullASCII=0\r\nLabelSize=2\r\nLabelExplain=1\r\n");
        QTest::newRow("missing keys follow the last key, before a comment; other lines stay") << QByteArray("[Settings]\r\nData=OLD\r\n; note\r\n[TipoftheDay]\r\nEnabled=0\r\nPosition=3\r\n") << QByteArray( "[Settings]\r\nData=OLD\r\nLeft=%1\r\nTop=%2\r\nType=B\r\nFontSize=D\r\nPointSize=22\r\n" "Checksum=0\r\nFullASCII=0\r\nLabelSize=-1\r\nLabelExplain=1\r\n; note\r\n[TipoftheDay]\r\n" "Enabled=0\r\nPosition=3\r\n");
        QTest::newRow("the Fill a Sheet window's sections are left as they are") << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[UserStocks]\r\nMine=mm 100 50 40 20 2 2 5 5 50 25\r\nGone=\r\n[PrinterOffsets]\r\nOffice=1.5 -0.5\r\n[FillSheet]\r\nStock=lb163\r\n") << QByteArray("[TipoftheDay]\r\nEnabled=0\r\n[UserStocks]\r\nMine=mm 100 50 40 20 2 2 5 5 50 25\r\nGone=\r\n[PrinterOffsets]\r\nOffice=1.5 -0.5\r\n[FillSheet]\r\nStock=lb163\r\n[Settings]\r\nCount=1\r\n" "Left=%1\r\nTop=%2\r\nType=B\r\nFontSize=D\r\nPointSize=22\r\nData=ABCD4567\r\n" "Checksum=0\r\nFullASCII=0\r\nLabelSize=-1\r\nLabelExplain=1\r\n");
        QTest::newRow("every key present: only the values change, in place") << QByteArray( "[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nCount=7\r\nLabelExplain=0\r\nLeft=1\r\nTop=2\r\n" "Type=A\r\nFontSize=D\r\nPointSize=36\r\nData=X\r\nChecksum=-1\r\nFullASCII=0\r\n" "LabelSize=9\r\n") << QByteArray( "[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nCount=7\r\nLabelExplain=0\r\nLeft=%1\r\nTop=%2\r\n" "Type=A\r\nFontSize=D\r\nPointSize=36\r\nData=X\r\nChecksum=1\r\nFullASCII=0\r\n" "LabelSize=-1\r\n");
        // clang-format on
    }
    void savedFileBytes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        installSettings(before);
        start();
        window().close();
        QVERIFY(recorder()->errors.isEmpty());
        const QPoint at = window().pos();
        QCOMPARE(fileBytes(), QString::fromLatin1(after).arg(at.x()).arg(at.y()).toLatin1());
    }

    void firstRunWritesTheDefaults()
    {
        installSettings(
            "[TipoftheDay]\r\nEnabled=0\r\nMaximum=3\r\n[Sizes]\r\na=one\r\nb=two\r\nc=three\r\nd=four\r\n");
        start();
        const QPoint at = window().pos();
        QCOMPARE(section("Settings"),
                 (QStringList{"Count=1", QStringLiteral("Left=%1").arg(at.x()),
                              QStringLiteral("Top=%1").arg(at.y()), "Type=B", "FontSize=D", "PointSize=22",
                              "Data=ABCD4567", "Checksum=0", "FullASCII=0", "LabelSize=4", "LabelExplain=1"}));
        // The controls keep their design values and the label list the row chosen after reading it.
        QCOMPARE(labelList()->count(), 4);
        QCOMPARE(labelList()->currentIndex(), 2);
        QCOMPARE(input()->text(), QStringLiteral("ABCD4567"));
        QVERIFY(!control<QCheckBox>("tipsAtStartBox")->isChecked());
        QVERIFY(recorder()->warnings.isEmpty() && recorder()->errors.isEmpty());
    }

    void loadAndSave_data()
    {
        QTest::addColumn<QByteArray>("settings"); // the [Settings] section's lines
        QTest::addColumn<bool>("withSizes");      // five label rows, "10" a two-character key
        QTest::addColumn<bool>("textBelow");
        QTest::addColumn<QString>("pointSizeText");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("checksum");
        QTest::addColumn<bool>("fullAscii");
        QTest::addColumn<int>("labelRow");
        QTest::addColumn<bool>("explain");
        QTest::addColumn<QString>("savedType");

        // clang-format off
        QTest::newRow("every key read") << QByteArray("Left=40\r\nTop=50\r\nType=A\r\nFontSize=D\r\nPointSize=36\r\nData=XYZ\r\nChecksum=1\r\n" "FullASCII=1\r\nLabelSize=1\r\nLabelExplain=0\r\n") << true << false << "36" << "XYZ" << true << true << 1 << false << "A";
        QTest::newRow("Type b is not B: text above, saved as A") << QByteArray("Type=b\r\n") << true << false << "22" << "ABCD4567" << false << false << 4 << true << "A";
        QTest::newRow("FontSize A still selects D") << QByteArray("FontSize=A\r\n") << true << true << "22" << "ABCD4567" << false << false << 4 << true << "B";
        QTest::newRow("missing keys give their defaults") << QByteArray("Data=ONLY\r\n") << true << true << "22" << "ONLY" << false << false << 4 << true << "B";
        QTest::newRow("no Sizes: no row to select") << QByteArray("LabelSize=1\r\n") << false << true << "22" << "ABCD4567" << false << false << -1 << true << "B";
        QTest::newRow("LabelSize beyond the rows selects none") << QByteArray("LabelSize=9\r\n") << true << true << "22" << "ABCD4567" << false << false << -1 << true << "B";
        QTest::newRow("a size that is no number is put in as it stands, without an error") << QByteArray("PointSize=big\r\n") << true << true << "big" << "ABCD4567" << false << false << 4 << true << "B";
        QTest::newRow("any non-zero number is true") << QByteArray("Checksum=-7\r\nFullASCII=0x10\r\n") << true << true << "22" << "ABCD4567" << true << true << 4 << true << "B";
        // clang-format on
    }
    void loadAndSave()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, withSizes);
        QFETCH(bool, textBelow);
        QFETCH(QString, pointSizeText);
        QFETCH(QString, data);
        QFETCH(bool, checksum);
        QFETCH(bool, fullAscii);
        QFETCH(int, labelRow);
        QFETCH(bool, explain);
        QFETCH(QString, savedType);
        QByteArray file = "[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\n" + settings;
        if (withSizes)
            file += "[Sizes]\r\n1=first\r\n2=second\r\n10=third\r\n4=fourth\r\n5=fifth\r\n";
        installSettings(file);
        start();

        QVERIFY(recorder()->errors.isEmpty() && recorder()->warnings.isEmpty());
        QCOMPARE(control<QRadioButton>("textBelowButton")->isChecked(), textBelow);
        QCOMPARE(control<QRadioButton>("textAboveButton")->isChecked(), !textBelow);
        QVERIFY(control<QRadioButton>("sizeLetterD")->isChecked());
        QCOMPARE(pointSize()->currentText(), pointSizeText);
        QCOMPARE(input()->text(), data);
        QCOMPARE(input()->selectedText(), data);
        QCOMPARE(control<QCheckBox>("checksumBox")->isChecked(), checksum);
        QCOMPARE(control<QCheckBox>("fullAsciiBox")->isChecked(), fullAscii);
        QCOMPARE(control<QPushButton>("insertButton")->isVisible(), fullAscii);
        QCOMPARE(control<QComboBox>("controlCharacterList")->isVisible(), fullAscii);
        QCOMPARE(labelList()->currentIndex(), labelRow);
        QCOMPARE(explainBox()->isChecked(), explain);
        if (withSizes)
            QCOMPARE(labelList()->itemText(2), QStringLiteral("=third"));
        else
            QCOMPARE(labelList()->currentText(), QStringLiteral("ComboBox1")); // the list's design text stays
        QCOMPARE(focused(), input());

        window().close();
        QVERIFY(recorder()->errors.isEmpty());
        const auto saved = keys("Settings");
        QCOMPARE(saved.value("Type"), savedType);
        QCOMPARE(saved.value("FontSize"), QStringLiteral("D"));
        QCOMPARE(saved.value("PointSize"), pointSizeText);
        QCOMPARE(saved.value("Data"), data);
        QCOMPARE(saved.value("Checksum"), checksum ? "1" : "0");
        QCOMPARE(saved.value("FullASCII"), fullAscii ? "1" : "0");
        QCOMPARE(saved.value("LabelSize"), QString::number(labelRow));
        QCOMPARE(saved.value("LabelExplain"), explain ? "1" : "0");
        QCOMPARE(saved.value("Left"), QString::number(window().x()));
        QCOMPARE(saved.value("Top"), QString::number(window().y()));
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("0"));
    }

    void windowPosition_data()
    {
        constexpr QSize kFrame(469, 386); // the design's client area, its border and the test frame
        constexpr int kTitleBarRoom = 22; // a title bar's 24 pixels less the test frame's top
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QPoint>("placed"); // where the window stands and what the close writes back
        // clang-format off
        // The test screen is 800 x 800 and adds a two-pixel frame each side: a window partly or wholly off
        // it comes back wholly onto it, with room above for a title bar.
        QTest::newRow("on the screen") << QByteArray("Left=40\r\nTop=50\r\n") << QPoint(40, 50);
        QTest::newRow("partly off the screen: wholly back on") << QByteArray("Left=600\r\nTop=500\r\n") << QPoint(800 - kFrame.width(), 800 - kFrame.height());
        QTest::newRow("far right and below: back to the corner") << QByteArray("Left=90000\r\nTop=70000\r\n") << QPoint(800 - kFrame.width(), 800 - kFrame.height());
        QTest::newRow("far left: back to the left edge") << QByteArray("Left=-5000\r\nTop=300\r\n") << QPoint(0, 300);
        QTest::newRow("above the screen: down to its top, a title bar's room below it") << QByteArray("Left=40\r\nTop=-10\r\n") << QPoint(40, kTitleBarRoom);
        QTest::newRow("at the int limit: no wrap, back on the screen") << QByteArray("Left=2147483647\r\nTop=2147483647\r\n") << QPoint(800 - kFrame.width(), 800 - kFrame.height());
        QTest::newRow("at the lower int limit") << QByteArray("Left=-2147483648\r\nTop=-2147483648\r\n") << QPoint(0, kTitleBarRoom);
        // clang-format on
    }
    void windowPosition()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QPoint, placed);
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\n" + settings);
        start();
        QCOMPARE(window().pos(), placed);
        window().close();
        const auto saved = keys("Settings");
        QCOMPARE(QPoint(saved.value("Left").toInt(), saved.value("Top").toInt()), placed);
    }

    void userChangesAreSaved()
    {
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nData=OLD\r\n");
        start();
        QTest::keyClicks(input(), "NEW 1");
        control<QRadioButton>("textAboveButton")->click();
        control<QCheckBox>("checksumBox")->click();
        window().close();
        const auto saved = keys("Settings");
        QCOMPARE(saved.value("Data"), QStringLiteral("NEW 1")); // typing replaced the selected data
        QCOMPARE(saved.value("Type"), QStringLiteral("A"));
        QCOMPARE(saved.value("Checksum"), QStringLiteral("1"));
    }

    void tipChoiceIsWrittenAtOnce()
    {
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nData=X\r\n");
        start();
        auto* box = control<QCheckBox>("tipsAtStartBox");
        box->click();
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("1"));
        QCOMPARE(focused(), input());
        box->click();
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("0"));
    }

    void tipWindowAtStartUp()
    {
        installSettings("[TipoftheDay]\r\nEnabled=1\r\n[Settings]\r\nLeft=30\r\nTop=60\r\n");
        QWidget* shown = nullptr;
        QPoint mainAt;
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, timer, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = modal;
                mainAt = window().pos();
                modal->close();
                timer->deleteLater();
            }
        });
        timer->start(10);
        window().show(); // the window is not reactivated when the tips close offscreen: no wait for that
        QTRY_VERIFY(shown);
        QCOMPARE(shown, static_cast<QWidget*>(&window().tipDialog()));
        QCOMPARE(mainAt, QPoint(30, 60)); // moved to its place before the tips show
        QCOMPARE(focused(), input());
        QCOMPARE(input()->selectedText(), QStringLiteral("ABCD4567"));
    }

    void missingTipsSection()
    {
        installSettings("[Settings]\r\nData=UNREAD\r\n[Sizes]\r\na=one\r\nb=two\r\nc=three\r\n");
        const QByteArray before = fileBytes();
        start();
        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(recorder()->warnings[0].text,
                 QStringLiteral("The Tip-of-the-Day file could not be found! Please re-install this product."));
        QCOMPARE(recorder()->warnings[0].topLeft, window().pos() + QPoint(100, 100));
        QCOMPARE(labelList()->count(), 3); // the sizes are read all the same
        QCOMPARE(input()->text(), QStringLiteral("ABCD4567"));
        QCOMPARE(fileBytes(), before);
        window().close();
        QCOMPARE(keys("TipoftheDay").value("Enabled"), QStringLiteral("1"));
        QCOMPARE(keys("Settings").value("Data"), QStringLiteral("ABCD4567"));
    }

    void unwritableFileStillCloses()
    {
        installSettings("[TipoftheDay]\r\nEnabled=0\r\n[Settings]\r\nData=KEPT\r\n");
        start();
        const QByteArray before = fileBytes();
        QVERIFY(QFile::setPermissions(settingsFile(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        control<QCheckBox>("tipsAtStartBox")->click();
        QCOMPARE(recorder()->errors, QStringList{"Unable to write to " + settingsFile() + "."});
        recorder()->errors.clear();
        input()->setText("LOST");
        QVERIFY(window().close());
        QVERIFY(!window().isVisible());
        QCOMPARE(recorder()->errors, QStringList{"Unable to write to " + settingsFile() + "."});
        QCOMPARE(fileBytes(), before);
    }

    // ---- Activation -----------------------------------------------------------------------------------

    void activationSetsTheWindowUp()
    {
        start();
        QCOMPARE(window().windowTitle(), QStringLiteral("Tamrosks free bar code 3 of 9 utility"));
        QCOMPARE(WindowFixture::child<QLabel>(&window().aboutDialog(), "versionLink")->text(),
                 QStringLiteral("V4.2"));
        QCOMPARE(control<QLabel>("makerNotice")->toolTip(), QStringLiteral("Version 4.2"));
        QCOMPARE(control<QLabel>("makerNotice")->toolTipDuration(), 6000);
        QCOMPARE(control<QPushButton>("makeButton")->toolTipDuration(), 6000);
        QVERIFY(WindowFixture::child<QCheckBox>(&window().clipboardWarning(), "dontWarnAgainBox")->isHidden());
        QVERIFY(!control<QPushButton>("insertButton")->isVisible());
        QVERIFY(!control<QComboBox>("controlCharacterList")->isVisible());
        QCOMPARE(input()->selectedText(), QStringLiteral("ABCD4567"));
        QCOMPARE(focused(), input());
        QCOMPARE(window().size(), QSize(449 + 16, 366 + 16));
    }

    void selectionSurvivesOtherControls()
    {
        start();
        control<QCheckBox>("checksumBox")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(input()->selectedText(), QStringLiteral("ABCD4567"));
        input()->setFocus(Qt::TabFocusReason);
        input()->setSelection(0, 2);
        output()->setFocus(Qt::TabFocusReason);
        input()->setFocus(Qt::BacktabFocusReason); // no select-all on entry
        QCOMPARE(input()->selectedText(), QStringLiteral("AB"));
    }

    void missingDataFolder_data()
    {
        QTest::addColumn<bool>("beyondPathLimit");
        // clang-format off
        QTest::newRow("no folder") << false;
        QTest::newRow("a folder whose settings path passes 260 characters") << true;
        // clang-format on
    }
    void missingDataFolder()
    {
        QFETCH(bool, beyondPathLimit);
        QString home = m_fixture.home();
        // Deep enough that the folder fits the limit but the settings file in it does not.
        while (beyondPathLimit && home.size() < 232)
            home += QStringLiteral("/d");
        m_fixture.useHome(home, WindowFixture::DataFolder::Missing);
        const QString folder = home + QStringLiteral("/Documents/Zovod/");
        if (beyondPathLimit) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(platform::FitsPathLimit(folder));
            QVERIFY(!platform::FitsPathLimit(folder + WindowFixture::kSettingsFileName));
        }
        start();
        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(recorder()->warnings[0].text,
                 QStringLiteral("The folder %1 is missing, please re-install this product.").arg(folder));
        QCOMPARE(recorder()->warnings[0].topLeft, window().pos() + QPoint(100, 100));
        QVERIFY(window().settingsFilePath().isEmpty());
        control<QCheckBox>("tipsAtStartBox")->click();
        window().close();
        QVERIFY(recorder()->errors.isEmpty());
        // Nothing read, nothing written: the home holds no more than the test put there.
        QDirIterator files(m_fixture.home(), QDir::Files, QDirIterator::Subdirectories);
        QVERIFY(!files.hasNext());
    }

    void activationRunsOnce()
    {
        start();
        QCOMPARE(recorder()->warnings.size(), 1);
        input()->setText("TYPED");

        // After a modal window...
        WindowFixture::closeNextModal();
        control<QToolButton>("aboutButton")->click();
        QCOMPARE(focused(), input());
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        // ...and after another window had the focus.
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));

        QCOMPARE(recorder()->warnings.size(), 1);
        QCOMPARE(input()->text(), QStringLiteral("TYPED"));
    }

    // ---- The keyboard, screen readers and other styles --------------------------------------------

    // Every mnemonic and shortcut of the window, pressed as a user would.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("effect"); // "tick:", "focus:" and a control, "make", "about" or "web"
        const int alt = Qt::AltModifier;
        // clang-format off
        QTest::newRow("Enter in the data field makes") << int(Qt::Key_Return) << 0 << "make";
        QTest::newRow("keypad Enter in the data field makes") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "make";
        QTest::newRow("Alt+M makes") << int(Qt::Key_M) << alt << "make";
        QTest::newRow("Alt+K ticks the checksum") << int(Qt::Key_K) << alt << "tick:checksumBox";
        QTest::newRow("Alt+F ticks Full ASCII") << int(Qt::Key_F) << alt << "tick:fullAsciiBox";
        QTest::newRow("Alt+Y ticks the tip at start-up") << int(Qt::Key_Y) << alt << "tick:tipsAtStartBox";
        QTest::newRow("Alt+D goes to the data") << int(Qt::Key_D) << alt << "focus:dataEdit";
        QTest::newRow("Alt+R goes to the string") << int(Qt::Key_R) << alt << "focus:barCodeString";
        QTest::newRow("Alt+E goes to the preview") << int(Qt::Key_E) << alt << "focus:preview";
        QTest::newRow("Alt+Z goes to the point size") << int(Qt::Key_Z) << alt << "focus:pointSizeBox";
        QTest::newRow("Alt+O goes to the style") << int(Qt::Key_O) << alt << "focus:textBelowButton";
        QTest::newRow("Alt+A opens About") << int(Qt::Key_A) << alt << "about";
        QTest::newRow("Alt+W opens the web page") << int(Qt::Key_W) << alt << "web";
        // clang-format on
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, effect);
        start();
        input()->setText(QStringLiteral("ABC"));
        const QString target = effect.section(u':', 1);
        QWidget* start = effect.startsWith("focus:") ? static_cast<QWidget*>(control<QCheckBox>("checksumBox"))
                                                     : static_cast<QWidget*>(input());
        start->setFocus();
        const bool wasTicked = effect.startsWith("tick:") && control<QCheckBox>(target.toLatin1())->isChecked();
        QWidget* shown = nullptr;
        if (effect == "about")
            WindowFixture::closeNextModal([&shown](QWidget* modal) { shown = modal; });
        QTest::keyClick(start, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        // A mnemonic clicks its button a moment later, as a pressed button shows.
        if (effect == "make") {
            QTRY_VERIFY(window().barCodeMade());
            QCOMPARE(output()->text(), QStringLiteral("*ABC*"));
        } else if (effect.startsWith("tick:")) {
            QTRY_COMPARE(control<QCheckBox>(target.toLatin1())->isChecked(), !wasTicked);
        } else if (effect.startsWith("focus:")) {
            QCOMPARE(focused()->objectName(), target);
        } else if (effect == "about") {
            QTRY_COMPARE(shown, static_cast<QWidget*>(&window().aboutDialog()));
        } else if (effect == "web") {
            QCOMPARE(recorder()->shellCalls.size(), 1);
            QCOMPARE(recorder()->shellCalls[0].file, QString::fromLatin1(kelm::kTypefacePage));
        }
        if (effect != "make")
            QVERIFY(!window().barCodeMade());
    }

    // No two controls answer to one Alt key, and the window's keys are the ones its captions show.
    void mnemonicsAreUnique()
    {
        QStringList keys;
        for (QWidget* w : control<QWidget>("clientArea")->findChildren<QWidget*>()) {
            QString text;
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                text = button->text();
                if (!button->shortcut().isEmpty() && QKeySequence::mnemonic(text).isEmpty())
                    keys << button->shortcut().toString();
            } else if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy()) {
                text = label->text();
            } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
                text = box->title();
            }
            if (!QKeySequence::mnemonic(text).isEmpty())
                keys << QKeySequence::mnemonic(text).toString();
        }
        for (const QShortcut* shortcut : window().findChildren<QShortcut*>())
            keys << shortcut->key().toString();
        for (const QAction* action : window().findChildren<QAction*>()) {
            if (!action->shortcut().isEmpty())
                keys << action->shortcut().toString();
        }
        keys.sort();
        QCOMPARE(keys, (QStringList{"Alt+A", "Alt+C", "Alt+D", "Alt+E", "Alt+F", "Alt+H", "Alt+I", "Alt+K",
                                    "Alt+L", "Alt+M", "Alt+O", "Alt+P", "Alt+R", "Alt+T", "Alt+W", "Alt+Y",
                                    "Alt+Z", "Ctrl+P", "Ctrl+S"}));
    }

    // A screen reader gets a name for every control the user can reach.
    void accessibleNames()
    {
        start();
        QStringList unnamed;
        for (QWidget* w : control<QWidget>("clientArea")->findChildren<QWidget*>()) {
            const bool reachable = qobject_cast<QAbstractButton*>(w) || qobject_cast<QGroupBox*>(w) ||
                                   w->objectName() == "webLink" || (w->focusPolicy() & Qt::TabFocus);
            if (!reachable || w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
            if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << w->objectName();
        }
        QCOMPARE(unnamed, QStringList());
    }

    // Under another style or a style sheet with a larger font, every caption shows whole or, where the
    // room ends, shortened with its whole text in the tooltip; group frames hold their controls.
    void captionsFitTheStyle_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("sheet");
        // clang-format off
        QTest::newRow("Fusion") << "Fusion" << "";
        QTest::newRow("Windows") << "Windows" << "";
        QTest::newRow("a 13-pixel style sheet") << "Fusion" << "QWidget { font-size: 13px; }";
        QTest::newRow("a dark 16-pixel style sheet") << "Fusion" << "QWidget { font-size: 16px; color: #ddd; background: #222; }";
        // clang-format on
    }
    void captionsFitTheStyle()
    {
        QFETCH(QString, style);
        QFETCH(QString, sheet);
        const QString before = QApplication::style()->name();
        struct Restore {
            QString style;
            ~Restore()
            {
                qApp->setStyleSheet(QString());
                QApplication::setStyle(style);
            }
        } restore{before};
        QApplication::setStyle(QStyleFactory::create(style));
        qApp->setStyleSheet(sheet);
        start();
        QTest::qWait(0);
        auto* clientArea = control<QWidget>("clientArea");
        for (QWidget* w : clientArea->findChildren<QWidget*>()) {
            QString text;
            if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
                text = static_cast<QAbstractButton*>(w)->text();
            else if (auto* label = qobject_cast<QLabel*>(w))
                text = label->text();
            if (text.isEmpty())
                continue;
            const QString name = w->objectName();
            QVERIFY2(w->height() >= w->sizeHint().height(), qPrintable(name));
            if (w->width() < w->sizeHint().width()) {
                QVERIFY2(text.endsWith(QChar(0x2026)), qPrintable(name + ": " + text));
                QVERIFY2(w->toolTip().startsWith(text.chopped(1).remove(u'&')), qPrintable(name));
            }
        }
        auto* letter = control<QRadioButton>("sizeLetterD");
        for (QGroupBox* box : clientArea->findChildren<QGroupBox*>()) {
            const QRect inner = box->contentsRect();
            for (QWidget* w : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(inner.contains(w->geometry()), qPrintable(w->objectName()));
            if (box->objectName() == "sizeLetterGroup")
                QVERIFY(inner.translated(box->pos()).contains(letter->geometry()));
        }
    }

    void tipsAndAboutReturnTheFocus_data()
    {
        QTest::addColumn<QString>("button");
        // clang-format off
        QTest::newRow("Tips") << "tipsButton";
        QTest::newRow("About") << "aboutButton";
        // clang-format on
    }
    void tipsAndAboutReturnTheFocus()
    {
        QFETCH(QString, button);
        start();
        control<QCheckBox>("checksumBox")->setFocus();
        QWidget* shown = nullptr;
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, timer, [&shown, timer] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = modal;
                modal->close();
                timer->deleteLater();
            }
        });
        timer->start(10);
        control<QToolButton>(button.toLatin1())->click();
        QCOMPARE(shown, button == "tipsButton" ? static_cast<QWidget*>(&window().tipDialog())
                                               : static_cast<QWidget*>(&window().aboutDialog()));
        QCOMPARE(focused(), input());
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
