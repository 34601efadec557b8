#pragma once

#include <optional>
#include <string>

namespace voltaro {

// The few file-system calls the program makes, behind an interface so tests can watch them.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The user's home directory ($HOME).
    virtual std::string homeDirectory() const = 0;
    // Whether something exists at `path`; when it does, `isDirectory` says whether it is a directory.
    virtual bool fileExistsAtPath(const std::string& path, bool& isDirectory) const = 0;
    // Creates one directory whose parent exists, with the default permissions.
    virtual bool createDirectoryAtPath(const std::string& path) = 0;
    // The whole file, byte for byte, or nothing when it does not exist or cannot be read.
    virtual std::optional<std::string> contentsOfFile(const std::string& path) const = 0;
    // Replaces the file by `contents` so that it is either the old file or the new one, never
    // a mix: a temporary file beside it, flushed to disk, then renamed over it. On failure
    // the old file stays as it was and no temporary file is left behind.
    virtual bool writeFileAtomically(const std::string& path, const std::string& contents) = 0;
};

} // namespace voltaro
