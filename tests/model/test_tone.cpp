#include <gtest/gtest.h>

#include "model/tone.h"

using namespace zrk6;

TEST(ToneList, HasTheListInOrder)
{
    const auto en = BuildToneList(kEnglish);
    ASSERT_EQ(en.size(), 261U);
    EXPECT_EQ(en[0], "None");
    EXPECT_EQ(BuildToneList(kChinese)[0], "无");
    EXPECT_EQ(en[1], "67.0");
    EXPECT_EQ(en[13], "100.0");
    EXPECT_EQ(en[50], "254.1");
    EXPECT_EQ(en[51], "D023N");
    EXPECT_EQ(en[155], "D754N");
    EXPECT_EQ(en[156], "D023I");
    EXPECT_EQ(en[260], "D754I");
}

TEST(ToneCode, EveryListedToneSurvivesWriteAndRead)
{
    const auto list = BuildToneList(kEnglish);
    for (std::size_t i = 1; i < list.size(); ++i) {
        MemoryImage image;
        const ToneBytes bytes = EncodeToneText(list[i]);
        EXPECT_EQ(ReadToneCode(bytes.low, bytes.high, kEnglish), list[i]);
    }
}

TEST(ToneCode, WritesTheBytes)
{
    struct Case {
        const char *text;
        ToneBytes bytes;
    };
    const Case cases[] = {
        {"None", {0xFF, 0xFF}}, {"无", {0xFF, 0xFF}},   {"67.0", {0x70, 0x06}},
        {"100.0", {0x00, 0x10}}, {"254.1", {0x41, 0x25}}, {"D023N", {0x23, 0x80}},
        {"D023I", {0x23, 0xC0}}, {"D754I", {0x54, 0xC7}}, {"D645N", {0x45, 0x86}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(EncodeToneText(c.text), c.bytes) << c.text;
}

TEST(ToneCode, ReadsAnythingUnlistedAsNone)
{
    struct Case {
        std::uint8_t low;
        std::uint8_t high;
        const char *text;
    };
    const Case cases[] = {
        {0x00, 0x00, "None"},  {0xFF, 0xFF, "None"},  {0x12, 0xFF, "None"}, {0x71, 0x06, "None"},
        {0x23, 0x88, "None"},  {0x45, 0x86, "D645N"}, {0x23, 0x40, "None"}, {0x23, 0x7F, "None"},
        {0x70, 0x06, "67.0"},  {0x54, 0xC7, "D754I"}, {0x24, 0x80, "None"}, {0x7A, 0x06, "None"},
        {0x23, 0xFE, "None"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReadToneCode(c.low, c.high, kEnglish), c.text) << int(c.low) << "/" << int(c.high);
    EXPECT_EQ(ReadToneCode(0xFF, 0xFF, kChinese), "无");
}
