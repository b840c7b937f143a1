#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "text/text_table.h"

using namespace zrk6;

TEST(TextTable, EveryEntryHasBothLanguages)
{
    std::set<int> ids;
    for (const auto &entry : AllTexts()) {
        EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
        EXPECT_GE(entry.id, 1000);
        EXPECT_LE(entry.id, 1999); // Chinese is the English id + 1000
        EXPECT_FALSE(entry.english.empty()) << entry.id;
        EXPECT_FALSE(entry.chinese.empty()) << entry.id;
    }
    // The texts of the original program, 1000..1668; later blocks add to them.
    EXPECT_EQ(std::count_if(ids.begin(), ids.end(), [](int id) { return id <= 1668; }), 133);
}

TEST(TextTable, LooksUpByLanguage)
{
    struct Case {
        int id;
        const char *english;
        const char *chinese;
    };
    const Case cases[] = {
        {1000, "&File", "文件(&F)"},
        {1015, "&Program", "编程(&P)"},
        {1021, "&Setup", "设置(&S)"},
        {1024, "&Help", "帮助(&H)"},
        {1104, "None", "无"},
        {1229, "Frequency is out of range.", "频率超出范围。"},
        {1459, "Channel Dis.\t", "信道显示模式\t"},
        {1656, "Scrambler", "扰频"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LoadText(c.id, kEnglish), c.english) << c.id;
        EXPECT_EQ(LoadText(c.id, kChinese), c.chinese) << c.id;
    }
}

TEST(TextTable, FileFiltersHaveTheSamePatternInBothLanguages)
{
    for (const auto &[id, pattern] : {std::pair{1109, "*.dat"}, std::pair{1762, "*.csv"}}) {
        for (LanguageMode lang : {kEnglish, kChinese}) {
            const auto filter = LoadText(id, lang);
            const auto bar = filter.find('|');
            ASSERT_NE(bar, std::string_view::npos) << id;
            EXPECT_EQ(filter.substr(bar + 1), pattern) << id;
        }
    }
}

TEST(TextTable, FillTextPutsArgumentsInPlace)
{
    EXPECT_EQ(FillText("Location %1 (line %2): %3", {"7", "9", "ok"}), "Location 7 (line 9): ok");
    EXPECT_EQ(FillText("%2%1%", {"a", "b"}), "ba%");
    EXPECT_EQ(FillText("%1 and %3", {"x"}), "x and ");
    EXPECT_EQ(FillText("100%", {}), "100%");
}

TEST(TextTable, UnknownLanguageIsEnglishAndUnknownIdIsEmpty)
{
    EXPECT_EQ(LoadText(1000, static_cast<LanguageMode>(2)), "&File");
    EXPECT_EQ(LoadText(1000, static_cast<LanguageMode>(-7)), "&File");
    EXPECT_EQ(NormalizeLanguage(5), kEnglish);
    EXPECT_EQ(LoadText(1001 + 1000, kEnglish), "");
    EXPECT_EQ(LoadText(999, kChinese), "");
}
