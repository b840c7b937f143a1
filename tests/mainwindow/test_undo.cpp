// Every kind of edit is one undo step of the document: undo gives back the image before,
// byte for byte, redo the image after; the title's marker and the close question follow the
// saved state. Driven through the main window's real widgets.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <functional>

#include "dialogs/copy_dialog.h"
#include "dialogs/memory_map_dialog.h"
#include "files/data_file_io.h"
#include "mainwindow/channel_commands.h"
#include "mainwindow/channel_grid.h"
#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "record_fixtures.h"
#include "main_window_fixture.h"

using namespace zrk6;

class TestUndo;
// One kind of edit, made through the window's widgets.
using Edit = std::function<void(TestUndo &)>;
Q_DECLARE_METATYPE(Edit)

class TestUndo : public QObject, private test::MainWindowFixture {
    Q_OBJECT

    QTableView *table() const { return child<QTableView>(QStringLiteral("msgMemChannel")); }
    QLineEdit *entry() const { return child<QLineEdit>(QStringLiteral("txtMemChannel")); }
    QString cell(int channel, int column) const { return window->channelGrid()->cellText(channel, column); }
    QAction *action(const char *name) const { return child<QAction>(QString::fromLatin1(name)); }

    // Channels 2 and 3 in use, 3 with a transmit frequency and an encode tone; unmodified.
    void startWithChannels()
    {
        freshSettings(QStringLiteral("zrk6.ini"));
        start();
        setUp([this](MemoryImage &image) {
            StoreRxFrequency(image, 2, "145.12500", doc().band());
            StoreRxFrequency(image, 3, "144.50000", doc().band());
            StoreTxFrequency(image, 3, "145.10000");
            WriteChannelTone(image, 3, ChannelColumn::Encode, "67.0");
        });
    }

    // A digit on the grid starts the entry; Enter commits it.
    void typeCell(int channel, int column, const QString &text)
    {
        window->focusGrid(channel, column);
        QTest::keyClick(table(), text.at(0).toLatin1());
        QTest::keyClicks(entry(), text.mid(1));
        QTest::keyClick(entry(), Qt::Key_Return);
    }

    // Enter opens the cell's drop-down; one Down arrow chooses the next item.
    void nextItem(int channel, int column)
    {
        window->focusGrid(channel, column);
        QTest::keyClick(table(), Qt::Key_Return);
        QComboBox *box = child<QComboBox>(column <= 4 ? QStringLiteral("cboFeature0") : QStringLiteral("cboFeature1"));
        QVERIFY(box->isVisible());
        QTest::keyClick(box, box->currentIndex() + 1 < box->count() ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(box, Qt::Key_Return);
    }

    // Runs act on the next modal dialog once it shows.
    void onModal(const std::function<void(QWidget *)> &act)
    {
        QTimer::singleShot(0, this, [this, act] {
            if (QWidget *modal = QApplication::activeModalWidget())
                act(modal);
            else
                onModal(act);
        });
    }

    // The copy dialog as the copy keys open it, driven without its modal loop.
    CopyDialog *openCopy(int mode, int channel)
    {
        copy_ = window->channelCommands().copyDialog(window.get(), mode, channel);
        copy_->show();
        return copy_.get();
    }
    std::unique_ptr<CopyDialog> copy_;

private slots:
    void cleanup()
    {
        copy_.reset();
        stop();
    }

    void undoAndRedoEachKindOfEdit_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("name"); // the undo step's name as the Edit menu shows it

        auto row = [](const char *tag, const char *name, Edit edit) {
            QTest::newRow(tag) << edit << QString::fromUtf8(name);
        };
        row("RX Freq", "RX Freq of Channel 2", [](TestUndo &t) { t.typeCell(2, 1, QStringLiteral("145.5")); });
        row("RX Freq of an empty channel", "RX Freq of Channel 9",
            [](TestUndo &t) { t.typeCell(9, 1, QStringLiteral("144.25")); });
        row("RX Freq erased", "RX Freq of Channel 3", [](TestUndo &t) {
            t.window->focusGrid(3, 1);
            QTest::keyClick(t.table(), Qt::Key_Return);
            t.entry()->clear();
            QTest::keyClick(t.entry(), Qt::Key_Return);
        });
        row("TX Freq", "TX Freq of Channel 2", [](TestUndo &t) { t.typeCell(2, 2, QStringLiteral("145.7")); });
        row("Decode", "Decode of Channel 2", [](TestUndo &t) { t.nextItem(2, 3); });
        row("Encode", "Encode of Channel 3", [](TestUndo &t) { t.nextItem(3, 4); });
        row("W/N", "W/N of Channel 2", [](TestUndo &t) { t.nextItem(2, 5); });
        row("Scan", "Scan of Channel 2", [](TestUndo &t) { t.nextItem(2, 6); });
        row("TX Power", "TX Power of Channel 2", [](TestUndo &t) { t.nextItem(2, 7); });
        row("BCL", "BCL of Channel 2", [](TestUndo &t) { t.nextItem(2, 8); });
        row("Scrambler", "Scrambler of Channel 2", [](TestUndo &t) { t.nextItem(2, 9); });
        row("channel copy", "Copy Channel 3 to 12", [](TestUndo &t) {
            CopyDialog *d = t.openCopy(0, 3);
            d->destinationBox()->setText(QStringLiteral("12"));
            QTest::keyClick(d->destinationBox(), Qt::Key_Return);
            QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
        });
        row("frequency copy", "Frequency Copy to Channel 2", [](TestUndo &t) {
            CopyDialog *d = t.openCopy(1, 2);
            d->destinationBox()->setText(QStringLiteral("145.3"));
            QTest::keyClick(d->destinationBox(), Qt::Key_Return);
        });
        row("tone copy", "QT/DQT Copy to Channel 3", [](TestUndo &t) {
            CopyDialog *d = t.openCopy(2, 3);
            d->toneList()->setCurrentIndex(d->toneList()->findText(QStringLiteral("D023N")));
            QTest::keyClick(d->toneList(), Qt::Key_Return);
        });
        row("insert", "Insert Channel 2", [](TestUndo &t) {
            t.window->focusGrid(2, 1);
            QTest::keyClick(t.table(), Qt::Key_I, Qt::ControlModifier);
        });
        row("delete", "Delete Channel 2", [](TestUndo &t) {
            t.window->focusGrid(2, 1);
            QTest::keyClick(t.table(), Qt::Key_D, Qt::ControlModifier);
        });
        row("band change", "Change Band to 446 - 447 MHz", [](TestUndo &t) {
            t.prompts->answers = {QMessageBox::Ok};
            auto *bands = t.child<QComboBox>(QStringLiteral("cboGenFreq"));
            bands->setFocus();
            bands->setCurrentIndex(kBand446);
        });
        row("memory map", "Memory Map Edit", [](TestUndo &t) {
            emit t.window->channelGrid()->memoryMapRequested();
            auto *map = t.window->findChild<MemoryMapDialog *>();
            QVERIFY(map != nullptr);
            map->grid()->setCurrentCell(0x20, 5);
            QTest::keyClick(map->grid(), Qt::Key_7);
            QTest::keyClick(map->editor(), Qt::Key_Return);
            QTest::mouseClick(map->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        row("optional features", "Change Optional Features", [](TestUndo &t) {
            t.onModal([](QWidget *dialog) {
                dialog->findChild<QComboBox *>(QStringLiteral("cboFeatureGen2"))->setCurrentIndex(8);
                dialog->findChild<QCheckBox *>(QStringLiteral("chkFeatureGen4"))->toggle();
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
            });
            t.action("mnuProgram_OptFeatures")->trigger();
        });
    }

    void undoAndRedoEachKindOfEdit()
    {
        QFETCH(Edit, edit);
        QFETCH(QString, name);
        startWithChannels();
        const MemoryImage before = image();
        const Band bandBefore = doc().band();
        const QString titleBefore = shownTitle();

        edit(*this);
        const MemoryImage after = image();
        QVERIFY(!(after == before));
        QCOMPARE(doc().undoStack().count(), 1); // one user action, one step
        QCOMPARE(action("mnuEdit_Undo")->text(), QStringLiteral("&Undo ") + name);
        QVERIFY(shownTitle().endsWith(QStringLiteral("*]")));
        const QStringList shownAfter = [this] {
            QStringList texts;
            for (int c = 1; c <= 9; ++c)
                texts << cell(3, c);
            return texts;
        }();

        action("mnuEdit_Undo")->trigger();
        QVERIFY(image() == before);
        QCOMPARE(doc().band(), bandBefore);
        QCOMPARE(shownTitle(), titleBefore);
        QCOMPARE(cell(3, 1), QStringLiteral("144.50000")); // the grid follows
        QCOMPARE(action("mnuEdit_Redo")->text(), QStringLiteral("&Redo ") + name);
        QVERIFY(!action("mnuEdit_Undo")->isEnabled());

        action("mnuEdit_Redo")->trigger();
        QVERIFY(image() == after);
        QVERIFY(shownTitle().endsWith(QStringLiteral("*]")));
        for (int c = 1; c <= 9; ++c)
            QCOMPARE(cell(3, c), shownAfter.at(c - 1));
    }

    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z from the grid.
    void shortcutsFromTheGrid()
    {
        startWithChannels();
        const MemoryImage before = image();
        typeCell(2, 1, QStringLiteral("145.5"));
        const MemoryImage after = image();
        QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(image() == before);
        QTest::keyClick(table(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(image() == after);
        QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(image() == after);
    }

    // Undoing back to the saved state clears the marker and closing asks nothing; one more
    // edit brings both back. Open, Read and New start a new history.
    void cleanStateFollowsTheSavedImage()
    {
        startWithChannels();
        const QString file = dir->filePath(QStringLiteral("radio.dat"));
        prompts->fileNames = {file};
        action("mnuFile_SaveAs")->trigger();
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: radio.dat]"));

        typeCell(2, 1, QStringLiteral("145.5"));
        typeCell(4, 1, QStringLiteral("144.75"));
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: radio.dat*]"));
        action("mnuEdit_Undo")->trigger();
        QVERIFY(doc().isModified());
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: radio.dat]"));
        QVERIFY(image() == LoadDataFile(file).image);
        QVERIFY(window->close());
        QVERIFY(prompts->shown.isEmpty());

        window->show();
        typeCell(5, 1, QStringLiteral("145"));
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: radio.dat*]"));
        prompts->answers = {QMessageBox::Cancel};
        QVERIFY(!window->close());
        QCOMPARE(prompts->shownIds(), QList<int>{1111});

        // Opening a file replaces the history: nothing to undo, nothing marked.
        prompts->answers = {QMessageBox::No};
        prompts->fileNames = {file};
        action("mnuFile_Open")->trigger();
        QVERIFY(!action("mnuEdit_Undo")->isEnabled());
        QVERIFY(!action("mnuEdit_Redo")->isEnabled());
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: radio.dat]"));
    }

    // A wheel notch over the band list without the focus changes nothing and asks nothing.
    void wheelOverTheUnfocusedBandListIsIgnored()
    {
        startWithChannels();
        auto *bands = child<QComboBox>(QStringLiteral("cboGenFreq"));
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(table())); // the grid starts with the focus
        const MemoryImage before = image();
        const int index = bands->currentIndex();
        const QPoint at = bands->rect().center();
        for (int delta : {-120, 120}) {
            QWheelEvent wheel(at, bands->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(bands, &wheel);
        }
        QCOMPARE(bands->currentIndex(), index);
        QVERIFY(prompts->shown.isEmpty());
        QVERIFY(image() == before);
        // With the focus the wheel works as usual (and then asks).
        bands->setFocus();
        prompts->answers = {QMessageBox::Cancel};
        QWheelEvent wheel(at, bands->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(bands, &wheel);
        QCOMPARE(prompts->shownIds(), QList<int>{1329});
        QCOMPARE(bands->currentIndex(), index);
    }

    // Save and Save As write a typed entry that was not committed yet.
    void saveWritesTheOpenEntry_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Save of an untitled document") << "mnuFile_Save";
        QTest::newRow("Save As") << "mnuFile_SaveAs";
        QTest::newRow("Save of a named document") << "named";
    }

    void saveWritesTheOpenEntry()
    {
        QFETCH(QString, command);
        startWithChannels();
        const QString file = dir->filePath(QStringLiteral("entry.dat"));
        if (command == QLatin1String("named")) {
            prompts->fileNames = {file};
            action("mnuFile_SaveAs")->trigger();
            command = QStringLiteral("mnuFile_Save");
        }
        window->focusGrid(6, 1);
        QTest::keyClick(table(), Qt::Key_1);
        QTest::keyClicks(entry(), QStringLiteral("45.625"));
        const QPointer<QLineEdit> open = entry();
        QVERIFY(open->isVisible());
        prompts->fileNames = {file};
        child<QAction>(command)->trigger();
        QVERIFY(open.isNull() || open->isHidden());
        const LoadedDataFile saved = LoadDataFile(file);
        QVERIFY(saved.ok());
        QCOMPARE(QString::fromStdString(ReadFreqLowFirst(saved.image, 5, 0)), QStringLiteral("145.62500"));
        QVERIFY(saved.image == image());
        QVERIFY(!doc().isModified());
    }

    // The memory map open beside the grid shows a grid edit at once, and its OK shows in the grid.
    void memoryMapStaysInStepWithTheGrid()
    {
        startWithChannels();
        emit window->channelGrid()->memoryMapRequested();
        auto *map = window->findChild<MemoryMapDialog *>();
        QVERIFY(map != nullptr);
        auto byte = [map](int address) { return map->grid()->item(address / 16, address % 16)->text(); };
        QCOMPARE(byte(0x10), QStringLiteral("00")); // channel 2 receives on 145.12500: 00 25 51 14
        QCOMPARE(byte(0x11), QStringLiteral("25"));

        window->activateWindow();
        typeCell(2, 1, QStringLiteral("145.5")); // 00 00 55 14
        QCOMPARE(byte(0x11), QStringLiteral("00"));
        QCOMPARE(byte(0x12), QStringLiteral("55"));
        action("mnuEdit_Undo")->trigger();
        QCOMPARE(byte(0x11), QStringLiteral("25"));
        QCOMPARE(byte(0x12), QStringLiteral("51"));

        map->grid()->setCurrentCell(1, 1);
        QTest::keyClick(map->grid(), Qt::Key_7);
        QTest::keyClick(map->editor(), Qt::Key_Return);
        QTest::mouseClick(map->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QCOMPARE(cell(2, 1), QStringLiteral("145.10700")); // 00 07 51 14
    }
};

QTEST_MAIN(TestUndo)
#include "test_undo.moc"
