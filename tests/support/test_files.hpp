// File helpers for the tests: fixtures from the source tree, private temporary folders.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace TestFiles {

// A path below the source tree, e.g. SourcePath("tests/fixtures/host/one-line-selected.txt").
std::filesystem::path SourcePath(std::string_view relative);

// A path below the build tree, where the tests keep what a developer should look at after a
// failure, e.g. BuildPath("golden-actual").
std::filesystem::path BuildPath(std::string_view relative);

// The bytes as upper-case hex pairs, each followed by a blank: readable failure messages for
// Shift-JIS texts.
std::string HexBytes(std::string_view bytes);

// The whole file as bytes; an empty string when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);

// Writes the bytes exactly (binary); fails the calling test on error.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// A fresh empty folder, removed again when the object goes out of scope.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace TestFiles
