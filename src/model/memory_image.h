#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zrk6 {

inline constexpr int kImageSize = 4096;
inline constexpr int kImageRows = 256;
inline constexpr int kRowSize = 16;

// The radio's 4096-byte memory: addresses 0x000-0xFFF, 256 rows of 16 bytes
// (address = row * 16 + column). Every access is bounds-checked: an address,
// row, column or bit outside the image throws std::out_of_range.
class MemoryImage {
public:
    // The state before anything is loaded: all 0x00.
    MemoryImage() = default;

    std::uint8_t at(int address) const;
    void set(int address, std::uint8_t value);
    std::uint8_t at(int row, int column) const;
    void set(int row, int column, std::uint8_t value);

    // Bit b (0 = least significant) of the byte at address.
    bool bit(int address, int b) const;
    void setBit(int address, int b, bool on);
    // Replaces only the bits of mask: byte = (byte & ~mask) | (value & mask).
    void setMasked(int address, std::uint8_t mask, std::uint8_t value);

    void fill(std::uint8_t value);
    // Fills count bytes from address on.
    void fill(int address, int count, std::uint8_t value);

    // The whole image in address order.
    std::span<const std::uint8_t, kImageSize> bytes() const { return bytes_; }
    // Replaces the whole image; data must hold exactly 4096 bytes (else std::invalid_argument).
    void assign(std::span<const std::uint8_t> data);

    static int address(int row, int column);

    bool operator==(const MemoryImage &) const = default;

private:
    std::array<std::uint8_t, kImageSize> bytes_{};
};

// The addresses begin..end-1 of the image.
struct AddressRange {
    int begin = 0;
    int end = 0;

    constexpr int size() const { return end - begin; }
    constexpr bool contains(int address) const { return address >= begin && address < end; }
    bool operator==(const AddressRange &) const = default;
};

// What a write sends to the radio, in sending order: 0x000-0xFDF in blocks of eight, then
// the band limits 0xFF0-0xFF2. The PTT-ID name (0xFE0-0xFEF) and 0xFF3-0xFFF never go out.
inline constexpr std::array<AddressRange, 2> kRadioWriteRanges{{{0x000, 0xFE0}, {0xFF0, 0xFF3}}};
// True when a write to the radio sends the byte at address.
bool IsWrittenToRadio(int address);

// Addresses of the fields outside the channel records.
namespace addr {
inline constexpr int kVfo = 0xD00;
inline constexpr int kRadioId = 0xFB0;       // 0xFB0-0xFB7
inline constexpr int kBandVariant = 0xFBA;   // persisted as "LastFreq"
inline constexpr int kModel = 0xFBB;
inline constexpr int kFeatures = 0xFC0;      // 0xFC0-0xFC9
inline constexpr int kVfoStep = 0xFC7;
inline constexpr int kPriorityChannel = 0xFC9;
inline constexpr int kPttIdAni = 0xFD0;      // 0xFD0-0xFD3
inline constexpr int kPttIdName = 0xFE0;     // 0xFE0-0xFE5
inline constexpr int kBandLimits = 0xFF0;    // 0xFF0-0xFF2
} // namespace addr

} // namespace zrk6
