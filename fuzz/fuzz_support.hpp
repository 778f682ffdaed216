// Shared pieces of the fuzz targets: failing loudly, a private scratch folder, whole-character
// and number-text checks.
//
// Every target defines LLVMFuzzerTestOneInput. Built with libFuzzer it is a fuzzer; linked with
// replay_main.cpp it runs a corpus once, file by file, under the sanitizers of the build. A
// broken property aborts the process with a message on stderr, which both treat as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace Fuzz {

// Prints what broke (and the input being replayed, when one was noted) and aborts.
[[noreturn]] void Fail(std::string_view what, std::string_view detail = {});

// The replay driver names each input before running it, so that a failure says which one. Under
// the sanitizers the name is also printed when a sanitizer ends the process.
void NoteInput(const std::string& name);

// A folder of this process for files the targets write, removed when the process ends normally.
// In /dev/shm when it exists: the targets write several files per input.
const std::filesystem::path& ScratchFolder();

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, std::string_view bytes);

// True when walking the text character by character from its first byte ends exactly at its
// end: no two-byte character is cut off at the end.
bool EndsOnWholeCharacter(std::string_view text);

// The text with every byte outside printable ASCII shown as \xNN, for messages.
std::string Printable(std::string_view bytes);

// True when the text contains "inf" or "nan" in any case: the spelling of a non-finite number.
bool SpellsNonFinite(std::string_view text);

// Reads little-endian integers and raw doubles from the front of a fuzz input; past the end it
// gives zeros, so that every input decodes.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte();
    std::uint16_t U16();
    double Double();
    std::string_view Bytes(std::size_t count);  // at most what is left
    std::string_view Rest() { return Bytes(size_ - used_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t used_ = 0;
};

}  // namespace Fuzz
