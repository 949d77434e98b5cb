// Boolean queries over the attributes of an AttributeStore, such as
// KEYWORDS >>> 'beach' & TITLE ~ 'IMG*': compiled once into byte code, then
// matched against any number of stores.
#pragma once

#include <string>

class AttributeStore;

class Query {
 public:
  // Compiles the expression (null is a programming error).
  explicit Query(const char* expression);
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  // Evaluates the query on the store (null is a programming error). An empty
  // expression matches nothing.
  bool Matches(AttributeStore* store) const;

  // The compiled byte code, ended by a zero code (for checks and tests).
  const std::string& Code() const { return code_; }

 private:
  std::string code_;
};
