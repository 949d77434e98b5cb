// Test helpers: page-head values as long as the page-head editors keep them
// (descriptions of 511 characters, keyword lists of 1023) and longer, and
// the fields of a written head as they stand in the page, for the tests
// that a page rebuilt by a program keeps every field whole.
#pragma once

#include <string>

// A keyword list of `length` characters: "word0, word1, ...", cut to fit.
inline std::string KeywordListOf(size_t length) {
  std::string list;
  for (int i = 0; list.size() < length; ++i) list += (i ? ", word" : "word") + std::to_string(i);
  list.resize(length);
  while (!list.empty() && (list.back() == ' ' || list.back() == ',')) list.back() = 'w';
  return list;
}

// A sentence of `length` characters, made of words with an entity in it as a
// user writes one ("&amp;").
inline std::string DescriptionOf(size_t length) {
  std::string text = "Boats &amp; nets at dawn";
  for (int i = 0; text.size() < length; ++i) text += " word" + std::to_string(i);
  text.resize(length);
  if (text.back() == ' ') text.back() = '.';
  return text;
}

// The text of the TITLE element, or the CONTENT of the META element named
// `name` ("DESCRIPTION"), as written in `page`; "(none)" when there is none.
inline std::string HeadFieldOf(const std::string& page, const std::string& name) {
  std::string start = name == "TITLE" ? "<TITLE>" : "<META NAME=\"" + name + "\" CONTENT=\"";
  std::string end = name == "TITLE" ? "</TITLE>" : "\">";
  size_t at = page.find(start);
  if (at == std::string::npos) return "(none)";
  at += start.size();
  size_t stop = page.find(end, at);
  return stop == std::string::npos ? "(none)" : page.substr(at, stop - at);
}
