#include "platform/processors.h"

#include <sched.h>

#include <cstdlib>

#include "platform/env.h"

namespace {

// The number the variable holds, or 0 when it holds none.
size_t VariableCount(const char* value) {
  if (!value || *value < '0' || *value > '9') return 0;
  char* end = nullptr;
  unsigned long count = strtoul(value, &end, 10);
  if (*end != '\0') return 0;
  return count < kMostProcessors ? static_cast<size_t>(count) : kMostProcessors;
}

size_t AffinityCount() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) != 0) return 1;
  int count = CPU_COUNT(&set);
  return count > 0 ? static_cast<size_t>(count) : 1;
}

}  // namespace

size_t ProcessorCount() {
  size_t count = VariableCount(GetEnv("NUMBER_OF_PROCESSORS"));
  if (count == 0) count = AffinityCount();
  return count < kMostProcessors ? count : kMostProcessors;
}
