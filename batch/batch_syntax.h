// The syntax of one batch-file or command line: commands joined by '&', '&&'
// and '||', their redirections, quoting, '^' escapes and the structure of
// "if".
//
// The syntax is found on the line's text as written, before any %-expansion,
// and each piece is expanded only when its command runs. So an expanded value
// (a CGI script's %QUERY_STRING% holding '>', '&', '|' or '"') is never read as
// syntax: it cannot add a command, a redirection or an "if" body; it stays
// data. This differs from the Windows interpreter on purpose.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace weft_batch {

// One redirection of a command's standard handle.
struct Redirect {
  enum class Kind { kRead, kWrite, kAppend, kDuplicate };
  Kind kind = Kind::kWrite;
  int handle = 1;         // 0 input, 1 output, 2 error output
  std::string target;     // the file as written (kDuplicate: empty)
  int duplicateOf = -1;   // kDuplicate: the handle copied ("2>&1": 1)
};

// A parsed line. A command holds its text as written, with the redirections
// and the escaping '^' taken out; an "if" holds its test and its body (the
// rest of the line, operators included, as the Windows interpreter reads it).
struct Node {
  enum class Kind { kCommand, kIf, kThen, kAnd, kOr };  // kThen: '&'
  enum class Test { kExist, kErrorLevel, kCompare };
  Kind kind = Kind::kCommand;

  std::string text;                   // kCommand
  std::vector<Redirect> redirects;    // kCommand

  bool negate = false;                // kIf
  Test test = Test::kExist;           // kIf
  std::string left, right;            // kIf: operands as written (right: kCompare only)

  std::unique_ptr<Node> first, second;  // kIf: body in first; operators: both sides
};

// Parses one line. Null with an empty `error` for a line without a command
// (blank, or only '@'); null with the message on a syntax error.
std::unique_ptr<Node> ParseLine(const std::string& line, std::string* error);

// A word of a command's text as written: blanks outside double quotes
// separate words; the quotes stay in the word.
struct RawWord {
  std::string text;
  size_t start = 0;  // its offset in the text
};
std::vector<RawWord> SplitRawWords(const std::string& text);

// Command names, keywords and switches compare without regard to letter case.
bool IsKeyword(const std::string& word, const char* keyword);
// The text without the blanks and tabs at either end.
std::string TrimBlanksAndTabs(const std::string& text);

}  // namespace weft_batch
