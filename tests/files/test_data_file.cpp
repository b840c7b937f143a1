#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "files/data_file.h"
#include "files/eliminator.h"
#include "model/band.h"

namespace zrk6 {
namespace {

using Bytes = std::vector<std::uint8_t>;

MemoryImage StartupImage(int bandRow)
{
    MemoryImage image;
    image.set(addr::kBandVariant, 240);
    image.set(addr::kModel, kStartupModelByte);
    BuildDefaultImage(image, BandFromRow(bandRow));
    return image;
}

Bytes Block(const std::string &magic, std::size_t size)
{
    Bytes block(size, 0xFF);
    std::copy(magic.begin(), magic.end(), block.begin());
    return block;
}

Bytes Compressed(const Bytes &plain) { return EliminatorCompress(plain).bytes; }

TEST(DataFile, StoresTheHeaderAndTheImageInAddressOrder)
{
    MemoryImage image = StartupImage(1);
    image.set(0x000, 0x12);
    image.set(0xFFF, 0x34);
    image.set(0x900, 0x00);
    const EliminatorResult plain = EliminatorExpand(EncodeDataFile(image), kPlainBlockSize);
    ASSERT_TRUE(plain.ok());
    Bytes expected = Block("ZR-K6", kFileHeaderSize);
    expected.insert(expected.end(), image.bytes().begin(), image.bytes().end());
    EXPECT_EQ(plain.bytes, expected);
}

TEST(DataFile, EveryDefaultImageAndArbitraryImagesRoundTrip)
{
    std::vector<MemoryImage> images;
    for (int row = 0; row < kBandCount; ++row)
        images.push_back(StartupImage(row));
    std::mt19937 random(4112);
    for (const double density : {0.0, 0.5, 0.95}) {
        std::bernoulli_distribution erased(density);
        std::uniform_int_distribution<int> any(0, 255);
        MemoryImage image;
        for (int a = 0; a < kImageSize; ++a)
            image.set(a, erased(random) ? 0xFF : static_cast<std::uint8_t>(any(random)));
        images.push_back(image);
    }
    MemoryImage zeros; // the all-zero image before start-up
    images.push_back(zeros);

    for (const MemoryImage &image : images) {
        const Bytes file = EncodeDataFile(image);
        EXPECT_LE(file.size(), static_cast<std::size_t>(kMaxDataFileSize));
        const DecodedDataFile decoded = DecodeDataFile(file);
        ASSERT_TRUE(decoded.ok());
        EXPECT_EQ(decoded.image, image);
    }
}

// An image whose first pass over the block is applied although it grows the block by one
// byte: its expansion passes through a stage of 4113 bytes.
MemoryImage ImageWhoseFirstPassGrows()
{
    // E = 0xFF: the 11 header bytes take three codes; in the image, each E after seven
    // others takes one code and two runs of 134 others take one code each, so the codes
    // number C - 6 and the pass result is 3 + 4 + (C - 6) + (4112 - C) = 4113 bytes.
    Bytes image;
    std::uint8_t next = 0;
    auto other = [&] {
        image.push_back(next);
        next = next == 0xFE ? 0 : next + 1;
    };
    for (int i = 0; i < 5; ++i) // the group that holds header bytes 14 and 15 ends here
        other();
    for (int i = 0; i < 2 * 134; ++i)
        other();
    for (int e = 0; e < 89; ++e) {
        for (int i = 0; i < 7; ++i)
            other();
        image.push_back(0xFF);
    }
    while (image.size() < static_cast<std::size_t>(kImageSize))
        other();
    MemoryImage result;
    result.assign(image);
    return result;
}

TEST(DataFile, OpensAFileWhoseFirstPassGrewTheBlock)
{
    const MemoryImage image = ImageWhoseFirstPassGrows();
    Bytes plain = Block("ZR-K6", kFileHeaderSize);
    plain.insert(plain.end(), image.bytes().begin(), image.bytes().end());
    const auto firstPass = CompressPass(plain);
    ASSERT_TRUE(firstPass);
    ASSERT_EQ(firstPass->size(), static_cast<std::size_t>(kPlainBlockSize) + 1);

    const DecodedDataFile decoded = DecodeDataFile(EncodeDataFile(image));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.image, image);
}

struct Refusal {
    const char *name;
    Bytes file;
    DataFileError error;
};

TEST(DataFile, RefusesWhatIsNotADataFile)
{
    Bytes oversized = EncodeDataFile(StartupImage(1));
    oversized.insert(oversized.begin(), kMaxDataFileSize, 0x00);
    const Refusal refusals[] = {
        {"empty file", {}, DataFileError::EmptyFile},
        {"other header", Compressed(Block("ZR-K7", kPlainBlockSize)), DataFileError::IncorrectFileType},
        {"lower-case header", Compressed(Block("zr-k6", kPlainBlockSize)), DataFileError::IncorrectFileType},
        {"4111 bytes", Compressed(Block("ZR-K6", kPlainBlockSize - 1)), DataFileError::IncorrectFileType},
        {"4113 bytes", Compressed(Block("ZR-K6", kPlainBlockSize + 1)), DataFileError::IncorrectFileType},
        {"uncompressed block", Block("ZR-K6", kPlainBlockSize), DataFileError::IncorrectFileType},
        {"text file", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, DataFileError::IncorrectFileType},
        {"bomb", Compressed(Bytes(300000, 0x00)), DataFileError::IncorrectFileType},
        {"longer than any data file", oversized, DataFileError::IncorrectFileType},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.name);
        const DecodedDataFile decoded = DecodeDataFile(r.file);
        EXPECT_EQ(decoded.error, r.error);
        EXPECT_EQ(DataFileErrorTextId(decoded.error), 1112);
    }
}

TEST(DataFile, OnlyTheFiveCharactersOfTheHeaderAreChecked)
{
    Bytes plain = Block("ZR-K6", kPlainBlockSize);
    std::fill(plain.begin() + 5, plain.begin() + kFileHeaderSize, 0x00);
    plain[kFileHeaderSize + 0xFBB] = 0x39;
    const DecodedDataFile decoded = DecodeDataFile(Compressed(plain));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.image.at(0xFBB), 0x39);
}

TEST(DataFile, EveryTruncationIsRefused)
{
    for (const MemoryImage &image : {StartupImage(6), ImageWhoseFirstPassGrows()}) {
        const Bytes file = EncodeDataFile(image);
        for (std::size_t length = 0; length < file.size(); ++length) {
            const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
            EXPECT_FALSE(DecodeDataFile(cut).ok()) << length;
        }
    }
}

} // namespace
} // namespace zrk6
