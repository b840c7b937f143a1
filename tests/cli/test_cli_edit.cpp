// zrk6-cli edit, sort, compact and duplicates on data files in a temporary directory.
#include <QTemporaryDir>
#include <QTest>

#include "cli_run.h"
#include "files/data_file_io.h"
#include "model/channel_operations.h"

using namespace zrk6;
constexpr auto Cli = zrk6::test::RunCli;

class TestCliEdit : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    const Band band_{144, 146};
    QString path(const QString &name) const { return dir_.filePath(name); }

    // in.dat: channels 2, 5 and 9 (9 repeats 2), an odd bit in channel 5's byte 14, priority 5.
    MemoryImage inImage() const
    {
        MemoryImage image = StartupImage(band_);
        const auto put = [&](int channel, const char *rx, const char *tx) {
            ChannelValue v;
            v.rx = *ParseFreqText(rx);
            v.tx = *ParseFreqText(tx);
            WriteChannel(image, channel, v, band_);
        };
        put(2, "145.50000", "145.50000");
        put(5, "144.20000", "144.80000");
        put(9, "145.50000", "145.50000");
        image.set(ChannelRow(5), 14, 0x5A);
        image.set(addr::kPriorityChannel, 5);
        return image;
    }
    MemoryImage load(const QString &name) const { return LoadDataFile(path(name)).image; }

private slots:
    void init() { QVERIFY(SaveDataFile(path(QStringLiteral("in.dat")), inImage()).isEmpty()); }

    void editSetsFieldsAndNamesWhatItLeftAlone()
    {
        auto r = Cli({QStringLiteral("edit"), path(QStringLiteral("in.dat")), path(QStringLiteral("out.dat")),
                      QStringLiteral("--channels"), QStringLiteral("1-5"), QStringLiteral("--set"),
                      QStringLiteral("power=LOW"), QStringLiteral("--set"), QStringLiteral("offset=+0.6")});
        // Channel 2 would transmit at 146.1 MHz, outside the band: left alone, named, exit 1.
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(QStringLiteral("channel 2")), qPrintable(r.err));
        const MemoryImage out = load(QStringLiteral("out.dat"));
        QCOMPARE(ReadChannel(out, 5, band_).power, TxPower::Low);
        QCOMPARE(ReadChannel(out, 5, band_).tx, *ParseFreqText("144.80000"));
        QCOMPARE(out.at(ChannelRow(5), 14), std::uint8_t{0x5A});
        QCOMPARE(ReadChannel(out, 2, band_), ReadChannel(inImage(), 2, band_));
        QCOMPARE(ReadChannel(out, 9, band_), ReadChannel(inImage(), 9, band_)); // outside the list

        // All done: exit 0; OUT may be IN with --force.
        r = Cli({QStringLiteral("edit"), path(QStringLiteral("in.dat")), path(QStringLiteral("in.dat")),
                 QStringLiteral("--force"), QStringLiteral("--set"), QStringLiteral("decode=d023i"),
                 QStringLiteral("--set"), QStringLiteral("tx=none")});
        QCOMPARE(r.status, 0);
        const ChannelValue nine = ReadChannel(load(QStringLiteral("in.dat")), 9, band_);
        QCOMPARE(nine.decode, Tone::Dcs(23, DcsPolarity::Inverted));
        QVERIFY(!nine.tx.has_value());
    }

    void badArgumentsWriteNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("bad list") << QStringList{QStringLiteral("--channels"), QStringLiteral("3-1"),
                                                 QStringLiteral("--set"), QStringLiteral("power=low")}
                                  << "wrong way round";
        QTest::newRow("unknown field") << QStringList{QStringLiteral("--set"), QStringLiteral("colour=red")}
                                       << "unknown field 'colour'";
        QTest::newRow("bad value") << QStringList{QStringLiteral("--set"), QStringLiteral("power=Medium")}
                                   << "'Medium' is not one of high, mid, low";
        QTest::newRow("tone off the list") << QStringList{QStringLiteral("--set"), QStringLiteral("encode=88.6")}
                                           << "encode: '88.6'";
        QTest::newRow("no set") << QStringList{} << "at least one --set";
    }
    void badArgumentsWriteNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const auto r = Cli(QStringList{QStringLiteral("edit"), path(QStringLiteral("in.dat")),
                                       path(QStringLiteral("bad.dat"))} + arguments);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(path(QStringLiteral("bad.dat"))));
    }

    void sortCompactAndDuplicates()
    {
        auto r = Cli({QStringLiteral("sort"), path(QStringLiteral("in.dat")), path(QStringLiteral("sorted.dat")),
                      QStringLiteral("--by"), QStringLiteral("RX")});
        QCOMPARE(r.status, 0);
        const MemoryImage sorted = load(QStringLiteral("sorted.dat"));
        QCOMPARE(ReadChannel(sorted, 1, band_).rx, *ParseFreqText("144.20000"));
        QCOMPARE(sorted.at(ChannelRow(1), 14), std::uint8_t{0x5A}); // the whole record moved
        QCOMPARE(sorted.at(addr::kPriorityChannel), std::uint8_t{1}); // and the priority with it
        QVERIFY(!IsChannelInUse(sorted, 4, band_));

        r = Cli({QStringLiteral("compact"), path(QStringLiteral("in.dat")), path(QStringLiteral("c.dat"))});
        QCOMPARE(r.status, 0);
        QCOMPARE(load(QStringLiteral("c.dat")).at(addr::kPriorityChannel), std::uint8_t{2});

        r = Cli({QStringLiteral("duplicates"), path(QStringLiteral("in.dat"))});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.trimmed(), QStringLiteral("9 = 2"));

        r = Cli({QStringLiteral("sort"), path(QStringLiteral("in.dat")), path(QStringLiteral("s2.dat")),
                 QStringLiteral("--by"), QStringLiteral("colour")});
        QCOMPARE(r.status, 2);
        r = Cli({QStringLiteral("compact"), path(QStringLiteral("missing.dat")), path(QStringLiteral("c2.dat"))});
        QCOMPARE(r.status, 2);
    }
};

QTEST_GUILESS_MAIN(TestCliEdit)
#include "test_cli_edit.moc"
