// The transfer window and the read/write commands, offscreen, against zrk6-radiosim.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

#include "mainwindow/transfer_window.h"
#include "mainwindow/radio_commands.h"
#include "files/data_file_io.h"
#include "model/band.h"
#include "radiosim_process.h"
#include "sample_memory.h"
#include "scripted_prompts.h"

using namespace zrk6;
using zrk6::test::RadioSimProcess;
using zrk6::test::ScriptedPrompts;

namespace {

// The program's image after start-up, with one unsaved edit.
MemoryImage EditedImage()
{
    MemoryImage image = StartupImage();
    image.set(0x000, 0x25); // the user's unsaved change
    return image;
}

TransferContext Context(ScriptedPrompts &prompts, const QString &port,
                        std::function<void(const RadioJobResult &)> afterJob = {})
{
    return TransferContext{nullptr, prompts, kEnglish, port, {false, {}}, std::move(afterJob), {}};
}

RadioJobSettings Job(RadioTask task, const MemoryImage &image, const QString &port, LanguageMode language = kEnglish)
{
    RadioJobSettings settings;
    settings.task = task;
    settings.image = image;
    settings.portName = port;
    settings.language = language;
    settings.backup.enabled = false;
    return settings;
}

} // namespace

class TestTransferWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { zrk6::test::UseShortTime(); }
    void completedReadReplacesTheDocument();
    void failedReadLeavesTheDocumentAsItWas_data();
    void failedReadLeavesTheDocumentAsItWas();
    void retryAfterAFaultCompletesTheRead();
    void unavailablePortAsksNothing();
    void cancelAtTheConfirmationDoesNothing();
    void writeSendsTheDocumentAndKeepsIt();
    void windowShowsCaptionProgressAndLabel();
    void cancelOrEscapeEndsATransferAndTheRadioGetsItsEndByte_data();
    void cancelOrEscapeEndsATransferAndTheRadioGetsItsEndByte();
    void writeChannelsOnlyAsksOnceAndRunsOneWindow();
    void verifyAfterWriteReadsTheRadioBack_data();
    void verifyAfterWriteReadsTheRadioBack();
    void verifyingIsASecondPhaseOfTheWindow();
};

void TestTransferWindow::completedReadReplacesTheDocument()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image = EditedImage();
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Ok};

    qsizetype shownAtRefresh = -1;
    MemoryImage imageAtRefresh;
    const TransferOutcome outcome = ReadFromRadio(Context(prompts, sim.link(), [&](const RadioJobResult &result) {
                                                      shownAtRefresh = prompts.shown.size();
                                                      imageAtRefresh = result.radio;
                                                  }),
                                                  image);

    QCOMPARE(outcome, TransferOutcome::Completed);
    QVERIFY(image == radiosim::BuildSampleMemory());
    QCOMPARE(QString::fromStdString(ReadBandFromImage(image).text), QStringLiteral("400 - 470 MHz"));
    // The caller takes the new image before "Reading completed!" shows.
    QCOMPARE(shownAtRefresh, 1);
    QVERIFY(imageAtRefresh == radiosim::BuildSampleMemory());

    QCOMPARE(prompts.shownIds(), (QList<int>{1601, 1608}));
    const PromptMessage &confirm = prompts.shown[0];
    QCOMPARE(confirm.text, QStringLiteral("Read data from radio.\r\nDo you wish to continue?"));
    QCOMPARE(confirm.title, QStringLiteral("ZR-K6"));
    QCOMPARE(confirm.icon, QMessageBox::Question);
    QCOMPARE(confirm.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    const PromptMessage &done = prompts.shown[1];
    QCOMPARE(done.text, QStringLiteral("Reading completed!"));
    QCOMPARE(done.title, QStringLiteral("ZR-K6"));
    QCOMPARE(done.icon, QMessageBox::Information);
}

void TestTransferWindow::failedReadLeavesTheDocumentAsItWas_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("messageId");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TransferOutcome>("outcome");

    const QString retry = QStringLiteral("Check Connection. Retry or Cancel?");
    const auto cancelled = TransferOutcome::Cancelled;
    // Every error ends by naming the port it tried (%1 here).
    const QString port = QStringLiteral("\nPort: %1");
    // A greeting left unanswered says what came back instead, and where to look next.
    const QString whereToLook = QStringLiteral("\nSetup, Communication Port shows what may stand in the way of the "
                                               "cable, and Test tries the line without writing to the radio.");
    QTest::newRow("silent") << "silent" << 1607
                            << retry + "(Error01)\nThe radio did not answer at all: check that the plug is pushed "
                                       "fully into the radio, that the radio is on, and that the right port is chosen." +
                                   port + whereToLook
                            << cancelled;
    // Something answered the greeting, only never with 06: the greeting was not acknowledged.
    QTest::newRow("bad greeting") << "bad-greeting" << 1607
                                  << retry + "(Error01)\nOther bytes came back: a loose contact, or another device on "
                                             "this port." + port + whereToLook
                                  << cancelled;
    QTest::newRow("wrong model") << "wrong-id" << 1638 << "Model type is wrong." + port << TransferOutcome::Failed;
    QTest::newRow("wrong ack") << "bad-ack:40" << 1607 << retry + "(Error02)" + port << cancelled;
    QTest::newRow("short reply half way") << "short:256" << 1607 << retry + "(Error03)" + port << cancelled;
    QTest::newRow("late reply") << "late:7" << 1607 << retry + "(Error03)" + port << cancelled;
    QTest::newRow("hang-up") << "hangup:20" << 1607 << retry + "(Error03)" + port << cancelled;
}

void TestTransferWindow::failedReadLeavesTheDocumentAsItWas()
{
    QFETCH(QString, fault);
    QFETCH(int, messageId);
    QFETCH(QString, text);
    QFETCH(TransferOutcome, outcome);

    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--fault"), fault}));
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Cancel};
    bool refreshed = false;

    QCOMPARE(ReadFromRadio(Context(prompts, sim.link(),
                                   [&](const RadioJobResult &result) { refreshed = result.outcome == RadioOutcome::Completed; }),
                           image),
             outcome);

    QVERIFY(image == before);
    QVERIFY(!refreshed);
    QCOMPARE(prompts.shownIds(), (QList<int>{1601, messageId}));
    const PromptMessage &error = prompts.shown[1];
    QCOMPARE(error.text, text.arg(sim.link()));
    QCOMPARE(error.title, QStringLiteral("Error"));
    QCOMPARE(error.icon, QMessageBox::Critical);
    QCOMPARE(error.buttons, messageId == 1607 ? QMessageBox::Retry | QMessageBox::Cancel
                                              : QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestTransferWindow::retryAfterAFaultCompletesTheRead()
{
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--fault"), QStringLiteral("bad-ack:10")}));
    MemoryImage image = EditedImage();
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Retry, QMessageBox::Ok};

    QCOMPARE(ReadFromRadio(Context(prompts, sim.link()), image), TransferOutcome::Completed);
    QCOMPARE(prompts.shownIds(), (QList<int>{1601, 1607, 1608}));
    QCOMPARE(prompts.shown[1].text, QStringLiteral("Check Connection. Retry or Cancel?(Error02)\nPort: ") + sim.link());
    QVERIFY(image == radiosim::BuildSampleMemory());
}

void TestTransferWindow::unavailablePortAsksNothing()
{
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    for (bool write : {false, true}) {
        ScriptedPrompts prompts;
        const QString port = QStringLiteral("/nonexistent/ttyZR");
        const TransferOutcome outcome = write ? WriteToRadio(Context(prompts, port), image, false)
                                              : ReadFromRadio(Context(prompts, port), image);
        QCOMPARE(outcome, TransferOutcome::PortUnavailable);
        QCOMPARE(prompts.shownIds(), QList<int>{1600});
        const QStringList lines = prompts.shown[0].text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Cannot Open Communication Port."));
        QVERIFY(!lines[1].isEmpty()); // the system's reason
        QCOMPARE(lines[2], QStringLiteral("Port: ") + QDir::toNativeSeparators(port)); // as Windows writes it
        QCOMPARE(prompts.shown[0].title, QStringLiteral("ZR-K6"));
        QCOMPARE(prompts.shown[0].icon, QMessageBox::Critical);
        QVERIFY(image == before);
    }
}

void TestTransferWindow::cancelAtTheConfirmationDoesNothing()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    for (bool write : {false, true}) {
        ScriptedPrompts prompts;
        prompts.answers = {QMessageBox::Cancel};
        const TransferOutcome outcome = write ? WriteToRadio(Context(prompts, sim.link()), image, false)
                                              : ReadFromRadio(Context(prompts, sim.link()), image);
        QCOMPARE(outcome, TransferOutcome::NotConfirmed);
        QCOMPARE(prompts.shownIds(), QList<int>{write ? 1603 : 1601});
        QVERIFY(image == before);
    }
}

void TestTransferWindow::writeSendsTheDocumentAndKeepsIt()
{
    RadioSimProcess sim;
    const QString saved = sim.path(QStringLiteral("radio.img"));
    QVERIFY(sim.start({QStringLiteral("--save"), saved}));
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Ok};

    QCOMPARE(WriteToRadio(Context(prompts, sim.link()), image, false), TransferOutcome::Completed);
    QCOMPARE(prompts.shownIds(), (QList<int>{1603, 1609}));
    QCOMPARE(prompts.shown[0].text, QStringLiteral("Write data to radio.\r\nDo you wish to continue?"));
    QCOMPARE(prompts.shown[1].text, QStringLiteral("Writing completed!"));
    QVERIFY(image == before);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
    const MemoryImage radio = RadioSimProcess::readImage(saved);
    const MemoryImage sample = radiosim::BuildSampleMemory();
    for (int a = 0; a < kImageSize; ++a) {
        const bool written = a < 0xFE0 || (a >= 0xFF0 && a <= 0xFF2);
        QVERIFY2(radio.at(a) == (written ? image.at(a) : sample.at(a)), qPrintable(QString::number(a, 16)));
    }
}

void TestTransferWindow::windowShowsCaptionProgressAndLabel()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image;
    image.fill(0xFF);
    ScriptedPrompts prompts;
    RadioJob job(Job(RadioTask::Read, image, sim.link(), kChinese));
    TransferWindow window(job, prompts);
    QCOMPARE(window.windowTitle(), QString::fromUtf8(LoadText(1633, kChinese).data()));
    auto *cancel = window.findChild<QPushButton *>(QStringLiteral("cmdCancel"));
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QString::fromUtf8(LoadText(1103, kChinese).data()));
    auto *label = window.findChild<QLabel *>(QStringLiteral("lblPercent"));
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("prgPercent"));
    QVERIFY(label && bar);
    const QString progressText = QString::fromUtf8(LoadText(1604, kChinese).data());
    QCOMPARE(label->text(), progressText + QStringLiteral(":  0%"));
    QCOMPARE(bar->maximum(), 512);

    // Half way through, the label reads 50% with one space.
    QString halfWay;
    connect(bar, &QProgressBar::valueChanged, &window, [&](int value) {
        if (value == 256)
            halfWay = label->text();
    });
    const RadioJobResult &result = window.runJob();
    QCOMPARE(result.outcome, RadioOutcome::Completed);
    QCOMPARE(halfWay, progressText + QStringLiteral(": 50%"));
    QCOMPARE(bar->value(), 512);
    QCOMPARE(label->text(), progressText + QStringLiteral(": 100%"));
    QVERIFY(!window.isVisible());
    // The window shows no message of its own; the closing one is the caller's to show.
    QVERIFY(prompts.shown.isEmpty());
    QCOMPARE(result.message.text, QString::fromUtf8(LoadText(1608, kChinese).data()));
    QVERIFY(result.radio == radiosim::BuildSampleMemory());
}

void TestTransferWindow::cancelOrEscapeEndsATransferAndTheRadioGetsItsEndByte_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Escape") << true;
}

void TestTransferWindow::cancelOrEscapeEndsATransferAndTheRadioGetsItsEndByte()
{
    QFETCH(bool, escape);
    // Paced as the radio is (9600 baud, on the tests' short time), the transfer is stopped a quarter
    // of the way in.
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pace"), QStringLiteral("9600")}, false));
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok};
    QWidget parent;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &parent, [&] {
        auto *window = parent.findChild<TransferWindow *>();
        auto *bar = window ? window->findChild<QProgressBar *>(QStringLiteral("prgPercent")) : nullptr;
        if (!bar || bar->value() < 128)
            return;
        poll.stop();
        if (escape)
            QTest::keyClick(window, Qt::Key_Escape);
        else
            window->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
    });
    poll.start();
    TransferContext context = Context(prompts, sim.link());
    context.parent = &parent;
    QCOMPARE(ReadFromRadio(context, image), TransferOutcome::Stopped);
    QVERIFY(image == before);
    QCOMPARE(prompts.shownIds(), QList<int>{1601}); // nothing after the confirmation
    // The radio took its end byte and left clone mode.
    QByteArray simLog;
    QTRY_VERIFY_WITH_TIMEOUT((simLog += sim.errors()).contains("read ended"), 5000);
}

void TestTransferWindow::writeChannelsOnlyAsksOnceAndRunsOneWindow()
{
    RadioSimProcess sim;
    const QString saved = sim.path(QStringLiteral("radio.img"));
    QVERIFY(sim.start({QStringLiteral("--save"), saved}));
    const MemoryImage radio = radiosim::BuildSampleMemory();
    MemoryImage plan = radio;
    for (int a = 0; a < 0x800; ++a)
        plan.set(a, static_cast<std::uint8_t>(a * 3 + 1));
    plan.set(0xD00, static_cast<std::uint8_t>(~radio.at(0xD00))); // a VFO byte the radio keeps
    QTemporaryDir backups;
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Ok};
    QStringList captions;
    QSet<TransferWindow *> windows;
    TransferContext context = Context(prompts, sim.link(), [&](const RadioJobResult &result) {
        QCOMPARE(result.backups.size(), 2); // the radio as read, and what was written
    });
    context.backup = {true, backups.path()};
    QWidget parent;
    QTimer poll;
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, &parent, [&] {
        auto *window = parent.findChild<TransferWindow *>();
        if (!window)
            return;
        windows.insert(window);
        if (!captions.contains(window->windowTitle()))
            captions << window->windowTitle();
    });
    poll.start();
    context.parent = &parent;

    QCOMPARE(WriteChannelsToRadio(context, plan), TransferOutcome::Completed);
    // One question that says what happens, then one closing message.
    QCOMPARE(prompts.shownIds(), (QList<int>{1996, 1805}));
    QCOMPARE(prompts.shown[0].text,
             QStringLiteral("Write Channels Only: the radio is read, its 128 channels are replaced with this "
                            "document's channels, its other settings are kept, and the result is read back to "
                            "verify.\r\nDo you wish to continue?"));
    QCOMPARE(windows.size(), 1);
    QVERIFY2(captions.contains(QStringLiteral("Read data from radio")), qPrintable(captions.join('|')));
    QVERIFY(captions.contains(QStringLiteral("Verifying")));
    QCOMPARE(QDir(backups.path()).entryList(QDir::Files).size(), 2);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(saved), 5000);
    const MemoryImage after = RadioSimProcess::readImage(saved);
    for (int a = 0; a < 0xFE0; ++a)
        QVERIFY2(after.at(a) == (a < 0x800 ? plan.at(a) : radio.at(a)), qPrintable(QString::number(a, 16)));
}

void TestTransferWindow::verifyAfterWriteReadsTheRadioBack_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<TransferOutcome>("outcome");
    QTest::addColumn<int>("messageId");
    QTest::addColumn<QString>("text");

    QTest::newRow("sound memory") << QString() << TransferOutcome::Completed << 1805
                                  << QStringLiteral("Writing completed!\nThe radio's memory was verified: it holds "
                                                    "what was written.");
    // The user's edit of channel 1 (0x000) is what the weak cell spoils: bit 4 of 0x25.
    QTest::newRow("a weak memory cell") << QStringLiteral("corrupt:0") << TransferOutcome::NotVerified << 1806
                                        << QStringLiteral("Verification failed: the radio's memory differs from the "
                                                          "data written.\n"
                                                          "Address 0x000: 25 -> 35\n"
                                                          "The radio may hold a partly written memory. Write the data "
                                                          "again.");
}

void TestTransferWindow::verifyAfterWriteReadsTheRadioBack()
{
    QFETCH(QString, fault);
    QFETCH(TransferOutcome, outcome);
    QFETCH(int, messageId);
    QFETCH(QString, text);

    RadioSimProcess sim;
    QVERIFY(sim.start(fault.isEmpty() ? QStringList() : QStringList{QStringLiteral("--fault"), fault}));
    const MemoryImage image = EditedImage();
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Ok};
    QTemporaryDir backups;
    TransferContext context = Context(prompts, sim.link(), [&](const RadioJobResult &result) {
        QCOMPARE(prompts.shown.size(), 1); // after the confirmation, before any closing message
        QCOMPARE(result.backups.size(), 1);
    });
    context.backup = {true, backups.path()};

    QCOMPARE(WriteToRadio(context, image, true), outcome);
    // The image about to be written was backed up.
    const QStringList files = QDir(backups.path()).entryList(QDir::Files);
    QCOMPARE(files.size(), 1);
    QVERIFY(files[0].contains(QStringLiteral("-write-")));
    QVERIFY(LoadDataFile(backups.filePath(files[0])).image == image);
    QCOMPARE(prompts.shownIds().last(), messageId);
    const PromptMessage &last = prompts.shown.last();
    QCOMPARE(last.text, text);
    QCOMPARE(last.title, QStringLiteral("ZR-K6"));
    QCOMPARE(last.icon, messageId == 1805 ? QMessageBox::Information : QMessageBox::Critical);
    QCOMPARE(prompts.shownIds(), (QList<int>{1603, messageId}));
}

void TestTransferWindow::verifyingIsASecondPhaseOfTheWindow()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image = radiosim::BuildSampleMemory();
    ScriptedPrompts prompts;
    RadioJobSettings settings = Job(RadioTask::Write, image, sim.link());
    settings.verify = true;
    RadioJob job(settings);
    TransferWindow window(job, prompts);
    auto *label = window.findChild<QLabel *>(QStringLiteral("lblPercent"));
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("prgPercent"));
    QStringList seen; // caption and label at the write's end and half way through the read-back
    connect(bar, &QProgressBar::valueChanged, &window, [&](int value) {
        if ((value == 509 && bar->maximum() == 509) || (value == 256 && bar->maximum() == 512))
            seen << window.windowTitle() + QStringLiteral(" | ") + label->text();
    });
    const RadioJobResult &result = window.runJob();
    QCOMPARE(result.outcome, RadioOutcome::Completed);
    QCOMPARE(seen, (QStringList{QStringLiteral("Write data to radio | Completion percentage: 100%"),
                                QStringLiteral("Verifying | Verifying: 50%")}));
    QCOMPARE(result.verify.outcome, VerifyOutcome::Matched);
    // The read-back's report takes the place of "Writing completed!".
    QVERIFY(!result.message.isSet());

    // Escape during the read-back ends it; the write stands, unverified.
    ScriptedPrompts cancelled;
    RadioJob againJob(settings);
    TransferWindow again(againJob, cancelled);
    auto *againBar = again.findChild<QProgressBar *>(QStringLiteral("prgPercent"));
    connect(againBar, &QProgressBar::valueChanged, &again, [&](int value) {
        if (value == 100 && againBar->maximum() == 512)
            QTest::keyClick(&again, Qt::Key_Escape);
    });
    const RadioJobResult &stopped = again.runJob();
    QCOMPARE(stopped.outcome, RadioOutcome::NotVerified);
    QVERIFY(again.cancelledByUser());
    QCOMPARE(stopped.verify.outcome, VerifyOutcome::Incomplete);
    QCOMPARE(QString::fromStdString(stopped.verify.Text()),
             QStringLiteral("Writing completed!\nThe memory could not be verified: reading it back did not complete."));
}

QTEST_MAIN(TestTransferWindow)
#include "test_transfer_window.moc"
