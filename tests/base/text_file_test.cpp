// Output files replaced by a run: the new text, the old file's permissions, and the names that
// lead to it (a symbolic link, a second hard link) still lead to the new text.

#include "base/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/test_support.h"

namespace tarvolin {
namespace {

namespace fs = std::filesystem;
using TextFileTest = test::ScratchFolderTest;

void replace(const std::string& path, const char* text) {
  TextWriter writer;
  ASSERT_TRUE(writer.create(path));
  writer.line(text);
  writer.close();
}

TEST_F(TextFileTest, ReplacedFileKeepsItsModeAndEveryNameLeadingToIt) {
  test::writeFile("report.OUT", "an older and much longer report\r\n");
  fs::permissions("report.OUT", fs::perms::owner_read | fs::perms::owner_write);
  replace("report.OUT", "new");
  EXPECT_EQ(test::readFile("report.OUT"), "new\r\n");
  EXPECT_EQ(fs::status("report.OUT").permissions(), fs::perms::owner_read | fs::perms::owner_write);

  test::writeFile("target.OUT", "old\r\n");
  fs::create_symlink("target.OUT", "link.OUT");
  fs::create_hard_link("target.OUT", "second.OUT");
  replace("link.OUT", "through the link");
  EXPECT_TRUE(fs::is_symlink("link.OUT"));
  EXPECT_EQ(test::readFile("target.OUT"), "through the link\r\n");
  EXPECT_EQ(test::readFile("second.OUT"), "through the link\r\n");
}

TEST_F(TextFileTest, WriteProtectedFileIsNotReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
  test::writeFile("kept.OUT", "kept\r\n");
  fs::permissions("kept.OUT", fs::perms::owner_read);
  TextWriter writer;
  EXPECT_FALSE(writer.create("kept.OUT"));
  EXPECT_EQ(test::readFile("kept.OUT"), "kept\r\n");
}

}  // namespace
}  // namespace tarvolin
