// Checking a write against the memory read back after it.
#include <gtest/gtest.h>

#include "link/write_verify.h"
#include "model/band.h"

namespace zrk6 {
namespace {

TEST(CheckWrite, MatchMismatchAndIncomplete)
{
    const MemoryImage sent = StartupImage();
    MemoryImage radio = sent;
    radio.set(0xFE3, 0x00); // the PTT-ID name is never written: the radio may hold anything there
    radio.set(0xFFA, 0x00);

    VerifyReport report = CheckWrite(sent, &radio, kEnglish);
    EXPECT_EQ(report.outcome, VerifyOutcome::Matched);
    EXPECT_EQ(report.Text(), "Writing completed!\nThe radio's memory was verified: it holds what was written.");

    radio.set(0x900, 0x12);
    radio.set(0xFF2, 0x00);
    report = CheckWrite(sent, &radio, kEnglish);
    EXPECT_EQ(report.outcome, VerifyOutcome::Mismatched);
    EXPECT_EQ(report.addresses, (std::vector<int>{0x900, 0xFF2}));
    EXPECT_EQ(report.Text(), "Verification failed: the radio's memory differs from the data written.\n"
                             "Address 0x900: FF -> 12\n"
                             "Frequency: 144 - 146 MHz -> 140 - 140 MHz\n"
                             "The radio may hold a partly written memory. Write the data again.");

    report = CheckWrite(sent, nullptr, kChinese);
    EXPECT_EQ(report.outcome, VerifyOutcome::Incomplete);
    EXPECT_EQ(report.Text(), "成功写完！\n无法校验存储器：回读未完成。");
}

TEST(CheckWrite, ALongListIsCutWithACount)
{
    const MemoryImage sent = StartupImage();
    MemoryImage radio = sent;
    for (int a = 0x900; a < 0x910; ++a)
        radio.set(a, 0x00);
    const VerifyReport report = CheckWrite(sent, &radio, kEnglish);
    ASSERT_EQ(report.differences.size(), 16U);
    const std::string text = report.Text(3);
    EXPECT_NE(text.find("Address 0x902: FF -> 00\n... (+13)\nThe radio may hold"), std::string::npos) << text;
    EXPECT_EQ(text.find("0x903"), std::string::npos);
}

} // namespace
} // namespace zrk6
