#include "link/line_diagnosis.h"

#include <algorithm>

#include "text/text_ids.h"

namespace zrk6 {

namespace {
constexpr int kTextNothing = text_id::kLineSilent;
constexpr int kTextOwnBytes = text_id::kLineOwnBytesBack;
constexpr int kTextOtherBytes = text_id::kLineOtherBytes;
constexpr int kTextEchoFirst = text_id::kLineEchoingCable;
} // namespace

LineHeard JudgeUnansweredLine(std::span<const std::uint8_t> sent, std::span<const std::uint8_t> heard)
{
    if (heard.empty())
        return LineHeard::Nothing;
    if (!sent.empty() && std::ranges::equal(sent, heard))
        return LineHeard::OwnBytes;
    return LineHeard::OtherBytes;
}

bool BeginsWithEcho(std::span<const std::uint8_t> reply, std::span<const std::uint8_t> request)
{
    return !request.empty() && reply.size() >= request.size() &&
           std::equal(request.begin(), request.end(), reply.begin());
}

std::string LineHeardText(LineHeard heard, LanguageMode language)
{
    switch (heard) {
    case LineHeard::Answered: break;
    case LineHeard::Nothing: return std::string(LoadText(kTextNothing, language));
    case LineHeard::OwnBytes: return std::string(LoadText(kTextOwnBytes, language));
    case LineHeard::OtherBytes: return std::string(LoadText(kTextOtherBytes, language));
    case LineHeard::EchoFirst: return std::string(LoadText(kTextEchoFirst, language));
    }
    return {};
}

} // namespace zrk6
