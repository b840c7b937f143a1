// Setup, Communication Port, Test: against zrk6-radiosim on a pseudo-terminal, offscreen.
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "dialogs/comm_port_dialog.h"
#include "radiosim_process.h"

using namespace zrk6;
using zrk6::test::RadioSimProcess;

class TestPortTestButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { zrk6::test::UseShortTime(); }
    void testNamesTheRadioOrSaysWhatCameBack_data();
    void testNamesTheRadioOrSaysWhatCameBack();
};

void TestPortTestButton::testNamesTheRadioOrSaysWhatCameBack_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("says");
    QTest::newRow("good line") << QStringList() << int(kEnglish)
                               << QStringList{QStringLiteral("The radio answered in"),
                                              QStringLiteral("Radio identification: FF FF FF FF FF FF FF FF")};
    QTest::newRow("silent line, in Chinese") << QStringList{QStringLiteral("--fault"), QStringLiteral("silent")}
                                             << int(kChinese)
                                             << QStringList{QStringLiteral("对讲机没有确认握手信号（Error01）。"),
                                                            QStringLiteral("两个步骤可以区分写频线和对讲机")};
}

void TestPortTestButton::testNamesTheRadioOrSaysWhatCameBack()
{
    QFETCH(QStringList, options);
    QFETCH(int, language);
    QFETCH(QStringList, says);
    RadioSimProcess sim;
    QVERIFY(sim.start(options));
    AppState state;
    state.language = static_cast<LanguageMode>(language);
    state.commPortNumber = 5;
    CommPortDialog dialog(state, {CommPortOption{1, QStringLiteral("/dev/ttyS0"), {}},
                                  CommPortOption{5, sim.link(), QStringLiteral("virtual radio")}});
    dialog.show();
    QVERIFY(dialog.option(1)->isChecked());
    dialog.testButton()->setFocus();
    QTest::keyClick(dialog.testButton(), Qt::Key_Space);
    QVERIFY(!dialog.testButton()->isEnabled()); // one test at a time
    QTRY_VERIFY_WITH_TIMEOUT(dialog.testButton()->isEnabled(), 5000);
    // The keyboard is back on Test, not on OK, where Enter would close the dialog.
    QCOMPARE(dialog.focusWidget(), dialog.testButton());
    for (const QString &text : says)
        QVERIFY2(dialog.testResult()->text().contains(text), qPrintable(dialog.testResult()->text()));
    // Another port chosen: the old result no longer stands.
    dialog.option(0)->setChecked(true);
    QVERIFY(dialog.testResult()->text().isEmpty());
}

QTEST_MAIN(TestPortTestButton)
#include "test_port_test_button.moc"
