#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry_host.h"
#include "platform/testing/test_support.h"

namespace {

// A registry file of its own in a temporary drive for each test.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    SaveVariable("WEFTREGISTRY");
    SaveVariable("XDG_CONFIG_HOME");
    SaveVariable("HOME");
    UseFile("registry.txt");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value.first) {
        setenv(name.c_str(), value.second.c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }
  void SaveVariable(const char* name) {
    const char* value = getenv(name);
    saved_.push_back({name, {value != nullptr, value ? value : ""}});
  }
  void UseFile(const std::string& relative) {
    setenv("WEFTREGISTRY", drive.Host(relative).c_str(), 1);
  }
  // Reads the file again as another process would: from a copy under a
  // name this process has not seen.
  void Reload() {
    static int copies = 0;
    std::string name = "copy" + std::to_string(++copies) + ".txt";
    drive.Write(name, drive.Read("registry.txt"));
    UseFile(name);
  }
  RegistryKey Create(const char* path, RegistryRoot root = RegistryRoot::kClassesRoot) {
    RegistryKey key;
    EXPECT_TRUE(CreateRegistryKey(RegistryRootKey(root), path, &key)) << path;
    return key;
  }
  std::string Value(const RegistryKey& key, const char* name) {
    std::string data;
    return QueryRegistryValue(key, name, &data) ? data : "(none)";
  }
  std::vector<std::string> Subkeys(const RegistryKey& key) {
    std::vector<std::string> names;
    std::string name;
    for (size_t i = 0; EnumRegistrySubkey(key, i, &name); ++i) names.push_back(name);
    return names;
  }

  TempDrive drive;
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

const RegistryKey kClasses = RegistryRootKey(RegistryRoot::kClassesRoot);

TEST(RegistryText, Escapes) {
  struct Case {
    const char* text;
    bool lineStart;
    const char* escaped;
  } cases[] = {
      {"plain text", true, "plain text"},
      {"a=b", false, "a\\=b"},
      {"C:\\WINDOWS\\x.exe %1", false, "C:\\\\WINDOWS\\\\x.exe %1"},
      {"two\nlines\r\n", false, "two\\x0Alines\\x0D\\x0A"},
      {"\ttab\x7f", false, "\\x09tab\\x7F"},
      {"[name", true, "\\[name"},
      {";name", true, "\\;name"},
      {"[data;", false, "[data;"},
      {"a[b;c", true, "a[b;c"},
      {"\xe9t\xe9", false, "\xe9t\xe9"},
      {"", true, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.escaped, EscapeRegistryText(c.text, c.lineStart)) << c.text;
    std::string back;
    ASSERT_TRUE(UnescapeRegistryText(c.escaped, &back)) << c.escaped;
    EXPECT_EQ(c.text, back);
  }
}

TEST(RegistryText, RefusesUnknownEscapes) {
  std::string out;
  for (const char* bad : {"a\\", "\\n", "\\x4", "\\xG0", "\\q"}) {
    EXPECT_FALSE(UnescapeRegistryText(bad, &out)) << bad;
  }
}

TEST_F(Registry, FileNameFromTheEnvironment) {
  struct Case {
    const char* weftRegistry;
    const char* xdgConfig;
    const char* home;
    const char* path;
  } cases[] = {
      {"/x/reg.txt", "/cfg", "/home/ann", "/x/reg.txt"},
      {nullptr, "/cfg", "/home/ann", "/cfg/tessarin/registry.txt"},
      {"", "", "/home/ann", "/home/ann/.config/tessarin/registry.txt"},
      {nullptr, nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    const char* values[] = {c.weftRegistry, c.xdgConfig, c.home};
    const char* names[] = {"WEFTREGISTRY", "XDG_CONFIG_HOME", "HOME"};
    for (int i = 0; i < 3; ++i) {
      if (values[i]) {
        setenv(names[i], values[i], 1);
      } else {
        unsetenv(names[i]);
      }
    }
    EXPECT_EQ(c.path, RegistryFilePath());
  }
}

TEST_F(Registry, DefaultFileIsMadeInTheConfigFolder) {
  unsetenv("WEFTREGISTRY");
  setenv("XDG_CONFIG_HOME", drive.Host("config").c_str(), 1);
  RegistryKey key = Create(".xyz");
  EXPECT_TRUE(SetRegistryValue(key, "", "xyzfile"));
  EXPECT_NE(std::string::npos, drive.Read("config/tessarin/registry.txt").find("[HKEY_CLASSES_ROOT\\.xyz]\n=xyzfile\n"));
}

TEST_F(Registry, FreshRegistryKnowsMimeTypesWithoutWritingAFile) {
  RegistryKey key;
  ASSERT_TRUE(OpenRegistryKey(kClasses, ".HTM", &key));
  EXPECT_EQ("text/html", Value(key, "Content Type"));
  EXPECT_EQ("(none)", Value(key, ""));
  ASSERT_TRUE(OpenRegistryKey(kClasses, "MIME\\Database\\Content Type\\image/jpeg", &key));
  EXPECT_EQ(".jpg", Value(key, "Extension"));
  ASSERT_TRUE(OpenRegistryKey(RegistryRootKey(RegistryRoot::kLocalMachine),
                              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", &key));
  EXPECT_EQ("C:\\Program Files", Value(key, "ProgramFilesDir"));
  EXPECT_FALSE(drive.Exists("registry.txt"));
  // The first change writes the seed along with it.
  Create(".xyz");
  Reload();
  ASSERT_TRUE(OpenRegistryKey(kClasses, ".gif", &key));
  EXPECT_EQ("image/gif", Value(key, "Content Type"));
}

TEST_F(Registry, KeysIgnoreCaseAndKeepTheirs) {
  bool created = false;
  RegistryKey key;
  ASSERT_TRUE(CreateRegistryKey(kClasses, "TxtFile\\Shell\\Open", &key, &created));
  EXPECT_TRUE(created);
  ASSERT_TRUE(CreateRegistryKey(kClasses, "TXTFILE\\shell\\open", &key, &created));
  EXPECT_FALSE(created);
  ASSERT_TRUE(CreateRegistryKey(kClasses, "txtfile\\shell", &key, &created));
  EXPECT_FALSE(created);
  ASSERT_TRUE(CreateRegistryKey(key, "print\\command", &key, &created));
  EXPECT_TRUE(created);
  EXPECT_EQ("txtfile\\shell\\print\\command", key.path);
  RegistryKey shell;
  ASSERT_TRUE(OpenRegistryKey(kClasses, "TXTFILE\\SHELL", &shell));
  EXPECT_EQ((std::vector<std::string>{"Open", "print"}), Subkeys(shell));
  RegistryKey missing;
  EXPECT_FALSE(OpenRegistryKey(shell, "edit", &missing));
  EXPECT_FALSE(missing.open);
}

TEST_F(Registry, BadKeyNamesAreRefused) {
  RegistryKey key;
  for (const char* bad : {"\\lead", "trail\\", "a\\\\b", "tab\tname", "line\nname"}) {
    EXPECT_FALSE(CreateRegistryKey(kClasses, bad, &key)) << bad;
    EXPECT_FALSE(OpenRegistryKey(kClasses, bad, &key)) << bad;
  }
  EXPECT_FALSE(DeleteRegistryKey(kClasses, ""));
  EXPECT_FALSE(DeleteRegistryKey(kClasses, nullptr));
  EXPECT_TRUE(OpenRegistryKey(kClasses, ".htm", &key));
  EXPECT_FALSE(drive.Exists("registry.txt"));
}

TEST_F(Registry, SubkeysListInWindowsOrderValuesInTheirOwn) {
  RegistryKey shell = Create("c\\shell");
  for (const char* name : {"print", "Open", "_Edit", "a", "open2", "Z"}) Create((std::string("c\\shell\\") + name).c_str());
  EXPECT_EQ((std::vector<std::string>{"a", "Open", "open2", "print", "Z", "_Edit"}), Subkeys(shell));
  for (const char* name : {"zeta", "", "Alpha"}) ASSERT_TRUE(SetRegistryValue(shell, name, name));
  ASSERT_TRUE(SetRegistryValue(shell, "ZETA", "again"));
  std::vector<std::string> names, data;
  std::string name, value;
  for (size_t i = 0; EnumRegistryValue(shell, i, &name, &value); ++i) {
    names.push_back(name);
    data.push_back(value);
  }
  EXPECT_EQ((std::vector<std::string>{"zeta", "", "Alpha"}), names);
  EXPECT_EQ((std::vector<std::string>{"again", "", "Alpha"}), data);
}

TEST_F(Registry, DeletingAKeyTakesItsSubtreeAndEndsItsHandles) {
  RegistryKey command = Create("cls\\shell\\open\\command");
  ASSERT_TRUE(SetRegistryValue(command, nullptr, "x.exe"));
  RegistryKey cls = Create("cls");
  ASSERT_TRUE(DeleteRegistryKey(cls, "SHELL"));
  std::string data;
  EXPECT_FALSE(QueryRegistryValue(command, nullptr, &data));
  EXPECT_FALSE(SetRegistryValue(command, nullptr, "y.exe"));
  RegistryKey again;
  EXPECT_FALSE(OpenRegistryKey(kClasses, "cls\\shell\\open", &again));
  EXPECT_FALSE(DeleteRegistryKey(cls, "shell"));
  EXPECT_TRUE(OpenRegistryKey(kClasses, "cls", &again));
  CloseRegistryKey(&again);
  EXPECT_FALSE(QueryRegistryValue(again, nullptr, &data));
}

TEST_F(Registry, ValuesDeleteOnlyWhenPresent) {
  RegistryKey key = Create(".xyz\\ShellNew");
  ASSERT_TRUE(SetRegistryValue(key, "NullFile", ""));
  EXPECT_EQ("", Value(key, "nullfile"));
  EXPECT_TRUE(DeleteRegistryValue(key, "NULLFILE"));
  EXPECT_FALSE(DeleteRegistryValue(key, "NullFile"));
  EXPECT_EQ("(none)", Value(key, "NullFile"));
}

TEST_F(Registry, FileRoundTripsAnyNameAndValue) {
  std::string every;
  for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
  const std::string names[] = {"", "=", "[x]", ";c", "a\\b", "\\", " blank ", every};
  const std::string keys[] = {"a]", "[b", "x=y;z", "text/html", " blank ", "\xe9t\xe9"};
  for (const std::string& keyName : keys) {
    RegistryKey key = Create(keyName.c_str());
    for (const std::string& name : names) ASSERT_TRUE(SetRegistryValue(key, name.c_str(), name + "|" + every + "\n"));
  }
  Create("empty\\leaf");
  Reload();
  for (const std::string& keyName : keys) {
    RegistryKey key;
    ASSERT_TRUE(OpenRegistryKey(kClasses, keyName.c_str(), &key)) << keyName;
    for (const std::string& name : names) EXPECT_EQ(name + "|" + every + "\n", Value(key, name.c_str()));
  }
  RegistryKey leaf;
  EXPECT_TRUE(OpenRegistryKey(kClasses, "empty\\leaf", &leaf));
}

TEST_F(Registry, FileTextIsOneKeyLinePerKey) {
  RegistryKey key = Create("txtfile\\shell\\open\\command");
  ASSERT_TRUE(SetRegistryValue(key, "", "C:\\WINDOWS\\NOTEPAD.EXE %1"));
  RegistryKey ext = Create(".txt");
  ASSERT_TRUE(SetRegistryValue(ext, nullptr, "txtfile"));
  std::string text = drive.Read("registry.txt");
  EXPECT_NE(std::string::npos, text.find("[HKEY_CLASSES_ROOT\\.txt]\nContent Type=text/plain\n=txtfile\n"));
  EXPECT_NE(std::string::npos,
            text.find("[HKEY_CLASSES_ROOT\\txtfile]\n[HKEY_CLASSES_ROOT\\txtfile\\shell]\n"
                      "[HKEY_CLASSES_ROOT\\txtfile\\shell\\open]\n"
                      "[HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command]\n=C:\\\\WINDOWS\\\\NOTEPAD.EXE %1\n"));
  EXPECT_NE(std::string::npos,
            text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
                      "ProgramFilesDir=C:\\\\Program Files\n"));
  EXPECT_EQ((std::vector<std::string>{"registry.txt"}), drive.Files());
}

TEST_F(Registry, HandWrittenFileIsRead) {
  drive.Write("registry.txt",
              "; made by hand\r\n"
              "[hkey_classes_root\\.abc]\r\n"
              "=abcfile\r\n"
              "\n"
              "[HKEY_CLASSES_ROOT\\abcfile\\shell\\open\\command]\n"
              "=edit.exe a=b\n");
  RegistryKey key;
  ASSERT_TRUE(OpenRegistryKey(kClasses, ".abc", &key));
  EXPECT_EQ("abcfile", Value(key, nullptr));
  ASSERT_TRUE(OpenRegistryKey(kClasses, "abcfile\\shell\\open\\command", &key));
  EXPECT_EQ("edit.exe a=b", Value(key, nullptr));
  EXPECT_FALSE(OpenRegistryKey(kClasses, ".htm", &key));
}

TEST_F(Registry, ChangesOfAnotherWriterAreSeen) {
  RegistryKey key = Create(".abc");
  ASSERT_TRUE(SetRegistryValue(key, "", "one"));
  EXPECT_EQ("one", Value(key, ""));
  drive.Write("registry.txt", "[HKEY_CLASSES_ROOT\\.abc]\n=second writer\n");
  EXPECT_EQ("second writer", Value(key, ""));
  ASSERT_TRUE(SetRegistryValue(key, "x", "y"));
  EXPECT_EQ("[HKEY_CLASSES_ROOT\\.abc]\n=second writer\nx=y\n",
            drive.Read("registry.txt").substr(drive.Read("registry.txt").find("[HKEY")));
}

TEST_F(Registry, DamagedFileIsNeverOverwritten) {
  const char* damaged[] = {
      "=value before any key\n",
      "[HKEY_USERS\\x]\n",
      "[HKEY_CLASSES_ROOT\\a\\\\b]\n",
      "[HKEY_CLASSES_ROOT\\a]\nno equals sign\n",
      "[HKEY_CLASSES_ROOT\\a]\nname=bad \\q escape\n",
      "[HKEY_CLASSES_ROOT\\a\n",
  };
  for (const char* text : damaged) {
    drive.Write("registry.txt", text);
    RegistryKey key;
    EXPECT_FALSE(CreateRegistryKey(kClasses, "new", &key)) << text;
    EXPECT_FALSE(OpenRegistryKey(kClasses, ".htm", &key)) << text;
    EXPECT_EQ(text, drive.Read("registry.txt"));
  }
}

TEST_F(Registry, FailedWriteLeavesTheFileAsItWas) {
  UseFile("missing/registry.txt");
  RegistryKey key;
  EXPECT_FALSE(CreateRegistryKey(kClasses, ".abc", &key));
  EXPECT_FALSE(drive.Exists("missing"));
  // The registry still answers from the seed.
  EXPECT_TRUE(OpenRegistryKey(kClasses, ".htm", &key));
  EXPECT_FALSE(OpenRegistryKey(kClasses, ".abc", &key));
}

TEST_F(Registry, ReadersOnSeveralThreadsSeeWholeValues) {
  RegistryKey key = Create(".abc");
  ASSERT_TRUE(SetRegistryValue(key, "", "first"));
  std::vector<std::thread> readers;
  std::vector<int> bad(4, 0);
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) {
        std::string data;
        RegistryKey own;
        if (!OpenRegistryKey(kClasses, ".abc", &own) || !QueryRegistryValue(own, "", &data) ||
            (data != "first" && data != "second value")) {
          ++bad[t];
        }
      }
    });
  }
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(SetRegistryValue(key, "", i % 2 ? "first" : "second value"));
  for (auto& reader : readers) reader.join();
  EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), bad);
}

}  // namespace
