#include "tests/support/temporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

TemporaryFolder::TemporaryFolder()
{
    std::string pattern
        = (std::filesystem::temp_directory_path() / "morvanclarity-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot create a temporary folder";
    folder = pattern;
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}

void writeFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string readFileBytes(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}
