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

bool IsWebAddress(std::wstring_view address)
{
    auto startsWith = [&](std::wstring_view prefix) {
        if (address.size() <= prefix.size()) return false;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            wchar_t c = address[i];
            if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
            if (c != prefix[i]) return false;
        }
        return true;
    };
    return startsWith(L"http://") || startsWith(L"https://");
}

}  // namespace Unit1
