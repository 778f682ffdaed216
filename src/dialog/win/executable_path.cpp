#include "dialog/win/executable_path.hpp"

#include <windows.h>

#include <string>

namespace Unit1 {

std::filesystem::path ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path);
        }
        // The path was cut to the buffer: try a longer one, up to the longest path Windows has.
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace Unit1
