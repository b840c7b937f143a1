#include <gtest/gtest.h>

#include <map>
#include <string_view>

#include "text/text_ids.h"
#include "text/text_table.h"

using namespace zrk6;

namespace {

struct NamedId {
    std::string_view name;
    int id;
};

#define ZRK6_NAMED_ID(name, id) NamedId{#name, id},
constexpr NamedId kNamedIds[] = {ZRK6_TEXT_IDS(ZRK6_NAMED_ID)};
#undef ZRK6_NAMED_ID

} // namespace

// A name whose entry is missing would give an empty text at run time; an entry without a name
// could only be reached through a bare number again.
TEST(TextIds, NamesAndEntriesMatchOneToOne)
{
    std::map<int, std::string_view> named;
    for (const auto &[name, id] : kNamedIds) {
        const auto [it, fresh] = named.emplace(id, name);
        EXPECT_TRUE(fresh) << id << " is named both " << it->second << " and " << name;
        EXPECT_FALSE(LoadText(id, kEnglish).empty()) << name << " (" << id << ") has no English text";
        EXPECT_FALSE(LoadText(id, kChinese).empty()) << name << " (" << id << ") has no Chinese text";
    }
    for (const auto &entry : AllTexts())
        EXPECT_TRUE(named.contains(entry.id)) << "text " << entry.id << " \"" << entry.english << "\" has no name";
    EXPECT_EQ(named.size(), AllTexts().size());
}

TEST(TextIds, NamesAreTheTableIds)
{
    static_assert(text_id::kFileMenu == 1000);
    EXPECT_EQ(LoadText(text_id::kFrequencyOutOfRange, kEnglish), "Frequency is out of range.");
    EXPECT_EQ(LoadText(text_id::kCheckConnection, kEnglish), "Check Connection. Retry or Cancel?");
}
