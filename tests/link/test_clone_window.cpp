// The transfer window and the read/write commands, offscreen, against zrk6-radiosim.
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

#include <optional>

#include "link/clone_window.h"
#include "link/radio_commands.h"
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

} // namespace

class TestCloneWindow : public QObject {
    Q_OBJECT

private slots:
    void completedReadReplacesTheDocument();
    void failedReadLeavesTheDocumentAsItWas_data();
    void failedReadLeavesTheDocumentAsItWas();
    void retryAfterAFaultCompletesTheRead();
    void unavailablePortAsksNothing();
    void cancelAtTheConfirmationDoesNothing();
    void writeSendsTheDocumentAndKeepsIt();
    void windowShowsCaptionProgressAndLabel();
    void escapeEndsATransferLikeCancel();
    void verifyAfterWriteReadsTheRadioBack_data();
    void verifyAfterWriteReadsTheRadioBack();
    void verifyingIsASecondPhaseOfTheWindow();
};

void TestCloneWindow::completedReadReplacesTheDocument()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image = EditedImage();
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Ok};

    qsizetype shownAtRefresh = -1;
    MemoryImage imageAtRefresh;
    const TransferOutcome outcome = ReadFromRadio(nullptr, prompts, kEnglish, image, sim.link(), [&] {
        shownAtRefresh = prompts.shown.size();
        imageAtRefresh = image;
    });

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

void TestCloneWindow::failedReadLeavesTheDocumentAsItWas_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("messageId");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TransferOutcome>("outcome");

    const QString retry = QStringLiteral("Check Connection. Retry or Cancel?");
    const auto cancelled = TransferOutcome::Cancelled;
    // A greeting left unanswered says what came back instead, and where to look next.
    const QString whereToLook = QStringLiteral("\nSetup, Communication Port shows what may stand in the way of the "
                                               "cable, and Test tries the line without writing to the radio.");
    QTest::newRow("silent") << "silent" << 1607
                            << retry + "(Error01)\nThe radio did not answer at all: check that the plug is pushed "
                                       "fully into the radio, that the radio is on, and that the right port is chosen." +
                                   whereToLook
                            << cancelled;
    // Something answered the greeting, only never with 06: the greeting was not acknowledged.
    QTest::newRow("bad greeting") << "bad-greeting" << 1607
                                  << retry + "(Error01)\nOther bytes came back: a loose contact, or another device on "
                                             "this port." + whereToLook
                                  << cancelled;
    QTest::newRow("wrong model") << "wrong-id" << 1638 << "Model type is wrong." << TransferOutcome::Failed;
    QTest::newRow("wrong ack") << "bad-ack:40" << 1607 << retry + "(Error02)" << cancelled;
    QTest::newRow("short reply half way") << "short:256" << 1607 << retry + "(Error03)" << cancelled;
    QTest::newRow("late reply") << "late:7" << 1607 << retry + "(Error03)" << cancelled;
    QTest::newRow("hang-up") << "hangup:20" << 1607 << retry + "(Error03)" << cancelled;
}

void TestCloneWindow::failedReadLeavesTheDocumentAsItWas()
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

    QCOMPARE(ReadFromRadio(nullptr, prompts, kEnglish, image, sim.link(), [&] { refreshed = true; }), outcome);

    QVERIFY(image == before);
    QVERIFY(!refreshed);
    QCOMPARE(prompts.shownIds(), (QList<int>{1601, messageId}));
    const PromptMessage &error = prompts.shown[1];
    QCOMPARE(error.text, text);
    QCOMPARE(error.title, QStringLiteral("Error"));
    QCOMPARE(error.icon, QMessageBox::Critical);
    QCOMPARE(error.buttons, messageId == 1607 ? QMessageBox::Retry | QMessageBox::Cancel
                                              : QMessageBox::StandardButtons(QMessageBox::Ok));
}

void TestCloneWindow::retryAfterAFaultCompletesTheRead()
{
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--fault"), QStringLiteral("bad-ack:10")}));
    MemoryImage image = EditedImage();
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Retry, QMessageBox::Ok};

    QCOMPARE(ReadFromRadio(nullptr, prompts, kEnglish, image, sim.link()), TransferOutcome::Completed);
    QCOMPARE(prompts.shownIds(), (QList<int>{1601, 1607, 1608}));
    QCOMPARE(prompts.shown[1].text, QStringLiteral("Check Connection. Retry or Cancel?(Error02)"));
    QVERIFY(image == radiosim::BuildSampleMemory());
}

void TestCloneWindow::unavailablePortAsksNothing()
{
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    for (bool write : {false, true}) {
        ScriptedPrompts prompts;
        const QString port = QStringLiteral("/nonexistent/ttyZR");
        const TransferOutcome outcome = write ? WriteToRadio(nullptr, prompts, kEnglish, image, port)
                                              : ReadFromRadio(nullptr, prompts, kEnglish, image, port);
        QCOMPARE(outcome, TransferOutcome::PortUnavailable);
        QCOMPARE(prompts.shownIds(), QList<int>{1600});
        const QStringList lines = prompts.shown[0].text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("Cannot Open Communication Port."));
        QVERIFY(!lines[1].isEmpty()); // the system's reason
        QCOMPARE(prompts.shown[0].title, QStringLiteral("ZR-K6"));
        QCOMPARE(prompts.shown[0].icon, QMessageBox::Critical);
        QVERIFY(image == before);
    }
}

void TestCloneWindow::cancelAtTheConfirmationDoesNothing()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    for (bool write : {false, true}) {
        ScriptedPrompts prompts;
        prompts.answers = {QMessageBox::Cancel};
        const TransferOutcome outcome = write ? WriteToRadio(nullptr, prompts, kEnglish, image, sim.link())
                                              : ReadFromRadio(nullptr, prompts, kEnglish, image, sim.link());
        QCOMPARE(outcome, TransferOutcome::NotConfirmed);
        QCOMPARE(prompts.shownIds(), QList<int>{write ? 1603 : 1601});
        QVERIFY(image == before);
    }
}

void TestCloneWindow::writeSendsTheDocumentAndKeepsIt()
{
    RadioSimProcess sim;
    const QString saved = sim.path(QStringLiteral("radio.img"));
    QVERIFY(sim.start({QStringLiteral("--save"), saved}));
    MemoryImage image = EditedImage();
    const MemoryImage before = image;
    ScriptedPrompts prompts;
    prompts.answers = {QMessageBox::Ok, QMessageBox::Ok};

    QCOMPARE(WriteToRadio(nullptr, prompts, kEnglish, image, sim.link()), TransferOutcome::Completed);
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

void TestCloneWindow::windowShowsCaptionProgressAndLabel()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image;
    image.fill(0xFF);
    ScriptedPrompts prompts;
    frmClone window(CloneMode::Read, image, kChinese, sim.link(), prompts);
    QCOMPARE(window.windowTitle(), QString::fromUtf8(LoadText(1633, kChinese).data()));
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
    QCOMPARE(window.execTransfer(), TransferResult::Completed);
    QCOMPARE(halfWay, progressText + QStringLiteral(": 50%"));
    QCOMPARE(bar->value(), 512);
    QCOMPARE(label->text(), progressText + QStringLiteral(": 100%"));
    QVERIFY(!window.isVisible());
    QCOMPARE(prompts.shownIds(), QList<int>{1608});
    QCOMPARE(prompts.shown[0].text, QString::fromUtf8(LoadText(1608, kChinese).data()));
    QVERIFY(image == radiosim::BuildSampleMemory());
}

void TestCloneWindow::escapeEndsATransferLikeCancel()
{
    // At the radio's real speed the transfer takes seconds; Escape ends it early.
    RadioSimProcess sim;
    QVERIFY(sim.start({QStringLiteral("--pace"), QStringLiteral("9600")}));
    MemoryImage image;
    image.fill(0xFF);
    const MemoryImage before = image;
    ScriptedPrompts prompts;
    frmClone window(CloneMode::Read, image, kEnglish, sim.link(), prompts);
    QTimer::singleShot(400, &window, [&] { QTest::keyClick(&window, Qt::Key_Escape); });
    QCOMPARE(window.execTransfer(), TransferResult::Cancelled);
    QVERIFY(image == before);
    QVERIFY(prompts.shown.isEmpty());
}

void TestCloneWindow::verifyAfterWriteReadsTheRadioBack_data()
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

void TestCloneWindow::verifyAfterWriteReadsTheRadioBack()
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
    std::optional<MemoryImage> backedUp;
    WriteOptions options;
    options.verify = true;
    options.beforeWrite = [&](const MemoryImage &image) {
        backedUp = image;
        QVERIFY(prompts.shown.size() == 1); // after the confirmation, before any transfer message
    };

    QCOMPARE(WriteToRadio(nullptr, prompts, kEnglish, image, sim.link(), options), outcome);
    QVERIFY(backedUp && *backedUp == image);
    QCOMPARE(prompts.shownIds().last(), messageId);
    const PromptMessage &last = prompts.shown.last();
    QCOMPARE(last.text, text);
    QCOMPARE(last.title, QStringLiteral("ZR-K6"));
    QCOMPARE(last.icon, messageId == 1805 ? QMessageBox::Information : QMessageBox::Critical);
    QCOMPARE(prompts.shownIds(), (QList<int>{1603, messageId}));
}

void TestCloneWindow::verifyingIsASecondPhaseOfTheWindow()
{
    RadioSimProcess sim;
    QVERIFY(sim.start());
    MemoryImage image = radiosim::BuildSampleMemory();
    ScriptedPrompts prompts;
    frmClone window(CloneMode::Write, image, kEnglish, sim.link(), prompts);
    window.setVerifyAfterWrite(true);
    auto *label = window.findChild<QLabel *>(QStringLiteral("lblPercent"));
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("prgPercent"));
    QStringList seen; // caption and label at the write's end and half way through the read-back
    connect(bar, &QProgressBar::valueChanged, &window, [&](int value) {
        if ((value == 509 && bar->maximum() == 509) || (value == 256 && bar->maximum() == 512))
            seen << window.windowTitle() + QStringLiteral(" | ") + label->text();
    });
    QCOMPARE(window.execTransfer(), TransferResult::Completed);
    QCOMPARE(seen, (QStringList{QStringLiteral("Write data to radio | Completion percentage: 100%"),
                                QStringLiteral("Verifying | Verifying: 50%")}));
    QCOMPARE(window.verifyReport().outcome, VerifyOutcome::Matched);
    // One closing message, in place of "Writing completed!" alone.
    QCOMPARE(prompts.shownIds(), QList<int>{1805});

    // Escape during the read-back ends it; the write stands, unverified.
    ScriptedPrompts cancelled;
    frmClone again(CloneMode::Write, image, kEnglish, sim.link(), cancelled);
    again.setVerifyAfterWrite(true);
    auto *againBar = again.findChild<QProgressBar *>(QStringLiteral("prgPercent"));
    connect(againBar, &QProgressBar::valueChanged, &again, [&](int value) {
        if (value == 100 && againBar->maximum() == 512)
            QTest::keyClick(&again, Qt::Key_Escape);
    });
    QCOMPARE(again.execTransfer(), TransferResult::Completed);
    QCOMPARE(again.verifyReport().outcome, VerifyOutcome::Incomplete);
    QCOMPARE(cancelled.shownIds(), QList<int>{1808});
    QCOMPARE(cancelled.shown[0].text, QStringLiteral("Writing completed!\nThe memory could not be verified: reading "
                                                     "it back did not complete."));
    QCOMPARE(cancelled.shown[0].icon, QMessageBox::Warning);
}

QTEST_MAIN(TestCloneWindow)
#include "test_clone_window.moc"
