// Whole reads, writes and copies over host descriptors, with the retries and
// the error records that every platform source needs of them.
#include "platform/host_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/errors_host.h"

namespace weft_host {
namespace {

// One read, again after an interruption: bytes read, 0 at the end, -1 on a
// failure (recorded).
ssize_t ReadSome(int fd, char* buffer, size_t size) {
  for (;;) {
    ssize_t n = read(fd, buffer, size);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    SetErrno(errno);
    return -1;
  }
}

}  // namespace

bool ReadAll(int fd, std::string* text, off_t size) {
  text->clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = ReadSome(fd, buffer, sizeof buffer);
    if (n <= 0) return n == 0;
    text->append(buffer, static_cast<size_t>(n));
    if (static_cast<size_t>(n) < sizeof buffer && size >= 0 && text->size() == static_cast<size_t>(size)) {
      return true;
    }
  }
}

bool ReadWholeHostFile(const std::string& host, std::string* text) {
  int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    SetErrno(errno);
    return false;
  }
  bool read = ReadAll(fd, text);
  close(fd);
  return read;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;
    if (n <= 0) {
      SetErrno(errno);
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const std::string& text) { return WriteAll(fd, text.data(), text.size()); }

bool CopyAll(int in, int out) {
  char buffer[65536];
  for (;;) {
    ssize_t n = ReadSome(in, buffer, sizeof buffer);
    if (n <= 0) return n == 0;
    if (!WriteAll(out, buffer, static_cast<size_t>(n))) return false;
  }
}

std::string HostParent(const std::string& host) {
  size_t slash = host.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : host.substr(0, slash);
}

size_t CopyPathOut(const std::string& text, char* buffer, size_t size) {
  if (text.size() > static_cast<size_t>(kMaxPath)) {
    SetError(kErrorFilenameTooLong);
    return 0;
  }
  if (!buffer || text.size() >= size) {
    SetError(kErrorInsufficientBuffer);
    return 0;
  }
  memcpy(buffer, text.c_str(), text.size() + 1);
  return text.size();
}

}  // namespace weft_host
