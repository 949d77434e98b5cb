#include "programs/galleria/entry_format.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/index_settings.h"
#include "programs/galleria/template_parser.h"
#include "shared/chars.h"
#include "shared/config.h"
#include "shared/entry.h"
#include "shared/htmltext.h"

const char kSimpleFormat[] =
    "<?A>${title}</A>{ - {${desc}<?SP>{<SMALL>[${info}]</SMALL>}<?SP>${icons}}}";
const char kThumbnailFormat[] = "<?A>${nothumb}</A>";
const char kColumnFormat[] =
    "<?A>${title}</A>{<BR><SMALL>{${desc}<?SP>{[${info}]}<?BR>{${icons}&nbsp;}}</SMALL>}";
const char kColumnThumbFormat[] =
    "{<?A>${nothumb}</A>}<?TAB>{<?A>${title}</A>{<BR><SMALL>{${desc}<?SP>{[${info}]}<?BR>"
    "{${icons}&nbsp;}}</SMALL>}}";

namespace {

constexpr int kAttributeSize = 256;  // 255 characters and the terminator

// Reads one '${name attr=...}' reference at the cursor and looks its value
// up; the first character that is not part of the reference ends the scan.
class FormatParser : public TemplateParser {
 public:
  FormatParser(const char*& cursor, Entry* entry) : cursor_(cursor), entry_(entry) {}

  String Result() const { return result_; }

  int GetChar() override {
    if (stop_ || !*cursor_) return -1;
    return static_cast<unsigned char>(*cursor_++);
  }
  void PutChar(int) override { stop_ = true; }
  bool BeginTag(const char*) override {
    attributes_[0] = '\0';
    return true;
  }
  void Attribute(const char*, const char* name, const char* value) override {
    if (CompareNoCaseN(name, "attr", 4) == 0) {
      CopyBounded(attributes_, value, sizeof attributes_);
    } else if (CompareNoCase(name, "links") == 0) {
      CopyBounded(attributes_, *value ? value : "1", sizeof attributes_);
    }
  }
  int EndTag(const char* name) override {
    result_ = EntryVariable(name, attributes_, entry_);
    stop_ = true;
    return 0;
  }

 private:
  const char*& cursor_;
  Entry* entry_;
  String result_;
  bool stop_ = false;
  char attributes_[kAttributeSize] = {};
};

String EscapedDescription(const Entry* entry, const char* attributes) {
  String escaped = HtmlEncodePageString(entry->description);
  bool links = attributes && *attributes ? ParseBool(attributes, false) : indexSettings.weblinks;
  return links ? LinkUrlsString(escaped) : escaped;
}

// The FILEINFO text up to its first "; ".
String InfoHead(const Entry* entry) {
  if (!entry->fileInfo) return String();
  const char* end = strstr(entry->fileInfo, "; ");
  size_t length = end ? static_cast<size_t>(end - entry->fileInfo) : strlen(entry->fileInfo);
  return String(std::string(entry->fileInfo, length).c_str());
}

String ThumbOrNoThumb(const Entry* entry, const char* attributes) {
  if (entry->thumbnail) return EntryThumbTag(entry, attributes);
  return NoThumbIcon(attributes);
}

String Decimal(int value) {
  char text[16];
  snprintf(text, sizeof text, "%d", value);
  return String(text);
}

String VariableValue(const char* name, const char* attributes, Entry* entry) {
  if (CompareNoCase(name, "title") == 0) {
    return HtmlEncodePageString(ShortTitle(entry->title));
  }
  if (CompareNoCase(name, "desc") == 0 || CompareNoCase(name, "description") == 0) {
    return EscapedDescription(entry, attributes);
  }
  if (CompareNoCase(name, "info") == 0) return InfoHead(entry);
  if (CompareNoCase(name, "icons") == 0) return KeywordIconTags(entry, false);
  if (CompareNoCase(name, "thumb") == 0) return EntryThumbTag(entry, attributes);
  if (CompareNoCase(name, "nothumb") == 0) return ThumbOrNoThumb(entry, attributes);
  if (CompareNoCase(name, "keywords") == 0) return HtmlEncodePageString(entry->keywords);
  if (CompareNoCase(name, "order") == 0) return Decimal(entry->sortOrder);
  return String();
}

// Where a literal run ends: at "${" before a letter, "<?", "{", "}" or the end.
bool EndsLiteral(const char* p) {
  if (*p == '\0' || *p == '{' || *p == '}') return true;
  if (p[0] == '<' && p[1] == '?') return true;
  return p[0] == '$' && p[1] == '{' && IsAlpha(p[2]);
}

bool IsPseudoTag(const char* p, const char* tag) {
  return CompareNoCaseN(p, tag, strlen(tag)) == 0;
}

// Past the next '>' (or to the end).
const char* PastTagEnd(const char* p) {
  const char* end = strchr(p, '>');
  return end ? end + 1 : p + strlen(p);
}

// One level of a format: the pieces up to the matching '}' (consumed) or
// the end. Empty unless some value-bearing piece came out non-empty.
class FormatExpander {
 public:
  FormatExpander(Entry* entry, const char* tabText) : entry_(entry), tabText_(tabText) {}

  std::string Expand(const char*& cursor) {
    std::string text;
    const char* separator = nullptr;
    bool counted = false;
    while (*cursor && *cursor != '}') {
      bool counts = false;
      bool keepSeparator = false;
      std::string piece = ReadPiece(cursor, text, &separator, &counts, &keepSeparator);
      if (!piece.empty()) {
        if (counts) counted = true;
        if (separator && !text.empty()) text += separator;
        text += piece;
      }
      if (!keepSeparator) separator = nullptr;
    }
    if (*cursor == '}') ++cursor;
    return counted ? text : std::string();
  }

 private:
  std::string ReadPiece(const char*& cursor, const std::string& text, const char** separator,
                        bool* counts, bool* keepSeparator) {
    if (cursor[0] == '<' && cursor[1] == '?') {
      return ReadPseudoTag(cursor, text, separator, counts, keepSeparator);
    }
    if (cursor[0] == '$' && cursor[1] == '{' && IsAlpha(cursor[2])) {
      FormatParser parser(cursor, entry_);
      parser.Parse();
      *counts = true;
      String value = parser.Result();
      return value.IsNull() ? std::string() : std::string(value.Text());
    }
    if (*cursor == '{') {
      ++cursor;
      *counts = true;
      return Expand(cursor);
    }
    const char* start = cursor;
    do ++cursor;
    while (!EndsLiteral(cursor));
    return std::string(start, static_cast<size_t>(cursor - start));
  }

  std::string ReadPseudoTag(const char*& cursor, const std::string& text,
                            const char** separator, bool* counts, bool* keepSeparator) {
    if (IsPseudoTag(cursor, "<?BR>") || IsPseudoTag(cursor, "<?SP>")) {
      bool lineBreak = IsPseudoTag(cursor, "<?BR>");
      cursor += 5;
      if (!text.empty()) *separator = lineBreak ? "<BR>" : " ";
      *keepSeparator = true;
      return std::string();
    }
    std::string piece;
    if (IsPseudoTag(cursor, "<?A>")) {
      String link = EntryLink(entry_);
      if (!link.IsNull()) piece = link.Text();
    } else if (IsPseudoTag(cursor, "<?TAB>")) {
      piece = tabText_ ? tabText_ : "";
      *counts = true;
    }
    cursor = PastTagEnd(cursor);
    return piece;
  }

  Entry* entry_;
  const char* tabText_;
};

}  // namespace

String EntryVariable(const char* name, const char* attributes, Entry* entry) {
  if (!name || !entry) return String("");
  String value = VariableValue(name, attributes, entry);
  return value.IsNull() ? String("") : value;
}

String ExpandEntryFormat(const char* format, Entry* entry, const char* tabText) {
  if (!format || !entry) return String();
  FormatExpander expander(entry, tabText);
  const char* cursor = format;
  std::string text = expander.Expand(cursor);
  return text.empty() ? String() : String(text.c_str());
}
