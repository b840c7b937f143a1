// The clone protocol state machine, driven directly: every byte it sends, every reply split at
// odd boundaries, the time-out as an event.
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "link/clone_session.h"
#include "link/time_scale.h"

namespace zrk6 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Kind = CloneAction::Kind;

const Bytes kGreeting{0x02, 0x50, 0x52, 0x4F, 0x47, 0x52, 0x41};
const Bytes kIdentify{0x4D, 0x02};
const Bytes kAck{0x06};
const Bytes kEnd{0x45};

MemoryImage PatternImage(std::uint8_t seed)
{
    MemoryImage image;
    for (int a = 0; a < kImageSize; ++a)
        image.set(a, static_cast<std::uint8_t>(a * 7 + seed + (a >> 8)));
    return image;
}

// A radio that answers as the real one does, from its memory; `override` may replace the reply
// to a message (nullopt: answer normally; an empty vector: stay silent).
struct ScriptRadio {
    MemoryImage memory;
    std::function<std::optional<Bytes>(const Bytes &)> override;

    Bytes Answer(const Bytes &message)
    {
        if (override) {
            if (auto reply = override(message))
                return *reply;
        }
        if (message == kGreeting || message == kAck)
            return kAck;
        if (message == kIdentify) {
            Bytes id;
            for (int a = addr::kRadioId + 7; a >= addr::kRadioId; --a)
                id.push_back(memory.at(a));
            return id;
        }
        if (message[0] == 0x52) {
            const int address = message[1] * 256 + message[2];
            Bytes reply{0x57, message[1], message[2], 0x08};
            for (int i = 0; i < 8; ++i)
                reply.push_back(memory.at(address + i));
            return reply;
        }
        if (message[0] == 0x57) {
            const int address = message[1] * 256 + message[2];
            for (int i = 0; i < message[3]; ++i)
                memory.set(address + i, message[4 + i]);
            return kAck;
        }
        return {};
    }
};

// Runs a session against a radio until it stops at a prompt, finishes, or waits for a reply
// that the radio did not send. Records everything the session asked for.
struct Harness {
    CloneSession session;
    ScriptRadio radio;
    std::size_t chunk = 1; // replies are fed in pieces of this many bytes
    std::vector<Bytes> sent;
    std::vector<CloneAction> actions;
    std::vector<CloneAction> progress;
    std::deque<Bytes> pendingReplies;
    bool timerArmed = false;
    bool settleAsked = false;
    int awaited = 0;

    Harness(CloneMode mode, const MemoryImage &image, const MemoryImage &radioMemory, LanguageMode language = kEnglish)
        : session(mode, image, language), radio{radioMemory, {}}
    {
    }

    void Apply(const CloneActions &list)
    {
        for (const CloneAction &a : list) {
            actions.push_back(a);
            switch (a.kind) {
            case Kind::Send:
                sent.push_back(a.bytes);
                if (Bytes reply = radio.Answer(a.bytes); !reply.empty())
                    pendingReplies.push_back(reply);
                break;
            case Kind::AwaitReply: awaited = a.length; break;
            case Kind::ArmTimer: timerArmed = true; break;
            case Kind::StopTimer: timerArmed = false; break;
            case Kind::DiscardPending: pendingReplies.clear(); break;
            case Kind::SettleLine: settleAsked = true; break;
            case Kind::Progress: progress.push_back(a); break;
            default: break;
            }
        }
    }

    // Feeds the radio's replies, chunk bytes at a time, until none are left.
    void Pump()
    {
        while (!pendingReplies.empty()) {
            Bytes reply = pendingReplies.front();
            pendingReplies.pop_front();
            for (std::size_t i = 0; i < reply.size(); i += chunk) {
                const std::size_t n = std::min(chunk, reply.size() - i);
                Apply(session.Receive(std::span(reply).subspan(i, n)));
            }
        }
    }

    void Run()
    {
        Apply(session.Start());
        Pump();
    }

    std::vector<CloneAction> Of(Kind kind) const
    {
        std::vector<CloneAction> result;
        for (const CloneAction &a : actions)
            if (a.kind == kind)
                result.push_back(a);
        return result;
    }
};

TEST(CloneSession, FullReadSendsEveryRequestAndReturnsTheRadioMemory)
{
    MemoryImage image = PatternImage(1);
    MemoryImage radio = PatternImage(99);
    for (int i = 0; i < 8; ++i)
        radio.set(addr::kRadioId + i, image.at(addr::kRadioId + i));

    for (std::size_t chunk : {std::size_t{1}, std::size_t{5}, std::size_t{12}}) {
        SCOPED_TRACE(chunk);
        Harness h(CloneMode::Read, image, radio);
        h.chunk = chunk;
        h.Run();

        ASSERT_EQ(h.session.outcome(), CloneOutcome::Completed);
        ASSERT_EQ(h.sent.size(), 3u + 2 * 512 + 1);
        EXPECT_EQ(h.sent[0], kGreeting);
        EXPECT_EQ(h.sent[1], kIdentify);
        EXPECT_EQ(h.sent[2], kAck);
        for (int k = 0; k < 512; ++k) {
            const Bytes request{0x52, static_cast<std::uint8_t>(k / 32), static_cast<std::uint8_t>((k % 32) * 8), 0x08};
            ASSERT_EQ(h.sent[3 + 2 * k], request) << "block " << k;
            ASSERT_EQ(h.sent[4 + 2 * k], kAck) << "block " << k;
        }
        EXPECT_EQ(h.sent[3 + 2 * 300], (Bytes{0x52, 0x09, 0x60, 0x08}));
        EXPECT_EQ(h.sent[3 + 2 * 511], (Bytes{0x52, 0x0F, 0xF8, 0x08}));
        EXPECT_EQ(h.sent.back(), kEnd);
        EXPECT_EQ(h.session.cloneBuffer(), radio);
        EXPECT_TRUE(h.Of(Kind::AskRetry).empty());
        EXPECT_FALSE(h.timerArmed);
    }
}

TEST(CloneSession, FullWriteSendsTheImageExceptTheProtectedBytes)
{
    MemoryImage image = PatternImage(3);
    MemoryImage radio;
    radio.fill(0xAA);
    for (int i = 0; i < 8; ++i)
        radio.set(addr::kRadioId + i, image.at(addr::kRadioId + i));

    Harness h(CloneMode::Write, image, radio);
    h.chunk = 2;
    h.Run();

    ASSERT_EQ(h.session.outcome(), CloneOutcome::Completed);
    ASSERT_EQ(h.sent.size(), 3u + 509 + 1);
    Bytes block0{0x57, 0x00, 0x00, 0x08};
    for (int a = 0; a < 8; ++a)
        block0.push_back(image.at(a));
    EXPECT_EQ(h.sent[3], block0);
    for (int k = 0; k <= 507; ++k)
        ASSERT_EQ(h.sent[3 + k], CloneSession::WriteRequest(k, image)) << "block " << k;
    EXPECT_EQ(h.sent[3 + 508],
              (Bytes{0x57, 0x0F, 0xF0, 0x03, image.at(0xFF0), image.at(0xFF1), image.at(0xFF2)}));
    EXPECT_EQ(h.sent.back(), kEnd);

    // The radio got every byte below 0xFE0 and the band limits, and nothing of 0xFE0-0xFEF or 0xFF3-0xFFF.
    for (int a = 0; a < kImageSize; ++a) {
        const bool written = a < 0xFE0 || (a >= 0xFF0 && a <= 0xFF2) || (a >= addr::kRadioId && a < addr::kRadioId + 8);
        ASSERT_EQ(h.radio.memory.at(a), written ? image.at(a) : 0xAA) << std::hex << a;
    }
}

TEST(CloneSession, ProgressAndClosingMessages)
{
    struct Case {
        CloneMode mode;
        LanguageMode language;
        int maximum;
        int doneId;
    };
    for (const Case &c : {Case{CloneMode::Read, kEnglish, 512, 1608}, Case{CloneMode::Write, kEnglish, 509, 1609},
                          Case{CloneMode::Read, kChinese, 512, 1608}}) {
        SCOPED_TRACE(c.doneId + 1000 * c.language);
        MemoryImage image = PatternImage(5);
        Harness h(c.mode, image, image, c.language);
        h.Run();

        const std::string label(LoadText(1604, c.language));
        ASSERT_EQ(h.progress.size(), static_cast<std::size_t>(c.maximum) + 1);
        EXPECT_EQ(h.progress.front().text, label + ":  0%");
        EXPECT_EQ(h.progress.front().value, 0);
        EXPECT_EQ(h.progress.back().text, label + ": 100%");
        EXPECT_EQ(h.progress.back().value, c.maximum);
        EXPECT_EQ(h.progress.back().maximum, c.maximum);
        if (c.mode == CloneMode::Read) {
            EXPECT_EQ(h.progress[256].text, label + ": 50%");
        }

        // The end byte, then the end of the transfer, then the completion message.
        const auto &a = h.actions;
        ASSERT_GE(a.size(), 3u);
        EXPECT_EQ(a[a.size() - 1].kind, Kind::Message);
        EXPECT_EQ(a[a.size() - 1].textId, c.doneId);
        EXPECT_EQ(a[a.size() - 1].text, LoadText(c.doneId, c.language));
        EXPECT_EQ(a[a.size() - 1].title, "ZR-K6");
        EXPECT_FALSE(a[a.size() - 1].isError);
        EXPECT_EQ(a[a.size() - 2].kind, Kind::Finished);
        EXPECT_EQ(h.sent.back(), kEnd);
    }
    EXPECT_EQ(CloneSession::Caption(CloneMode::Read, kEnglish), "Read data from radio");
    EXPECT_EQ(CloneSession::Caption(CloneMode::Write, kChinese), LoadText(1634, kChinese));
    // Halves round up, as the "0%" format does.
    EXPECT_EQ(CloneSession::ProgressLabel(64, 512, kEnglish), "Completion percentage: 13%");
    EXPECT_EQ(CloneSession::ProgressLabel(1, 509, kEnglish), "Completion percentage: 0%");
}

TEST(CloneSession, IdentificationIsComparedInReverseAddressOrder)
{
    MemoryImage image;
    image.fill(0xFF);
    for (int i = 0; i < 8; ++i)
        image.set(addr::kRadioId + i, static_cast<std::uint8_t>(i + 1)); // 01..08 at 0xFB0..0xFB7

    struct Case {
        Bytes reply;
        CloneOutcome outcome;
    };
    for (const Case &c : {Case{{8, 7, 6, 5, 4, 3, 2, 1}, CloneOutcome::Completed},
                          Case{{1, 2, 3, 4, 5, 6, 7, 8}, CloneOutcome::WrongModel},
                          Case{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, CloneOutcome::WrongModel}}) {
        for (CloneMode mode : {CloneMode::Read, CloneMode::Write}) {
            Harness h(mode, image, image);
            h.radio.override = [&](const Bytes &m) -> std::optional<Bytes> {
                if (m == kIdentify)
                    return c.reply;
                return std::nullopt;
            };
            h.Run();
            ASSERT_EQ(h.session.outcome(), c.outcome);
            if (c.outcome == CloneOutcome::WrongModel) {
                // "E" goes out, no retry is offered, and "Model type is wrong." closes the transfer.
                EXPECT_EQ(h.sent, (std::vector<Bytes>{kGreeting, kIdentify, kEnd}));
                EXPECT_TRUE(h.Of(Kind::AskRetry).empty());
                const CloneAction &last = h.actions.back();
                EXPECT_EQ(last.kind, Kind::Message);
                EXPECT_EQ(last.textId, 1638);
                EXPECT_EQ(last.text, "Model type is wrong.");
                EXPECT_EQ(last.title, "Error");
                EXPECT_TRUE(last.isError);
                EXPECT_TRUE(h.session.transferDone());
                EXPECT_FALSE(h.timerArmed);
            }
        }
    }
}

// Where the radio goes wrong, and the code the prompt then shows.
struct FaultCase {
    const char *name;
    CloneMode mode;
    // Returns the reply to use (nullopt: normal; empty: silence) for the n-th message sent.
    std::function<std::optional<Bytes>(int index, const Bytes &message)> fault;
    CloneError error;
    bool needsTimeout; // the radio went quiet, so the error comes from the time-out
};

const FaultCase kFaults[] = {
    {"silent radio", CloneMode::Read, [](int, const Bytes &) { return Bytes{}; }, CloneError::NoGreetingAck, true},
    {"junk after the greeting", CloneMode::Write,
     [](int, const Bytes &m) { return m == kGreeting ? std::optional<Bytes>(Bytes{0x15, 0x00}) : std::nullopt; },
     CloneError::NoGreetingAck, true},
    {"silent after the greeting", CloneMode::Read,
     [](int, const Bytes &m) { return m == kIdentify ? std::optional<Bytes>(Bytes{}) : std::nullopt; },
     CloneError::ReplyTimeout, true},
    {"short identification", CloneMode::Read,
     [](int, const Bytes &m) { return m == kIdentify ? std::optional<Bytes>(Bytes{0xFF, 0xFF, 0xFF}) : std::nullopt; },
     CloneError::ReplyTimeout, true},
    {"wrong acknowledgement of the identification", CloneMode::Write,
     [](int index, const Bytes &) { return index == 2 ? std::optional<Bytes>(Bytes{0x15}) : std::nullopt; },
     CloneError::BadReply, false},
    {"wrong acknowledgement of a read block", CloneMode::Read,
     [](int index, const Bytes &) { return index == 3 + 2 * 40 + 1 ? std::optional<Bytes>(Bytes{0x00}) : std::nullopt; },
     CloneError::BadReply, false},
    {"wrong acknowledgement of a written block", CloneMode::Write,
     [](int index, const Bytes &) { return index == 3 + 200 ? std::optional<Bytes>(Bytes{0x15}) : std::nullopt; },
     CloneError::BadReply, false},
    {"data reply for the next address", CloneMode::Read,
     [](int index, const Bytes &) {
         return index == 3 + 2 * 40 ? std::optional<Bytes>(Bytes{0x57, 0x01, 0x48, 0x08, 1, 2, 3, 4, 5, 6, 7, 8})
                                    : std::nullopt;
     },
     CloneError::BadReply, false},
    {"data reply with another command byte", CloneMode::Read,
     [](int index, const Bytes &) {
         return index == 3 ? std::optional<Bytes>(Bytes{0x52, 0x00, 0x00, 0x08, 1, 2, 3, 4, 5, 6, 7, 8}) : std::nullopt;
     },
     CloneError::BadReply, false},
    {"data reply with another count", CloneMode::Read,
     [](int index, const Bytes &) {
         return index == 3 + 2 * 511 ? std::optional<Bytes>(Bytes{0x57, 0x0F, 0xF8, 0x07, 1, 2, 3, 4, 5, 6, 7, 8})
                                     : std::nullopt;
     },
     CloneError::BadReply, false},
    {"short data reply", CloneMode::Read,
     [](int index, const Bytes &) {
         return index == 3 + 2 * 100 ? std::optional<Bytes>(Bytes(11, 0x11)) : std::nullopt;
     },
     CloneError::ReplyTimeout, true},
    {"no acknowledgement of the last write", CloneMode::Write,
     [](int index, const Bytes &) { return index == 3 + 508 ? std::optional<Bytes>(Bytes{}) : std::nullopt; },
     CloneError::ReplyTimeout, true},
};

void PrintTo(const FaultCase &c, std::ostream *os) { *os << c.name; }

class CloneSessionFault : public ::testing::TestWithParam<FaultCase> {};

// Brings the session to the fault's prompt and checks it; the harness is left at the prompt.
void ReachPrompt(Harness &h, const FaultCase &c)
{
    h.radio.override = [&c, index = 0](const Bytes &m) mutable -> std::optional<Bytes> { return c.fault(index++, m); };
    h.Run();
    if (c.needsTimeout) {
        ASSERT_TRUE(h.Of(Kind::AskRetry).empty());
        ASSERT_TRUE(h.timerArmed);
        ASSERT_TRUE(h.session.awaitingReply());
        h.Apply(h.session.Timeout());
    }
    const auto asks = h.Of(Kind::AskRetry);
    ASSERT_EQ(asks.size(), 1u);
    EXPECT_EQ(asks[0].error, c.error);
    const std::string firstLine = asks[0].text.substr(0, asks[0].text.find('\n'));
    EXPECT_EQ(firstLine, "Check Connection. Retry or Cancel?" + std::string(CloneErrorCode(c.error)));
    EXPECT_EQ(asks[0].title, "Error");
    EXPECT_TRUE(h.session.awaitingDecision());
    EXPECT_FALSE(h.timerArmed);
    EXPECT_NE(h.session.outcome(), CloneOutcome::Completed);
}

TEST_P(CloneSessionFault, CancelSendsEndAndStops)
{
    const FaultCase &c = GetParam();
    MemoryImage image = PatternImage(7);
    Harness h(c.mode, image, PatternImage(7));
    ReachPrompt(h, c);
    const std::size_t before = h.sent.size();

    // Late bytes at the prompt are dropped; a time-out there does nothing.
    EXPECT_TRUE(h.session.Receive(kAck).empty());
    EXPECT_TRUE(h.session.Timeout().empty());

    h.Apply(h.session.Cancel());
    ASSERT_EQ(h.sent.size(), before + 1);
    EXPECT_EQ(h.sent.back(), kEnd);
    EXPECT_EQ(h.session.outcome(), CloneOutcome::Cancelled);
    EXPECT_EQ(h.actions.back().kind, Kind::Finished);
    EXPECT_TRUE(h.session.Retry().empty());
    EXPECT_TRUE(h.session.Receive(kAck).empty());
}

TEST_P(CloneSessionFault, RetryStartsAgainFromTheGreetingAndCompletes)
{
    const FaultCase &c = GetParam();
    MemoryImage image = PatternImage(7);
    MemoryImage radio = PatternImage(11);
    for (int i = 0; i < 8; ++i)
        radio.set(addr::kRadioId + i, image.at(addr::kRadioId + i));
    Harness h(c.mode, image, radio);
    ReachPrompt(h, c);

    h.radio.override = nullptr; // the cable is fixed
    h.progress.clear();
    const std::size_t before = h.sent.size();
    // Retry first waits for the line to go quiet; nothing goes out, late bytes are dropped.
    h.Apply(h.session.Retry());
    ASSERT_TRUE(h.settleAsked);
    const auto settle = h.Of(Kind::SettleLine);
    EXPECT_EQ(settle.back().length, kRetryQuietMs);
    EXPECT_EQ(settle.back().maximum, kRetrySettleMaxMs);
    EXPECT_EQ(h.sent.size(), before);
    EXPECT_TRUE(h.session.Receive(Bytes{0x57, 0x00, 0x06, 0x06}).empty());
    EXPECT_TRUE(h.session.Timeout().empty());
    EXPECT_TRUE(h.session.Retry().empty());
    const CloneActions settled = h.session.LineSettled();
    ASSERT_FALSE(settled.empty());
    EXPECT_EQ(settled[0].kind, Kind::DiscardPending);
    h.Apply(settled);
    h.Pump();

    ASSERT_EQ(h.session.outcome(), CloneOutcome::Completed);
    EXPECT_EQ(h.sent[before], kGreeting);
    EXPECT_EQ(h.sent[before + 3], c.mode == CloneMode::Read ? CloneSession::ReadRequest(0)
                                                              : CloneSession::WriteRequest(0, image));
    EXPECT_EQ(h.progress.front().text, "Completion percentage:  0%");
    EXPECT_EQ(h.progress.front().value, 0);
    if (c.mode == CloneMode::Read) {
        EXPECT_EQ(h.session.cloneBuffer(), radio);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, CloneSessionFault, ::testing::ValuesIn(kFaults),
                         [](const auto &info) {
                             std::string name = info.param.name;
                             for (char &ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(CloneSession, StrayBytesAfterTheGreetingNeverExtendTheWaitButA06StillCounts)
{
    MemoryImage image = PatternImage(2);
    CloneSession s(CloneMode::Read, image, kEnglish);
    s.Start();
    // A line that keeps talking: the bytes are dropped, and the timer armed with the greeting
    // is neither stopped nor started again.
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(s.Receive(Bytes{0x24, 0x47, 0x50}).empty());
    const CloneActions ok = s.Receive(kAck);
    ASSERT_FALSE(ok.empty());
    const auto send = std::find_if(ok.begin(), ok.end(), [](const CloneAction &a) { return a.kind == Kind::Send; });
    ASSERT_NE(send, ok.end());
    EXPECT_EQ(send->bytes, kIdentify);
}

TEST(CloneSession, StrayBytesWithoutA06InTimeAreAMissingGreetingAck)
{
    MemoryImage image = PatternImage(2);
    CloneSession s(CloneMode::Read, image, kEnglish);
    s.Start();
    // Byte by byte, as a chattering port delivers them.
    for (std::uint8_t b : Bytes{0x24, 0x47, 0x50, 0x15, 0x00, 0xFF})
        EXPECT_TRUE(s.Receive(Bytes{b}).empty());
    const CloneActions timedOut = s.Timeout();
    const auto ask = std::find_if(timedOut.begin(), timedOut.end(),
                                  [](const CloneAction &a) { return a.kind == Kind::AskRetry; });
    ASSERT_NE(ask, timedOut.end());
    EXPECT_EQ(ask->error, CloneError::NoGreetingAck);
    EXPECT_TRUE(ask->text.starts_with("Check Connection. Retry or Cancel?(Error01)\n")) << ask->text;
    // A retry after a chattering line is judged afresh: the same again is (Error01) again.
    s.Retry();
    s.LineSettled();
    EXPECT_TRUE(s.Receive(Bytes{0x24}).empty());
    const CloneActions again = s.Timeout();
    const auto ask2 = std::find_if(again.begin(), again.end(),
                                   [](const CloneAction &a) { return a.kind == Kind::AskRetry; });
    ASSERT_NE(ask2, again.end());
    EXPECT_EQ(ask2->error, CloneError::NoGreetingAck);
}

// What came back in place of the radio's answer gives the prompt its second line; a cable that
// echoes is not taken for a radio of another model.
TEST(CloneSession, ThePromptSaysWhatTheLineGaveBack)
{
    struct Case {
        const char *name;
        std::function<std::optional<Bytes>(const Bytes &)> line; // what comes back for a message
        bool needsTimeout;
        CloneError error;
        LineHeard heard;
        std::string secondLine; // in Chinese
    };
    const auto echoWithRadio = [](const Bytes &m) -> std::optional<Bytes> {
        ScriptRadio radio{PatternImage(3), {}};
        Bytes both = m;
        const Bytes answer = radio.Answer(m);
        both.insert(both.end(), answer.begin(), answer.end());
        return both;
    };
    const Case cases[] = {
        {"silent", [](const Bytes &) { return Bytes{}; }, true, CloneError::NoGreetingAck, LineHeard::Nothing,
         "对讲机完全没有应答：请检查插头是否完全插入对讲机、对讲机是否已开机、端口是否选对。"},
        {"own bytes back", [](const Bytes &m) { return m; }, true, CloneError::NoGreetingAck, LineHeard::OwnBytes,
         "程序发出的字节原样返回：插头可能没有完全插入对讲机的插孔，或者这条写频线是为其他类型的对讲机做的。"},
        {"other bytes", [](const Bytes &) { return Bytes{0x02, 0x50, 0x00, 0x15}; }, true, CloneError::NoGreetingAck,
         LineHeard::OtherBytes, "返回了其他字节：接触不良，或此端口上连接的是其他设备。"},
        {"echo, then the radio", echoWithRadio, false, CloneError::BadReply, LineHeard::EchoFirst,
         "应答以程序自己发出的字节开头：这条写频线会把程序发出的一切送回，无法读出对讲机的应答。请使用为本对讲机制作的写频线。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Harness h(CloneMode::Read, PatternImage(3), PatternImage(3), kChinese);
        h.radio.override = c.line;
        h.Run();
        if (c.needsTimeout)
            h.Apply(h.session.Timeout());
        const auto asks = h.Of(Kind::AskRetry);
        ASSERT_EQ(asks.size(), 1u);
        EXPECT_EQ(asks[0].error, c.error);
        EXPECT_EQ(asks[0].text, "检测连接。重试或取消？" + std::string(CloneErrorCode(c.error)) + "\n" + c.secondLine);
        EXPECT_EQ(h.session.lineHeard(), c.heard);
        EXPECT_TRUE(h.Of(Kind::Message).empty()); // no "Model type is wrong."
    }

    // The radio's real identification wins over an echo it happens to resemble ("M" 02 ...).
    MemoryImage echoLike = PatternImage(3);
    echoLike.set(addr::kRadioId + 7, 0x4D);
    echoLike.set(addr::kRadioId + 6, 0x02);
    Harness real(CloneMode::Read, echoLike, echoLike);
    real.Run();
    EXPECT_EQ(real.session.outcome(), CloneOutcome::Completed);
}

TEST(CloneSession, AReplyForAnotherAddressKeepsNothing)
{
    MemoryImage image;
    image.fill(0xFF);
    MemoryImage radio = PatternImage(4);
    radio.fill(addr::kRadioId, 8, 0xFF);
    Harness h(CloneMode::Read, image, radio);
    // At block 7 the radio answers with block 8.
    h.radio.override = [&](const Bytes &m) -> std::optional<Bytes> {
        if (m == CloneSession::ReadRequest(7))
            return h.radio.Answer(CloneSession::ReadRequest(8));
        return std::nullopt;
    };
    h.Run();
    const auto asks = h.Of(Kind::AskRetry);
    ASSERT_EQ(asks.size(), 1u);
    EXPECT_EQ(asks[0].error, CloneError::BadReply);
    EXPECT_EQ(h.session.progressValue(), 7);
    for (int a = 7 * 8; a < 8 * 8; ++a)
        EXPECT_EQ(h.session.cloneBuffer().at(a), 0xFF) << a;
}

TEST(CloneSession, RepliesArrivingTogetherAreTakenInTurn)
{
    // The acknowledgement and the identification in one read: the identification waits until
    // "M" 02 has gone out, then is taken as its reply.
    MemoryImage image;
    image.fill(0xFF);
    CloneSession s(CloneMode::Read, image, kEnglish);
    s.Start();
    Bytes both{0x06, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::vector<Bytes> sent;
    for (const CloneAction &a : s.Receive(both))
        if (a.kind == Kind::Send)
            sent.push_back(a.bytes);
    EXPECT_EQ(sent, (std::vector<Bytes>{kIdentify, kAck}));
    EXPECT_EQ(s.cloneStep(), 1);
    EXPECT_EQ(s.awaitAck(), 1);
}

TEST(CloneSession, EventsOutOfTurnDoNothing)
{
    MemoryImage image;
    CloneSession s(CloneMode::Write, image, kEnglish);
    EXPECT_TRUE(s.Receive(kAck).empty());
    EXPECT_TRUE(s.Timeout().empty());
    EXPECT_TRUE(s.Retry().empty());
    EXPECT_FALSE(s.Start().empty());
    EXPECT_TRUE(s.Start().empty());
    EXPECT_TRUE(s.Retry().empty()); // no prompt is showing
    // Closing the window while a reply is awaited ends the transfer like Cancel.
    const CloneActions cancel = s.Cancel();
    ASSERT_FALSE(cancel.empty());
    EXPECT_EQ(cancel.front().bytes, kEnd);
    EXPECT_EQ(s.outcome(), CloneOutcome::Cancelled);
}

// The tests' time scale: only a factor in (0, 1] shortens time; anything else leaves it real, so a
// stray value can never slow a user's transfer down or stop its timers.
TEST(TimeScale, OnlyAFactorUpToOneShortensTime)
{
    const struct {
        const char *value; // nullptr: not set
        double scale;
    } cases[] = {{nullptr, 1.0}, {"", 1.0},   {"0.2", 0.2}, {"1", 1.0},  {"0", 1.0},
                 {"-0.5", 1.0},  {"2", 1.0},  {"0.2s", 1.0}, {"fast", 1.0}, {"nan", 1.0}};
    const auto set = [](const char *value) {
#ifdef _WIN32
        _putenv((std::string(kTimeScaleVariable) + "=" + (value ? value : "")).c_str()); // "NAME=" removes it
#else
        value ? setenv(kTimeScaleVariable, value, 1) : unsetenv(kTimeScaleVariable);
#endif
    };
    for (const auto &c : cases) {
        set(c.value);
        EXPECT_DOUBLE_EQ(TimeScale(), c.scale) << (c.value ? c.value : "(not set)");
    }
    set(nullptr);

    EXPECT_EQ(ScaledMs(500, 1.0), 500);
    EXPECT_EQ(ScaledMs(500, 0.2), 100);
    EXPECT_EQ(ScaledMs(3, 0.1), 1); // a timer never drops to 0 ms
    EXPECT_EQ(ScaledMs(0, 0.2), 0);
}

} // namespace
} // namespace zrk6
