// Program Several Radios, offscreen, against several zrk6-radiosim radios on pseudo-terminals.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include "accessibility_walk.h"
#include "dialogs/fleet_dialog.h"
#include "files/data_file_io.h"
#include "main_window_fixture.h"
#include "radiosim_process.h"
#include "sample_memory.h"
#include "scripted_prompts.h"
#include "text/text_qstring.h"

using namespace zrk6;
using zrk6::test::Child;
using zrk6::test::RadioSimProcess;

namespace {

// zrk6-radiosim --count N: N radios from one command, on links dir/radio1 .. dir/radioN, each
// saving its memory to dir/radioK.img after every completed write. Stopped when destroyed.
class RadioSimFleet {
public:
    bool start(int count, const QStringList &arguments = {})
    {
        process_.setProgram(QStringLiteral(ZRK6_RADIOSIM));
        process_.setArguments(QStringList{QStringLiteral("--count"), QString::number(count), QStringLiteral("--link"),
                                          dir_.filePath(QStringLiteral("radio")), QStringLiteral("--save"),
                                          dir_.filePath(QStringLiteral("radio.img"))} +
                              arguments);
        process_.start();
        if (!process_.waitForStarted(5000))
            return false;
        // One device path a line, every one printed before any radio starts.
        QDeadlineTimer deadline(5000);
        while (devices_.size() < count && !deadline.hasExpired()) {
            if (!process_.canReadLine())
                process_.waitForReadyRead(100);
            while (process_.canReadLine())
                devices_ << QString::fromLocal8Bit(process_.readLine()).trimmed();
        }
        for (int n = 1; n <= count; ++n)
            if (!QFile::exists(link(n)))
                return false;
        return devices_.size() == count;
    }
    ~RadioSimFleet()
    {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
    }
    QString link(int n) const { return dir_.filePath(QStringLiteral("radio%1").arg(n)); }
    QString saved(int n) const { return dir_.filePath(QStringLiteral("radio%1.img").arg(n)); }
    QString path(const QString &name) const { return dir_.filePath(name); }
    QByteArray errors() { return process_.readAllStandardError(); }

private:
    QTemporaryDir dir_;
    QProcess process_;
    QStringList devices_;
};

QStringList LogLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString Cell(const QTableWidget *table, int row, int column)
{
    return table->item(row, column)->text();
}

constexpr int kRoundColumn = 1;
constexpr int kResultColumn = 4;

} // namespace

class TestFleetDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { test::UseShortTime(); }
    void twoRoundsProgramEveryRadioAndAnotherModelFailsAlone();
    void closingInTheMiddleEndsEveryTransfer();
    void startRefusesWithoutPortsOrLog();
    void everyControlIsNamedInBothLanguages_data();
    void everyControlIsNamedInBothLanguages();
    void theProgramMenuOpensIt();
};

void TestFleetDialog::twoRoundsProgramEveryRadioAndAnotherModelFailsAlone()
{
    RadioSimFleet fleet;
    QVERIFY(fleet.start(2, {QStringLiteral("--quiet")}));
    RadioSimProcess other;
    QVERIFY(other.start({QStringLiteral("--fault"), QStringLiteral("wrong-id")}));

    // The plan differs from the radios everywhere: channels only must keep their own settings.
    const MemoryImage before = radiosim::BuildSampleMemory();
    MemoryImage plan = before;
    for (int a = 0; a < 0x800; ++a)
        plan.set(a, static_cast<std::uint8_t>(a * 5 + 1));
    for (int a = 0x800; a < 0xFB0; ++a)
        plan.set(a, static_cast<std::uint8_t>(~before.at(a)));

    const QString log = fleet.path(QStringLiteral("fleet.csv"));
    test::ScriptedPrompts prompts;
    FleetDialog::Setup setup;
    setup.plan = plan;
    setup.logFile = log;
    setup.backup = false;
    setup.ports = {{fleet.link(1), QString(), true, {}}, {QStringLiteral("/dev/ttyS0"), QString(), false, {}}};
    FleetDialog dialog(setup, kEnglish, prompts);
    dialog.addPort(fleet.link(2));
    dialog.addPort(other.link());
    dialog.show();
    auto *table = Child<QTableWidget>(&dialog, QStringLiteral("lstFleetPorts"));
    // A built-in port is listed, not ticked.
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(table->item(1, 0)->checkState(), Qt::Unchecked);
    Child<QCheckBox>(&dialog, QStringLiteral("chkChannelsOnly"))->setChecked(true);

    const int radioRows[] = {0, 2};
    const int otherRow = 3;
    // Waited for in the event loop: polling it (QTRY_VERIFY) sleeps between looks and holds every
    // radio up at every block.
    QSignalSpy roundFinished(&dialog, &FleetDialog::roundFinished);
    for (int round = 1; round <= 2; ++round) {
        for (int n = 1; n <= 2; ++n)
            QFile::remove(fleet.saved(n));
        QTest::mouseClick(Child<QPushButton>(&dialog, round == 1 ? QStringLiteral("cmdStart")
                                                                  : QStringLiteral("cmdNextRound")),
                          Qt::LeftButton);
        QVERIFY(dialog.isRunning());
        QVERIFY(roundFinished.wait(60000));
        QVERIFY(!dialog.isRunning());
        for (int row : radioRows) {
            QCOMPARE(Cell(table, row, kRoundColumn), QString::number(round));
            QCOMPARE(Cell(table, row, kResultColumn), QStringLiteral("Verified"));
            QCOMPARE(Child<QProgressBar>(&dialog, QStringLiteral("prgFleet%1").arg(row))->value(), 100);
        }
        QCOMPARE(Cell(table, otherRow, kResultColumn), QStringLiteral("Model mismatch"));
        QCOMPARE(Cell(table, 1, kResultColumn), QString()); // not ticked, not touched
        QVERIFY(Child<QLabel>(&dialog, QStringLiteral("lblFleetStatus"))
                    ->text()
                    .startsWith(QStringLiteral("Round %1: 2 of 3 radios verified.").arg(round)));
        // Each radio was written this round and holds the plan's channels beside its own settings.
        for (int n = 1; n <= 2; ++n) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(fleet.saved(n)), 5000);
            const MemoryImage radio = RadioSimProcess::readImage(fleet.saved(n));
            for (int a = 0; a < kImageSize; ++a)
                QVERIFY2(radio.at(a) == (a < 0x800 ? plan.at(a) : before.at(a)), qPrintable(QString::number(a, 16)));
        }
    }
    QVERIFY(prompts.shown.isEmpty());

    // One log line per radio and round, flushed as each radio finished.
    const QStringList lines = LogLines(log);
    QCOMPARE(lines.size(), 1 + 6);
    QCOMPARE(lines.at(0), QStringLiteral("time,port,round,radio,result,failure,backup,changed fields"));
    int verified = 0;
    for (const QString &line : lines.mid(1)) {
        const QStringList fields = line.split(QLatin1Char(','));
        QCOMPARE(fields.size(), 8);
        QVERIFY2(QDateTime::fromString(fields.at(0), Qt::ISODate).isValid(), qPrintable(line));
        if (fields.at(1) == other.link()) {
            QCOMPARE(fields.at(4), QStringLiteral("model mismatch"));
        } else {
            QCOMPARE(fields.at(4), QStringLiteral("verified"));
            ++verified;
        }
    }
    QCOMPARE(verified, 4);
}

void TestFleetDialog::closingInTheMiddleEndsEveryTransfer()
{
    RadioSimFleet fleet;
    QVERIFY(fleet.start(2, {QStringLiteral("--pace"), QStringLiteral("9600")}));
    const QString log = fleet.path(QStringLiteral("fleet.csv"));
    test::ScriptedPrompts prompts;
    FleetDialog::Setup setup;
    setup.plan = radiosim::BuildSampleMemory();
    setup.logFile = log;
    setup.backup = false;
    FleetDialog dialog(setup, kChinese, prompts);
    dialog.addPort(fleet.link(1));
    dialog.addPort(fleet.link(2));
    dialog.show();
    QTest::mouseClick(Child<QPushButton>(&dialog, QStringLiteral("cmdStart")), Qt::LeftButton);
    // Both radios are sending their memory.
    QByteArray simLog;
    QTRY_VERIFY_WITH_TIMEOUT((simLog += fleet.errors()).count("read request at block 0") == 2, 10000);

    QSignalSpy roundFinished(&dialog, &FleetDialog::roundFinished);
    dialog.close();
    QVERIFY(dialog.isVisible()); // it waits for the radios to be let go
    QVERIFY(roundFinished.wait(10000));
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.isRunning());
    // Each radio took its end byte and left clone mode.
    QTRY_VERIFY_WITH_TIMEOUT((simLog += fleet.errors()).count("read ended") == 2, 5000);
    const QStringList lines = LogLines(log);
    QCOMPARE(lines.size(), 3);
    for (const QString &line : lines.mid(1))
        QVERIFY2(line.contains(QStringLiteral(",failed,interrupted during the read,")), qPrintable(line));
    auto *table = Child<QTableWidget>(&dialog, QStringLiteral("lstFleetPorts"));
    QCOMPARE(Cell(table, 0, kResultColumn), LoadQText(1970, kChinese) + QStringLiteral("：") + LoadQText(1973, kChinese));
}

void TestFleetDialog::startRefusesWithoutPortsOrLog()
{
    test::ScriptedPrompts prompts;
    QTemporaryDir dir;
    FleetDialog::Setup setup;
    setup.logFile = dir.filePath(QStringLiteral("no-such-folder/fleet.csv"));
    setup.ports = {{QStringLiteral("/dev/ttyS0"), QString(), false, {}}};
    FleetDialog dialog(setup, kEnglish, prompts);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *start = Child<QPushButton>(&dialog, QStringLiteral("cmdStart"));

    QTest::mouseClick(start, Qt::LeftButton); // nothing ticked
    QTest::mouseClick(start, Qt::LeftButton); // nothing ticked
    dialog.addPort(dir.filePath(QStringLiteral("no-radio")));
    QTest::mouseClick(start, Qt::LeftButton); // the log cannot be made
    QCOMPARE(prompts.shownIds(), (QList<int>{1974, 1974, 1975}));
    QVERIFY(prompts.shown.last().text.contains(QStringLiteral("no-such-folder")));
    QCOMPARE(dialog.round(), 0);
    QVERIFY(start->isEnabled());
    QVERIFY(Child<QLineEdit>(&dialog, QStringLiteral("txtFleetLog"))->hasFocus());
    QVERIFY(!QFile::exists(setup.logFile));

    // A port that does not open fails alone and is logged; the round ends.
    Child<QLineEdit>(&dialog, QStringLiteral("txtFleetLog"))->setText(dir.filePath(QStringLiteral("fleet.csv")));
    QTest::mouseClick(start, Qt::LeftButton);
    QTRY_VERIFY(!dialog.isRunning());
    auto *table = Child<QTableWidget>(&dialog, QStringLiteral("lstFleetPorts"));
    QVERIFY2(Cell(table, 1, kResultColumn).startsWith(QStringLiteral("Failed: ")), qPrintable(Cell(table, 1, kResultColumn)));
    QCOMPARE(LogLines(dir.filePath(QStringLiteral("fleet.csv"))).size(), 2);
    QVERIFY(!start->isEnabled());
    QVERIFY(Child<QPushButton>(&dialog, QStringLiteral("cmdNextRound"))->isEnabled());
}

void TestFleetDialog::everyControlIsNamedInBothLanguages_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("English") << int(kEnglish);
    QTest::newRow("Chinese") << int(kChinese);
}

void TestFleetDialog::everyControlIsNamedInBothLanguages()
{
    QFETCH(int, language);
    const auto lang = static_cast<LanguageMode>(language);
    test::ScriptedPrompts prompts;
    FleetDialog::Setup setup;
    setup.ports = {{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("CP2102"), true, {}},
                   {QStringLiteral("/dev/ttyUSB1"), QString(), true, {}}};
    FleetDialog dialog(setup, static_cast<LanguageMode>(language), prompts);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const QStringList unnamed = test::UnnamedFocusables(&dialog);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
    QCOMPARE(dialog.windowTitle(), LoadQText(1952, lang));
    const QString progressName = LoadQText(1977, lang).arg(LoadQText(1933, lang), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(Child<QProgressBar>(&dialog, QStringLiteral("prgFleet1"))->accessibleName(), progressName);

    // The keyboard: the list has the focus, Space ticks, Tab goes on to the next control, and
    // Enter on the other-port field lists the port typed there.
    auto *table = Child<QTableWidget>(&dialog, QStringLiteral("lstFleetPorts"));
    QVERIFY(table->hasFocus());
    QCOMPARE(table->item(0, 0)->checkState(), Qt::Checked);
    QTest::keyClick(table, Qt::Key_Space);
    QCOMPARE(table->item(0, 0)->checkState(), Qt::Unchecked);
    QTest::keyClick(table, Qt::Key_Tab);
    auto *other = Child<QLineEdit>(&dialog, QStringLiteral("txtOtherPort"));
    QVERIFY(other->hasFocus());
    QTest::keyClicks(other, QStringLiteral("/tmp/radio3"));
    QTest::keyClick(other, Qt::Key_Return);
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(2, 0)->data(Qt::UserRole).toString(), QStringLiteral("/tmp/radio3"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompts.shown.size(), 0);
}

void TestFleetDialog::theProgramMenuOpensIt()
{
    struct Fixture : test::MainWindowFixture {
        using MainWindowFixture::freshSettings;
        using MainWindowFixture::start;
        using MainWindowFixture::stop;
        using MainWindowFixture::window;
    } f;
    f.freshSettings(QStringLiteral("zrk6.ini"));
    f.start([&] { f.window->setPortOverride(QStringLiteral("/tmp/zrk6-fleet-radio")); });
    QAction *action = f.window->findChild<QAction *>(QStringLiteral("mnuProgram_Fleet"));
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("Program &Several Radios..."));
    auto *program = Child<QMenu>(f.window.get(), QStringLiteral("mnuProgram"));
    QVERIFY(program->actions().contains(action));

    QString listed;
    test::OnNextModal(f.window.get(), [&](QWidget *modal) {
        if (modal->objectName() == QStringLiteral("frmFleet")) {
            auto *table = Child<QTableWidget>(modal, QStringLiteral("lstFleetPorts"));
            // The device given on the command line is listed and ticked.
            for (int row = 0; row < table->rowCount(); ++row)
                if (table->item(row, 0)->checkState() == Qt::Checked)
                    listed = table->item(row, 0)->data(Qt::UserRole).toString();
        }
        static_cast<QDialog *>(modal)->reject();
    });
    action->trigger();
    QCOMPARE(listed, QStringLiteral("/tmp/zrk6-fleet-radio"));
    f.stop();
}

QTEST_MAIN(TestFleetDialog)
#include "test_fleet_dialog.moc"
