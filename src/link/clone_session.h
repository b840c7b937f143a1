#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/line_diagnosis.h"
#include "model/memory_image.h"
#include "text/text_table.h"

namespace zrk6 {

// The direction of a transfer: 0 reads the radio into the program, 1 writes the image to the radio.
enum class CloneMode : int { Read = 0, Write = 1 };

inline constexpr int kCloneBaudRate = 9600;
inline constexpr int kReplyTimeoutMs = 500;
// Before a retry greets, the line must have been quiet this long (a late reply of the failed
// attempt would otherwise be read as the new answers), or this much time must have passed in all.
inline constexpr int kRetryQuietMs = 1000;
inline constexpr int kRetrySettleMaxMs = 3000;
inline constexpr int kCloneBlockSize = 8;
inline constexpr int kCloneBlockCount = 512;
inline constexpr int kCloneEndStep = 514;
inline constexpr int kCloneStepUnsent = 800; // SentStep: the current step's message is still due
inline constexpr int kReadProgressMaximum = 512;
// A write sends kRadioWriteRanges: blocks 0..507 whole, then only the first bytes of block 510.
inline constexpr int kWriteLastFullBlock = kRadioWriteRanges[0].end / kCloneBlockSize - 1;
inline constexpr int kWriteShortBlock = kRadioWriteRanges[1].begin / kCloneBlockSize;
inline constexpr int kWriteShortBlockBytes = kRadioWriteRanges[1].size();
inline constexpr int kWriteProgressMaximum = kWriteLastFullBlock + 2; // one step per message
static_assert(kRadioWriteRanges[0].begin == 0 && kRadioWriteRanges[0].end % kCloneBlockSize == 0 &&
              kRadioWriteRanges[1].begin % kCloneBlockSize == 0 && kWriteShortBlockBytes < kCloneBlockSize);

// Why a transfer stopped at an error prompt.
enum class CloneError {
    None = 0,
    NoGreetingAck, // "(Error01)": the greeting was never acknowledged
    BadReply,      // "(Error02)": a reply was wrong
    ReplyTimeout,  // "(Error03)": a later reply did not arrive complete in time
};

// "(Error01)", "(Error02)", "(Error03)"; empty for None.
std::string_view CloneErrorCode(CloneError error);

// How a transfer ended.
enum class CloneOutcome {
    Running = 0,
    Completed,
    WrongModel, // the identification differed; "E" was sent
    Cancelled,  // Cancel at an error prompt; "E" was sent
};

// One thing the driver must do, in the order the session returns them.
struct CloneAction {
    enum class Kind {
        Send,           // write `bytes` to the port
        AwaitReply,     // the next reply is `length` bytes long
        ArmTimer,       // (re)start the reply timer with `length` milliseconds
        StopTimer,      // stop the reply timer
        DiscardPending, // drop unread and unsent bytes of the port
        SettleLine,     // wait until no byte has arrived for `length` ms (at most `maximum` ms in all),
                        // then call LineSettled()
        Progress,       // show `value` of `maximum` and the label `text`
        Message,        // an OK message box: `textId`, `text`, `title`, `isError` picks the icon
        AskRetry,       // the Retry/Cancel prompt (`text` ends in the error code); answer with Retry() or Cancel()
        Finished,       // the transfer is over (`outcome`): close the port once the sent bytes are out;
                        // a closing message (completion, wrong model) may follow
    };

    Kind kind;
    std::vector<std::uint8_t> bytes;
    int length = 0;
    int value = 0;
    int maximum = 0;
    int textId = 0;
    std::string text;
    std::string title;
    bool isError = false;
    CloneError error = CloneError::None;
    CloneOutcome outcome = CloneOutcome::Running;
};

using CloneActions = std::vector<CloneAction>;

// The clone protocol as a state machine that does no I/O: the driver feeds it events (start,
// received bytes, the reply time-out, the user's answer to the Retry/Cancel prompt) and carries
// out the actions it returns. Each message goes out as soon as the previous reply is processed.
// The session works on its own copy of the image (CloneBuffer); the caller's image is never
// touched, so a read that does not complete changes nothing. Events that do not fit the current
// phase return no actions.
class CloneSession {
public:
    // image: the image to write, and whose bytes 0xFB0-0xFB7 the radio's identification must match.
    CloneSession(CloneMode mode, const MemoryImage &image, LanguageMode language);

    // Begins the transfer with the greeting; the progress reads 0%.
    CloneActions Start();
    // Bytes from the port, in any split. Bytes beyond a reply wait for the next one; bytes while
    // no reply is awaited (at a prompt, while the line settles, after the end) are dropped.
    // Stray bytes never extend the time a reply has: after the greeting they are dropped, and
    // if no 06 follows in time the error is (Error01). A data reply must carry
    // the header 57 AH AL 08 of its request, or it is (Error02) and nothing of it is kept.
    CloneActions Receive(std::span<const std::uint8_t> bytes);
    // The reply timer ran out.
    CloneActions Timeout();
    // The answer to AskRetry: Retry waits for the line to settle (SettleLine) and then starts again
    // from the greeting; Cancel sends "E" and ends. Cancel also ends a transfer that is waiting
    // for a reply or for the line to settle (the window was closed).
    CloneActions Retry();
    // The line has been quiet after a Retry: pending bytes are discarded and the greeting goes out.
    CloneActions LineSettled();
    CloneActions Cancel();

    CloneMode mode() const { return mode_; }
    CloneOutcome outcome() const { return outcome_; }
    bool awaitingReply() const { return phase_ == Phase::AwaitReply; }
    bool awaitingDecision() const { return phase_ == Phase::Decide; }
    // After a completed read: the radio's whole memory. Otherwise a mix; do not use it then.
    const MemoryImage &cloneBuffer() const { return cloneBuffer_; }

    int cloneStep() const { return cloneStep_; }
    int sentStep() const { return sentStep_; }
    int awaitAck() const { return awaitAck_; }
    bool transferDone() const { return transferDone_; }
    bool transferAborted() const { return transferAborted_; }
    int progressValue() const { return progressValue_; }
    int progressMaximum() const { return progressMaximum_; }
    // What the line gave back at the last error prompt (Answered when the radio's reply came).
    LineHeard lineHeard() const { return lineHeard_; }

    // The window caption: text 1633 (read) or 1634 (write).
    static std::string Caption(CloneMode mode, LanguageMode language);
    // Text 1604 + ":  0%" at 0, else text 1604 + ": " + the rounded percentage.
    static std::string ProgressLabel(int value, int maximum, LanguageMode language);
    // prefix + ":  0%" at 0, else prefix + ": " + the rounded percentage.
    static std::string PercentLabel(std::string_view prefix, int value, int maximum);
    // The message for one block: read request 52 AH AL 08, or write request 57 AH AL n D0..Dn-1.
    static std::vector<std::uint8_t> ReadRequest(int block);
    static std::vector<std::uint8_t> WriteRequest(int block, const MemoryImage &image);

private:
    enum class Phase { Idle, AwaitReply, Decide, Settle, Finished };

    void SendCurrent(CloneActions &out);
    void HandleReply(std::span<const std::uint8_t> reply, CloneActions &out);
    void ReplyError(CloneActions &out);
    void AskRetry(CloneActions &out);
    void AdvanceProgress(CloneActions &out);
    void ResetProgress(CloneActions &out);
    void Finish(CloneOutcome outcome, CloneActions &out);

    CloneMode mode_;
    LanguageMode language_;
    MemoryImage cloneBuffer_;
    std::uint8_t identification_[8]; // image 0xFB7 down to 0xFB0, in the order the radio sends it

    Phase phase_ = Phase::Idle;
    CloneOutcome outcome_ = CloneOutcome::Running;
    int cloneStep_ = 0;
    int sentStep_ = kCloneStepUnsent;
    int awaitAck_ = 1;
    bool transferDone_ = false;
    bool transferAborted_ = false;
    int progressValue_ = 0;
    int progressMaximum_;
    std::size_t expected_ = 0;
    std::vector<std::uint8_t> received_;
    // The last message sent, and what arrived while the greeting waited for its 06: an error
    // prompt tells the user which of them came back.
    std::vector<std::uint8_t> lastRequest_;
    std::vector<std::uint8_t> heard_;
    LineHeard lineHeard_ = LineHeard::Answered;
};

} // namespace zrk6
