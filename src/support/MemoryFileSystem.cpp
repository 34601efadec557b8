#include "MemoryFileSystem.h"

#include "CreatePath.h"

namespace voltaro {

MemoryFileSystem::MemoryFileSystem(std::string home) : m_home(std::move(home)) {
    m_directories.insert("/");
    // The home folder and everything above it exist.
    for (std::string path = m_home; !path.empty() && path != "/"; path = deletingLastPathComponent(path))
        m_directories.insert(path);
}

void MemoryFileSystem::record(const char* verb, const std::string& path) const {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + string.
    std::string call(verb);
    call += ' ';
    call += path;
    m_calls.push_back(std::move(call));
}

bool MemoryFileSystem::parentIsDirectory(const std::string& path) const {
    // A relative path with one component hangs below the current folder, which always exists.
    const std::string parent = deletingLastPathComponent(path);
    return parent.empty() || m_directories.count(parent) != 0;
}

bool MemoryFileSystem::fileExistsAtPath(const std::string& path, bool& isDirectory) const {
    record("exists", path);
    // As with stat(), "dir/" names the directory "dir".
    const std::string name = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    if (m_directories.count(name)) {
        isDirectory = true;
        return true;
    }
    if (m_files.count(name)) {
        isDirectory = false;
        return true;
    }
    return false;
}

bool MemoryFileSystem::createDirectoryAtPath(const std::string& path) {
    record("mkdir", path);
    if (m_failing.count(path) || m_directories.count(path) || m_files.count(path) || !parentIsDirectory(path))
        return false;
    m_directories.insert(path);
    return true;
}

std::optional<std::string> MemoryFileSystem::contentsOfFile(const std::string& path) const {
    record("read", path);
    auto found = m_files.find(path);
    if (found == m_files.end())
        return std::nullopt;
    return found->second;
}

bool MemoryFileSystem::writeFileAtomically(const std::string& path, const std::string& contents) {
    record("write", path);
    if (m_failing.count(path) || m_directories.count(path) || !parentIsDirectory(path))
        return false;
    m_files[path] = contents;
    return true;
}

} // namespace voltaro
