// The CGI result cache "cache.db": the index database positions of every
// record that matched one request, keyed by the request, so that later pages
// of the same request read only the lines they show. Binary, little-endian:
// a header of 1096 bytes, then one int32 position per matching record.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

constexpr int64_t kCacheHeaderSize = 1096;

// The header's fields; texts are zero-terminated within their fields.
struct CacheHeader {
  char query[1024] = {};
  char config[32] = {};
  int32_t mask = 0;
  char id[32] = {};
  int32_t total = 0;
};

// The key of a request: texts cut to their fields, total 0.
CacheHeader MakeCacheHeader(const char* query, const char* config, int mask, const char* id);
// True when the header was made for this request: texts equal exactly (a
// request text too long for its field never matches) and the same mask.
bool CacheHeaderMatches(const CacheHeader& header, const char* query, const char* config, int mask,
                        const char* id);

// The header at the start of the stream. False when it is short or a text
// lacks its terminator.
bool ReadCacheHeader(FILE* cache, CacheHeader* header);
bool WriteCacheHeader(FILE* cache, const CacheHeader& header);

// Positions the cache stream before the position of result `first`.
bool SeekCachePosition(FILE* cache, int first);
// The next stored position; false at the end of the list.
bool ReadCachePosition(FILE* cache, int32_t* position);

// Opens the cache file for reading when it answers the request: its header
// matches, its length holds exactly the header's total of positions, and the
// index database was not written after it (when a time cannot be read, the
// cache counts as current). Null otherwise; *total gets the header's total.
FILE* OpenCurrentCache(const char* cachePath, const char* dbPath, const CacheHeader& request,
                       int32_t* total);

// Permutes `total` stored positions after the header in place: Fisher-Yates
// driven by the random source, seeded with the clock's seconds. False when the file cannot
// be opened or a read or write falls short.
bool ShuffleCache(const char* path, const CacheHeader& header);
// The same permutation on positions in memory, by the random source as it stands.
void ShufflePositions(int32_t* positions, int32_t count);

// Builds a new cache under a temporary name beside the cache file and puts
// it in place only when it is complete, so a reader never sees a half-written
// or half-shuffled cache, and a failure leaves no broken file behind.
class CacheWriter {
 public:
  CacheWriter() = default;
  ~CacheWriter();  // abandons an unfinished cache
  CacheWriter(const CacheWriter&) = delete;
  CacheWriter& operator=(const CacheWriter&) = delete;

  // Creates the temporary file and writes the request's header (total 0).
  bool Begin(const char* cachePath, const CacheHeader& header);
  // Appends one position; a position that int32 cannot hold, or a failed
  // write, abandons the cache.
  void Add(int64_t position);
  // Writes the header with the total of positions added and closes the
  // file; false (and the cache abandoned) on any failure.
  bool Finish();
  // The header as written (with the total once finished).
  const CacheHeader& Header() const { return header_; }
  // The finished file's name until it is put in place.
  const char* TempPath() const { return tempPath_.c_str(); }
  // Replaces the cache file by the finished one; false (the cache
  // abandoned) when that fails.
  bool Install();
  // Deletes the temporary file.
  void Abandon();

 private:
  FILE* stream_ = nullptr;
  std::string tempPath_;
  std::string cachePath_;
  CacheHeader header_;
  bool failed_ = false;
};
