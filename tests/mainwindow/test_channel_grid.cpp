// The channel grid and its in-place editors, driven through the real widgets.

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTableView>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

#include "document/image_document.h"
#include "mainwindow/channel_commands.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/channel_table_view.h"
#include "model/app_state.h"
#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "record_fixtures.h"
#include "twips.h"
#include "scripted_prompts.h"

using namespace zrk6;

namespace {

QString Tx(int id, LanguageMode language = kEnglish)
{
    return QString::fromUtf8(LoadText(id, language));
}

// The 16 bytes of a channel record.
QByteArray Record(const MemoryImage &image, int channel)
{
    QByteArray bytes;
    for (int c = 0; c < kRowSize; ++c)
        bytes.append(char(image.at(channel - 1, c)));
    return bytes;
}

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace

class TestChannelGrid : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppState> state;
    std::unique_ptr<ImageDocument> doc;
    std::unique_ptr<test::ScriptedPrompts> prompts;
    std::unique_ptr<ChannelCommands> commands;
    std::unique_ptr<QWidget> window;
    ChannelGrid *grid = nullptr;
    QLineEdit *other = nullptr; // another control to take the focus

    QTableView *table() { return &grid->view(); }
    // The open editor, if it is the frequency entry or the list of the tones (0) or options (1).
    QWidget *openEditor() { return grid->view().channelDelegate()->openEditor(); }
    QLineEdit *text() { return qobject_cast<QLineEdit *>(openEditor()); }
    QComboBox *feature(int i)
    {
        auto *box = qobject_cast<QComboBox *>(openEditor());
        return box != nullptr && box->objectName() == QStringLiteral("cboFeature%1").arg(i) ? box : nullptr;
    }
    static bool closed(const QWidget *editor) { return editor == nullptr || editor->isHidden(); }
    const MemoryImage &image() { return doc->image(); }
    // Changes the document as opening a file with those bytes would: no undo step.
    void setUp(const ImageDocument::Edit &change)
    {
        MemoryImage changed = doc->image();
        change(changed);
        doc->replace(changed, doc->band(), doc->fileName());
    }

    // Channel 2: RX only; channel 3: RX and TX (146.00000, the band's upper edge), tone
    // 67.0 encode, "Mid" power; every other channel empty.
    void fillChannels()
    {
        setUp([band = doc->band()](MemoryImage &image) {
            StoreRxFrequency(image, 2, "145.12500", band);
            StoreRxFrequency(image, 3, "144.50000", band);
            StoreTxFrequency(image, 3, "146.00000");
            WriteChannelTone(image, 3, ChannelColumn::Encode, "67.0");
            WriteChannelOption(image, 3, ChannelColumn::TxPower, "Mid", kEnglish);
        });
    }

    QPoint cellCenter(int row, int col)
    {
        const QModelIndex index = table()->model()->index(row - 1, col - 1);
        table()->scrollTo(index);
        return table()->visualRect(index).center();
    }

    void click(int row, int col, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(table()->viewport(), button, {}, cellCenter(row, col));
    }

    void key(QWidget *w, int k, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(w, Qt::Key(k), mods);
    }

    QPoint currentCell() { return {grid->view().row(), grid->view().col()}; }

    // Opens the text editor on a cell by a click and types text into it.
    void type(int row, int col, const QString &typed)
    {
        grid->setCurrentCell(row, col);
        click(row, col);
        QVERIFY(!closed(text()));
        text()->selectAll();
        if (typed.isEmpty())
            key(text(), Qt::Key_Backspace);
        else
            QTest::keyClicks(text(), typed);
    }

private slots:
    void init()
    {
        state = std::make_unique<AppState>();
        doc = std::make_unique<ImageDocument>();
        doc->replace(StartupImage(), Band{}, std::string(kUntitled));
        prompts = std::make_unique<test::ScriptedPrompts>();
        commands = std::make_unique<ChannelCommands>(*state, *doc, *prompts);
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        grid = new ChannelGrid(*state, *doc, *commands, window.get());
        other = new QLineEdit(window.get());
        layout->addWidget(grid);
        layout->addWidget(other);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        grid->view().setFocus();
    }

    void cleanup()
    {
        window.reset();
        commands.reset();
        prompts.reset();
        doc.reset();
        state.reset();
    }

    // ---- the grid control --------------------------------------------------------------

    void shapeLabelsAndHeaders()
    {
        const QAbstractItemModel *m = table()->model();
        QCOMPARE(m->rowCount(), 128);
        QCOMPARE(m->columnCount(), 9);
        QCOMPARE(m->headerData(0, Qt::Vertical).toString(), QStringLiteral("1"));
        QCOMPARE(m->headerData(127, Qt::Vertical).toString(), QStringLiteral("128"));
        const int headers[] = {1200, 1202, 1211, 1212, 1216, 1219, 1213, 1227, 1656};
        for (int c = 0; c < 9; ++c)
            QCOMPARE(m->headerData(c, Qt::Horizontal).toString(), Tx(headers[c]));
        QCOMPARE(m->index(0, 0).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QCOMPARE(currentCell(), QPoint(1, 1));
        QCOMPARE(state->currentChannel, 1);
        QVERIFY(openEditor() == nullptr);

        // The tone list holds every tone, "None" first, each item carrying its stored value.
        grid->setCurrentCell(1, 1);
        QTest::keyClick(table(), Qt::Key_1);
        QTest::keyClick(text(), Qt::Key_4);
        QTest::keyClick(text(), Qt::Key_5);
        QTest::keyClick(text(), Qt::Key_Return);
        grid->setCurrentCell(1, 3);
        key(table(), Qt::Key_Return);
        QVERIFY(feature(0) != nullptr);
        QCOMPARE(feature(0)->count(), 261);
        QCOMPARE(feature(0)->itemText(0), Tx(1104));
        QCOMPARE(feature(0)->currentData(), m->index(0, 2).data(Qt::EditRole));
        key(feature(0), Qt::Key_Escape);

        state->language = kChinese;
        grid->applyCaptions();
        QCOMPARE(m->headerData(8, Qt::Horizontal).toString(), Tx(1656, kChinese));
        QCOMPARE(m->index(0, 2).data().toString(), Tx(1104, kChinese));
    }

    void theCurrentCellFollowsKeysAndProgram()
    {
        grid->setCurrentCell(40, 6);
        QCOMPARE(currentCell(), QPoint(40, 6));
        QCOMPARE(state->currentChannel, 40);
        // The arrow keys move the current cell like the program does.
        key(table(), Qt::Key_Down);
        QCOMPARE(state->currentChannel, 41);
    }

    // ---- opening an editor -------------------------------------------------------------

    void clickAndEnterRules_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<int>("openColumn");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("shown");

        for (bool byEnter : {false, true}) {
            const char *how = byEnter ? "enter" : "click";
            QTest::addRow("%s W/N of an empty channel", how) << 10 << 5 << byEnter << 1 << "txtMemChannel" << "";
            QTest::addRow("%s TX of an empty channel", how) << 10 << 2 << byEnter << 1 << "txtMemChannel" << "";
            QTest::addRow("%s Encode without TX", how) << 2 << 4 << byEnter << 2 << "txtMemChannel" << "";
            QTest::addRow("%s Decode without TX", how) << 2 << 3 << byEnter << 3 << "cboFeature0" << Tx(1104);
            QTest::addRow("%s RX in use", how) << 2 << 1 << byEnter << 1 << "txtMemChannel" << "145.12500";
            QTest::addRow("%s Encode with TX", how) << 3 << 4 << byEnter << 4 << "cboFeature0" << "67.0";
            QTest::addRow("%s TX Power", how) << 3 << 7 << byEnter << 7 << "cboFeature1" << "Mid";
        }
    }

    void clickAndEnterRules()
    {
        QFETCH(int, channel);
        QFETCH(int, column);
        QFETCH(bool, byEnter);
        QFETCH(int, openColumn);
        QFETCH(QString, editor);
        QFETCH(QString, shown);
        fillChannels();

        grid->setCurrentCell(channel, column);
        if (byEnter)
            key(table(), Qt::Key_Return);
        else
            click(channel, column);

        QCOMPARE(currentCell(), QPoint(channel, openColumn));
        QWidget *open = openEditor();
        QVERIFY(open != nullptr && !open->isHidden());
        QCOMPARE(open->objectName(), editor);
        QTRY_VERIFY(open->hasFocus());
        // The editor lies over its cell.
        QVERIFY(table()->visualRect(table()->model()->index(channel - 1, openColumn - 1)).contains(open->geometry().center()));
        if (auto *line = qobject_cast<QLineEdit *>(open)) {
            QCOMPARE(line->text(), shown);
            QCOMPARE(line->selectedText(), shown);
        } else {
            QCOMPARE(qobject_cast<QComboBox *>(open)->currentText(), shown);
        }
        if (editor == "cboFeature1")
            QCOMPARE(feature(1)->count(), 3); // Low, Mid, High
        QCOMPARE(prompts->shown.size(), 0);
    }

    void clickingARowLabelSelectsItsRowWithoutEditing()
    {
        fillChannels();
        grid->setCurrentCell(8, 6);
        QHeaderView *labels = table()->verticalHeader();
        const QPoint at(labels->width() / 2, labels->sectionViewportPosition(2) + labels->sectionSize(2) / 2);
        QVERIFY(labels->viewport()->rect().contains(at));
        QTest::mouseClick(labels->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(currentCell(), QPoint(3, 6));
        QCOMPARE(grid->view().selectedRows(), std::vector<int>{3});
        QVERIFY(closed(text()));
        QVERIFY(closed(feature(1)));
        QVERIFY(table()->hasFocus());
    }

    void openingAnEditorWritesNothing()
    {
        fillChannels();
        doc->undoStack().setClean();
        for (int col = 1; col <= 9; ++col) {
            click(3, col);
            grid->closeCellEditor();
        }
        QVERIFY(!doc->isModified());
    }

    void digitStartsAnEntry_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<int>("openColumn");
        QTest::addColumn<QString>("entry");

        QTest::newRow("5 on RX of a channel in use") << 2 << 1 << int(Qt::Key_5) << false << 1 << "5";
        QTest::newRow("5 on TX of an empty channel") << 10 << 2 << int(Qt::Key_5) << false << 1 << "5";
        QTest::newRow("keypad 7 on TX in use") << 3 << 2 << int(Qt::Key_7) << true << 2 << "7";
        QTest::newRow("period") << 2 << 2 << int(Qt::Key_Period) << false << 2 << ".";
        QTest::newRow("keypad decimal") << 2 << 1 << int(Qt::Key_Period) << true << 1 << ".";
        QTest::newRow("digit on Decode does nothing") << 3 << 3 << int(Qt::Key_5) << false << 3 << QString();
        QTest::newRow("digit on Scrambler does nothing") << 3 << 9 << int(Qt::Key_1) << false << 9 << QString();
    }

    void digitStartsAnEntry()
    {
        QFETCH(int, channel);
        QFETCH(int, column);
        QFETCH(int, keyCode);
        QFETCH(bool, keypad);
        QFETCH(int, openColumn);
        QFETCH(QString, entry);
        fillChannels();

        grid->setCurrentCell(channel, column);
        key(table(), keyCode, keypad ? Qt::KeypadModifier : Qt::NoModifier);

        QCOMPARE(currentCell(), QPoint(channel, openColumn));
        if (entry.isEmpty()) {
            QVERIFY(closed(text()) && closed(feature(0)) && closed(feature(1)));
            return;
        }
        QVERIFY(!closed(text()));
        QCOMPARE(text()->text(), entry);
        QCOMPARE(text()->cursorPosition(), 1);
        QVERIFY(!text()->hasSelectedText());
    }

    // ---- the text editor ---------------------------------------------------------------

    void entryAcceptsDigitsAndPointOnlyUpToNine()
    {
        type(10, 1, "14a5 .1-2,5x00");
        QCOMPARE(text()->text(), QStringLiteral("145.12500"));
        QTest::keyClicks(text(), "0");
        QCOMPARE(text()->text(), QStringLiteral("145.12500")); // a tenth character is refused
        text()->setSelection(4, 5);
        QTest::keyClicks(text(), "5");
        QCOMPARE(text()->text(), QStringLiteral("145.5")); // with a selection it replaces it
        key(text(), Qt::Key_Backspace);
        QCOMPARE(text()->text(), QStringLiteral("145."));
        key(text(), Qt::Key_V, Qt::ControlModifier); // no paste
        QCOMPARE(text()->text(), QStringLiteral("145."));
    }

    void commitPaths_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter") << "enter";
        QTest::newRow("keypad Enter") << "keypadEnter";
        QTest::newRow("focus to another control") << "focus";
        QTest::newRow("CloseCellEditor") << "close";
        QTest::newRow("scrolling") << "scroll";
    }

    void commitPaths()
    {
        QFETCH(QString, how);
        QSignalSpy edited(doc.get(), &ImageDocument::imageChanged);
        type(10, 1, "145.125");
        if (how == "enter")
            key(text(), Qt::Key_Return);
        else if (how == "keypadEnter")
            key(text(), Qt::Key_Enter, Qt::KeypadModifier);
        else if (how == "focus")
            other->setFocus();
        else if (how == "close")
            grid->closeCellEditor();
        else
            table()->verticalScrollBar()->setValue(table()->verticalScrollBar()->maximum());

        QVERIFY(closed(text()));
        // A first receive frequency: the frequency and the flags of a new channel.
        QCOMPARE(Record(image(), 10), Hex("00255114ffffffffffffffffbfd9fffe"));
        QCOMPARE(grid->cellText(10, 1), QStringLiteral("145.12500"));
        const QString expected[] = {"145.12500", "", Tx(1104), "", "Wide", "Add", "High", "Off", "Off"};
        for (int c = 1; c <= 9; ++c)
            QCOMPARE(grid->cellText(10, c), expected[c - 1]);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(prompts->shown.size(), 0);
        if (how.contains("nter")) {
            QCOMPARE(currentCell(), QPoint(10, 2)); // on to TX; the editor does not reopen
            QTRY_VERIFY(table()->hasFocus());
        }
    }

    // Clicking another cell commits the entry to the cell it was typed in, then edits the new one.
    void clickingAnotherCellCommitsToTheEditedCell()
    {
        fillChannels();
        type(10, 1, "144.1");
        click(3, 2);
        QCOMPARE(QString::fromStdString(ReadFreqLowFirst(image(), 9, 0)), QStringLiteral("144.10000"));
        QCOMPARE(grid->cellText(10, 1), QStringLiteral("144.10000"));
        QCOMPARE(Record(image(), 3).mid(4, 4), Hex("00006014"));
        QVERIFY(!closed(text()));
        QCOMPARE(text()->text(), QStringLiteral("146.00000"));
        QCOMPARE(currentCell(), QPoint(3, 2));
    }

    void enterMovesFromTxToDecode()
    {
        fillChannels();
        type(2, 2, "145.5");
        key(text(), Qt::Key_Return);
        QCOMPARE(currentCell(), QPoint(2, 3));
        QVERIFY(closed(feature(0)));
    }

    // A list writes each choice as it changes, but all the choices made while it is open are
    // one undo step, and Escape puts back the value it opened with.
    void anOpenListIsOneStepAndEscapeRestoresIt()
    {
        fillChannels();
        const MemoryImage before = image();
        const int steps = doc->undoStack().count();
        for (int column : {4, 7}) {
            click(3, column);
            QComboBox *box = feature(column == 4 ? 0 : 1);
            QVERIFY(box != nullptr);
            const QString opened = box->currentText();
            key(box, Qt::Key_Down);
            QVERIFY(grid->cellText(3, column) != opened); // written at once
            key(box, Qt::Key_Up);
            key(box, Qt::Key_Up);
            key(box, Qt::Key_Escape);
            QVERIFY(openEditor() == nullptr);
            QCOMPARE(grid->cellText(3, column), opened);
            QVERIFY(image() == before);
        }

        click(3, 3);
        key(feature(0), Qt::Key_Down);
        key(feature(0), Qt::Key_Down);
        key(feature(0), Qt::Key_Return);
        QCOMPARE(doc->undoStack().count(), steps + 1);
        QCOMPARE(grid->cellText(3, 3), QStringLiteral("69.3"));
        doc->undoStack().undo();
        QVERIFY(image() == before);
    }

    // Shift+Up and Shift+Down in an open list extend the row selection; the value stays.
    void shiftArrowsInAListSelectRows()
    {
        fillChannels();
        const MemoryImage before = image();
        click(3, 7);
        QVERIFY(feature(1) != nullptr);
        key(feature(1), Qt::Key_Down, Qt::ShiftModifier);
        QVERIFY(openEditor() == nullptr);
        QVERIFY(table()->hasFocus());
        key(table(), Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(grid->view().selectedRows(), (std::vector<int>{3, 4, 5}));
        QVERIFY(image() == before);
    }

    // Off by default, a new channel is receive-only; with TX Follows RX a new channel gets
    // TX = RX, and a simplex channel stays simplex when its RX changes, a split one stays split.
    void txFollowsRx()
    {
        fillChannels();
        auto enter = [this](int channel, const QString &typed) {
            type(channel, 1, typed);
            key(text(), Qt::Key_Return);
        };
        enter(10, QStringLiteral("145.5"));
        QCOMPARE(grid->cellText(10, 2), QString());

        commands->setTxFollowsRx(true);
        const int steps = doc->undoStack().count();
        enter(11, QStringLiteral("145.5"));
        QCOMPARE(grid->cellText(11, 2), QStringLiteral("145.50000"));
        QCOMPARE(doc->undoStack().count(), steps + 1); // one step for both
        enter(11, QStringLiteral("144.8"));
        QCOMPARE(grid->cellText(11, 1), QStringLiteral("144.80000"));
        QCOMPARE(grid->cellText(11, 2), QStringLiteral("144.80000"));
        enter(3, QStringLiteral("145"));
        QCOMPARE(grid->cellText(3, 2), QStringLiteral("146.00000"));
        enter(2, QStringLiteral("144.1"));
        QCOMPARE(grid->cellText(2, 2), QString()); // receive-only stays so
    }

    void theCellLooksFocusedOnlyWhileTheGridHasTheFocus_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("highlight");
        QTest::newRow("light") << QColor(Qt::white) << QColor(0x30, 0x8c, 0xc6);
        QTest::newRow("dark") << QColor(0x1e, 0x1e, 0x1e) << QColor(0x3d, 0x7a, 0xd6);
    }

    void theCellLooksFocusedOnlyWhileTheGridHasTheFocus()
    {
        QFETCH(QColor, base);
        QFETCH(QColor, highlight);
        QPalette palette = table()->palette();
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Highlight, highlight);
        table()->setPalette(palette);
        grid->setCurrentCell(10, 3);
        auto shown = [this](int channel) {
            const QRect cell = table()->visualRect(table()->model()->index(channel - 1, 2));
            return table()->viewport()->grab().toImage().pixelColor(cell.topLeft() + QPoint(4, 4));
        };
        table()->setFocus();
        QTRY_VERIFY(table()->hasFocus());
        const QColor focused = shown(10);
        other->setFocus();
        QTRY_VERIFY(!table()->hasFocus());
        const QColor unfocused = shown(10);
        const QColor plain = shown(11);
        QCOMPARE(plain, base);
        // The selection colour with the focus, a paler one without it, and neither is plain.
        QVERIFY(qAbs(focused.hue() - highlight.hue()) < 10 && qAbs(focused.value() - highlight.value()) < 40);
        QVERIFY(unfocused != focused);
        QVERIFY(unfocused != plain);
    }

    void escapeKeepsTheCellAndTheImage()
    {
        fillChannels();
        doc->undoStack().setClean();
        type(2, 1, "144.2");
        key(text(), Qt::Key_Escape);
        QVERIFY(closed(text()));
        QCOMPARE(grid->cellText(2, 1), QStringLiteral("145.12500"));
        QVERIFY(!doc->isModified());
        QCOMPARE(currentCell(), QPoint(2, 1));
        QTRY_VERIFY(table()->hasFocus());
        // Focus leaving afterwards commits nothing either.
        other->setFocus();
        QVERIFY(!doc->isModified());
    }

    void unchangedTextWritesNothing()
    {
        fillChannels();
        setUp([](MemoryImage &image) { image.setBit(1 * 16 + 15, 0, true); }); // RxUnset left set: storing again would clear it
        doc->undoStack().setClean();
        QSignalSpy edited(doc.get(), &ImageDocument::imageChanged);
        click(2, 1);
        key(text(), Qt::Key_Return);
        QVERIFY(!doc->isModified());
        QCOMPARE(edited.count(), 0);
    }

    void entriesAreRoundedAndClampedToTheBand_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("warned");

        QTest::newRow("RX above the band") << 1 << "147.5" << "145.99500" << true;
        QTest::newRow("RX equal to the upper limit") << 1 << "146" << "145.99500" << true;
        QTest::newRow("RX below the band") << 1 << "143.9" << "144.00000" << true;
        QTest::newRow("RX a lone point") << 1 << "." << "144.00000" << true;
        QTest::newRow("RX at the lower limit") << 1 << "144" << "144.00000" << false;
        QTest::newRow("RX just below the upper limit rounds up to it") << 1 << "145.999" << "146.00000" << false;
        QTest::newRow("RX between raster steps") << 1 << "145.0025" << "145.00000" << false;
        QTest::newRow("TX above the band") << 2 << "150" << "145.99500" << true;
        QTest::newRow("TX on the 6.25 kHz raster") << 2 << "145.006" << "145.00625" << false;
    }

    void entriesAreRoundedAndClampedToTheBand()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, warned);
        fillChannels();

        type(2, column, typed);
        key(text(), Qt::Key_Return);

        QCOMPARE(grid->cellText(2, column), stored);
        const std::string inImage = column == 1 ? ReadFreqLowFirst(image(), 1, 0) : ReadFreqLowFirst(image(), 1, 4);
        QCOMPARE(QString::fromStdString(inImage), stored);
        if (!warned) {
            QCOMPARE(prompts->shown.size(), 0);
            return;
        }
        QCOMPARE(prompts->shownIds(), QList<int>{1229});
        const PromptMessage &m = prompts->shown.first();
        QCOMPARE(m.text, Tx(1229) + QStringLiteral("\nThe band is 144 - 146 MHz; the cell was set to %1 MHz.").arg(stored));
        QCOMPARE(m.title, QStringLiteral("ZR-K6"));
        QCOMPARE(m.icon, QMessageBox::Warning);
    }

    void storingTxAddsNoneEncode()
    {
        fillChannels();
        type(2, 2, "145.5");
        key(text(), Qt::Key_Return);
        QCOMPARE(grid->cellText(2, 4), Tx(1104));
        const QByteArray r = Record(image(), 2);
        QCOMPARE(r.mid(4, 4), Hex("00005514"));
        QCOMPARE(r.mid(10, 2), Hex("ffff"));
        QCOMPARE(uchar(r.at(15)) & 0x02, 0);
    }

    void erasingRxClearsTheRecordAndItsPriority_data()
    {
        QTest::addColumn<int>("priority");
        QTest::addColumn<int>("priorityAfter");
        QTest::newRow("priority on this channel") << 3 << 0;
        QTest::newRow("priority elsewhere") << 7 << 7;
    }

    void erasingRxClearsTheRecordAndItsPriority()
    {
        QFETCH(int, priority);
        QFETCH(int, priorityAfter);
        fillChannels();
        setUp([&](MemoryImage &image) { image.set(addr::kPriorityChannel, std::uint8_t(priority)); });

        type(3, 1, QString());
        key(text(), Qt::Key_Return);

        QCOMPARE(Record(image(), 3), QByteArray(16, char(0xFF)));
        QCOMPARE(int(image().at(addr::kPriorityChannel)), priorityAfter);
        for (int c = 1; c <= 9; ++c)
            QCOMPARE(grid->cellText(3, c), QString());
    }

    void erasingTxRemovesTheTransmitPart()
    {
        fillChannels();
        const QByteArray before = Record(image(), 3);
        type(3, 2, QString());
        key(text(), Qt::Key_Return);

        const QByteArray after = Record(image(), 3);
        QCOMPARE(after.mid(4, 4), Hex("ffffffff"));
        QCOMPARE(after.mid(10, 2), Hex("ffff"));
        QCOMPARE(uchar(after.at(15)), uchar(before.at(15)) | 0x02);
        QCOMPARE(after.left(4), before.left(4));
        QCOMPARE(after.mid(8, 2), before.mid(8, 2));
        QCOMPARE(after.mid(12, 3), before.mid(12, 3));
        QCOMPARE(grid->cellText(3, 2), QString());
        QCOMPARE(grid->cellText(3, 4), QString());
    }

    // ---- the drop-downs ----------------------------------------------------------------

    void choosingAnOptionWritesOnlyItsBits_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("byteIndex");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("bits");

        QTest::newRow("Narrow") << 5 << "Narrow" << 13 << 0x10 << 0x00;
        QTest::newRow("Del") << 6 << "Del" << 13 << 0x08 << 0x00;
        QTest::newRow("Low") << 7 << "Low" << 13 << 0x60 << 0x00;
        QTest::newRow("High") << 7 << "High" << 13 << 0x60 << 0x40;
        QTest::newRow("QT/DQT") << 8 << "QT/DQT" << 13 << 0x06 << 0x04;
        QTest::newRow("Scrambler On") << 9 << "On" << 12 << 0x40 << 0x40;
        QTest::newRow("decode tone D023N") << 3 << "D023N" << 8 << 0xFF << 0x23;
        QTest::newRow("encode tone None") << 4 << "None" << 10 << 0xFF << 0xFF;
    }

    void choosingAnOptionWritesOnlyItsBits()
    {
        QFETCH(int, column);
        QFETCH(QString, choice);
        QFETCH(int, byteIndex);
        QFETCH(int, mask);
        QFETCH(int, bits);
        fillChannels();
        const QByteArray before = Record(image(), 3);
        QSignalSpy edited(doc.get(), &ImageDocument::imageChanged);

        click(3, column);
        QComboBox *box = feature(column <= 4 ? 0 : 1);
        QVERIFY(!box->isHidden());
        // Step through the list with the arrow keys, as a user would, to the wanted item.
        const int target = box->findText(choice);
        QVERIFY(target >= 0);
        while (box->currentIndex() != target)
            key(box, box->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);

        QCOMPARE(grid->cellText(3, column), choice);
        const QByteArray after = Record(image(), 3);
        QCOMPARE(uchar(after.at(byteIndex)) & mask, bits);
        for (int i = 0; i < 16; ++i) {
            if (i == byteIndex)
                QCOMPARE(uchar(after.at(i)) & ~mask & 0xFF, uchar(before.at(i)) & ~mask & 0xFF);
            else if (!(byteIndex >= 8 && byteIndex <= 10 && i == byteIndex + 1))
                QCOMPARE(after.at(i), before.at(i));
        }
        QVERIFY(edited.count() >= 1);
    }

    void enterInADropDownMovesOn_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("column");
        QTest::addColumn<QPoint>("next");

        QTest::newRow("Decode without TX to W/N") << 2 << 3 << QPoint(2, 5);
        QTest::newRow("Decode with TX to Encode") << 3 << 3 << QPoint(3, 4);
        QTest::newRow("Encode to W/N") << 3 << 4 << QPoint(3, 5);
        QTest::newRow("W/N to Scan") << 3 << 5 << QPoint(3, 6);
        QTest::newRow("Scrambler to the next row") << 3 << 9 << QPoint(4, 1);
        QTest::newRow("Scrambler of channel 128 stays") << 128 << 9 << QPoint(128, 9);
    }

    void enterInADropDownMovesOn()
    {
        QFETCH(int, channel);
        QFETCH(int, column);
        QFETCH(QPoint, next);
        fillChannels();
        if (channel == 128)
            setUp([this](MemoryImage &image) { StoreRxFrequency(image, 128, "145.00000", doc->band()); });
        doc->undoStack().setClean();

        click(channel, column);
        QComboBox *box = feature(column <= 4 ? 0 : 1);
        QVERIFY(!box->isHidden());
        key(box, Qt::Key_Return);

        QCOMPARE(currentCell(), next);
        QVERIFY(box->isHidden());
        QTRY_VERIFY(table()->hasFocus());
        QVERIFY(!doc->isModified());
    }

    void dropDownHidesWhenTheFocusLeaves()
    {
        fillChannels();
        click(3, 6);
        QVERIFY(!closed(feature(1)));
        // Its own list popping up is not a focus loss, and a choice from it is written.
        feature(1)->showPopup();
        QVERIFY(!closed(feature(1)));
        QAbstractItemView *list = feature(1)->view();
        QTRY_VERIFY(list->isVisible());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 0)).center());
        QTRY_VERIFY(!list->isVisible());
        QVERIFY(!closed(feature(1)));
        QCOMPARE(grid->cellText(3, 6), QStringLiteral("Del"));
        QCOMPARE(uchar(Record(image(), 3).at(13)) & 0x08, 0);
        other->setFocus();
        QVERIFY(closed(feature(1)));
    }

    void optionsInChinese()
    {
        state->language = kChinese;
        grid->applyCaptions();
        fillChannels();
        click(3, 7);
        QComboBox *box = feature(1);
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), Tx(1214, kChinese));
        QCOMPARE(box->currentText(), Tx(1257, kChinese)); // "Mid" as stored
        key(box, Qt::Key_Down);
        QCOMPARE(grid->cellText(3, 7), Tx(1215, kChinese));
        QCOMPARE(uchar(Record(image(), 3).at(13)) & 0x60, 0x40);
    }

    // ---- insert and delete -------------------------------------------------------------

    void insertAndDelete_data()
    {
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("insert");

        QTest::newRow("Shift+F9") << int(Qt::Key_F9) << int(Qt::ShiftModifier) << true;
        QTest::newRow("Ctrl+I") << int(Qt::Key_I) << int(Qt::ControlModifier) << true;
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << false;
        QTest::newRow("Ctrl+D") << int(Qt::Key_D) << int(Qt::ControlModifier) << false;
    }

    void insertAndDelete()
    {
        QFETCH(int, keyCode);
        QFETCH(int, modifiers);
        QFETCH(bool, insert);
        fillChannels();
        setUp([](MemoryImage &image) { image.set(addr::kPriorityChannel, 3); });
        const MemoryImage before = image();

        grid->setCurrentCell(2, 6);
        key(table(), keyCode, Qt::KeyboardModifiers(modifiers));

        if (insert) {
            QCOMPARE(Record(image(), 2), QByteArray(16, char(0xFF)));
            QCOMPARE(Record(image(), 3), Record(before, 2));
            QCOMPARE(Record(image(), 4), Record(before, 3));
            QCOMPARE(grid->cellText(2, 1), QString());
            QCOMPARE(grid->cellText(3, 1), QStringLiteral("145.12500"));
            QCOMPARE(grid->cellText(4, 7), QStringLiteral("Mid"));
        } else {
            QCOMPARE(Record(image(), 2), Record(before, 3));
            QCOMPARE(Record(image(), 128), QByteArray(16, char(0xFF)));
            QCOMPARE(grid->cellText(2, 2), QStringLiteral("146.00000"));
            QCOMPARE(grid->cellText(3, 1), QString());
        }
        QCOMPARE(int(image().at(addr::kPriorityChannel)), 3); // never follows the move
        QCOMPARE(currentCell(), QPoint(2, 6));
    }

    void insertNeedsAnEmptyLastChannel()
    {
        fillChannels();
        setUp([this](MemoryImage &image) { StoreRxFrequency(image, 128, "145.00000", doc->band()); });
        const MemoryImage before = image();
        grid->setCurrentCell(2, 1);
        key(table(), Qt::Key_F9, Qt::ShiftModifier);
        QVERIFY(image() == before);
        QCOMPARE(prompts->shown.size(), 0);
    }

    void insertFromTheEditorCommitsTheEntryFirst()
    {
        fillChannels();
        type(5, 1, "144.8");
        key(text(), Qt::Key_I, Qt::ControlModifier);
        QVERIFY(closed(text()));
        QCOMPARE(Record(image(), 5), QByteArray(16, char(0xFF)));
        QCOMPARE(grid->cellText(6, 1), QStringLiteral("144.80000"));
        QCOMPARE(QString::fromStdString(ReadFreqLowFirst(image(), 5, 0)), QStringLiteral("144.80000"));
    }

    void deleteFromADropDown()
    {
        fillChannels();
        click(2, 5);
        key(feature(1), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(grid->cellText(2, 1), QStringLiteral("144.50000"));
        QCOMPARE(grid->cellText(3, 1), QString());
    }

    // ---- copy keys and the hidden gesture ---------------------------------------------

    void copyKeys_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("mode"); // -1: no dialog

        QTest::newRow("Shift+F3") << 2 << int(Qt::Key_F3) << int(Qt::ShiftModifier) << 0;
        QTest::newRow("Ctrl+E") << 2 << int(Qt::Key_E) << int(Qt::ControlModifier) << 0;
        QTest::newRow("Ctrl+Shift+E") << 2 << int(Qt::Key_E) << int(Qt::ControlModifier | Qt::ShiftModifier) << -1;
        QTest::newRow("Ctrl+E on an empty channel") << 10 << int(Qt::Key_E) << int(Qt::ControlModifier) << -1;
        QTest::newRow("Shift+F4") << 2 << int(Qt::Key_F4) << int(Qt::ShiftModifier) << 1;
        QTest::newRow("Ctrl+F") << 2 << int(Qt::Key_F) << int(Qt::ControlModifier) << 1;
        QTest::newRow("Ctrl+Q without TX") << 2 << int(Qt::Key_Q) << int(Qt::ControlModifier) << -1;
        QTest::newRow("Shift+F5") << 3 << int(Qt::Key_F5) << int(Qt::ShiftModifier) << 2;
        QTest::newRow("F3 alone") << 2 << int(Qt::Key_F3) << 0 << -1;
    }

    void copyKeys()
    {
        QFETCH(int, channel);
        QFETCH(int, keyCode);
        QFETCH(int, modifiers);
        QFETCH(int, mode);
        fillChannels();
        QList<int> modes;
        connect(grid, &ChannelGrid::copyRequested, this, [&](int m, int on) {
            modes.append(m);
            QCOMPARE(on, channel);
            QCOMPARE(state->copyMode, m);
            QCOMPARE(state->currentChannel, channel);
        });

        grid->setCurrentCell(channel, 6);
        key(table(), keyCode, Qt::KeyboardModifiers(modifiers));

        QCOMPARE(modes, mode < 0 ? QList<int>{} : QList<int>{mode});
    }

    // Whatever changes the document, the rows it touches show it at once.
    void rowsFollowTheDocument()
    {
        fillChannels();
        doc->apply(QStringLiteral("copy"), [](MemoryImage &image) {
            for (int c = 0; c < kRowSize; ++c)
                image.set(89, c, image.at(2, c)); // channel 3 onto channel 90
        });
        QCOMPARE(grid->cellText(90, 2), QStringLiteral("146.00000"));
        QCOMPARE(grid->cellText(90, 7), QStringLiteral("Mid"));
        doc->undoStack().undo();
        QCOMPARE(grid->cellText(90, 1), QString());
        doc->apply(QStringLiteral("tx"), [](MemoryImage &image) { StoreTxFrequency(image, 2, "144.75000"); });
        QCOMPARE(grid->cellText(2, 2), QStringLiteral("144.75000"));
        QCOMPARE(grid->cellText(2, 4), Tx(1104));
    }

    void memoryMapGesture_data()
    {
        QTest::addColumn<int>("xTwips");
        QTest::addColumn<int>("yTwips");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("opens");

        const int all = int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        QTest::newRow("inside") << 3000 << 100 << all << true;
        QTest::newRow("left of the area") << 2490 << 100 << all << false;
        QTest::newRow("right of the area") << 3510 << 100 << all << false;
        QTest::newRow("below the area") << 3000 << 260 << all << false;
        QTest::newRow("only Ctrl+Alt") << 3000 << 100 << int(Qt::ControlModifier | Qt::AltModifier) << false;
    }

    void memoryMapGesture()
    {
        QFETCH(int, xTwips);
        QFETCH(int, yTwips);
        QFETCH(int, modifiers);
        QFETCH(bool, opens);
        ChannelTableView &g = grid->view();
        QSignalSpy spy(grid, &ChannelGrid::memoryMapRequested);
        const QPoint inTable(TwipsToPixels(xTwips, g.logicalDpiX()), TwipsToPixels(yTwips, g.logicalDpiY()));
        QWidget *header = table()->horizontalHeader()->viewport();
        QVERIFY(header->rect().contains(header->mapFrom(table(), inTable)));

        QTest::mouseClick(header, Qt::RightButton, Qt::KeyboardModifiers(modifiers), header->mapFrom(table(), inTable));
        QCOMPARE(spy.count(), opens ? 1 : 0);
        // A left click with the same keys is never the gesture.
        QTest::mouseClick(header, Qt::LeftButton, Qt::KeyboardModifiers(modifiers), header->mapFrom(table(), inTable));
        QCOMPARE(spy.count(), opens ? 1 : 0);
        QVERIFY(openEditor() == nullptr); // a right click opens nothing
    }

    // ---- whole-grid views --------------------------------------------------------------

    // Showing is a pure read: a record outside the band shows empty and keeps its bytes.
    void showingWritesNothing()
    {
        fillChannels();
        setUp([](MemoryImage &image) { StoreRxFrequency(image, 50, "150.00000", Band{136, 174, "136 - 174 MHz"}); });
        const MemoryImage before = image();
        grid->showAllRows();
        QCOMPARE(grid->cellText(50, 1), QString());
        QVERIFY(image() == before);
        QCOMPARE(grid->cellText(3, 2), QStringLiteral("146.00000"));
        QCOMPARE(grid->cellText(3, 4), QStringLiteral("67.0"));
        // The grid takes emptiness from the image: a typed digit on its TX starts on RX.
        grid->setCurrentCell(50, 2);
        key(table(), Qt::Key_5);
        QCOMPARE(currentCell(), QPoint(50, 1));
    }
};

QTEST_MAIN(TestChannelGrid)
#include "test_channel_grid.moc"
