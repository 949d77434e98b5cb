// The news message of a slide page: header list, line splitting and the
// rewritten text block.
#include "programs/postpage/news_slide.h"

#include <cstring>

#include "shared/linked_list.h"

namespace {

HeaderItem* head = nullptr;
HeaderItem* tail = nullptr;

// The headers moved to the front, in the order of the moves: the last one
// moved ends up first.
const char* const kFrontHeaders[] = {
    "Summary", "References", "Followup-To", "Newsgroups", "CC",
    "Organization", "Reply-To", "From", "Date", "Subject",
};

// Digits, letters and punctuation; the bytes from 128 on are taken as the
// letters and signs of an 8-bit character set.
bool IsGraphic(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return u > 32 && u != 127;
}

char* SkipBlanks(char* text) {
  while (*text == ' ') ++text;
  return text;
}

// Writes to the output, remembering whether a write failed.
struct Writer {
  FILE* output;
  bool ok = true;

  void Put(const char* text) { ok = fputs(text, output) >= 0 && ok; }
  void Put(const std::string& text) {
    ok = fwrite(text.data(), 1, text.size(), output) == text.size() && ok;
  }
  void Row(const char* format, const char* text) {
    ok = fprintf(output, format, text) >= 0 && ok;
  }
};

void SpaceAroundBangs(std::string* value, size_t room) {
  for (size_t i = 0; i < value->size();) {
    if ((*value)[i] != '!') {
      ++i;
      continue;
    }
    i = InsertText(value, i, room, " ");
    i = InsertText(value, i + 1, room, " ");
  }
}

void SpaceAfterCommas(std::string* value, size_t room) {
  for (size_t i = 0; i < value->size(); ++i) {
    if ((*value)[i] == ',' && (*value)[i + 1] != ' ') i = InsertText(value, i + 1, room, " ") - 1;
  }
}

// Adds one split header line to the list: a new item, or the continuation of
// the last one. `value` points into `line`, behind the cut name.
void AddHeaderLine(char* line, char* value) {
  std::string text = value;
  size_t offset = static_cast<size_t>(value - line);
  size_t room = offset < kLineRoom ? kLineRoom - offset : 0;
  if (CompareNoCase(line, "Path") == 0) SpaceAroundBangs(&text, room);
  if (CompareNoCase(line, "Newsgroups") == 0) SpaceAfterCommas(&text, room);
  if (*line) {
    new HeaderItem(line, text.c_str());
  } else if (LastHeader()) {
    AppendToValue(LastHeader(), " ", text.c_str());
  }
}

// Reads the header lines at the block's start into the list. Returns the first
// body line, or null when the block ended within the header.
char* ReadHeader(PreBlockReader* reader) {
  while (char* line = ReadPreLine(reader)) {
    char* value = SplitHeaderLine(line, FirstHeader() != nullptr);
    if (!value) return line;
    AddHeaderLine(line, value);
  }
  return nullptr;
}

void WriteHeaderTable(Writer* out) {
  if (!FirstHeader()) return;
  out->Put("<TABLE BORDER=0 CELLSPACING=0 CELLPADDING=0>\n");
  bool previous = FirstHeader()->moved;
  for (HeaderItem* item = FirstHeader(); item; item = item->next) {
    if (item->moved != previous) out->Put("<TR><TD>&nbsp;</TD></TR>\n");
    previous = item->moved;
    out->Row("<TR VALIGN=TOP><TD ALIGN=RIGHT><STRONG>%s:&nbsp;&nbsp;</STRONG></TD>",
             Chars(item->name));
    bool subject = CompareNoCase(Chars(item->name), "Subject") == 0;
    out->Row(subject ? "<TD><STRONG>%s</STRONG></TD></TR>\n" : "<TD>%s</TD></TR>\n",
             Chars(item->value));
  }
  out->Put("</TABLE>\n");
}

// The block's lines from the first body line on, with the block's markers.
void WriteBody(Writer* out, PreBlockReader* reader, bool hasFirstLine) {
  out->Put("<PRE>\n");
  for (bool more = hasFirstLine; more; more = ReadPreLine(reader) != nullptr) {
    out->Put(reader->line);
    out->Put("\n");
  }
  out->Put("</PRE>\n<!-- END TEXT -->\n");
}

}  // namespace

HeaderItem::HeaderItem(const char* itemName, const char* itemValue)
    : name(itemName), value(itemValue) {
  AppendNode(this, &head, &tail);
}

HeaderItem* FirstHeader() { return head; }
HeaderItem* LastHeader() { return tail; }

void AppendToValue(HeaderItem* item, const char* separator, const char* text) {
  item->value = Concat6(item->value, separator, text);
}

void MoveToFront(const char* name) {
  HeaderItem* before = nullptr;
  HeaderItem* item = head;
  while (item && CompareNoCase(Chars(item->name), name) != 0) {
    before = item;
    item = item->next;
  }
  if (!item || !before) return;
  before->next = item->next;
  if (tail == item) tail = before;
  item->next = head;
  head = item;
  item->moved = true;
}

void FreeHeaders() {
  while (head) {
    HeaderItem* next = head->next;
    delete head;
    head = next;
  }
  tail = nullptr;
}

size_t InsertText(std::string* text, size_t position, size_t room, const char* insertion) {
  size_t length = strlen(insertion);
  if (position > text->size() || text->size() + length + 1 > room) return position;
  text->insert(position, insertion);
  return position + length;
}

char* SplitHeaderLine(char* line, bool continuationAllowed) {
  if ((line[0] == ' ' || line[0] == '\t') && continuationAllowed) {
    char* value = line;
    while (*value == ' ' || *value == '\t') ++value;
    if (!IsGraphic(*value)) return nullptr;
    line[0] = '\0';
    return value;
  }
  // A header name is at least one character: a line that begins with ": "
  // is text, not a header.
  char* end = line;
  while (IsGraphic(*end) && *end != ':') ++end;
  if (end > line && end[0] == ':' && end[1] == ' ') {
    end[0] = '\0';
    return SkipBlanks(end + 2);
  }
  if (strncmp(line, "From ", 5) == 0) {
    line[4] = '\0';
    return SkipBlanks(line + 5);
  }
  return nullptr;
}

bool ReadWholeLine(FILE* input, std::string* line) {
  line->clear();
  for (int c; (c = getc(input)) != EOF;) {
    line->push_back(static_cast<char>(c));
    if (c == '\n') return true;
  }
  return !line->empty();
}

char* ReadPreLine(PreBlockReader* reader) {
  if (reader->ended || !ReadWholeLine(reader->input, &reader->line)) return nullptr;
  std::string& line = reader->line;
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32) line.pop_back();
  const size_t endLength = strlen("</PRE>");
  if (line.size() >= endLength && line.compare(line.size() - endLength, endLength, "</PRE>") == 0) {
    reader->ended = true;
    if (line.size() == endLength) return nullptr;
    line.resize(line.size() - endLength);
  }
  return line.data();
}

bool IsNewsSlide(FILE* input) {
  std::string line;
  while (ReadWholeLine(input, &line)) {
    if (line == "<!-- BEGIN TEXT -->\n") return false;
    if (line == "<PRE>\n") {
      return ReadWholeLine(input, &line) && SplitHeaderLine(line.data(), false) != nullptr;
    }
  }
  return false;
}

bool FormatNewsHeader(FILE* input, FILE* output) {
  Writer out{output};
  std::string line;
  for (;;) {
    if (!ReadWholeLine(input, &line)) return out.ok;
    if (line == "<PRE>\n") break;
    out.Put(line);
  }
  FreeHeaders();
  PreBlockReader reader(input);
  bool hasFirstLine = ReadHeader(&reader) != nullptr;
  for (const char* name : kFrontHeaders) MoveToFront(name);
  out.Put("<!-- BEGIN TEXT -->\n<P>\n");
  WriteHeaderTable(&out);
  FreeHeaders();
  WriteBody(&out, &reader, hasFirstLine);
  while (ReadWholeLine(input, &line)) out.Put(line);
  return out.ok;
}
