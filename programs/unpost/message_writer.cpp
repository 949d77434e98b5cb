#include "programs/unpost/message_writer.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "platform/file_replace.h"
#include "programs/unpost/decoders.h"
#include "programs/unpost/file_names.h"

namespace {

constexpr size_t kMaxFirstName = 255;
constexpr size_t kMaxList = 1023;
constexpr size_t kBodyPiece = 1023;
constexpr size_t kBase64Piece = 127;

// The next piece of text: up to and including a newline, at most `limit`
// characters.
std::string_view NextPiece(const char** cursor, size_t limit) {
  const char* p = *cursor;
  size_t length = strnlen(p, limit);
  const char* newline = static_cast<const char*>(memchr(p, '\n', length));
  size_t n = newline ? static_cast<size_t>(newline - p) + 1 : length;
  *cursor = p + n;
  return {p, n};
}

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

const char* OrNone(const std::string& text) { return text.empty() ? "(none)" : text.c_str(); }

}  // namespace

void FileState::AddAttachment(const std::string& name, const char* type) {
  if (firstName.empty()) firstName = name.substr(0, kMaxFirstName);
  std::string item = (list.empty() ? "" : ", ") + name;
  if (list.size() + item.size() > kMaxList) return;
  list += item;
  std::string kind = std::string(" [") + type + "]";
  if (list.size() + kind.size() <= kMaxList) list += kind;
}

std::string FileState::FreshName(const std::string& name) const {
  bool taken = SameNoCase(name, kTempOutputName) || SameNoCase(name, kTempAttachmentName);
  for (const std::string& file : written) taken = taken || SameNoCase(name, file);
  return taken ? MakeUniqueFileName(name) : name;
}

void MessageWriter::Write(const Message& message) {
  if (options_.debug) {
    printf("***** Content Type:               %s/%s\n", OrNone(message.type), OrNone(message.subtype));
    printf("***** Boundary String:            %s\n", OrNone(message.boundary));
    printf("***** Content Transfer Encoding:  %s\n", OrNone(message.transferEncoding));
    printf("***** File Name:                  %s\n", OrNone(message.fileName));
  }
  std::string saved;
  if (SameNoCase(message.transferEncoding, "base64") && SaveBase64(message, &saved)) {
    if (options_.keepHeaders || options_.mimeForm) fputs(message.heading, output_);
    fprintf(output_, "\n[[ %s ]]\n\n", saved.c_str());
    return;
  }
  fputs(message.heading, output_);
  fputs("\n", output_);
  ScanBody(message.body);
  bool mimeLines = options_.mimeForm && !message.boundary.empty();
  int number = 0;
  for (const auto& part : message.parts) {
    if (mimeLines) {
      fprintf(output_, "--%s\n", message.boundary.c_str());
    } else {
      fprintf(output_, "=============================== Part %d ===============================\n", ++number);
    }
    Write(*part);
  }
  if (!message.epilogue) return;
  if (mimeLines) {
    fprintf(output_, "--%s--", message.boundary.c_str());
  } else {
    fputs("============================== Epilogue ==============================\n", output_);
  }
  fputs(message.epilogue, output_);
}

void MessageWriter::ScanBody(const char* body) {
  const char* cursor = body;
  while (*cursor) {
    std::string_view piece = NextPiece(&cursor, kBodyPiece);
    fwrite(piece.data(), 1, piece.size(), output_);
    std::string line(piece);
    std::string saved;
    bool done = false;
    if (StartsWith(line, "begin ")) {
      done = SaveUuencoded(line, &cursor, &saved);
    } else if (StartsWith(line, "=ybegin line=")) {
      done = SaveYenc(line, &cursor, &saved);
    }
    if (done) fprintf(output_, "[[ %s ]]\n", saved.c_str());
  }
}

void MessageWriter::CannotCreate(const std::string& name) {
  printf("Error:  Can't create attachment file \"%s\".\n", name.c_str());
  state_->error = true;
}

// An attachment is written under the temporary name and takes its own name
// only when it is kept: a file of that name that the user agreed to
// overwrite stays as it was when the new one turns out damaged or cannot be
// written.
FILE* MessageWriter::CreateAttachment(std::string* name) {
  *name = state_->FreshName(*name);
  if (!ConfirmOverwrite(*name, options_.overwrite)) return nullptr;
  FILE* file = CreateReplacement(kTempAttachmentName, "wb");
  if (!file) CannotCreate(*name);
  return file;
}

bool MessageWriter::FinishAttachment(FILE* file, const std::string& name, const char* type,
                                     bool damaged, bool writeError) {
  if (fclose(file) != 0) writeError = true;
  if (writeError) printf("Error:  Can't write attachment file \"%s\".\n", name.c_str());
  bool bad = writeError || (damaged && !options_.ignoreErrors);
  if (bad) state_->error = true;
  if (bad && !options_.keepBad) {
    DiscardReplacement(kTempAttachmentName);
    return false;
  }
  if (!ReplaceFile(kTempAttachmentName, name.c_str())) {
    DiscardReplacement(kTempAttachmentName);
    CannotCreate(name);
    return false;
  }
  state_->AddAttachment(name, type);
  state_->written.push_back(name);
  return !bad;
}

void MessageWriter::Discarded(std::string_view line) {
  if (options_.verbose) printf("Discarded:  %.*s\n", static_cast<int>(line.size()), line.data());
}

bool MessageWriter::SaveUuencoded(const std::string& beginLine, const char** cursor,
                                  std::string* savedName) {
  std::string name = UuBeginName(WithoutLineEnd(beginLine));
  if (name.empty()) return false;
  const UuRules rules{options_.lax, options_.strict};
  unsigned char bytes[kMaxUuLineBytes];
  const char* p = *cursor;
  if (DecodeUuLine(WithoutLineEnd(NextPiece(&p, kBodyPiece)), rules, bytes) < 0) return false;
  FILE* file = CreateAttachment(&name);
  if (!file) return false;
  // A block that the message ends before its "end" line (the first post of
  // a file split over several) holds only part of the file: damaged.
  bool damaged = true;
  bool writeError = false;
  bool badLine = false;
  for (p = *cursor; *p;) {
    std::string_view line = WithoutLineEnd(NextPiece(&p, kBodyPiece));
    int count = DecodeUuLine(line, rules, bytes);
    if (count > 0) {
      writeError = fwrite(bytes, 1, count, file) != static_cast<size_t>(count) || writeError;
    } else if (count < 0 && StartsWith(line, "end")) {
      damaged = badLine;
      break;
    } else if (count < 0) {
      badLine = true;
      Discarded(line);
    }
  }
  if (!FinishAttachment(file, name, "uu", damaged, writeError)) return false;
  *cursor = p;
  *savedName = name;
  return true;
}

bool MessageWriter::SaveYenc(const std::string& beginLine, const char** cursor, std::string* savedName) {
  YencTally tally;
  tally.begin = ParseYencBegin(WithoutLineEnd(beginLine));
  if (!tally.begin.handled) return false;
  std::string name = tally.begin.name;
  FILE* file = CreateAttachment(&name);
  if (!file) return false;
  const long lineLength = tally.begin.lineLength;
  bool writeError = false;
  std::string bytes;
  const char* p = *cursor;
  while (*p) {
    std::string_view line = WithoutLineEnd(NextPiece(&p, kBodyPiece));
    if (StartsWith(line, "=yend")) {
      tally.end = ParseYencEnd(line);
      break;
    }
    const long length = static_cast<long>(line.size());
    bool isLong = lineLength >= 0 && length - 1 > lineLength && !options_.lax;
    if (lineLength >= 0 && length < lineLength) ++tally.shortLines;
    bytes.resize(line.size());
    size_t count = DecodeYencLine(line, reinterpret_cast<unsigned char*>(bytes.data()));
    tally.actualSize += static_cast<long>(count);
    tally.actualCrc = Crc32(tally.actualCrc, reinterpret_cast<unsigned char*>(bytes.data()), count);
    if (isLong) {
      ++tally.longLines;
      Discarded(line);
      continue;
    }
    writeError = fwrite(bytes.data(), 1, count, file) != count || writeError;
  }
  std::vector<std::string> errors = YencDataErrors(tally);
  if (!errors.empty()) {
    printf("Error:  Data error(s) in attachment \"%s\":\n", name.c_str());
    for (const std::string& item : errors) fputs(item.c_str(), stdout);
  }
  if (!FinishAttachment(file, name, "yEnc", !errors.empty(), writeError)) return false;
  *cursor = p;
  *savedName = name;
  return true;
}

bool MessageWriter::SaveBase64(const Message& message, std::string* savedName) {
  std::string name = message.fileName;
  if (name.empty()) {
    name = FixFileNameCase(CleanFileName(options_.defaultName));
    if (name.empty()) return false;
    name = MakeUniqueFileName(name);
  }
  if (!IsBase64Char(message.body[0])) return false;
  FILE* file = CreateAttachment(&name);
  if (!file) return false;
  bool damaged = false;
  bool writeError = false;
  // The bytes of many lines go out in one write.
  constexpr size_t kWriteBlock = 65536;
  std::string bytes;
  bytes.reserve(kWriteBlock + kBase64Piece);
  auto flush = [&] {
    writeError = fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || writeError;
    bytes.clear();
  };
  for (const char* p = message.body; *p;) {
    std::string_view line = TrimEnd(NextPiece(&p, kBase64Piece));
    if (line.empty()) break;
    Base64Line result = DecodeBase64Line(line, &bytes);
    if (bytes.size() >= kWriteBlock) flush();
    if (result == Base64Line::kBad) damaged = true;
    if (result != Base64Line::kMore) break;
  }
  flush();
  if (!FinishAttachment(file, name, "base64", damaged, writeError)) return false;
  *savedName = name;
  return true;
}
