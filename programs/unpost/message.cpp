#include "programs/unpost/message.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "programs/unpost/file_names.h"
#include "programs/unpost/header_scan.h"
#include "programs/unpost/parameter_value.h"

namespace {

// The first non-empty value of a field wins.
void Fill(std::string* field, const std::string& value) {
  if (field->empty() && !value.empty()) *field = value;
}

// Steps over the '=' behind a parameter name.
bool ReadEquals(const char*& cursor) {
  SkipSpaces(cursor);
  return MatchChar(cursor, '=');
}

std::string CleanName(const std::string& name) { return FixFileNameCase(CleanFileName(name)); }

void ReadContentType(const char*& cursor, Message* message) {
  Fill(&message->type, ReadToken(cursor));
  if (MatchChar(cursor, '/')) Fill(&message->subtype, ReadToken(cursor));
  ParameterValue name("name", CleanName);
  while (NextParameter(cursor)) {
    std::string parameter = ReadToken(cursor);
    if (!ReadEquals(cursor)) continue;
    if (SameNoCase(parameter, "boundary")) {
      Fill(&message->boundary, ReadValue(cursor));
    } else {
      name.Take(parameter, ReadValue(cursor));
    }
  }
  Fill(&message->fileName, name.Value());
}

void ReadDisposition(const char*& cursor, Message* message) {
  ParameterValue fileName("filename", CleanName);
  while (NextParameter(cursor)) {
    std::string parameter = ReadToken(cursor);
    if (ReadEquals(cursor)) fileName.Take(parameter, ReadValue(cursor));
  }
  Fill(&message->fileName, fileName.Value());
}

// One header line (with its folded continuation); the cursor stays on it.
void ReadHeader(const char*& cursor, Message* message) {
  std::string name = ReadToken(cursor);
  if (!StartsNoCase(name, "Content-") || !MatchChar(cursor, ':')) return;
  std::string field = name.substr(strlen("Content-"));
  if (SameNoCase(field, "Type")) {
    ReadContentType(cursor, message);
  } else if (SameNoCase(field, "Transfer-Encoding")) {
    Fill(&message->transferEncoding, ReadToken(cursor));
  } else if (SameNoCase(field, "Disposition")) {
    ReadDisposition(cursor, message);
  }
}

}  // namespace

Message::Message(char* text) : heading(text), body(text) {
  const char* cursor = text;
  while (*cursor && *cursor != '\n') {
    ReadHeader(cursor, this);
    NextLine(cursor);
  }
  if (*cursor == '\n') ++cursor;
  body = text + (cursor - text);
  if (type.empty()) {
    type = "text";
    Fill(&subtype, "plain");
  }
  Fill(&transferEncoding, "7bit");
}

void Message::Split(int depth) {
  // The empty line's newline ends the heading; without one (the text ended
  // inside the headers) the heading runs to the body, which is then empty.
  if (body > heading && body[-1] == '\n') body[-1] = '\0';
  if (boundary.empty() || depth >= kMaxPartDepth) return;
  SplitMultipart(boundary);
  for (auto& part : parts) part->Split(depth + 1);
}

Message* Message::AddPart(char* text) {
  parts.push_back(std::make_unique<Message>(text));
  return parts.back().get();
}

void Message::SplitMultipart(const std::string& boundaryText) {
  const std::string marker = "--" + boundaryText;
  // Every part is ended before any is parsed, so that headers without a body
  // never run into the next part.
  std::vector<char*> starts;
  char* search = body;
  while (char* found = strstr(search, marker.c_str())) {
    if (found != body && found[-1] != '\n') {
      search = found + 1;
      continue;
    }
    char* after = found + marker.size();
    if (after[0] == '-' && after[1] == '-') {
      epilogue = after + 2;
      *found = '\0';
      break;
    }
    while (*after == ' ' || *after == '\t') ++after;
    if (*after == '\n') ++after;
    *found = '\0';
    starts.push_back(after);
    search = after;
  }
  for (char* start : starts) AddPart(start);
}
