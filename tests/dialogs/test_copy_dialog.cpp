#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "dialog_fixtures.h"
#include "record_fixtures.h"
#include "dialogs/copy_dialog.h"
#include "mainwindow/channel_commands.h"
#include "scripted_prompts.h"

// The copy dialog as the grid's copy keys open it: through the channel commands, which
// apply each choice to the document.

using namespace zrk6;
using zrk6::test::Cell;
using zrk6::test::DialogDoc;
using zrk6::test::ScriptedPrompts;
using zrk6::test::StateWithChannels;

namespace {

QByteArray Record(const MemoryImage &image, int channel)
{
    QByteArray bytes;
    for (int k = 0; k < kRowSize; ++k)
        bytes.append(static_cast<char>(image.at((channel - 1) * kRowSize + k)));
    return bytes;
}

// Channels 1, 2, 5 and 20 in use, the copy dialog of mode open on channel.
struct CopyRun {
    std::unique_ptr<DialogDoc> f = StateWithChannels({1, 2, 5, 20});
    ScriptedPrompts prompts;
    ChannelCommands commands{f->state, f->doc, prompts};
    std::unique_ptr<CopyDialog> dialog;

    CopyRun(int mode, int channel, const ImageDocument::Edit &setUp = {})
    {
        if (setUp)
            f->edit(setUp);
        dialog = commands.copyDialog(nullptr, mode, channel);
    }
    const MemoryImage &image() const { return f->doc.image(); }
};

void Type(QLineEdit *box, const QString &text)
{
    box->selectAll();
    QTest::keyClicks(box, text);
}

} // namespace

class TestCopyDialog : public QObject {
    Q_OBJECT

private slots:
    void captionsPerMode_data();
    void captionsPerMode();
    void channelCopyRepeatsUntilCancel();
    void channelCopyOutOfRange_data();
    void channelCopyOutOfRange();
    void channelCopyOntoItselfAndWithOk();
    void entryLengthLimits();
    void frequencyCopy_data();
    void frequencyCopy();
    void toneCopy();
    void cancelStoresNothing();
};

void TestCopyDialog::captionsPerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("label1");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("label3");
    QTest::newRow("channel") << 0 << "Channel Copy" << "Channel" << "5" << "Channel";
    QTest::newRow("frequency") << 1 << "Frequency Copy" << "Receive" << "144.06250" << "Transmit";
    QTest::newRow("tone") << 2 << "QT/DQT Copy" << "Decode" << "None" << "Encode";
}

void TestCopyDialog::captionsPerMode()
{
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(QString, label1);
    QFETCH(QString, source);
    QFETCH(QString, label3);
    CopyRun run(mode, 5);
    CopyDialog &d = *run.dialog;
    d.show();
    QCOMPARE(d.windowTitle(), title);
    QCOMPARE(d.findChild<QLabel *>("lbl1")->text(), label1);
    QCOMPARE(d.findChild<QLabel *>("lblSource")->text(), source);
    QCOMPARE(d.findChild<QLabel *>("lbl2")->text(), QStringLiteral("to"));
    QCOMPARE(d.findChild<QLabel *>("lbl3")->text(), label3);
    QCOMPARE(d.destinationBox()->isVisible(), mode != 2);
    QCOMPARE(d.toneList()->isVisible(), mode == 2);
    if (mode != 2) {
        QCOMPARE(d.destinationBox()->text(), source);
        QCOMPARE(d.destinationBox()->selectedText(), source);
    } else {
        QCOMPARE(d.toneList()->count(), 261);
        QCOMPARE(d.toneList()->currentText(), source);
    }
}

void TestCopyDialog::channelCopyRepeatsUntilCancel()
{
    CopyRun run(0, 5);
    ScriptedPrompts &prompts = run.prompts;
    CopyDialog &d = *run.dialog;
    QSignalSpy changed(&d, &CopyDialog::channelCopyChosen);
    d.show();
    const QByteArray source = Record(run.image(), 5);

    Type(d.destinationBox(), "12");
    QTest::keyClick(d.destinationBox(), Qt::Key_Return);
    QCOMPARE(Record(run.image(), 12), source);
    QCOMPARE(Cell(*run.f, 12, ChannelColumn::RxFreq), QStringLiteral("144.06250"));
    QCOMPARE(d.destinationBox()->text(), QStringLiteral("5"));
    QCOMPARE(d.destinationBox()->selectedText(), QStringLiteral("5"));
    QVERIFY(d.isVisible());

    Type(d.destinationBox(), "13");
    QTest::keyClick(d.destinationBox(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::mouseClick(d.findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(Record(run.image(), 12), source);
    QCOMPARE(Record(run.image(), 13), source);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.at(1).at(1).toInt(), 13);
    QCOMPARE(run.f->doc.undoStack().count(), 2); // each copy is its own undo step
    QVERIFY(prompts.shown.isEmpty());
}

void TestCopyDialog::channelCopyOutOfRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("129") << "129";
    QTest::newRow("0") << "0";
    QTest::newRow("empty") << "";
}

void TestCopyDialog::channelCopyOutOfRange()
{
    QFETCH(QString, typed);
    CopyRun run(0, 5);
    const MemoryImage before = run.image();
    ScriptedPrompts &prompts = run.prompts;
    CopyDialog &d = *run.dialog;
    d.show();
    d.destinationBox()->setText(typed);
    QTest::keyClick(d.destinationBox(), Qt::Key_Return);
    QCOMPARE(prompts.shownIds(), QList<int>{1238});
    QCOMPARE(prompts.shown.first().text, QStringLiteral("Channel is out of range."));
    QCOMPARE(prompts.shown.first().title, QStringLiteral("ZR-K6"));
    QCOMPARE(prompts.shown.first().icon, QMessageBox::Warning);
    QVERIFY(run.image() == before);
    QCOMPARE(d.destinationBox()->text(), QStringLiteral("5"));
    QVERIFY(d.isVisible());
}

void TestCopyDialog::channelCopyOntoItselfAndWithOk()
{
    CopyRun run(0, 5);
    const MemoryImage before = run.image();
    CopyDialog &d = *run.dialog;
    QSignalSpy changed(&d, &CopyDialog::channelCopyChosen);
    d.show();
    QTest::keyClick(d.destinationBox(), Qt::Key_Return); // the box proposes the source itself
    QVERIFY(run.image() == before);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(run.f->doc.undoStack().count(), 0); // nothing changed, nothing to undo

    Type(d.destinationBox(), "128");
    QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(Record(run.image(), 128), Record(run.image(), 5));

    // OK with a bad number: the message, then the dialog closes all the same.
    CopyRun other(0, 5);
    CopyDialog &e = *other.dialog;
    e.show();
    Type(e.destinationBox(), "200");
    QTest::mouseClick(e.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(other.prompts.shownIds(), QList<int>{1238});
    QVERIFY(!e.isVisible());
}

void TestCopyDialog::entryLengthLimits()
{
    CopyRun channel(0, 5);
    CopyDialog &d = *channel.dialog;
    d.show();
    QLineEdit *box = d.destinationBox();
    box->setText("123");
    box->setCursorPosition(3);
    QTest::keyClicks(box, "4x.");
    QCOMPARE(box->text(), QStringLiteral("123"));
    box->setSelection(1, 1);
    QTest::keyClicks(box, "9");
    QCOMPARE(box->text(), QStringLiteral("193"));

    CopyRun frequency(1, 5);
    CopyDialog &f = *frequency.dialog;
    f.show();
    box = f.destinationBox();
    box->setText("145.12500");
    box->setCursorPosition(9);
    QTest::keyClicks(box, "5");
    QCOMPARE(box->text(), QStringLiteral("145.12500"));
    box->selectAll();
    QTest::keyClicks(box, "14a5.5-");
    QCOMPARE(box->text(), QStringLiteral("145.5"));
}

void TestCopyDialog::frequencyCopy_data()
{
    QTest::addColumn<QString>("typed"); // "=" keeps the proposed text
    QTest::addColumn<bool>("useOk");
    QTest::addColumn<QString>("tx");
    QTest::addColumn<int>("message");
    QTest::newRow("proposed, OK") << "=" << true << "144.06250" << 0;
    QTest::newRow("rounded, Enter") << "145.003" << false << "145.00500" << 0;
    QTest::newRow("above the band") << "150" << false << "145.99500" << 1229;
    QTest::newRow("emptied removes TX") << "" << false << "" << 0;
}

void TestCopyDialog::frequencyCopy()
{
    QFETCH(QString, typed);
    QFETCH(bool, useOk);
    QFETCH(QString, tx);
    QFETCH(int, message);
    CopyRun run(1, 5); // channel 5 transmits on 144.36250
    ScriptedPrompts &prompts = run.prompts;
    CopyDialog &d = *run.dialog;
    QSignalSpy changed(&d, &CopyDialog::transmitChosen);
    d.show();
    if (typed != "=")
        d.destinationBox()->setText(typed);
    if (useOk)
        QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    else
        QTest::keyClick(d.destinationBox(), Qt::Key_Return);
    QVERIFY(!d.isVisible());
    QCOMPARE(Cell(*run.f, 5, ChannelColumn::TxFreq), tx);
    QCOMPARE(prompts.shownIds(), message ? QList<int>{message} : QList<int>{});
    if (message)
        QCOMPARE(prompts.shown.first().text,
                 QStringLiteral("Frequency is out of range.\nThe band is 144 - 146 MHz; the cell was set to %1 MHz.").arg(tx));
    QCOMPARE(changed.size(), 1);
    const int base = 4 * kRowSize;
    if (tx.isEmpty()) {
        for (int k : {4, 5, 6, 7, 10, 11})
            QCOMPARE(int(run.image().at(base + k)), 0xFF);
        QVERIFY(run.image().bit(base + 15, 1));
    } else {
        QVERIFY(!run.image().bit(base + 15, 1));
    }
}

void TestCopyDialog::toneCopy()
{
    // Choosing "None" and OK.
    CopyRun run(2, 1, [](MemoryImage &image) { // channel 1 encodes 67.0
        WriteChannelTone(image, 1, ChannelColumn::Decode, "D023N");
    });
    CopyDialog &d = *run.dialog;
    d.show();
    QCOMPARE(d.toneList()->currentText(), QStringLiteral("D023N"));
    d.toneList()->setCurrentIndex(0);
    QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(Cell(*run.f, 1, ChannelColumn::Encode), QStringLiteral("None"));
    QCOMPARE(int(run.image().at(10)), 0xFF);
    QCOMPARE(int(run.image().at(11)), 0xFF);

    // Enter in the list stores the proposed decode tone.
    const auto e = run.commands.copyDialog(nullptr, 2, 1);
    e->show();
    QTest::keyClick(e->toneList(), Qt::Key_Return);
    QVERIFY(!e->isVisible());
    QCOMPARE(Cell(*run.f, 1, ChannelColumn::Encode), QStringLiteral("D023N"));
}

void TestCopyDialog::cancelStoresNothing()
{
    for (int mode : {1, 2}) {
        CopyRun run(mode, 2, [](MemoryImage &image) { // channel 2 has no transmit frequency
            image.setBit(1 * kRowSize + 15, 1, false);
        });
        const MemoryImage before = run.image();
        CopyDialog &d = *run.dialog;
        d.show();
        if (mode == 1)
            d.destinationBox()->setText("145.5");
        else
            d.toneList()->setCurrentIndex(5);
        QTest::keyClick(&d, Qt::Key_Escape);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(run.image() == before);
    }
}

QTEST_MAIN(TestCopyDialog)
#include "test_copy_dialog.moc"
