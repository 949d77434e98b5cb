#include <gtest/gtest.h>

#include <sched.h>
#include <stdlib.h>

#include <algorithm>
#include <string>

#include "platform/processors.h"

namespace {

size_t AffinityCount() {
  cpu_set_t set;
  CPU_ZERO(&set);
  EXPECT_EQ(sched_getaffinity(0, sizeof set, &set), 0);
  return static_cast<size_t>(CPU_COUNT(&set));
}

TEST(ProcessorCount, TheVariableWhenItHoldsANumberElseTheAffinity) {
  size_t cores = std::min(AffinityCount(), kMostProcessors);
  const struct {
    const char* value;  // null: unset
    size_t count;
  } cases[] = {
      {nullptr, cores}, {"1", 1},     {"3", 3},     {"64", 64},  {"1000", kMostProcessors},
      {"0", cores},     {"", cores},  {"-2", cores}, {"4x", cores}, {" 2", cores},
  };
  for (const auto& c : cases) {
    if (c.value) {
      setenv("NUMBER_OF_PROCESSORS", c.value, 1);
    } else {
      unsetenv("NUMBER_OF_PROCESSORS");
    }
    EXPECT_EQ(ProcessorCount(), c.count) << (c.value ? c.value : "(unset)");
  }
  unsetenv("NUMBER_OF_PROCESSORS");
}

TEST(ProcessorCount, FollowsANarrowedAffinity) {
  unsetenv("NUMBER_OF_PROCESSORS");
  cpu_set_t old;
  ASSERT_EQ(sched_getaffinity(0, sizeof old, &old), 0);
  cpu_set_t one;
  CPU_ZERO(&one);
  for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
    if (CPU_ISSET(cpu, &old)) {
      CPU_SET(cpu, &one);
      break;
    }
  }
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  size_t count = ProcessorCount();
  sched_setaffinity(0, sizeof old, &old);
  EXPECT_EQ(count, 1u);
}

}  // namespace
