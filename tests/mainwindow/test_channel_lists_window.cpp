// Channel lists in the window: Import Channels..., Export Channels..., and grid rows copied
// and pasted as tab-separated text, each import or paste one undo step with its report.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include "files/channel_list.h"
#include "main_window_fixture.h"
#include "mainwindow/channel_grid.h"

using namespace zrk6;

namespace {

QString Fixture(const char *name)
{
    return QStringLiteral(ZRK6_SOURCE_DIR "/tests/files/channel_lists/") + QString::fromLatin1(name);
}


} // namespace

class TestChannelListsWindow : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QTableView *table() { return child<QTableView>(QStringLiteral("msgMemChannel")); }
    QString cell(int channel, int column) { return window->channelGrid()->cellText(channel, column); }

    void importThroughMenu(const QString &file)
    {
        prompts->fileNames = {file};
        child<QAction>(QStringLiteral("mnuFile_ImportChannels"))->trigger();
    }

    void clickRowLabel(int channel, Qt::KeyboardModifiers modifiers = {})
    {
        QHeaderView *labels = table()->verticalHeader();
        table()->scrollTo(table()->model()->index(channel - 1, 0));
        const QPoint at(labels->width() / 2,
                        labels->sectionViewportPosition(channel - 1) + labels->sectionSize(channel - 1) / 2);
        QTest::mouseClick(labels->viewport(), Qt::LeftButton, modifiers, at);
    }

    // Three channels typed into the default 144 - 146 MHz document, as a file would bring them.
    void threeChannels()
    {
        const std::string list = "Location,Frequency,Tone,rToneFreq,Mode,Power\n"
                                 "1,145.000,Tone,67.0,NFM,Low\n2,145.100,,,FM,Mid\n3,145.200,,,FM,\n";
        setUp([&](MemoryImage &image) { ApplyChannelList(image, ReadChannelList(list, doc().band()), doc().band()); });
    }

private slots:
    void init()
    {
        freshSettings(QStringLiteral("zrk6.ini"));
        start();
    }

    void cleanup() { stop(); }

    void importIsOneUndoStepWithAReport()
    {
        const MemoryImage before = image();
        importThroughMenu(Fixture("skips.csv"));

        QCOMPARE(prompts->dialogFilters, QStringList{QStringLiteral("CSV Channel Lists (*.csv);;All Files (*)")});
        QCOMPARE(prompts->reports.size(), 1);
        const PromptReport &report = prompts->reports.front();
        QCOMPARE(report.title, QStringLiteral("Import Channels"));
        QCOMPARE(report.summary, QStringLiteral("3 channels imported."));
        QCOMPARE(report.lines.size(), 29);
        QCOMPARE(report.lines.at(20),
                 QStringLiteral("Location 19 (line 23): skipped: Mode \"AM\" is not FM or NFM."));
        QCOMPARE(cell(1, 1), QStringLiteral("145.52500"));
        QCOMPARE(cell(26, 2), QStringLiteral("145.50500"));
        QCOMPARE(cell(2, 1), QString());

        const MemoryImage after = image();
        QCOMPARE(doc().undoStack().count(), 1);
        QCOMPARE(doc().undoStack().undoText(), QStringLiteral("Import Channels"));
        QVERIFY(window->isWindowModified());
        doc().undoStack().undo();
        QVERIFY(image() == before);
        QCOMPARE(cell(1, 1), QString());
        doc().undoStack().redo();
        QVERIFY(image() == after);
    }

    void nothingFitsOrARefusedFileChangesNothing()
    {
        const MemoryImage before = image();
        importThroughMenu(Fixture("vintage17.csv")); // 446 MHz channels, 144 - 146 MHz document
        QCOMPARE(prompts->reports.size(), 1);
        QCOMPARE(prompts->reports.front().summary,
                 QStringLiteral("No channel was imported: no row of the list fits this band."));
        QCOMPARE(prompts->reports.front().lines.size(), 11);

        QTemporaryDir files;
        const QString binary = files.filePath(QStringLiteral("radio.csv"));
        QFile out(binary);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(QByteArray("\x00\x01\x02\x03", 4));
        out.close();
        importThroughMenu(binary);
        QCOMPARE(prompts->shown.size(), 1);
        QCOMPARE(prompts->shown.front().text, QStringLiteral("The file is not a text file."));
        QCOMPARE(prompts->reports.size(), 1);

        QCOMPARE(doc().undoStack().count(), 0);
        QVERIFY(image() == before);
        QVERIFY(!window->isWindowModified());
    }

    // Lists a spreadsheet saved in the system's code page come in as their UTF-8 twins do;
    // the report says once which code page was assumed and which columns were not kept.
    void aListInALegacyCodePageIsReadAndTheReportSaysWhatWasNotKept()
    {
        importThroughMenu(Fixture("western_semicolon_utf8.csv"));
        const MemoryImage twin = image();
        QCOMPARE(prompts->reports.size(), 1);
        QCOMPARE(prompts->reports.front().notes,
                 QStringList{QStringLiteral("The radio has no place for these columns of the list, so they were not "
                                            "kept: Name, Comment, Région.")});
        doc().undoStack().undo();

        state->language = kChinese;
        window->applyCaptions();
        importThroughMenu(Fixture("chinese_semicolon_gbk.csv"));
        QCOMPARE(prompts->reports.size(), 2);
        const PromptReport &report = prompts->reports.back();
        QCOMPARE(report.summary, QStringLiteral("已导入 4 个信道。"));
        QCOMPARE(report.notes, (QStringList{QStringLiteral("该列表不是 UTF-8 文本：已按 GBK（简体中文）代码页读取。"),
                                            QStringLiteral("对讲机没有存放列表中以下各列的位置，因此未保留：Name、Comment、备注。")}));
        QVERIFY(report.lines.isEmpty());
        QVERIFY(image() == twin);
    }

    void exportWritesTheChannelsInUse()
    {
        threeChannels();
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("out.csv"));
        prompts->fileNames = {path};
        child<QAction>(QStringLiteral("mnuFile_ExportChannels"))->trigger();
        QCOMPARE(prompts->initialNames, QStringList{QStringLiteral("Untitled.csv")});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QCOMPARE(written, QByteArray::fromStdString(WriteChannelList(image(), doc().band())));
        QCOMPARE(written.count("\r\n"), 4);
        QVERIFY(written.contains("\r\n1,,145.000000,,0.000000,Tone,67.0,"));
    }

    void rowsSelectedByTheirLabelsCopyAndPasteAsOneStep()
    {
        threeChannels();
        clickRowLabel(1);
        clickRowLabel(3, Qt::ShiftModifier);
        QCOMPARE(window->channelGrid()->selectedChannels(), (std::vector<int>{1, 2, 3}));
        clickRowLabel(2, Qt::ControlModifier);
        QCOMPARE(window->channelGrid()->selectedChannels(), (std::vector<int>{1, 3}));
        clickRowLabel(2, Qt::ControlModifier);

        QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QVERIFY2(copied.startsWith(QStringLiteral("Location\tName\tFrequency\tDuplex\t")), qPrintable(copied));
        QCOMPARE(copied.count(QStringLiteral("\r\n")), 4);

        const MemoryImage before = image();
        window->focusGrid(10, 1);
        QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(doc().undoStack().count(), 1);
        QCOMPARE(doc().undoStack().undoText(), QStringLiteral("Paste Channels"));
        QCOMPARE(prompts->reports.size(), 1);
        QCOMPARE(prompts->reports.front().title, QStringLiteral("Paste Channels"));
        QCOMPARE(prompts->reports.front().summary, QStringLiteral("3 channels imported."));
        for (int k = 0; k < 3; ++k) {
            for (int column = 1; column <= 9; ++column)
                QCOMPARE(cell(10 + k, column), cell(1 + k, column));
            for (int i = 0; i < kRowSize; ++i)
                QCOMPARE(image().at(ChannelRow(10 + k), i), image().at(ChannelRow(1 + k), i));
        }
        doc().undoStack().undo();
        QVERIFY(image() == before);
    }

    void pastingTextFromASpreadsheetFillsFromTheCurrentRow()
    {
        // A spreadsheet's copied cells: its own columns, no Location, a row too many.
        QApplication::clipboard()->setText(QStringLiteral("Frequency\tMode\tPower\r\n145.5\tNFM\t1W\r\n145.6\tFM\tHigh\r\n"));
        window->focusGrid(127, 1);
        child<QAction>(QStringLiteral("mnuEdit_PasteChannels"))->trigger();
        QCOMPARE(cell(127, 1), QStringLiteral("145.50000"));
        QCOMPARE(cell(127, 5), QStringLiteral("Narrow"));
        QCOMPARE(cell(128, 7), QStringLiteral("High"));
        QCOMPARE(prompts->reports.front().summary, QStringLiteral("2 channels imported."));

        // Lines copied out of a CSV file.
        QApplication::clipboard()->setText(QStringLiteral("Location,Frequency,Duplex\n9,145.25,off\n"));
        window->focusGrid(40, 1);
        child<QAction>(QStringLiteral("mnuEdit_PasteChannels"))->trigger();
        QCOMPARE(cell(40, 1), QStringLiteral("145.25000"));
        QCOMPARE(cell(40, 2), QString());
        QCOMPARE(doc().undoStack().count(), 2);

        // One column of a spreadsheet that writes decimal commas: one channel, said so.
        QApplication::clipboard()->setText(QStringLiteral("Frequency\r\n145,5125\r\n"));
        window->focusGrid(50, 1);
        child<QAction>(QStringLiteral("mnuEdit_PasteChannels"))->trigger();
        QCOMPARE(cell(50, 1), QStringLiteral("145.51250"));
        QCOMPARE(prompts->reports.back().summary, QStringLiteral("1 channel imported."));
        QCOMPARE(doc().undoStack().count(), 3);

        // Plain words are no channel list: a message, no step.
        QApplication::clipboard()->setText(QStringLiteral("hello world"));
        child<QAction>(QStringLiteral("mnuEdit_PasteChannels"))->trigger();
        QCOMPARE(prompts->shown.back().text,
                 QStringLiteral("The text is not a channel list: its first line does not name Frequency."));
        QCOMPARE(doc().undoStack().count(), 3);
    }

    void fileDialogsNameTheirCommandAndNamesGetTheirExtension()
    {
        threeChannels();
        QTemporaryDir files;
        const auto written = [&](const char *name) { return QFileInfo(files.filePath(QString::fromLatin1(name))).isFile(); };
        struct Case {
            const char *action;
            const char *typed;
            const char *title;
            const char *file; // what was written
        };
        for (const Case &c : {Case{"mnuFile_ExportChannels", "list", "Export Channels", "list.csv"},
                              Case{"mnuFile_ExportChannels", "list.txt", "Export Channels", "list.txt"},
                              Case{"mnuFile_SaveAs", "radio", "Save As", "radio.dat"},
                              Case{"mnuFile_SaveAs", "radio.yaml", "Save As", "radio.yaml"},
                              Case{"mnuFile_ImportChannels", "list.csv", "Import Channels", nullptr},
                              Case{"mnuFile_Compare", "missing.dat", "Compare with File", nullptr}}) {
            prompts->fileNames = {files.filePath(QString::fromLatin1(c.typed))};
            child<QAction>(QString::fromLatin1(c.action))->trigger();
            QCOMPARE(prompts->dialogTitles.last(), QString::fromLatin1(c.title));
            if (c.file != nullptr)
                QVERIFY2(written(c.file), c.file);
        }
        QVERIFY(!written("list") && !written("radio"));
        QCOMPARE(QDir::cleanPath(QString::fromStdString(doc().fileName())), QDir::cleanPath(files.filePath(QStringLiteral("radio.yaml"))));
        state->language = kChinese;
        window->applyCaptions();
        prompts->fileNames = {};
        child<QAction>(QStringLiteral("mnuFile_ExportChannels"))->trigger();
        QCOMPARE(prompts->dialogTitles.last(), QStringLiteral("导出信道"));
    }

    void menuItemsInBothLanguages()
    {
        for (const auto &[name, english, chinese] :
             {std::tuple{"mnuFile_ImportChannels", "&Import Channels...", "导入信道(&I)..."},
              std::tuple{"mnuFile_ExportChannels", "&Export Channels...", "导出信道(&E)..."},
              std::tuple{"mnuEdit_CopyChannels", "&Copy Channels", "复制信道(&C)"},
              std::tuple{"mnuEdit_PasteChannels", "&Paste Channels", "粘贴信道(&P)"}}) {
            state->language = kEnglish;
            window->applyCaptions();
            QCOMPARE(child<QAction>(QString::fromLatin1(name))->text(), QString::fromUtf8(english));
            state->language = kChinese;
            window->applyCaptions();
            QCOMPARE(child<QAction>(QString::fromLatin1(name))->text(), QString::fromUtf8(chinese));
        }
    }
};

QTEST_MAIN(TestChannelListsWindow)
#include "test_channel_lists_window.moc"
