// Feeds the clone session any sequence of replies, time-outs and answers, split anywhere, and
// checks that it keeps its promises: sane actions, one end, nothing after the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/clone_session.h"

using namespace zrk6;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    MemoryImage image;
    image.fill(0xFF);
    const CloneMode mode = (data[0] & 1) ? CloneMode::Write : CloneMode::Read;
    CloneSession session(mode, image, (data[0] & 2) ? kChinese : kEnglish);
    bool finished = false;
    bool asking = false;
    bool settling = false;
    const auto apply = [&](const CloneActions &actions) {
        if (finished)
            Check(actions.empty());
        for (const CloneAction &a : actions) {
            switch (a.kind) {
            case CloneAction::Kind::Send: Check(!a.bytes.empty() && a.bytes.size() <= 12); break;
            case CloneAction::Kind::AwaitReply: Check(a.length == 1 || a.length == 8 || a.length == 12); break;
            case CloneAction::Kind::Progress: Check(a.value >= 0 && a.value <= a.maximum); break;
            case CloneAction::Kind::AskRetry: Check(!asking && !settling); asking = true; break;
            case CloneAction::Kind::SettleLine: Check(!settling && a.length > 0 && a.maximum >= a.length); settling = true; break;
            case CloneAction::Kind::Finished: Check(!finished); finished = true; break;
            default: break;
            }
        }
    };
    apply(session.Start());
    std::size_t i = 1;
    while (i < size) {
        const std::uint8_t control = data[i++];
        switch (control >> 6) {
        case 0: { // up to 63 received bytes
            const std::size_t n = std::min<std::size_t>(control & 0x3F, size - i);
            const CloneActions actions = session.Receive(std::span(data + i, n));
            Check(!settling || actions.empty()); // bytes while the line settles are dropped
            apply(actions);
            i += n;
            break;
        }
        case 1: {
            const CloneActions actions = session.Timeout();
            Check(!settling || actions.empty());
            apply(actions);
            break;
        }
        case 2:
            if (asking) {
                asking = false;
                apply((control & 1) ? session.Cancel() : session.Retry());
            } else if (settling) {
                settling = false;
                apply((control & 1) ? session.Cancel() : session.LineSettled());
            } else {
                Check(session.LineSettled().empty()); // out of turn
            }
            break;
        default: { // the well-behaved answer to whatever is awaited: lets the fuzzer reach late steps
            std::vector<std::uint8_t> reply{0x06};
            if (session.awaitAck() == 0 && session.cloneStep() == 1) {
                reply.assign(8, 0xFF); // the identification of the all-FF image
            } else if (session.awaitAck() == 0 && mode == CloneMode::Read && session.cloneStep() >= 2) {
                reply = CloneSession::ReadRequest(session.cloneStep() - 2);
                reply[0] = 0x57;
                reply.resize(12, control);
            }
            apply(session.Receive(reply));
            break;
        }
        }
    }
    Check(finished == (session.outcome() != CloneOutcome::Running));
    return 0;
}
