#include "files/data_file.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "text/text_ids.h"

namespace zrk6 {
namespace {

constexpr std::string_view kFileMagic = "ZR-K6";

} // namespace

int DataFileErrorTextId(DataFileError error)
{
    return error == DataFileError::None ? 0 : text_id::kIncorrectFileType;
}

std::vector<std::uint8_t> EncodeDataFile(const MemoryImage &image)
{
    std::vector<std::uint8_t> plain(kPlainBlockSize, 0xFF);
    std::copy(kFileMagic.begin(), kFileMagic.end(), plain.begin());
    const auto bytes = image.bytes();
    std::copy(bytes.begin(), bytes.end(), plain.begin() + kFileHeaderSize);
    EliminatorResult compressed = EliminatorCompress(plain);
    if (!compressed.ok()) // cannot happen for a block of this size
        throw std::logic_error("data file block could not be compressed");
    return std::move(compressed.bytes);
}

DecodedDataFile DecodeDataFile(std::span<const std::uint8_t> bytes)
{
    DecodedDataFile result;
    if (bytes.empty()) {
        result.error = DataFileError::EmptyFile;
        return result;
    }
    if (bytes.size() > static_cast<std::size_t>(kMaxDataFileSize)) {
        result.error = DataFileError::IncorrectFileType;
        return result;
    }
    // Each pass of a data file adds at most one byte, so no stage of a genuine file's
    // expansion is longer than the block plus the number of passes.
    const EliminatorResult plain =
        EliminatorExpand(bytes, static_cast<std::size_t>(kPlainBlockSize + kMaxEliminatorPasses));
    if (!plain.ok() || plain.bytes.size() != static_cast<std::size_t>(kPlainBlockSize)
        || !std::equal(kFileMagic.begin(), kFileMagic.end(), plain.bytes.begin())) {
        result.error = DataFileError::IncorrectFileType;
        return result;
    }
    result.image.assign(std::span(plain.bytes).subspan(kFileHeaderSize));
    return result;
}

} // namespace zrk6
