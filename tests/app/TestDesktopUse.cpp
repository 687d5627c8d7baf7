// The main window as a desktop user meets it: keystrokes that stay in the field they were typed for.
#include "WindowFixture.h"
#include "app/MainWindow.h"
#include "app/SizeTypingFollower.h"
#include "render/Typefaces.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class TestDesktopUse : public QObject {
    Q_OBJECT

    WindowFixture m_fixture;

    MainWindow& window() const { return m_fixture.window(); }
    template <typename T> T* control(const char* name) const { return m_fixture.control<T>(name); }
    QComboBox* pointSize() const { return control<QComboBox>("pointSizeBox"); }

    // Each key goes where the keyboard focus is at that moment, as a user's keystrokes do.
    static void typeAsUser(const QString& text)
    {
        for (const QChar c : text) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            QTest::keyClick(focus, c.toLatin1());
        }
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        render::RegisterBarCodeTypefaces();
    }
    void init() { m_fixture.init(WindowFixture::DataFolder::Missing); }
    void cleanup() { m_fixture.cleanup(); }

    // ---- Typing a point size ---------------------------------------------------------------------

    void typedSizeKeepsTheData_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pauseBeforeLast");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("data");
        // clang-format off
        QTest::newRow("200: applied at 20, the 0 follows to the size") << "200" << false << 200 << "HUGE1";
        QTest::newRow("500: applied at 50, the 0 follows to the size") << "500" << false << 500 << "HUGE1";
        QTest::newRow("1000: applied at 100, two digits follow") << "1000" << false << 1000 << "HUGE1";
        QTest::newRow("22: applied, the focus in the data") << "22" << false << 22 << "HUGE1";
        QTest::newRow("after a pause a digit is the user's data") << "247" << true << 24 << "HUGE17";
        // clang-format on
    }
    void typedSizeKeepsTheData()
    {
        QFETCH(QString, typed);
        QFETCH(bool, pauseBeforeLast);
        QFETCH(int, size);
        QFETCH(QString, data);
        m_fixture.start();
        auto* dataEdit = control<QLineEdit>("dataEdit");
        dataEdit->setText("HUGE1");
        control<QPushButton>("makeButton")->click();
        pointSize()->setFocus();
        pointSize()->clearEditText();
        typeAsUser(pauseBeforeLast ? typed.chopped(1) : typed);
        if (pauseBeforeLast) {
            QTest::qWait(kelm::SizeTypingFollower::kTypingPauseMs + 100);
            dataEdit->deselect();
            typeAsUser(typed.right(1));
        }
        QCOMPARE(dataEdit->text(), data);
        QCOMPARE(pointSize()->currentText(), typed.left(QString::number(size).size()));
        QCOMPARE(window().pointSize(), size);
        QCOMPARE(QApplication::focusWidget(), dataEdit);
        // The preview carries the size typed.
        QTextCursor first(control<QTextEdit>("preview")->document());
        first.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        QCOMPARE(first.charFormat().fontPointSize(), double(size));
    }
};

QTEST_MAIN(TestDesktopUse)
#include "TestDesktopUse.moc"
