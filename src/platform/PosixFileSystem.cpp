#include "PosixFileSystem.h"

#include "CreatePath.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace voltaro {

namespace {

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

std::string PosixFileSystem::homeDirectory() const {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr)
        return user->pw_dir;
    return "/";
}

bool PosixFileSystem::fileExistsAtPath(const std::string& path, bool& isDirectory) const {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return false;
    isDirectory = S_ISDIR(status.st_mode);
    return true;
}

bool PosixFileSystem::createDirectoryAtPath(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

std::optional<std::string> PosixFileSystem::contentsOfFile(const std::string& path) const {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string contents;
    contents.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return contents;
}

bool PosixFileSystem::writeFileAtomically(const std::string& path, const std::string& contents) {
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return false; // "/" or another directory: nothing can be written there
    // Built with append(): GCC 12 warns falsely (-Wrestrict) on literal-and-string sums here.
    std::string folder = deletingLastPathComponent(path);
    if (folder.empty())
        folder.assign(1, '.');
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return false;

    std::string temporary;
    temporary.append(folder).append("/.").append(name).append(".XXXXXX");
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // Keep the permissions of the file being replaced; a new one gets the usual 0644.
    const mode_t mode = exists ? (existing.st_mode & 07777) : 0644;
    bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, contents.data(), contents.size()) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    if (const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

} // namespace voltaro
