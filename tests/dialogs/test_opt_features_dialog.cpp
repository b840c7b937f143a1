#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "dialog_fixtures.h"
#include "dialogs/opt_features_dialog.h"

using namespace zrk6;
using zrk6::test::StateWithChannels;

namespace {

// The image as the window stores it after OK: the dialog's features over the document's image.
MemoryImage StoredOnOk(const test::DialogDoc &f, const OptFeaturesDialog &d)
{
    MemoryImage stored = f.doc.image();
    EncodeOptionalFeatures(stored, d.shownFeatures());
    return stored;
}


QByteArray FeatureBytes(const MemoryImage &image)
{
    QByteArray bytes;
    for (int a = 0xFC0; a <= 0xFC9; ++a)
        bytes.append(static_cast<char>(image.at(a)));
    return bytes;
}

} // namespace

class TestOptFeaturesDialog : public QObject {
    Q_OBJECT

private slots:
    void listsAndCaptions();
    void decodesStoredValues_data();
    void decodesStoredValues();
    void okStoresShownValues_data();
    void okStoresShownValues();
    void okWithDefaultImageChangesNothing();
    void cancelAndEscChangeNothing();
    void priorityListFollowsChannelsInUse();
    void chineseOffStillStoresZero();
    void pttIdTexts();
    void enterMovesThroughTabOrder();
};

void TestOptFeaturesDialog::listsAndCaptions()
{
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    OptFeaturesDialog d(state, stateDoc->doc);
    QCOMPARE(d.windowTitle(), QStringLiteral("Optional Features"));
    QCOMPARE(d.generalList(1)->count(), 21);
    QCOMPARE(d.generalList(1)->itemText(0), QStringLiteral("Off"));
    QCOMPARE(d.generalList(1)->itemText(20), QStringLiteral("300"));
    QCOMPARE(d.generalList(4)->itemText(1), QStringLiteral("Channel+Frequency"));
    const QStringList scan = {"Off", "ChannelMode", "CTCSS Mode", "DCS Mode"};
    for (int i = 0; i < scan.size(); ++i)
        QCOMPARE(d.generalList(5)->itemText(i), scan[i]);
    QCOMPARE(d.generalList(3)->itemText(0), QStringLiteral("Chinese"));
    QCOMPARE(d.voxList(2)->itemText(5), QStringLiteral("3.0"));
    QCOMPARE(d.findChild<QLabel *>("lblFeatureGen4")->text(), QStringLiteral("Channel Dis.\t"));

    // Filled for the print but never shown.
    d.show();
    for (const char *name : {"lblFeatureGen3", "cboFeatureGen3", "chkFeatureGen0", "chkFeatureGen3", "fraPTTID"})
        QVERIFY2(!d.findChild<QWidget *>(name)->isVisible(), name);
    for (const char *name : {"cboFeatureGen1", "cboFeatureGen7", "cboFeatureVox2", "chkFeatureGen5", "fraVOX"})
        QVERIFY2(d.findChild<QWidget *>(name)->isVisible(), name);
}

void TestOptFeaturesDialog::decodesStoredValues_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("expected"); // list index, or check state 0/1

    QTest::newRow("time-out 300 s") << 0xFC4 << 20 << "cboFeatureGen1" << 20;
    QTest::newRow("time-out 21 is off") << 0xFC4 << 21 << "cboFeatureGen1" << 0;
    QTest::newRow("squelch 9") << 0xFC3 << 9 << "cboFeatureGen2" << 9;
    QTest::newRow("squelch 10 is 0") << 0xFC3 << 10 << "cboFeatureGen2" << 0;
    QTest::newRow("chord off") << 0xFC2 << 0x01 << "cboFeatureGen3" << 2;
    QTest::newRow("chord chinese") << 0xFC2 << 0x03 << "cboFeatureGen3" << 0;
    QTest::newRow("chord english") << 0xFC2 << 0x02 << "cboFeatureGen3" << 1;
    QTest::newRow("channel display") << 0xFC0 << 0x02 << "cboFeatureGen4" << 1;
    QTest::newRow("scan bits 0x70 is channel mode") << 0xFC0 << 0x70 << "cboFeatureGen5" << 1;
    QTest::newRow("scan CTCSS") << 0xFC0 << 0x60 << "cboFeatureGen5" << 2;
    QTest::newRow("scan DCS") << 0xFC0 << 0x40 << "cboFeatureGen5" << 3;
    QTest::newRow("scan off") << 0xFC0 << 0x8F << "cboFeatureGen5" << 0;
    QTest::newRow("lamp on") << 0xFC1 << 0x10 << "cboFeatureGen6" << 2;
    QTest::newRow("lamp 3 is off") << 0xFC1 << 0x18 << "cboFeatureGen6" << 0;
    QTest::newRow("priority names an empty channel") << 0xFC9 << 5 << "cboFeatureGen7" << 0;
    QTest::newRow("priority 200") << 0xFC9 << 200 << "cboFeatureGen7" << 0;
    QTest::newRow("priority 7 in use") << 0xFC9 << 7 << "cboFeatureGen7" << 2; // items Off, 3, 7
    QTest::newRow("vox gain 9") << 0xFC5 << 9 << "cboFeatureVox1" << 9;
    QTest::newRow("vox gain 10 is off") << 0xFC5 << 10 << "cboFeatureVox1" << 0;
    QTest::newRow("vox delay 6 is 0.3") << 0xFC6 << 6 << "cboFeatureVox2" << 0;
    QTest::newRow("revert") << 0xFC0 << 0x08 << "chkFeatureGen0" << 1;
    QTest::newRow("key lock") << 0xFC0 << 0x80 << "chkFeatureGen4" << 1;
    QTest::newRow("beep") << 0xFC2 << 0x40 << "chkFeatureGen1" << 1;
    QTest::newRow("battery") << 0xFC2 << 0x04 << "chkFeatureGen2" << 1;
    QTest::newRow("scrambler") << 0xFC2 << 0x10 << "chkFeatureGen3" << 1;
    QTest::newRow("manual") << 0xFC2 << 0x80 << "chkFeatureGen5" << 1;
    QTest::newRow("manual clear") << 0xFC2 << 0x7F << "chkFeatureGen5" << 0;
}

void TestOptFeaturesDialog::decodesStoredValues()
{
    QFETCH(int, address);
    QFETCH(int, value);
    QFETCH(QString, control);
    QFETCH(int, expected);
    auto stateDoc = StateWithChannels({3, 7});
    AppState &state = stateDoc->state;
    stateDoc->set(address, static_cast<std::uint8_t>(value));
    OptFeaturesDialog d(state, stateDoc->doc);
    if (auto *list = d.findChild<QComboBox *>(control))
        QCOMPARE(list->currentIndex(), expected);
    else
        QCOMPARE(d.findChild<QCheckBox *>(control)->isChecked(), expected == 1);
}

void TestOptFeaturesDialog::okStoresShownValues_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("control"); // "" stores what was shown
    QTest::addColumn<int>("choice");      // list index, or check state 0/1
    QTest::addColumn<int>("after");

    // Normalising: the shown value is stored, bits outside the fields stay.
    QTest::newRow("time-out 21 becomes 0") << 0xFC4 << 21 << "" << 0 << 0;
    QTest::newRow("lamp 3 becomes off, other bits kept") << 0xFC1 << 0xFF << "" << 0 << 0xE7;
    QTest::newRow("scan 0x70 keeps only channel mode") << 0xFC0 << 0x70 << "" << 0 << 0x10;
    QTest::newRow("priority on empty channel becomes 0") << 0xFC9 << 5 << "" << 0 << 0;
    QTest::newRow("chord bits kept") << 0xFC2 << 0x03 << "" << 0 << 0x03;
    QTest::newRow("unused bits of 0xFC0 kept") << 0xFC0 << 0x05 << "" << 0 << 0x05;
    // Each control stores into its own bits.
    QTest::newRow("time-out 45 s") << 0xFC4 << 4 << "cboFeatureGen1" << 3 << 3;
    QTest::newRow("squelch 7") << 0xFC3 << 5 << "cboFeatureGen2" << 7 << 7;
    QTest::newRow("channel display") << 0xFC0 << 0x10 << "cboFeatureGen4" << 1 << 0x12;
    QTest::newRow("scan DCS") << 0xFC0 << 0x10 << "cboFeatureGen5" << 3 << 0x40;
    QTest::newRow("scan CTCSS") << 0xFC0 << 0x95 << "cboFeatureGen5" << 2 << 0xA5;
    QTest::newRow("scan off") << 0xFC0 << 0x10 << "cboFeatureGen5" << 0 << 0x00;
    QTest::newRow("lamp on") << 0xFC1 << 0x08 << "cboFeatureGen6" << 2 << 0x10;
    QTest::newRow("priority 7") << 0xFC9 << 0 << "cboFeatureGen7" << 2 << 7;
    QTest::newRow("vox gain 4") << 0xFC5 << 0 << "cboFeatureVox1" << 4 << 4;
    QTest::newRow("vox delay 3.0") << 0xFC6 << 0 << "cboFeatureVox2" << 5 << 5;
    QTest::newRow("revert on") << 0xFC0 << 0x10 << "chkFeatureGen0" << 1 << 0x18;
    QTest::newRow("key lock on") << 0xFC0 << 0x10 << "chkFeatureGen4" << 1 << 0x90;
    QTest::newRow("beep off") << 0xFC2 << 0xC4 << "chkFeatureGen1" << 0 << 0x84;
    QTest::newRow("battery off") << 0xFC2 << 0xC4 << "chkFeatureGen2" << 0 << 0xC0;
    QTest::newRow("scrambler on") << 0xFC2 << 0xC4 << "chkFeatureGen3" << 1 << 0xD4;
    QTest::newRow("manual off") << 0xFC2 << 0xC4 << "chkFeatureGen5" << 0 << 0x44;
}

void TestOptFeaturesDialog::okStoresShownValues()
{
    QFETCH(int, address);
    QFETCH(int, before);
    QFETCH(QString, control);
    QFETCH(int, choice);
    QFETCH(int, after);
    auto stateDoc = StateWithChannels({3, 7});
    AppState &state = stateDoc->state;
    stateDoc->set(address, static_cast<std::uint8_t>(before));
    OptFeaturesDialog d(state, stateDoc->doc);
    if (auto *list = d.findChild<QComboBox *>(control))
        list->setCurrentIndex(choice);
    else if (auto *check = d.findChild<QCheckBox *>(control))
        check->setChecked(choice == 1);
    d.show();
    QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(int(StoredOnOk(*stateDoc, d).at(address)), after);
}

void TestOptFeaturesDialog::okWithDefaultImageChangesNothing()
{
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    const MemoryImage before = stateDoc->doc.image();
    OptFeaturesDialog d(state, stateDoc->doc);
    QCOMPARE(d.generalList(1)->currentText(), QStringLiteral("60"));
    QCOMPARE(d.generalList(2)->currentText(), QStringLiteral("5"));
    QCOMPARE(d.generalList(6)->currentText(), QStringLiteral("Auto"));
    d.accept();
    QVERIFY(StoredOnOk(*stateDoc, d) == before);
}

void TestOptFeaturesDialog::cancelAndEscChangeNothing()
{
    for (const bool useEsc : {false, true}) {
        auto stateDoc = StateWithChannels({3, 7});
        AppState &state = stateDoc->state;
        const QByteArray before = FeatureBytes(stateDoc->doc.image());
        OptFeaturesDialog d(state, stateDoc->doc);
        d.show();
        for (int i : {1, 2, 4, 5, 6, 7})
            d.generalList(i)->setCurrentIndex(1);
        d.voxList(1)->setCurrentIndex(3);
        d.voxList(2)->setCurrentIndex(3);
        for (int i = 0; i <= 5; ++i)
            d.generalCheck(i)->toggle();
        if (useEsc)
            QTest::keyClick(d.generalList(1), Qt::Key_Escape);
        else
            QTest::mouseClick(d.findChild<QPushButton *>("cmdCancel"), Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(!d.isVisible());
        QCOMPARE(FeatureBytes(stateDoc->doc.image()), before);
    }
}

void TestOptFeaturesDialog::priorityListFollowsChannelsInUse()
{
    auto stateDoc = StateWithChannels({3, 10, 128});
    AppState &state = stateDoc->state;
    OptFeaturesDialog d(state, stateDoc->doc);
    QStringList items;
    for (int i = 0; i < d.generalList(7)->count(); ++i)
        items << d.generalList(7)->itemText(i);
    QCOMPARE(items, (QStringList{"Off", "3", "10", "128"}));

    auto emptyDoc = StateWithChannels({});
    AppState &empty = emptyDoc->state;
    emptyDoc->set(0xFC9, 9);
    OptFeaturesDialog e(empty, emptyDoc->doc);
    QCOMPARE(e.generalList(7)->count(), 1);
    e.accept();
    QCOMPARE(int(StoredOnOk(*emptyDoc, e).at(0xFC9)), 0);
}

void TestOptFeaturesDialog::chineseOffStillStoresZero()
{
    auto stateDoc = StateWithChannels({3}, kChinese);
    AppState &state = stateDoc->state;
    stateDoc->set(0xFC9, 3);
    OptFeaturesDialog d(state, stateDoc->doc);
    QCOMPARE(d.windowTitle(), QStringLiteral("可选功能"));
    QCOMPARE(d.generalList(7)->currentText(), QStringLiteral("3"));
    d.generalList(7)->setCurrentIndex(0);
    QCOMPARE(d.generalList(7)->currentText(), QStringLiteral("关"));
    d.accept();
    QCOMPARE(int(StoredOnOk(*stateDoc, d).at(0xFC9)), 0);
}

void TestOptFeaturesDialog::pttIdTexts()
{
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    OptFeaturesDialog defaults(state, stateDoc->doc);
    QCOMPARE(defaults.pttIdAni()->text(), QString());
    QCOMPARE(defaults.pttIdName()->text(), QString());

    const std::uint8_t ani[] = {0x39, 0x38, 0xFF, 0x37};
    const std::uint8_t name[] = {0x41, 0x42, 0x43, 0x20};
    for (int i = 0; i < 4; ++i) {
        stateDoc->set(0xFD0 + i, ani[i]);
        stateDoc->set(0xFE0 + i, name[i]);
    }
    const MemoryImage before = stateDoc->doc.image();
    OptFeaturesDialog d(state, stateDoc->doc);
    QCOMPARE(d.pttIdAni()->text(), QStringLiteral("98"));
    QCOMPARE(d.pttIdName()->text(), QStringLiteral("ABC"));
    QVERIFY(!d.pttIdCheck(1)->isChecked());
    QVERIFY(!d.pttIdCheck(2)->isChecked());
    d.pttIdAni()->setText(QStringLiteral("1234"));
    d.accept();
    QVERIFY(StoredOnOk(*stateDoc, d) == before); // the PTT ID areas are never stored
}

void TestOptFeaturesDialog::enterMovesThroughTabOrder()
{
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    OptFeaturesDialog d(state, stateDoc->doc);
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    const QStringList order = {"cboFeatureGen1", "cboFeatureGen2", "cboFeatureGen4", "cboFeatureGen5",
                               "cboFeatureGen6", "cboFeatureGen7", "cboFeatureVox1", "cboFeatureVox2",
                               "chkFeatureGen1", "chkFeatureGen2", "chkFeatureGen4", "cmdOK",
                               "cmdCancel", "chkFeatureGen5"};
    d.findChild<QWidget *>(order.first())->setFocus();
    // Enter on the lists and check boxes moves on; Tab walks the rest of the order.
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        QCOMPARE(focused->objectName(), order[i]);
        const bool button = qobject_cast<QPushButton *>(focused) != nullptr;
        QTest::keyClick(focused, button ? Qt::Key_Tab : Qt::Key_Return);
    }
    QCOMPARE(QApplication::focusWidget()->objectName(), order.last());
    QVERIFY(d.isVisible()); // Enter never closed the dialog
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
}

QTEST_MAIN(TestOptFeaturesDialog)
#include "test_opt_features_dialog.moc"
