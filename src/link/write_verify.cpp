#include "link/write_verify.h"

#include "link/clone_session.h"
#include "model/image_differences.h"
#include "text/text_ids.h"

namespace zrk6 {

namespace {

constexpr int kTextWriteDone = text_id::kWritingCompleted;
constexpr int kTextVerifying = text_id::kVerifying;
constexpr int kTextVerified = text_id::kVerifiedSame;
constexpr int kTextVerifyFailed = text_id::kVerificationFailed;
constexpr int kTextWriteAgain = text_id::kWriteAgain;
constexpr int kTextNotVerified = text_id::kVerifyIncomplete;

std::string Text(int id, LanguageMode language)
{
    return std::string(LoadText(id, language));
}

} // namespace

std::string VerifyReport::Text(std::size_t maxDifferences) const
{
    std::string text = headline;
    std::size_t shown = 0;
    for (const std::string &line : differences) {
        if (shown == maxDifferences) {
            text += "\n... (+" + std::to_string(differences.size() - shown) + ")";
            break;
        }
        text += "\n" + line;
        ++shown;
    }
    if (!advice.empty())
        text += "\n" + advice;
    return text;
}

VerifyReport CheckWrite(const MemoryImage &sent, const MemoryImage *readBack, LanguageMode language)
{
    VerifyReport report;
    if (readBack == nullptr) {
        report.outcome = VerifyOutcome::Incomplete;
        report.headline = Text(kTextWriteDone, language) + "\n" + Text(kTextNotVerified, language);
        return report;
    }
    for (int a = 0; a < kImageSize; ++a) {
        if (IsWrittenToRadio(a) && sent.at(a) != readBack->at(a))
            report.addresses.push_back(a);
    }
    if (report.addresses.empty()) {
        report.outcome = VerifyOutcome::Matched;
        report.headline = Text(kTextWriteDone, language) + "\n" + Text(kTextVerified, language);
        return report;
    }
    report.outcome = VerifyOutcome::Mismatched;
    report.differences = DescribeDifferences(sent, *readBack, language, DifferenceScope::WrittenToRadio);
    report.headline = Text(kTextVerifyFailed, language);
    report.advice = Text(kTextWriteAgain, language);
    return report;
}

std::string VerifyingCaption(LanguageMode language)
{
    return Text(kTextVerifying, language);
}

std::string VerifyingLabel(int value, int maximum, LanguageMode language)
{
    return CloneSession::PercentLabel(LoadText(kTextVerifying, language), value, maximum);
}

MemoryImage WithChannelsOf(const MemoryImage &radio, const MemoryImage &plan)
{
    MemoryImage image = radio;
    for (int a = 0; a < kChannelRecordsEnd; ++a)
        image.set(a, plan.at(a));
    return image;
}

} // namespace zrk6
