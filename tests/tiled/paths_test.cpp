// paths_test.cpp: the files a map names are found beside it, whatever
// separators the map's own path was given with, and a name that starts at a
// root is taken as it is.
#include <gtest/gtest.h>

#include "tiled_check.h"

namespace {

using tiled::FolderOf;
using tiled::JoinPath;

TEST(TiledPaths, NamesAreFoundBesideTheFileThatNamesThem) {
  EXPECT_EQ(FolderOf("m.tmx"), ".");
  EXPECT_EQ(JoinPath(FolderOf("m.tmx"), "sheets/t.png"), "sheets/t.png");
  EXPECT_EQ(JoinPath(FolderOf("maps/m.tmx"), "t.tsx"), "maps/t.tsx");
  EXPECT_EQ(JoinPath(FolderOf("/m.tmx"), "t.tsx"), "/t.tsx");
  EXPECT_EQ(JoinPath(FolderOf("/a/b/m.tmx"), "../t.png"), "/a/b/../t.png");
  EXPECT_EQ(JoinPath("maps", "t.tsx"), "maps/t.tsx");
  EXPECT_EQ(JoinPath("maps", "/abs/t.png"), "/abs/t.png");
  EXPECT_EQ(JoinPath("maps", ""), "");
#ifdef _WIN32
  EXPECT_EQ(JoinPath(FolderOf("C:\\maps\\m.tmx"), "t.tsx"), "C:\\maps\\t.tsx");
  EXPECT_EQ(JoinPath(FolderOf("C:\\maps/sub\\m.tmx"), "t.tsx"), "C:\\maps/sub\\t.tsx");
  EXPECT_EQ(JoinPath(FolderOf("C:\\m.tmx"), "t.tsx"), "C:\\t.tsx");
  EXPECT_EQ(JoinPath(FolderOf("C:m.tmx"), "t.tsx"), "C:t.tsx");
  EXPECT_EQ(JoinPath("C:\\maps", "D:\\t.png"), "D:\\t.png");
  EXPECT_EQ(JoinPath("C:\\maps", "\\t.png"), "\\t.png");
#else
  // A backslash is part of a name here.
  EXPECT_EQ(FolderOf("a\\b.tmx"), ".");
  EXPECT_EQ(JoinPath("maps", "C:\\t.png"), "maps/C:\\t.png");
#endif
}

}  // namespace
