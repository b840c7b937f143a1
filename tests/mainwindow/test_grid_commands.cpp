// The commands over many channels as a user reaches them: the Edit menu, the grid's context
// menu and their keys; each one undo step named for what it did.

#include <functional>

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "main_window_fixture.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/grid_commands.h"
#include "mainwindow/channel_table_view.h"
#include "model/channel_operations.h"

using namespace zrk6;

class TestGridCommands : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTableView *table() { return child<QTableView>(QStringLiteral("msgMemChannel")); }
    QAction *action(const char *name) { return child<QAction>(QString::fromLatin1(name)); }
    ChannelTableView &grid() { return window->channelGrid()->grid(); }
    ChannelValue channel(int n) { return ReadChannel(image(), n, doc().band()); }
    QString undoText() { return action("mnuEdit_Undo")->text(); }

    // Channels 1..4 at 145.4, 144.2, 145.0 and 144.6 MHz; 3 repeats 1's frequencies as 4 does 2's
    // after the edit below. Priority channel 2.
    void fourChannels()
    {
        setUp([this](MemoryImage &image) {
            const char *rx[] = {"145.40000", "144.20000", "145.40000", "144.60000"};
            for (int i = 0; i < 4; ++i) {
                ChannelValue v;
                v.rx = *ParseFreqText(rx[i]);
                v.tx = v.rx;
                WriteChannel(image, i + 1, v, doc().band());
            }
            image.set(addr::kPriorityChannel, 2);
        });
    }

    void onModal(std::function<void(QWidget *)> act) { test::OnNextModal(this, std::move(act)); }

    QPoint labelAt(int channel)
    {
        QHeaderView *labels = table()->verticalHeader();
        table()->scrollTo(table()->model()->index(channel - 1, 0));
        return {labels->width() / 2, labels->sectionViewportPosition(channel - 1) + labels->sectionSize(channel - 1) / 2};
    }
    void clickLabel(int channel, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(table()->verticalHeader()->viewport(), Qt::LeftButton, modifiers, labelAt(channel));
    }
    void key(int k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(table(), Qt::Key(k), modifiers); }
    std::vector<int> rows() { return grid().selectedRows(); }
    bool noEditor() { return grid().channelDelegate()->openEditor() == nullptr; }
    static std::vector<int> range(int first, int last)
    {
        std::vector<int> r;
        for (int n = first; n <= last; ++n)
            r.push_back(n);
        return r;
    }
    QString selectionShown() { return child<QLabel>(QStringLiteral("staSelection"))->text(); }

private slots:
    void init()
    {
        freshSettings(QStringLiteral("zrk6.ini"));
        start();
    }
    void cleanup() { stop(); }

    void everyCommandHasAHomeWithItsKeys()
    {
        const QStringList wanted{QStringLiteral("mnuEdit_Undo"),          QStringLiteral("mnuEdit_CopyChannels"),
                                 QStringLiteral("mnuEdit_CutChannels"),   QStringLiteral("mnuEdit_PasteChannels"),
                                 QStringLiteral("mnuEdit_ClearChannels"), QStringLiteral("mnuEdit_SelectAll"),
                                 QStringLiteral("mnuEdit_InsertChannel"), QStringLiteral("mnuEdit_DeleteChannel"),
                                 QStringLiteral("mnuEdit_CopyChannel"),   QStringLiteral("mnuEdit_InsertEmptyChannels"),
                                 QStringLiteral("mnuEdit_DeleteChannels"), QStringLiteral("mnuEdit_ChangeSelected"),
                                 QStringLiteral("mnuEdit_Sort"),          QStringLiteral("mnuEdit_MoveUp"),
                                 QStringLiteral("mnuEdit_MoveDown"),      QStringLiteral("mnuEdit_Compact"),
                                 QStringLiteral("mnuEdit_SelectDuplicates")};
        for (const char *menuName : {"mnuEdit", "mnuGridContext"}) {
            QStringList names;
            for (QAction *a : child<QMenu>(QString::fromLatin1(menuName))->actions())
                names << a->objectName();
            for (const QString &name : wanted)
                QVERIFY2(names.contains(name), qPrintable(QStringLiteral("%1 lacks %2").arg(QLatin1String(menuName), name)));
        }
        QVERIFY(action("mnuEdit_InsertChannel")->text().endsWith(QStringLiteral("\tCtrl+I")));
        QVERIFY(action("mnuEdit_ClearChannels")->text().endsWith(QStringLiteral("\tDel")));
        QCOMPARE(action("mnuEdit_CutChannels")->shortcut(), QKeySequence(QKeySequence::Cut));
        QCOMPARE(action("mnuEdit_ChangeSelected")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+E")));
        // Shift+F10 on the grid opens the context menu.
        table()->setFocus();
        QTest::keyClick(table(), Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(child<QMenu>(QStringLiteral("mnuGridContext"))->isVisible());
        child<QMenu>(QStringLiteral("mnuGridContext"))->close();
        // The captions follow the language.
        state->language = kChinese;
        window->applyLanguage();
        QCOMPARE(action("mnuEdit_Compact")->text(), QStringLiteral("紧缩信道(&M)"));
    }

    void theMenuEntryOfAKeyActsAsTheKey()
    {
        fourChannels();
        window->focusGrid(2, 1);
        action("mnuEdit_InsertChannel")->trigger();
        QVERIFY(!IsChannelInUse(image(), 2, doc().band()));
        QCOMPARE(channel(3).rx, *ParseFreqText("144.20000"));
    }

    void changeSelectedChannelsIsOneNamedUndoStep()
    {
        fourChannels();
        const MemoryImage before = image();
        grid().selectRows({1, 2, 3, 5});
        onModal([](QWidget *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("chkChangeTxPower"))->setChecked(true);
            auto *power = dialog->findChild<QComboBox *>(QStringLiteral("cboChangeTxPower"));
            power->setCurrentIndex(power->findText(QStringLiteral("Low")));
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        QTest::keyClick(table(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        for (int n : {1, 2, 3})
            QCOMPARE(channel(n).power, TxPower::Low);
        QCOMPARE(channel(4).power, TxPower::High);
        QVERIFY(!IsChannelInUse(image(), 5, doc().band()));
        QCOMPARE(undoText(), QStringLiteral("&Undo Set TX Power (3 channels)"));
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(image(), before);
    }

    void leftAloneChannelsAreNamed()
    {
        fourChannels();
        grid().selectRows({1, 2});
        onModal([](QWidget *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("chkChangeTxRelation"))->setChecked(true);
            dialog->findChild<QComboBox *>(QStringLiteral("cboChangeTxRelation"))->setCurrentIndex(1);
            dialog->findChild<QDoubleSpinBox *>(QStringLiteral("txtChangeOffset"))->setValue(0.8);
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        action("mnuEdit_ChangeSelected")->trigger();
        QCOMPARE(channel(2).tx, *ParseFreqText("145.00000"));
        QCOMPARE(channel(1).tx, *ParseFreqText("145.40000")); // 146.2 MHz would leave the band
        QCOMPARE(prompts->shownIds(), QList<int>{1903});
        QVERIFY(prompts->shown.last().text.contains(QStringLiteral(": 1.")));
    }

    // The channels Move Up, Move Down and Compact move stay selected where they went.
    void theMovedChannelsStaySelected()
    {
        fourChannels();
        setUp([](MemoryImage &image) { EraseChannel(image, 2); });
        clickLabel(3);
        action("mnuEdit_MoveDown")->trigger();
        QCOMPARE(rows(), std::vector<int>{4});
        action("mnuEdit_MoveUp")->trigger();
        QCOMPARE(rows(), std::vector<int>{3});

        clickLabel(3);
        clickLabel(4, Qt::ShiftModifier);
        action("mnuEdit_Compact")->trigger();
        QCOMPARE(channel(2).rx, ParseFreqText("145.40000"));
        QCOMPARE(rows(), (std::vector<int>{2, 3}));
    }

    // A command of the context menu acts on the row right-clicked: outside the selection the
    // click selects that row first, inside it the selection stays.
    void aRightClickSelectsTheRowItActsOn()
    {
        fourChannels();
        window->focusGrid(4, 1);
        auto rightClick = [this](int channel) {
            const QModelIndex at = table()->model()->index(channel - 1, 2);
            QTest::mouseClick(table()->viewport(), Qt::RightButton, {}, table()->visualRect(at).center());
        };
        rightClick(2);
        QCOMPARE(grid().row(), 2);
        QCOMPARE(rows(), std::vector<int>{2});
        action("mnuEdit_ClearChannels")->trigger();
        QVERIFY(!channel(2).rx.has_value());
        QVERIFY(channel(4).rx.has_value());

        clickLabel(3);
        clickLabel(4, Qt::ShiftModifier);
        rightClick(3);
        QCOMPARE(rows(), (std::vector<int>{3, 4}));
    }

    void sortMoveAndCompactEachUndoAsOneStep()
    {
        fourChannels();
        const MemoryImage start = image();
        onModal([](QWidget *dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        action("mnuEdit_Sort")->trigger();
        QCOMPARE(channel(1).rx, *ParseFreqText("144.20000"));
        QCOMPARE(image().at(addr::kPriorityChannel), std::uint8_t{1}); // the priority followed
        QCOMPARE(undoText(), QStringLiteral("&Undo Sort Channels"));

        window->focusGrid(1, 1);
        QTest::keyClick(table(), Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(channel(2).rx, *ParseFreqText("144.20000"));
        QCOMPARE(grid().row(), 2);

        action("mnuEdit_Undo")->trigger();
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(image(), start);

        action("mnuEdit_SelectDuplicates")->trigger();
        QCOMPARE(grid().selectedRows(), std::vector<int>{3});
        action("mnuEdit_DeleteChannels")->trigger();
        QVERIFY(!IsChannelInUse(image(), 4, doc().band()));
        QCOMPARE(channel(3).rx, *ParseFreqText("144.60000"));
    }

    void newIsOneUndoStepThatGivesTheEditsBack()
    {
        fourChannels();
        doc().markSaved("radio.dat");
        window->focusGrid(1, 7);
        action("mnuEdit_Compact")->trigger(); // nothing to close: no step
        grid().selectRows({1});
        action("mnuEdit_DeleteChannels")->trigger();
        const MemoryImage edited = image();
        QVERIFY(doc().isModified());
        prompts->answers = {QMessageBox::Ok};
        action("mnuFile_New")->trigger();
        QVERIFY(!IsChannelInUse(image(), 1, doc().band()));
        QVERIFY(!doc().isModified());
        QCOMPARE(undoText(), QStringLiteral("&Undo New"));
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(image(), edited);
        QCOMPARE(doc().fileName(), std::string("radio.dat"));
        QVERIFY(doc().isModified());
    }

    void rowLabelsSelectByClickAndDragWithoutOpeningAnEditor()
    {
        fourChannels();
        window->focusGrid(7, 5);
        clickLabel(2);
        QCOMPARE(rows(), std::vector<int>{2});
        QCOMPARE(grid().row(), 2);
        QVERIFY(noEditor());
        clickLabel(5, Qt::ShiftModifier);
        QCOMPARE(rows(), range(2, 5));
        QCOMPARE(selectionShown(), QStringLiteral("4 selected, 3 in use"));
        clickLabel(3, Qt::ControlModifier);
        QCOMPARE(rows(), (std::vector<int>{2, 4, 5}));

        // A drag over the labels selects the rows it passes, either way.
        QWidget *labels = table()->verticalHeader()->viewport();
        QTest::mousePress(labels, Qt::LeftButton, {}, labelAt(9));
        QTest::mouseMove(labels, labelAt(12));
        QTest::mouseMove(labels, labelAt(7));
        QTest::mouseRelease(labels, Qt::LeftButton, {}, labelAt(7));
        QCOMPARE(rows(), range(7, 9));
        QVERIFY(noEditor());

        // A click on a cell ends the row selection.
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {},
                          table()->visualRect(table()->model()->index(1, 0)).center());
        QVERIFY(rows().empty());
        QCOMPARE(selectionShown(), QString());
    }

    void keysExtendTheSelectionFromTheCurrentRow()
    {
        fourChannels();
        window->focusGrid(3, 2);
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(rows(), range(3, 5));
        key(Qt::Key_Up, Qt::ShiftModifier);
        QCOMPARE(rows(), range(3, 4));
        key(Qt::Key_Home, Qt::ShiftModifier);
        QCOMPARE(rows(), range(1, 3));
        QCOMPARE(grid().row(), 1);
        key(Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(rows(), range(3, 128));
        key(Qt::Key_PageUp, Qt::ShiftModifier);
        QVERIFY(rows().front() == 3 && rows().back() < 128 && rows().back() > 100);
        key(Qt::Key_Up);
        QVERIFY(rows().empty());
        key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(rows(), range(1, 128));
        QCOMPARE(selectionShown(), QStringLiteral("128 selected, 4 in use"));
    }

    void copyCutPasteAndDeleteActOnTheSelectedRows()
    {
        fourChannels();
        const MemoryImage start = image();
        clickLabel(1);
        clickLabel(2, Qt::ShiftModifier);
        key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text().count(QStringLiteral("\r\n")), 3); // header and two rows

        // Pasted over selected rows the channels go from the first of them.
        clickLabel(20);
        clickLabel(10, Qt::ShiftModifier);
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(undoText(), QStringLiteral("&Undo Paste Channels"));
        for (int i = 0; i < kRowSize; ++i) {
            QCOMPARE(image().at(ChannelRow(10), i), image().at(ChannelRow(1), i));
            QCOMPARE(image().at(ChannelRow(11), i), image().at(ChannelRow(2), i));
        }
        const MemoryImage pasted = image();

        grid().selectRows({10, 11, 12});
        key(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!IsChannelInUse(image(), 10, doc().band()) && !IsChannelInUse(image(), 11, doc().band()));
        QCOMPARE(QApplication::clipboard()->text().count(QStringLiteral("\r\n")), 3);
        QCOMPARE(undoText(), QStringLiteral("&Undo Cut Channels (2)"));
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(image(), pasted);
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(image(), start);

        // Delete erases the selected rows; the priority channel among them becomes off.
        grid().selectRows({2, 3});
        key(Qt::Key_Delete);
        QVERIFY(!IsChannelInUse(image(), 2, doc().band()) && !IsChannelInUse(image(), 3, doc().band()));
        QCOMPARE(channel(4).rx, *ParseFreqText("144.60000")); // nothing moved up
        QCOMPARE(image().at(addr::kPriorityChannel), std::uint8_t{0});
        QCOMPARE(undoText(), QStringLiteral("&Undo Clear Channels (2)"));
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(image(), start);

        // Without selected rows Delete leaves the current channel alone.
        window->focusGrid(1, 1);
        QVERIFY(rows().empty());
        key(Qt::Key_Delete);
        QCOMPARE(image(), start);
    }

    void findGoesFromMatchToMatchWithEnterAndF3()
    {
        fourChannels();
        window->focusGrid(1, 1);
        key(Qt::Key_F, Qt::ControlModifier);
        auto *find = child<QDialog>(QStringLiteral("frmFind"));
        QTRY_VERIFY(find->isVisible());
        auto *entry = find->findChild<QLineEdit *>(QStringLiteral("txtFind"));
        auto *result = find->findChild<QLabel *>(QStringLiteral("lblFindResult"));
        QTRY_VERIFY(entry->hasFocus());
        QTest::keyClicks(entry, QStringLiteral("145.4"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(1, 2));
        QCOMPARE(result->text(), QStringLiteral("Channel 1, TX Freq"));
        QTest::keyClick(entry, Qt::Key_Enter);
        QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(3, 1));

        // F3 on the grid goes on; past the last match it starts again at the top.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->focusGrid();
        key(Qt::Key_F3);
        QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(3, 2));
        key(Qt::Key_F3);
        QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(1, 1));
        QVERIFY(find->isVisible());

        // A miss or a text that is no frequency or tone moves nothing and says so.
        for (const auto &[typed, said] : {std::pair{"146.9", "No channel holds 146.9."},
                                          std::pair{"abc", "abc is neither a frequency nor a tone."}}) {
            entry->setText(QString::fromLatin1(typed));
            action("mnuEdit_FindNext")->trigger();
            QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(1, 1));
            QCOMPARE(result->text(), QString::fromLatin1(said));
        }
        // The grid's own F3 with Shift (channel copy) is still the grid's.
        QCOMPARE(action("mnuEdit_FindNext")->shortcut(), QKeySequence(Qt::Key_F3));
    }

    // A part of a frequency finds the frequencies starting with it, and Find moves off the
    // cell it found.
    void findTakesAPartOfAFrequencyAndUncoversTheCell()
    {
        fourChannels();
        window->focusGrid(1, 1);
        key(Qt::Key_F, Qt::ControlModifier);
        auto *find = child<QDialog>(QStringLiteral("frmFind"));
        QTRY_VERIFY(find->isVisible());
        auto *entry = find->findChild<QLineEdit *>(QStringLiteral("txtFind"));
        entry->setText(QStringLiteral("144"));
        // Find over channel 2's RX cell, where the search lands.
        const QRect target = table()->visualRect(table()->model()->index(1, 0));
        const QPoint cellOnScreen = table()->viewport()->mapToGlobal(target.center());
        find->move(cellOnScreen - QPoint(find->frameGeometry().width() / 2, find->frameGeometry().height() / 2));
        QVERIFY(find->frameGeometry().contains(cellOnScreen));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(2, 1));
        QTRY_VERIFY(!find->frameGeometry().contains(cellOnScreen));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(2, 2));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(QPoint(grid().row(), grid().col()), QPoint(4, 1));
    }

    void undoCaptionsFollowALanguageChangeAndTheGridKeepsTheFocus()
    {
        fourChannels();
        grid().selectRows({2});
        key(Qt::Key_Delete);
        window->focusGrid(1, 7);
        onModal([](QWidget *dialog) {
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        action("mnuEdit_Sort")->trigger();
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(undoText(), QStringLiteral("&Undo Clear Channels (1)"));
        QCOMPARE(action("mnuEdit_Redo")->text(), QStringLiteral("&Redo Sort Channels"));

        const auto chooseLanguage = [this](int index) {
            onModal([index](QWidget *dialog) {
                dialog->findChild<QComboBox *>(QStringLiteral("cboLang"))->setCurrentIndex(index);
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
            });
            window->focusGrid();
            action("mnuSetup_Lang")->trigger();
        };
        chooseLanguage(kChinese);
        QCOMPARE(undoText(), QStringLiteral("撤消清除信道（1 个）(&U)"));
        QCOMPARE(action("mnuEdit_Redo")->text(), QStringLiteral("重做信道排序(&R)"));
        QCOMPARE(window->focusWidget(), table()); // where the keyboard is once the window is active again
        chooseLanguage(kEnglish);
        QCOMPARE(undoText(), QStringLiteral("&Undo Clear Channels (1)"));
        QCOMPARE(window->focusWidget(), table());
    }

    void draggingSelectedRowsByTheirLabelsMovesThemAsOneStep()
    {
        fourChannels();
        const MemoryImage start = image();
        clickLabel(1);
        clickLabel(2, Qt::ShiftModifier);
        QWidget *labels = table()->verticalHeader()->viewport();
        QTest::mousePress(labels, Qt::LeftButton, {}, labelAt(1));
        QTest::mouseMove(labels, labelAt(3));
        QTest::mouseMove(labels, labelAt(5));
        QTest::mouseRelease(labels, Qt::LeftButton, {}, labelAt(5));
        QCOMPARE(channel(5).rx, *ParseFreqText("145.40000"));
        QCOMPARE(channel(6).rx, *ParseFreqText("144.20000"));
        QCOMPARE(channel(1).rx, *ParseFreqText("145.40000")); // what was 3
        QVERIFY(!IsChannelInUse(image(), 3, doc().band()));
        QCOMPARE(image().at(addr::kPriorityChannel), std::uint8_t{6}); // the priority followed
        QCOMPARE(rows(), range(5, 6));
        QCOMPARE(undoText(), QStringLiteral("&Undo Move Channels"));
        QCOMPARE(doc().undoStack().count(), 1);

        // Past the top the rows stop at channel 1; a click without a drag selects one row.
        QTest::mousePress(labels, Qt::LeftButton, {}, labelAt(6));
        QTest::mouseMove(labels, labelAt(1));
        QTest::mouseRelease(labels, Qt::LeftButton, {}, labelAt(1));
        QCOMPARE(rows(), range(1, 2));
        QCOMPARE(image(), start);
        clickLabel(2);
        QCOMPARE(rows(), std::vector<int>{2});
        QCOMPARE(doc().undoStack().count(), 2);
    }

    void insertingWhereThereIsNoRoomChangesNothing()
    {
        setUp([this](MemoryImage &image) {
            ChannelValue v;
            v.rx = *ParseFreqText("145.00000");
            for (int n = 1; n <= 128; ++n)
                WriteChannel(image, n, v, doc().band());
        });
        const MemoryImage full = image();
        window->focusGrid(10, 1);
        onModal([](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->accept(); });
        action("mnuEdit_InsertEmptyChannels")->trigger();
        QCOMPARE(image(), full);
        QCOMPARE(prompts->shownIds(), QList<int>{1906});
    }
};

QTEST_MAIN(TestGridCommands)
#include "test_grid_commands.moc"
