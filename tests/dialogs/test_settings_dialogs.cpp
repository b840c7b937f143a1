#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "dialogs/about_dialog.h"
#include "dialogs/channel_ops_dialogs.h"
#include "dialogs/comm_port_dialog.h"
#include "dialogs/language_dialog.h"
#include "model/app_state.h"

using namespace zrk6;

class TestSettingsDialogs : public QObject {
    Q_OBJECT

private slots:
    void commPortShowsAndChoosesPort();
    void commPortCancelKeepsPort();
    void commPortChecksTheChosenPort();
    void commPortTakesADeviceTyped();
    void commPortRefusesNoDeviceOrAMissingOne_data();
    void commPortRefusesNoDeviceOrAMissingOne();
    void languageChoice_data();
    void languageChoice();
    void languageListIsInCurrentLanguage();
    void aboutText_data();
    void aboutText();
    void aboutDateFollowsLocale();
    void titlesFitTheirDialogs();
    void changeChannelsOptionsAreTheGrids();
};

// A title bar shows the title beside the window's icon and three buttons; the dialogs leave
// that room (in a bold face, as most title bars use).
void TestSettingsDialogs::titlesFitTheirDialogs()
{
    for (const LanguageMode language : {kEnglish, kChinese}) {
        AppState state;
        state.language = language;
        LanguageDialog languageDialog(state);
        ChangeChannelsDialog change(language, nullptr);
        SortChannelsDialog sort(language, false, nullptr);
        FindDialog find(language, nullptr);
        for (QDialog *d : std::initializer_list<QDialog *>{&languageDialog, &change, &sort, &find}) {
            d->show();
            QFont bold = d->font();
            bold.setBold(true);
            const QFontMetrics metrics(bold);
            const int needed = metrics.horizontalAdvance(d->windowTitle()) + 8 * metrics.height();
            QVERIFY2(d->width() >= needed, qPrintable(QStringLiteral("%1: %2 < %3").arg(d->windowTitle()).arg(d->width()).arg(needed)));
            d->close();
        }
    }
}

void TestSettingsDialogs::commPortShowsAndChoosesPort()
{
    AppState state;
    state.commPortNumber = 3;
    CommPortDialog d(state, [](int n) { return n == 4 ? QString() : QStringLiteral("/dev/ttyUSB%1").arg(n - 1); });
    QCOMPARE(d.windowTitle(), QStringLiteral("Communication Port"));
    QCOMPARE(d.findChild<QGroupBox *>("fraPort")->title(), QStringLiteral("Communication Port"));
    QCOMPARE(d.option(0)->text(), QStringLiteral("COM1 (/dev/ttyUSB0)"));
    QCOMPARE(d.option(3)->text(), QStringLiteral("COM4"));
    QVERIFY(d.option(2)->isChecked());
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.option(1)->click();
    QVERIFY(d.option(1)->isChecked());
    QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(state.commPortNumber, 2);

    // On Windows the system name is the caption itself and is not repeated.
    state.language = kChinese;
    CommPortDialog zh(state, [](int n) { return QStringLiteral("COM%1").arg(n); });
    QCOMPARE(zh.option(1)->text(), QStringLiteral("通信口2 (COM2)"));
    QVERIFY(zh.option(1)->isChecked());

    // A USB adapter at COM7 is offered after the first four, with its description.
    state.language = kEnglish;
    state.commPortNumber = 7;
    CommPortDialog many(state, QList<CommPortOption>{{1, "COM1", "Communications Port"}, {2, "COM2", ""},
                                                     {3, "COM3", ""}, {4, "COM4", ""},
                                                     {7, "COM7", "USB-SERIAL CH340"}});
    QCOMPARE(many.optionCount(), 5);
    QCOMPARE(many.option(0)->text(), QStringLiteral("COM1 - Communications Port"));
    QCOMPARE(many.option(4)->text(), QStringLiteral("COM7 - USB-SERIAL CH340"));
    QVERIFY(many.option(4)->isChecked());
    many.show();
    QTest::mouseClick(many.option(3), Qt::LeftButton, {}, QPoint(6, many.option(3)->height() / 2)); // on the circle
    QTest::mouseClick(many.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(state.commPortNumber, 4);
}

void TestSettingsDialogs::commPortCancelKeepsPort()
{
    AppState state;
    CommPortDialog d(state, CommPortDialog::PortNameFunction{});
    QVERIFY(d.option(0)->isChecked());
    d.show();
    d.option(3)->setChecked(true);
    QTest::keyClick(&d, Qt::Key_Escape);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(state.commPortNumber, 1);
}

void TestSettingsDialogs::commPortChecksTheChosenPort()
{
    AppState state;
    QStringList asked;
    CommPortDialog d(
        state, [](int n) { return QStringLiteral("/dev/ttyUSB%1").arg(n - 1); }, nullptr,
        [&asked](const QString &device) {
            asked << device;
            return QStringList{device + QStringLiteral(":"), QStringLiteral("    You can open it.")};
        });
    QCOMPARE(d.findChild<QGroupBox *>("fraCheck")->title(), QStringLiteral("Port check"));
    QCOMPARE(d.portCheck()->text(), QStringLiteral("/dev/ttyUSB0:\n    You can open it."));
    d.show();
    QTest::mouseClick(d.option(2), Qt::LeftButton, {}, QPoint(6, d.option(2)->height() / 2)); // on the circle
    QCOMPARE(d.portCheck()->text(), QStringLiteral("/dev/ttyUSB2:\n    You can open it."));
    QCOMPARE(asked, (QStringList{"/dev/ttyUSB0", "/dev/ttyUSB2"})); // once per choice, not per toggle

    CommPortDialog unchecked(state, CommPortDialog::PortNameFunction{});
    QVERIFY(unchecked.portCheck() == nullptr);
    QVERIFY(unchecked.findChild<QGroupBox *>("fraCheck") == nullptr);
}

// The device field follows the options; a device typed that no option stands for is the
// choice instead, and Enter takes it.
void TestSettingsDialogs::commPortTakesADeviceTyped()
{
#ifdef Q_OS_WIN
    QSKIP("a device typed must be a port the system lists; a file stands for one only elsewhere");
#endif
    QTemporaryDir dir;
    const QString radio = dir.filePath(QStringLiteral("radio"));
    QFile device(radio);
    QVERIFY(device.open(QIODevice::WriteOnly));
    AppState state;
    CommPortDialog d(state, [](int n) { return QStringLiteral("/dev/ttyUSB%1").arg(n - 1); });
    auto *field = d.findChild<QLineEdit *>(QStringLiteral("txtDevice"));
    QVERIFY(field == d.deviceField());
    QCOMPARE(d.findChild<QLabel *>(QStringLiteral("lblDevice"))->buddy(), field);
    QCOMPARE(d.findChild<QLabel *>(QStringLiteral("lblDevice"))->text(), QStringLiteral("&Device:"));
    QCOMPARE(field->accessibleName(), QStringLiteral("Device"));
    QCOMPARE(field->text(), QStringLiteral("/dev/ttyUSB0"));
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.option(2)->click();
    QCOMPARE(field->text(), QStringLiteral("/dev/ttyUSB2"));

    // Typing the name of a listed port chooses that port.
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("/dev/ttyUSB1"));
    QVERIFY(d.option(1)->isChecked());
    QCOMPARE(d.chosenNumber(), 2);

    field->selectAll();
    QTest::keyClicks(field, radio);
    for (int i = 0; i < d.optionCount(); ++i)
        QVERIFY(!d.option(i)->isChecked());
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.chosenDevice(), radio);
    QCOMPARE(d.chosenNumber(), 0);
    QCOMPARE(state.commPortNumber, 1); // a device by its path is no numbered port

    state.language = kChinese;
    CommPortDialog zh(state, CommPortDialog::PortNameFunction{});
    QCOMPARE(zh.findChild<QLabel *>(QStringLiteral("lblDevice"))->text(), QStringLiteral("设备(&D)："));
    QCOMPARE(zh.deviceField()->accessibleName(), QStringLiteral("设备"));
}

void TestSettingsDialogs::commPortRefusesNoDeviceOrAMissingOne_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("says");
    QTest::newRow("nothing") << "  " << "Type a device, or choose a port above.";
    QTest::newRow("no such device") << "/nonexistent/ttyZR"
                                    << QStringLiteral("The device %1 does not exist.")
                                           .arg(QDir::toNativeSeparators(QStringLiteral("/nonexistent/ttyZR")));
}

// Never a silent switch to nothing: the dialog stays open, says why, and the field has the focus.
void TestSettingsDialogs::commPortRefusesNoDeviceOrAMissingOne()
{
    QFETCH(QString, typed);
    QFETCH(QString, says);
    AppState state;
    state.commPortNumber = 2;
    CommPortDialog d(state, [](int n) { return QStringLiteral("/dev/ttyUSB%1").arg(n - 1); });
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QVERIFY(d.deviceMessage()->isHidden());
    d.deviceField()->setFocus();
    d.deviceField()->selectAll();
    QTest::keyClicks(d.deviceField(), typed);
    QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QVERIFY(d.isVisible());
    QCOMPARE(d.deviceMessage()->text(), says);
    QVERIFY(d.deviceMessage()->isVisible());
    QCOMPARE(QApplication::focusWidget(), d.deviceField());
    QCOMPARE(state.commPortNumber, 2);
    // A port chosen again: the refusal no longer stands, and OK takes the port.
    d.option(0)->click();
    QVERIFY(d.deviceMessage()->isHidden());
    QCOMPARE(d.deviceField()->text(), QStringLiteral("/dev/ttyUSB0"));
    QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(state.commPortNumber, 1);
}

void TestSettingsDialogs::languageChoice_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("after");
    QTest::newRow("English to Chinese") << 0 << 1 << true << 1;
    QTest::newRow("Chinese to English") << 1 << 0 << true << 0;
    QTest::newRow("unchanged") << 1 << 1 << true << 1;
    QTest::newRow("cancel after a change") << 0 << 1 << false << 0;
}

void TestSettingsDialogs::languageChoice()
{
    QFETCH(int, start);
    QFETCH(int, choice);
    QFETCH(bool, ok);
    QFETCH(int, after);
    AppState state;
    state.language = static_cast<LanguageMode>(start);
    LanguageDialog d(state);
    QCOMPARE(d.languageList()->currentIndex(), start);
    d.show();
    d.languageList()->setCurrentIndex(choice);
    QTest::mouseClick(d.findChild<QPushButton *>(ok ? "cmdOK" : "cmdCancel"), Qt::LeftButton);
    QCOMPARE(state.language, after);
}

void TestSettingsDialogs::languageListIsInCurrentLanguage()
{
    AppState state;
    state.language = kChinese;
    LanguageDialog d(state);
    QCOMPARE(d.windowTitle(), QStringLiteral("语言设置"));
    QCOMPARE(d.findChild<QLabel *>("lblLang")->text(), QStringLiteral("语言模式"));
    QCOMPARE(d.languageList()->itemText(0), QStringLiteral("英语"));
    QCOMPARE(d.languageList()->itemText(1), QStringLiteral("中文"));
}

void TestSettingsDialogs::aboutText_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("firstLines");
    QTest::newRow("English") << 0 << "About ZR-K6"
                             << QStringList{"ZR-K6 Radio Programming Software", "For ZR-K6", "", "Version 2.90"};
    QTest::newRow("Chinese") << 1 << "关于 ZR-K6" << QStringList{"ZR-K6 对讲机编程软件", "用于 ZR-K6", "", "版本 2.90"};
}

void TestSettingsDialogs::aboutText()
{
    QFETCH(int, language);
    QFETCH(QString, title);
    QFETCH(QStringList, firstLines);
    AboutDialog d(static_cast<LanguageMode>(language));
    QCOMPARE(d.windowTitle(), title);
    const QStringList lines = d.aboutLabel()->text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.mid(0, 4), firstLines);
    QVERIFY(lines[4].startsWith(language ? QStringLiteral("发布 ") : QStringLiteral("Release ")));
    QCOMPARE(lines[5], QString());
    QVERIFY(!lines[6].isEmpty() && !lines[7].isEmpty());
    QCOMPARE(d.findChild<QPushButton *>("cmdOK")->text(), language ? QStringLiteral("确定(&O)") : QStringLiteral("&OK"));
}

void TestSettingsDialogs::aboutDateFollowsLocale()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString us = AboutText(kEnglish).split("\r\n").at(4);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString de = AboutText(kEnglish).split("\r\n").at(4);
    QLocale::setDefault(saved);
    QCOMPARE(us, QStringLiteral("Release 12/1/26"));
    QCOMPARE(de, QStringLiteral("Release 01.12.26"));
}

// Each option list of Change Selected Channels offers the grid's items in the grid's order,
// and the item chosen is the value set.
void TestSettingsDialogs::changeChannelsOptionsAreTheGrids()
{
    struct Case {
        const char *name;
        QStringList items;
        int pick;
        std::function<bool(const ChannelChange &)> holds;
    };
    const Case cases[] = {
        {"WideNarrow", {"Wide", "Narrow"}, 1, [](const ChannelChange &c) { return c.wide == false; }},
        {"Scan", {"Add", "Del"}, 0, [](const ChannelChange &c) { return c.scan == true; }},
        {"TxPower", {"Low", "Mid", "High"}, 0, [](const ChannelChange &c) { return c.power == TxPower::Low; }},
        {"Bcl", {"Off", "Carrier", "QT/DQT"}, 2, [](const ChannelChange &c) { return c.busyLock == BusyLock::QtDqt; }},
        {"Scrambler", {"Off", "On"}, 1, [](const ChannelChange &c) { return c.scrambler == true; }},
    };
    for (const Case &c : cases) {
        ChangeChannelsDialog d(kEnglish, nullptr);
        auto *box = d.findChild<QComboBox *>(QStringLiteral("cboChange") + QLatin1String(c.name));
        QVERIFY2(box, c.name);
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, c.items);
        d.findChild<QCheckBox *>(QStringLiteral("chkChange") + QLatin1String(c.name))->setChecked(true);
        box->setCurrentIndex(c.pick);
        QVERIFY2(c.holds(d.value()), c.name);
    }
}

QTEST_MAIN(TestSettingsDialogs)
#include "test_settings_dialogs.moc"
