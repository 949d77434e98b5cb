// The names of the response files: which process each belongs to.
#include "programs/localweb/response_files.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/process.h"

namespace {

TEST(ResponseFiles, NamesTellTheirServer) {
  EXPECT_EQ(ResponseFilePrefix(), "CGI" + std::to_string(CurrentProcessId()) + "-");
  struct Case {
    const char* name;
    int owner;  // 0: not a response file's name
  } cases[] = {
      {"CGI1234-00AF.tmp", 1234},  {"CGI7-FFFF.tmp", 7},       {"CGI00AF.tmp", 0},
      {"CGI-00AF.tmp", 0},         {"CGI12x-00AF.tmp", 0},     {"cgi1234-00AF.tmp", 0},
      {"CGI1234-00af.tmp", 0},     {"CGI1234-00AF.TMP", 0},    {"CGI1234-00AF.tmp.bak", 0},
      {"CGI1234-00AFF.tmp", 0},    {"CGI1234-0AF.tmp", 0},     {"CGI1234567890-00AF.tmp", 0},
      {"XCGI1234-00AF.tmp", 0},    {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(ResponseFileOwner(c.name), c.owner) << c.name;
}

}  // namespace
