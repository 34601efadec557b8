#pragma once

#include "FileSystem.h"

namespace voltaro {

// The file system through POSIX calls. Writes go to a temporary file in the target's own
// folder, are flushed to disk and then renamed over the target, so a crash, a full disk or
// a kill at any moment leaves either the old file or the new one.
class PosixFileSystem final : public FileSystem {
public:
    std::string homeDirectory() const override;
    bool fileExistsAtPath(const std::string& path, bool& isDirectory) const override;
    bool createDirectoryAtPath(const std::string& path) override;
    std::optional<std::string> contentsOfFile(const std::string& path) const override;
    bool writeFileAtomically(const std::string& path, const std::string& contents) override;
};

} // namespace voltaro
