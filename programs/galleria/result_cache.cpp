#include "programs/galleria/result_cache.h"

#include <cstring>
#include <vector>

#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "platform/filetime.h"
#include "platform/random.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {

constexpr int64_t kQueryOffset = 0;
constexpr int64_t kConfigOffset = 1024;
constexpr int64_t kMaskOffset = 1056;
constexpr int64_t kIdOffset = 1060;
constexpr int64_t kTotalOffset = 1092;
constexpr int64_t kPositionSize = 4;

void PutInt32(unsigned char* bytes, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

int32_t GetInt32(const unsigned char* bytes) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(bytes[i]) << (8 * i);
  return static_cast<int32_t>(bits);
}

template <size_t N>
void PutText(char (&field)[N], const char* text) {
  CopyBounded(field, text ? text : "", N);
}

// The request's text equals the field's: a text longer than the field can
// hold never matches its cut copy.
template <size_t N>
bool TextMatches(const char (&field)[N], const char* text) {
  if (!text) text = "";
  return strlen(text) < N && strcmp(field, text) == 0;
}

template <size_t N>
bool Terminated(const char (&field)[N]) {
  return memchr(field, '\0', N) != nullptr;
}

bool Seek(FILE* stream, int64_t offset) {
  return fseek(stream, static_cast<long>(offset), SEEK_SET) == 0;
}

// The length of an open file; -1 when it cannot be found.
int64_t StreamLength(FILE* stream) {
  if (fseek(stream, 0, SEEK_END) != 0) return -1;
  return ftell(stream);
}

// The file was written after the other one; false when a time is unknown.
bool WrittenAfter(const char* path, const char* other) {
  FileTime written = 0, otherWritten = 0;
  if (!GetFileTimes(path, nullptr, nullptr, &written)) return false;
  if (!GetFileTimes(other, nullptr, nullptr, &otherWritten)) return false;
  return written > otherWritten;
}

bool ReadPositions(FILE* stream, std::vector<unsigned char>* bytes) {
  return Seek(stream, kCacheHeaderSize) &&
         fread(bytes->data(), 1, bytes->size(), stream) == bytes->size();
}

bool WritePositions(FILE* stream, const std::vector<unsigned char>& bytes) {
  return Seek(stream, kCacheHeaderSize) &&
         fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size() && fflush(stream) == 0;
}

}  // namespace

CacheHeader MakeCacheHeader(const char* query, const char* config, int mask, const char* id) {
  CacheHeader header;
  PutText(header.query, query);
  PutText(header.config, config);
  header.mask = mask;
  PutText(header.id, id);
  return header;
}

bool CacheHeaderMatches(const CacheHeader& header, const char* query, const char* config, int mask,
                        const char* id) {
  return TextMatches(header.id, id) && TextMatches(header.query, query) &&
         TextMatches(header.config, config) && header.mask == mask;
}

bool ReadCacheHeader(FILE* cache, CacheHeader* header) {
  unsigned char bytes[kCacheHeaderSize];
  if (!Seek(cache, 0) || fread(bytes, 1, sizeof bytes, cache) != sizeof bytes) return false;
  CacheHeader read;
  memcpy(read.query, bytes + kQueryOffset, sizeof read.query);
  memcpy(read.config, bytes + kConfigOffset, sizeof read.config);
  read.mask = GetInt32(bytes + kMaskOffset);
  memcpy(read.id, bytes + kIdOffset, sizeof read.id);
  read.total = GetInt32(bytes + kTotalOffset);
  if (!Terminated(read.query) || !Terminated(read.config) || !Terminated(read.id)) return false;
  *header = read;
  return true;
}

bool WriteCacheHeader(FILE* cache, const CacheHeader& header) {
  unsigned char bytes[kCacheHeaderSize] = {};
  memcpy(bytes + kQueryOffset, header.query, sizeof header.query);
  memcpy(bytes + kConfigOffset, header.config, sizeof header.config);
  PutInt32(bytes + kMaskOffset, header.mask);
  memcpy(bytes + kIdOffset, header.id, sizeof header.id);
  PutInt32(bytes + kTotalOffset, header.total);
  return Seek(cache, 0) && fwrite(bytes, 1, sizeof bytes, cache) == sizeof bytes;
}

bool SeekCachePosition(FILE* cache, int first) {
  if (first < 0) return false;
  return Seek(cache, kCacheHeaderSize + kPositionSize * first);
}

bool ReadCachePosition(FILE* cache, int32_t* position) {
  unsigned char bytes[kPositionSize];
  if (fread(bytes, 1, sizeof bytes, cache) != sizeof bytes) return false;
  *position = GetInt32(bytes);
  return true;
}

FILE* OpenCurrentCache(const char* cachePath, const char* dbPath, const CacheHeader& request,
                       int32_t* total) {
  FILE* cache = OpenFile(cachePath, "rb");
  if (!cache) return nullptr;
  CacheHeader stored;
  bool current =
      ReadCacheHeader(cache, &stored) &&
      CacheHeaderMatches(stored, request.query, request.config, request.mask, request.id) &&
      stored.total >= 0 && StreamLength(cache) == kCacheHeaderSize + kPositionSize * stored.total &&
      !WrittenAfter(dbPath, cachePath);
  if (!current) {
    fclose(cache);
    return nullptr;
  }
  *total = stored.total;
  return cache;
}

void ShufflePositions(int32_t* positions, int32_t count) {
  for (int32_t i = count - 1; i >= 0; --i) {
    int32_t j = Random() % (i + 1);
    int32_t kept = positions[i];
    positions[i] = positions[j];
    positions[j] = kept;
  }
}

bool ShuffleCache(const char* path, const CacheHeader& header) {
  if (header.total < 0) return false;
  FILE* cache = OpenFile(path, "r+b");
  if (!cache) return false;
  std::vector<unsigned char> bytes(static_cast<size_t>(header.total) * kPositionSize);
  bool done = ReadPositions(cache, &bytes);
  if (done) {
    std::vector<int32_t> positions(static_cast<size_t>(header.total));
    for (size_t i = 0; i < positions.size(); ++i) positions[i] = GetInt32(&bytes[i * 4]);
    SeedRandom(static_cast<unsigned>(UnixTimeNow()));
    ShufflePositions(positions.data(), header.total);
    for (size_t i = 0; i < positions.size(); ++i) PutInt32(&bytes[i * 4], positions[i]);
    done = WritePositions(cache, bytes);
  }
  return fclose(cache) == 0 && done;
}

// --- CacheWriter -----------------------------------------------------------------

CacheWriter::~CacheWriter() { Abandon(); }

bool CacheWriter::Begin(const char* cachePath, const CacheHeader& header) {
  char dir[kMaxPath + 1];
  DirPart(cachePath, dir, sizeof dir);
  // One temporary name beside the cache: a run that finds it in use by
  // another request leaves the cache to that one, and a leftover of a
  // killed run is made afresh.
  tempPath_ = dir;
  if (!tempPath_.empty() && tempPath_.back() != '\\' && tempPath_.back() != '/' &&
      tempPath_.back() != ':') tempPath_ += '\\';
  tempPath_ += "cache.$$$";
  cachePath_ = cachePath;
  header_ = header;
  header_.total = 0;
  stream_ = CreateReplacement(tempPath_.c_str(), "wb");
  if (!stream_) {
    tempPath_.clear();
    return false;
  }
  if (!WriteCacheHeader(stream_, header_)) {
    Abandon();
    return false;
  }
  return true;
}

void CacheWriter::Add(int64_t position) {
  if (!stream_ || failed_) return;
  if (position < 0 || position > INT32_MAX || header_.total == INT32_MAX) {
    failed_ = true;
    return;
  }
  unsigned char bytes[kPositionSize];
  PutInt32(bytes, static_cast<int32_t>(position));
  failed_ = fwrite(bytes, 1, sizeof bytes, stream_) != sizeof bytes;
  if (!failed_) ++header_.total;
}

bool CacheWriter::Finish() {
  if (!stream_) return false;
  bool written = !failed_ && WriteCacheHeader(stream_, header_);
  bool closed = fclose(stream_) == 0;
  stream_ = nullptr;
  if (!written || !closed) {
    Abandon();
    return false;
  }
  return true;
}

bool CacheWriter::Install() {
  if (stream_ || tempPath_.empty()) return false;
  if (!ReplaceFile(tempPath_.c_str(), cachePath_.c_str())) {
    Abandon();
    return false;
  }
  tempPath_.clear();
  return true;
}

void CacheWriter::Abandon() {
  if (stream_) fclose(stream_);
  stream_ = nullptr;
  if (!tempPath_.empty()) DiscardReplacement(tempPath_.c_str());
  tempPath_.clear();
}
