// Parsing a batch line before expansion: a small recursive descent over the
// text as written. '&' binds loosest, '&&' and '||' tighter, left to right;
// the body of an "if" runs to the end of the line; "rem" ignores the rest.
#include "batch/batch_syntax.h"

#include <cstring>

#include "platform/ascii_case.h"

namespace weft_batch {
namespace {

const char kSyntaxError[] = "The syntax of the command is incorrect.";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

class Parser {
 public:
  explicit Parser(const std::string& line) : s_(line) {}

  std::unique_ptr<Node> Line(std::string* error) {
    SkipBlanks();
    while (Peek() == '@') {
      ++i_;
      SkipBlanks();
    }
    std::unique_ptr<Node> node;
    if (!AtEnd()) node = Sequence();
    if (!error_.empty()) node.reset();
    *error = error_;
    return node;
  }

 private:
  bool AtEnd() const { return i_ >= s_.size(); }
  char Peek(size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(s_[i_])) ++i_;
  }
  bool AtOperator() const { return Peek() == '&' || Peek() == '|'; }

  std::unique_ptr<Node> Fail(const std::string& message) {
    if (error_.empty()) error_ = message;
    return nullptr;
  }

  std::unique_ptr<Node> Join(Node::Kind kind, std::unique_ptr<Node> first, std::unique_ptr<Node> second) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    node->first = std::move(first);
    node->second = std::move(second);
    return node;
  }

  // command { '&' command }
  std::unique_ptr<Node> Sequence() {
    std::unique_ptr<Node> node = Conditional();
    while (node && Peek() == '&' && Peek(1) != '&') {
      ++i_;
      SkipBlanks();
      if (AtEnd()) break;  // a '&' that ends the line joins nothing
      std::unique_ptr<Node> next = Conditional();
      if (!next) return nullptr;
      node = Join(Node::Kind::kThen, std::move(node), std::move(next));
    }
    return node;
  }

  // command { ('&&' | '||') command }
  std::unique_ptr<Node> Conditional() {
    std::unique_ptr<Node> node = Command();
    while (node && Peek() == Peek(1) && AtOperator()) {
      Node::Kind kind = Peek() == '&' ? Node::Kind::kAnd : Node::Kind::kOr;
      i_ += 2;
      SkipBlanks();
      std::unique_ptr<Node> next = Command();
      if (!next) return nullptr;
      node = Join(kind, std::move(node), std::move(next));
    }
    return node;
  }

  std::unique_ptr<Node> Command() {
    SkipBlanks();
    while (Peek() == '@') {
      ++i_;
      SkipBlanks();
    }
    if (AtEnd() || AtOperator()) return Unexpected();
    std::string word = PeekWord();
    if (IsKeyword(word, "rem")) return Remark();
    if (IsKeyword(word, "if")) return If();
    return Simple();
  }

  std::unique_ptr<Node> Unexpected() {
    if (AtEnd()) return Fail(kSyntaxError);
    std::string op(1, Peek());
    if (Peek(1) == Peek()) op += Peek();
    return Fail(op + " was unexpected at this time.");
  }

  // The command word ahead (up to a blank or an operator), not taken.
  std::string PeekWord() const {
    size_t end = i_;
    while (end < s_.size() && !IsBlank(s_[end]) && !strchr("&|<>", s_[end])) ++end;
    return s_.substr(i_, end - i_);
  }

  // "rem" takes the whole rest of the line as its text.
  std::unique_ptr<Node> Remark() {
    auto node = std::make_unique<Node>();
    node->text = TrimBlanksAndTabs(s_.substr(i_));
    i_ = s_.size();
    return node;
  }

  // A token as written: up to a blank or one of `stops` outside double quotes.
  std::string Token(const char* stops) {
    size_t start = i_;
    bool quoted = false;
    for (; !AtEnd(); ++i_) {
      char c = s_[i_];
      if (c == '"') quoted = !quoted;
      if (!quoted && (IsBlank(c) || strchr(stops, c))) break;
    }
    return s_.substr(start, i_ - start);
  }

  std::unique_ptr<Node> If() {
    auto node = std::make_unique<Node>();
    node->kind = Node::Kind::kIf;
    i_ += 2;
    SkipBlanks();
    std::string word = PeekWord();
    if (IsKeyword(word, "not")) {
      node->negate = true;
      i_ += word.size();
      SkipBlanks();
      word = PeekWord();
    }
    if (IsKeyword(word, "exist") || IsKeyword(word, "errorlevel")) {
      node->test = IsKeyword(word, "exist") ? Node::Test::kExist : Node::Test::kErrorLevel;
      i_ += word.size();
      SkipBlanks();
      node->left = Token("&|<>");
    } else if (!Comparison(node.get())) {
      return Fail(kSyntaxError);
    }
    SkipBlanks();
    if (node->left.empty() || AtEnd() || AtOperator()) return Fail(kSyntaxError);
    node->first = Sequence();
    if (!node->first) return nullptr;
    return node;
  }

  // "left==right", blanks allowed around "==".
  bool Comparison(Node* node) {
    node->test = Node::Test::kCompare;
    node->left = Token("=&|<>");
    SkipBlanks();
    if (Peek() != '=' || Peek(1) != '=') return false;
    i_ += 2;
    SkipBlanks();
    node->right = Token("&|<>");
    return !node->right.empty();
  }

  // A command's text up to an operator, with its redirections taken out.
  std::unique_ptr<Node> Simple() {
    auto node = std::make_unique<Node>();
    std::string& text = node->text;
    bool quoted = false;
    while (!AtEnd()) {
      char c = s_[i_];
      if (c == '"') quoted = !quoted;
      if (quoted || !strchr("^&|<>", c)) {
        text += c;
        ++i_;
        continue;
      }
      if (c == '^') {
        // The escaped character is taken as it is, whatever it is.
        if (i_ + 1 < s_.size()) text += s_[i_ + 1];
        i_ += 2;
        continue;
      }
      if (c == '|' && Peek(1) != '|') return Fail("'|' (a pipe) is not supported; redirect to a file instead.");
      if (c == '&' || c == '|') break;
      if (!Redirection(node.get())) return Fail(kSyntaxError);
    }
    text = TrimBlanksAndTabs(text);
    return node;
  }

  // One redirection at '<' or '>': "<f", ">f", ">>f", "2>f", "2>&1".
  bool Redirection(Node* node) {
    Redirect redirect;
    std::string& text = node->text;
    if (s_[i_] == '<') {
      redirect.kind = Redirect::Kind::kRead;
      redirect.handle = 0;
      ++i_;
    } else {
      size_t n = text.size();
      if (n > 0 && (text[n - 1] == '1' || text[n - 1] == '2') && (n == 1 || IsBlank(text[n - 2]))) {
        redirect.handle = text[n - 1] - '0';
        text.pop_back();
      }
      ++i_;
      if (Peek() == '>') {
        redirect.kind = Redirect::Kind::kAppend;
        ++i_;
      }
      if (Peek() == '&' && (Peek(1) == '1' || Peek(1) == '2')) {
        redirect.kind = Redirect::Kind::kDuplicate;
        redirect.duplicateOf = Peek(1) - '0';
        i_ += 2;
        node->redirects.push_back(redirect);
        SkipBlanks();
        return true;
      }
    }
    SkipBlanks();
    redirect.target = Token("&|<>");
    if (redirect.target.empty()) return false;
    node->redirects.push_back(redirect);
    // The redirection stands between words: one blank keeps them apart.
    if (!text.empty() && !IsBlank(text.back())) text += ' ';
    SkipBlanks();
    return true;
  }

  const std::string& s_;
  size_t i_ = 0;
  std::string error_;
};

}  // namespace

bool IsKeyword(const std::string& word, const char* keyword) { return SameNoCase(word, keyword); }

std::string TrimBlanksAndTabs(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

std::unique_ptr<Node> ParseLine(const std::string& line, std::string* error) {
  Parser parser(line);
  return parser.Line(error);
}

std::vector<RawWord> SplitRawWords(const std::string& text) {
  std::vector<RawWord> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) break;
    RawWord word;
    word.start = i;
    bool quoted = false;
    for (; i < text.size() && (quoted || !IsBlank(text[i])); ++i) {
      if (text[i] == '"') quoted = !quoted;
    }
    word.text = text.substr(word.start, i - word.start);
    words.push_back(word);
  }
  return words;
}

}  // namespace weft_batch
