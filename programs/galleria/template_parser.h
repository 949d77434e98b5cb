// The scanner of the index builder's template language: copies text from a
// source to a sink, and hands '${name attr=value ...}' tags, '${-- --}'
// comments (dropped) and '#' directive lines to a subclass; joins lines that
// end in '&'.
#pragma once

class TemplateParser {
 public:
  virtual ~TemplateParser() = default;

  // The next source character (0..255), or -1 at the end of input.
  virtual int GetChar() = 0;
  // One output character.
  virtual void PutChar(int c) = 0;
  // A tag begins; false makes the scanner write it out as text.
  virtual bool BeginTag(const char* name) = 0;
  // The tag ends; non-zero drops a line end that follows the tag directly.
  virtual int EndTag(const char* name) = 0;
  // One attribute of the current tag (value empty when it had none).
  virtual void Attribute(const char* tag, const char* name, const char* value) = 0;
  // One '#' line: its name and the rest of the line. Does nothing here.
  virtual void Directive(const char* name, const char* rest);

  // Runs the scanner over the whole input. The result carries no meaning.
  int Parse();
  // Sends every character of text to PutChar; null sends nothing.
  void PutString(const char* text);

 private:
  int ReadTag();
  void ReadDirective();
  void ReadComment();
  int SkipSpace(int c);
  int ReadAttribute(const char* tag, int c);
};
