// taglist's keyword index: one node per keyword (first spelling met, found
// again without regard to case), each with the files that carry it, built
// from keyword database lines and then sorted by keyword.
#pragma once

#include <cstdio>
#include <string>
#include <unordered_map>

class Node {
 public:
  virtual ~Node() = default;
  virtual const char* Name() const = 0;
  Node* pNext = nullptr;
};

// One file under a keyword.
class SimpleNode : public Node {
 public:
  explicit SimpleNode(const char* name) : name_(name) {}
  const char* Name() const override { return name_.c_str(); }

 private:
  std::string name_;
};

// One keyword with its files, the last added first.
class ContainerNode : public Node {
 public:
  explicit ContainerNode(const char* name) : name_(name) {}
  ~ContainerNode() override;
  const char* Name() const override { return name_.c_str(); }

  void AddFile(const char* path);
  const SimpleNode* Files() const { return files_; }
  int FileCount() const { return count_; }

 private:
  std::string name_;
  SimpleNode* files_ = nullptr;
  int count_ = 0;
};

class KeywordIndex {
 public:
  KeywordIndex() = default;
  ~KeywordIndex();  // frees every keyword with its file list
  KeywordIndex(const KeywordIndex&) = delete;
  KeywordIndex& operator=(const KeywordIndex&) = delete;

  // One database line (line feed removed): the path before the first TAB
  // goes under each keyword of the list after it. A line without TAB adds
  // nothing.
  void AddKeywordFile(const char* line);
  // Every line of a stream; false on a read error.
  bool ReadDatabase(FILE* in);
  // Puts the keywords in order, without regard to letter case.
  void Sort();

  const ContainerNode* Keywords() const { return keywords_; }

 private:
  ContainerNode* FindOrAdd(const char* keyword);

  ContainerNode* keywords_ = nullptr;
  std::unordered_map<std::string, ContainerNode*> byName_;  // upper-cased keys
};
