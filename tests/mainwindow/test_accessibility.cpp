// What a screen reader finds in the window: names in both languages, the grid as a table
// whose current cell is announced, status messages announced, and F6 between the panes.

#include <functional>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "accessibility_walk.h"
#include "main_window_fixture.h"
#include "mainwindow/channel_grid.h"
#include "model/bcd_freq.h"

using namespace zrk6;

namespace {

struct SeenEvent {
    QAccessible::Event type;
    QObject *object;
    int child;
    QString text;
};
QList<SeenEvent> g_events;

void RecordEvent(QAccessibleEvent *event)
{
    QString text;
    if (QAccessibleInterface *iface = event->accessibleInterface()) {
        text = iface->text(QAccessible::Name);
        if (event->type() == QAccessible::Focus && event->child() >= 0) {
            if (QAccessibleInterface *child = QAccessible::queryAccessibleInterface(event->object())->child(event->child()))
                text = child->text(QAccessible::Name) + QLatin1Char('|') + child->text(QAccessible::Description);
        }
    }
    g_events.append({event->type(), event->object(), event->child(), text});
}

} // namespace

class TestAccessibility : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTableWidget *table() { return child<QTableWidget>(QStringLiteral("msgMemChannel")); }
    void switchLanguage(LanguageMode language)
    {
        state->language = language;
        window->applyLanguage();
    }
    void onModal(std::function<void(QWidget *)> act) { test::OnNextModal(this, std::move(act)); }

private slots:
    void initTestCase()
    {
        // Where the platform has a screen reader bridge (not offscreen) the events are seen too.
        QAccessible::installUpdateHandler(RecordEvent);
        QAccessible::setActive(true);
    }

    void init()
    {
        freshSettings(QStringLiteral("zrk6.ini"));
        start();
        g_events.clear();
    }
    void cleanup() { stop(); }

    void everyFocusableElementIsNamedInBothLanguages()
    {
        setUp([](MemoryImage &image) { WriteFreqLowFirst(image, 0, 0, "145.00000"); });
        for (LanguageMode language : {kEnglish, kChinese}) {
            switchLanguage(language);
            const QStringList unnamed = test::UnnamedFocusables(window.get());
            QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
        }
        QCOMPARE(table()->accessibleName(), QStringLiteral("记忆信道"));
        // The walk does find what a reader could not name.
        auto *stray = new QLineEdit(window->centralWidget());
        stray->setObjectName(QStringLiteral("stray"));
        stray->show();
        QCOMPARE(test::UnnamedFocusables(window.get()).join(QString()).count(QStringLiteral("stray")), 1);
        delete stray;
        switchLanguage(kEnglish);
        QCOMPARE(table()->accessibleName(), QStringLiteral("Memory Channel"));
        // The model label names the model, not the band list beside it.
        QCOMPARE(child<QLabel>(QStringLiteral("lblGeneral0"))->buddy(), child<QComboBox>(QStringLiteral("cboGenModel")));
        QVERIFY(child<QLabel>(QStringLiteral("Label1"))->accessibleName().startsWith(QStringLiteral("Model: ")));
    }

    void everyMenuItemHasAMnemonic()
    {
        for (LanguageMode language : {kEnglish, kChinese}) {
            switchLanguage(language);
            QStringList missing;
            const std::function<void(QMenu *)> walk = [&](QMenu *menu) {
                for (QAction *action : menu->actions()) {
                    if (action->isSeparator() || !action->isVisible())
                        continue;
                    if (!action->text().contains(QLatin1Char('&')))
                        missing << action->text();
                    if (action->menu())
                        walk(action->menu());
                }
            };
            for (QAction *top : window->menuBar()->actions()) {
                if (!top->text().contains(QLatin1Char('&')))
                    missing << top->text();
                if (top->menu())
                    walk(top->menu());
            }
            QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | "))));
        }
    }

    void dialogsNameEveryControl_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("language");
        for (const char *action : {"mnuProgram_OptFeatures", "mnuSetup_CommPort", "mnuSetup_Lang", "mnuHelp_About",
                                   "tlbActions_Print", "Ctrl+E", "mnuEdit_ChangeSelected", "mnuEdit_Sort"}) {
            QTest::addRow("%s en", action) << QString::fromLatin1(action) << int(kEnglish);
            QTest::addRow("%s zh", action) << QString::fromLatin1(action) << int(kChinese);
        }
    }
    void dialogsNameEveryControl()
    {
        QFETCH(QString, action);
        QFETCH(int, language);
        switchLanguage(language);
        QStringList unnamed{QStringLiteral("no dialog")};
        onModal([&unnamed](QWidget *dialog) {
            unnamed = test::UnnamedFocusables(dialog);
            qobject_cast<QDialog *>(dialog)->reject();
        });
        if (action == QLatin1String("Ctrl+E")) { // the copy dialog, on a channel in use
            setUp([](MemoryImage &image) { WriteFreqLowFirst(image, 0, 0, "145.00000"); });
            window->focusGrid(1, 1);
            QTest::keyClick(table(), Qt::Key_E, Qt::ControlModifier);
        } else {
            child<QAction>(action)->trigger();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    void theMemoryMapReadsAddressAndValue()
    {
        QTest::keyClick(table(), Qt::Key_M, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        auto *map = window->findChild<QDialog *>(QStringLiteral("frmMemoryMap"));
        QVERIFY(map != nullptr);
        const QStringList unnamed = test::UnnamedFocusables(map);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(map->findChild<QTableWidget *>(QStringLiteral("msgMemory")));
        QCOMPARE(grid->tableInterface()->cellAt(0x0A, 0x0E)->text(QAccessible::Name), QStringLiteral("Address 0x0AE, value FF"));
        map->close();
    }

    void theGridReadsLikeATable()
    {
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(table());
        QVERIFY(grid != nullptr);
        QCOMPARE(grid->role(), QAccessible::Table);
        QAccessibleTableInterface *t = grid->tableInterface();
        QVERIFY(t != nullptr);
        QCOMPARE(t->rowCount(), 128);
        QCOMPARE(t->columnCount(), 9);
        QAccessibleInterface *cell = t->cellAt(4, 0);
        QAccessibleTableCellInterface *c = cell->tableCellInterface();
        QCOMPARE(c->columnHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("RX Freq"));
        QCOMPARE(c->rowHeaderCells().value(0)->text(QAccessible::Name), QStringLiteral("5"));
        // An empty channel says so instead of nothing.
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("empty"));
        QCOMPARE(cell->text(QAccessible::Description), QStringLiteral("Channel 5, RX Freq"));
    }

    // What a reader speaks when the current cell moves: the cell the table reports as its
    // focus, with the value and where it is.
    QString spokenCell()
    {
        QAccessibleInterface *focus = QAccessible::queryAccessibleInterface(table())->focusChild();
        return focus ? focus->text(QAccessible::Name) + QLatin1Char('|') + focus->text(QAccessible::Description) : QString();
    }

    void movingTheCurrentCellAnnouncesIt()
    {
        setUp([](MemoryImage &image) { WriteFreqLowFirst(image, 1, 0, "145.12500"); });
        table()->setFocus();
        QTRY_VERIFY(table()->hasFocus());
        g_events.clear();
        QTest::keyClick(table(), Qt::Key_Down);
        QCOMPARE(spokenCell(), QStringLiteral("145.12500|Channel 2, RX Freq"));
        if (QAccessible::isActive()) {
            QStringList focus;
            for (const SeenEvent &e : g_events) {
                if (e.type == QAccessible::Focus && e.object == table())
                    focus << e.text;
            }
            QVERIFY2(focus.contains(spokenCell()), qPrintable(focus.join(';')));
        }
        switchLanguage(kChinese);
        QTest::keyClick(table(), Qt::Key_Down);
        QCOMPARE(spokenCell(), QStringLiteral("空|信道 3，接收频率"));
    }

    void theEditorSaysWhatItEdits()
    {
        window->channelGrid()->setCurrentCell(5, 1);
        table()->setFocus();
        QTest::keyClick(table(), Qt::Key_Return);
        auto *editor = child<QLineEdit>(QStringLiteral("txtMemChannel"));
        QTRY_VERIFY(editor->hasFocus());
        QCOMPARE(editor->accessibleName(), QStringLiteral("Channel 5, RX Freq"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(table()->hasFocus());
    }

    void statusMessagesAreAnnounced()
    {
        window->statusBar()->showMessage(QStringLiteral("Backup saved: x.dat"));
        if (QAccessible::isActive()) {
            bool alerted = false;
            for (const SeenEvent &e : g_events)
                alerted |= e.type == QAccessible::Alert && e.object == window->statusBar();
            QVERIFY(alerted);
        }
        QCOMPARE(window->statusBar()->accessibleName(), QStringLiteral("Backup saved: x.dat"));
    }

    void f6MovesBetweenThePanes()
    {
        table()->setFocus();
        QTRY_VERIFY(table()->hasFocus());
        QStringList visited;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.value(0), QStringLiteral("cboGenFreq"));
        QVERIFY2(visited.value(1).startsWith(QStringLiteral("tlbActions_")), qPrintable(visited.join(',')));
        QCOMPARE(visited.value(2), QStringLiteral("msgMemChannel"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget()->objectName().startsWith(QStringLiteral("tlbActions_")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("msgMemChannel"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
