#pragma once

#include <QtGlobal>

namespace zrk6 {

// Places the tests name in twips (1440 per inch), as the old layouts gave them; a DPI the platform does not report
// (0) counts as 96.
inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(int twips, int dpi)
{
    return qRound(twips * (dpi > 0 ? dpi : 96) / double(kTwipsPerInch));
}

inline int PixelsToTwips(int pixels, int dpi)
{
    return qRound(pixels * double(kTwipsPerInch) / (dpi > 0 ? dpi : 96));
}

} // namespace zrk6
