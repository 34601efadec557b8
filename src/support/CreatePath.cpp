#include "CreatePath.h"

namespace voltaro {

std::string deletingLastPathComponent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string CreatePath::expandTildeInPath(const std::string& path) const {
    if (path.empty() || path[0] != '~' || (path.size() > 1 && path[1] != '/'))
        return path;
    return m_fileSystem.homeDirectory() + path.substr(1);
}

bool CreatePath::createPath(const std::string& path) {
    if (path.empty() || path == "/")
        return true;
    if (!createPath(deletingLastPathComponent(path)))
        return false;
    bool isDirectory = false;
    if (m_fileSystem.fileExistsAtPath(path, isDirectory) && isDirectory)
        return true;
    return m_fileSystem.createDirectoryAtPath(path);
}

bool CreatePath::createAbsolutePath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return false;
    std::string directory = path;
    if (directory.back() == '/')
        directory.pop_back();
    return createPath(directory);
}

std::string CreatePath::createPathForFile(const std::string& filePath) {
    const std::string expanded = expandTildeInPath(filePath);
    if (createAbsolutePath(deletingLastPathComponent(expanded)))
        return expanded;
    return "/";
}

} // namespace voltaro
