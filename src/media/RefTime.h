#pragma once

#include <QtGlobal>

// Reference time: signed count of 100-nanosecond units.
constexpr qint64 kRefTimePerSecond = 10'000'000;
// Frame duration used when none is known yet.
constexpr qint64 kDefaultFrameDuration = 10'000;
