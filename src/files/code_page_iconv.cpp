// The code pages through iconv: glibc's own, or libiconv on macOS.
#include "files/text_decoding.h"

#include <iconv.h>

namespace zrk6 {

std::optional<std::string> CodePageToUtf8(std::string_view bytes, TextEncoding codePage)
{
    const char *name = codePage == TextEncoding::Gbk ? "CP936" : "CP1252";
    const iconv_t converter = iconv_open("UTF-8", name);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    // A byte becomes at most three bytes of UTF-8; a GBK pair at most three as well.
    std::string out(bytes.size() * 3, '\0');
    char *in = const_cast<char *>(bytes.data()); // iconv's signature; it does not write there
    std::size_t inLeft = bytes.size();
    char *to = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &to, &outLeft);
    iconv_close(converter);
    // Anything left over is a byte without a character, or a pair cut off at the end.
    if (done == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace zrk6
