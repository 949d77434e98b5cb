// How many processors a program may keep busy at once, as Windows tells a
// program through NUMBER_OF_PROCESSORS.
#pragma once

#include <cstddef>

// The most workers worth starting for work that keeps a processor busy:
// NUMBER_OF_PROCESSORS when it holds a number from 1 up (capped at
// kMostProcessors), so that a user can ask for one worker or a few; else
// the processors this process may run on (its affinity, which `taskset`
// narrows). At least 1.
size_t ProcessorCount();

constexpr size_t kMostProcessors = 64;
