#include "programs/galleria/result_cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/random.h"
#include "platform/testing/test_support.h"

namespace {

std::string Int32Bytes(int32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i)
    bytes += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
  return bytes;
}

std::string Padded(const std::string& text, size_t size) {
  return text + std::string(size - text.size(), '\0');
}

// The bytes of a cache file as the format lays them out.
std::string CacheBytes(const std::string& query, const std::string& config, int32_t mask,
                       const std::string& id, const std::vector<int32_t>& positions) {
  std::string bytes = Padded(query, 1024) + Padded(config, 32) + Int32Bytes(mask) + Padded(id, 32) +
                      Int32Bytes(static_cast<int32_t>(positions.size()));
  for (int32_t position : positions) bytes += Int32Bytes(position);
  return bytes;
}

std::vector<int32_t> StoredPositions(const std::string& bytes) {
  std::vector<int32_t> positions;
  for (size_t at = kCacheHeaderSize; at + 4 <= bytes.size(); at += 4) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
      value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    positions.push_back(static_cast<int32_t>(value));
  }
  return positions;
}

class ResultCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { drive.Write("index.db", "record\n"); }
  // Builds "cache.db" through the writer with the positions.
  void Build(const CacheHeader& key, const std::vector<int32_t>& positions) {
    CacheWriter writer;
    ASSERT_TRUE(writer.Begin("cache.db", key));
    for (int32_t position : positions) writer.Add(position);
    ASSERT_TRUE(writer.Finish());
    ASSERT_TRUE(writer.Install());
  }
  void SetWriteTime(const char* path, FileTime time) {
    ASSERT_TRUE(SetFileTimes(path, nullptr, nullptr, &time));
  }
  // True when OpenCurrentCache takes "cache.db" for the key; *total set.
  bool Current(const CacheHeader& key, int32_t* total) {
    FILE* cache = OpenCurrentCache("cache.db", "index.db", key, total);
    if (cache) fclose(cache);
    return cache != nullptr;
  }

  TempDrive drive;
};

TEST_F(ResultCacheTest, FileLayoutIsLittleEndianWithFixedFields) {
  Build(MakeCacheHeader("KEYWORDS >>> 'sea'", "gallery", 0x23, "s1"), {0, 57, 0x01020304});
  EXPECT_EQ(drive.Read("cache.db"),
            CacheBytes("KEYWORDS >>> 'sea'", "gallery", 0x23, "s1", {0, 57, 0x01020304}));
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"cache.db", "index.db"}));

  FILE* cache = OpenFile("cache.db", "rb");
  CacheHeader header;
  ASSERT_TRUE(ReadCacheHeader(cache, &header));
  EXPECT_STREQ(header.query, "KEYWORDS >>> 'sea'");
  EXPECT_STREQ(header.config, "gallery");
  EXPECT_STREQ(header.id, "s1");
  EXPECT_EQ(header.mask, 0x23);
  EXPECT_EQ(header.total, 3);
  ASSERT_TRUE(SeekCachePosition(cache, 2));
  int32_t position = 0;
  ASSERT_TRUE(ReadCachePosition(cache, &position));
  EXPECT_EQ(position, 0x01020304);
  EXPECT_FALSE(ReadCachePosition(cache, &position));
  EXPECT_FALSE(SeekCachePosition(cache, -1));
  fclose(cache);
}

TEST_F(ResultCacheTest, HeadersThatCannotBeRead) {
  std::string unterminated = CacheBytes("q", "c", 1, "id", {});
  std::fill(unterminated.begin() + 1060, unterminated.begin() + 1092, 'x');
  for (const std::string& bytes :
       {unterminated, CacheBytes("q", "c", 1, "id", {}).substr(0, 1095)}) {
    drive.Write("cache.db", bytes);
    FILE* cache = OpenFile("cache.db", "rb");
    CacheHeader header;
    EXPECT_FALSE(ReadCacheHeader(cache, &header));
    fclose(cache);
  }
}

TEST_F(ResultCacheTest, HeaderMatchesOnlyTheSameRequest) {
  std::string longQuery(1100, 'q');
  std::string storedQuery = longQuery.substr(0, 1023);
  CacheHeader header = MakeCacheHeader("TITLE ~ 'a*'", "gallery", 0x23, "s1");
  CacheHeader cut = MakeCacheHeader(longQuery.c_str(), "gallery", 0x23, "s1");
  EXPECT_EQ(std::string(cut.query), storedQuery);
  struct Case {
    const CacheHeader* header;
    const char* query;
    const char* config;
    int mask;
    const char* id;
    bool matches;
  } const cases[] = {
      {&header, "TITLE ~ 'a*'", "gallery", 0x23, "s1", true},
      {&header, "TITLE ~ 'A*'", "gallery", 0x23, "s1", false},  // letter case counts
      {&header, "TITLE ~ 'a*'", "Gallery", 0x23, "s1", false},
      {&header, "TITLE ~ 'a*'", "gallery", 0x03, "s1", false},
      {&header, "TITLE ~ 'a*'", "gallery", 0x23, "s2", false},
      {&header, "TITLE ~ 'a*' ", "gallery", 0x23, "s1", false},
      // A query too long to store never matches its cut copy.
      {&cut, longQuery.c_str(), "gallery", 0x23, "s1", false},
      {&cut, storedQuery.c_str(), "gallery", 0x23, "s1", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CacheHeaderMatches(*c.header, c.query, c.config, c.mask, c.id), c.matches)
        << c.query << " " << c.config << " " << c.mask << " " << c.id;
  }
}

TEST_F(ResultCacheTest, OnlyACompleteCacheNoOlderThanTheDatabaseIsCurrent) {
  CacheHeader key = MakeCacheHeader("q", "", 0x23, "s1");
  std::string good = CacheBytes("q", "", 0x23, "s1", {0, 10, 20});
  std::string negative = good;
  negative.replace(1092, 4, Int32Bytes(-1));
  struct Case {
    const char* name;
    std::string bytes;
    bool current;
  } const cases[] = {
      {"complete", good, true},
      {"other id", CacheBytes("q", "", 0x23, "s2", {0, 10, 20}), false},
      {"cut short", good.substr(0, good.size() - 2), false},
      {"a position missing", good.substr(0, good.size() - 4), false},
      {"bytes after the positions", good + "xxxx", false},
      {"negative total", negative, false},
  };
  FileTime now = FileTimeNow();
  for (const Case& c : cases) {
    drive.Write("cache.db", c.bytes);
    SetWriteTime("index.db", now);
    SetWriteTime("cache.db", now);
    int32_t total = -5;
    EXPECT_EQ(Current(key, &total), c.current) << c.name;
    if (c.current) {
      EXPECT_EQ(total, 3) << c.name;
    }
  }
  // A database written after the cache makes it stale.
  drive.Write("cache.db", good);
  SetWriteTime("cache.db", now);
  SetWriteTime("index.db", now + 1);
  int32_t total = 0;
  EXPECT_FALSE(Current(key, &total));
  SetWriteTime("index.db", now - 10'000'000);
  EXPECT_TRUE(Current(key, &total));
  EXPECT_FALSE(OpenCurrentCache("missing.db", "index.db", key, &total));
}

TEST_F(ResultCacheTest, WriterPutsTheCacheInPlaceOnlyWhenComplete) {
  Build(MakeCacheHeader("old", "", 1, "s1"), {5});
  std::string old = drive.Read("cache.db");
  {
    CacheWriter writer;
    ASSERT_TRUE(writer.Begin("cache.db", MakeCacheHeader("new", "", 1, "s1")));
    writer.Add(7);
    // While it is written the old cache stays whole.
    EXPECT_EQ(drive.Read("cache.db"), old);
    EXPECT_EQ(drive.Files().size(), 3u);
  }  // abandoned
  EXPECT_EQ(drive.Read("cache.db"), old);
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"cache.db", "index.db"}));

  // A position that four bytes cannot hold abandons the cache.
  CacheWriter writer;
  ASSERT_TRUE(writer.Begin("cache.db", MakeCacheHeader("new", "", 1, "s1")));
  writer.Add(7);
  writer.Add(int64_t{1} << 32);
  EXPECT_FALSE(writer.Finish());
  EXPECT_FALSE(writer.Install());
  EXPECT_EQ(drive.Read("cache.db"), old);
  EXPECT_EQ(drive.Files(), (std::vector<std::string>{"cache.db", "index.db"}));

  // No folder for the cache: no cache.
  CacheWriter nowhere;
  EXPECT_FALSE(nowhere.Begin("missing\\cache.db", MakeCacheHeader("q", "", 1, "s1")));
}

TEST_F(ResultCacheTest, ShufflePermutesThePositionsOnly) {
  std::vector<int32_t> positions;
  for (int32_t i = 0; i < 50; ++i) positions.push_back(i * 10);
  Build(MakeCacheHeader("q", "c", 3, "s1"), positions);
  CacheHeader header = MakeCacheHeader("q", "c", 3, "s1");
  header.total = 50;
  ASSERT_TRUE(ShuffleCache("cache.db", header));
  std::string bytes = drive.Read("cache.db");
  EXPECT_EQ(bytes.substr(0, kCacheHeaderSize),
            CacheBytes("q", "c", 3, "s1", positions).substr(0, kCacheHeaderSize));
  std::vector<int32_t> shuffled = StoredPositions(bytes);
  EXPECT_NE(shuffled, positions);
  std::sort(shuffled.begin(), shuffled.end());
  EXPECT_EQ(shuffled, positions);

  // More positions than the file holds: nothing is changed.
  header.total = 51;
  EXPECT_FALSE(ShuffleCache("cache.db", header));
  EXPECT_EQ(drive.Read("cache.db"), bytes);
  EXPECT_FALSE(ShuffleCache("missing.db", header));
}

TEST(ShufflePositionsTest, FisherYatesFromTheEnd) {
  // With the random source seeded, each step swaps position i with Random() % (i + 1).
  SeedRandom(7);
  std::vector<int32_t> expected = {0, 1, 2, 3, 4, 5, 6, 7};
  for (int32_t i = 7; i >= 0; --i) std::swap(expected[i], expected[Random() % (i + 1)]);
  SeedRandom(7);
  std::vector<int32_t> positions = {0, 1, 2, 3, 4, 5, 6, 7};
  ShufflePositions(positions.data(), 8);
  EXPECT_EQ(positions, expected);
  ShufflePositions(positions.data(), 0);
}

}  // namespace
