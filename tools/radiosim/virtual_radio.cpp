#include "virtual_radio.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

namespace zrk6::radiosim {

namespace {
constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kGreeting[] = {0x02, 0x50, 0x52, 0x4F, 0x47, 0x52, 0x41};
} // namespace

namespace {

// "corrupt:A": the address in decimal or with a 0x prefix in hexadecimal.
std::optional<RadioFault> ParseCorruptFault(std::string_view number)
{
    int base = 10;
    if (number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X')) {
        number.remove_prefix(2);
        base = 16;
    }
    RadioFault fault{RadioFault::Kind::Corrupt, 0, 0};
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), fault.address, base);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size() || fault.address < 0 ||
        fault.address >= kImageSize)
        return std::nullopt;
    return fault;
}

} // namespace

std::optional<RadioFault> ParseFault(std::string_view text)
{
    struct Name {
        std::string_view name;
        RadioFault::Kind kind;
        bool hasBlock;
    };
    static constexpr Name kNames[] = {
        {"silent", RadioFault::Kind::Silent, false},     {"wrong-id", RadioFault::Kind::WrongId, false},
        {"bad-greeting", RadioFault::Kind::BadGreeting, false}, {"bad-ack", RadioFault::Kind::BadAck, true},
        {"short", RadioFault::Kind::Short, true},       {"late", RadioFault::Kind::Late, true},
        {"hangup", RadioFault::Kind::HangUp, true},     {"wrong-address", RadioFault::Kind::WrongAddress, true},
        {"chatter", RadioFault::Kind::Chatter, false},
    };
    const std::size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    if (name == "corrupt")
        return ParseCorruptFault(colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1));
    for (const Name &n : kNames) {
        if (n.name != name)
            continue;
        RadioFault fault{n.kind, 0, 0};
        if (colon == std::string_view::npos)
            return fault;
        if (!n.hasBlock)
            return std::nullopt;
        const std::string_view number = text.substr(colon + 1);
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), fault.block);
        if (ec != std::errc() || end != number.data() + number.size() || fault.block < 0 || fault.block > 511)
            return std::nullopt;
        return fault;
    }
    return std::nullopt;
}

VirtualRadio::VirtualRadio(const MemoryImage &memory, RadioFault fault, RadioHabits habits)
    : memory_(memory), fault_(fault), habits_(habits)
{
}

bool VirtualRadio::BlockFault(RadioFault::Kind kind, int block)
{
    if (fault_.kind != kind || fault_.block != block || faultUsed_)
        return false;
    faultUsed_ = true;
    return true;
}

void VirtualRadio::CorruptStoredByte(int address, int count)
{
    const int target = fault_.address;
    if (fault_.kind != RadioFault::Kind::Corrupt || target < address || target >= address + count)
        return;
    memory_.set(target, static_cast<std::uint8_t>(memory_.at(target) ^ 0x10));
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%03X", target);
    Note(std::string("fault: corrupted the byte stored at ") + hex);
}

void VirtualRadio::Note(std::string text)
{
    events_ += text;
    events_ += '\n';
}

std::string VirtualRadio::TakeEvent()
{
    std::string events;
    events.swap(events_);
    if (!events.empty())
        events.pop_back();
    return events;
}

bool VirtualRadio::TakeWriteCompleted()
{
    return std::exchange(writeCompleted_, false);
}

void VirtualRadio::LineIdle()
{
    buffer_.clear();
}

void VirtualRadio::Reset()
{
    buffer_.clear();
    state_ = State::Idle;
}

std::vector<RadioReply> VirtualRadio::Receive(std::span<const std::uint8_t> bytes)
{
    std::vector<RadioReply> replies;
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    if (fault_.kind == RadioFault::Kind::Silent || fault_.kind == RadioFault::Kind::Chatter) {
        buffer_.clear();
        return replies;
    }

    const auto answer = [&](std::vector<std::uint8_t> reply) { replies.push_back(RadioReply{std::move(reply)}); };
    while (!buffer_.empty()) {
        const std::uint8_t first = buffer_[0];
        std::size_t used = 1;
        if (first == kGreeting[0]) {
            const std::size_t n = std::min(buffer_.size(), std::size(kGreeting));
            if (!std::equal(buffer_.begin(), buffer_.begin() + static_cast<long>(n), kGreeting)) {
                buffer_.erase(buffer_.begin()); // not a greeting after all
                continue;
            }
            if (n < std::size(kGreeting))
                break;
            used = n;
            if (habits_.ignoreFirstGreeting && !std::exchange(greetedBefore_, true)) {
                Note("ignored the first greeting");
                buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(used));
                continue;
            }
            state_ = State::Greeted;
            blocksRead_ = blocksWritten_ = 0;
            lastReadBlock_ = -1;
            if (fault_.kind == RadioFault::Kind::BadGreeting)
                answer({kNak});
            else
                replies.push_back(RadioReply{{kAck}, habits_.greetingAckDelayMs});
        } else if (first == 0x4D) { // "M": identify
            if (buffer_.size() < 2)
                break;
            used = 2;
            if (buffer_[1] == 0x02 && state_ == State::Greeted) {
                std::vector<std::uint8_t> id;
                for (int a = addr::kRadioId + 7; a >= addr::kRadioId; --a)
                    id.push_back(memory_.at(a));
                if (fault_.kind == RadioFault::Kind::WrongId)
                    for (std::uint8_t &b : id)
                        b = static_cast<std::uint8_t>(b ^ 0x5A);
                state_ = State::Identified;
                answer(std::move(id));
            }
        } else if (first == kAck) {
            if (state_ == State::Identified) {
                state_ = State::Ready;
                answer({kAck});
            } else if (state_ == State::Ready) {
                if (lastReadBlock_ >= 0 && BlockFault(RadioFault::Kind::BadAck, lastReadBlock_)) {
                    Note("fault: wrong acknowledgement at block " + std::to_string(lastReadBlock_));
                    answer({kNak});
                } else {
                    answer({kAck});
                }
                lastReadBlock_ = -1;
            }
        } else if (first == 0x52 || first == 0x57) { // "R" / "W"
            if (buffer_.size() < 4)
                break;
            const int address = buffer_[1] * 256 + buffer_[2];
            const int count = buffer_[3];
            const bool write = first == 0x57;
            if (write && buffer_.size() < 4u + count)
                break;
            used = write ? 4u + count : 4u;
            if (state_ != State::Ready || count > 16 || address + count > kImageSize)
                ; // not in clone mode, or nonsense: ignored
            else {
                const int block = address / 8;
                RadioReply reply;
                if (write) {
                    if (blocksWritten_ == 0)
                        Note("write request at block " + std::to_string(block));
                    for (int i = 0; i < count; ++i)
                        memory_.set(address + i, buffer_[4 + i]);
                    CorruptStoredByte(address, count);
                    ++blocksWritten_;
                    if (BlockFault(RadioFault::Kind::BadAck, block)) {
                        Note("fault: wrong acknowledgement at block " + std::to_string(block));
                        reply.bytes = {kNak};
                    } else {
                        reply.bytes = {kAck};
                    }
                } else {
                    // Logged as a read starts, so that a test knows when it is under way.
                    if (blocksRead_ == 0)
                        Note("read request at block " + std::to_string(block));
                    int from = address;
                    if (BlockFault(RadioFault::Kind::WrongAddress, block)) {
                        from = (address + 8) % kImageSize;
                        if (from + count > kImageSize)
                            from = 0;
                        Note("fault: reply for address " + std::to_string(from) + " at block " + std::to_string(block));
                    }
                    reply.bytes = {0x57, static_cast<std::uint8_t>(from >> 8), static_cast<std::uint8_t>(from & 0xFF),
                                   static_cast<std::uint8_t>(count)};
                    for (int i = 0; i < count; ++i)
                        reply.bytes.push_back(memory_.at(from + i));
                    ++blocksRead_;
                    lastReadBlock_ = block;
                }
                if (BlockFault(RadioFault::Kind::Short, block)) {
                    reply.bytes.pop_back();
                    Note("fault: short reply at block " + std::to_string(block));
                } else if (BlockFault(RadioFault::Kind::Late, block)) {
                    reply.delayMs = kLateReplyMs;
                    Note("fault: late reply at block " + std::to_string(block));
                } else if (BlockFault(RadioFault::Kind::HangUp, block)) {
                    reply.bytes.clear();
                    reply.hangUp = true;
                    Note("fault: hang-up at block " + std::to_string(block));
                }
                replies.push_back(std::move(reply));
            }
        } else if (first == 0x45) { // "E"
            if (state_ != State::Idle) {
                if (blocksWritten_ > 0) {
                    writeCompleted_ = true;
                    Note("write ended: " + std::to_string(blocksWritten_) + " blocks written");
                } else if (blocksRead_ > 0) {
                    Note("read ended: " + std::to_string(blocksRead_) + " blocks read");
                } else {
                    Note("transfer ended before any block");
                }
            }
            state_ = State::Idle;
        }
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(std::min(used, buffer_.size())));
    }
    return replies;
}

} // namespace zrk6::radiosim
