// The main window as a user meets it: start-up and exit with the settings store, the title
// and modified state through New, Open, Save and close, the band change, captions, toolbar
// and shortcuts. Real widgets, real files in a temporary
// directory, prompts answered by the scripted seam.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QRadioButton>
#include <QMenuBar>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QSet>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "dialogs/comm_port_dialog.h"
#include "files/data_file.h"
#include "link/port_names.h"
#include "files/data_file_io.h"
#include "files/eliminator.h"
#include "mainwindow/action_table.h"
#include "mainwindow/channel_grid.h"
#include "mainwindow/channel_table_view.h"
#include "mainwindow/main_window.h"
#include "mainwindow/settings_store.h"
#include "model/app_state.h"
#include "model/band.h"
#include "model/bcd_freq.h"
#include "model/channel_record.h"
#include "model/image_normalise.h"
#include "model/vfo.h"
#include "record_fixtures.h"
#include "main_window_fixture.h"

using namespace zrk6;

namespace {

QString Tx(int id, LanguageMode language = kEnglish)
{
    const std::string_view text = LoadText(id, language);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString kUntitledTitle = QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: Untitled]");
const QString kUntitledModifiedTitle = QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: Untitled*]");

// The default image of a band with the start-up model and band variant.
MemoryImage DefaultImage(const Band &band)
{
    MemoryImage image;
    image.set(addr::kModel, kStartupModelByte);
    image.set(addr::kBandVariant, 240);
    BuildDefaultImage(image, band);
    return image;
}

QString VfoFreq(const MemoryImage &image, int address, ByteOrder order = ByteOrder::LowFirst)
{
    return QString::fromStdString(FormatFreq(ReadFreqUnits(image, address, order)));
}

} // namespace

class TestMainWindow : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QString path(const QString &name) const { return dir->filePath(name); }
    QTableView *table() { return child<QTableView>(QStringLiteral("msgMemChannel")); }
    QComboBox *bandList() { return child<QComboBox>(QStringLiteral("cboGenFreq")); }
    QString cell(int channel, int column) { return window->channelGrid()->cellText(channel, column); }

    // Closes the window the way the user does; true when it closed.
    bool closeWindow()
    {
        window->close();
        return !window->isVisible();
    }

    // Types a receive frequency into a channel's RX cell, as a user does: a digit on the grid
    // starts the entry, Enter commits it.
    void enterRx(int channel, const QString &text)
    {
        window->focusGrid(channel, 1);
        QTest::keyClick(table(), text.at(0).toLatin1());
        QLineEdit *editor = child<QLineEdit>(QStringLiteral("txtMemChannel"));
        QVERIFY(editor->isVisible());
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
    }

    // A data file holding the image.
    QString writeDataFile(const QString &name, const MemoryImage &content)
    {
        const QString file = path(name);
        const QString error = SaveDataFile(file, content);
        if (!error.isEmpty())
            qFatal("cannot write %s: %s", qPrintable(file), qPrintable(error));
        return file;
    }

    // Opens a file through the File menu, answering any question with the given buttons.
    void openThroughMenu(const QString &file, QList<QMessageBox::StandardButton> answers = {})
    {
        prompts->answers = answers;
        prompts->fileNames = {file};
        child<QAction>(QStringLiteral("mnuFile_Open"))->trigger();
    }

    // Selects a band as the user does from the list's drop-down.
    void chooseBand(int row)
    {
        bandList()->setFocus();
        bandList()->setCurrentIndex(row);
    }

    // Types into a VFO frequency box and commits it with Enter.
    QString iniText()
    {
        QFile file(settings->filePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void init()
    {
        freshSettings(QStringLiteral("config/zrk6.ini"));
        QVERIFY(dir->isValid());
    }

    void cleanup() { stop(); }

    // ---- start-up and exit -------------------------------------------------------------

    void startupWithoutSettingsShowsAnUntitledDefaultDocument()
    {
        start();
        QCOMPARE(shownTitle(), kUntitledTitle);
        QCOMPARE(image().at(addr::kBandVariant), 240);
        QCOMPARE(image().at(addr::kModel), 0x3A);
        QCOMPARE(state->language, kEnglish);
        QCOMPARE(state->commPortNumber, 1);
        QVERIFY(!doc().isModified());
        QVERIFY(prompts->shown.isEmpty());
        QCOMPARE(image(), DefaultImage(Band{}));

        QCOMPARE(bandList()->currentText(), QStringLiteral("144 - 146 MHz"));
        QCOMPARE(bandList()->count(), kBandCount);
        QCOMPARE(child<QComboBox>(QStringLiteral("cboGenModel"))->currentText(), QStringLiteral("ZR-K6C"));
        QVERIFY(!child<QComboBox>(QStringLiteral("cboGenModel"))->isVisible());
        QCOMPARE(child<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("ZR-K6"));
        QCOMPARE(table()->model()->rowCount(), 128);
        QCOMPARE(table()->model()->columnCount(), 9);
        QCOMPARE(cell(1, 1), QString());
        QCOMPARE(window->channelGrid()->grid().row(), 1);
        QCOMPARE(window->channelGrid()->grid().col(), 1);
    }

    void startupReadsTheStoredSettings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("bandVariant");
        QTest::addColumn<int>("language");

        QTest::newRow("LastFreq 238") << "LastFreq" << "238" << 238 << 0;
        QTest::newRow("LastFreq 247") << "LastFreq" << "247" << 247 << 0;
        QTest::newRow("LastFreq 237") << "LastFreq" << "237" << 240 << 0;
        QTest::newRow("LastFreq 248") << "LastFreq" << "248" << 240 << 0;
        QTest::newRow("LastFreq abc") << "LastFreq" << "abc" << 240 << 0;
        QTest::newRow("LastFreq blank") << "LastFreq" << " " << 240 << 0;
        QTest::newRow("LastFreq leading number") << "LastFreq" << " 241xyz" << 241 << 0;
        QTest::newRow("LastFreq rounded") << "LastFreq" << "243.7" << 244 << 0;
        QTest::newRow("LastFreq huge") << "LastFreq" << "99999999999999999999999" << 240 << 0;
        QTest::newRow("name in other case") << "LASTFREQ" << "239" << 239 << 0;
        QTest::newRow("Language 1") << "Language" << "1" << 240 << 1;
        QTest::newRow("language written by exit") << "language" << "1" << 240 << 1;
        QTest::newRow("Language 0") << "Language" << "0" << 240 << 0;
        // Anything but 0 or 1 used to end the program at start-up; it reads as English.
        QTest::newRow("Language 7") << "Language" << "7" << 240 << 0;
        QTest::newRow("Language -1") << "Language" << "-1" << 240 << 0;
        QTest::newRow("Language text") << "Language" << "zh" << 240 << 0;
    }

    void startupReadsTheStoredSettings()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(int, bandVariant);
        QFETCH(int, language);
        QVERIFY(settings->SaveRegValue(name, value));
        start();
        QVERIFY(!window->startupFailed());
        QCOMPARE(int(image().at(addr::kBandVariant)), bandVariant);
        QCOMPARE(state->language, language);
        QVERIFY(!doc().isModified());
        QVERIFY(prompts->shown.isEmpty());
        QCOMPARE(table()->model()->headerData(0, Qt::Horizontal).toString(), Tx(1200, static_cast<LanguageMode>(language)));
    }

    void exitWritesTheSettingsThatTheNextStartRestores()
    {
        QVERIFY(settings->SaveRegValue(QStringLiteral("Language"), QStringLiteral("1")));
        MemoryImage content = DefaultImage(Band{});
        content.set(addr::kBandVariant, 0xEE);
        content.set(addr::kModel, 0x39);
        const QString file = writeDataFile(QStringLiteral("variant.dat"), content);

        start();
        openThroughMenu(file);
        QCOMPARE(image().at(addr::kBandVariant), 0xEE);
        QVERIFY(closeWindow());
        QCOMPARE(settings->GetRegValue(QStringLiteral("LastFreq")), QStringLiteral("238"));
        QCOMPARE(settings->GetRegValue(QStringLiteral("LastModel")), QStringLiteral("57"));
        QCOMPARE(settings->GetRegValue(QStringLiteral("Language")), QStringLiteral("1"));
        // One language value, whatever case it was stored in before.
        QCOMPARE(iniText().count(QStringLiteral("anguage="), Qt::CaseInsensitive), 1);

        window.reset();
        start();
        QCOMPARE(image().at(addr::kBandVariant), 0xEE);
        QCOMPARE(image().at(addr::kModel), 0x3A); // the stored model is not read back
        QCOMPARE(state->language, kChinese);
    }

    void closeQuestion_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<bool>("giveFileName");
        QTest::addColumn<bool>("closes");

        using B = QMessageBox;
        QTest::newRow("nothing changed: no question") << false << QList<B::StandardButton>{} << false << true;
        QTest::newRow("No closes") << true << QList<B::StandardButton>{B::No} << false << true;
        QTest::newRow("Cancel stays") << true << QList<B::StandardButton>{B::Cancel} << false << false;
        QTest::newRow("Yes saves and closes") << true << QList<B::StandardButton>{B::Yes} << true << true;
        // The save dialog cancelled: closing anyway would lose the changes.
        QTest::newRow("Yes, save cancelled: stays") << true << QList<B::StandardButton>{B::Yes} << false << false;
    }

    void closeQuestion()
    {
        QFETCH(bool, edit);
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(bool, giveFileName);
        QFETCH(bool, closes);

        start();
        if (edit)
            enterRx(5, QStringLiteral("145.5"));
        QCOMPARE(doc().isModified(), edit);
        const QString file = path(QStringLiteral("closing.dat"));
        prompts->answers = answers;
        if (giveFileName)
            prompts->fileNames = {file};

        QCOMPARE(closeWindow(), closes);
        QCOMPARE(prompts->shownIds(), edit ? QList<int>{1111} : QList<int>{});
        if (edit) {
            const PromptMessage &asked = prompts->shown.first();
            QCOMPARE(asked.title, QStringLiteral("ZR-K6"));
            QCOMPARE(asked.icon, QMessageBox::Warning);
            QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        }
        QCOMPARE(QFile::exists(file), giveFileName);
        if (giveFileName) {
            const LoadedDataFile saved = LoadDataFile(file);
            QVERIFY(saved.ok());
            QCOMPARE(saved.image, image());
        }
        // Settings are written only when the window really closes.
        QCOMPARE(QFile::exists(settings->filePath()), closes);
        if (!closes) {
            QVERIFY(doc().isModified());
            QCOMPARE(cell(5, 1), QStringLiteral("145.50000"));
        }
    }

    // ---- file commands -----------------------------------------------------------------

    void saveUntitledAsksForANameAndOpenBringsTheDocumentBack()
    {
        start();
        enterRx(3, QStringLiteral("145.125"));
        QVERIFY(doc().isModified());
        const MemoryImage edited = image();
        const QString file = path(QStringLiteral("my radio.dat"));

        prompts->fileNames = {file};
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(prompts->initialNames, QStringList{QStringLiteral("Untitled.dat")});
        QCOMPARE(prompts->dialogFilters,
                 QStringList{QtFileFilter(Tx(1109)) + QStringLiteral(";;") + QtFileFilter(Tx(1728))});
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: my radio.dat]"));
        QVERIFY(!doc().isModified());
        QVERIFY(QFile::exists(file));

        // Save on a named document writes there without a dialog.
        enterRx(4, QStringLiteral("144.5"));
        child<QAction>(QStringLiteral("mnuFile_Save"))->trigger();
        QCOMPARE(prompts->initialNames.size(), 1);
        QVERIFY(!doc().isModified());
        const MemoryImage saved = image();

        // New (OK) gives the default image; Open brings the file back exactly.
        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuFile_New"))->trigger();
        QCOMPARE(prompts->shownIds(), QList<int>{1107});
        QCOMPARE(cell(3, 1), QString());
        QCOMPARE(shownTitle(), kUntitledTitle);

        window->focusGrid(7, 5);
        openThroughMenu(file);
        QCOMPARE(image(), saved);
        QVERIFY(image() != edited);
        QVERIFY(!doc().isModified());
        QCOMPARE(QString::fromStdString(doc().fileName()), file);
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: my radio.dat]"));
        QCOMPARE(cell(3, 1), QStringLiteral("145.12500"));
        QCOMPARE(cell(4, 1), QStringLiteral("144.50000"));
        QCOMPARE(window->channelGrid()->grid().row(), 1);
        QCOMPARE(window->channelGrid()->grid().col(), 1);
        QVERIFY(window->channelGrid()->grid().hasFocus());

        // Save As offers the document's own path.
        prompts->fileNames = {path(QStringLiteral("copy.dat"))};
        child<QAction>(QStringLiteral("mnuFile_SaveAs"))->trigger();
        QCOMPARE(prompts->initialNames.last(), file);
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: copy.dat]"));
    }

    void newAsksFirstAndCancelChangesNothing()
    {
        start();
        enterRx(2, QStringLiteral("145"));
        const MemoryImage edited = image();

        prompts->answers = {QMessageBox::Cancel};
        child<QAction>(QStringLiteral("mnuFile_New"))->trigger();
        QCOMPARE(prompts->shownIds(), QList<int>{1107});
        const PromptMessage &asked = prompts->shown.first();
        QCOMPARE(asked.title, Tx(1108));
        QCOMPARE(asked.buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(asked.defaultButton, QMessageBox::Cancel);
        QCOMPARE(image(), edited);
        QCOMPARE(cell(2, 1), QStringLiteral("145.00000"));
        QVERIFY(doc().isModified());

        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuFile_New"))->trigger();
        QCOMPARE(image(), DefaultImage(Band{}));
        QCOMPARE(cell(2, 1), QString());
        QVERIFY(!doc().isModified());
    }

    void openAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<bool>("giveSaveName");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("saved");

        using B = QMessageBox;
        QTest::newRow("Cancel ends the command") << QList<B::StandardButton>{B::Cancel} << false << false << false;
        QTest::newRow("No opens without saving") << QList<B::StandardButton>{B::No} << false << true << false;
        QTest::newRow("Yes saves, then opens") << QList<B::StandardButton>{B::Yes} << true << true << true;
        // A cancelled save must not let the open replace the unsaved changes.
        QTest::newRow("Yes, save cancelled: ends") << QList<B::StandardButton>{B::Yes} << false << false << false;
    }

    void openAsksAboutUnsavedChanges()
    {
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(bool, giveSaveName);
        QFETCH(bool, opened);
        QFETCH(bool, saved);

        MemoryImage content = DefaultImage(Band{});
        StoreRxFrequency(content, 9, "144.8", Band{});
        const QString file = writeDataFile(QStringLiteral("other.dat"), content);
        start();
        enterRx(1, QStringLiteral("145.3"));
        const MemoryImage edited = image();

        const QString saveAs = path(QStringLiteral("edited.dat"));
        prompts->answers = answers;
        prompts->fileNames = giveSaveName ? QStringList{saveAs, file} : QStringList{file};
        child<QAction>(QStringLiteral("mnuFile_Open"))->trigger();

        QCOMPARE(prompts->shownIds(), QList<int>{1110});
        QCOMPARE(prompts->shown.first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(image() == content, opened);
        QCOMPARE(image() == edited, !opened);
        QCOMPARE(cell(9, 1), opened ? QStringLiteral("144.80000") : QString());
        QCOMPARE(QFile::exists(saveAs), saved);
        if (saved)
            QCOMPARE(LoadDataFile(saveAs).image, edited);
    }

    void openRefusesWhatIsNotADataFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("directory");
        QTest::addColumn<int>("textId");

        std::vector<std::uint8_t> plain(kPlainBlockSize, 0xFF);
        const char header[] = "ZR-K7";
        std::copy(header, header + 5, plain.begin());
        const EliminatorResult packed = EliminatorCompress(plain);
        const QByteArray wrongHeader(reinterpret_cast<const char *>(packed.bytes.data()), qsizetype(packed.bytes.size()));

        QTest::newRow("empty file") << QByteArray() << false << 1112;
        QTest::newRow("text file") << QByteArray("channel list\n") << false << 1112;
        QTest::newRow("other header") << wrongHeader << false << 1112;
        QTest::newRow("a directory, not a regular file") << QByteArray() << true << 1701;
    }

    void openRefusesWhatIsNotADataFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, directory);
        QFETCH(int, textId);

        const QString file = path(QStringLiteral("bad.dat"));
        if (directory) {
            QVERIFY(QDir().mkpath(file));
        } else {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        }
        start();
        enterRx(6, QStringLiteral("145"));
        const MemoryImage before = image();

        openThroughMenu(file, {QMessageBox::No});
        QCOMPARE(prompts->shownIds(), (QList<int>{1110, textId}));
        const PromptMessage &refusal = prompts->shown.last();
        if (textId == 1112)
            QCOMPARE(refusal.text, Tx(1112) + QStringLiteral("\nThe file %1 is not a ZR-K6 data file.")
                                                  .arg(QDir::toNativeSeparators(file)));
        if (textId == 1112 || textId == 1701) {
            QCOMPARE(refusal.title, Tx(1113));
            QCOMPARE(refusal.icon, QMessageBox::Critical);
        } else {
            QVERIFY2(!refusal.text.isEmpty(), "the system's error text is shown");
        }
        QCOMPARE(image(), before);
        QVERIFY(doc().isModified());
        QCOMPARE(shownTitle(), kUntitledModifiedTitle);
    }

    void openingAChannelListPointsToImport_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("pointsToImport");
        QTest::newRow("csv en") << "channels.csv" << int(kEnglish) << true;
        QTest::newRow("CSV zh") << "CHANNELS.CSV" << int(kChinese) << true;
        QTest::newRow("other file") << "channels.txt" << int(kEnglish) << false;
    }

    void openingAChannelListPointsToImport()
    {
        QFETCH(QString, name);
        QFETCH(int, language);
        QFETCH(bool, pointsToImport);
        const QString file = path(name);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("Location,Name,Frequency\n1,A,446.00625\n");
        out.close();
        start();
        state->language = LanguageMode(language);
        window->applyLanguage();

        openThroughMenu(file);
        QCOMPARE(prompts->shownIds(), QList<int>{1112});
        const QStringList lines = prompts->shown.last().text.split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), Tx(1112, LanguageMode(language)));
        QCOMPARE(lines.last() == Tx(1986, LanguageMode(language)), pointsToImport);
        // One filter per kind of file, the data files first.
        const QStringList filters = prompts->dialogFilters.last().split(QStringLiteral(";;"));
        QVERIFY2(filters.first().contains(u"(*.dat)"), qPrintable(filters.first()));
        for (const QString &filter : filters)
            QVERIFY2(!(filter.contains(u"*.dat") && filter.contains(u"*.yaml")), qPrintable(filter));
    }

    void aFailedSaveKeepsTheDocumentModified()
    {
        start();
        enterRx(1, QStringLiteral("145.8"));
        prompts->fileNames = {path(QStringLiteral("missing/dir/x.dat"))};
        child<QAction>(QStringLiteral("mnuFile_SaveAs"))->trigger();
        QCOMPARE(prompts->shown.size(), 1);
        QVERIFY(!prompts->shown.first().text.isEmpty());
        QCOMPARE(prompts->shown.first().title, QStringLiteral("ZR-K6"));
        QVERIFY(doc().isModified());
        QCOMPARE(shownTitle(), kUntitledModifiedTitle);
    }

    void openingAFileRefreshesEveryViewBeforeTheSnapshot()
    {
        // A 446 - 447 MHz file whose VFO receive frequency is off the 6.25 kHz raster of its
        // step: the refresh changes the step list, whose handler re-applies the rule.
        const Band pmr = BandFromRow(kBand446);
        MemoryImage content = DefaultImage(pmr);
        content.set(addr::kVfoStep, 2);
        WriteFreqUnits(content, vfo::kRxFreq, 44613000, ByteOrder::LowFirst);
        content.set(addr::kModel, 0x39);
        const QString file = writeDataFile(QStringLiteral("pmr.dat"), content);

        start();
        openThroughMenu(file);
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (446 - 447 MHz) [File Name: pmr.dat]"));
        QCOMPARE(bandList()->currentText(), QStringLiteral("446 - 447 MHz"));
        QCOMPARE(child<QComboBox>(QStringLiteral("cboGenModel"))->currentText(), QStringLiteral("ZR-K6B"));
        QCOMPARE(image().at(addr::kModel), 0x39);
        QCOMPARE(cell(1, 1), QStringLiteral("446.00625"));
        QCOMPARE(cell(8, 2), QStringLiteral("446.09375"));
        QCOMPARE(VfoFreq(image(), vfo::kRxFreq), QStringLiteral("446.13125"));
        QVERIFY(!doc().isModified());
        QVERIFY(prompts->shownIds().isEmpty());

        // A model byte outside the table becomes ZR-K6A when the list showed another model.
        content.set(addr::kModel, 0x41);
        openThroughMenu(writeDataFile(QStringLiteral("odd-model.dat"), content));
        QCOMPARE(image().at(addr::kModel), 0x38);
    }

    // Showing an opened image changes it exactly as NormaliseImage does, when every list of
    // the panels changes its selection (so every handler runs once).
    void showingAnOpenedImageIsNormaliseImage()
    {
        const Band band = BandFromRow(1);
        MemoryImage content = DefaultImage(band);
        content.set(addr::kModel, 0x41);
        content.set(addr::kVfoStep, 0);
        WriteFreqUnits(content, vfo::kRxFreq, 14500250, ByteOrder::LowFirst);
        WriteFreqUnits(content, vfo::kTxFreq, 14300000, ByteOrder::LowFirst);
        WriteFreqUnits(content, vfo::kOffset, 61234, ByteOrder::HighFirst);
        content.set(vfo::kModeFlags, 0x80 | 0x0B); // plus, low power, narrow, stray low bits
        content.set(vfo::kDecode, 0x23);
        content.set(vfo::kDecode + 1, 0xB0);
        content.set(vfo::kEncode, 0x70);
        content.set(vfo::kEncode + 1, 0x06);
        const std::uint8_t records[][16] = {
            {0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x56, 0x14, 0x70, 0x06, 0x23, 0xC0, 0x12, 0x34, 0x56, 0x78},
            {0x00, 0x00, 0x50, 0x17, 0x00, 0x00, 0x56, 0x14, 0x70, 0x06, 0x23, 0xC0, 0x12, 0x34, 0x56, 0x78},
            {0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x56, 0x43, 0x70, 0x06, 0x23, 0xC0, 0x12, 0x34, 0x56, 0x78},
            {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0},
        };
        for (int r = 0; r < 4; ++r) {
            for (int i = 0; i < 16; ++i)
                content.set(r, i, records[r][i]);
        }
        const MemoryImage want = NormaliseImage(content, band);
        QVERIFY(want != content);

        start();
        openThroughMenu(writeDataFile(QStringLiteral("messy.dat"), content));
        QVERIFY(prompts->shownIds().isEmpty());
        for (int a = 0; a < kImageSize; ++a) {
            if (image().at(a) != want.at(a))
                QFAIL(qPrintable(QStringLiteral("byte %1: window %2, NormaliseImage %3")
                                     .arg(a, 3, 16)
                                     .arg(image().at(a), 2, 16)
                                     .arg(want.at(a), 2, 16)));
        }
    }

    // ---- General panel -----------------------------------------------------------------

    void choosingABand()
    {
        const MemoryImage content = DefaultImage(Band{});
        const QString file = writeDataFile(QStringLiteral("a.dat"), content);
        start();
        openThroughMenu(file);
        enterRx(1, QStringLiteral("145"));

        // The band already shown: nothing asked.
        chooseBand(bandList()->currentIndex());
        QVERIFY(prompts->shown.isEmpty());

        // Unsaved changes: the save question first (Cancel ends it), then the clear question,
        // whose Cancel keeps the image's band: entries are still checked against 144 - 146 MHz.
        prompts->answers = {QMessageBox::Cancel};
        chooseBand(kBand446);
        QCOMPARE(prompts->shownIds(), QList<int>{1111});
        QCOMPARE(prompts->shown.first().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(bandList()->currentText(), QStringLiteral("144 - 146 MHz"));
        prompts->shown.clear();
        prompts->answers = {QMessageBox::No, QMessageBox::Cancel};
        chooseBand(kBand446);
        QCOMPARE(prompts->shownIds(), (QList<int>{1111, 1329}));
        QCOMPARE(prompts->shown.last().buttons, QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(prompts->shown.last().defaultButton, QMessageBox::Cancel);
        QCOMPARE(bandList()->currentText(), QStringLiteral("144 - 146 MHz"));
        QCOMPARE(doc().band(), Band{});
        QCOMPARE(cell(1, 1), QStringLiteral("145.00000"));
        enterRx(2, QStringLiteral("145.5"));
        QCOMPARE(cell(2, 1), QStringLiteral("145.50000"));
        QCOMPARE(prompts->shownIds(), (QList<int>{1111, 1329}));

        // Yes saves first; then OK: the default image of the band, its preset channels shown,
        // untitled, and one undo step away from the saved file.
        prompts->shown.clear();
        prompts->answers = {QMessageBox::Yes, QMessageBox::Ok};
        chooseBand(kBand446);
        QCOMPARE(prompts->shownIds(), (QList<int>{1111, 1329}));
        const MemoryImage saved = LoadDataFile(file).image;
        QCOMPARE(QString::fromStdString(ReadFreqLowFirst(saved, 1, 0)), QStringLiteral("145.50000"));
        QCOMPARE(image(), DefaultImage(BandFromRow(kBand446)));
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (446 - 447 MHz) [File Name: Untitled*]"));
        QVERIFY(doc().isModified());
        QCOMPARE(cell(1, 1), QStringLiteral("446.00625"));
        QCOMPARE(cell(8, 1), QStringLiteral("446.09375"));
        QCOMPARE(cell(9, 1), QString());

        // Undo brings back the saved file, its band and its name; redo the new band again.
        const MemoryImage pmr = image();
        child<QAction>(QStringLiteral("mnuEdit_Undo"))->trigger();
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [File Name: a.dat]"));
        QCOMPARE(bandList()->currentText(), QStringLiteral("144 - 146 MHz"));
        QCOMPARE(cell(2, 1), QStringLiteral("145.50000"));
        QVERIFY(!doc().isModified());
        child<QAction>(QStringLiteral("mnuEdit_Redo"))->trigger();
        QVERIFY(image() == pmr);
        QCOMPARE(bandList()->currentText(), QStringLiteral("446 - 447 MHz"));
        QCOMPARE(cell(1, 1), QStringLiteral("446.00625"));

        // New on this band keeps the preset channels shown: the grid mirrors the image.
        prompts->answers = {QMessageBox::Ok};
        child<QAction>(QStringLiteral("mnuFile_New"))->trigger();
        QCOMPARE(cell(1, 1), QStringLiteral("446.00625"));
        QCOMPARE(cell(8, 2), QStringLiteral("446.09375"));
    }

    void enterOnTheBandListMovesTheFocusOn()
    {
        start();
        bandList()->setFocus();
        QTest::keyClick(bandList(), Qt::Key_Return);
        QVERIFY(!bandList()->hasFocus());
        QVERIFY(prompts->shown.isEmpty());
    }

    // ---- captions, toolbar, shortcuts --------------------------------------------------

    void languageChangeReCaptionsAndKeepsSelections()
    {
        start();
        enterRx(1, QStringLiteral("145"));
        const int band = bandList()->currentIndex();
        const MemoryImage before = image();

        state->language = kChinese;
        window->applyLanguage();
        const int headerIds[] = {1200, 1202, 1211, 1212, 1216, 1219, 1213, 1227, 1656};
        for (int c = 0; c < 9; ++c)
            QCOMPARE(table()->model()->headerData(c, Qt::Horizontal).toString(), Tx(headerIds[c], kChinese));
        QCOMPARE(bandList()->currentIndex(), band);
        QCOMPARE(child<QGroupBox>(QStringLiteral("fraMemChannel"))->title(), Tx(1301, kChinese));
        QCOMPARE(child<QMenu>(QStringLiteral("mnuFile"))->title(), Tx(1000, kChinese));
        QCOMPARE(shownTitle(), QStringLiteral("ZR-K6 (144 - 146 MHz) [%1: Untitled*]").arg(Tx(1106, kChinese)));
        QCOMPARE(child<QMenu>(QStringLiteral("mnuEdit"))->title(), Tx(1730, kChinese));
        QCOMPARE(child<QAction>(QStringLiteral("mnuEdit_Redo"))->text(), Tx(1732, kChinese));
        QCOMPARE(cell(1, 5), Tx(1217, kChinese)); // rows follow the language
        QCOMPARE(image(), before);
    }

    void menusAndToolbar()
    {
        start();
        const QStringList fileItems{"mnuFile_New",    "mnuFile_Open",           "mnuFile_Save",
                                    "mnuFile_SaveAs", "mnuFile_Compare",        "mnuFile_Bar3",
                                    "mnuFile_ImportChannels", "mnuFile_ExportChannels", "mnuFile_Bar1",
                                    "mnuFile_Print",  "mnuFile_Bar2",           "mnuFile_Recent1",
                                    "mnuFile_Recent2", "mnuFile_Recent3",       "mnuFile_Recent4",
                                    "mnuFile_RecentBar", "mnuFile_Exit"};
        QStringList names;
        for (QAction *action : child<QMenu>(QStringLiteral("mnuFile"))->actions())
            names << action->objectName();
        QCOMPARE(names, fileItems);
        // Print has a home in the File menu, with its key.
        QVERIFY(child<QAction>(QStringLiteral("mnuFile_Print"))->isVisible());
        QCOMPARE(child<QAction>(QStringLiteral("mnuFile_Print"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(child<QAction>(QStringLiteral("mnuProgram_Read"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
        QCOMPARE(child<QAction>(QStringLiteral("mnuProgram_Write"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));

        QCOMPARE(child<QMenu>(QStringLiteral("mnuEdit"))->title(), QStringLiteral("&Edit"));
        QAction *undo = child<QAction>(QStringLiteral("mnuEdit_Undo"));
        QAction *redo = child<QAction>(QStringLiteral("mnuEdit_Redo"));
        QCOMPARE(undo->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
        QCOMPARE(redo->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
        QCOMPARE(undo->text(), QStringLiteral("&Undo"));
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());

        const QList<QAction *> buttons = child<QToolBar>(QStringLiteral("tlbActions"))->actions();
        QCOMPARE(buttons.size(), 12);
        QVERIFY(buttons[4]->isSeparator());
        QVERIFY(buttons[7]->isSeparator());
        QVERIFY(buttons[10]->isSeparator());
        QCOMPARE(buttons[0]->toolTip(), Tx(1027));
        QVERIFY(buttons[5] == undo && buttons[6] == redo); // the Edit menu's own actions
        QCOMPARE(buttons[5]->toolTip(), QStringLiteral("Undo"));
        QCOMPARE(buttons[11]->toolTip(), QStringLiteral("&About"));
        for (QAction *button : buttons)
            QVERIFY(button->isSeparator() || !button->icon().isNull());
    }

    void everyEntryIsOneRegisteredAction()
    {
        start();
        // Each command is one action: a control name used twice would be two actions.
        QSet<QString> names;
        for (QAction *action : window->actions().actions()) {
            QVERIFY2(!names.contains(action->objectName()), qPrintable(action->objectName()));
            names.insert(action->objectName());
        }
        const QList<QAction *> registered = window->actions().actions();
        auto commandsOf = [](const QList<QAction *> &entries) {
            QList<QAction *> commands;
            for (QAction *entry : entries) {
                if (!entry->isSeparator() && entry->menu() == nullptr && !entry->objectName().startsWith(u"mnuFile_Recent"))
                    commands << entry;
            }
            return commands;
        };
        for (QMenu *menu : window->findChildren<QMenu *>()) {
            for (QAction *entry : commandsOf(menu->actions()))
                QVERIFY2(registered.contains(entry), qPrintable(menu->objectName() + u' ' + entry->objectName()));
        }
        const QList<QAction *> buttons = commandsOf(child<QToolBar>(QStringLiteral("tlbActions"))->actions());
        for (QAction *button : buttons)
            QVERIFY2(registered.contains(button), qPrintable(button->objectName()));
        // The toolbar's buttons are the menus' entries, and so are the context menu's.
        QCOMPARE(buttons.first(), child<QAction>(QStringLiteral("mnuFile_New")));
        const QList<QAction *> edit = commandsOf(child<QMenu>(QStringLiteral("mnuEdit"))->actions());
        for (QAction *entry : commandsOf(child<QMenu>(QStringLiteral("mnuGridContext"))->actions()))
            QVERIFY2(edit.contains(entry), qPrintable(entry->objectName()));
        // No command is left out of every menu.
        for (QAction *action : registered) {
            bool inMenu = false;
            for (QMenu *menu : window->findChildren<QMenu *>())
                inMenu = inMenu || menu->actions().contains(action);
            QVERIFY2(inMenu, qPrintable(action->objectName()));
        }
    }

    void menuEntriesFollowTheDocument()
    {
        start();
        QAction *undo = child<QAction>(QStringLiteral("mnuEdit_Undo"));
        QToolButton *undoButton = child<QToolButton>(QStringLiteral("tlbActions_Undo"));
        QVERIFY(!undo->isEnabled() && !undoButton->isEnabled());
        setUp([](MemoryImage &) {});
        doc().apply(ImageDocument::StepName([](LanguageMode) { return QStringLiteral("Step"); }),
                    [](MemoryImage &image) { image.set(0x10, 0x42); });
        QVERIFY(undo->isEnabled() && undoButton->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Step"));
        QTest::mouseClick(undoButton, Qt::LeftButton);
        QVERIFY(!undo->isEnabled());
        QVERIFY(child<QAction>(QStringLiteral("mnuEdit_Redo"))->isEnabled());
    }

    void toolbarButtonsRunTheMenuCommands_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QList<int>>("shownIds");
        QTest::addColumn<int>("dialogs");

        QTest::newRow("New") << "New" << QList<int>{1107} << 0;
        QTest::newRow("Open") << "Open" << QList<int>{} << 1;
        QTest::newRow("Save") << "Save" << QList<int>{} << 1;
        QTest::newRow("Read") << "Read" << QList<int>{1600} << 0;
        QTest::newRow("Write") << "Write" << QList<int>{1600} << 0;
    }

    void toolbarButtonsRunTheMenuCommands()
    {
        QFETCH(QString, key);
        QFETCH(QList<int>, shownIds);
        QFETCH(int, dialogs);
        start();
        window->setPortOverride(path(QStringLiteral("no-such-port")));
        prompts->answers = {QMessageBox::Cancel};
        QTest::mouseClick(child<QToolButton>(QStringLiteral("tlbActions_") + key), Qt::LeftButton);
        QCOMPARE(prompts->shownIds(), shownIds);
        QCOMPARE(prompts->dialogFilters.size(), dialogs);
        QVERIFY(!doc().isModified());
    }

    void shortcutsReachTheCommands()
    {
        start();
        window->setPortOverride(path(QStringLiteral("no-such-port")));
        prompts->answers = {QMessageBox::Cancel};
        QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(prompts->shownIds(), (QList<int>{1107, 1600, 1600}));
        QCOMPARE(prompts->dialogFilters.size(), 1);
    }

    void thePanelsFollowTheWindowSize()
    {
        start();
        auto *general = child<QGroupBox>(QStringLiteral("fraGeneral"));
        auto *frame = child<QGroupBox>(QStringLiteral("fraMemChannel"));
        const QRect grid = window->channelGrid()->geometry();
        const int generalHeight = general->height();
        window->resize(window->size() + QSize(300, 200));
        QApplication::processEvents();
        // Both frames span the window; the channel frame and its grid take the extra room.
        QCOMPARE(general->width(), frame->width());
        QCOMPARE(general->height(), generalHeight);
        QCOMPARE(window->channelGrid()->geometry().topLeft(), grid.topLeft());
        QCOMPARE(window->channelGrid()->width(), grid.width() + 300);
        QVERIFY(window->channelGrid()->height() > grid.height());
        QVERIFY(frame->geometry().bottom() < window->centralWidget()->height());
    }

    void aPortChosenInTheDialogReplacesTheCommandLineDevice_data()
    {
        QTest::addColumn<bool>("choose"); // port 2 in place of the device in use
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true << true;
        QTest::newRow("Cancel") << true << false;
        QTest::newRow("OK without a change") << false << true;
    }

    void aPortChosenInTheDialogReplacesTheCommandLineDevice()
    {
        QFETCH(bool, choose);
        QFETCH(bool, accept);
        start();
        const QString device = path(QStringLiteral("ttyRadio"));
        window->setPortOverride(device);
        QCOMPARE(window->portName(), device);
        QTimer::singleShot(0, window.get(), [choose, accept, device] {
            auto *dialog = qobject_cast<CommPortDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            // The device in use is listed first, and chosen.
            QCOMPARE(dialog->option(0)->text(), device);
            QVERIFY(dialog->option(0)->isChecked());
            if (choose)
                dialog->option(2)->setChecked(true);
            if (accept)
                dialog->accept();
            else
                dialog->reject();
        });
        child<QAction>(QStringLiteral("mnuSetup_CommPort"))->trigger();
        const bool replaced = choose && accept;
        QCOMPARE(window->portName(), replaced ? PortSystemName(2) : device);
        QCOMPARE(state->commPortNumber, replaced ? 2 : 1);
    }

    // TX Follows RX sits under Setup, off at first, and is kept in the settings.
    void txFollowsRxIsASetupSettingKeptAcrossStarts()
    {
        start();
        auto *follow = child<QAction>(QStringLiteral("mnuSetup_TxFollowsRx"));
        QVERIFY(child<QMenu>(QStringLiteral("mnuSetup"))->actions().contains(follow));
        QVERIFY(follow->isCheckable() && !follow->isChecked());
        QCOMPARE(follow->text(), QStringLiteral("TX &Follows RX"));
        follow->trigger();
        window->focusGrid(5, 1);
        QTest::keyClick(table(), Qt::Key_1);
        QTest::keyClicks(child<QLineEdit>(QStringLiteral("txtMemChannel")), QStringLiteral("45.5"));
        QTest::keyClick(child<QLineEdit>(QStringLiteral("txtMemChannel")), Qt::Key_Return);
        QCOMPARE(cell(5, 2), QStringLiteral("145.50000"));
        stop();

        start();
        QVERIFY(child<QAction>(QStringLiteral("mnuSetup_TxFollowsRx"))->isChecked());
    }

    // One value on the clipboard pastes into the current cell as typing it would; in the
    // frequency entry Ctrl+V and Shift+Insert take a frequency and nothing else.
    void aSingleValuePastesIntoACell()
    {
        start();
        QClipboard *clipboard = QApplication::clipboard();
        clipboard->setText(QStringLiteral(" 145.5\n"));
        window->focusGrid(5, 2); // TX of an empty channel: the frequency goes to RX
        QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cell(5, 1), QStringLiteral("145.50000"));
        QVERIFY(prompts->shown.isEmpty());

        clipboard->setText(QStringLiteral("147"));
        window->focusGrid(5, 1);
        QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cell(5, 1), QStringLiteral("145.99500"));
        QCOMPARE(prompts->shown.size(), 1); // out of the band, as typed

        clipboard->setText(QStringLiteral("D023N"));
        window->focusGrid(5, 3);
        QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cell(5, 3), QStringLiteral("D023N"));

        window->focusGrid(6, 1);
        QTest::keyClick(table(), Qt::Key_1);
        auto *entry = child<QLineEdit>(QStringLiteral("txtMemChannel"));
        clipboard->setText(QStringLiteral("hello"));
        QTest::keyClick(entry, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(entry->text(), QStringLiteral("1"));
        clipboard->setText(QStringLiteral("144.125"));
        QTest::keyClick(entry, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(entry->text(), QStringLiteral("144.125"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(cell(6, 1), QStringLiteral("144.12500"));
        QCOMPARE(doc().undoStack().count(), 4);
    }

    void commandsCommitAnOpenCellEditorFirst()
    {
        start();
        window->focusGrid(2, 1);
        QTest::keyClick(table(), Qt::Key_1);
        QLineEdit *editor = child<QLineEdit>(QStringLiteral("txtMemChannel"));
        QTest::keyClicks(editor, QStringLiteral("45.25"));
        prompts->answers = {QMessageBox::Cancel};
        child<QAction>(QStringLiteral("mnuFile_New"))->trigger();
        QVERIFY(editor->isHidden());
        QCOMPARE(cell(2, 1), QStringLiteral("145.25000"));
        QVERIFY(doc().isModified());
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
