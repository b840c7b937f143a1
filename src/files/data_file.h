#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "files/eliminator.h"
#include "model/memory_image.h"

namespace zrk6 {

// The uncompressed file content: "ZR-K6", eleven 0xFF, then the 4096 image bytes.
inline constexpr int kFileHeaderSize = 16;
inline constexpr int kPlainBlockSize = kFileHeaderSize + kImageSize; // 4112

// No pass applied to a block of this size adds more than one byte, so no data file (and no
// stage of its expansion) is longer than this.
inline constexpr int kMaxDataFileSize = kPlainBlockSize + kMaxEliminatorPasses + 1;

enum class DataFileError {
    None = 0,
    EmptyFile,         // no bytes at all
    IncorrectFileType, // does not expand to a 4112-byte block beginning with "ZR-K6"
};

struct DecodedDataFile {
    MemoryImage image; // valid only when ok()
    DataFileError error = DataFileError::None;

    bool ok() const { return error == DataFileError::None; }
};

// The text id to show for a refusal: 1112 "Incorrect File Type." for every error.
int DataFileErrorTextId(DataFileError error);

// The file bytes of an image: the compressed PlainBlock, in memory.
std::vector<std::uint8_t> EncodeDataFile(const MemoryImage &image);

// The image stored in data file bytes, or a refusal. Bounded in time and memory for any input.
DecodedDataFile DecodeDataFile(std::span<const std::uint8_t> bytes);

} // namespace zrk6
