// zrk6-cli decode and encode, run as a user runs them, on files in a temporary directory.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>


#include "cli_run.h"
#include "files/data_file_io.h"
#include "model/memory_image.h"

using namespace zrk6;
using Run = zrk6::test::CliRun;
constexpr auto Cli = zrk6::test::RunCli;
constexpr auto ReadRaw = zrk6::test::ReadFileBytes;

class TestCliTextForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }
    static QString s(const char *text) { return QString::fromUtf8(text); }

    void write(const char *name, const QByteArray &bytes) { QVERIFY(zrk6::test::WriteFileBytes(path(name), bytes)); }

private slots:
    void initTestCase()
    {
        // A data file with bytes no view interprets: an odd image packed as it is.
        QByteArray raw(kImageSize, '\xFF');
        const char channel1[] = "\x00\x00\x50\x14\x00\x00\x50\x14\x00\x00\xFF\xFF\x3F\x99\x12\xFC";
        raw.replace(0, 16, QByteArray(channel1, 16));
        raw.replace(0xFF0, 3, QByteArray("\x14\x14\x46", 3));
        raw[0x900] = '\x5A';
        raw[0xFBB] = '\x38';
        raw[0xFC3] = '\x0F';
        write("odd.img", raw);
        QCOMPARE(Cli({s("pack"), path("odd.img"), path("odd.dat")}).status, 0);
        QCOMPARE(Cli({s("new"), s("--band"), s("6"), path("pmr.dat")}).status, 0);
    }

    void decodeThenEncodeGivesTheSameFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("default image") << s("pmr.dat");
        QTest::newRow("odd bytes") << s("odd.dat");
    }

    void decodeThenEncodeGivesTheSameFile()
    {
        QFETCH(QString, name);
        const QString dat = dir_.filePath(name);
        const Run decoded = Cli({s("decode"), dat});
        QCOMPARE(decoded.status, 0);
        QVERIFY(decoded.err.isEmpty());
        QVERIFY(decoded.out.startsWith(s("# ZR-K6 memory (zrk6 text form 1)\nformat: 1\n")));

        const QString yaml = dat + s(".yaml");
        QCOMPARE(Cli({s("decode"), dat, s("-o"), yaml}).status, 0);
        QCOMPARE(QString::fromUtf8(ReadRaw(yaml)), decoded.out);
        const QString back = dat + s(".back.dat");
        QCOMPARE(Cli({s("encode"), yaml, back}).status, 0);
        QCOMPARE(ReadRaw(back), ReadRaw(dat));
    }

    void anEditInTheTextReachesTheDataFile()
    {
        QCOMPARE(Cli({s("decode"), path("pmr.dat"), s("-o"), path("edit.yaml")}).status, 0);
        QByteArray text = ReadRaw(path("edit.yaml"));
        text.replace("  3: {rx: 446.03125, tx: 446.03125, decode: None", "  3: {rx: 446.03125, tx: 446.03125, decode: 88.5");
        text.replace("squelch_level: 5", "squelch_level: 2");
        text.replace("channels:\n", "channels:\n  20: {rx: 446.2}\n");
        write("edit.yaml", text);
        QCOMPARE(Cli({s("encode"), path("edit.yaml"), path("edit.dat")}).status, 0);
        const Run shown = Cli({s("decode"), path("edit.dat")});
        QVERIFY(shown.out.contains(s("  3: {rx: 446.03125, tx: 446.03125, decode: 88.5, encode: None")));
        QVERIFY(shown.out.contains(s("squelch_level: 2\n")));
        QVERIFY2(shown.out.contains(s("  20: {rx: 446.20000, decode: None, wide: Wide, scan: Add, power: High, bcl: \"Off\", "
                                      "scrambler: \"Off\"}\n")),
                 qPrintable(shown.out));
    }

    void standardInputCanBeEncoded()
    {
        QCOMPARE(Cli({s("decode"), path("odd.dat"), s("-o"), path("stdin.yaml")}).status, 0);
        const Run run = zrk6::test::RunCliReading({s("encode"), s("-"), path("stdin.dat")}, path("stdin.yaml"));
        QCOMPARE(run.status, 0);
        QCOMPARE(ReadRaw(path("stdin.dat")), ReadRaw(path("odd.dat")));
    }

    void outputIsReplacedOnlyWithForce()
    {
        write("keep.yaml", "precious");
        const Run refused = Cli({s("decode"), path("pmr.dat"), s("-o"), path("keep.yaml")});
        QCOMPARE(refused.status, 1);
        QVERIFY(refused.err.contains(s("--force")));
        QCOMPARE(ReadRaw(path("keep.yaml")), QByteArray("precious"));
        QCOMPARE(Cli({s("decode"), path("pmr.dat"), s("-o"), path("keep.yaml"), s("--force")}).status, 0);
        QVERIFY(ReadRaw(path("keep.yaml")).startsWith("# ZR-K6 memory"));

        write("keep.dat", "precious");
        QCOMPARE(Cli({s("encode"), path("keep.yaml"), path("keep.dat")}).status, 1);
        QCOMPARE(ReadRaw(path("keep.dat")), QByteArray("precious"));
        QCOMPARE(Cli({s("encode"), s("--force"), path("keep.yaml"), path("keep.dat")}).status, 0);
        QCOMPARE(ReadRaw(path("keep.dat")), ReadRaw(path("pmr.dat")));
    }

    // Bad input: one line naming the place, status 2, and no file, not even over an old one.
    void badInputWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QByteArray head = "format: 1\nband: 144 - 146 MHz\n";
        QTest::newRow("off the list") << head + "channels:\n  71: {rx: 145.00000, power: Medium}\n"
                                      << s("line 4, column 30: channels.71.power: 'Medium' is not one of High, Mid, Low");
        QTest::newRow("unknown key") << head + "colour: red\n" << s("line 3, column 1: colour: unknown key");
        QTest::newRow("out of band") << head + "channels:\n  1: {rx: 150}\n"
                                     << s("channels.1.rx: 150.00000 MHz is outside the band 144 - 146 MHz");
        QTest::newRow("channel 129") << head + "channels:\n  129: {rx: 145}\n" << s("channels.129: '129' is not one of 1 .. 128");
        QTest::newRow("duplicate") << head + "band: 144 - 146 MHz\n" << s("line 3, column 1: band: duplicate key (first on line 2)");
        QTest::newRow("format") << QByteArray("format: 7\n") << s("format 7 is not known");
        QTest::newRow("binary") << QByteArray("\x1f\x8b\x08\x00junk", 8) << s("line 1, column 1: binary data, not text");
        QTest::newRow("over 1 MiB") << QByteArray(1024 * 1024 + 1, '#') << s("The file is larger than 1 MiB.");
    }

    void badInputWritesNothing()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        write("bad.yaml", text);
        write("old.dat", "old");
        for (const char *out : {"new.dat", "old.dat"}) {
            const Run run = Cli({s("encode"), s("--force"), path("bad.yaml"), path(out)});
            QCOMPARE(run.status, 2);
            QVERIFY(run.out.isEmpty());
            QVERIFY2(run.err.startsWith(s("zrk6-cli: ") + path("bad.yaml") + s(": ")), qPrintable(run.err));
            QVERIFY2(run.err.contains(message), qPrintable(run.err));
            QCOMPARE(run.err.count(u'\n'), 1);
        }
        QVERIFY(!QFile::exists(path("new.dat")));
        QCOMPARE(ReadRaw(path("old.dat")), QByteArray("old"));
    }

    void decodeRefusesWhatIsNotADataFile()
    {
        write("text.dat", "hello\n");
        const Run run = Cli({s("decode"), path("text.dat")});
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains(s("Incorrect File Type.")));
    }
};

QTEST_GUILESS_MAIN(TestCliTextForm)
#include "test_cli_text_form.moc"
