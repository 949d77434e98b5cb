// associate as a user runs it: a drive C: with a few programs and the
// registry file in it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/testing/test_support.h"
#include "shared/testing/full_output.h"

namespace {

const char kUsage[] =
    "ASSOCIATE, Version 2.07\n"
    "Associates a command with a file name extension.\n"
    "\n"
    "ASSOCIATE [/L] {.ext|class}\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)] action=[command parameters]\xFD\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)] action:field=data\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)]:ORDER=action,action[,action[,...]]\n"
    "ASSOCIATE [options] {.ext|class}[(filetype)]:ICON=[iconfile,number]\xFD\n"
    "ASSOCIATE [options] .ext:NEWCMD=command parameters\n"
    "ASSOCIATE [options] .ext:NEWFILE=filename\n"
    "ASSOCIATE [options] .ext:NEWNULL\n"
    "ASSOCIATE [options] .ext=[{.ext|class}]\xFD\n"
    "ASSOCIATE [options] class=   \xFD\n"
    "ASSOCIATE [options] /F cmdfile\n"
    "\n"
    "Notes:        \xFD = deletes the item if nothing follows the equals sign (=).\n"
    " /L           Print lots of information on the registered file type.\n"
    " ext          File name extension.\n"
    " class        Class name.\n"
    " filetype     A description of the file type.  This is only required if a new\n"
    "              file type is being created.\n"
    " action       The text that will appear in the context menu for this file type.\n"
    " command      The command that will be executed when the menu item is selected.\n"
    " parameters   The command parameters.  Use \"%1\" to represent the file name.\n"
    " field        One of the following DDE fields:\n"
    "                ddemsg = DDE message\n"
    "                ddeapp = DDE application\n"
    "                ddetop = DDE topic\n"
    "                dderun = DDE message if the application is not running\n"
    " iconfile     The file which contains the icon.\n"
    " number       The number of the icon in the file.\n"
    " filename     Name of a file in the \"C:\\WINDOWS\\ShellNew\" directory.\n"
    " cmdfile      Read the command line parameters from this file (except options).\n"
    " options:\n"
    "  /P          Print registry changes, but don't actually make the changes.\n"
    "  /Q          Quiet mode -- don't display informational messages.\n"
    "  /V          Verbose mode.\n"
    "\n"
    "Notation:     [] = optional, {a|b} = either a or b, lowercase = variable.\n"
    "\n"
    "Associating a command with an action deletes the DDE commands of that action,\n"
    "so the DDE associations of an action must follow its command association\n"
    "(in a command file, on later lines).\n";

class AssociateProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("WEFTREGISTRY");
    hadRegistry_ = old != nullptr;
    if (old) oldRegistry_ = old;
    setenv("WEFTREGISTRY", drive.Host("registry.txt").c_str(), 1);
    drive.Write("WINDOWS/notepad.exe", "");
    drive.Write("Tools/My Tool.exe", "");
  }
  void TearDown() override {
    if (hadRegistry_) {
      setenv("WEFTREGISTRY", oldRegistry_.c_str(), 1);
    } else {
      unsetenv("WEFTREGISTRY");
    }
  }
  RunResult Run(const std::vector<std::string>& args) {
    RunOptions options;
    options.cwd = drive.Host();
    options.env["PATH"] = "C:\\BIN";
    options.unset = {"SystemRoot", "windir"};
    return RunProgram(std::string(WEFT_BIN_DIR) + "/associate", args, options);
  }
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

TEST_F(AssociateProgram, UsageAndMissingCommand) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* out;
  } cases[] = {
      {{}, 0, kUsage},
      {{"/?"}, 0, kUsage},
      {{"-z", ".htm"}, 0, kUsage},
      {{"/Q"}, 1, "Error:  Missing parameter on command line.\n"},
      {{"/q", "/P"}, 1, "Error:  Missing parameter on command line.\n"},
  };
  for (const Case& c : cases) {
    RunResult result = Run(c.args);
    EXPECT_EQ(c.out, result.out);
    EXPECT_EQ("", result.err);
    EXPECT_EQ(c.exitCode, result.exitCode);
  }
  EXPECT_FALSE(drive.Exists("registry.txt"));
}

TEST_F(AssociateProgram, RegistersANewFileType) {
  RunResult result = Run({".xyz(XYZ", "Document)", "Open=notepad.exe", "%1"});
  EXPECT_EQ(".xyz (XYZ Document):  Open = C:\\WINDOWS\\notepad.exe %1\n", result.out);
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("xyzfile", Reg(".xyz"));
  EXPECT_EQ("XYZ Document", Reg("xyzfile"));
  EXPECT_EQ("C:\\WINDOWS\\notepad.exe %1", Reg("xyzfile\\shell\\Open\\command"));
  std::string file = drive.Read("registry.txt");
  EXPECT_NE(std::string::npos, file.find("[HKEY_CLASSES_ROOT\\xyzfile\\shell\\Open\\command]\n"
                                         "=C:\\\\WINDOWS\\\\notepad.exe %1\n"));
  EXPECT_EQ((std::vector<std::string>{"Tools/My Tool.exe", "WINDOWS/notepad.exe", "registry.txt"}), drive.Files());

  result = Run({".xyz"});
  EXPECT_EQ("Extension \".xyz\" is registered as file type \"XYZ Document\" (xyzfile).\n", result.out);
  EXPECT_EQ(0, result.exitCode);
  result = Run({"/L", "xyzfile"});
  EXPECT_EQ(std::string(79, '=') + "\nClass Name:           xyzfile\nDescription of Type:  XYZ Document\n" +
                std::string(79, '-') + "\nAction Key:   Open\nCommand:      C:\\WINDOWS\\notepad.exe %1\n",
            result.out);
  result = Run({"/v", "xyzfile="});
  EXPECT_EQ("xyzfile=\nxyzfile:  Deleted.\n", result.out);
  EXPECT_EQ("(no key)", Reg("xyzfile"));
}

// associate reads its command line whole: from a batch file it gets the
// line as written there, and from a Linux shell each argument as one word
// with its own quotes, so quoted names with blanks and '&' come through.
TEST_F(AssociateProgram, CommandLinesFromABatchFileAndFromTheShell) {
  drive.Write("reg.bat", "@associate /Q .qq(QQ Files) \"&Edit this\"=\"C:\\Tools\\My Tool.exe\" \"%%1\"\n");
  RunOptions options;
  options.cwd = drive.Host();
  options.env["PATH"] = "C:\\BIN";
  options.unset = {"SystemRoot", "windir", "COMSPEC"};
  RunResult result = RunProgram(std::string(WEFT_BIN_DIR) + "/weftcmd", {"reg.bat"}, options);
  EXPECT_EQ("", result.out + result.err);
  EXPECT_EQ(0, result.exitCode);
  const char kCommand[] = "\"C:\\Tools\\My Tool.exe\" \"%1\"";
  EXPECT_EQ(kCommand, Reg("qqfile\\shell\\Edit_this\\command"));
  EXPECT_EQ("&Edit this", Reg("qqfile\\shell\\Edit_this"));
  EXPECT_EQ("QQ Files", Reg("qqfile"));

  Run({"/Q", "qqfile="});
  result = Run({"/Q", ".qq(\"QQ Files\")", "\"&Edit this\"=\"C:\\Tools\\My Tool.exe\"", "\"%1\""});
  EXPECT_EQ(0, result.exitCode) << result.out;
  EXPECT_EQ(kCommand, Reg("qqfile\\shell\\Edit_this\\command"));
  EXPECT_EQ("QQ Files", Reg("qqfile"));
}

TEST_F(AssociateProgram, PrintOnlyChangesNothing) {
  RunResult result = Run({"/P", ".abc=txtfile"});
  EXPECT_EQ("\\HKEY_CLASSES_ROOT\\.abc = \"txtfile\"\n.abc = txtfile\n", result.out);
  EXPECT_EQ(0, result.exitCode);
  result = Run({"/P", ".abc(ABC)", "Open=notepad"});
  EXPECT_EQ(".abc:  Can't access registry.\n", result.out);
  EXPECT_EQ(1, result.exitCode);
  EXPECT_FALSE(drive.Exists("registry.txt"));
}

// What a query shows or /P prints is the result: a full disk is an error.
TEST_F(AssociateProgram, FullDiskIsAnError) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{".txt"}, {"/L", ".txt"}, {"/P", ".abc=txtfile"}}) {
    RunOptions options;
    options.cwd = drive.Host();
    options.env["PATH"] = "C:\\BIN";
    options.unset = {"SystemRoot", "windir"};
    RunResult result = RunProgramToFullDisk(std::string(WEFT_BIN_DIR) + "/associate", args, options);
    EXPECT_EQ("Error:  Can't write to output file.\n", result.err) << args.back();
    EXPECT_EQ(1, result.exitCode) << args.back();
  }
  EXPECT_FALSE(drive.Exists("registry.txt"));
}

TEST_F(AssociateProgram, FailuresExitWithOne) {
  RunResult result = Run({".xyz(X)", "Open=nothere", "%1"});
  EXPECT_EQ("Searching for \"nothere.exe\" on drive C...\n"
            "Error:  The specified executable command does not exist.\nThe association was not made.\n",
            result.out);
  EXPECT_EQ(1, result.exitCode);
  result = Run({"txtfile=x"});
  EXPECT_EQ("Error:  Can't assign a class name.\n", result.out);
  EXPECT_EQ(1, result.exitCode);
  EXPECT_FALSE(drive.Exists("registry.txt"));
}

TEST_F(AssociateProgram, CommandFile) {
  drive.Write("cmds.txt",
              "; file types of the site\r\n"
              ".xyz(XYZ Document) Open=\"C:\\Tools\\My Tool.exe\" \"%1\"\r\n"
              " .skipped=txtfile\n"
              "\t.tabbed=txtfile\n"
              "\n"
              ".xyz Open:ddemsg=[open(\"%1\")]\n"
              ".bad Open=notepad\n"
              ".abc=.xyz\n"
              ".long=" + std::string(300, 'y') + "\n"
              ".xyz:ICON=notepad,1");
  RunResult result = Run({"/F", "C:\\CMDS.TXT"});
  EXPECT_EQ(".xyz (XYZ Document):  Open = \"C:\\Tools\\My Tool.exe\" \"%1\"\n"
            ".xyz (XYZ Document):  Open = [open(\"%1\")]\n"
            "Error:  The filetype was not specified for a new file type.\n"
            ".abc = xyzfile\n"
            "Error:  The command is longer than 255 characters.\n"
            ".xyz (XYZ Document):  Icon = C:\\WINDOWS\\notepad.exe,1\n",
            result.out);
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ("\"C:\\Tools\\My Tool.exe\" \"%1\"", Reg("xyzfile\\shell\\open\\command"));
  EXPECT_EQ("[open(\"%1\")]", Reg("xyzfile\\shell\\open\\ddeexec"));
  EXPECT_EQ("(no key)", Reg(".skipped"));
  EXPECT_EQ("(no key)", Reg(".tabbed"));
  EXPECT_EQ("xyzfile", Reg(".abc"));
  EXPECT_EQ("(no key)", Reg(".long"));  // refused, never cut

  result = Run({"/Q", "/F", "cmds.txt"});
  EXPECT_EQ("Error:  The filetype was not specified for a new file type.\n"
            "Error:  The command is longer than 255 characters.\n",
            result.out);
  EXPECT_EQ(1, result.exitCode);

  drive.Write("good.txt", ".def=.abc\n;.bad Open=notepad\n");
  result = Run({"/F", "good.txt"});
  EXPECT_EQ(".def = xyzfile\n", result.out);
  EXPECT_EQ(0, result.exitCode);

  result = Run({"/F", "C:\\missing.txt"});
  EXPECT_EQ("Error:  Can't open file \"C:\\missing.txt\".\n", result.out);
  EXPECT_EQ(1, result.exitCode);
}

}  // namespace

namespace {

// A command the buffers cannot hold whole is refused with exit code 1 and
// the registry is not touched: never a cut command stored as if it were the
// one given.
TEST_F(AssociateProgram, LongCommandsAreRefused) {
  struct Case {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{".qqq(Text)", "Open=notepad", std::string(300, 'p')},
       "Error:  The command is longer than 255 characters.\n"},
      {{".qqq(T)", "Open=notepad", std::string(233, 'p')},
       "Error:  The command is longer than 255 characters.\nThe association was not made.\n"},
      {{".qqq(T):ICON=notepad," + std::string(233, '1')},
       "Error:  The icon is longer than 255 characters.\nNo associations were made.\n"},
  };
  for (const Case& c : cases) {
    RunResult result = Run(c.args);
    EXPECT_EQ(1, result.exitCode) << c.error;
    EXPECT_EQ(c.error, result.out);
    EXPECT_EQ("(no key)", Reg(".qqq")) << c.error;
  }
  // One that fits is stored whole.
  RunResult result = Run({".qqq(Text)", "Open=notepad", std::string(200, 'p')});
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("C:\\WINDOWS\\notepad.exe " + std::string(200, 'p'), Reg("qqqfile\\shell\\open\\command"));
}

}  // namespace
