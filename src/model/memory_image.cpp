#include "model/memory_image.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace zrk6 {
namespace {

void checkAddress(int address)
{
    if (address < 0 || address >= kImageSize)
        throw std::out_of_range("image address out of range: " + std::to_string(address));
}

void checkBit(int b)
{
    if (b < 0 || b > 7)
        throw std::out_of_range("bit number out of range: " + std::to_string(b));
}

} // namespace

int MemoryImage::address(int row, int column)
{
    if (row < 0 || row >= kImageRows || column < 0 || column >= kRowSize)
        throw std::out_of_range("image row/column out of range: " + std::to_string(row) + "/" +
                                std::to_string(column));
    return row * kRowSize + column;
}

std::uint8_t MemoryImage::at(int address) const
{
    checkAddress(address);
    return bytes_[static_cast<std::size_t>(address)];
}

void MemoryImage::set(int address, std::uint8_t value)
{
    checkAddress(address);
    bytes_[static_cast<std::size_t>(address)] = value;
}

std::uint8_t MemoryImage::at(int row, int column) const
{
    return at(address(row, column));
}

void MemoryImage::set(int row, int column, std::uint8_t value)
{
    set(address(row, column), value);
}

bool MemoryImage::bit(int address, int b) const
{
    checkBit(b);
    return (at(address) >> b) & 1U;
}

void MemoryImage::setBit(int address, int b, bool on)
{
    checkBit(b);
    setMasked(address, static_cast<std::uint8_t>(1U << b), on ? 0xFF : 0x00);
}

void MemoryImage::setMasked(int address, std::uint8_t mask, std::uint8_t value)
{
    const std::uint8_t old = at(address);
    set(address, static_cast<std::uint8_t>((old & ~mask) | (value & mask)));
}

void MemoryImage::fill(std::uint8_t value)
{
    bytes_.fill(value);
}

void MemoryImage::fill(int address, int count, std::uint8_t value)
{
    if (count <= 0)
        return;
    checkAddress(address);
    checkAddress(address + count - 1);
    std::fill_n(bytes_.begin() + address, count, value);
}

void MemoryImage::assign(std::span<const std::uint8_t> data)
{
    if (data.size() != bytes_.size())
        throw std::invalid_argument("an image holds exactly 4096 bytes, got " + std::to_string(data.size()));
    std::copy(data.begin(), data.end(), bytes_.begin());
}

bool IsWrittenToRadio(int address)
{
    return std::any_of(kRadioWriteRanges.begin(), kRadioWriteRanges.end(),
                       [address](const AddressRange &r) { return r.contains(address); });
}

} // namespace zrk6
