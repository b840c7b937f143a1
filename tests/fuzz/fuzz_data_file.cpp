// Fuzzes the data-file reader and the Eliminator codec with arbitrary bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "files/data_file.h"
#include "files/eliminator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);

    // Whatever the reader accepts must survive being saved and opened again.
    const zrk6::DecodedDataFile decoded = zrk6::DecodeDataFile(input);
    if (decoded.ok()) {
        const zrk6::DecodedDataFile again = zrk6::DecodeDataFile(zrk6::EncodeDataFile(decoded.image));
        if (!again.ok() || !(again.image == decoded.image))
            std::abort();
    }

    // Any image at all (the input, repeated) is saved to a file that opens to the same image.
    if (size > 0) {
        zrk6::MemoryImage image;
        for (int a = 0; a < zrk6::kImageSize; ++a)
            image.set(a, data[static_cast<std::size_t>(a) % size]);
        const zrk6::DecodedDataFile reopened = zrk6::DecodeDataFile(zrk6::EncodeDataFile(image));
        if (!reopened.ok() || !(reopened.image == image))
            std::abort();
    }

    // Expansion without the reader's size checks must stay within its limit.
    constexpr std::size_t kLimit = 1 << 16;
    const zrk6::EliminatorResult expanded = zrk6::EliminatorExpand(input, kLimit);
    if (expanded.ok() && expanded.bytes.size() > kLimit)
        std::abort();

    // Any input compresses to something that expands back to it.
    const zrk6::EliminatorResult compressed = zrk6::EliminatorCompress(input);
    if (compressed.ok()) {
        // Passes may grow the data a little, so the intermediate stages need some room.
        const zrk6::EliminatorResult back = zrk6::EliminatorExpand(compressed.bytes, 2 * size + 512);
        if (!back.ok() || !std::equal(back.bytes.begin(), back.bytes.end(), input.begin(), input.end()))
            std::abort();
    }
    return 0;
}
