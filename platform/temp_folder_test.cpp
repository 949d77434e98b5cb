// The temporary folder: TEMP, TMP, then the host's folder through the drive
// map or on a drive of its own; never a relative folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <map>
#include <optional>
#include <string>

#include "platform/drives.h"
#include "platform/files.h"
#include "platform/temp_folder.h"
#include "platform/testing/test_support.h"

namespace {

// Sets the variables for one case and puts the old values back afterwards.
class TempVariables {
 public:
  explicit TempVariables(const std::map<std::string, std::optional<std::string>>& values) {
    for (const auto& [name, value] : values) {
      const char* old = getenv(name.c_str());
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }
  ~TempVariables() {
    for (const auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

struct TempCase {
  const char* label;
  std::optional<std::string> temp, tmp, tmpdir;  // "@x": host path of x on the drive
  const char* expected;                          // "@x": Windows path of x on the drive
};

TEST(GetTempFolder, TakesTheFirstWritableFolderAsAFullPath) {
  TempDrive drive;
  drive.MakeDir("work/t1");
  drive.MakeDir("t2");
  drive.MakeDir("host tmp");
  drive.Write("file.txt", "");
  drive.Chdir("work");
  const TempCase cases[] = {
      {"TEMP", "C:\\t2", "C:\\work", std::nullopt, "C:\\t2"},
      {"relative TEMP made full", "t1", std::nullopt, std::nullopt, "C:\\work\\t1"},
      {"missing TEMP, then TMP", "C:\\missing", "C:\\t2", std::nullopt, "C:\\t2"},
      {"TEMP names a file", "C:\\file.txt", "C:\\t2", std::nullopt, "C:\\t2"},
      {"empty TEMP, then TMP", "", "t1", std::nullopt, "C:\\work\\t1"},
      {"host folder on the drive", std::nullopt, std::nullopt, "@host tmp", "C:\\host tmp"},
      {"relative TMPDIR ignored", std::nullopt, std::nullopt, ".", "T:\\"},
      // A value that begins with '/' names a host folder, as a Linux shell
      // sets it.
      {"TEMP a host folder", "@t2", "C:\\work", std::nullopt, "C:\\t2"},
      {"TMP a host folder", std::nullopt, "@work/t1/", std::nullopt, "C:\\work\\t1"},
      {"missing host TEMP, then TMP", "@missing", "C:\\t2", std::nullopt, "C:\\t2"},
      {"host TEMP names a file", "@file.txt", "@t2", std::nullopt, "C:\\t2"},
  };
  auto onDrive = [&](std::optional<std::string> value) {
    if (value && !value->empty() && (*value)[0] == '@') value = drive.Host(value->substr(1));
    return value;
  };
  for (const TempCase& c : cases) {
    TempVariables variables(
        {{"TEMP", onDrive(c.temp)}, {"TMP", onDrive(c.tmp)}, {"TMPDIR", onDrive(c.tmpdir)}});
    std::string drives = getenv("WEFTDRIVES");
    EXPECT_EQ(GetTempFolder(), c.expected) << c.label;
    setenv("WEFTDRIVES", drives.c_str(), 1);
  }
}

TEST(GetTempFolder, GivesAHostFolderOutsideTheDrivesADriveOfItsOwn) {
  TempDrive drive;
  drive.MakeDir("inner");
  std::string outside = drive.Host("inner");
  // Only C: is mapped, to a subfolder, so the host folder is on no drive.
  setenv("WEFTDRIVES", ("C=" + drive.Host("inner") + "/c").c_str(), 1);
  drive.MakeDir("inner/c");
  TempVariables variables({{"TEMP", std::nullopt}, {"TMP", std::nullopt}, {"TMPDIR", outside}});
  EXPECT_EQ(GetTempFolder(), "T:\\");
  EXPECT_EQ(std::string(getenv("WEFTDRIVES")), "C=" + outside + "/c;T=" + outside);
  // A file made there is reachable by the same name from a started program.
  std::string file;
  ASSERT_TRUE(MakeTempFile("T:\\", "CGI", &file));
  EXPECT_EQ(file.substr(0, 6), "T:\\CGI");
  struct stat st;
  std::string host;
  ASSERT_TRUE(HostPath(file.c_str(), &host));
  ASSERT_EQ(stat(host.c_str(), &st), 0);
  EXPECT_EQ(host.substr(0, outside.size()), outside);
  // Temporary files are private to their owner.
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// TEMP as a Linux shell sets it, a host folder on no mapped drive, gets a
// drive of its own as the host's temporary folder does.
TEST(GetTempFolder, GivesAHostTempOutsideTheDrivesADriveOfItsOwn) {
  TempDrive drive;
  drive.MakeDir("c");
  drive.MakeDir("var tmp/weft");
  setenv("WEFTDRIVES", ("C=" + drive.Host("c")).c_str(), 1);
  TempVariables variables({{"TEMP", drive.Host("var tmp/weft")}, {"TMP", std::nullopt}});
  EXPECT_EQ(GetTempFolder(), "T:\\");
  EXPECT_EQ(std::string(getenv("WEFTDRIVES")), "C=" + drive.Host("c") + ";T=" + drive.Host("var tmp/weft"));
}

TEST(GetTempFolder, TakesTheNextFreeLetterWhenTIsInUse) {
  TempDrive drive;
  drive.MakeDir("c");
  drive.MakeDir("t");
  drive.MakeDir("z");
  drive.MakeDir("tmp");
  setenv("WEFTDRIVES",
         ("C=" + drive.Host("c") + ";T=" + drive.Host("t") + ";Z=" + drive.Host("z")).c_str(), 1);
  TempVariables variables(
      {{"TEMP", std::nullopt}, {"TMP", std::nullopt}, {"TMPDIR", drive.Host("tmp")}});
  EXPECT_EQ(GetTempFolder(), "Y:\\");
}

}  // namespace
