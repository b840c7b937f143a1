// The commands over many channels as a user reaches them: the Edit menu, the grid's context
// menu and their keys; each one undo step named for what it did.

#include <functional>

#include <QAction>
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
#include "mainwindow/grid_control.h"
#include "model/channel_operations.h"

using namespace zrk6;

class TestGridCommands : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTableWidget *table() { return child<QTableWidget>(QStringLiteral("msgMemChannel")); }
    QAction *action(const char *name) { return child<QAction>(QString::fromLatin1(name)); }
    GridControl &grid() { return window->channelGrid()->grid(); }
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
            dialog->findChild<QComboBox *>(QStringLiteral("cboChangeTxPower"))->setCurrentIndex(2);
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
