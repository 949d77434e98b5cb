// envdirs as a user runs it: "C:\AUTOEXEC.BAT" at the root of a temporary
// drive C:.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/testing/test_support.h"

namespace {

const char kUsage[] =
    "Prepends or removes a path to the PATH in the \"C:AUTOEXEC.BAT\" file.\n"
    "Renames the old \"AUTOEXEC.BAT\" file to \"AUTOEXEC.OLD\".\n\n"
    "ENVDIRS [/D] /C       Adds or deletes the current working directory to PATH\n"
    "ENVDIRS [/D] /E       Adds or deletes the directory of ENVDIRS.EXE to PATH\n"
    "ENVDIRS [/D] path     Adds or deletes the specified \"path\" to PATH\n\n"
    " /D = delete the path\n\n"
    "Exit code = 0 if \"AUTOEXEC.BAT\" was modified, >0 if not modified.\n";

const char kModified[] =
    "Your DOS path has been modified in file C:AUTOEXEC.BAT.\n"
    "You must reboot your machine for the changes to take effect.\n";

const char kNotModified[] = "Your AUTOEXEC.BAT file was not modified.\n";

const char kMissing[] = "(missing)";

class Envdirs : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.MakeDir("Program Files/Tools");
    drive.MakeDir("TOOLS");
  }
  RunResult Run(const std::vector<std::string>& args, const std::string& cwd = "") {
    RunOptions options;
    options.cwd = drive.Host(cwd);
    return RunProgram(std::string(WEFT_BIN_DIR) + "/envdirs", args, options);
  }
  std::string File(const std::string& name) { return drive.Exists(name) ? drive.Read(name) : kMissing; }

  TempDrive drive;
};

struct EditCase {
  std::vector<std::string> args;
  const char* before;  // the boot file, or kMissing
  const char* after;   // the boot file after the run
  bool modified;
};

const EditCase kEditCases[] = {
    // Adding puts the directory at the front of the first PATH line with room.
    {{"C:\\Program Files\\Tools"}, "@ECHO OFF\nSET PATH=C:\\DOS;C:\\WINDOWS\nPATH C:\\X\n",
     "@ECHO OFF\nSET PATH=C:\\Program Files\\Tools;C:\\DOS;C:\\WINDOWS\nPATH C:\\X\n", true},
    {{"c:\\program files\\TOOLS"}, "path c:\\dos\n", "path C:\\Program Files\\Tools;c:\\dos\n", true},
    {{"C:\\TOOLS"}, "SET PATH=C:\\DOS;c:\\tools\n", "SET PATH=C:\\DOS;c:\\tools\n", false},
    {{"C:\\TOOLS"}, "REM PATH C:\\TOOLS\nPATH \"C:\\TOOLS\";C:\\DOS\n", "REM PATH C:\\TOOLS\nPATH \"C:\\TOOLS\";C:\\DOS\n",
     false},
    {{"C:\\TOOLS"}, "@ECHO OFF\nPROMPT $P$G\n", "@ECHO OFF\nPROMPT $P$G\nPATH C:\\TOOLS\n", true},
    {{"C:\\TOOLS"}, "@ECHO OFF\nPROMPT $P$G", "@ECHO OFF\nPROMPT $P$G\nPATH C:\\TOOLS\n", true},
    {{"C:\\TOOLS"}, "", "PATH C:\\TOOLS\n", true},
    {{"C:\\TOOLS"}, kMissing, "PATH C:\\TOOLS\n", true},
    {{"C:\\NOWHERE"}, "PATH C:\\DOS\n", "PATH C:\\DOS\n", false},
    {{"C:\\NOWHERE"}, kMissing, kMissing, false},
    // Deleting takes every occurrence, and lines left without a value.
    {{"/D", "C:\\TOOLS"}, "@ECHO OFF\nPATH C:\\TOOLS\nECHO done\n", "@ECHO OFF\nECHO done\n", true},
    {{"-d", "C:\\TOOLS"}, "PATH \"C:\\TOOLS;%PATH%\"\n", "", true},
    {{"C:\\TOOLS", "/D"}, "PATH C:\\DOS;C:\\TOOLS;C:\\BIN\nSET PATH=c:\\tools;%PATH%;C:\\BIN2;C:\\TOOLS\n",
     "PATH C:\\DOS;C:\\BIN\nSET PATH=%PATH%;C:\\BIN2\n", true},
    {{"/D", "C:\\TOOLS"}, "SET PATH=c:\\tools;%PATH%\nPATH=C:\\TOOLS\n", "", true},
    {{"/D", "C:\\TOOLS"}, "PATH C:\\DOS;C:\\TOOLS", "PATH C:\\DOS", true},
    {{"/D", "C:\\TOOLS"}, "PATH C:\\DOS\n", "PATH C:\\DOS\n", false},
    {{"/D", "C:\\TOOLS"}, kMissing, kMissing, false},
    {{"/D", "C:\\NOWHERE"}, "PATH C:\\NOWHERE\n", "PATH C:\\NOWHERE\n", false},
    // A later directory replaces an earlier one.
    {{"C:\\NOWHERE", "C:\\TOOLS"}, "PATH C:\\DOS\n", "PATH C:\\TOOLS;C:\\DOS\n", true},
    {{"/D", "C:\\TOOLS", std::string(300, 'x')}, "PATH C:\\TOOLS\n", "PATH C:\\TOOLS\n", false},
};

TEST_F(Envdirs, EditsTheBootFile) {
  for (const EditCase& c : kEditCases) {
    std::string label = c.args.back() + " on " + c.before;
    for (const char* name : {"AUTOEXEC.BAT", "AUTOEXEC.OLD"}) unlink(drive.Host(name).c_str());
    if (std::string(c.before) != kMissing) drive.Write("AUTOEXEC.BAT", c.before);
    RunResult result = Run(c.args);
    EXPECT_EQ(c.modified ? kModified : kNotModified, result.out) << label;
    EXPECT_EQ("", result.err) << label;
    EXPECT_EQ(c.modified ? 0 : 1, result.exitCode) << label;
    EXPECT_EQ(c.after, File("AUTOEXEC.BAT")) << label;
    EXPECT_EQ(c.modified ? c.before : kMissing, File("AUTOEXEC.OLD")) << label;
    EXPECT_FALSE(drive.Exists("AUTOEXEC.$$$")) << label;
  }
}

TEST_F(Envdirs, Usage) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"/D"}, {"/?"}, {"/X", "C:\\TOOLS"}, {"C:\\TOOLS", "-"}}) {
    RunResult result = Run(args);
    EXPECT_EQ(kUsage, result.out);
    EXPECT_EQ(0, result.exitCode);
  }
  EXPECT_EQ((std::vector<std::string>{}), drive.Files(""));
}

TEST_F(Envdirs, LongLines) {
  // A PATH line that would reach 256 characters keeps its value; a new line
  // adds the directory before the old PATH.
  std::string full = "PATH C:\\" + std::string(256 - 9 - 8 - 1, 'A') + "\n";
  std::string room = "PATH C:\\" + std::string(256 - 9 - 8 - 2, 'A') + "\n";
  ASSERT_EQ(256u, full.size() + std::string("C:\\TOOLS;").size());
  drive.Write("AUTOEXEC.BAT", full + room);
  RunResult result = Run({"C:\\TOOLS"});
  EXPECT_EQ(kModified, result.out);
  EXPECT_EQ(full + "PATH C:\\TOOLS;" + room.substr(5), File("AUTOEXEC.BAT"));
  drive.Write("AUTOEXEC.BAT", full);
  Run({"C:\\TOOLS"});
  EXPECT_EQ(full + "PATH \"C:\\TOOLS;%PATH%\"\n", File("AUTOEXEC.BAT"));
  // A line of any length is one line when elements are removed from it.
  std::string many;
  for (int i = 0; i < 60; ++i) many += "C:\\DIR" + std::to_string(i) + ";";
  drive.Write("AUTOEXEC.BAT", "PATH " + many + "C:\\TOOLS;C:\\LAST\nECHO PATH C:\\TOOLS\n");
  result = Run({"/D", "C:\\TOOLS"});
  EXPECT_EQ(kModified, result.out);
  EXPECT_EQ("PATH " + many + "C:\\LAST\nECHO PATH C:\\TOOLS\n", File("AUTOEXEC.BAT"));
}

TEST_F(Envdirs, CurrentAndProgramDirectories) {
  drive.Write("autoexec.bat", "PATH C:\\DOS\n");
  RunResult result = Run({"/c"}, "Program Files/Tools");
  EXPECT_EQ(kModified, result.out);
  EXPECT_EQ("PATH C:\\Program Files\\Tools;C:\\DOS\n", File("autoexec.bat"));
  EXPECT_EQ("PATH C:\\DOS\n", File("AUTOEXEC.OLD"));
  EXPECT_EQ((std::vector<std::string>{"AUTOEXEC.OLD", "autoexec.bat"}), drive.Files(""));

  result = Run({"tools"});
  EXPECT_EQ(kModified, result.out);
  EXPECT_EQ("PATH C:\\TOOLS;C:\\Program Files\\Tools;C:\\DOS\n", File("autoexec.bat"));
  EXPECT_EQ("PATH C:\\Program Files\\Tools;C:\\DOS\n", File("AUTOEXEC.OLD"));

  // The program's own directory, on a drive D: of its own.
  RunOptions options;
  options.cwd = drive.Host();
  std::string bin = WEFT_BIN_DIR;
  options.env["WEFTDRIVES"] = "C=" + drive.Host() + ";D=" + bin.substr(0, bin.rfind('/'));
  result = RunProgram(bin + "/envdirs", {"/E"}, options);
  EXPECT_EQ(kModified, result.out);
  EXPECT_EQ("PATH D:\\bin;C:\\TOOLS;C:\\Program Files\\Tools;C:\\DOS\n", File("autoexec.bat"));
  result = RunProgram(bin + "/envdirs", {"/D", "/E"}, options);
  EXPECT_EQ("PATH C:\\TOOLS;C:\\Program Files\\Tools;C:\\DOS\n", File("autoexec.bat"));

  // Without a drive for the program, its directory is unknown.
  result = Run({"/E"});
  EXPECT_EQ(kNotModified, result.out);
  EXPECT_EQ(1, result.exitCode);
}

TEST_F(Envdirs, AFailedReplacementKeepsTheBootFile) {
  drive.Write("AUTOEXEC.BAT", "PATH C:\\DOS\n");
  chmod(drive.Host("AUTOEXEC.BAT").c_str(), 0444);
  RunResult result = Run({"C:\\TOOLS"});
  EXPECT_EQ(kNotModified, result.out);
  EXPECT_EQ("Unable to rename \"C:\\AUTOEXEC.$$$\" to \"C:\\AUTOEXEC.BAT\".\n", result.err);
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ("PATH C:\\DOS\n", File("AUTOEXEC.BAT"));
  EXPECT_FALSE(drive.Exists("AUTOEXEC.$$$"));
  chmod(drive.Host("AUTOEXEC.BAT").c_str(), 0644);

  drive.Write("AUTOEXEC.OLD", "old backup\n");
  chmod(drive.Host("AUTOEXEC.OLD").c_str(), 0444);
  result = Run({"C:\\TOOLS"});
  EXPECT_EQ("Unable to delete file \"C:\\AUTOEXEC.OLD\".\n", result.err);
  EXPECT_EQ(1, result.exitCode);
  EXPECT_EQ("PATH C:\\DOS\n", File("AUTOEXEC.BAT"));
  EXPECT_EQ("old backup\n", File("AUTOEXEC.OLD"));
  EXPECT_FALSE(drive.Exists("AUTOEXEC.$$$"));
  chmod(drive.Host("AUTOEXEC.OLD").c_str(), 0644);

  result = Run({"C:\\TOOLS"});
  EXPECT_EQ(kModified, result.out);
  EXPECT_EQ("PATH C:\\DOS\n", File("AUTOEXEC.OLD"));
}

TEST_F(Envdirs, AnUnreadableBootFileIsNeverReplaced) {
  drive.MakeDir("AUTOEXEC.BAT");
  RunResult result = Run({"C:\\TOOLS"});
  EXPECT_EQ(kNotModified, result.out);
  EXPECT_EQ("Error reading file \"C:\\AUTOEXEC.BAT\".\n", result.err);
  EXPECT_EQ(1, result.exitCode);
  EXPECT_FALSE(drive.Exists("AUTOEXEC.$$$"));
  EXPECT_FALSE(drive.Exists("AUTOEXEC.OLD"));
}

}  // namespace
