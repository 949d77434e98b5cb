// Options, "localweb.cfg" lines and the request-line reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"
#include "programs/localweb/server.h"
#include "programs/localweb/server_settings.h"

namespace {

ServerSettings Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "C:\\bin\\localweb.exe");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  ServerSettings settings;
  ParseOptions(static_cast<int>(argv.size()), argv.data(), &settings);
  FinishSettings(&settings);
  return settings;
}

TEST(LocalwebOptions, Table) {
  struct Case {
    std::vector<std::string> args;
    uint32_t bufferSize;
    int port;
    bool localMode, debug;
  } cases[] = {
      {{}, 1024, 80, true, false},
      {{"/B:0"}, 1024, 80, true, false},
      {{"/B:x"}, 1024, 80, true, false},
      {{"/B:64"}, 65536, 80, true, false},
      {{"-b2"}, 2048, 80, true, false},
      {{"-p8080"}, 1024, 8080, true, false},
      {{"/P:8080"}, 1024, 8080, true, false},
      {{"/P:0"}, 1024, 80, true, false},
      {{"/g", "/d"}, 1024, 80, false, true},
      {{"/G", "/L"}, 1024, 80, true, false},
      {{"P:99", "extra"}, 1024, 80, true, false},
  };
  for (const Case& c : cases) {
    std::string label = c.args.empty() ? "(none)" : c.args[0];
    ServerSettings s = Parse(c.args);
    EXPECT_EQ(s.bufferSize, c.bufferSize) << label;
    EXPECT_EQ(s.port, c.port) << label;
    EXPECT_EQ(s.localMode, c.localMode) << label;
    EXPECT_EQ(s.debug, c.debug) << label;
  }
}

TEST(LocalwebOptions, ConfigFileNameAndUsage) {
  EXPECT_STREQ(Parse({}).configFile, "C:\\bin\\localweb.cfg");
  EXPECT_STREQ(Parse({"/C:site.cfg"}).configFile, "site.cfg");
  EXPECT_TRUE(Parse({"-?"}).usage);
  // A file name longer than the setting is cut, never written past it.
  std::string longName = "/C:" + std::string(400, 'n');
  EXPECT_EQ(std::string(Parse({longName}).configFile).size(), 255u);
}

TEST(LocalwebConfig, MapAndPassRules) {
  ServerSettings s;
  ApplyConfigLine("Map /cgi-bin/* c:/cgi/*\n", &s);
  ApplyConfigLine("PASS\t/photos/\n", &s);
  ApplyConfigLine("map\n", &s);
  ApplyConfigLine("   \n", &s);
  ApplyConfigLine("Alias /x/ /y/\n", &s);
  ASSERT_EQ(s.ruleCount, 2);
  EXPECT_STREQ(s.rules[0].prefix, "\\cgi-bin\\");
  EXPECT_STREQ(s.rules[0].replacement, "c:\\cgi\\");
  EXPECT_EQ(s.rules[0].prefixLength, 9);
  EXPECT_EQ(s.rules[0].stop, 0);
  EXPECT_STREQ(s.rules[1].prefix, "\\photos\\");
  EXPECT_TRUE(s.rules[1].replacement.IsNull());
  EXPECT_EQ(s.rules[1].stop, 1);
}

TEST(LocalwebConfig, TwentyRulesAtMost) {
  ServerSettings s;
  for (int i = 0; i < 21; ++i) ApplyConfigLine(("Map /r" + std::to_string(i) + "/").c_str(), &s);
  ASSERT_EQ(s.ruleCount, 20);
  EXPECT_STREQ(s.rules[19].prefix, "\\r19\\");
}

TEST(LocalwebConfig, PortAndBufferKeys) {
  ServerSettings s;
  ApplyConfigLine("port 8081", &s);
  ApplyConfigLine("BufferSize 4", &s);
  EXPECT_EQ(s.port, 8081);
  EXPECT_EQ(s.bufferSize, 4096u);
  ApplyConfigLine("Port", &s);
  ApplyConfigLine("BufferSize", &s);
  EXPECT_EQ(s.port, 8081);
  EXPECT_EQ(s.bufferSize, 4096u);
}

TEST(LocalwebConfig, FileLinesAreReadInPiecesOf255) {
  TempDrive drive;
  // The first line is 255 characters long before "Port 82", which therefore
  // is read as a line of its own; a missing file changes nothing.
  drive.Write("site.cfg", std::string(255, 'x') + "Port 82\nMap /a/ /b/\n");
  ServerSettings s;
  ReadServerConfigFile("C:\\site.cfg", &s);
  EXPECT_EQ(s.port, 82);
  EXPECT_EQ(s.ruleCount, 1);
  ReadServerConfigFile("C:\\missing.cfg", &s);
  EXPECT_EQ(s.port, 82);
}

// Values a user could not mean are refused at start-up, never wrapped or
// allocated: ports past 65535, buffers past 64 MB, numbers past any int.
TEST(LocalwebOptions, OutOfRangeValues) {
  struct Case {
    std::vector<std::string> args;
    const char* config;
    const char* error;  // null: accepted
  } cases[] = {
      {{"/P:65535"}, "", nullptr},
      {{"/P:65536"}, "", "Error:  The port number must be from 1 to 65535.\n"},
      {{"/P:70000"}, "", "Error:  The port number must be from 1 to 65535.\n"},
      {{"/P:99999999999999999999"}, "", "Error:  The port number must be from 1 to 65535.\n"},
      {{}, "Port 123456\n", "Error:  The port number must be from 1 to 65535.\n"},
      {{"/P:-5"}, "", nullptr},  // below 1: the default port
      {{"/B:65536"}, "", nullptr},
      {{"/B:65537"}, "", "Error:  The buffer size must be at most 65536 Kbytes.\n"},
      {{"/B:4294967296"}, "", "Error:  The buffer size must be at most 65536 Kbytes.\n"},
      {{}, "BufferSize 99999999999999\n", "Error:  The buffer size must be at most 65536 Kbytes.\n"},
  };
  for (const Case& c : cases) {
    std::string label = c.args.empty() ? c.config : c.args[0];
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "C:\\bin\\localweb.exe");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    ServerSettings s;
    ParseOptions(static_cast<int>(argv.size()), argv.data(), &s);
    ApplyConfigLine(c.config, &s);
    FinishSettings(&s);
    const char* error = SettingsError(s);
    EXPECT_STREQ(error, c.error) << label;
  }
}

TEST(LocalwebConfig, CGITimeLimitKey) {
  ServerSettings s;
  FinishSettings(&s);
  EXPECT_EQ(s.cgiTimeLimit, 60);
  ApplyConfigLine("cgitimelimit 5", &s);
  FinishSettings(&s);
  EXPECT_EQ(s.cgiTimeLimit, 5);
  ApplyConfigLine("CGITimeLimit 0", &s);
  FinishSettings(&s);
  EXPECT_EQ(s.cgiTimeLimit, 60);
}

TEST(LocalwebRequests, HostNamesOfThisMachine) {
  struct Case {
    const char* host;
    bool local;
  } cases[] = {
      {"localhost", true},          {" LocalHost:8080 ", true},  {"localhost.", true},
      {"127.0.0.1", true},          {"127.0.0.1:80", true},      {"127.1.2.3", true},
      {"[::1]", true},              {"[::1]:8080", true},        {"evil.example", false},
      {"localhost.evil.example", false}, {"127.0.0.1.evil.example", false},
      {"128.0.0.1", false},         {"127.0.0.256", false},      {"127.0.0", false},
      {"127.0.0.1:x", false},       {"localhost:80:80", false},  {"[::2]", false},
      {"[::1", false},              {"", false},                 {"0x7f.0.0.1", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsLoopbackHost(c.host), c.local) << c.host;
}

// The version text tells whether header lines follow the request line.
TEST(LocalwebRequestLine, GivesTheVersionText) {
  for (const char* text : {"GET /x.htm HTTP/0.9", "GET /x.htm", "GET /x.htm HTTP/1.1  "}) {
    std::string line = text;
    char* url = nullptr;
    bool headers = false;
    const char* version = nullptr;
    ASSERT_TRUE(ParseRequestLine(line.data(), &url, &headers, &version)) << text;
    std::string expected = std::string(text).size() > 10 ? std::string(text).substr(11) : "";
    EXPECT_EQ(version, expected) << text;
  }
}

TEST(LocalwebRequests, ConsoleTextHasNoControlBytes) {
  EXPECT_EQ(PrintableText("HEAD / HTTP/1.0"), "HEAD / HTTP/1.0");
  EXPECT_EQ(PrintableText("POST /\x1b[2J\a\x7f\t\xe9"), "POST /\\x1B[2J\\x07\\x7F\\x09\xe9");
}


TEST(LocalwebRequestLine, SplitsMethodUrlAndVersion) {
  struct Case {
    const char* line;
    bool accepted;
    const char* url;
    bool headers;
  } cases[] = {
      {"GET /a.htm HTTP/1.0", true, "/a.htm", true},
      {"get   /b%20c.gif   HTTP/1.1", true, "/b%20c.gif", true},
      {"GET /x.htm", true, "/x.htm", false},
      {"GET /x.htm HTTP/0.9", true, "/x.htm", false},
      {"GET ", true, "", false},
      {"GET /t\tHTTP/1.0", true, "/t", true},
      {"POST /a.htm HTTP/1.0", false, nullptr, false},
      {"GETX /a.htm", false, nullptr, false},
      {"", false, nullptr, false},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    char* url = nullptr;
    bool headers = false;
    EXPECT_EQ(ParseRequestLine(line.data(), &url, &headers), c.accepted) << c.line;
    if (!c.accepted) continue;
    EXPECT_STREQ(url, c.url) << c.line;
    EXPECT_EQ(headers, c.headers) << c.line;
  }
}

// What a client has sent decides its request once the line, and the header
// lines a version brings, have come, or once either is too long.
TEST(LocalwebRequestLine, WhenTheRequestHasArrived) {
  const std::string line = "GET /x.htm HTTP/1.0\r\n";
  struct Case {
    std::string bytes;
    bool arrived;
  } cases[] = {
      {"", false},
      {"GET /x.htm HTTP/1.0", false},
      {line, false},
      {line + "\r\n", true},
      {line + "Host: a\r\n", false},
      {line + "Host: a\r\n\r\n", true},
      {line + "Host: a\r\n\r\nmore", true},
      {"GET /x.htm\r\n", true},
      {"HEAD / HTTP/1.0\r\n", true},
      {"GET /" + std::string(249, 'a'), false},
      {"GET /" + std::string(250, 'a'), true},
      {"GET /" + std::string(239, 'a') + " HTTP/1.0\r\n", false},
      {"GET /" + std::string(240, 'a') + " HTTP/1.0\r\n", true},
      {line + "X: " + std::string(8187, 'a'), false},
      {line + "X: " + std::string(8188, 'a'), true},
  };
  for (const Case& c : cases) EXPECT_EQ(RequestHasArrived(c.bytes), c.arrived) << c.bytes.substr(0, 40);
}

}  // namespace
