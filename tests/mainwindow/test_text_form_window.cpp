// The window opens and saves the text form: File, Open and Save As choose it by the
// extension. Real files in a temporary directory, prompts answered by the scripted seam.
#include <QAction>
#include <QFile>
#include <QtTest>

#include "files/data_file_io.h"
#include "files/text_form.h"
#include "files/text_form_io.h"
#include "mainwindow/channel_grid.h"
#include "model/band.h"
#include "model/channel_record.h"
#include "model/image_normalise.h"
#include "record_fixtures.h"
#include "main_window_fixture.h"

using namespace zrk6;

class TestTextFormWindow : public QObject, private test::MainWindowFixture {
    Q_OBJECT

private:
    QString path(const char *name) const { return dir->filePath(QString::fromLatin1(name)); }
    QString cell(int channel, int column) { return window->channelGrid()->cellText(channel, column); }

    void write(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private slots:
    void init()
    {
        freshSettings(QStringLiteral("zrk6.ini"));
        start();
    }
    void cleanup() { stop(); }

    void theFileDialogsOfferTheTextForm()
    {
        prompts->fileNames = {};
        child<QAction>(QStringLiteral("mnuFile_Open"))->trigger();
        QCOMPARE(prompts->dialogFilters.size(), 1);
        QVERIFY2(prompts->dialogFilters.first().endsWith(QStringLiteral(";;ZR-K6 Text Form (*.yaml)")),
                 qPrintable(prompts->dialogFilters.first()));
    }

    void openShowsTheTextAndSaveAsWritesIt()
    {
        const Band band = BandFromRow(4);
        MemoryImage content = StartupImage(band);
        StoreRxFrequency(content, 12, "446.5", band);
        content.set(0x900, 0x5A); // kept through open and save
        write(path("radio.yaml"), QByteArray::fromStdString(DecodeTextForm(content)));

        prompts->fileNames = {path("radio.yaml")};
        child<QAction>(QStringLiteral("mnuFile_Open"))->trigger();
        QVERIFY(prompts->shown.isEmpty());
        QCOMPARE(cell(12, 1), QStringLiteral("446.50000"));
        QCOMPARE(doc().band().low, 400);
        QVERIFY(window->windowTitle().contains(QStringLiteral("radio.yaml")));
        QCOMPARE(image(), NormaliseImage(content, band));

        // Save As by extension: the text form, or a data file, of the same image.
        prompts->fileNames = {path("copy.yaml")};
        child<QAction>(QStringLiteral("mnuFile_SaveAs"))->trigger();
        const LoadedTextForm back = LoadTextFormFile(path("copy.yaml"), kEnglish);
        QVERIFY2(back.ok(), qPrintable(back.error));
        QCOMPARE(back.image, image());
        prompts->fileNames = {path("copy.dat")};
        child<QAction>(QStringLiteral("mnuFile_SaveAs"))->trigger();
        QCOMPARE(LoadDataFile(path("copy.dat")).image, image());
    }

    void badTextIsReportedWithItsPlaceAndNothingChanges()
    {
        write(path("bad.yaml"), "format: 1\nband: 144 - 146 MHz\nchannels:\n  3: {rx: 145.5, power: Medium}\n");
        const MemoryImage before = image();
        prompts->fileNames = {path("bad.yaml")};
        child<QAction>(QStringLiteral("mnuFile_Open"))->trigger();
        QCOMPARE(prompts->shown.size(), 1);
        const PromptMessage &m = prompts->shown.first();
        QCOMPARE(m.icon, QMessageBox::Critical);
        QVERIFY2(m.text.contains(QStringLiteral("line 4, column 25: channels.3.power: 'Medium' is not one of High, Mid, Low")),
                 qPrintable(m.text));
        QCOMPARE(image(), before);
        QVERIFY(!window->windowTitle().contains(QStringLiteral("bad.yaml")));
    }
};

QTEST_MAIN(TestTextFormWindow)
#include "test_text_form_window.moc"
