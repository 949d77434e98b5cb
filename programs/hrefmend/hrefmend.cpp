#include "programs/hrefmend/hrefmend.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/attributes.h"
#include "platform/file_replace.h"
#include "platform/files.h"
#include "programs/hrefmend/link_fixer.h"
#include "programs/hrefmend/link_parser.h"
#include "shared/index_db.h"
#include "shared/paths.h"
#include "shared/string.h"

namespace {


const char* const kHelp[] = {
    "HREFMEND, HTML Link Fixer, Version 1.01\n",
    "Fixes broken relative local anchor links in an HTML file.\n",
    "Usage:  HREFMEND filename\n",
    "filename    The name of the HTML file to be fixed.\n",
    "Only links contained within <A> and <AREA> tags are checked and fixed.",
    "Global and absolute local links are not checked.",
    "The file is not modified unless it has at least one fixable link.\n",
    "An index database file (\"index.db\") must be located in a parent directory.",
    "The index database must contain the correct path for each broken link.",
    "The index database can be built using the PAGEBASE utility.\n",
    "A broken link is resolved by finding a link with the same file name in the",
    "index database.  If more than one link with the same file name is found, then",
    "the path name is used to find the closest match.  If more than one match is",
    "found (or if no match is found), then the link is not fixed.\n",
    "Exit Codes:",
    "  0 = success, all broken links were fixed",
    "  1 = one or more broken links could not be fixed",
    "  2 = an unrecoverable error occurred",
    "  3 = output file could not be renamed, user intervention required",
};

constexpr int kExitError = 2;
constexpr int kExitRenameFailed = 3;

int Fail(const char* format, const char* a = "", const char* b = "") {
  fprintf(stderr, format, a, b);
  return kExitError;
}

// Pass 2; false (reported) when the database is needed and not found.
bool MatchLinks(LinkFixer* fixer) {
  if (fixer->links.Empty()) return true;
  FILE* db = OpenIndexDatabase("index.db", "r", nullptr);
  if (!db) return false;
  fixer->MatchIndexDb(db);
  fclose(db);
  return true;
}

// Pass 3: the page rewritten beside itself, then put in its place in one
// step, so that a failure at any point leaves the old page as it was.
// Returns 0 or the exit value of the failure; closes the page.
int RewritePage(FILE* page, const char* name, LinkFixer* fixer) {
  std::string temp = ChangeExtensionString(name, ".$$$").Text();
  FILE* out = CompareNoCase(temp.c_str(), name) == 0 ? nullptr : CreateReplacement(temp.c_str(), "wb");
  if (!out) {
    fclose(page);
    return Fail("Error:  Can't create output file \"%s\".\n", temp.c_str());
  }
  rewind(page);
  Parser parser(page, out, fixer);
  parser.Scan();
  bool readFailed = ferror(page) != 0;
  fclose(page);
  bool writeFailed = parser.WriteFailed();
  if (fclose(out) != 0) writeFailed = true;
  if (writeFailed || readFailed) {
    DiscardReplacement(temp.c_str());
    if (readFailed) return Fail("Error:  Can't read file \"%s\".\n", name);
    return Fail("Error:  Can't write to output file.\n");
  }
  if (GetAttributes(name) & kAttrReadOnly) {
    DiscardReplacement(temp.c_str());
    return Fail("Error:  Can't delete file \"%s\".\n", name);
  }
  if (!ReplaceFile(temp.c_str(), name)) {
    fprintf(stderr, "Error:  Can't rename file \"%s\" to \"%s\".\n", temp.c_str(), name);
    fprintf(stderr, "        Output file is \"%s\".\n", temp.c_str());
    return kExitRenameFailed;
  }
  return 0;
}

// Repairs the links of the page `name` in the current directory and reports
// them; returns the exit code.
int FixPageLinks(const char* name) {
  if (strpbrk(name, "\\/:")) return Fail("Command line error:  Path names are not currently supported.\n");
  FILE* page = OpenFile(name, "rb");
  if (!page) return Fail("Error:  Can't open file \"%s\".\n", name);
  LinkFixer fixer;
  Parser(page, nullptr, &fixer).Scan();
  if (ferror(page)) {
    fclose(page);
    return Fail("Error:  Can't read file \"%s\".\n", name);
  }
  if (!MatchLinks(&fixer)) {
    fclose(page);
    return Fail("Error:  Can't open index database.\n");
  }
  bool rewritten = fixer.tallies.fixedLinks > 0;
  if (rewritten) {
    if (int failure = RewritePage(page, name, &fixer)) return failure;
  } else {
    fclose(page);
  }
  fixer.ReportLinks(stdout, rewritten);
  if (fflush(stdout) != 0 || ferror(stdout)) return Fail("Error:  Can't write to standard output.\n");
  return fixer.tallies.fixedLinks < fixer.tallies.brokenLinks ? 1 : 0;
}

}  // namespace

int RunLinkFixer(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-' || argv[1][0] == '/') {
    for (const char* line : kHelp) puts(line);
    return 0;
  }
  return FixPageLinks(argv[1]);
}
