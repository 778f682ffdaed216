#include "dialog/win/win_text.hpp"

#include <windows.h>

#include <climits>

namespace Unit1 {
namespace {

constexpr UINT kShiftJis = 932;

}  // namespace

std::wstring Cp932ToWide(std::string_view text)
{
    if (text.empty() || text.size() > INT_MAX) return {};
    const int inLength = static_cast<int>(text.size());
    const int outLength = MultiByteToWideChar(kShiftJis, 0, text.data(), inLength, nullptr, 0);
    if (outLength <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(outLength), L'\0');
    MultiByteToWideChar(kShiftJis, 0, text.data(), inLength, wide.data(), outLength);
    return wide;
}

std::string WideToCp932(std::wstring_view text)
{
    if (text.empty() || text.size() > INT_MAX) return {};
    const int inLength = static_cast<int>(text.size());
    const char replacement[] = "?";
    const int outLength = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(),
                                              inLength, nullptr, 0, replacement, nullptr);
    if (outLength <= 0) return {};
    std::string bytes(static_cast<std::size_t>(outLength), '\0');
    WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text.data(), inLength, bytes.data(),
                        outLength, replacement, nullptr);
    return bytes;
}

}  // namespace Unit1
