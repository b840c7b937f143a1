#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include "dialog_fixtures.h"
#include "dialogs/memory_map_dialog.h"

using namespace zrk6;
using zrk6::test::StateWithChannels;

namespace {

QString CellText(const MemoryMapDialog &d, int row, int column)
{
    return d.grid()->item(row, column)->text();
}

// Opens the dialog on screen, ready for keys.
void Show(MemoryMapDialog &d)
{
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
}

} // namespace

class TestMemoryMapDialog : public QObject {
    Q_OBJECT

private slots:
    void showsEveryByte();
    void addressFollowsCurrentCell();
    void typingOpensEditorAndFiltersKeys();
    void commitPadsAndEmptyBecomesFF();
    void enterMovesToNextCell_data();
    void enterMovesToNextCell();
    void escAndScrollRestore();
    void clickOpensEditorAndFocusLossCommits();
    void okWritesOnlyEditedBytes();
    void cancelLeavesImage();
};

void TestMemoryMapDialog::showsEveryByte()
{
    auto stateDoc = StateWithChannels({1});
    stateDoc->set(0x12A, 0x0A);
    MemoryMapDialog d(stateDoc->doc);
    QCOMPARE(d.windowTitle(), QStringLiteral("Memory Map"));
    QCOMPARE(d.isModal(), false);
    QTableWidget *grid = d.grid();
    QCOMPARE(grid->rowCount(), 256);
    QCOMPARE(grid->columnCount(), 16);
    QCOMPARE(grid->verticalHeaderItem(0)->text(), QStringLiteral("000_"));
    QCOMPARE(grid->verticalHeaderItem(0x12)->text(), QStringLiteral("012_"));
    QCOMPARE(grid->verticalHeaderItem(255)->text(), QStringLiteral("0FF_"));
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("0"));
    QCOMPARE(grid->horizontalHeaderItem(15)->text(), QStringLiteral("F"));
    QCOMPARE(CellText(d, 0x12, 0xA), QStringLiteral("0A"));
    QCOMPARE(CellText(d, 0xFC, 0x2), QStringLiteral("C4"));
    QCOMPARE(CellText(d, 0xFF, 0xF), QStringLiteral("FF"));
    QVERIFY(!d.editor()->isVisible());
    QCOMPARE(d.addressLabel()->text(), QStringLiteral("0000"));
}

void TestMemoryMapDialog::addressFollowsCurrentCell()
{
    auto stateDoc = StateWithChannels({});
    MemoryMapDialog d(stateDoc->doc);
    Show(d);
    d.grid()->setCurrentCell(0x12, 0xA);
    QCOMPARE(d.addressLabel()->text(), QStringLiteral("012A"));
    QTest::keyClick(d.grid(), Qt::Key_Down);
    QCOMPARE(d.addressLabel()->text(), QStringLiteral("013A"));
    QVERIFY(!d.isEditing()); // arrow keys keep their grid meaning
}

void TestMemoryMapDialog::typingOpensEditorAndFiltersKeys()
{
    auto stateDoc = StateWithChannels({});
    MemoryMapDialog d(stateDoc->doc);
    Show(d);
    QTest::keyClick(d.grid(), Qt::Key_A); // the key A, typed as "a"
    QVERIFY(d.isEditing());
    QCOMPARE(d.editor()->text(), QStringLiteral("A"));
    QTest::keyClicks(d.editor(), "b");
    QCOMPARE(d.editor()->text(), QStringLiteral("AB"));
    QTest::keyClicks(d.editor(), "c9g");
    QCOMPARE(d.editor()->text(), QStringLiteral("AB"));
    d.editor()->setSelection(1, 1);
    QTest::keyClicks(d.editor(), "f");
    QCOMPARE(d.editor()->text(), QStringLiteral("AF"));
    QTest::keyClick(d.editor(), Qt::Key_Backspace);
    QCOMPARE(d.editor()->text(), QStringLiteral("A"));

    // Keypad digits open the editor too; letters beyond F do not.
    QTest::keyClick(d.editor(), Qt::Key_Escape);
    QTest::keyClick(d.grid(), Qt::Key_G);
    QVERIFY(!d.isEditing());
    QTest::keyClick(d.grid(), Qt::Key_7, Qt::KeypadModifier);
    QCOMPARE(d.editor()->text(), QStringLiteral("7"));
}

void TestMemoryMapDialog::commitPadsAndEmptyBecomesFF()
{
    auto stateDoc = StateWithChannels({});
    MemoryMapDialog d(stateDoc->doc);
    Show(d);
    QTest::keyClick(d.grid(), Qt::Key_7);
    QTest::keyClick(d.editor(), Qt::Key_Return);
    QCOMPARE(CellText(d, 0, 0), QStringLiteral("07"));
    QVERIFY(!d.isEditing());
    QVERIFY(d.grid()->hasFocus());

    d.grid()->setCurrentCell(0xFC, 0);
    QTest::keyClick(d.grid(), Qt::Key_Return); // opens on the cell's text
    QCOMPARE(d.editor()->text(), QStringLiteral("10"));
    QCOMPARE(d.editor()->selectedText(), QStringLiteral("10"));
    QTest::keyClick(d.editor(), Qt::Key_Backspace);
    QTest::keyClick(d.editor(), Qt::Key_Return);
    QCOMPARE(CellText(d, 0xFC, 0), QStringLiteral("FF"));
}

void TestMemoryMapDialog::enterMovesToNextCell_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("nextRow");
    QTest::addColumn<int>("nextColumn");
    QTest::newRow("next column") << 3 << 4 << 3 << 5;
    QTest::newRow("last column, first half") << 5 << 15 << 6 << 0;
    QTest::newRow("last column, second half") << 200 << 15 << 201 << 0;
    QTest::newRow("last cell stays") << 255 << 15 << 255 << 15;
}

void TestMemoryMapDialog::enterMovesToNextCell()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, nextRow);
    QFETCH(int, nextColumn);
    auto stateDoc = StateWithChannels({});
    MemoryMapDialog d(stateDoc->doc);
    Show(d);
    d.grid()->setCurrentCell(row, column);
    QTest::keyClick(d.grid(), Qt::Key_Return);
    QTest::keyClick(d.editor(), Qt::Key_Return);
    QCOMPARE(d.grid()->currentRow(), nextRow);
    QCOMPARE(d.grid()->currentColumn(), nextColumn);
}

void TestMemoryMapDialog::escAndScrollRestore()
{
    auto stateDoc = StateWithChannels({});
    MemoryMapDialog d(stateDoc->doc);
    Show(d);
    QTest::keyClick(d.grid(), Qt::Key_1);
    QTest::keyClick(d.editor(), Qt::Key_2);
    QTest::keyClick(d.editor(), Qt::Key_Escape);
    QVERIFY(!d.isEditing());
    QVERIFY(d.isVisible()); // Esc in the editor does not close the window
    QCOMPARE(CellText(d, 0, 0), QStringLiteral("FF"));

    QTest::keyClick(d.grid(), Qt::Key_3);
    d.grid()->verticalScrollBar()->setValue(d.grid()->verticalScrollBar()->value() + 10);
    QVERIFY(!d.isEditing());
    QVERIFY(!d.editor()->isVisible());
    QCOMPARE(CellText(d, 0, 0), QStringLiteral("FF"));
}

void TestMemoryMapDialog::clickOpensEditorAndFocusLossCommits()
{
    auto stateDoc = StateWithChannels({});
    MemoryMapDialog d(stateDoc->doc);
    Show(d);
    QTableWidget *grid = d.grid();
    const QRect cell = grid->visualRect(grid->model()->index(2, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(d.isEditing());
    QCOMPARE(d.addressLabel()->text(), QStringLiteral("0023"));
    QCOMPARE(d.editor()->geometry(), cell);
    QTest::keyClicks(d.editor(), "5");
    // Clicking another cell commits this edit and opens the editor there.
    const QRect other = grid->visualRect(grid->model()->index(4, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, other.center());
    QCOMPARE(CellText(d, 2, 3), QStringLiteral("05"));
    QVERIFY(d.isEditing());
    QCOMPARE(d.addressLabel()->text(), QStringLiteral("0041"));
}

void TestMemoryMapDialog::okWritesOnlyEditedBytes()
{
    auto stateDoc = StateWithChannels({});
    auto *d = new MemoryMapDialog(stateDoc->doc);
    d->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<MemoryMapDialog> guard(d);
    // As the main window does: what OK hands over is one change of the document.
    connect(d, &MemoryMapDialog::bytesChosen, &stateDoc->doc, [&](const std::map<int, std::uint8_t> &bytes) {
        stateDoc->edit([&](MemoryImage &image) {
            for (const auto &[address, value] : bytes)
                image.set(address, value);
        });
    });
    QSignalSpy written(d, &MemoryMapDialog::bytesChosen);
    Show(*d);
    d->grid()->setCurrentCell(0x10, 2);
    QTest::keyClick(d->grid(), Qt::Key_3);
    QTest::keyClicks(d->editor(), "c");
    QTest::keyClick(d->editor(), Qt::Key_Return);
    // Open and leave another cell unchanged; it is not an edit.
    QTest::keyClick(d->grid(), Qt::Key_Return);
    QTest::keyClick(d->editor(), Qt::Key_Return);

    // Meanwhile the main window changes two bytes, one of them shown in the edited row.
    stateDoc->set(0x103, 0x42);
    stateDoc->set(0x800, 0x99);
    MemoryImage expected = stateDoc->doc.image();
    expected.set(0x102, 0x3C);
    // The map shows the change at once; the byte edited here keeps its edit.
    QCOMPARE(CellText(*d, 0x10, 3), QStringLiteral("42"));
    QCOMPARE(CellText(*d, 0x80, 0), QStringLiteral("99"));
    QCOMPARE(CellText(*d, 0x10, 2), QStringLiteral("3C"));

    QTest::mouseClick(d->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QVERIFY(stateDoc->doc.image() == expected);
    QCOMPARE(written.size(), 1);
    QTRY_VERIFY(guard.isNull());
}

void TestMemoryMapDialog::cancelLeavesImage()
{
    auto stateDoc = StateWithChannels({});
    const MemoryImage before = stateDoc->doc.image();
    MemoryMapDialog d(stateDoc->doc);
    QSignalSpy written(&d, &MemoryMapDialog::bytesChosen);
    Show(d);
    QTest::keyClick(d.grid(), Qt::Key_1);
    QTest::keyClicks(d.editor(), "2");
    QTest::keyClick(d.editor(), Qt::Key_Return);
    QTest::keyClick(d.grid(), Qt::Key_Escape); // Esc outside an edit keeps the window and its edits
    QVERIFY(d.isVisible());
    QCOMPARE(CellText(d, 0, 0), QStringLiteral("12"));
    QTest::mouseClick(d.findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(stateDoc->doc.image() == before);
    QCOMPARE(written.size(), 0);
}

QTEST_MAIN(TestMemoryMapDialog)
#include "test_memory_map_dialog.moc"
