// Paths taken apart: the folder the DLL search is told to use.
#include <gtest/gtest.h>

#include <string>

#include "link/file_path.h"

namespace kelto::testing {
namespace {

TEST(FolderOfPath, KeepsARootsSeparatorAndDropsEveryOther) {
  const struct {
    std::u16string path;
    std::u16string folder;
  } rows[] = {
      {u"C:\\Games\\Kelto.exe", u"C:\\Games"},
      {u"C:\\Games\\Chat\\Kelto.exe", u"C:\\Games\\Chat"},
      {u"C:/Games/Kelto.exe", u"C:/Games"},
      // "E:" would name the drive's current folder, which may be any folder.
      {u"E:\\Kelto.exe", u"E:\\"},
      {u"E:/Kelto.exe", u"E:/"},
      {u"\\\\?\\E:\\Kelto.exe", u"\\\\?\\E:\\"},
      {u"\\\\?\\E:\\Games\\Kelto.exe", u"\\\\?\\E:\\Games"},
      {u"\\\\server\\share\\Kelto.exe", u"\\\\server\\share"},
      {u"\\Kelto.exe", u"\\"},
      {u"Kelto.exe", u""},
      {u"", u""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FolderOfPath(row.path), row.folder) << std::string(row.path.begin(), row.path.end());
  }
}

}  // namespace
}  // namespace kelto::testing
