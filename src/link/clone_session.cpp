#include "link/clone_session.h"

#include <algorithm>
#include <cstddef>

#include "text/text_ids.h"

namespace zrk6 {

namespace {

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kEnd = 0x45; // "E"
constexpr std::uint8_t kGreeting[] = {0x02, 0x50, 0x52, 0x4F, 0x47, 0x52, 0x41}; // 02 "PROGRA"
constexpr std::uint8_t kIdentify[] = {0x4D, 0x02};                               // "M" 02
constexpr int kDataReplyLength = 12;
constexpr int kDataReplyHeader = 4;
constexpr int kIdentificationLength = 8;
constexpr std::size_t kHeardKept = 64; // enough to tell an echo from other bytes

constexpr int kTextProgress = text_id::kCompletionPercentage;
constexpr int kTextRetry = text_id::kCheckConnection;
constexpr int kTextReadDone = text_id::kReadingCompleted;
constexpr int kTextWriteDone = text_id::kWritingCompleted;
constexpr int kTextReadCaption = text_id::kReadCaption;
constexpr int kTextWriteCaption = text_id::kWriteCaption;
constexpr int kTextWrongModel = text_id::kModelTypeWrong;
constexpr int kTextErrorTitle = text_id::kError;

CloneAction Make(CloneAction::Kind kind)
{
    CloneAction action{};
    action.kind = kind;
    return action;
}

} // namespace

std::string_view CloneErrorCode(CloneError error)
{
    switch (error) {
    case CloneError::NoGreetingAck: return "(Error01)";
    case CloneError::BadReply: return "(Error02)";
    case CloneError::ReplyTimeout: return "(Error03)";
    case CloneError::None: break;
    }
    return {};
}

CloneSession::CloneSession(CloneMode mode, const MemoryImage &image, LanguageMode language)
    : mode_(mode), language_(language), cloneBuffer_(image),
      progressMaximum_(mode == CloneMode::Read ? kReadProgressMaximum : kWriteProgressMaximum)
{
    for (int i = 0; i < kIdentificationLength; ++i)
        identification_[i] = image.at(addr::kRadioId + kIdentificationLength - 1 - i);
}

std::string CloneSession::Caption(CloneMode mode, LanguageMode language)
{
    return std::string(LoadText(mode == CloneMode::Read ? kTextReadCaption : kTextWriteCaption, language));
}

std::string CloneSession::ProgressLabel(int value, int maximum, LanguageMode language)
{
    return PercentLabel(LoadText(kTextProgress, language), value, maximum);
}

std::string CloneSession::PercentLabel(std::string_view prefix, int value, int maximum)
{
    std::string label(prefix);
    if (value <= 0 || maximum <= 0)
        return label + ":  0%";
    // The "0%" number format: value / maximum * 100, halves rounded up.
    const long long percent = (200LL * value + maximum) / (2LL * maximum);
    return label + ": " + std::to_string(percent) + "%";
}

std::vector<std::uint8_t> CloneSession::ReadRequest(int block)
{
    const int address = block * kCloneBlockSize;
    return {0x52, static_cast<std::uint8_t>(address / 256), static_cast<std::uint8_t>(address % 256),
            kCloneBlockSize};
}

std::vector<std::uint8_t> CloneSession::WriteRequest(int block, const MemoryImage &image)
{
    const int address = block * kCloneBlockSize;
    // Of the short block only the band limits are written.
    const int count = block == kWriteShortBlock ? kWriteShortBlockBytes : kCloneBlockSize;
    std::vector<std::uint8_t> message{0x57, static_cast<std::uint8_t>(address / 256),
                                      static_cast<std::uint8_t>(address % 256), static_cast<std::uint8_t>(count)};
    for (int i = 0; i < count; ++i)
        message.push_back(image.at(address + i));
    return message;
}

CloneActions CloneSession::Start()
{
    CloneActions out;
    if (phase_ != Phase::Idle)
        return out;
    cloneStep_ = 0;
    sentStep_ = kCloneStepUnsent;
    awaitAck_ = 1;
    transferDone_ = false;
    transferAborted_ = false;
    ResetProgress(out);
    SendCurrent(out);
    return out;
}

void CloneSession::ResetProgress(CloneActions &out)
{
    progressValue_ = 0;
    CloneAction action = Make(CloneAction::Kind::Progress);
    action.value = 0;
    action.maximum = progressMaximum_;
    action.text = ProgressLabel(0, progressMaximum_, language_);
    out.push_back(std::move(action));
}

void CloneSession::AdvanceProgress(CloneActions &out)
{
    ++progressValue_;
    CloneAction action = Make(CloneAction::Kind::Progress);
    action.value = progressValue_;
    action.maximum = progressMaximum_;
    action.text = ProgressLabel(progressValue_, progressMaximum_, language_);
    out.push_back(std::move(action));
}

// Sends the message of the current step (the send tick's rules a-h) and awaits its reply; the
// end message finishes the transfer instead.
void CloneSession::SendCurrent(CloneActions &out)
{
    if (sentStep_ == cloneStep_)
        return;

    CloneAction send = Make(CloneAction::Kind::Send);
    int expected = 1;
    int ackAfter = 1;
    if (cloneStep_ == 0) {
        send.bytes.assign(std::begin(kGreeting), std::end(kGreeting));
    } else if (cloneStep_ == 1 && awaitAck_ == 0) {
        send.bytes.assign(std::begin(kIdentify), std::end(kIdentify));
        expected = kIdentificationLength;
        ackAfter = 0;
    } else if (cloneStep_ == 1) {
        send.bytes = {kAck};
    } else if (cloneStep_ == kCloneEndStep) {
        send.bytes = {kEnd};
    } else if (mode_ == CloneMode::Write) {
        send.bytes = WriteRequest(cloneStep_ == kWriteShortBlock + 2 ? kWriteShortBlock : cloneStep_ - 2, cloneBuffer_);
    } else if (awaitAck_ == 0) {
        send.bytes = ReadRequest(cloneStep_ - 2);
        expected = kDataReplyLength;
        ackAfter = 0;
    } else {
        send.bytes = {kAck};
    }
    awaitAck_ = ackAfter;
    lastRequest_ = send.bytes;
    if (cloneStep_ == 0)
        heard_.clear();
    out.push_back(std::move(send));
    sentStep_ = cloneStep_;

    if (cloneStep_ == kCloneEndStep) {
        CloneAction message = Make(CloneAction::Kind::Message);
        message.textId = mode_ == CloneMode::Read ? kTextReadDone : kTextWriteDone;
        message.text = std::string(LoadText(message.textId, language_));
        message.title = std::string(kProductName);
        transferDone_ = true;
        // The completion message follows the end of the transfer, once the port is released.
        Finish(CloneOutcome::Completed, out);
        out.push_back(std::move(message));
        return;
    }

    expected_ = static_cast<std::size_t>(expected);
    phase_ = Phase::AwaitReply;
    CloneAction await = Make(CloneAction::Kind::AwaitReply);
    await.length = expected;
    out.push_back(std::move(await));
    CloneAction arm = Make(CloneAction::Kind::ArmTimer);
    arm.length = kReplyTimeoutMs;
    out.push_back(std::move(arm));
}

CloneActions CloneSession::Receive(std::span<const std::uint8_t> bytes)
{
    CloneActions out;
    if (phase_ != Phase::AwaitReply)
        return out;
    if (cloneStep_ == 0) {
        const std::size_t room = kHeardKept - std::min(kHeardKept, heard_.size());
        heard_.insert(heard_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), room)));
    }
    received_.insert(received_.end(), bytes.begin(), bytes.end());
    // Several replies may be waiting; each is taken once the one before it has been answered.
    while (phase_ == Phase::AwaitReply && received_.size() >= expected_) {
        const auto end = received_.begin() + static_cast<std::ptrdiff_t>(expected_);
        const std::vector<std::uint8_t> reply(received_.begin(), end);
        received_.erase(received_.begin(), end);
        HandleReply(reply, out);
    }
    if (phase_ != Phase::AwaitReply)
        received_.clear();
    return out;
}

void CloneSession::HandleReply(std::span<const std::uint8_t> reply, CloneActions &out)
{
    const bool isAck = reply.size() == 1 && reply[0] == kAck;
    if (awaitAck_ == 1 && cloneStep_ == 0 && !isAck) {
        // Anything but 06 after the greeting is dropped, but the wait does not start again: a
        // line that keeps talking must not hold the transfer for ever. If no 06 comes in time,
        // the greeting was simply never acknowledged.
        return;
    }
    out.push_back(Make(CloneAction::Kind::StopTimer));

    if (awaitAck_ == 1) {
        if (!isAck) {
            ReplyError(out);
            return;
        }
        awaitAck_ = 0;
        if (mode_ == CloneMode::Write && cloneStep_ >= 2 && cloneStep_ < kCloneEndStep) {
            AdvanceProgress(out);
            // Steps are block number + 2; the blocks that are never written are skipped.
            const int last = kWriteLastFullBlock + 2;
            const int shortStep = kWriteShortBlock + 2;
            cloneStep_ = cloneStep_ == last ? shortStep : cloneStep_ == shortStep ? kCloneEndStep : cloneStep_ + 1;
        } else {
            ++cloneStep_;
        }
    } else if (cloneStep_ == 1) {
        if (reply.size() != kIdentificationLength) {
            ReplyError(out);
            return;
        }
        if (!std::equal(reply.begin(), reply.end(), std::begin(identification_))) {
            // The request's own bytes ahead of the answer: the cable echoes, the model may be right.
            if (BeginsWithEcho(reply, lastRequest_)) {
                lineHeard_ = LineHeard::EchoFirst;
                ReplyError(out);
                return;
            }
            CloneAction end = Make(CloneAction::Kind::Send);
            end.bytes = {kEnd};
            out.push_back(std::move(end));
            transferAborted_ = true;
            transferDone_ = true;
            CloneAction message = Make(CloneAction::Kind::Message);
            message.textId = kTextWrongModel;
            message.text = std::string(LoadText(kTextWrongModel, language_));
            message.title = std::string(LoadText(kTextErrorTitle, language_));
            message.isError = true;
            Finish(CloneOutcome::WrongModel, out);
            out.push_back(std::move(message));
            return;
        }
        awaitAck_ = 1;
    } else {
        // A reply for another address (or another command) would store the wrong bytes here.
        const std::vector<std::uint8_t> request = ReadRequest(cloneStep_ - 2);
        const std::uint8_t header[kDataReplyHeader] = {0x57, request[1], request[2], request[3]};
        if (reply.size() != kDataReplyLength || !std::equal(std::begin(header), std::end(header), reply.begin())) {
            if (BeginsWithEcho(reply, lastRequest_))
                lineHeard_ = LineHeard::EchoFirst;
            ReplyError(out);
            return;
        }
        const int address = (cloneStep_ - 2) * kCloneBlockSize;
        for (int i = 0; i < kCloneBlockSize; ++i)
            cloneBuffer_.set(address + i, reply[kDataReplyHeader + i]);
        AdvanceProgress(out);
        awaitAck_ = 1;
    }

    if (cloneStep_ < kCloneEndStep)
        sentStep_ = kCloneStepUnsent;
    SendCurrent(out);
}

void CloneSession::ReplyError(CloneActions &out)
{
    transferAborted_ = true;
    AskRetry(out);
}

CloneActions CloneSession::Timeout()
{
    CloneActions out;
    if (phase_ != Phase::AwaitReply)
        return out;
    AskRetry(out);
    return out;
}

void CloneSession::AskRetry(CloneActions &out)
{
    CloneError error = CloneError::ReplyTimeout;
    if (awaitAck_ == 1 && cloneStep_ == 0 && !transferAborted_) {
        error = CloneError::NoGreetingAck;
        lineHeard_ = JudgeUnansweredLine(lastRequest_, heard_);
    } else if (transferAborted_) {
        error = CloneError::BadReply;
    }

    phase_ = Phase::Decide;
    received_.clear();
    out.push_back(Make(CloneAction::Kind::StopTimer));
    CloneAction ask = Make(CloneAction::Kind::AskRetry);
    ask.error = error;
    ask.textId = kTextRetry;
    ask.text = std::string(LoadText(kTextRetry, language_)) + std::string(CloneErrorCode(error));
    if (const std::string line = LineHeardText(lineHeard_, language_); !line.empty())
        ask.text += "\n" + line;
    ask.title = std::string(LoadText(kTextErrorTitle, language_));
    ask.isError = true;
    out.push_back(std::move(ask));
}

CloneActions CloneSession::Retry()
{
    CloneActions out;
    if (phase_ != Phase::Decide)
        return out;
    transferAborted_ = false;
    lineHeard_ = LineHeard::Answered;
    ResetProgress(out);
    cloneStep_ = 0;
    sentStep_ = kCloneStepUnsent;
    awaitAck_ = 1;
    phase_ = Phase::Settle;
    CloneAction settle = Make(CloneAction::Kind::SettleLine);
    settle.length = kRetryQuietMs;
    settle.maximum = kRetrySettleMaxMs;
    out.push_back(std::move(settle));
    return out;
}

CloneActions CloneSession::LineSettled()
{
    CloneActions out;
    if (phase_ != Phase::Settle)
        return out;
    out.push_back(Make(CloneAction::Kind::DiscardPending));
    SendCurrent(out);
    return out;
}

CloneActions CloneSession::Cancel()
{
    CloneActions out;
    if (phase_ == Phase::Finished)
        return out;
    if (phase_ != Phase::Idle) {
        CloneAction end = Make(CloneAction::Kind::Send);
        end.bytes = {kEnd};
        out.push_back(std::move(end));
    }
    transferAborted_ = true;
    Finish(CloneOutcome::Cancelled, out);
    return out;
}

void CloneSession::Finish(CloneOutcome outcome, CloneActions &out)
{
    phase_ = Phase::Finished;
    outcome_ = outcome;
    received_.clear();
    out.push_back(Make(CloneAction::Kind::StopTimer));
    CloneAction finished = Make(CloneAction::Kind::Finished);
    finished.outcome = outcome;
    out.push_back(std::move(finished));
}

} // namespace zrk6
