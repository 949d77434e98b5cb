// The head information of one HTML page (title, description, keywords, sort
// order, forwarding URL and the BODY tag's attributes): read from the page,
// changed field by field, and written back with only the changed elements
// touched; everything else is copied character for character.
#pragma once

#include <cstdio>

#include "platform/code_page.h"
#include "shared/html_parser.h"
#include "shared/string.h"

// The fields of a page head, in the order in which new META elements are
// inserted (description, keywords, sort order, forward).
enum HeadField { kTitle, kDescription, kKeywords, kSortOrder, kForward, kBody, kHeadFieldCount };

// The values and flags of one page head; a plain record that Clear empties.
struct HTMLFileInfo {
  char title[256];         // TITLE text, at most 255 characters
  char description[512];   // META DESCRIPTION (or SUBJECT), at most 511
  char keywords[1024];     // META KEYWORDS, at most 1023
  char sortOrder[10];      // META SORTORDER, at most 9
  char forward[512];       // META FORWARD (a URL), at most 511
  char body[512];          // attributes of the BODY tag, at most 511
  bool found[kHeadFieldCount];    // the reader met the element
  bool changed[kHeadFieldCount];  // the value must be written
  // META elements of the field's name that the reader met; the writer
  // rewrites the last of them, the one whose value was read.
  int metaCount[kHeadFieldCount];

  void Clear();  // every value, flag and count to zero
  char* Text(HeadField field);
  const char* Text(HeadField field) const;
  static int Limit(HeadField field);  // characters the field holds
};

// Writes `text` into `out` with every run of non-graphic characters (blank,
// control characters, 0x7F) replaced by one blank; leading and trailing runs
// too, nothing is trimmed. Bytes 0x80 to 0xFF count as graphic (they are the
// letters of the pages' code page). `out` needs strlen(text) + 1 bytes and
// may be `text` itself. Returns `out`.
char* CollapseSpaces(const char* text, char* out);
char* CollapseSpaces(char* text);  // in place

// One page head: the values read by Read, the setters that mark changes and
// Write, which rewrites the page. An editor keeps one for all its pages.
class HTMLFile {
 public:
  // Input and output name both become `name` when one is given.
  explicit HTMLFile(const char* name = nullptr);

  // Reads the head of the input file (of `name`, which then becomes input
  // and output name). False with ErrorText set when it cannot be read or
  // holds a NUL byte (no page that could be written back faithfully).
  bool Read(const char* name = nullptr);
  // Writes the page with the changed fields to the output file (`name`, when
  // given, becomes the output name). The new text is written beside the
  // target and put in its place in one step, so a failure leaves the old
  // file as it was; everything but the changed elements is copied byte for
  // byte, and added lines end as the page's own do (LF or CR LF). A changed
  // value that does not fit its field whole, or a page with a NUL byte, is
  // refused before anything is written. False with ErrorText set on
  // failure, or when a changed field had no place in the page (the page is
  // then written all the same).
  bool Write(const char* name = nullptr);

  // Copies of the values (empty text, never null, when the page had none).
  String Title() const;
  String Description() const;
  String Keywords() const;
  String SortOrder() const;
  String Forward() const;
  String Body() const;

  // Store a value (title, description and keywords with their white space
  // collapsed) and mark it changed, when the text differs from the stored
  // one. A value longer than the field is stored cut, and Write refuses it.
  // Always true. The text must not be null.
  bool SetTitle(const char* pTitle);
  bool SetDescription(const char* pDescription);
  bool SetKeywords(const char* pKeywords);
  bool SetSortOrder(const char* pSortOrder);
  bool SetForward(const char* pForward);  // a URL
  bool SetBody(const char* pBody);        // the attributes of the BODY tag

  // Empty after a successful Read or Write, else the one message of the
  // failure with the file name filled in (no final full stop).
  const char* ErrorText() const { return errorText_; }
  const char* InputName() const { return inputName_; }
  const char* OutputName() const { return outputName_; }
  const HTMLFileInfo& Info() const { return info_; }
  // The code page of the head read last, in which its values come and go:
  // UTF-8 when every byte read (up to the BODY tag) is well-formed UTF-8,
  // which plain ASCII is; else windows-1252, the pages' code page before.
  CodePage HeadCodePage() const { return headCodePage_; }

 private:
  bool Set(HeadField field, const char* text);
  bool SetGiven(HeadField field, const char* text, const char* parameter);
  bool Fail(const char* format, const char* name);
  FILE* OpenInput();
  bool CheckLimits();
  bool WriteTemporary(FILE* input, FILE* output);

  HTMLFileInfo info_;
  char inputName_[261];
  char outputName_[261];
  bool inputTooLong_ = false;   // the name given was over 260 characters
  bool outputTooLong_ = false;
  bool tooLong_[kHeadFieldCount] = {};  // the value set did not fit its field
  bool crlf_ = false;                   // the input's lines end in CR LF
  CodePage headCodePage_ = CodePage::kUtf8;
  char errorText_[512];
};

// Reads a page head into an HTMLFileInfo; stops after the BODY tag.
class HTMLFileReader : public HTMLStreamParser {
 public:
  HTMLFileReader(FILE* input, HTMLFileInfo* info);
  // True when the bytes read so far are well-formed UTF-8.
  bool ReadUtf8() const { return utf8_.Valid(); }

 protected:
  int NextChar() override;
  void OnText(int ch) override;
  void OnComment(int) override {}
  void OnTag(char* tag) override;
  void OnScript(int) override {}
  void OnStyle(int) override {}

 private:
  void FinishTitle();
  void ReadMeta(char* tag);
  void ReadBody(const char* tag);

  HTMLFileInfo* info_;
  int titlePosition_ = -1;  // where the next title character goes; -1: none
  Utf8Check utf8_;
};

// Copies a page from input to output, rewriting, inserting or dropping the
// elements whose changed flag is set and clearing each flag it serves. Lines
// it adds end in `newline`, as the page's own lines do.
class HTMLFileWriter : public HTMLStreamParser {
 public:
  HTMLFileWriter(FILE* input, FILE* output, HTMLFileInfo* info, const char* newline = "\n");
  // Writes what is still held back once the scan has ended.
  void Finish();

 protected:
  void OnText(int ch) override;
  void OnComment(int ch) override;
  void OnTag(char* tag) override;

 private:
  void WriteTag(const char* tag);
  void OnHead(const char* tag, bool upper);
  void OnTitle(const char* tag);
  void OnTitleEnd(const char* tag);
  void OnMeta(char* tag, bool upper);
  void OnHeadEnd(bool upper);
  void OnBody(const char* tag, bool upper);
  void DropElement();
  void PutHeldReturn();

  FILE* output_;
  HTMLFileInfo* info_;
  const char* newline_;
  bool heldReturn_ = false;  // a CR that may begin the line end being dropped
  bool inHead_ = false;
  bool suppressTitle_ = false;
  bool dropNewline_ = false;
  char lastWritten_ = '\n';
  int metaSeen_[kHeadFieldCount] = {};
};
