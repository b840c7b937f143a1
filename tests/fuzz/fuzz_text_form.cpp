// Fuzzes the text form reader with arbitrary text: nothing crashes, a refusal always says
// where and why, and whatever is accepted decodes to a text that encodes to the same image.
// Inputs of exactly 4096 bytes are also taken as an image: its text gives it back byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "files/text_form.h"

using namespace zrk6;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkRoundTrip(const MemoryImage &image)
{
    const std::string text = DecodeTextForm(image);
    const EncodedTextForm back = EncodeTextForm(text);
    Check(back.ok() && back.image == image);
    Check(DecodeTextForm(back.image) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const EncodedTextForm encoded = EncodeTextForm(text);
    if (encoded.ok()) {
        checkRoundTrip(encoded.image);
    } else {
        Check(!TextFormErrorText(*encoded.error, kEnglish).empty());
        Check(!TextFormErrorText(*encoded.error, kChinese).empty());
    }
    if (size == kImageSize) {
        MemoryImage image;
        image.assign(std::span(data, size));
        checkRoundTrip(image);
    }
    return 0;
}
