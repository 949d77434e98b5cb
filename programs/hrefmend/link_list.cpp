#include "programs/hrefmend/link_list.h"

LocalLink* LinkList::Find(const std::string& path) {
  auto found = byPath_.find(path);
  return found == byPath_.end() ? nullptr : &links_[found->second];
}

const LocalLink* LinkList::Find(const std::string& path) const {
  auto found = byPath_.find(path);
  return found == byPath_.end() ? nullptr : &links_[found->second];
}

LocalLink* LinkList::Add(const std::string& path, const std::string& title, bool targetExists) {
  byPath_[path] = links_.size();
  LocalLink& link = links_.emplace_back();
  link.path = path;
  link.title = title;
  link.targetExists = targetExists;
  return &link;
}
