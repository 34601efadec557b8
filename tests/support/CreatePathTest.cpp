#include "CreatePath.h"

#include "MemoryFileSystem.h"

#include <gtest/gtest.h>

namespace voltaro {
namespace {

using Calls = std::vector<std::string>;

TEST(CreatePathTest, DeletingTheLastComponent) {
    const std::pair<const char*, const char*> cases[] = {
        {"/a", "/"}, {"a", ""}, {"/a/b", "/a"}, {"a/b", "a"}, {"/a/b/", "/a/b"}, {"", ""},
    };
    for (const auto& [path, parent] : cases)
        EXPECT_EQ(deletingLastPathComponent(path), parent) << path;
}

TEST(CreatePathTest, CreatesMissingLevelsParentsFirst) {
    struct Case {
        const char* name;
        const char* path;
        bool result;
        Calls calls;
    };
    const Case cases[] = {
        {"empty path", "", true, {}},
        {"root", "/", true, {}},
        {"all there", "/home/user", true, {"exists /home", "exists /home/user"}},
        {"two levels missing",
         "/home/x/y",
         true,
         {"exists /home", "exists /home/x", "mkdir /home/x", "exists /home/x/y", "mkdir /home/x/y"}},
        {"a plain file on the way",
         "/home/file/y",
         false,
         {"exists /home", "exists /home/file", "mkdir /home/file"}},
        {"relative, two levels",
         "rel/sub",
         true,
         {"exists rel", "mkdir rel", "exists rel/sub", "mkdir rel/sub"}},
    };
    for (const Case& c : cases) {
        MemoryFileSystem fileSystem;
        fileSystem.addFile("/home/file", "x");
        CreatePath paths(fileSystem);
        EXPECT_EQ(paths.createPath(c.path), c.result) << c.name;
        EXPECT_EQ(fileSystem.calls(), c.calls) << c.name;
    }
}

TEST(CreatePathTest, AbsolutePathsOnlyWithOneTrailingSlashIgnored) {
    struct Case {
        const char* path;
        bool result;
        Calls calls;
    };
    const Case cases[] = {
        {"", false, {}},
        {"relative/path", false, {}},
        {"/", true, {}},
        {"/home/user/", true, {"exists /home", "exists /home/user"}},
        {"/home/user", true, {"exists /home", "exists /home/user"}},
        // Two slashes keep one: the last level is "/home/user/" itself, a directory.
        {"/home/user//", true, {"exists /home", "exists /home/user", "exists /home/user/"}},
    };
    for (const Case& c : cases) {
        MemoryFileSystem fileSystem;
        CreatePath paths(fileSystem);
        EXPECT_EQ(paths.createAbsolutePath(c.path), c.result) << c.path;
        EXPECT_EQ(fileSystem.calls(), c.calls) << c.path;
    }
}

TEST(CreatePathTest, PathForFileExpandsTheHomeOrAnswersRoot) {
    MemoryFileSystem fileSystem;
    CreatePath paths(fileSystem);
    EXPECT_EQ(paths.createPathForFile("~/Library/Logs/Voltaro.log"), "/home/user/Library/Logs/Voltaro.log");
    EXPECT_TRUE(fileSystem.hasDirectory("/home/user/Library"));
    EXPECT_TRUE(fileSystem.hasDirectory("/home/user/Library/Logs"));

    EXPECT_EQ(paths.createPathForFile("Voltaro.log"), "/"); // no directory part
    EXPECT_EQ(paths.createPathForFile(""), "/");
    EXPECT_EQ(paths.createPathForFile("/srv/log.txt"), "/srv/log.txt");

    MemoryFileSystem blocked;
    blocked.addFile("/home/user/Library", "a plain file");
    CreatePath blockedPaths(blocked);
    EXPECT_EQ(blockedPaths.createPathForFile("~/Library/Logs/Voltaro.log"), "/");
}

TEST(CreatePathTest, OnlyALeadingTildeIsTheHome) {
    MemoryFileSystem fileSystem;
    CreatePath paths(fileSystem);
    EXPECT_EQ(paths.expandTildeInPath("~"), "/home/user");
    EXPECT_EQ(paths.expandTildeInPath("~/a"), "/home/user/a");
    EXPECT_EQ(paths.expandTildeInPath("/a/~"), "/a/~");
    EXPECT_EQ(paths.expandTildeInPath("~other/a"), "~other/a");
}

} // namespace
} // namespace voltaro
