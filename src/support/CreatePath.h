#pragma once

#include "FileSystem.h"

#include <string>

namespace voltaro {

// Directory creation for the files the program writes.
class CreatePath {
public:
    explicit CreatePath(FileSystem& fileSystem) : m_fileSystem(fileSystem) {}

    // Creates `path` and every missing directory above it, parents first. True when the
    // directory exists at the end (or the path is empty or "/").
    bool createPath(const std::string& path);
    // The same for a path that must begin with "/"; one trailing "/" is ignored.
    bool createAbsolutePath(const std::string& path);
    // Makes sure the directory of `filePath` (which may begin with "~") exists. The file path
    // with "~" expanded, or "/" (where no file can be written) when the directory cannot be had.
    std::string createPathForFile(const std::string& filePath);

    // A leading "~" replaced by the home directory; other paths unchanged.
    std::string expandTildeInPath(const std::string& path) const;

private:
    FileSystem& m_fileSystem;
};

// The path without its last component: "/" for "/name", "" for "name", else everything
// before the last "/".
std::string deletingLastPathComponent(const std::string& path);

} // namespace voltaro
