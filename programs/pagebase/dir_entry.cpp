#include "programs/pagebase/dir_entry.h"

#include <cstring>

#include "shared/string.h"

namespace {

// Appends the node's path at *length, its ancestors first; never past size - 1.
void AppendPath(const DirEntry* node, char* buffer, size_t size, size_t* length) {
  if (node->parent) {
    AppendPath(node->parent, buffer, size, length);
    if (*length > 0 && buffer[*length - 1] != '\\' && *length + 1 < size) buffer[(*length)++] = '\\';
  }
  size_t room = size - 1 - *length;
  size_t nameLength = strlen(node->name);
  if (nameLength > room) nameLength = room;
  memcpy(buffer + *length, node->name, nameLength);
  *length += nameLength;
}

}  // namespace

DirEntryList::~DirEntryList() {
  while (head) {
    DirEntry* node = head;
    head = node->next;
    delete node->entry;
    delete[] node->name;
    delete[] node->folderThumbnails;
    delete node;
    --count;
  }
  tail = nullptr;
}

DirEntry* DirEntryList::Append(const char* name, Entry* entry, DirEntry* parent,
                               const char* folderThumbnails) {
  DirEntry* node = new DirEntry;
  node->name = CopyText(name);
  if (folderThumbnails) node->folderThumbnails = CopyText(folderThumbnails);
  node->entry = entry;
  node->parent = parent;
  if (tail) {
    tail->next = node;
  } else {
    head = node;
  }
  tail = node;
  ++count;
  return node;
}

char* RecordPath(const DirEntry* node, char* buffer, size_t size) {
  if (size == 0) return buffer;
  size_t length = 0;
  AppendPath(node, buffer, size, &length);
  buffer[length] = '\0';
  return buffer;
}
