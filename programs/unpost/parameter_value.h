// One MIME header parameter gathered from all the forms a mail program may
// write it in: plain (name="a.jpg"), extended with a charset and percent
// escapes (name*=utf-8''%C3%A4.jpg) and cut into numbered pieces
// (name*0*=utf-8''..., name*1*=..., name*2="...").
#pragma once

#include <map>
#include <string>

class ParameterValue {
 public:
  // Makes a value usable, or "" when it is not (a file name cleaned of
  // paths, for instance).
  using Cleaner = std::string (*)(const std::string& value);

  // `name` is the parameter's plain name, such as "filename".
  ParameterValue(const char* name, Cleaner clean) : name_(name), clean_(clean) {}

  // True when `parameter` (as read from the header, for instance
  // "filename*1*") is one of this parameter's forms; its value is kept.
  bool Take(const std::string& parameter, const std::string& value);
  // The cleaned value of the first form that gives one: the extended value,
  // the value put together from its pieces, the first usable plain value;
  // "" when none does. Extended texts in ISO-8859-1 or windows-1252 come back
  // in UTF-8, the host's encoding of file names; other charsets keep their
  // bytes.
  std::string Value() const;

 private:
  struct Piece {
    std::string text;
    bool encoded = false;
  };

  std::string Joined() const;

  std::string name_;
  Cleaner clean_;
  std::string plain_;
  std::string extended_;
  bool hasExtended_ = false;
  std::map<int, Piece> pieces_;
};
