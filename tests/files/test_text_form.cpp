// The text form: decode then encode gives the same bytes, an edit in the text changes what
// the same edit in the window changes, and bad input is refused with where and why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "files/text_form.h"
#include "model/band.h"
#include "model/channel_record.h"
#include "model/image_normalise.h"
#include "model/optional_features.h"
#include "model/vfo.h"
#include "record_fixtures.h"
#ifdef ZRK6_HAVE_RADIOSIM
#include "sample_memory.h"
#endif

using namespace zrk6;

namespace {

MemoryImage DefaultImage(int bandRow)
{
    return StartupImage(BandFromRow(bandRow));
}

// Every channel in use with the values varied across all items, the VFO and options changed.
MemoryImage FullMemory()
{
    const Band band = BandFromRow(0);
    MemoryImage image = DefaultImage(0);
    for (int n = 1; n <= kChannelCount; ++n) {
        ChannelValue v;
        v.rx = 13600000 + n * 1250;
        if (n % 5 != 0)
            v.tx = *v.rx + (n % 3) * 60000;
        v.decode = n % 4 == 0 ? Tone::Ctcss(885) : n % 4 == 1 ? Tone::Dcs(23, DcsPolarity::Inverted) : Tone{};
        v.encode = v.tx && n % 2 ? Tone::Dcs(754, DcsPolarity::Normal) : Tone{};
        v.wide = n % 2;
        v.scan = n % 3;
        v.power = static_cast<TxPower>(n % 3);
        v.busyLock = static_cast<BusyLock>(n % 3);
        v.scrambler = n % 7 == 0;
        WriteChannel(image, n, v, band);
    }
    StoreVfoRxFrequency(image, "145.6", band);
    StoreVfoOffset(image, "0.6", band);
    SetVfoDuplex(image, 1, band);
    WriteVfoTone(image, vfo::kDecode, "D023N");
    OptionalFeatures f = DecodeOptionalFeatures(image, band);
    f.squelchLevel = 9;
    f.priorityChannel = 128;
    f.scanMode = 3;
    f.keyLock = true;
    f.voxGain = 4;
    f.voxDelay = 5;
    EncodeOptionalFeatures(image, f);
    return image;
}

// Bytes no view interprets, and fields holding values that no list shows.
MemoryImage OddMemory()
{
    MemoryImage image = FullMemory();
    image.set(0x00C, 0x3F);              // channel 1: uninterpreted bits of byte 12
    image.set(0x01D, image.at(0x01D) | 0x81); // channel 2: bits 0 and 7 of byte 13
    image.set(0x02E, 0x12);              // channel 3: byte 14
    image.set(0x03F, 0x00);              // channel 4: byte 15
    image.set(0x048, 0x00);              // channel 5: decode tone 00 00 (None)
    image.set(0x049, 0x00);
    image.set(0x058, 0x71);              // channel 6: 67.1, not a listed tone
    image.set(0x059, 0x06);
    image.set(0x064, 0x00);              // channel 7: TxFreq below the band, kept
    image.fill(0x100, 16, 0x00);         // channel 17: not in use, but not erased
    image.set(0x900, 0x5A);
    image.fill(0xFB0, 8, 0x42);          // the radio's identification
    image.set(0xFBA, 0xF3);
    image.set(0xFC3, 15);                // squelch above 9 reads as 0
    image.set(0xFC0, image.at(0xFC0) | 0x75); // several scan modes and the unused bits
    image.set(0xFC8, 0x7E);
    image.set(0xD0C, 0x99);
    image.set(0xD0E, 0x01);
    image.set(0xFD0, '1');
    image.set(0xFD1, '2');
    image.set(0xFE0, 'A');
    image.set(0xFFF, 0x00);
    return image;
}

MemoryImage RandomMemory(unsigned seed)
{
    std::mt19937 random(seed);
    MemoryImage image;
    for (int a = 0; a < kImageSize; ++a)
        image.set(a, static_cast<std::uint8_t>(random()));
    return image;
}

struct Memory {
    std::string name;
    std::function<MemoryImage()> make;
};

std::vector<Memory> Memories()
{
    std::vector<Memory> all;
    for (int row = 0; row < kBandCount; ++row)
        all.push_back({"default image of " + std::string(BandTable()[static_cast<std::size_t>(row)].text),
                       [row] { return DefaultImage(row); }});
    all.push_back({"full memory", FullMemory});
    all.push_back({"odd uninterpreted bits", OddMemory});
    all.push_back({"all 0x00", [] { return MemoryImage{}; }});
    all.push_back({"band limits 136 - 150 MHz", [] {
                       MemoryImage m = FullMemory();
                       m.set(0xFF0, 0x13), m.set(0xFF1, 0x15), m.set(0xFF2, 0x60);
                       return m;
                   }});
    all.push_back({"unknown model and step, duplex 3", [] {
                       MemoryImage m = FullMemory();
                       m.set(0xFBB, 0x55), m.set(0xFC7, 9), m.set(0xD0D, 0xE8);
                       return m;
                   }});
    for (unsigned seed = 1; seed <= 6; ++seed)
        all.push_back({"random bytes " + std::to_string(seed), [seed] { return RandomMemory(seed); }});
#ifdef ZRK6_HAVE_RADIOSIM
    all.push_back({"the virtual radio's memory", [] { return radiosim::BuildSampleMemory(); }});
#endif
    return all;
}

MemoryImage Encode(const std::string &text)
{
    const EncodedTextForm encoded = EncodeTextForm(text);
    EXPECT_TRUE(encoded.ok()) << (encoded.error ? TextFormErrorText(*encoded.error, kEnglish) : "") << "\n" << text;
    return encoded.image;
}

// The line of a channel ("  12: {...}") with one text replaced.
std::string EditChannel(std::string text, int channel, const std::string &from, const std::string &to)
{
    const std::string key = "\n  " + std::to_string(channel) + ": {";
    const std::size_t line = text.find(key);
    EXPECT_NE(line, std::string::npos) << "channel " << channel;
    const std::size_t end = text.find('\n', line + 1);
    const std::size_t at = text.find(from, line);
    EXPECT_LT(at, end) << from << " not on the line of channel " << channel;
    return text.replace(at, from.size(), to);
}

std::string Replace(std::string text, const std::string &from, const std::string &to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

} // namespace

TEST(TextForm, DecodeThenEncodeGivesTheSameBytesAndTheSameText)
{
    for (const Memory &memory : Memories()) {
        SCOPED_TRACE(memory.name);
        const MemoryImage image = memory.make();
        const std::string text = DecodeTextForm(image);
        EXPECT_EQ(text, DecodeTextForm(image)) << "not stable";
        const MemoryImage back = Encode(text);
        for (int a = 0; a < kImageSize; ++a)
            ASSERT_EQ(back.at(a), image.at(a)) << "address " << a << "\n" << text;
    }
}

// A script that loads the text with PyYAML and writes it back (keys sorted, comments gone,
// words such as Off read by YAML 1.1 rules) must leave a text that encodes to the same bytes.
TEST(TextForm, ARoundTripThroughPyYamlEncodesTheSameBytes)
{
    if (std::system("python3 -c 'import yaml' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 with PyYAML (Debian package python3-yaml) is not installed";
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("zrk6-pyyaml-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::vector<Memory> memories = Memories();
    for (std::size_t i = 0; i < memories.size(); ++i)
        std::ofstream(dir / (std::to_string(i) + ".yaml"), std::ios::binary) << DecodeTextForm(memories[i].make());
    // One interpreter for all files; the C loader when PyYAML has it.
    const std::string command =
        "python3 -c 'import sys, yaml\n"
        "L = getattr(yaml, \"CSafeLoader\", yaml.SafeLoader); D = getattr(yaml, \"CSafeDumper\", yaml.SafeDumper)\n"
        "for p in sys.argv[1:]: yaml.dump(yaml.load(open(p), Loader=L), open(p + \".out\", \"w\"), Dumper=D, "
        "allow_unicode=True)' " +
        [&] {
            std::string files;
            for (std::size_t i = 0; i < memories.size(); ++i)
                files += " '" + (dir / (std::to_string(i) + ".yaml")).string() + "'";
            return files;
        }();
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (std::size_t i = 0; i < memories.size(); ++i) {
        SCOPED_TRACE(memories[i].name);
        std::stringstream script;
        script << std::ifstream(dir / (std::to_string(i) + ".yaml.out"), std::ios::binary).rdbuf();
        const MemoryImage image = memories[i].make();
        const MemoryImage back = Encode(script.str());
        for (int a = 0; a < kImageSize; ++a)
            ASSERT_EQ(back.at(a), image.at(a)) << "address " << a << "\n" << script.str();
    }
    std::filesystem::remove_all(dir);
}

TEST(TextForm, APlainMemoryReadsAsPlainText)
{
    for (int row = 0; row < kBandCount; ++row) {
        const std::string text = DecodeTextForm(DefaultImage(row));
        EXPECT_EQ(text.find("rows:"), std::string::npos) << text;
        EXPECT_EQ(text.find("raw:"), std::string::npos) << text;
    }
    const std::string text = DecodeTextForm(FullMemory());
    EXPECT_EQ(text.find("raw:"), std::string::npos) << text;
    EXPECT_EQ(text.find("rows:"), std::string::npos) << text;

    const std::string preset = DecodeTextForm(DefaultImage(kBand446));
    EXPECT_NE(preset.find("# ZR-K6 memory (zrk6 text form 1)\nformat: 1\nmodel: ZR-K6C\nband: 446 - 447 MHz\n"),
              std::string::npos)
        << preset;
    EXPECT_NE(preset.find("\n  1: {rx: 446.00625, tx: 446.00625, decode: None, encode: None, wide: Wide, scan: "
                          "Add, power: Low, bcl: \"Off\", scrambler: \"Off\"}\n"),
              std::string::npos)
        << preset;
    EXPECT_EQ(preset.find("\n  9: "), std::string::npos);
}

TEST(TextForm, OddBytesAreKeptPerChannelAndAsRowsOnlyWhereTheyDiffer)
{
    const std::string text = DecodeTextForm(OddMemory());
    EXPECT_NE(text.find("scrambler: \"Off\", raw: 50 12 60 13 50 12 66 13 23 C0 54 87 3F BB FF FC}\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("scrambler: \"Off\", raw: 50 37 60 13 50 37 60 13 FF FF 54 87 BF 91 12 FC}\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\n  8: {rx: 136.10000, tx: 137.30000, decode: 88.5, encode: None, wide: Narrow, scan: Add, power: "
                        "High, bcl: QT/DQT, scrambler: \"Off\"}\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"0x100\": 00 00 00 00"), std::string::npos) << text;
    EXPECT_NE(text.find("\"0x900\": 5A FF"), std::string::npos) << text;
    EXPECT_NE(text.find("\"0xFB0\": 42 42 42 42 42 42 42 42 FF FF F3 3A"), std::string::npos) << text;
    EXPECT_EQ(text.find("0x800"), std::string::npos) << text;
    EXPECT_EQ(text.find("0x010"), std::string::npos) << text; // channel 2 is listed: its bits go with it
}

// An edit in the text gives exactly the bytes of the same edit made with the window's writers.
TEST(TextForm, EditsChangeWhatTheSameEditInTheWindowChanges)
{
    const Band band = BandFromRow(0);
    const MemoryImage start = NormaliseImage(OddMemory(), band);
    const std::string text = DecodeTextForm(start);

    struct Edit {
        const char *name;
        std::function<std::string(const std::string &)> text;
        std::function<void(MemoryImage &)> window;
    };
    const auto field = [&band](int channel, ChannelColumn column, auto change) {
        return [=](MemoryImage &image) {
            ChannelValue value = ReadChannel(image, channel, band);
            change(value);
            WriteChannelField(image, channel, column, value, band);
        };
    };
    const std::vector<Edit> edits = {
        {"rx", [](const std::string &t) { return EditChannel(t, 2, "rx: 136.02500", "rx: 150.12500"); },
         field(2, ChannelColumn::RxFreq, [](ChannelValue &v) { v.rx = 15012500; })},
        {"tx", [](const std::string &t) { return EditChannel(t, 3, "tx: 136.03750", "tx: 170.00000"); },
         field(3, ChannelColumn::TxFreq, [](ChannelValue &v) { v.tx = 17000000; })},
        {"tx removed", [](const std::string &t) { return EditChannel(t, 4, "tx: 136.65000, ", ""); },
         field(4, ChannelColumn::TxFreq, [](ChannelValue &v) { v.tx.reset(); })},
        {"decode", [](const std::string &t) { return EditChannel(t, 5, "decode: None", "decode: d754i"); },
         field(5, ChannelColumn::Decode, [](ChannelValue &v) { v.decode = Tone::Dcs(754, DcsPolarity::Inverted); })},
        {"encode", [](const std::string &t) { return EditChannel(t, 1, "encode: D754N", "encode: 254.1"); },
         field(1, ChannelColumn::Encode, [](ChannelValue &v) { v.encode = Tone::Ctcss(2541); })},
        {"wide", [](const std::string &t) { return EditChannel(t, 2, "wide: Narrow", "wide: wide"); },
         field(2, ChannelColumn::WideNarrow, [](ChannelValue &v) { v.wide = true; })},
        {"scan", [](const std::string &t) { return EditChannel(t, 3, "scan: Del", "scan: add"); },
         field(3, ChannelColumn::Scan, [](ChannelValue &v) { v.scan = true; })},
        {"power", [](const std::string &t) { return EditChannel(t, 2, "power: High", "power: Mid"); },
         field(2, ChannelColumn::TxPower, [](ChannelValue &v) { v.power = TxPower::Mid; })},
        {"bcl", [](const std::string &t) { return EditChannel(t, 2, "bcl: QT/DQT", "bcl: Carrier"); },
         field(2, ChannelColumn::Bcl, [](ChannelValue &v) { v.busyLock = BusyLock::Carrier; })},
        {"scrambler", [](const std::string &t) { return EditChannel(t, 1, "scrambler: \"Off\"", "scrambler: On"); },
         field(1, ChannelColumn::Scrambler, [](ChannelValue &v) { v.scrambler = true; })},
        {"channel deleted",
         [](const std::string &t) {
             const std::size_t at = t.find("\n  127: {");
             std::string e = t;
             return e.erase(at, t.find('\n', at + 1) - at);
         },
         [](MemoryImage &image) { EraseChannel(image, 127); }},
        {"vfo rx", [](const std::string &t) { return Replace(t, "vfo: {rx: 145.60000", "vfo: {rx: 150.00000"); },
         [&band](MemoryImage &image) { StoreVfoRxFrequency(image, "150", band); }},
        {"vfo step", [](const std::string &t) { return Replace(t, "step: 12.5K", "step: 25K"); },
         [&band](MemoryImage &image) { ChangeVfoStep(image, 4, band); }},
        {"vfo duplex", [](const std::string &t) { return Replace(t, "duplex: \"-\"", "duplex: +"); },
         [&band](MemoryImage &image) { SetVfoDuplex(image, 2, band); }},
        {"vfo tone", [](const std::string &t) { return Replace(t, "decode: D023N, encode", "decode: None, encode"); },
         [](MemoryImage &image) { WriteVfoTone(image, vfo::kDecode, "None"); }},
        {"feature", [](const std::string &t) { return Replace(t, "lamp: Auto", "lamp: On"); },
         [&band](MemoryImage &image) {
             OptionalFeatures f = DecodeOptionalFeatures(image, band);
             f.lamp = 2;
             EncodeOptionalFeatures(image, f);
         }},
    };
    for (const Edit &edit : edits) {
        SCOPED_TRACE(edit.name);
        const MemoryImage fromText = Encode(edit.text(text));
        MemoryImage fromWindow = start;
        edit.window(fromWindow);
        ASSERT_NE(fromWindow, start);
        for (int a = 0; a < kImageSize; ++a)
            ASSERT_EQ(fromText.at(a), fromWindow.at(a)) << "address " << a;
    }
}

TEST(TextForm, AChannelWithOnlyRxIsWhatTypingThatFrequencyGives)
{
    const Band band = BandFromRow(4);
    MemoryImage typed = DefaultImage(4);
    StoreRxFrequency(typed, 71, "446.00625", band);
    const MemoryImage fromText = Encode("format: 1\nband: 400 - 470 MHz\nchannels:\n  71: {rx: 446.00625}\n");
    EXPECT_EQ(fromText, typed);
}

TEST(TextForm, BadInputIsRefusedWithLineColumnAndKey)
{
    const std::string head = "format: 1\nmodel: ZR-K6C\nband: 144 - 146 MHz\n";
    struct Case {
        const char *name;
        std::string text;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"an option off its list", head + "channels:\n  71: {rx: 145.00000, power: Medium}\n",
         "line 5, column 30: channels.71.power: 'Medium' is not one of High, Mid, Low"},
        {"an unknown key", head + "channels:\n  5: {rx: 145.00000, colour: red}\n",
         "line 5, column 22: channels.5.colour: unknown key (known here: rx, tx, decode, encode, wide, scan, power, "
         "bcl, scrambler, raw)"},
        {"an unknown top-level key", head + "chanels: {}\n", "line 4, column 1: chanels: unknown key"},
        {"rx out of the band", head + "channels:\n  5: {rx: 147.00000}\n",
         "line 5, column 11: channels.5.rx: 147.00000 MHz is outside the band 144 - 146 MHz"},
        {"tx out of the band", head + "channels:\n  5: {rx: 145.00000, tx: 143.99999}\n",
         "channels.5.tx: 143.99999 MHz is outside the band"},
        {"a frequency finer than 10 Hz", head + "channels:\n  5: {rx: 145.000001}\n",
         "channels.5.rx: '145.000001' is not written as 000.00000"},
        {"a tone off the list", head + "channels:\n  5: {rx: 145.00000, decode: 67.1}\n",
         "channels.5.decode: '67.1' is not one of None, 67.0 .. 254.1"},
        {"a channel number 0", head + "channels:\n  0: {rx: 145.00000}\n",
         "line 5, column 3: channels.0: '0' is not one of 1 .. 128"},
        {"a channel number 129", head + "channels:\n  129: {rx: 145.00000}\n", "'129' is not one of 1 .. 128"},
        {"a duplicate channel", head + "channels:\n  5: {rx: 145.00000}\n  5: {rx: 145.50000}\n",
         "line 6, column 3: channels.5: duplicate key (first on line 5)"},
        {"the same channel twice by number", head + "channels:\n  5: {rx: 145.00000}\n  05: {rx: 145.50000}\n",
         "line 6, column 3: channels.05: duplicate key (first on line 5)"},
        {"a duplicate feature", head + "features:\n  lamp: On\n  lamp: Off\n",
         "line 6, column 3: features.lamp: duplicate key (first on line 5)"},
        {"an unknown format", "format: 2\nband: 144 - 146 MHz\n",
         "line 1, column 9: format: format 2 is not known; this program reads format 1"},
        {"no format", "band: 144 - 146 MHz\n", "format: the key is missing"},
        {"an unknown band", "format: 1\nband: 146 - 144 MHz\n", "band: '146 - 144 MHz' is not one of 136 - 174 MHz"},
        {"rx missing", head + "channels:\n  5: {tx: 145.00000}\n", "channels.5.rx: the key is missing"},
        {"encode without tx", head + "channels:\n  5: {rx: 145.00000, encode: 67.0}\n",
         "line 5, column 30: channels.5.encode: the memory cannot hold this: it would read -"},
        {"a priority channel that is empty", head + "features:\n  priority_channel: 9\n",
         "features.priority_channel: the memory cannot hold this: it would read Off"},
        {"the priority channel's line deleted", DecodeTextForm(FullMemory()).erase(
             DecodeTextForm(FullMemory()).find("\n  128: {"), DecodeTextForm(FullMemory()).find("\nvfo:") -
                                                                    DecodeTextForm(FullMemory()).find("\n  128: {")),
         "features.priority_channel: the memory cannot hold this: it would read Off"},
        {"a VFO frequency off the raster", head + "vfo: {rx: 145.00100}\n",
         "vfo.rx: the memory cannot hold this: it would read 145.00000"},
        {"a changed PTT ID", head + "ptt_id: {ani: \"123\"}\n", "ptt_id.ani: the memory cannot hold this"},
        {"a bad raw record", head + "channels:\n  5: {rx: 145.00000, raw: 00 11}\n",
         "channels.5.raw: '00 11' is not written as FF FF"},
        {"a row and a channel for the same record",
         head + "channels:\n  5: {rx: 145.00000}\nrows:\n  0x040: FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF\n",
         "line 7, column 10: rows.0x040: duplicate key (first on line 5)"},
        {"a bad row", head + "rows:\n  0x900: FF FF\n", "rows.0x900: 'FF FF' is not written as FF FF"},
        {"a row address off the rows", head + "rows:\n  0x901: " + std::string(47, 'F') + "\n",
         "rows.0x901: '0x901' is not one of 0x000, 0x010 .. 0xFF0"},
        {"a map where a value belongs", "format: 1\nband: 144 - 146 MHz\nmodel: {a: 1}\n",
         "line 3, column 8: model: '{...}' is not written as ZR-K6A, ZR-K6B, ZR-K6C"},
        {"a list where a value belongs", head + "channels:\n  5: {rx: [1, 2]}\n",
         "channels.5.rx: '[...]' is not written as 000.00000"},
        {"a value where a map belongs", head + "channels: 5\n",
         "line 4, column 11: channels: expected a map here"},
        {"a second document", head + "---\nchannels: {}\n", "line 4, column 1: a second document"},
        {"junk the YAML reader takes for endless documents", " !ZB,,,,,,,,BBBB", "a second document"},
        {"YAML syntax", head + "channels: {5: {rx: 145.0}\n", "line "},
        {"binary junk", head + "channels:\n  5: {rx: 14\x01" "5.0}\n", "line 5, column 13: binary data, not text"},
        {"not UTF-8", head + "\xFF\xFE\n", "line 4, column 1: binary data, not text"},
        {"a NUL byte", std::string("format: 1\0", 10), "line 1, column 10: binary data, not text"},
        {"over 1 MiB", head + "# " + std::string(kMaxTextFormBytes, 'x') + "\n", "The file is larger than 1 MiB."},
        {"not a map at all", "just text\n", "line 1, column 1: expected a map here"},
        {"an empty text", "", "format: the key is missing"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const EncodedTextForm encoded = EncodeTextForm(c.text);
        ASSERT_FALSE(encoded.ok());
        const std::string message = TextFormErrorText(*encoded.error, kEnglish);
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

TEST(TextForm, MessagesComeInChineseToo)
{
    const EncodedTextForm encoded = EncodeTextForm("format: 1\nband: 144 - 146 MHz\nchannels:\n  5: {rx: 147}\n");
    ASSERT_FALSE(encoded.ok());
    EXPECT_EQ(TextFormErrorText(*encoded.error, kChinese), "第 4 行，第 11 列：channels.5.rx：147.00000 MHz 超出频段 144 - 146 MHz");
}

TEST(TextForm, ValuesAreReadInAnyLetterCase)
{
    const MemoryImage lower = Encode("format: 1\nmodel: zr-k6a\nband: 144 - 146 mhz\nchannels:\n  1: {rx: 145.5, tx: "
                                     "145.5, decode: none, encode: d023n, wide: NARROW, power: mid, bcl: qt/dqt}\n"
                                     "features: {lamp: auto, scan_mode: dcsmode}\n");
    const MemoryImage proper = Encode("format: 1\nmodel: ZR-K6A\nband: 144 - 146 MHz\nchannels:\n  1: {rx: 145.50000, tx: "
                                      "145.50000, decode: None, encode: D023N, wide: Narrow, power: Mid, bcl: QT/DQT}\n"
                                      "features: {lamp: Auto, scan_mode: DCS Mode}\n");
    EXPECT_EQ(lower, proper);
}

// What a YAML 1.1 writer makes of Off and On: false and true name them in the two-state
// fields, and nowhere else.
TEST(TextForm, TrueAndFalseNameOnAndOffOfTheTwoStateFields)
{
    const std::string head = "format: 1\nmodel: ZR-K6A\nband: 144 - 146 MHz\nchannels:\n  1: {rx: 145.5, scrambler: ";
    EXPECT_EQ(Encode(head + "true}\nfeatures: {beep_tone: false, key_lock: TRUE}\n"),
              Encode(head + "On}\nfeatures: {beep_tone: Off, key_lock: On}\n"));
    const EncodedTextForm lamp = EncodeTextForm(head + "Off}\nfeatures: {lamp: false}\n");
    ASSERT_FALSE(lamp.ok());
    EXPECT_EQ(lamp.error->path, "features.lamp");
}

TEST(TextForm, FileNamesChooseTheTextForm)
{
    EXPECT_TRUE(IsTextFormFileName("radio.yaml"));
    EXPECT_TRUE(IsTextFormFileName("/a/b/RADIO.YML"));
    EXPECT_FALSE(IsTextFormFileName("radio.dat"));
    EXPECT_FALSE(IsTextFormFileName("yaml"));
}
