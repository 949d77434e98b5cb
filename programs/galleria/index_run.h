// The state of one run of the index builder beside its settings: whether it
// answers a CGI request, the output flags, the paging state, the request's
// arguments, the key icons and what the run makes once. One record, put back
// to its start by value in one place.
#pragma once

#include <deque>
#include <memory>
#include <string>

#include "programs/galleria/entry_pieces.h"
#include "programs/galleria/navigation.h"
#include "shared/cgi/cgi.h"
#include "shared/file_section.h"
#include "shared/string.h"

struct IndexRun {
  // Set when "weftcgi.ini" lies beside the program file; fixed for the run.
  bool cgiMode = false;
  // Set by any failed write to the page being built; CommitIndexOutput then
  // keeps the old page.
  bool outputError = false;
  // Set when the page being built was given up after its error was reported
  // (a template that includes without end); CommitIndexOutput then keeps the
  // old page.
  bool outputAbandoned = false;
  PagingState paging;

  // The request's arguments in CGI mode, read once; null outside it.
  std::unique_ptr<CGIArgs> request;
  // The key icon list in the file's order. A deque keeps every icon where it
  // is while the list grows, so the links from one icon to the next hold.
  std::deque<KeywordIcon> keyIcons;
  // The "nothumb" icon's tag, made on its first use with that use's
  // attributes and kept for the run.
  bool noThumbMade = false;
  String noThumbTag;
  // The index page as it stood before this run, opened when a template
  // first asks for its sections and closed when the template ends.
  std::unique_ptr<FileSection> oldPage;
  // The generator text of every page head, made on its first use.
  std::string generator;
};

extern IndexRun indexRun;

// The names by which the builder's modules share the run's flags and its
// paging state: the fields of indexRun.
extern bool& cgiMode;
extern bool& OutputError;
extern bool& OutputAbandoned;
extern PagingState& pagingState;

// Puts the settings (IndexSettings and both ListingSection records), the
// sort order that new entries take and the whole run state back to their
// start.
void ResetIndexRun();
