#pragma once

#include "files/text_decoding.h"

namespace zrk6 {

// The legacy code page this system's programs save text in, of the two a channel list is read
// in: Gbk on a Simplified Chinese system, Windows1252 on every other.
TextEncoding SystemCodePage();

} // namespace zrk6
