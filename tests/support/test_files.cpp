#include "support/test_files.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace TestFiles {

namespace {

std::filesystem::path BelowTree(std::string root, std::string_view relative)
{
#ifdef _WIN32
    // The Windows tests run under wine, which shows the Linux root as drive Z:.
    if (!root.empty() && root[0] == '/') root = "Z:" + root;
#endif
    return std::filesystem::path(root) / std::filesystem::path(relative);
}

}  // namespace

std::filesystem::path SourcePath(std::string_view relative)
{
    return BelowTree(KORVANE_SOURCE_DIR, relative);
}

std::filesystem::path BuildPath(std::string_view relative)
{
    return BelowTree(KORVANE_BINARY_DIR, relative);
}

std::string HexBytes(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 0x0F];
        out += ' ';
    }
    return out;
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_FALSE(out.fail()) << "cannot write " << path.string();
}

TempFolder::TempFolder()
{
    static std::atomic<unsigned> counter{0};
    std::random_device seed;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("korvane-test-" + std::to_string(seed()) + "-" + std::to_string(stamp) + "-" +
             std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace TestFiles
