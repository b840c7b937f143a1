// Feeds the clone session any sequence of replies, time-outs and answers, split anywhere, and
// checks that it keeps its promises: sane actions, one end, nothing after the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
    const auto apply = [&](const CloneActions &actions) {
        if (finished)
            Check(actions.empty());
        for (const CloneAction &a : actions) {
            switch (a.kind) {
            case CloneAction::Kind::Send: Check(!a.bytes.empty() && a.bytes.size() <= 12); break;
            case CloneAction::Kind::AwaitReply: Check(a.length == 1 || a.length == 8 || a.length == 12); break;
            case CloneAction::Kind::Progress: Check(a.value >= 0 && a.value <= a.maximum); break;
            case CloneAction::Kind::AskRetry: Check(!asking); asking = true; break;
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
            apply(session.Receive(std::span(data + i, n)));
            i += n;
            break;
        }
        case 1: apply(session.Timeout()); break;
        case 2:
            if (asking) {
                asking = false;
                apply((control & 1) ? session.Cancel() : session.Retry());
            }
            break;
        default: { // the well-behaved answer to whatever is awaited: lets the fuzzer reach late steps
            static const std::uint8_t ack = 0x06;
            apply(session.Receive(std::span(&ack, 1)));
            break;
        }
        }
    }
    Check(finished == (session.outcome() != CloneOutcome::Running));
    return 0;
}
