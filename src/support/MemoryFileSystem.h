#pragma once

#include "FileSystem.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace voltaro {

// A file system held in memory, for tests: directories, files with their bytes, paths where
// creating or writing fails, and a record of every call that changes something.
class MemoryFileSystem final : public FileSystem {
public:
    explicit MemoryFileSystem(std::string home = "/home/user");

    void addDirectory(const std::string& path) { m_directories.insert(path); }
    void addFile(const std::string& path, std::string contents) { m_files[path] = std::move(contents); }
    // Creating a directory or writing a file at `path` fails from now on.
    void failAt(const std::string& path) { m_failing.insert(path); }
    const std::map<std::string, std::string>& files() const { return m_files; }
    bool hasDirectory(const std::string& path) const { return m_directories.count(path) != 0; }
    // "exists PATH", "mkdir PATH", "read PATH", "write PATH", in order.
    const std::vector<std::string>& calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

    std::string homeDirectory() const override { return m_home; }
    bool fileExistsAtPath(const std::string& path, bool& isDirectory) const override;
    bool createDirectoryAtPath(const std::string& path) override;
    std::optional<std::string> contentsOfFile(const std::string& path) const override;
    bool writeFileAtomically(const std::string& path, const std::string& contents) override;

private:
    bool parentIsDirectory(const std::string& path) const;
    void record(const char* verb, const std::string& path) const;

    std::string m_home;
    std::set<std::string> m_directories;
    std::map<std::string, std::string> m_files;
    std::set<std::string> m_failing;
    mutable std::vector<std::string> m_calls;
};

} // namespace voltaro
