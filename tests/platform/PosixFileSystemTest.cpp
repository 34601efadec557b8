#include "PosixFileSystem.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace voltaro {
namespace {

namespace fs = std::filesystem;

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/voltaro-fs-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Names in `folder` other than the given file: temporary files left behind.
    static std::vector<std::string> strays(const std::string& folder, const std::string& keep) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename() != keep)
                names.push_back(entry.path().filename());
        return names;
    }
    // Runs `scenario` in a child with its own mount table and `root` as a tmpfs of
    // `sizeKiB`; answers the child's exit status, or -1 when mounts are not allowed here.
    int inPrivateTmpfs(int sizeKiB, const std::function<int()>& scenario) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                ::_exit(77);
            const std::string options = "size=" + std::to_string(sizeKiB) + "k";
            if (::mount("tmpfs", root.c_str(), "tmpfs", 0, options.c_str()) != 0)
                ::_exit(77);
            ::_exit(scenario());
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status))
            return -2;
        return WEXITSTATUS(status) == 77 ? -1 : WEXITSTATUS(status);
    }

    std::string root;
    PosixFileSystem fileSystem;
};

TEST_F(PosixFileSystemTest, WritesAndReadsAnyBytes) {
    const std::string path = root + "/Voltaro.log";
    EXPECT_EQ(fileSystem.contentsOfFile(path), std::nullopt);
    const std::string bytes("a\rb\r\xff\xfe\n\0z\r", 10);
    ASSERT_TRUE(fileSystem.writeFileAtomically(path, bytes));
    EXPECT_EQ(fileSystem.contentsOfFile(path), bytes);
    ASSERT_TRUE(fileSystem.writeFileAtomically(path, "shorter"));
    EXPECT_EQ(read(path), "shorter");
    EXPECT_TRUE(strays(root, "Voltaro.log").empty());
    EXPECT_EQ(fileSystem.contentsOfFile(root), std::nullopt); // a directory is not a file
}

TEST_F(PosixFileSystemTest, KeepsThePermissionsOfTheFileItReplaces) {
    const std::string path = root + "/Voltaro.log";
    ASSERT_TRUE(fileSystem.writeFileAtomically(path, "one"));
    ::chmod(path.c_str(), 0600);
    ASSERT_TRUE(fileSystem.writeFileAtomically(path, "two"));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(PosixFileSystemTest, FailedWritesLeaveTheOldFileAndNoTemporaryFile) {
    // Where a directory stands, or in a folder that does not exist, nothing is written.
    EXPECT_FALSE(fileSystem.writeFileAtomically("/", "x"));
    EXPECT_FALSE(fileSystem.writeFileAtomically(root, "x"));
    EXPECT_FALSE(fileSystem.writeFileAtomically(root + "/Logs/Voltaro.log", "x"));
    // A plain file named Logs where the folder should be.
    std::ofstream(root + "/Logs") << "not a folder";
    EXPECT_FALSE(fileSystem.writeFileAtomically(root + "/Logs/Voltaro.log", "x"));
    EXPECT_EQ(read(root + "/Logs"), "not a folder");
    EXPECT_TRUE(strays(root, "Logs").empty());
}

TEST_F(PosixFileSystemTest, FullDiskKeepsTheOldLog) {
    const int result = inPrivateTmpfs(64, [&] {
        const std::string path = root + "/Voltaro.log";
        const std::string old(20 * 1024, 'o');
        if (!fileSystem.writeFileAtomically(path, old))
            return 1;
        if (fileSystem.writeFileAtomically(path, std::string(100 * 1024, 'n')))
            return 2; // did not fill the disk?
        if (read(path) != old)
            return 3;
        if (!strays(root, "Voltaro.log").empty())
            return 4;
        return 0;
    });
    if (result == -1)
        GTEST_SKIP() << "no permission to mount a private tmpfs here";
    EXPECT_EQ(result, 0);
}

TEST_F(PosixFileSystemTest, ReadOnlyFolderKeepsTheOldLog) {
    const int result = inPrivateTmpfs(1024, [&] {
        const std::string path = root + "/Voltaro.log";
        if (!fileSystem.writeFileAtomically(path, "old\r"))
            return 1;
        if (::mount(nullptr, root.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
            return 77;
        if (fileSystem.writeFileAtomically(path, "new\r"))
            return 2;
        return read(path) == "old\r" ? 0 : 3;
    });
    if (result == -1)
        GTEST_SKIP() << "no permission to mount a private tmpfs here";
    EXPECT_EQ(result, 0);
}

TEST_F(PosixFileSystemTest, KillDuringASaveLeavesTheOldOrTheNewFileNeverAMix) {
    const std::string path = root + "/Voltaro.log";
    const std::string oldLog(8 * 1024 * 1024, 'o');
    const std::string newLog(9 * 1024 * 1024, 'n');
    ASSERT_TRUE(fileSystem.writeFileAtomically(path, oldLog));
    for (int delayMicroseconds : {0, 2000, 10000, 40000}) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;)
                fileSystem.writeFileAtomically(path, newLog);
        }
        ::usleep(static_cast<useconds_t>(delayMicroseconds));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = read(path);
        EXPECT_TRUE(now == oldLog || now == newLog)
            << "after " << delayMicroseconds << " µs: " << now.size() << " bytes";
    }
}

} // namespace
} // namespace voltaro
