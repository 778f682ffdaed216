#include "support/golden_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_files.hpp"

namespace fs = std::filesystem;

namespace GoldenFiles {
namespace {

// One line of a file: its bytes, and its line end ("\r\n", "\n", or none on a last line).
struct Line {
    std::string_view text;
    std::string_view end;
};

std::vector<Line> SplitLines(std::string_view bytes)
{
    std::vector<Line> lines;
    while (!bytes.empty()) {
        const std::size_t newline = bytes.find('\n');
        if (newline == std::string_view::npos) {
            lines.push_back({bytes, {}});
            break;
        }
        const bool crlf = newline > 0 && bytes[newline - 1] == '\r';
        const std::size_t textEnd = crlf ? newline - 1 : newline;
        lines.push_back({bytes.substr(0, textEnd), bytes.substr(textEnd, newline + 1 - textEnd)});
        bytes.remove_prefix(newline + 1);
    }
    return lines;
}

// Printable ASCII as it is; every run of other bytes (Shift-JIS characters with both their
// bytes, control characters) and a "{" of the text itself as hex pairs in {}.
std::string Readable(std::string_view text)
{
    const auto plain = [](char c) { return c >= 0x20 && c <= 0x7E && c != '{'; };
    const auto lead = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    };
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t j = i;
        while (j < text.size() && plain(text[j])) ++j;
        out.append(text.substr(i, j - i));
        for (i = j; j < text.size() && !plain(text[j]); ++j) {
            if (lead(text[j]) && j + 1 < text.size()) ++j;  // its trail byte may look like ASCII
        }
        if (j > i) {
            const std::string hex = TestFiles::HexBytes(text.substr(i, j - i));
            out.append("{").append(hex, 0, hex.size() - 1).append("}");  // no blank at the end
        }
        i = j;
    }
    return out;
}

// One side of the differing line from byte `from` on; long lines (the pictures' elements) are
// cut to a window around the difference.
std::string Shown(const Line* line, std::size_t from)
{
    if (line == nullptr) return "(end of file)";
    constexpr std::size_t kWindow = 120;
    const std::string_view text = line->text;
    const std::size_t start = std::min(from, text.size());
    std::string out = start > 0 ? "...'" : "'";
    out.append(Readable(text.substr(start, kWindow)));
    out.append(start + kWindow < text.size() ? "'..." : "'");
    const std::string_view end = line->end;
    return out + (end == "\r\n" ? " CR LF" : end == "\n" ? " LF" : " (no line end)");
}

std::string FirstDifference(std::string_view expected, std::string_view actual)
{
    const std::vector<Line> want = SplitLines(expected);
    const std::vector<Line> got = SplitLines(actual);
    std::size_t n = 0;
    while (n < want.size() && n < got.size() && want[n].text == got[n].text &&
           want[n].end == got[n].end) {
        ++n;
    }
    const Line* w = n < want.size() ? &want[n] : nullptr;
    const Line* g = n < got.size() ? &got[n] : nullptr;
    std::size_t column = 0;
    if (w != nullptr && g != nullptr) {
        const auto differing = std::mismatch(w->text.begin(), w->text.end(), g->text.begin(),
                                             g->text.end());
        column = static_cast<std::size_t>(differing.first - w->text.begin());
    }
    const std::size_t from = column > 40 ? column - 40 : 0;
    std::ostringstream message;
    message << "first difference at line " << n + 1;
    if (w != nullptr && g != nullptr) message << ", byte " << column + 1 << " of the line";
    message << ":\n  expected: " << Shown(w, from) << "\n  actual:   " << Shown(g, from)
            << "\n  (expected " << want.size() << " lines, " << expected.size()
            << " bytes; actual " << got.size() << " lines, " << actual.size() << " bytes)\n";
    return message.str();
}

}  // namespace

bool UpdateRequested()
{
    const char* flag = std::getenv("KORVANE_UPDATE_GOLDEN");
    return flag != nullptr && std::string(flag) == "1";
}

void ExpectSameBytes(std::string_view actual, const fs::path& reviewed, const fs::path& keepAs)
{
    const fs::path kept = TestFiles::BuildPath("golden-actual") / keepAs;
    const bool exists = fs::exists(reviewed);
    const std::string expected = exists ? TestFiles::ReadBytes(reviewed) : std::string();
    std::error_code ignored;
    if (exists && expected == actual) {
        fs::remove(kept, ignored);
        return;
    }
    fs::create_directories(kept.parent_path(), ignored);
    TestFiles::WriteBytes(kept, actual);
    ADD_FAILURE() << keepAs.generic_string() << " is not the reviewed " << reviewed.string()
                  << "\n"
                  << (exists ? FirstDifference(expected, actual) : "no reviewed file recorded\n")
                  << "the actual file is kept at " << kept.string();
}

}  // namespace GoldenFiles
