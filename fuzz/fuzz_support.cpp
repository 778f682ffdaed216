#include "fuzz_support.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <system_error>

#include "common/text.hpp"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVANE_FUZZ_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KORVANE_FUZZ_SANITIZED 1
#endif
#ifndef KORVANE_FUZZ_SANITIZED
#define KORVANE_FUZZ_SANITIZED 0
#endif
#if KORVANE_FUZZ_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

namespace Fuzz {
namespace {

// Owns the scratch folder; its destructor removes it when the process ends by returning or exit().
class Scratch {
public:
    Scratch()
    {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error)) {
            base = std::filesystem::temp_directory_path(error);
        }
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                base / ("korvane-fuzz-" + std::to_string(random()) + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
                return;
            }
        }
        Fail("cannot create a scratch folder", base.string());
    }
    ~Scratch()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::string& NotedInput()
{
    static std::string name;
    return name;
}

void PrintNotedInput()
{
    if (!NotedInput().empty()) std::cerr << "    input: " << NotedInput() << "\n";
}

}  // namespace

void NoteInput(const std::string& name)
{
#if KORVANE_FUZZ_SANITIZED
    static const bool registered = [] {
        __sanitizer_set_death_callback(PrintNotedInput);
        return true;
    }();
    (void)registered;
#endif
    NotedInput() = name;
}

void Fail(std::string_view what, std::string_view detail)
{
    std::cerr << "\n*** property broken: " << what << "\n";
    if (!detail.empty()) std::cerr << "    " << detail << "\n";
    PrintNotedInput();
    std::cerr.flush();
    std::abort();
}

const std::filesystem::path& ScratchFolder()
{
    static const Scratch scratch;
    return scratch.path();
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) Fail("cannot write a scratch file", path.string());
}

bool EndsOnWholeCharacter(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) i += MyFunc::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2U : 1U;
    return i == text.size();
}

std::string Printable(std::string_view bytes)
{
    std::string shown;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            shown.push_back(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            shown += hex;
        }
    }
    return shown;
}

bool SpellsNonFinite(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower.find("inf") != std::string::npos || lower.find("nan") != std::string::npos;
}

std::uint8_t InputReader::Byte()
{
    if (used_ >= size_) return 0;
    return data_[used_++];
}

std::uint16_t InputReader::U16()
{
    const unsigned low = Byte();
    const unsigned high = Byte();
    return static_cast<std::uint16_t>(low | (high << 8U));
}

double InputReader::Double()
{
    unsigned char bytes[sizeof(double)] = {};
    for (unsigned char& b : bytes) b = Byte();
    double value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

std::string_view InputReader::Bytes(std::size_t count)
{
    const std::size_t taken = count < size_ - used_ ? count : size_ - used_;
    const std::string_view piece(reinterpret_cast<const char*>(data_) + used_, taken);
    used_ += taken;
    return piece;
}

}  // namespace Fuzz
