// The command language of associate, run in this process on a registry file
// of its own in a temporary drive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/testing/test_support.h"
#include "programs/associate/associate.h"
#include "programs/associate/class_key.h"
#include "programs/associate/flags.h"
#include "programs/associate/registration.h"
#include "programs/associate/writers.h"

namespace {

TEST(SplitToken, QuotesGroupAndVanish) {
  struct Case {
    const char* source;
    const char* delimiters;
    size_t size;
    const char* token;
    const char* rest;
  } cases[] = {
      {".xyz(XYZ) Open=x", " (=:", 256, ".xyz", "(XYZ) Open=x"},
      {"\"my type\"(T) Open", " (=:", 256, "my type", "(T) Open"},
      {"Open with Editor=x", "=:", 256, "Open with Editor", "=x"},
      {"\"a=b\":ddemsg=x", "=:", 256, "a=b", ":ddemsg=x"},
      {"\"C:\\My Tools\\t.exe\" \"%1\"", " ", 256, "C:\\My Tools\\t.exe", " \"%1\""},
      {"abcdef=x", "=", 4, "abc", "=x"},
      {"\"unclosed = x", "=", 256, "unclosed = x", ""},
      {"", " ", 256, "", ""},
  };
  for (const Case& c : cases) {
    char token[256];
    const char* rest = SplitToken(c.source, token, c.size, c.delimiters);
    EXPECT_STREQ(c.token, token) << c.source;
    EXPECT_STREQ(c.rest, rest) << c.source;
  }
}

TEST(ActionKeyName, BlanksAndAmpersands) {
  struct Case {
    const char* text;
    const char* key;
  } cases[] = {
      {"&Open with Editor", "Open_with_Editor"},
      {"Print && Close", "Print__Close"},
      {"open", "open"},
      {"Edit this,Open", "Edit_this,Open"},
  };
  for (const Case& c : cases) {
    char key[256];
    ActionKeyName(c.text, key, sizeof key);
    EXPECT_STREQ(c.key, key) << c.text;
  }
  char small[4];
  ActionKeyName("a b c d", small, sizeof small);
  EXPECT_STREQ("a_b", small);
}

TEST(PrintWrapped, PhrasesFillLinesBelowColumn79) {
  std::string a40(40, 'a'), b38(38, 'b'), b39(39, 'b');
  struct Case {
    std::string text;
    std::string printed;
  } cases[] = {
      {"one\ntwo\nthree", "one two three\n"},
      {"name: \nlabel =\nvalue", "name:  label = value\n"},
      {a40 + "\n" + b38, a40 + " " + b38 + "\n"},
      {a40 + "\n" + b39, a40 + "\n    " + b39 + "\n"},
      {"trailing new line.\n", "trailing new line.\n"},
      {"", "\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    PrintWrapped(c.text.c_str(), "    ");
    EXPECT_EQ(c.printed, testing::internal::GetCapturedStdout()) << c.text;
  }
}

// One drive with programs to find and a registry file in it.
class Associate : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("WEFTREGISTRY");
    hadRegistry_ = old != nullptr;
    if (old) oldRegistry_ = old;
    setenv("WEFTREGISTRY", drive.Host("registry.txt").c_str(), 1);
    drive.Write("WINDOWS/notepad.exe", "");
    drive.Write("WINDOWS/SYSTEM/shell32.dll", "");
    drive.Write("Program Files/Editor/edit.exe", "");
    drive.Write("Data/deep/viewer.exe", "");
    drive.Write("Tools/My Tool.exe", "");
    runFlags = AssociateFlags();
  }
  void TearDown() override {
    runFlags = AssociateFlags();
    if (hadRegistry_) {
      setenv("WEFTREGISTRY", oldRegistry_.c_str(), 1);
    } else {
      unsetenv("WEFTREGISTRY");
    }
  }
  // Runs commands quietly to set a case up.
  void Given(const std::vector<std::string>& commands) {
    runFlags = AssociateFlags();
    runFlags.quiet = true;
    testing::internal::CaptureStdout();
    for (const std::string& command : commands) EXPECT_TRUE(RunAssociateCommand(command.c_str())) << command;
    std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ("", output);
    runFlags = AssociateFlags();
  }
  std::string Run(const std::string& command, bool* ok) {
    testing::internal::CaptureStdout();
    *ok = RunAssociateCommand(command.c_str());
    return testing::internal::GetCapturedStdout();
  }
  // A value of HKEY_CLASSES_ROOT\path ("" the default value).
  static std::string Reg(const std::string& path, const char* name = "") {
    RegistryKey key;
    if (!OpenRegistryKey(RegistryRootKey(RegistryRoot::kClassesRoot), path.c_str(), &key)) return "(no key)";
    std::string data;
    return QueryRegistryValue(key, name, &data) ? data : "(no value)";
  }

  TempDrive drive;
  bool hadRegistry_ = false;
  std::string oldRegistry_;
};

struct RegistryCheck {
  std::string path;
  const char* name;
  const char* data;
};

struct CommandCase {
  std::vector<std::string> given;
  const char* options;  // letters of the run's options
  std::string command;
  bool ok;
  std::string output;
  std::vector<RegistryCheck> checks;
};

const std::vector<std::string> kXyz = {".xyz(XYZ Document) Open=notepad.exe %1"};

const CommandCase kCommandCases[] = {
    // Actions, commands and the menu text.
    {{}, "", ".xyz(XYZ Document) Open=notepad.exe %1", true,
     ".xyz (XYZ Document):  Open = C:\\WINDOWS\\notepad.exe %1\n",
     {{".xyz", "", "xyzfile"},
      {"xyzfile", "", "XYZ Document"},
      {"xyzfile\\shell\\Open", "", "(no value)"},
      {"xyzfile\\shell\\Open\\command", "", "C:\\WINDOWS\\notepad.exe %1"}}},
    {kXyz, "", ".xyz &Edit this=notepad", true,
     ".xyz (XYZ Document):  &Edit this = C:\\WINDOWS\\notepad.exe\n",
     {{"xyzfile\\shell\\Edit_this", "", "&Edit this"},
      {"xyzfile\\shell\\Edit_this\\command", "", "C:\\WINDOWS\\notepad.exe"}}},
    {{}, "", ".XYZ(X) PRINTTO=notepad /pt \"%1\" \"%2\"", true,
     ".XYZ (X):  PRINTTO = C:\\WINDOWS\\notepad.exe /pt \"%1\" \"%2\"\n",
     {{".xyz", "", "xyzfile"},
      {"xyzfile\\shell\\PRINTTO", "", "(no value)"},
      {"xyzfile\\shell\\printto\\command", "", "C:\\WINDOWS\\notepad.exe /pt \"%1\" \"%2\""}}},
    {kXyz, "", "xyzfile Open:command=notepad /o", true,
     "xyzfile (XYZ Document):  Open = C:\\WINDOWS\\notepad.exe /o\n",
     {{"xyzfile\\shell\\open\\command", "", "C:\\WINDOWS\\notepad.exe /o"}}},
    {kXyz, "", ".xyz Open= notepad", true, ".xyz (XYZ Document):  Open = C:\\WINDOWS\\notepad.exe\n", {}},
    {{}, "", ".xyz(X) Edit=edit %1", true,
     ".xyz (X):  Edit = \"C:\\Program Files\\Editor\\edit.exe\" %1\n",
     {{"xyzfile\\shell\\Edit\\command", "", "\"C:\\Program Files\\Editor\\edit.exe\" %1"}}},
    {{}, "", ".xyz(X) View=viewer", true,
     "Searching for \"viewer.exe\" on drive C...\n.xyz (X):  View = C:\\Data\\deep\\viewer.exe\n", {}},
    {{}, "", ".xyz(X) Run=\"C:\\Tools\\My Tool.exe\" \"%1\"", true,
     ".xyz (X):  Run = \"C:\\Tools\\My Tool.exe\" \"%1\"\n",
     {{"xyzfile\\shell\\Run\\command", "", "\"C:\\Tools\\My Tool.exe\" \"%1\""}}},
    {{}, "", ".xyz(X) Run=C:\\Tools\\none.exe", false,
     "Error:  The specified executable command does not exist.\nThe association was not made.\n",
     {{".xyz", "", "(no key)"}}},
    {{}, "", ".xyz(X) Open=missing %1", false,
     "Searching for \"missing.exe\" on drive C...\n"
     "Error:  The specified executable command does not exist.\nThe association was not made.\n",
     {{".xyz", "", "(no key)"}}},
    {{}, "", ".xyz(X) Open", false, "Error:  Missing command parameter.\n", {}},
    {kXyz, "", ".xyz Open:ddefoo=x", false, "Error:  Invalid field name.\n", {}},
    {kXyz, "", ".xyz Open=", true, ".xyz:  Action \"Open\" deleted.\n", {{"xyzfile\\shell\\Open", "", "(no key)"}}},
    {kXyz, "", ".xyz Print=", false, "Error:  Can't delete action \"Print\" from class \".xyz\".\n", {}},
    {{}, "", ".xyz(X) Open=", true, ".xyz:  Not registered.\n", {{".xyz", "", "(no key)"}}},
    // DDE fields, and a new command that drops them.
    {kXyz, "", ".xyz Open:ddemsg=[open(\"%1\")]", true, ".xyz (XYZ Document):  Open = [open(\"%1\")]\n",
     {{"xyzfile\\shell\\Open\\ddeexec", "", "[open(\"%1\")]"}}},
    {{".xyz(XYZ Document) Open=notepad.exe %1", ".xyz Open:ddemsg=m", ".xyz Open:ddeapp=NOTEPAD",
      ".xyz Open:DDETOP=System", ".xyz Open:dderun=r"},
     "", ".xyz Open:ddemsg=", true, "",
     {{"xyzfile\\shell\\Open\\ddeexec", "", "m"},
      {"xyzfile\\shell\\Open\\ddeexec\\application", "", "NOTEPAD"},
      {"xyzfile\\shell\\Open\\ddeexec\\topic", "", "System"},
      {"xyzfile\\shell\\Open\\ddeexec\\ifexec", "", "r"}}},
    {{".xyz(XYZ Document) Open=notepad.exe %1", ".xyz Open:ddemsg=m", ".xyz Open:ddeapp=NOTEPAD"},
     "q", ".xyz Open=notepad /x", true, "",
     {{"xyzfile\\shell\\Open\\ddeexec", "", "(no key)"},
      {"xyzfile\\shell\\Open\\command", "", "C:\\WINDOWS\\notepad.exe /x"}}},
    // Classes of extensions, and deleting keys.
    {{}, "", ".abc=txtfile", true, ".abc = txtfile\n", {{".abc", "", "txtfile"}}},
    {{".abc=txtfile"}, "", ".def=.ABC", true, ".def = txtfile\n", {{".def", "", "txtfile"}}},
    {{}, "", ".def=.htm", false, "Error:  \".htm\" is not registered.\n", {{".def", "", "(no key)"}}},
    {{}, "", "txtfile=foo", false, "Error:  Can't assign a class name.\n", {{"txtfile", "", "(no key)"}}},
    {kXyz, "", ".xyz=", true, ".xyz:  Deleted.\n", {{".xyz", "", "(no key)"}, {"xyzfile", "", "XYZ Document"}}},
    {kXyz, "", "xyzfile=", true, "xyzfile:  Deleted.\n", {{"xyzfile\\shell\\Open", "", "(no key)"}}},
    {{}, "", ".nope=", false, "Can't delete \".nope\".\n", {}},
    {{}, "", "=", false, "Error:  Missing extension or class name.\n", {}},
    // File type syntax.
    {{}, "", ".xyz(X Open=notepad", false, "Error:  Missing closing parentheses after filetype.\n", {}},
    {{}, "", ".xyz(X)Open=notepad", false,
     ".xyz(X)Open=notepad\nError:  Space or colon must follow closing parenthesis.\n", {}},
    {{}, "", ".xyz( X) Open=notepad", false, "Error:  Invalid filetype.\n", {}},
    {{}, "", ".xyz() Open=notepad", false, "Error:  Invalid filetype.\n", {}},
    {{}, "", ".xyz Open=notepad", false, "Error:  The filetype was not specified for a new file type.\n",
     {{".xyz", "", "(no key)"}}},
    {{}, "", ".xyz(X):COLOR=red", false, "Error:  Invalid field.\n", {}},
    {{}, "", std::string(".") + std::string(130, 'a') + "(X) Open=notepad", false,
     "." + std::string(130, 'a') + ": \n    Can't access registry.\n", {{"." + std::string(130, 'a'), "", "(no key)"}}},
    // Icons and the action order.
    {kXyz, "", ".xyz:ICON=shell32.dll,3", true, ".xyz (XYZ Document):  Icon = C:\\WINDOWS\\SYSTEM\\shell32.dll,3\n",
     {{"xyzfile\\DefaultIcon", "", "C:\\WINDOWS\\SYSTEM\\shell32.dll,3"}}},
    {{".xyz(XYZ Document) Open=notepad.exe %1", ".xyz:ICON=notepad"}, "", "xyzfile:ICON=", true,
     "xyzfile (XYZ Document):  Icon deleted.\n", {{"xyzfile\\DefaultIcon", "", "(no key)"}}},
    {kXyz, "", ".xyz:ICON=", false, ".xyz (XYZ Document):  Unable to delete the icon.\n", {}},
    {{}, "", ".xyz(X):ICON=", true, ".xyz:  Icon does not exist.\n", {{".xyz", "", "(no key)"}}},
    {kXyz, "", ".xyz:ICON=none.ico,1", false,
     "Searching for \"none.ico\" on drive C...\n"
     "Error:  The specified icon file does not exist.\nNo associations were made.\n", {}},
    {kXyz, "", ".xyz:ORDER=Edit this,Open", true, ".xyz (XYZ Document):  Order = Edit this,Open\n",
     {{"xyzfile\\shell", "", "Edit_this,Open"}}},
    {{}, "", ".xyz(X):ORDER=Open", false, ".xyz:  Can't access registry.\n", {{".xyz", "", "(no key)"}}},
    // New-file entries: one value at a time.
    {{}, "", ".xyz:NEWNULL", true, ".xyz:  New NullFile = \n", {{".xyz\\ShellNew", "NullFile", ""}}},
    {{".xyz:NEWNULL"}, "", ".xyz:newfile=\"blank.xyz\"", true, ".xyz:  New FileName = blank.xyz\n",
     {{".xyz\\ShellNew", "FileName", "blank.xyz"}, {".xyz\\ShellNew", "NullFile", "(no value)"}}},
    {{".xyz:NEWFILE=blank.xyz"}, "", ".xyz:NEWFILE=", true, ".xyz:  New NullFile = \n",
     {{".xyz\\ShellNew", "NullFile", ""}, {".xyz\\ShellNew", "FileName", "(no value)"}}},
    {{}, "", ".xyz:NEWCMD=notepad /new", true, ".xyz:  New Command = C:\\WINDOWS\\notepad.exe /new\n",
     {{".xyz\\ShellNew", "Command", "C:\\WINDOWS\\notepad.exe /new"}}},
    {{}, "", "txtfile:NEWCMD=notepad", false, "Error:  It is illegal to create a New command for a class name.\n",
     {{"txtfile", "", "(no key)"}}},
    // Print only, quiet and verbose runs.
    {{}, "p", ".xyz(X) Open=notepad", false, ".xyz:  Can't access registry.\n", {{".xyz", "", "(no key)"}}},
    {kXyz, "p", ".xyz &Edit=notepad %1", true,
     "\\HKEY_CLASSES_ROOT\\xyzfile\\shell\\Edit = \"&Edit\"\n"
     "\\HKEY_CLASSES_ROOT\\xyzfile\\shell\\Edit\\command = \"C:\\WINDOWS\\notepad.exe %1\"\n"
     ".xyz (XYZ Document):  &Edit = C:\\WINDOWS\\notepad.exe %1\n",
     {{"xyzfile\\shell\\Edit", "", "(no key)"}}},
    {kXyz, "p", ".xyz=", true, "DELETE:  \\HKEY_CLASSES_ROOT\\.xyz\n.xyz:  Deleted.\n", {{".xyz", "", "xyzfile"}}},
    {kXyz, "p", ".xyz Open=", true,
     "DELETE:  \\HKEY_CLASSES_ROOT\\xyzfile\\shell\\Open\n.xyz:  Action \"Open\" deleted.\n",
     {{"xyzfile\\shell\\Open\\command", "", "C:\\WINDOWS\\notepad.exe %1"}}},
    {kXyz, "pq", ".abc=.xyz", true, "\\HKEY_CLASSES_ROOT\\.abc = \"xyzfile\"\n", {{".abc", "", "(no key)"}}},
    {kXyz, "p", ".xyz:ICON=notepad", true,
     "\\HKEY_CLASSES_ROOT\\xyzfile\\DefaultIcon = \"C:\\WINDOWS\\notepad.exe\"\n"
     ".xyz (XYZ Document):  Icon = C:\\WINDOWS\\notepad.exe\n",
     {{"xyzfile\\DefaultIcon", "", "(no key)"}}},
    {kXyz, "pq", ".xyz:ICON=", true, "\\HKEY_CLASSES_ROOT\\xyzfile\\DefaultIcon = {deleted}\n", {}},
    {kXyz, "pq", ".xyz:ORDER=b,a", true, "\\HKEY_CLASSES_ROOT\\xyzfile\\shell = \"b,a\"\n", {{"xyzfile\\shell", "", "(no value)"}}},
    {{}, "pq", ".xyz:NEWNULL", true, "\\HKEY_CLASSES_ROOT\\.xyz\\ShellNew\\NullFile = \"\"\n", {{".xyz", "", "(no key)"}}},
    {{}, "q", ".xyz(X) Open=notepad", true, "", {{".xyz", "", "xyzfile"}}},
    {{}, "v", ".xyz(X) Open=notepad", true,
     ".xyz(X) Open=notepad\nExtension \".xyz\" is not registered.\n.xyz (X):  Open = C:\\WINDOWS\\notepad.exe\n", {}},
    {{}, "", "   ", true, "", {}},
};

TEST_F(Associate, Commands) {
  int number = 0;
  for (const CommandCase& c : kCommandCases) {
    // Each case starts from a fresh registry.
    setenv("WEFTREGISTRY", drive.Host("registry" + std::to_string(++number) + ".txt").c_str(), 1);
    Given(c.given);
    std::string options = c.options;
    runFlags.printOnly = options.find('p') != std::string::npos;
    runFlags.quiet = options.find('q') != std::string::npos;
    runFlags.verbose = options.find('v') != std::string::npos;
    bool ok = false;
    EXPECT_EQ(c.output, Run(c.command, &ok)) << c.command;
    EXPECT_EQ(c.ok, ok) << c.command;
    for (const RegistryCheck& check : c.checks) {
      EXPECT_EQ(check.data, Reg(check.path, check.name)) << c.command << ": " << check.path << " " << check.name;
    }
  }
}

TEST_F(Associate, PrintOnlyWritesNoRegistryFile) {
  runFlags.printOnly = true;
  bool ok = false;
  Run(".abc=txtfile", &ok);
  Run(".abc:NEWNULL", &ok);
  Run("txtfile=", &ok);
  EXPECT_FALSE(drive.Exists("registry.txt"));
}

TEST_F(Associate, Registration) {
  Given({".xyz(XYZ Document) Open=notepad", ".abc=abcfile", ".bad=badfile"});
  RegistryKey key;
  ASSERT_TRUE(CreateRegistryKey(RegistryRootKey(RegistryRoot::kClassesRoot), "abcfile", &key));
  ASSERT_TRUE(CreateRegistryKey(RegistryRootKey(RegistryRoot::kClassesRoot), ".old\\shell\\open\\command", &key));
  struct Case {
    const char* name;
    const char* text;
  } cases[] = {
      {".xyz", "Extension \".xyz\" is registered as file type \"XYZ Document\" (xyzfile).\n"},
      {"XYZFILE", "Class \"XYZFILE\" is registered as file type \"XYZ Document\".\n"},
      {".abc", "Extension \".abc\" is registered as an unnamed file type (abcfile).\n"},
      {".old", "Extension \".old\" is registered in Windows 3.1 compatibility mode.\n"},
      {".htm", "Extension \".htm\" is registered, but has no file type associated with it.\n"},
      {".bad",
       "Extension \".bad\" is registered, but has an unregistered file type\n    associated with it (badfile).\n"},
      {".none", "Extension \".none\" is not registered.\n"},
      {"nofile", "Class \"nofile\" is not registered.\n"},
  };
  for (const Case& c : cases) {
    bool ok = false;
    EXPECT_EQ(c.text, Run(c.name, &ok)) << c.name;
    EXPECT_TRUE(ok);
  }
}

TEST_F(Associate, FullDump) {
  Given({".htm(Web Page) Open=notepad %1", ".htm &Edit=notepad /e %1", ".htm &Edit:ddemsg=[edit(\"%1\")]",
         ".htm &Edit:dderun=[run(\"%1\")]", ".htm &Edit:ddeapp=NOTEPAD", ".htm &Edit:ddetop=System",
         ".htm:ICON=shell32.dll,2", ".htm:NEWNULL", ".xyz:NEWCMD=notepad /n", ".xyz(X) Open=notepad"});
  const std::string rule(79, '='), line(79, '-');
  struct Case {
    const char* name;
    std::string dump;
  } cases[] = {
      {".htm", rule + "\n"
                      "File Name Extension:  .htm\n"
                      "Content Type (MIME):  text/html\n"
                      "New Null File:        \"\"\n"
                      "\n"
                      "Class Name:           htmfile\n"
                      "Description of Type:  Web Page\n"
                      "Default Icon:         C:\\WINDOWS\\SYSTEM\\shell32.dll,2\n" +
                      line + "\n"
                      "Action Key:   Edit\n"
                      "Action Text:  &Edit\n"
                      "Command:      C:\\WINDOWS\\notepad.exe /e %1\n"
                      "DDE:\n"
                      "  Message:         [edit(\"%1\")]\n"
                      "  If Not Running:  [run(\"%1\")]\n"
                      "  Application:     NOTEPAD\n"
                      "  Topic:           System\n" +
                      line + "\n"
                      "Action Key:   Open\n"
                      "Command:      C:\\WINDOWS\\notepad.exe %1\n"},
      {".xyz", rule + "\nFile Name Extension:  .xyz\nNew Command:          C:\\WINDOWS\\notepad.exe /n\n\n"
                      "Class Name:           xyzfile\nDescription of Type:  X\n" +
                      line + "\nAction Key:   Open\nCommand:      C:\\WINDOWS\\notepad.exe\n"},
      {".gif", rule + "\nFile Name Extension:  .gif\nContent Type (MIME):  image/gif\n\nClass Name:           (none)\n"},
      {".none", rule + "\nFile Name Extension:  .none\nNot registered.\n"},
      {"nofile", rule + "\nClass Name:           nofile\nNot registered.\n"},
  };
  runFlags.fullDump = true;
  for (const Case& c : cases) {
    bool ok = false;
    EXPECT_EQ(c.dump, Run(c.name, &ok)) << c.name;
    EXPECT_TRUE(ok);
  }
}

TEST_F(Associate, CommandLines) {
  struct Case {
    const char* line;
    int exitCode;
    const char* output;  // null: the usage text
  } cases[] = {
      {"associate", 0, nullptr},
      {"associate /X .htm", 0, nullptr},
      {"associate /L /? .htm", 0, nullptr},
      {"associate /Q", 1, "Error:  Missing parameter on command line.\n"},
      {"\"C:\\My Tools\\associate.exe\"  .none", 0, "Extension \".none\" is not registered.\n"},
      {"associate -l .none", 0, "===============================================================================\n"
                                "File Name Extension:  .none\nNot registered.\n"},
      {"associate /pq .xyz(X) Open=notepad", 1, ".xyz:  Can't access registry.\n"},
      {"associate /f", 1, "Error:  Missing parameter on command line.\n"},
      {"associate /F \"C:\\no such.txt\"", 1, "Error:  Can't open file \"C:\\no such.txt\".\n"},
  };
  testing::internal::CaptureStdout();
  PrintAssociateUsage();
  const std::string usage = testing::internal::GetCapturedStdout();
  for (const Case& c : cases) {
    testing::internal::CaptureStdout();
    int exitCode = RunAssociations(c.line);
    EXPECT_EQ(c.output ? c.output : usage, testing::internal::GetCapturedStdout()) << c.line;
    EXPECT_EQ(c.exitCode, exitCode) << c.line;
  }
}

}  // namespace
