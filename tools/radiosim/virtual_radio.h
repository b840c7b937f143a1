#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/memory_image.h"

namespace zrk6::radiosim {

// A way to misbehave on purpose. The whole-transfer faults last for every transfer; the block
// faults strike once, the first time their block comes up, so a retry then succeeds.
struct RadioFault {
    enum class Kind {
        None,
        Silent,      // never answers
        WrongId,     // answers the identification with other bytes
        BadGreeting, // answers the greeting with bytes other than 06
        BadAck,      // at BLOCK: a wrong acknowledgement (0x15)
        Short,       // at BLOCK: a reply one byte short
        Late,        // at BLOCK: the reply comes a second late
        HangUp,      // at BLOCK: the line goes dead
        WrongAddress, // at BLOCK: the data reply of the next block (of block 0 for 511)
        Chatter,     // never answers; keeps sending stray text, as a GPS on the same adapter does
        Corrupt,     // every write stores the byte at ADDRESS with bit 4 flipped (a weak memory cell)
    };
    Kind kind = Kind::None;
    int block = 0;
    int address = 0; // Corrupt only
};

// Parses "silent", "chatter", "wrong-id", "bad-greeting", "bad-ack:N", "short:N", "late:N",
// "hangup:N", "wrong-address:N" (N a block 0..511, 0 when left out) and "corrupt:A" (A an
// address 0..4095, decimal or 0x hexadecimal). nullopt for anything else.
std::optional<RadioFault> ParseFault(std::string_view text);

inline constexpr int kLateReplyMs = 1000;

// Habits of a radio that answers, but not the way a fresh one on the bench does.
struct RadioHabits {
    bool ignoreFirstGreeting = false; // the first greeting after power-on goes unanswered
    int greetingAckDelayMs = 0;       // the acknowledgement of every greeting comes this late
};

// What the chattering line says, over and over, one byte every kChatterByteMs.
inline constexpr std::string_view kChatterText = "$GPGLL,,,,,,V,N*64\r\n";
inline constexpr int kChatterByteMs = 10;

// What the radio does in answer to a message.
struct RadioReply {
    std::vector<std::uint8_t> bytes;
    int delayMs = 0;     // hold the reply back this long
    bool hangUp = false; // drop the line instead of answering
};

// The radio's side of the clone protocol, without I/O: bytes in, replies out. Answers the
// greeting, identification (0xFB7 down to 0xFB0), acknowledgements, read and write requests
// and the end byte from its memory.
class VirtualRadio {
public:
    VirtualRadio(const MemoryImage &memory, RadioFault fault, RadioHabits habits = {});

    // Bytes from the line, in any split; returns the replies in order.
    std::vector<RadioReply> Receive(std::span<const std::uint8_t> bytes);
    // The line has been quiet for a while: a half-received message is forgotten.
    void LineIdle();
    // Starts afresh after a hang-up.
    void Reset();

    const MemoryImage &memory() const { return memory_; }
    bool chatters() const { return fault_.kind == RadioFault::Kind::Chatter; }
    // True once per transfer that wrote to the memory and ended with "E".
    bool TakeWriteCompleted();
    // One line per transfer that starts reading or writing blocks, per finished transfer and per
    // fault, for the log; empty when nothing to say.
    std::string TakeEvent();

private:
    enum class State { Idle, Greeted, Identified, Ready };
    bool BlockFault(RadioFault::Kind kind, int block);
    void CorruptStoredByte(int address, int count);
    void Note(std::string text);

    MemoryImage memory_;
    RadioFault fault_;
    RadioHabits habits_;
    bool faultUsed_ = false;
    bool greetedBefore_ = false;
    State state_ = State::Idle;
    std::vector<std::uint8_t> buffer_;
    int lastReadBlock_ = -1;
    int blocksRead_ = 0;
    int blocksWritten_ = 0;
    bool writeCompleted_ = false;
    std::string events_;
};

} // namespace zrk6::radiosim
