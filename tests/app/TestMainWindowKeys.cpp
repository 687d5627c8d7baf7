// The main window driven offscreen through its real controls. The keyboard, screen readers and other styles: every
// mnemonic and shortcut pressed as a user would, unique Alt keys, accessible names, captions that fit, and the
// focus after Tips and About.
#include "MainWindowDriver.h"
#include "app/AboutDialog.h"
#include "app/TipDialog.h"
#include "app/Vendor.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QShortcut>
#include <QStyleFactory>
#include <QToolButton>
#include <QtTest>

class TestMainWindowKeys : public QObject, private MainWindowDriver {
    Q_OBJECT
private slots:
    void initTestCase() { WindowFixture::initTestCase(); }
    void init() { WindowFixture::init(DataFolder::Missing); }
    void cleanup() { WindowFixture::cleanup(); }

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
        QTest::newRow("keypad Enter in the data field makes") << int(Qt::Key_Enter) << int(Qt::KeypadModifier)
            << "make";
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
            closeNextModal([&shown](QWidget* modal) { shown = modal; });
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
        QTest::newRow("a dark 16-pixel style sheet") << "Fusion"
            << "QWidget { font-size: 16px; color: #ddd; background: #222; }";
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
        closeNextModal([&shown](QWidget* modal) { shown = modal; });
        control<QToolButton>(button.toLatin1())->click();
        QCOMPARE(shown, button == "tipsButton" ? static_cast<QWidget*>(&window().tipDialog())
                                               : static_cast<QWidget*>(&window().aboutDialog()));
        QCOMPARE(focused(), input());
    }
};

QTEST_MAIN(TestMainWindowKeys)
#include "TestMainWindowKeys.moc"
