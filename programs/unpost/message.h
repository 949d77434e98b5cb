// One MIME entity of a message kept whole in memory: its headers, its body and
// the header values the decoder needs; multipart bodies are split in place
// into a tree of parts.
#pragma once

#include <memory>
#include <string>
#include <vector>

// Multipart entities nested deeper than this are left unsplit (their body is
// text), so that a hostile message cannot exhaust the stack.
constexpr int kMaxPartDepth = 64;

class Message {
 public:
  // Parses the headers at `text`, a zero-terminated text that the caller owns
  // and that outlives the entity; it is ended in place by Split.
  explicit Message(char* text);
  Message(const Message&) = delete;
  Message& operator=(const Message&) = delete;

  // Ends the heading in place; a multipart entity is split into its parts,
  // each of them split in turn.
  void Split(int depth = 0);
  // A new child parsed from `text`, appended to the part list.
  Message* AddPart(char* text);
  // Splits the body at the lines that begin with "--" and the boundary.
  void SplitMultipart(const std::string& boundary);

  char* heading;                 // the header text
  char* body;                    // the body text
  char* epilogue = nullptr;      // text after the closing boundary, or null
  std::string type;              // default "text"
  std::string subtype;           // default "plain" without a type; empty when none
  std::string boundary;          // empty when none
  std::string transferEncoding;  // default "7bit"
  std::string fileName;          // cleaned; empty when none
  std::vector<std::unique_ptr<Message>> parts;
};
