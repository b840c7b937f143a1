#include "link/time_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zrk6 {

double TimeScale()
{
    const char *text = std::getenv(kTimeScaleVariable);
    if (!text || !*text)
        return 1.0;
    char *end = nullptr;
    const double scale = std::strtod(text, &end);
    if (*end != '\0' || !(scale > 0.0 && scale <= 1.0))
        return 1.0;
    return scale;
}

int ScaledMs(int ms, double scale)
{
    if (ms <= 0 || scale >= 1.0)
        return ms;
    return std::max(1, static_cast<int>(std::lround(ms * scale)));
}

} // namespace zrk6
