#pragma once

// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.

#include <string>

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return folder; }
    std::string file(const std::string& name) const { return folder + "/" + name; }

private:
    std::string folder;
};

// Whole-file helpers for tests of file formats.
void writeFileBytes(const std::string& path, const std::string& bytes);
std::string readFileBytes(const std::string& path);
bool fileExists(const std::string& path);
