// Read from Radio and Write to Radio through the main window, against zrk6-radiosim on a
// pseudo-terminal: the real serial code, the transfer window and the window's own steps.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "../link/radiosim_process.h"
#include "dialogs/comm_port_dialog.h"
#include "link/port_names.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/channel_table_view.h"
#include "mainwindow/main_window.h"
#include "mainwindow/settings_store.h"
#include "model/app_state.h"
#include "model/band.h"
#include "model/channel_record.h"
#include "sample_memory.h"
#include "main_window_fixture.h"

using namespace zrk6;

namespace {

// The channel records, 0x000-0x7FF: what a transfer must carry exactly.
bool SameChannels(const MemoryImage &a, const MemoryImage &b)
{
    for (int address = 0; address < 128 * kRowSize; ++address) {
        if (a.at(address) != b.at(address))
            return false;
    }
    return true;
}

} // namespace

class TestMainWindowE2e : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<test::RadioSimProcess> radio;

    QTableView *table() { return window->findChild<QTableView *>(QStringLiteral("msgMemChannel")); }
    QString cell(int channel, int column) { return window->channelGrid()->cellText(channel, column); }

    void start(const QStringList &radioArguments = {})
    {
        radio = std::make_unique<test::RadioSimProcess>();
        QVERIFY2(radio->start(radioArguments), radio->errors().constData());
        MainWindowFixture::start([this] { window->setPortOverride(radio->link()); });
    }

    void enterRx(int channel, const QString &text)
    {
        window->focusGrid(channel, 1);
        QTest::keyClick(table(), text.at(0).toLatin1());
        auto *editor = window->findChild<QLineEdit *>(QStringLiteral("txtMemChannel"));
        QVERIFY(editor->isVisible());
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    }

    void press(const char *toolButton)
    {
        auto *button = window->findChild<QToolButton *>(QString::fromLatin1(toolButton));
        QVERIFY(button != nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void initTestCase() { test::UseShortTime(); }

    void init()
    {
        freshSettings(QStringLiteral("zrk6.ini"));
    }

    void cleanup()
    {
        stop();
        radio.reset();
    }

    void readShowsTheRadioAndCountsAsSaved()
    {
        start();
        enterRx(20, QStringLiteral("145.5")); // an edit the read replaces
        prompts->answers = {QMessageBox::Ok};
        press("tlbActions_Read");

        QCOMPARE(prompts->shownIds().value(0), 1601);
        QCOMPARE(prompts->shown.first().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(prompts->shown.size(), 2); // the confirmation and the completion notice
        const MemoryImage sample = radiosim::BuildSampleMemory();
        QVERIFY(SameChannels(image(), sample));
        const Band band = ReadBandFromImage(sample);
        QCOMPARE(doc().band(), band);
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (%1) [File Name: Untitled]").arg(QString::fromStdString(band.text)));
        QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("cboGenFreq"))->currentText(), QString::fromStdString(band.text));
        for (int channel = 1; channel <= 128; ++channel) {
            const RowTexts texts = ChannelRowTexts(sample, channel, band, kEnglish);
            for (int column = 1; column <= 9; ++column)
                QCOMPARE(cell(channel, column), QString::fromStdString(texts[std::size_t(column - 1)]));
        }
        QVERIFY(!cell(1, 1).isEmpty());
        QVERIFY(!doc().isModified());
        // The grid is the window's focus widget once the window is active again.
        QCOMPARE(window->focusWidget(), static_cast<QWidget *>(table()));

        // The read is one undo step: Ctrl+Z brings back the edit it replaced, unsaved.
        QCOMPARE(window->findChild<QAction *>(QStringLiteral("mnuEdit_Undo"))->text(), QStringLiteral("&Undo Read"));
        window->findChild<QAction *>(QStringLiteral("mnuEdit_Undo"))->trigger();
        QCOMPARE(cell(20, 1), QStringLiteral("145.50000"));
        QVERIFY(doc().isModified());
        window->findChild<QAction *>(QStringLiteral("mnuEdit_Redo"))->trigger();
        QVERIFY(SameChannels(image(), sample));
        QVERIFY(!doc().isModified());
    }

    void writeSendsTheImageAndChangesNothing()
    {
        QTemporaryDir out;
        const QString saved = out.filePath(QStringLiteral("radio.img"));
        start({QStringLiteral("--save"), saved});
        enterRx(1, QStringLiteral("145.125"));
        enterRx(2, QStringLiteral("144.4"));
        const MemoryImage edited = image();
        QVERIFY(doc().isModified());

        prompts->answers = {QMessageBox::Ok};
        QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(prompts->shownIds().value(0), 1603);
        QCOMPARE(prompts->shown.size(), 2);
        // The radio stores its memory after the end byte, which the program does not wait for.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
        QCOMPARE(test::RadioSimProcess::readImage(saved), edited);
        QCOMPARE(image(), edited);
        QVERIFY(doc().isModified()); // a write is not a save
    }

    void writeChannelsOnlyKeepsTheRadiosSettings()
    {
        QTemporaryDir out;
        const QString saved = out.filePath(QStringLiteral("radio.img"));
        start({QStringLiteral("--save"), saved});
        enterRx(1, QStringLiteral("145.125"));
        // A setting of the document that must not reach the radio.
        doc().apply(QStringLiteral("test"), [](MemoryImage &m) { m.set(addr::kVfo, std::uint8_t(m.at(addr::kVfo) ^ 0xFF)); });
        const MemoryImage edited = image();

        prompts->answers = {QMessageBox::Ok, QMessageBox::Ok};
        auto *action = child<QAction>(QStringLiteral("mnuProgram_WriteChannels"));
        QCOMPARE(action->text(), QStringLiteral("Write C&hannels Only"));
        action->trigger();
        // One question that says what happens, then one closing message: verified.
        QCOMPARE(prompts->shownIds(), (QList<int>{1996, 1805}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
        const MemoryImage radioNow = test::RadioSimProcess::readImage(saved);
        const MemoryImage sample = radiosim::BuildSampleMemory();
        QVERIFY(SameChannels(radioNow, edited));
        for (int a = 128 * kRowSize; a < kImageSize; ++a)
            QVERIFY2(radioNow.at(a) == sample.at(a), qPrintable(QString::number(a, 16)));
        QCOMPARE(image(), edited); // the document is not changed
    }

    void cancelAtTheConfirmationChangesNothing()
    {
        start();
        enterRx(3, QStringLiteral("145"));
        const MemoryImage edited = image();
        const QString title = shownTitle();
        prompts->answers = {QMessageBox::Cancel};
        child<QAction>(QStringLiteral("mnuProgram_Read"))->trigger();
        QCOMPARE(prompts->shownIds(), QList<int>{1601});
        QCOMPARE(image(), edited);
        QCOMPARE(shownTitle(), title);
        QVERIFY(doc().isModified());
    }

    void aReadCancelledAtAnErrorKeepsTheEditsUnsaved()
    {
        start({QStringLiteral("--fault"), QStringLiteral("bad-ack:100")});
        enterRx(4, QStringLiteral("144.75"));
        const MemoryImage edited = image();
        prompts->answers = {QMessageBox::Ok, QMessageBox::Cancel};
        child<QAction>(QStringLiteral("mnuProgram_Read"))->trigger();
        QCOMPARE(prompts->shownIds().value(0), 1601);
        QCOMPARE(prompts->shown.last().buttons, QMessageBox::Retry | QMessageBox::Cancel);
        QCOMPARE(image(), edited);
        QCOMPARE(cell(4, 1), QStringLiteral("144.75000"));
        // The old program took the snapshot here, so closing would not have asked to save.
        QVERIFY(doc().isModified());
    }

    // Setup, Communication Port takes a device typed in its field (Enter); the next start uses it
    // again and lists it as the device in use, and OK without a change keeps it.
    void aDeviceTypedInThePortDialogIsUsedAndKept()
    {
        radio = std::make_unique<test::RadioSimProcess>();
        QVERIFY(radio->start());
        MainWindowFixture::start();
        QCOMPARE(window->portName(), PortSystemName(1));
        test::OnNextModal(window.get(), [this](QWidget *dialog) {
            auto *field = test::Child<QLineEdit>(dialog, QStringLiteral("txtDevice"));
            QCOMPARE(field->text(), PortSystemName(1));
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, radio->link());
            QTest::keyClick(field, Qt::Key_Return);
        });
        child<QAction>(QStringLiteral("mnuSetup_CommPort"))->trigger();
        QCOMPARE(window->portName(), radio->link());
        prompts->answers = {QMessageBox::Ok};
        press("tlbActions_Read");
        QCOMPARE(prompts->shownIds(), (QList<int>{1601, 1608}));
        QVERIFY(SameChannels(image(), radiosim::BuildSampleMemory()));

        stop();
        MainWindowFixture::start();
        QCOMPARE(window->portName(), radio->link());
        QVERIFY(window->statusBar()->currentMessage().isEmpty()); // a pseudo-terminal: nothing to compare
        test::OnNextModal(window.get(), [this](QWidget *dialog) {
            auto *ports = qobject_cast<CommPortDialog *>(dialog);
            QVERIFY(ports != nullptr);
            QCOMPARE(ports->option(0)->text(), radio->link());
            QVERIFY(ports->option(0)->isChecked());
            QCOMPARE(ports->deviceField()->text(), radio->link());
            QTest::mouseClick(test::Child<QPushButton>(dialog, QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        child<QAction>(QStringLiteral("mnuSetup_CommPort"))->trigger();
        QCOMPARE(window->portName(), radio->link());
    }

    // The port's name now stands for something other than the adapter chosen: the program says so
    // at the start and when a transfer starts, and opens nothing; OK in the port dialog takes what
    // is there now. A device named on the command line is used as named.
    void anotherDeviceUnderTheChosenPortIsNeverOpened()
    {
        radio = std::make_unique<test::RadioSimProcess>();
        QVERIFY(radio->start());
        QVERIFY(SaveChosenPort(*settings, ChosenPortSetting{radio->link(), PortIdentity{0x0403, 0x6001, QStringLiteral("A1")}}));
        const QString said = QStringLiteral("%1 is now another port, not the adapter chosen (USB 0403:6001 S/N A1).\n"
                                            "Nothing else is opened in its place: choose the port in Setup, "
                                            "Communication Port.")
                                 .arg(radio->link());

        MainWindowFixture::start([this] { window->setPortOverride(radio->link()); });
        QVERIFY(window->statusBar()->currentMessage().isEmpty());
        prompts->answers = {QMessageBox::Ok};
        press("tlbActions_Read");
        QCOMPARE(prompts->shownIds(), (QList<int>{1601, 1608}));
        stop();

        MainWindowFixture::start();
        QCOMPARE(window->statusBar()->currentMessage(), QString(said).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        const MemoryImage before = image();
        prompts->answers = {QMessageBox::Ok};
        press("tlbActions_Read");
        QCOMPARE(prompts->shown.size(), 1); // no confirmation: nothing is opened
        QCOMPARE(prompts->shown[0].text, said);
        QCOMPARE(prompts->shown[0].icon, QMessageBox::Critical);
        QCOMPARE(image(), before);

        test::OnNextModal(window.get(), [](QWidget *dialog) {
            QTest::mouseClick(test::Child<QPushButton>(dialog, QStringLiteral("cmdOK")), Qt::LeftButton);
        });
        child<QAction>(QStringLiteral("mnuSetup_CommPort"))->trigger();
        QVERIFY(!LoadChosenPort(*settings).adapter.isKnown());
        QVERIFY(window->statusBar()->currentMessage().isEmpty());
        prompts->shown.clear();
        prompts->answers = {QMessageBox::Ok};
        press("tlbActions_Read");
        QCOMPARE(prompts->shownIds(), (QList<int>{1601, 1608}));
    }

    void cancelInTheTransferWindowSaysSoInTheStatusBar()
    {
        // Paced as the radio is (9600 baud, on the tests' short time), so that Cancel comes in the middle.
        start({QStringLiteral("--pace"), QStringLiteral("9600")});
        enterRx(4, QStringLiteral("144.75"));
        const MemoryImage edited = image();
        prompts->answers = {QMessageBox::Ok};
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, window.get(), [&] {
            auto *bar = window->findChild<QProgressBar *>(QStringLiteral("prgPercent"));
            if (!bar || !bar->isVisible() || bar->value() < 64)
                return;
            poll.stop();
            window->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        });
        poll.start();
        child<QAction>(QStringLiteral("mnuProgram_Read"))->trigger();
        QCOMPARE(prompts->shownIds(), QList<int>{1601});
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("The transfer was cancelled."));
        QCOMPARE(image(), edited);
        QVERIFY(doc().isModified());
    }
};

QTEST_MAIN(TestMainWindowE2e)
#include "test_main_window_e2e.moc"
