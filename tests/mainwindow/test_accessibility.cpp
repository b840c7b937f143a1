// What a screen reader finds in the window: names in both languages, the grid as a table
// whose current cell is announced, status messages announced, and F6 between the panes.

#include <functional>

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "accessibility_walk.h"
#include "files/data_file_io.h"
#include "main_window_fixture.h"
#include "mainwindow/channel_grid.h"
#include "model/bcd_freq.h"
#include "record_fixtures.h"

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
    QTableView *table() { return child<QTableView>(QStringLiteral("msgMemChannel")); }
    void switchLanguage(LanguageMode language)
    {
        state->language = language;
        window->applyLanguage();
    }
    void onModal(std::function<void(QWidget *)> act) { test::OnNextModal(this, std::move(act)); }
    QFont normalFont_;

    // The dialogs a user can open, each by its menu entry or key.
    static void addDialogRows()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("language");
        for (const char *action : {"mnuProgram_OptFeatures", "mnuSetup_CommPort", "mnuSetup_Lang", "mnuHelp_About",
                                   "mnuFile_Print", "Ctrl+E", "mnuEdit_ChangeSelected", "mnuEdit_Sort",
                                   "mnuFile_Compare", "mnuProgram_Fleet", "mnuEdit_Find",
                                   "mnuEdit_InsertEmptyChannels"}) {
            QTest::addRow("%s en", action) << QString::fromLatin1(action) << int(kEnglish);
            QTest::addRow("%s zh", action) << QString::fromLatin1(action) << int(kChinese);
        }
    }

    // Opens the dialog of action in language and returns what look finds in it, or "no dialog".
    QStringList lookInDialog(const QString &action, int language, const std::function<QStringList(QWidget *)> &look)
    {
        switchLanguage(LanguageMode(language));
        if (action == QLatin1String("mnuEdit_Find")) { // not modal: it stays open beside the grid
            child<QAction>(action)->trigger();
            auto *find = window->findChild<QDialog *>(QStringLiteral("frmFind"));
            if (find == nullptr || !QTest::qWaitForWindowExposed(find))
                return {QStringLiteral("no dialog")};
            const QStringList found = look(find);
            find->close();
            return found;
        }
        QStringList found{QStringLiteral("no dialog")};
        onModal([&found, &look](QWidget *dialog) {
            found = look(dialog);
            qobject_cast<QDialog *>(dialog)->reject();
        });
        if (action == QLatin1String("Ctrl+E")) { // the copy dialog, on a channel in use
            setUp([](MemoryImage &image) { WriteFreqLowFirst(image, 0, 0, "145.00000"); });
            window->focusGrid(1, 1);
            QTest::keyClick(table(), Qt::Key_E, Qt::ControlModifier);
        } else if (action == QLatin1String("mnuFile_Compare")) {
            const QString other = dir->filePath(QStringLiteral("other.dat"));
            if (!SaveDataFile(other, image()).isEmpty())
                return {QStringLiteral("no file to compare with")};
            prompts->fileNames = {other};
            child<QAction>(action)->trigger();
        } else {
            child<QAction>(action)->trigger();
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        normalFont_ = QApplication::font();
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
    void cleanup()
    {
        stop();
        QApplication::setFont(normalFont_);
    }

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

    void dialogsNameEveryControl_data() { addDialogRows(); }
    void dialogsNameEveryControl()
    {
        QFETCH(QString, action);
        QFETCH(int, language);
        const QStringList unnamed = lookInDialog(action, language, [](QWidget *dialog) { return test::UnnamedFocusables(dialog); });
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    // Tab walks every control once, top to bottom and left to right, and Shift+Tab walks back.
    void dialogsTabInVisualOrder_data() { addDialogRows(); }
    void dialogsTabInVisualOrder()
    {
        QFETCH(QString, action);
        QFETCH(int, language);
        const QStringList faults = lookInDialog(action, language, [](QWidget *dialog) {
            // The optional features keep the order the program has always had: lists, check boxes, buttons.
            const QStringList prescribed =
                dialog->objectName() != QLatin1String("frmOptFeatures")
                    ? QStringList()
                    : QString::fromLatin1("cboFeatureGen1,cboFeatureGen2,cboFeatureGen4,cboFeatureGen5,cboFeatureGen6,"
                                          "cboFeatureGen7,cboFeatureVox1,cboFeatureVox2,chkFeatureGen1,chkFeatureGen2,"
                                          "chkFeatureGen4,cmdOK,cmdCancel,chkFeatureGen5")
                          .split(QLatin1Char(','));
            QStringList found = test::TabOrderFaults(dialog, prescribed);
            if (test::TabChain(dialog).isEmpty())
                found << QStringLiteral("nothing to Tab to");
            return found;
        });
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // Each control Tab reaches looks different while it has the focus.
    void dialogsMarkTheFocus_data() { addDialogRows(); }
    void dialogsMarkTheFocus()
    {
        QFETCH(QString, action);
        QFETCH(int, language);
        const QStringList unmarked = lookInDialog(action, language, [](QWidget *dialog) {
            QStringList found;
            // As after a Tab key: styles draw focus frames once the keyboard has moved the focus.
            dialog->setAttribute(Qt::WA_KeyboardFocusChange);
            // Focus events come only to the active window.
            dialog->activateWindow();
            if (!QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }, 2000))
                return QStringList{QStringLiteral("the dialog never became active")};
            const QList<QWidget *> chain = test::TabChain(dialog);
            for (qsizetype i = 0; i < chain.size(); ++i) {
                QWidget *control = chain[i];
                // The style draws the default button as it draws the focused one; the mark
                // is the default frame, which it keeps.
                auto *button = qobject_cast<QPushButton *>(control);
                if (button != nullptr && button->isDefault())
                    continue;
                if (chain.size() > 1)
                    chain[(i + 1) % chain.size()]->setFocus(Qt::TabFocusReason);
                else
                    control->clearFocus();
                QApplication::processEvents();
                const QImage without = control->grab().toImage();
                control->setFocus(Qt::TabFocusReason);
                QTest::qWait(10); // a caret is drawn on the next paint after the focus comes
                if (!control->hasFocus() || control->grab().toImage() == without)
                    found << test::Describe(control);
            }
            return found;
        });
        QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(QStringLiteral(", "))));
    }

    void theTabOrderCheckSeesFaults()
    {
        QDialog dialog;
        QLineEdit *fields[3];
        for (int i = 0; i < 3; ++i) {
            fields[i] = new QLineEdit(&dialog);
            fields[i]->setGeometry(10, 10 + 30 * i, 100, 20);
        }
        QVERIFY(test::TabOrderFaults(&dialog).isEmpty());
        QWidget::setTabOrder(fields[0], fields[2]); // the bottom field before the middle one
        QCOMPARE(test::TabOrderFaults(&dialog).size(), 1);
        QWidget::setTabOrder(fields[0], fields[1]);
        QVERIFY(test::TabOrderFaults(&dialog).isEmpty());
        auto *list = new QTableWidget(2, 2, &dialog);
        list->setGeometry(10, 100, 100, 100);
        QVERIFY(test::TabOrderFaults(&dialog).join(QString()).contains(QStringLiteral("Tab stays inside")));
    }

    // With a font half as large again nothing is cut off or drawn over its neighbour.
    void aLargeFontFits_data()
    {
        addDialogRows();
        QTest::addRow("main window en") << QString() << int(kEnglish);
        QTest::addRow("main window zh") << QString() << int(kChinese);
    }
    void aLargeFontFits()
    {
        QFETCH(QString, action);
        QFETCH(int, language);
        stop();
        QFont large = normalFont_;
        large.setPointSizeF(normalFont_.pointSizeF() * 1.5);
        QApplication::setFont(large);
        start();
        setUp([](MemoryImage &image) { WriteFreqLowFirst(image, 0, 0, "145.00000"); });
        // ZRK6_GRAB_DIR=folder keeps a picture of each window as the check saw it, to look at.
        const QString grabs = qEnvironmentVariable("ZRK6_GRAB_DIR");
        const QString picture = QStringLiteral("%1/%2.png").arg(grabs, QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
        QStringList faults;
        if (action.isEmpty()) {
            switchLanguage(LanguageMode(language));
            QApplication::processEvents();
            if (!grabs.isEmpty())
                window->grab().save(picture);
            faults = test::CutOffOrOverlapping(window.get());
            const int margin = 2 * table()->style()->pixelMetric(QStyle::PM_HeaderMargin);
            for (int c = 0; c < table()->model()->columnCount(); ++c) {
                const QString header = table()->model()->headerData(c, Qt::Horizontal).toString();
                const QString value = table()->model()->index(0, c).data().toString();
                const int wanted = std::max(table()->horizontalHeader()->fontMetrics().horizontalAdvance(header),
                                            table()->fontMetrics().horizontalAdvance(value)) + margin;
                if (table()->columnWidth(c) < wanted)
                    faults << QStringLiteral("column %1 is %2 wide for %3").arg(header).arg(table()->columnWidth(c)).arg(wanted);
            }
            if (table()->rowHeight(0) < table()->fontMetrics().height())
                faults << QStringLiteral("grid rows %1 high for a %2 font").arg(table()->rowHeight(0)).arg(table()->fontMetrics().height());
        } else {
            faults = lookInDialog(action, language, [&](QWidget *dialog) {
                if (!grabs.isEmpty())
                    dialog->grab().save(picture);
                return test::CutOffOrOverlapping(dialog);
            });
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
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

    // Escape and Enter in an editor on a cell give the focus back to the grid, and what the
    // reader hears is the cell the grid is on then: the same one, or the next after Enter.
    void leavingAnEditorSpeaksTheCellAgain_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("landsOn");
        QTest::addColumn<int>("language");
        struct Case {
            const char *name;
            int column;
            Qt::Key key;
            int landsOn;
        };
        for (const Case &c : {Case{"frequency, Escape", 1, Qt::Key_Escape, 1}, Case{"frequency, Enter", 1, Qt::Key_Return, 2},
                              Case{"tone list, Escape", 3, Qt::Key_Escape, 3}, Case{"tone list, Enter", 4, Qt::Key_Return, 5},
                              Case{"option list, Escape", 6, Qt::Key_Escape, 6}, Case{"option list, Enter", 6, Qt::Key_Return, 7}}) {
            QTest::addRow("%s en", c.name) << c.column << int(c.key) << c.landsOn << int(kEnglish);
            QTest::addRow("%s zh", c.name) << c.column << int(c.key) << c.landsOn << int(kChinese);
        }
    }
    void leavingAnEditorSpeaksTheCellAgain()
    {
        QFETCH(int, column);
        QFETCH(int, key);
        QFETCH(int, landsOn);
        QFETCH(int, language);
        switchLanguage(LanguageMode(language));
        setUp([](MemoryImage &image) {
            WriteFreqLowFirst(image, 1, 0, "145.12500");
            WriteFreqLowFirst(image, 1, 4, "145.12500");
        });
        window->channelGrid()->setCurrentCell(2, column);
        table()->setFocus();
        QTRY_VERIFY(table()->hasFocus());
        QTest::keyClick(table(), Qt::Key_Return);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor != nullptr && editor != table());
        QVERIFY2(spokenCell().endsWith(editor->accessibleName()), qPrintable(editor->accessibleName()));
        g_events.clear();
        QTest::keyClick(editor, Qt::Key(key));
        QTRY_VERIFY(table()->hasFocus());
        QCOMPARE(table()->currentIndex().row(), 1);
        QCOMPARE(table()->currentIndex().column(), landsOn - 1);
        const QString shown = table()->currentIndex().data().toString();
        const QString where = language == kEnglish ? QStringLiteral("Channel 2, %1") : QStringLiteral("信道 2，%1");
        QCOMPARE(spokenCell(), (shown.isEmpty() ? (language == kEnglish ? QStringLiteral("empty") : QStringLiteral("空")) : shown) +
                                   QLatin1Char('|') + where.arg(table()->model()->headerData(landsOn - 1, Qt::Horizontal).toString()));
        if (QAccessible::isActive()) {
            QString lastFocus;
            for (const SeenEvent &e : g_events) {
                if (e.type == QAccessible::Focus && e.object == table())
                    lastFocus = e.text;
            }
            QCOMPARE(lastFocus, spokenCell());
        }
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
            QWidget *before = QApplication::focusWidget();
            QTest::keyClick(before, Qt::Key_F6);
            QWidget *pane = QApplication::focusWidget();
            visited << pane->objectName();
            // The pane F6 reached shows it has the focus: its look differs from the same
            // widget without the focus, and the pane it left no longer looks focused.
            const QImage focused = pane->grab().toImage();
            before->setFocus(Qt::OtherFocusReason);
            QVERIFY2(pane->grab().toImage() != focused, qPrintable(pane->objectName()));
            QTest::keyClick(before, Qt::Key_F6);
            QCOMPARE(QApplication::focusWidget(), pane);
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
