#pragma once

namespace zrk6 {

// Every time-out, pause and pace of the serial link and of the virtual radio goes through this
// one factor, so that the end-to-end tests can run both at a fraction of real time while every
// ratio between them (a late reply against the reply timer, a radio's delay against the retry's
// quiet time) stays as it is. The factor comes from the environment variable ZRK6_TIME_SCALE, a
// number greater than 0 and at most 1; without it, or with anything else, it is 1 and every
// time is the real one. Meant for tests and developers only: no option or text shows it.
inline constexpr const char *kTimeScaleVariable = "ZRK6_TIME_SCALE";

// The factor, read from the environment on every call (tests change it between cases).
double TimeScale();

// ms milliseconds at the given scale, rounded, at least 1 (0 stays 0).
int ScaledMs(int ms, double scale);

} // namespace zrk6
