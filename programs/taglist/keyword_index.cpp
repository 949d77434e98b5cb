#include "programs/taglist/keyword_index.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/assert.h"
#include "shared/chars.h"
#include "shared/keywords.h"
#include "shared/line_reader.h"
#include "shared/string.h"

namespace {

// Pushes a node at the front of a list; the node must not be on a list.
template <typename T>
void PushFront(T** head, T* node) {
  WEFT_ASSERT(node->pNext == nullptr);
  node->pNext = *head;
  *head = node;
}

template <typename T>
void DeleteList(T* head) {
  while (head) {
    T* next = static_cast<T*>(head->pNext);
    delete head;
    head = next;
  }
}

std::string UpperCased(const char* text) {
  std::string upper(text);
  for (char& c : upper) c = ToUpper(c);
  return upper;
}

}  // namespace

ContainerNode::~ContainerNode() { DeleteList(files_); }

void ContainerNode::AddFile(const char* path) {
  PushFront(&files_, new SimpleNode(path));
  ++count_;
}

KeywordIndex::~KeywordIndex() { DeleteList(keywords_); }

ContainerNode* KeywordIndex::FindOrAdd(const char* keyword) {
  ContainerNode*& found = byName_[UpperCased(keyword)];
  if (!found) {
    found = new ContainerNode(keyword);
    PushFront(&keywords_, found);
  }
  return found;
}

void KeywordIndex::AddKeywordFile(const char* line) {
  const char* tab = strchr(line, '\t');
  if (!tab) return;
  std::string path(line, tab);
  const char* cursor = tab + 1;
  for (String keyword = NextKeyword(cursor); !keyword.IsNull(); keyword = NextKeyword(cursor)) {
    if (*keyword.Text()) FindOrAdd(keyword)->AddFile(path.c_str());
  }
}

bool KeywordIndex::ReadDatabase(FILE* in) {
  LineReader reader(in);
  while (reader.Next()) AddKeywordFile(reader.Text());
  return !reader.Failed();
}

void KeywordIndex::Sort() {
  std::vector<ContainerNode*> nodes;
  for (ContainerNode* node = keywords_; node; node = static_cast<ContainerNode*>(node->pNext)) {
    nodes.push_back(node);
  }
  std::sort(nodes.begin(), nodes.end(), [](const ContainerNode* a, const ContainerNode* b) {
    return CompareNoCase(a->Name(), b->Name()) < 0;
  });
  keywords_ = nullptr;
  for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) {
    (*node)->pNext = nullptr;
    PushFront(&keywords_, *node);
  }
}
