// Appending to a singly linked list held by its first and last node, for
// records kept in the order they were read (a node type with a `next`).
#pragma once

template <typename Node>
void AppendNode(Node* node, Node** head, Node** tail) {
  if (*tail) {
    (*tail)->next = node;
  } else {
    *head = node;
  }
  *tail = node;
}
