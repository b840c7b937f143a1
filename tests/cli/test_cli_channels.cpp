// zrk6-cli import and export, run as the real binary on files in a temporary directory.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "cli_run.h"
#include "files/data_file_io.h"
#include "model/channel_record.h"

using namespace zrk6;
using Run = zrk6::test::CliRun;
constexpr auto Cli = zrk6::test::RunCli;

namespace {

QString Fixture(const char *name)
{
    return QStringLiteral(ZRK6_SOURCE_DIR "/tests/files/channel_lists/") + QString::fromLatin1(name);
}

constexpr auto ReadRaw = zrk6::test::ReadFileBytes;

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QVERIFY(zrk6::test::WriteFileBytes(path, bytes));
}

QByteArray Record(const MemoryImage &image, int channel)
{
    QByteArray bytes;
    for (int i = 0; i < kRowSize; ++i)
        bytes += static_cast<char>(image.at(ChannelRow(channel), i));
    return bytes;
}

} // namespace

class TestCliChannels : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

private slots:
    void importsEachVintageAndExportsItBack_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("band");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("notKept"); // the filled columns the radio has no place for
        QTest::newRow("17 columns, PMR446") << "vintage17.csv" << "446 - 447 MHz" << 11 << "Name";
        QTest::newRow("18 columns, marine") << "vintage18.csv" << "136-174" << 7 << "Name, Comment";
        QTest::newRow("21 columns") << "vintage21.csv" << "0" << 15 << "Name, Comment";
        QTest::newRow("BOM, comments, quotes") << "quirks.csv" << "400 - 470 MHz" << 4 << "Name, Extra";
    }

    void importsEachVintageAndExportsItBack()
    {
        QFETCH(QString, file);
        QFETCH(QString, band);
        QFETCH(int, channels);
        QFETCH(QString, notKept);
        const QString dat = path(file + QStringLiteral(".dat"));
        const Run imported = Cli({QStringLiteral("import"), Fixture(file.toLatin1().constData()), dat,
                                  QStringLiteral("--band"), band});
        QCOMPARE(imported.status, 0);
        QCOMPARE(imported.out, QStringLiteral("%1 channels imported.\n").arg(channels));
        const QString notKeptLine = Fixture(file.toLatin1().constData()) +
                                    QStringLiteral(": The radio has no place for these columns of the list, so they "
                                                   "were not kept: %1.\n")
                                        .arg(notKept);
        if (file != QStringLiteral("quirks.csv"))
            QCOMPARE(imported.err, notKeptLine);
        else
            QVERIFY2(imported.err.startsWith(notKeptLine), qPrintable(imported.err));

        // Export, import again: the same data file, byte for byte.
        const QString csv = path(file + QStringLiteral(".out.csv"));
        const Run exported = Cli({QStringLiteral("export"), dat, csv});
        QCOMPARE(exported.status, 0);
        QVERIFY(exported.err.isEmpty());
        const QByteArray text = ReadRaw(csv);
        QCOMPARE(text.count("\r\n"), channels + 1);
        QVERIFY(text.startsWith("Location,Name,Frequency,Duplex,Offset,Tone,"));
        const QString again = path(file + QStringLiteral(".again.dat"));
        const Run reimported = Cli({QStringLiteral("import"), csv, again, QStringLiteral("--band"), band});
        QCOMPARE(reimported.status, 0);
        QVERIFY2(reimported.err.isEmpty(), qPrintable(reimported.err));
        QCOMPARE(ReadRaw(again), ReadRaw(dat));
    }

    void namesEverySkippedOrRoundedRowOnStandardError()
    {
        const Run run = Cli({QStringLiteral("import"), Fixture("skips.csv"), path(QStringLiteral("skips.dat")),
                             QStringLiteral("--band"), QStringLiteral("144 - 146 MHz")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("3 channels imported.\n"));
        QCOMPARE(run.err.count(u'\n'), 30); // and the line of the columns not kept
        QVERIFY2(run.err.contains(Fixture("skips.csv") +
                                  QStringLiteral(": Location 19 (line 23): skipped: Mode \"AM\" is not FM or NFM.\n")),
                 qPrintable(run.err));
        QVERIFY(LoadDataFile(path(QStringLiteral("skips.dat"))).ok());
    }

    void aSpreadsheetListWithDecimalCommasGivesTheFileOfItsTwin()
    {
        const QString band = QStringLiteral("400 - 470 MHz");
        const QString twin = path(QStringLiteral("twin.dat"));
        const Run points = Cli({QStringLiteral("import"), Fixture("locale_points.csv"), twin, QStringLiteral("--band"), band});
        QCOMPARE(points.status, 0);
        QCOMPARE(points.out, QStringLiteral("6 channels imported.\n"));
        for (const char *file : {"locale_semicolon.csv", "locale_tab.tsv"}) {
            const QString dat = path(QString::fromLatin1(file) + QStringLiteral(".dat"));
            const Run run = Cli({QStringLiteral("import"), Fixture(file), dat, QStringLiteral("--band"), band});
            QCOMPARE(run.status, 0);
            QCOMPARE(run.out, QStringLiteral("6 channels imported.\n"));
            QCOMPARE(run.err, Fixture(file) + QStringLiteral(": The radio has no place for these columns of the list, so "
                                                             "they were not kept: Name, Comment.\n") +
                                  Fixture(file) + QStringLiteral(": Location 6 (line 7): frequency 433.00610 MHz rounded to "
                                                             "433.00625 MHz.\n"));
            QCOMPARE(ReadRaw(dat), ReadRaw(twin));
        }

        const QString one = path(QStringLiteral("one.csv"));
        WriteRaw(one, "Location;Frequency\r\n1;446,00625\r\n");
        const Run single = Cli({QStringLiteral("import"), one, path(QStringLiteral("one.dat")), QStringLiteral("--band"), band});
        QCOMPARE(single.status, 0);
        QCOMPARE(single.out, QStringLiteral("1 channel imported.\n"));
    }

    // A spreadsheet's list in the system's code page: the same data file as its UTF-8 twin,
    // and standard error says once what was assumed and what was not kept.
    void aListInALegacyCodePageGivesTheFileOfItsTwin_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("twin");
        QTest::addColumn<QString>("codePage");
        QTest::addColumn<QString>("notKept");
        QTest::newRow("Windows-1252, semicolons") << "western_semicolon_cp1252.csv" << "western_semicolon_utf8.csv"
                                                  << "Windows-1252 (Western European)" << "Name, Comment, Région";
        QTest::newRow("GBK, commas") << "chinese_comma_gbk.csv" << "chinese_comma_utf8.csv"
                                     << "GBK (Simplified Chinese)" << "Name, Comment, 备注";
    }

    void aListInALegacyCodePageGivesTheFileOfItsTwin()
    {
        QFETCH(QString, file);
        QFETCH(QString, twin);
        QFETCH(QString, codePage);
        QFETCH(QString, notKept);
        const QString band = QStringLiteral("144 - 146 MHz");
        const QString twinDat = path(twin + QStringLiteral(".dat"));
        const Run utf8 = Cli({QStringLiteral("import"), Fixture(twin.toLatin1().constData()), twinDat,
                              QStringLiteral("--band"), band});
        QCOMPARE(utf8.status, 0);
        const QString fixture = Fixture(file.toLatin1().constData());
        const QString dat = path(file + QStringLiteral(".dat"));
        const Run run = Cli({QStringLiteral("import"), fixture, dat, QStringLiteral("--band"), band});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("4 channels imported.\n"));
        QCOMPARE(run.err, fixture + QStringLiteral(": The list is not UTF-8 text: it was read in the code page %1.\n")
                                        .arg(codePage) +
                              fixture + QStringLiteral(": The radio has no place for these columns of the list, so "
                                                       "they were not kept: %1.\n")
                                            .arg(notKept));
        QCOMPARE(ReadRaw(dat), ReadRaw(twinDat));
    }

    void intoKeepsTheChannelsTheListDoesNotName()
    {
        const QString base = path(QStringLiteral("base.dat"));
        QCOMPARE(Cli({QStringLiteral("import"), Fixture("vintage21.csv"), base, QStringLiteral("--band=0")}).status, 0);
        const QString merged = path(QStringLiteral("merged.dat"));
        const Run run = Cli({QStringLiteral("import"), Fixture("vintage18.csv"), merged, QStringLiteral("--into"), base});
        QCOMPARE(run.status, 0);
        const LoadedDataFile before = LoadDataFile(base);
        const LoadedDataFile after = LoadDataFile(merged);
        QVERIFY(before.ok() && after.ok());
        for (int channel : {2, 3, 14}) // in the base only
            QCOMPARE(Record(after.image, channel), Record(before.image, channel));
        QVERIFY(Record(after.image, 1) != Record(before.image, 1)); // named by both: the list wins
        QCOMPARE(Record(after.image, 1).left(8), QByteArray("\x00\x50\x06\x16\x00\x50\x60\x15", 8));
        for (int a = kChannelCount * kRowSize; a < kImageSize; ++a)
            QCOMPARE(after.image.at(a), before.image.at(a));
    }

    void refusalsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("exitCode");

        const QTemporaryDir &d = dir_;
        const QString out = d.filePath(QStringLiteral("x.dat"));
        auto list = [&](const char *name, const QByteArray &bytes) {
            const QString p = d.filePath(QString::fromLatin1(name));
            WriteRaw(p, bytes);
            return p;
        };
        const QString band = QStringLiteral("--band=1");
        QTest::newRow("nothing fits") << QStringList{QStringLiteral("import"), Fixture("vintage17.csv"), out, band}
                                      << QStringLiteral("No channel was imported") << 1;
        QTest::newRow("strict") << QStringList{QStringLiteral("import"), Fixture("skips.csv"), out, band,
                                               QStringLiteral("--strict")}
                                << QStringLiteral("26 rows skipped; nothing written (--strict)") << 1;
        QTest::newRow("strict, one row") << QStringList{QStringLiteral("import"), list("one.csv", "Location,Frequency\n1,145.5\n2,147\n"), out, band,
                                                        QStringLiteral("--strict")}
                                         << QStringLiteral("one.csv: 1 row skipped; nothing written (--strict)") << 1;
        QTest::newRow("empty") << QStringList{QStringLiteral("import"), list("empty.csv", {}), out, band}
                               << QStringLiteral("The file is empty.") << 1;
        QTest::newRow("binary") << QStringList{QStringLiteral("import"), list("bin.csv", QByteArray("\x7F" "ELF\x02\x01\x01\0\0", 9)), out, band}
                                << QStringLiteral("The file is not a text file.") << 1;
        QTest::newRow("UTF-8 mark, Latin-1") << QStringList{QStringLiteral("import"), list("latin.csv", "\xEF\xBB\xBFLocation,Name,Frequency\n1,Caf\xE9,145.5\n"), out, band}
                                             << QStringLiteral("The file is not UTF-8 text.") << 1;
        QTest::newRow("no code page") << QStringList{QStringLiteral("import"), list("nocp.csv", "Location,Frequency\n1,145.5\x81\n"), out, band}
                                      << QStringLiteral("The file is not text in UTF-8, UTF-16, Windows-1252 or GBK.") << 1;
        QTest::newRow("no header") << QStringList{QStringLiteral("import"), list("noheader.csv", "1,,145.500000\n"), out, band}
                                   << QStringLiteral("not a channel list") << 1;
        QTest::newRow("100000 columns") << QStringList{QStringLiteral("import"), list("wide.csv", "Location,Frequency\n" + QByteArray(100000, ',') + "\n"), out, band}
                                        << QStringLiteral("Line 2 has too many columns.") << 1;
        QTest::newRow("too large") << QStringList{QStringLiteral("import"), list("large.csv", QByteArray(5 * 1024 * 1024, 'a')), out, band}
                                   << QStringLiteral("too large") << 1;
        QTest::newRow("missing list") << QStringList{QStringLiteral("import"), d.filePath(QStringLiteral("none.csv")), out, band}
                                      << d.filePath(QStringLiteral("none.csv")) << 1;
        QTest::newRow("missing data file") << QStringList{QStringLiteral("export"), d.filePath(QStringLiteral("none.dat")), d.filePath(QStringLiteral("x.csv"))}
                                           << d.filePath(QStringLiteral("none.dat")) << 1;
        QTest::newRow("band and into") << QStringList{QStringLiteral("import"), Fixture("vintage21.csv"), out, band,
                                                      QStringLiteral("--into"), out}
                                       << QStringLiteral("either --band or --into") << 2;
        QTest::newRow("neither band nor into") << QStringList{QStringLiteral("import"), Fixture("vintage21.csv"), out}
                                               << QStringLiteral("either --band or --into") << 2;
        QTest::newRow("unknown band") << QStringList{QStringLiteral("import"), Fixture("vintage21.csv"), out, QStringLiteral("--band=9")}
                                      << QStringLiteral("unknown band") << 2;
    }

    void refusalsWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(int, exitCode);
        const Run run = Cli(arguments);
        QCOMPARE(run.status, exitCode);
        QVERIFY(run.out.isEmpty());
        const QString last = run.err.section(u'\n', -2, -2);
        QVERIFY2(last.startsWith(QStringLiteral("zrk6-cli: ")), qPrintable(run.err));
        QVERIFY2(last.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("x.dat"))));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("x.csv"))));
    }

    void anExistingOutputIsReplacedOnlyWithForce()
    {
        const QString dat = path(QStringLiteral("pmr.dat"));
        const QString csv = path(QStringLiteral("keep.csv"));
        QCOMPARE(Cli({QStringLiteral("new"), QStringLiteral("--band=6"), dat}).status, 0);
        WriteRaw(csv, "precious");
        QCOMPARE(Cli({QStringLiteral("export"), dat, csv}).status, 1);
        QCOMPARE(ReadRaw(csv), QByteArray("precious"));
        QCOMPARE(Cli({QStringLiteral("export"), dat, csv, QStringLiteral("--force")}).status, 0);
        QCOMPARE(ReadRaw(csv).count("\r\n"), 9); // the header and the eight preset channels

        const Run refused = Cli({QStringLiteral("import"), csv, dat, QStringLiteral("--band=6")});
        QCOMPARE(refused.status, 1);
        QVERIFY(refused.err.contains(QStringLiteral("--force")));
        QCOMPARE(Cli({QStringLiteral("import"), csv, dat, QStringLiteral("--into"), dat, QStringLiteral("--force")}).status, 0);
    }
};

QTEST_GUILESS_MAIN(TestCliChannels)
#include "test_cli_channels.moc"
