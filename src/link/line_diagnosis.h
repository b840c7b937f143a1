#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "text/text_table.h"

namespace zrk6 {

// What a line gave back in place of the radio's answer. Most "the radio did not respond"
// reports are a plug not fully in the radio's socket or a cable made for another radio; what
// came back tells those apart from a silent radio and from a noisy line.
enum class LineHeard {
    Answered,   // nothing to say: the radio's reply came
    Nothing,    // not a byte came back
    OwnBytes,   // exactly the program's own bytes came back (a half-inserted plug, an echoing cable)
    OtherBytes, // other bytes (a loose contact, another device on the port)
    EchoFirst,  // a reply began with the echo of its own request, then the radio's answer
};

// Judges what came back while the program waited for the greeting's acknowledgement.
LineHeard JudgeUnansweredLine(std::span<const std::uint8_t> sent, std::span<const std::uint8_t> heard);

// True when a reply begins with the very bytes of the request it answers.
bool BeginsWithEcho(std::span<const std::uint8_t> reply, std::span<const std::uint8_t> request);

// The sentence that tells the user what the line did and where to look; empty for Answered.
std::string LineHeardText(LineHeard heard, LanguageMode language);

} // namespace zrk6
