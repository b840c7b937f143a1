#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPrintDialog>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "dialog_fixtures.h"
#include "dialogs/dialog_support.h"
#include "dialogs/print_dialog.h"
#include "recording_surface.h"
#include "scripted_prompts.h"

using namespace zrk6;

// Windows' own print and page setup dialogs refuse to open where the system has no printer
// (Wine has none), and poppler's pdftotext is rarely there: those checks are skipped there.
#ifdef Q_OS_WIN
#define SKIP_WITHOUT_PRINTER()                                                                     \
    if (QPrinterInfo::availablePrinters().isEmpty())                                               \
    QSKIP("no printer on this system: its print dialogs do not open")
#define SKIP_WITHOUT_PDFTOTEXT()                                                                   \
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())                     \
    QSKIP("pdftotext is not on this system: the PDF was made, its text is not read")
#else
#define SKIP_WITHOUT_PRINTER()
#define SKIP_WITHOUT_PDFTOTEXT()
#endif
using zrk6::test::RecordingSurface;
using zrk6::test::ScriptedPrompts;
using zrk6::test::StateWithChannels;

namespace {

// With the recording surface's 4800 x 6600 page: column c and line n.
constexpr int Col(int c)
{
    return 480 + 33 * c;
}
constexpr int Line(int n)
{
    return 330 + 99 * n;
}

PrintJob Job(const test::DialogDoc &d, bool channels, bool features)
{
    PrintJob job;
    job.language = d.state.language;
    job.bandText = QString::fromStdString(d.doc.band().text);
    job.documentName = QStringLiteral("/home/ham/club.dat");
    job.printedAt = QDateTime(QDate(2026, 12, 10), QTime(4, 5));
    job.channels = channels;
    job.features = features;
    return job;
}

QStringList ChannelHeadings(const RecordingSurface &s, int page)
{
    QStringList headings;
    for (const QString &t : s.onPage(page))
        if (t.startsWith(QLatin1String("Channel ")))
            headings << t;
    return headings;
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void layoutRoundsHalfToEven();
    void pageHeaderAndChannelBlock();
    void nineChannelsAPageThenFeatures();
    void emptyRangeAndLastChannel();
    void featuresPageLines();
    void stopsWhenThePrinterFails();

    void rangeBoxes_data();
    void rangeBoxes();
    void itemsEnableRange();
    void okChecksAndPrints();
    void printerErrorsAreShown();
    void realPdfInChinese();
    void previewShowsThePages();
    void setupCancelKeepsThePage();
    void throughTheRealPrintDialog();
    void unwritablePdfSaysWhy();
};

void TestPrint::layoutRoundsHalfToEven()
{
    QCOMPARE(RoundHalfEven(2.5), 2);
    QCOMPARE(RoundHalfEven(3.5), 4);
    QCOMPARE(RoundHalfEven(2.51), 3);
    const PageLayout small = PageLayout::ForPage(25, 300); // 2.5, 0.17, 15, 4.5
    QCOMPARE(small.leftMargin, 2);
    QCOMPARE(small.columnUnit, 0);
    QCOMPARE(small.topMargin, 15);
    QCOMPARE(small.lineHeight, 4);
    const PageLayout page = PageLayout::ForPage(4800, 6600);
    QCOMPARE(page.column(35), Col(35));
    QCOMPARE(page.line(11), Line(11));
}

void TestPrint::pageHeaderAndChannelBlock()
{
    auto stateDoc = StateWithChannels({1, 2});
    RecordingSurface s;
    QVERIFY(PrintChannelList(s, stateDoc->doc.image(), stateDoc->doc.band(), Job(*stateDoc, true, false)));
    QVERIFY(s.ended);
    QCOMPARE(s.pages(), 1);

    const QString title = QStringLiteral("ZR-K6 Radio Programming Information");
    const auto *t = s.find(title);
    QVERIFY(t);
    QCOMPARE(t->x, RoundHalfEven(2400 - 5.0 * title.size()));
    QCOMPARE(t->y, Line(0));
    QVERIFY(t->bold);
    QCOMPARE(t->points, 16.0);
    const QLocale locale;
    const QString stamp = locale.toString(QDate(2026, 12, 10), QLocale::ShortFormat) + "  " +
                          locale.toString(QTime(4, 5), QLocale::ShortFormat);
    t = s.find(stamp);
    QVERIFY(t);
    QCOMPARE(t->x, RoundHalfEven(4320 - 10.0 * stamp.size()));
    QCOMPARE(t->y, Line(2));
    QCOMPARE(t->points, 11.0);

    struct Expected {
        const char *text;
        int x;
        int y;
    };
    const Expected expected[] = {
        {"Model Type", Col(4), Line(4)},     {"ZR-K6", Col(30), Line(4)},
        {"Frequency", Col(4), Line(5)},      {"144 - 146 MHz", Col(30), Line(5)},
        {"File Name", Col(4), Line(6)},      {"/home/ham/club.dat", Col(30), Line(6)},
        {"Memory Channel", Col(0), Line(9)}, {"Channel 1", Col(0), Line(11)},
        {"144.01250", Col(35), Line(12)},    {"144.31250", Col(105), Line(12)},
        {"67.0", Col(105), Line(13)},        {"High", Col(35), Line(14)},
        {"Add", Col(105), Line(14)},         {"Channel 2", Col(0), Line(17)},
        {"144.02500", Col(35), Line(18)},    {"- 1 -", 2375, 6270},
    };
    for (const Expected &e : expected) {
        t = s.find(QString::fromUtf8(e.text));
        QVERIFY2(t, e.text);
        QCOMPARE(t->x, e.x);
        QCOMPARE(t->y, e.y);
    }
    QVERIFY(s.find("Channel 1")->bold == false && s.find("Channel 1")->points == 10.0);

    // The labels of a block, and "---------" where channel 2 has no transmit part.
    QStringList second;
    for (const auto &text : s.texts)
        if (text.y >= Line(17) && text.y <= Line(20))
            second << QStringLiteral("%1@%2").arg(text.text).arg((text.x - 480) / 33);
    QCOMPARE(second, (QStringList{"Channel 2@0", "RX Freq@6", "144.02500@35", "TX Freq@70", "---------@105",
                                  "Decode@6", "None@35", "Encode@70", "---------@105", "TX Power@6", "High@35",
                                  "Scan@70", "Add@105"}));
}

void TestPrint::nineChannelsAPageThenFeatures()
{
    auto stateDoc = StateWithChannels({1, 2, 3, 4, 5, 6, 7, 8, 9, 40, 41});
    PrintJob job = Job(*stateDoc, true, true);
    job.to = 40; // channel 41 lies outside the range
    RecordingSurface s;
    QVERIFY(PrintChannelList(s, stateDoc->doc.image(), stateDoc->doc.band(), job));
    QCOMPARE(s.pages(), 3);
    QCOMPARE(ChannelHeadings(s, 1).size(), 9);
    QCOMPARE(ChannelHeadings(s, 2), QStringList{"Channel 40"});
    QCOMPARE(s.find("Channel 40")->y, Line(11));
    QCOMPARE(s.onPage(3).count("Optional Features"), 1);
    for (int page = 1; page <= 3; ++page) {
        QCOMPARE(s.onPage(page).count("ZR-K6 Radio Programming Information"), 1);
        QCOMPARE(s.onPage(page).last(), QStringLiteral("- %1 -").arg(page));
    }
}

void TestPrint::emptyRangeAndLastChannel()
{
    auto stateDoc = StateWithChannels({5, 128});
    PrintJob job = Job(*stateDoc, true, false);
    job.from = 6;
    job.to = 127;
    RecordingSurface empty;
    QVERIFY(PrintChannelList(empty, stateDoc->doc.image(), stateDoc->doc.band(), job));
    QCOMPARE(empty.pages(), 1);
    QCOMPARE(empty.onPage(1).mid(empty.onPage(1).size() - 2), (QStringList{"Memory Channel", "- 1 -"}));

    job.to = 128;
    RecordingSurface last;
    QVERIFY(PrintChannelList(last, stateDoc->doc.image(), stateDoc->doc.band(), job));
    QCOMPARE(ChannelHeadings(last, 1), QStringList{"Channel 128"});
}

void TestPrint::featuresPageLines()
{
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    PrintJob job = Job(*stateDoc, false, true);
    job.featureLines = OptionalFeatureLines(stateDoc->doc.image(), stateDoc->doc.band(), state.language);
    RecordingSurface s;
    QVERIFY(PrintChannelList(s, stateDoc->doc.image(), stateDoc->doc.band(), job));
    QCOMPARE(s.pages(), 1);
    const QStringList expected = {"Time Out Timer [s]", "60",      "Squelch Level",     "5",
                                  "Chord Language",     "Off",     "Beep Tone",         "Enable",
                                  "Battery Save",       "Enable",  "Scrambler",         "Disable",
                                  "VOX Gain Level",     "Off",     "VOX Delay Time[s]", "0.3",
                                  "ANI",                "",        "Name",              "",
                                  "BOT",                "Disable", "EOT",               "Disable"};
    QStringList printed;
    for (const auto &t : s.texts) {
        if (t.y < Line(11) || t.y > Line(22))
            continue;
        printed << t.text;
        QCOMPARE(t.x, printed.size() % 2 ? Col(6) : Col(40));
        QCOMPARE(t.y, Line(11 + (printed.size() - 1) / 2));
    }
    QCOMPARE(printed, expected);
}

void TestPrint::stopsWhenThePrinterFails()
{
    auto stateDoc = StateWithChannels({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
    RecordingSurface s;
    s.failNewPageAt = 1;
    QVERIFY(!PrintChannelList(s, stateDoc->doc.image(), stateDoc->doc.band(), Job(*stateDoc, true, true)));
    QCOMPARE(s.pages(), 1);
    QVERIFY(!s.ended);
    QVERIFY(!s.find("Channel 10"));
}

void TestPrint::rangeBoxes_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("expected");
    QTest::newRow("from 0") << "txtRange0" << "0" << "128" << "1";
    QTest::newRow("from empty") << "txtRange0" << "" << "128" << "1";
    QTest::newRow("from above to") << "txtRange0" << "50" << "20" << "1";
    QTest::newRow("from 007") << "txtRange0" << "007" << "128" << "7";
    QTest::newRow("from equal to") << "txtRange0" << "20" << "20" << "20";
    QTest::newRow("to 200") << "txtRange1" << "1" << "200" << "128";
    QTest::newRow("to below from") << "txtRange1" << "20" << "10" << "128";
    QTest::newRow("to empty") << "txtRange1" << "1" << "" << "128";
    QTest::newRow("to 64") << "txtRange1" << "1" << "064" << "64";
}

void TestPrint::rangeBoxes()
{
    QFETCH(QString, box);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, expected);
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    ScriptedPrompts prompts;
    PrintDialog d(state, stateDoc->doc, prompts);
    d.show();
    d.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&d));
    d.findChild<QCheckBox *>("chkPrintItem1")->setChecked(true);
    auto *fromBox = d.findChild<QLineEdit *>("txtRange0");
    auto *toBox = d.findChild<QLineEdit *>("txtRange1");
    fromBox->setText(from);
    toBox->setText(to);
    auto *edit = d.findChild<QLineEdit *>(box);
    edit->setFocus();
    QCOMPARE(edit->selectedText(), edit->text()); // the focus selects the whole text
    QTest::keyClick(edit, Qt::Key_Return);        // Enter leaves the box, which validates it
    QVERIFY(!edit->hasFocus());
    QCOMPARE(edit->text(), expected);

    // Typing: digits only, three at most unless part of the text is selected.
    edit->setFocus();
    edit->setText("12");
    edit->setCursorPosition(2);
    QTest::keyClicks(edit, "a-34");
    QCOMPARE(edit->text(), QStringLiteral("123"));
    edit->setSelection(0, 1);
    QTest::keyClicks(edit, "9");
    QCOMPARE(edit->text(), QStringLiteral("923"));
}

void TestPrint::itemsEnableRange()
{
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    ScriptedPrompts prompts;
    PrintDialog d(state, stateDoc->doc, prompts);
    d.show();
    auto *channels = d.findChild<QCheckBox *>("chkPrintItem1");
    auto *features = d.findChild<QCheckBox *>("chkPrintItem2");
    auto *from = d.findChild<QLineEdit *>("txtRange0");
    auto *to = d.findChild<QLineEdit *>("txtRange1");
    QCOMPARE(d.windowTitle(), QStringLiteral("Print Out List"));
    QCOMPARE(from->text(), QStringLiteral("1"));
    QCOMPARE(to->text(), QStringLiteral("128"));
    const QColor grey = from->palette().color(QPalette::Base);
    QVERIFY(!from->isEnabled() && !to->isEnabled());
    QVERIFY(!channels->isChecked() && !features->isChecked());

    QTest::mouseClick(features, Qt::LeftButton);
    QVERIFY(!from->isEnabled()); // only "Memory Channel" enables the range
    QTest::mouseClick(channels, Qt::LeftButton);
    QVERIFY(from->isEnabled() && to->isEnabled());
    QVERIFY(from->palette().color(QPalette::Base) != grey);
    QTest::mouseClick(channels, Qt::LeftButton);
    QVERIFY(!from->isEnabled());
    QCOMPARE(from->palette().color(QPalette::Base), grey);

    QTest::mouseClick(d.findChild<QPushButton *>("cmdSelectAll"), Qt::LeftButton);
    QVERIFY(channels->isChecked() && features->isChecked() && from->isEnabled());
    QTest::mouseClick(d.findChild<QPushButton *>("cmdClearAll"), Qt::LeftButton);
    QVERIFY(!channels->isChecked() && !features->isChecked() && !from->isEnabled());
}

void TestPrint::okChecksAndPrints()
{
    auto stateDoc = StateWithChannels({1, 2, 3});
    AppState &state = stateDoc->state;
    ScriptedPrompts prompts;
    PrintDialog d(state, stateDoc->doc, prompts);
    int chooserCalls = 0;
    auto surface = std::make_shared<RecordingSurface>();
    std::shared_ptr<PrintSurface> next; // null: the user cancels the print dialog
    d.setSurfaceChooser([&](QWidget *, QPrinter &) {
        ++chooserCalls;
        return ChosenSurface{next, {}};
    });
    d.show();
    auto *ok = d.findChild<QPushButton *>("cmdOK");

    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(prompts.shownIds(), QList<int>{1306});
    QCOMPARE(prompts.shown.first().text, QStringLiteral("Please select printing items."));
    QCOMPARE(Text(1306, kChinese), QStringLiteral("请选择打印项目。")); // 请 "please", not 清 "clear"
    QCOMPARE(prompts.shown.first().icon, QMessageBox::Information);
    QCOMPARE(prompts.shown.first().title, QStringLiteral("ZR-K6"));
    QCOMPARE(chooserCalls, 0);
    QVERIFY(d.isVisible());

    d.findChild<QCheckBox *>("chkPrintItem1")->setChecked(true);
    d.findChild<QLineEdit *>("txtRange1")->setText("2");
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(chooserCalls, 1);
    QVERIFY(d.isVisible()); // a cancelled print dialog: silent, still open
    QCOMPARE(prompts.shown.size(), 1);

    next = surface;
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(ChannelHeadings(*surface, 1), (QStringList{"Channel 1", "Channel 2"}));
    QVERIFY(surface->find("144 - 146 MHz"));
    QVERIFY(surface->find("Untitled"));
}

void TestPrint::printerErrorsAreShown()
{
    auto stateDoc = StateWithChannels({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    AppState &state = stateDoc->state;
    ScriptedPrompts prompts;
    PrintDialog d(state, stateDoc->doc, prompts);
    d.setSurfaceChooser([](QWidget *, QPrinter &) { return ChosenSurface{nullptr, "Permission denied: /x.pdf"}; });
    d.show();
    QTest::mouseClick(d.findChild<QPushButton *>("cmdSelectAll"), Qt::LeftButton);
    QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(prompts.shown.size(), 1);
    QCOMPARE(prompts.shown.first().text, QStringLiteral("Permission denied: /x.pdf"));
    QCOMPARE(prompts.shown.first().icon, QMessageBox::Critical);
    QVERIFY(d.isVisible());

    auto jam = std::make_shared<RecordingSurface>();
    jam->failNewPageAt = 1;
    d.setSurfaceChooser([jam](QWidget *, QPrinter &) { return ChosenSurface{jam, {}}; });
    QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    QCOMPARE(prompts.shown.size(), 2);
    QCOMPARE(prompts.shown.last().text, QStringLiteral("Paper jam"));
    QVERIFY(d.isVisible());
}

void TestPrint::realPdfInChinese()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // ZRK6_PRINT_SAMPLE=docs/print-sample.pdf keeps the samples: English there, Chinese
    // beside it as print-sample-zh.pdf.
    const QString sample = qEnvironmentVariable("ZRK6_PRINT_SAMPLE");
    struct Run {
        LanguageMode language;
        QString path;
    };
    QList<Run> runs = {{kChinese, dir.filePath("zh.pdf")}};
    if (!sample.isEmpty()) {
        runs.first().path = QString(sample).replace(QRegularExpression("\\.pdf$"), "-zh.pdf");
        runs.append({kEnglish, sample});
    }

    for (const Run &run : runs) {
        auto stateDoc = StateWithChannels({1, 2, 3, 4}, run.language);
        AppState &state = stateDoc->state;
        stateDoc->doc.markSaved("/home/ham/repeaters.dat");
        ScriptedPrompts prompts;
        PrintDialog d(state, stateDoc->doc, prompts);
        d.setSurfaceChooser([&run](QWidget *, QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(run.path);
            auto surface = std::make_shared<PainterPrintSurface>(printer);
            if (!surface->begin())
                return ChosenSurface{nullptr, surface->errorText()};
            return ChosenSurface{surface, {}};
        });
        d.show();
        QTest::mouseClick(d.findChild<QPushButton *>("cmdSelectAll"), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        QVERIFY2(prompts.shown.isEmpty(), qPrintable(prompts.shown.value(0).text));
        QVERIFY(!d.isVisible());
    }

    SKIP_WITHOUT_PDFTOTEXT();
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", runs.first().path, "-"});
    QVERIFY2(pdftotext.waitForFinished(30000), "pdftotext (poppler-utils) is needed");
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const char *expected : {"ZR-K6 对讲机编程信息", "记忆信道", "可选功能", "信道 1", "144.01250", "144.31250", "发射功率", "高",
                                 "发射定时(秒)", "/home/ham/repeaters.dat", "关"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    // pdftotext drops the blanks around a page number.
    QVERIFY(text.contains(QRegularExpression("-\\s*1\\s*-")));
    QVERIFY(text.contains(QRegularExpression("-\\s*2\\s*-")));
    QCOMPARE(text.count(QChar('\f')), 2); // two pages
}

void TestPrint::previewShowsThePages()
{
    auto stateDoc = StateWithChannels({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    AppState &state = stateDoc->state;
    ScriptedPrompts prompts;
    PrintDialog d(state, stateDoc->doc, prompts);
    d.show();
    QTest::mouseClick(d.findChild<QPushButton *>("cmdSelectAll"), Qt::LeftButton);
    int pages = -1;
    QTimer::singleShot(0, &d, [&] {
        auto *preview = d.findChild<QPrintPreviewDialog *>("dlgPrintPreview");
        if (!preview)
            return;
        auto *widget = preview->findChild<QPrintPreviewWidget *>();
        widget->updatePreview();
        pages = widget->pageCount();
        preview->reject();
    });
    QTest::mouseClick(d.findChild<QPushButton *>("cmdPreview"), Qt::LeftButton);
    QCOMPARE(pages, 3);
    QVERIFY(d.isVisible());
    QVERIFY(prompts.shown.isEmpty());
}

void TestPrint::setupCancelKeepsThePage()
{
    SKIP_WITHOUT_PRINTER();
    auto stateDoc = StateWithChannels({});
    AppState &state = stateDoc->state;
    ScriptedPrompts prompts;
    PrintDialog d(state, stateDoc->doc, prompts);
    d.show();
    const QPageLayout before = d.printer().pageLayout();
    QString seen;
    QTimer::singleShot(0, &d, [&] {
        if (auto *setup = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            seen = setup->metaObject()->className();
            setup->reject();
        }
    });
    QTest::mouseClick(d.findChild<QPushButton *>("cmdSetup"), Qt::LeftButton);
    QVERIFY2(seen.contains("PageSetup"), qPrintable(seen));
    QVERIFY(d.printer().pageLayout().isEquivalentTo(before));
    QVERIFY(d.isVisible());
    QVERIFY(prompts.shown.isEmpty());
}

void TestPrint::throughTheRealPrintDialog()
{
    SKIP_WITHOUT_PRINTER();
    QTemporaryDir dir;
    const QString file = dir.filePath("list.pdf");
    auto stateDoc = StateWithChannels({1, 2});
    AppState &state = stateDoc->state;
    ScriptedPrompts prompts;
    PrintDialog d(state, stateDoc->doc, prompts);
    d.printer().setOutputFormat(QPrinter::PdfFormat);
    d.printer().setOutputFileName(file); // the print dialog opens on "print to file" with this name
    d.show();
    QTest::mouseClick(d.findChild<QPushButton *>("cmdSelectAll"), Qt::LeftButton);

    for (const bool accept : {false, true}) {
        QString seen;
        QTimer::singleShot(0, &d, [&] {
            if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget())) {
                seen = QStringLiteral("QPrintDialog");
                accept ? dialog->accept() : dialog->reject();
            }
        });
        QTest::mouseClick(d.findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        QCOMPARE(seen, QStringLiteral("QPrintDialog"));
        QCOMPARE(d.isVisible(), !accept); // cancelled: silent and still open
        QCOMPARE(QFile::exists(file), accept);
    }
    QVERIFY(prompts.shown.isEmpty());
    SKIP_WITHOUT_PDFTOTEXT();
    QProcess pdftotext;
    pdftotext.start("pdftotext", {file, "-"});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY(text.contains("Channel 2"));
    QVERIFY(text.contains("Time Out Timer [s]"));
}

void TestPrint::unwritablePdfSaysWhy()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("missing/list.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    PainterPrintSurface surface(printer);
    QVERIFY(!surface.begin());
    QVERIFY2(surface.errorText().contains(file), qPrintable(surface.errorText()));
    QVERIFY2(surface.errorText().size() > file.size() + 2, qPrintable(surface.errorText()));
}

QTEST_MAIN(TestPrint)
#include "test_print.moc"
