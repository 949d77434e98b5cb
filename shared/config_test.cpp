#include "shared/config.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/testing/test_support.h"
#include "shared/sitefiles.h"
#include "shared/testing/config_state.h"

namespace {

using Keys = std::vector<std::pair<std::string, std::string>>;

Keys received;

void RecordKey(const char* key, const char* value) { received.emplace_back(key, value); }

// Each test starts with a fresh reader bound to the recording handler.
class ConfigTest : public ::testing::Test {
 protected:
  ConfigTest() {
    ResetConfigReader();
    ResetSiteFiles();
    received.clear();
    SetConfigKeyHandler(RecordKey);
  }
  ~ConfigTest() override {
    ResetConfigReader();
    ResetSiteFiles();
  }
};

TEST(ParseBool, Table) {
  struct Case {
    const char* text;
    bool defaultValue, expected;
  };
  const Case cases[] = {
      {"Off", true, false},   {"NO", true, false},    {"false", true, false},
      {"0", true, false},     {"maybe", true, true},  {"", true, true},
      {"00", true, true},     {" no", true, true},    {"ON", false, true},
      {"Yes", false, true},   {"TRUE", false, true},  {"1", false, true},
      {"01", false, false},   {"yes ", false, false}, {"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseBool(c.text, c.defaultValue), c.expected)
        << "'" << c.text << "' default " << c.defaultValue;
  }
  EXPECT_TRUE(ParseBool(nullptr, true));
  EXPECT_FALSE(ParseBool(nullptr, false));
}

TEST_F(ConfigTest, ConfigLineSplitsKeyAndValue) {
  struct Case {
    const char* line;
    Keys keys;
  };
  const Case cases[] = {
      {"title=a=b\n", {{"title", "a=b"}}},
      {"colour = red\n", {{"colour ", " red"}}},  // nothing is trimmed
      {"Movie1=AVI\n", {{"movie1", "AVI"}}},      // only the key is lower-cased
      {"==x=y", {{"x", "y"}}},
      {"; note=x\n", {{"; note", "x"}}},          // no comment syntax
      {"configfile = extra.ini\n", {{"configfile ", " extra.ini"}}},
      {"key=\n", {}},
      {"key=", {}},
      {"no equals sign\n", {}},
      {"\n", {}},
      {"===\n", {}},
  };
  for (const Case& c : cases) {
    received.clear();
    std::string line = c.line;
    ConfigLine(line.data());
    EXPECT_EQ(received, c.keys) << c.line;
  }
  EXPECT_STREQ(ConfigFileName(), "");
}

TEST_F(ConfigTest, ConfigFileKeyIsStoredNotHandedOn) {
  std::string line = "CONFIGFILE=extra.ini\n";
  ConfigLine(line.data());
  EXPECT_TRUE(received.empty());
  EXPECT_STREQ(ConfigFileName(), "extra.ini");
  line = "configfile=" + std::string(200, 'x') + "\n";
  ConfigLine(line.data());
  EXPECT_EQ(std::string(ConfigFileName()), std::string(127, 'x'));
}

TEST_F(ConfigTest, KeysWithoutHandlerAreDropped) {
  SetConfigKeyHandler(nullptr);
  std::string line = "title=x\n";
  ConfigLine(line.data());
  EXPECT_TRUE(received.empty());
}

TEST_F(ConfigTest, ReadConfigFileSections) {
  TempDrive drive;
  drive.Write("cgi.ini",
              "top=1\n"
              "[mainframe]\n"
              "frame=1\n"
              "[MAIN] comment\n"
              "k1=v1\r\n"
              "k2=v2\n"
              "[other]\n"
              "k3=v3\n");
  EXPECT_TRUE(ReadConfigFile("cgi.ini"));
  EXPECT_EQ(received, (Keys{{"top", "1"}}));
  received.clear();
  EXPECT_TRUE(ReadConfigFile("cgi.ini", "Main"));
  EXPECT_EQ(received, (Keys{{"k1", "v1"}, {"k2", "v2"}}));
  received.clear();
  EXPECT_TRUE(ReadConfigFile("C:\\cgi.ini", "other"));
  EXPECT_EQ(received, (Keys{{"k3", "v3"}}));
  received.clear();
  EXPECT_FALSE(ReadConfigFile("cgi.ini", "mai"));
  EXPECT_FALSE(ReadConfigFile("cgi.ini", "missing"));
  EXPECT_FALSE(ReadConfigFile("missing.ini"));
  EXPECT_FALSE(ReadConfigFile("missing.ini", "main"));
  EXPECT_TRUE(received.empty());
}

TEST_F(ConfigTest, LongLineIsReadAsSeveralLines) {
  TempDrive drive;
  // 254 characters fit one read; the rest is handled as a line of its own.
  drive.Write("long.ini", "a=" + std::string(252, 'x') + "b=c\n");
  EXPECT_TRUE(ReadConfigFile("long.ini"));
  EXPECT_EQ(received, (Keys{{"a", std::string(252, 'x')}, {"b", "c"}}));
}

TEST_F(ConfigTest, ReadConfigChainsOneLevel) {
  TempDrive drive;
  drive.Write("site/icons/weft.ini",
              "one=1\n"
              "CONFIGFILE=extra.ini\n"
              "shared=ini\n"
              "[cgi]\n"
              "cgi=1\n");
  drive.Write("site/photos/extra.ini",
              "shared=extra\n"
              "configfile=third.ini\n"
              "two=2\n");
  drive.Write("site/photos/third.ini", "three=3\n");
  drive.Chdir("site/photos");
  EXPECT_TRUE(ReadConfig());
  EXPECT_EQ(received,
            (Keys{{"one", "1"}, {"shared", "ini"}, {"shared", "extra"}, {"two", "2"}}));
  EXPECT_STREQ(ConfigFileName(), "third.ini");
}

TEST_F(ConfigTest, ReadConfigResults) {
  struct Case {
    const char* name;
    const char* weftIni;     // null: no icons directory; "-": no weft.ini in it
    const char* extraLine;   // a line handled before ReadConfig, or null
    bool extraExists;
    bool result;
    Keys keys;
  };
  const Case cases[] = {
      {"section first", "[cgi]\nkey=1\n", nullptr, false, true, {}},
      {"no icons directory", nullptr, nullptr, false, false, {}},
      {"no weft.ini", "-", nullptr, false, false, {}},
      {"chained file only", nullptr, "configfile=extra.ini\n", true, true, {{"e", "1"}}},
      {"chained file missing", "a=1\nconfigfile=none.ini\n", nullptr, false, true, {{"a", "1"}}},
      {"both missing", "-", "configfile=none.ini\n", false, false, {}},
  };
  for (const Case& c : cases) {
    ResetConfigReader();
    ResetSiteFiles();
    SetConfigKeyHandler(RecordKey);
    received.clear();
    TempDrive drive;
    if (c.weftIni && std::string(c.weftIni) == "-") drive.MakeDir("icons");
    else if (c.weftIni) drive.Write("icons/weft.ini", c.weftIni);
    if (c.extraExists) drive.Write("extra.ini", "e=1\n");
    if (c.extraLine) {
      std::string line = c.extraLine;
      ConfigLine(line.data());
    }
    EXPECT_EQ(ReadConfig(), c.result) << c.name;
    EXPECT_EQ(received, c.keys) << c.name;
  }
}

}  // namespace
