// Verify after Write, the automatic backups and Compare with File in the main window, against
// zrk6-radiosim on a pseudo-terminal.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <memory>

#include "../link/radiosim_process.h"
#include "dialogs/differences_dialog.h"
#include "document/image_document.h"
#include "files/data_file_io.h"
#include "main_window_fixture.h"
#include "mainwindow/safety_commands.h"
#include "model/channel_record.h"
#include "record_fixtures.h"
#include "sample_memory.h"

using namespace zrk6;

class TestSafeWrites : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    std::unique_ptr<test::RadioSimProcess> radio;
    std::unique_ptr<QTemporaryDir> backups;

    const MemoryImage &image() { return window->document().image(); }
    SafetyCommands &safety() { return window->safetyCommands(); }
    QStringList backupFiles() const { return QDir(backups->path()).entryList(QDir::Files, QDir::Name); }
    QString statusText() { return window->statusBar()->currentMessage(); }

    void start(const QStringList &radioArguments = {})
    {
        radio = std::make_unique<test::RadioSimProcess>();
        QVERIFY2(radio->start(radioArguments), radio->errors().constData());
        backups = std::make_unique<QTemporaryDir>();
        MainWindowFixture::start([this] {
            window->setPortOverride(radio->link());
            safety().setBackupFolder(backups->path());
        });
    }

    void enterRx(int channel, const QString &text)
    {
        window->focusGrid(channel, 1);
        auto *table = child<QTableView>(QStringLiteral("msgMemChannel"));
        QTest::keyClick(table, text.at(0).toLatin1());
        auto *editor = child<QLineEdit>(QStringLiteral("txtMemChannel"));
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    }

    // Runs action and hands the modal differences window that it opens to inspect, then closes it.
    void withDifferencesWindow(const std::function<void()> &action,
                               const std::function<void(DifferencesDialog *)> &inspect)
    {
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<DifferencesDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            seen = true;
            inspect(dialog);
            dialog->accept();
        });
        action();
        QVERIFY(seen);
    }

private slots:
    void initTestCase() { test::UseShortTime(); }
    void init() { freshSettings(QStringLiteral("zrk6.ini")); }

    void cleanup()
    {
        stop();
        radio.reset();
        backups.reset();
    }

    void switchesAreOnAndKeptInTheSettings()
    {
        start();
        auto *verify = child<QAction>(QStringLiteral("mnuProgram_Verify"));
        auto *auto_ = child<QAction>(QStringLiteral("mnuSetup_Backups"));
        QVERIFY(verify->isCheckable() && verify->isChecked());
        QVERIFY(auto_->isCheckable() && auto_->isChecked());
        QCOMPARE(verify->text(), QStringLiteral("&Verify after Write"));
        // In the menus where a user looks for them.
        auto *program = child<QMenu>(QStringLiteral("mnuProgram"));
        QCOMPARE(program->actions().indexOf(verify),
                 program->actions().indexOf(child<QAction>(QStringLiteral("mnuProgram_Write"))) + 1);
        auto *file = child<QMenu>(QStringLiteral("mnuFile"));
        QCOMPARE(file->actions().indexOf(child<QAction>(QStringLiteral("mnuFile_Compare"))),
                 file->actions().indexOf(child<QAction>(QStringLiteral("mnuFile_SaveAs"))) + 1);
        QVERIFY(child<QMenu>(QStringLiteral("mnuSetup"))->actions().contains(
            child<QAction>(QStringLiteral("mnuSetup_BackupFolder"))));

        // The captions follow the language.
        state->language = kChinese;
        window->applyLanguage();
        QCOMPARE(verify->text(), QStringLiteral("写频后校验(&V)"));
        QCOMPARE(child<QAction>(QStringLiteral("mnuFile_Compare"))->text(), QStringLiteral("与文件比较(&M)..."));

        verify->trigger();
        auto_->trigger();
        stop();
        MainWindowFixture::start();
        QVERIFY(!child<QAction>(QStringLiteral("mnuProgram_Verify"))->isChecked());
        QVERIFY(!child<QAction>(QStringLiteral("mnuSetup_Backups"))->isChecked());
        QVERIFY(!window->safetyCommands().verifyAfterWrite());
    }

    void verifiedWriteIsConfirmed()
    {
        start();
        enterRx(1, QStringLiteral("145.125"));
        const MemoryImage edited = image();
        prompts->answers = {QMessageBox::Ok};
        QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(prompts->shownIds(), (QList<int>{1603, 1805}));
        QCOMPARE(prompts->shown[1].text,
                 QStringLiteral("Writing completed!\nThe radio's memory was verified: it holds what was written."));
        // The image about to be written was kept first.
        QCOMPARE(backupFiles().size(), 1);
        QVERIFY(backupFiles().at(0).contains(QStringLiteral("-write-144-146MHz")));
        QCOMPARE(LoadDataFile(backups->filePath(backupFiles().at(0))).image, edited);
        QVERIFY(statusText().startsWith(QStringLiteral("Backup saved: ")));
    }

    void corruptedWriteNamesTheDifference()
    {
        start({QStringLiteral("--fault"), QStringLiteral("corrupt:0x001")});
        enterRx(1, QStringLiteral("145.125"));
        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuProgram_Write"))->trigger();
        QCOMPARE(prompts->shownIds(), (QList<int>{1603, 1806}));
        QCOMPARE(prompts->shown[1].text, QStringLiteral("Verification failed: the radio's memory differs from the "
                                                        "data written.\n"
                                                        "Channel 1: RX Freq 145.12500 -> 145.13500\n"
                                                        "The radio may hold a partly written memory. Write the data "
                                                        "again."));
        QCOMPARE(prompts->shown[1].icon, QMessageBox::Critical);
    }

    void readIsBackedUpAtOnce()
    {
        start();
        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuProgram_Read"))->trigger();
        QCOMPARE(prompts->shownIds(), (QList<int>{1601, 1608}));
        QCOMPARE(backupFiles().size(), 1);
        QVERIFY(backupFiles().at(0).contains(QStringLiteral("-read-400-470MHz")));
        QCOMPARE(LoadDataFile(backups->filePath(backupFiles().at(0))).image, radiosim::BuildSampleMemory());
    }

    void noBackupsWhenSwitchedOff()
    {
        start();
        child<QAction>(QStringLiteral("mnuSetup_Backups"))->trigger();
        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuProgram_Read"))->trigger();
        QCOMPARE(prompts->shownIds(), (QList<int>{1601, 1608}));
        QVERIFY(backupFiles().isEmpty());
    }

    void aBackupFolderThatCannotBeWrittenLeavesTheTransfersAlone()
    {
        start();
        // A folder below a plain file cannot be made, not even by root.
        const QString blocker = backups->filePath(QStringLiteral("not-a-folder"));
        QCOMPARE(SaveDataFile(blocker, StartupImage()), QString());
        safety().setBackupFolder(blocker + QStringLiteral("/backups"));

        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuProgram_Read"))->trigger();
        QCOMPARE(prompts->shownIds(), (QList<int>{1601, 1608}));
        QCOMPARE(image(), radiosim::BuildSampleMemory());
        QVERIFY2(statusText().startsWith(QStringLiteral("Backup not saved: ")), qPrintable(statusText()));
        QVERIFY(statusText().contains(QStringLiteral("not-a-folder")));

        prompts->shown.clear();
        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuProgram_Write"))->trigger();
        QCOMPARE(prompts->shownIds(), (QList<int>{1603, 1805}));
        QVERIFY(statusText().startsWith(QStringLiteral("Backup not saved: ")));
    }

    void openBackupFolderShowsTheFolder()
    {
        start();
        const QString folder = backups->filePath(QStringLiteral("new"));
        safety().setBackupFolder(folder);
        QUrl opened;
        safety().setUrlOpener([&](const QUrl &url) {
            opened = url;
            return true;
        });
        child<QAction>(QStringLiteral("mnuSetup_BackupFolder"))->trigger();
        QCOMPARE(opened, QUrl::fromLocalFile(folder));
        QVERIFY(QFileInfo(folder).isDir()); // made, so there is something to open
    }

    void compareWithFileListsTheDifferences()
    {
        start();
        enterRx(1, QStringLiteral("145.125"));
        enterRx(2, QStringLiteral("144.5"));
        MemoryImage other = image();
        EraseChannel(other, 2);
        StoreRxFrequency(other, 1, "145.50000", window->document().band());
        StoreRxFrequency(other, 40, "144.02500", window->document().band());
        const QString path = backups->filePath(QStringLiteral("other.dat"));
        QCOMPARE(SaveDataFile(path, other), QString());

        prompts->fileNames = {path};
        withDifferencesWindow([&] { child<QAction>(QStringLiteral("mnuFile_Compare"))->trigger(); },
                              [&](DifferencesDialog *dialog) {
                                  QCOMPARE(dialog->windowTitle(), QStringLiteral("Compare with File - other.dat"));
                                  QCOMPARE(dialog->listText(), QStringLiteral("Channel 1: RX Freq 145.12500 -> 145.50000\n"
                                                                              "Channel 2: removed\n"
                                                                              "Channel 40: added"));
                              });

        // The same file: one line that says so.
        QCOMPARE(SaveDataFile(path, image()), QString());
        prompts->fileNames = {path};
        withDifferencesWindow([&] { safety().compareWithFile(); }, [&](DifferencesDialog *dialog) {
            QCOMPARE(dialog->listText(), QStringLiteral("The two images are the same."));
        });

        // Not a data file: the file-type message, no window.
        QFile junk(backups->filePath(QStringLiteral("junk.dat")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a radio");
        junk.close();
        prompts->fileNames = {junk.fileName()};
        safety().compareWithFile();
        QCOMPARE(prompts->shownIds().last(), 1112);
        QCOMPARE(prompts->shown.last().text,
                 QStringLiteral("Incorrect File Type.\nThe file %1 is neither a ZR-K6 data file nor a memory image "
                                "of 4096 bytes.")
                     .arg(QDir::toNativeSeparators(junk.fileName())));
    }
};

QTEST_MAIN(TestSafeWrites)
#include "test_safe_writes.moc"
