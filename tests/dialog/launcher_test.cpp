// The launcher batch file as the host reads it: Shift-JIS with CR LF, its description on the
// first REM line, and the directives that give the menu its five items, each with its own block.
// And what the program's manifest tells Windows about display scaling, which wine does not act
// on and only reading can check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/text.hpp"
#include "support/test_files.hpp"

namespace {

std::vector<std::string> LinesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, lf + 1 - start));
        start = lf + 1;
    }
    return lines;
}

// A REM line whose "#" stands within its first ten bytes is a directive for the host.
std::string DirectiveOf(const std::string& line)
{
    if (line.rfind("REM", 0) != 0) return {};
    const std::size_t hash = line.find('#');
    if (hash == std::string::npos || hash >= 10) return {};
    return line.substr(hash, line.size() - 2 - hash);  // without CR LF
}

}  // namespace

TEST(Launcher, ReadsAsTheHostReadsIt)
{
    const std::string bytes = TestFiles::ReadBytes(TestFiles::SourcePath("packaging/Korvane.BAT"));
    const std::vector<std::string> lines = LinesOf(bytes);
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");  // CR LF, the last line too
        EXPECT_EQ(line.find('\r'), line.size() - 2);
        // Shift-JIS: no lead byte without its second byte.
        EXPECT_EQ(MyFunc::CutToWholeChars(line, line.size()).size(), line.size());
    }
    // The host shows the first REM line as the tool's description.
    EXPECT_EQ(lines.front(),
              "REM Korvane \x98\x41\x91\xB1\x90\xA1\x96\x40\x82\xF0\x88\xEA\x8A\x87\x8D\xEC\x90\x7D"
              "\x82\xB7\x82\xE9\x8A\x4F\x95\x94\x95\xCF\x8C\x60\r\n");  // 連続寸法を一括作図する外部変形

    std::vector<std::string> directives;
    for (const std::string& line : lines) {
        const std::string directive = DirectiveOf(line);
        if (!directive.empty()) directives.push_back(directive);
    }
    const std::string pointsPrompt = "#99#";
    const std::vector<std::string> expectedHead = {
        "#jww", "#cd", "#zz",
        // |計測点を指示|範囲選択|計測点を指示（垂直）|範囲選択（垂直）|範囲選択（縦横）|
        "#hm |\x8C\x76\x91\xAA\x93\x5F\x82\xF0\x8E\x77\x8E\xA6|\x94\xCD\x88\xCD\x91\x49\x91\xF0|"
        "\x8C\x76\x91\xAA\x93\x5F\x82\xF0\x8E\x77\x8E\xA6\x81\x69\x90\x82\x92\xBC\x81\x6A|"
        "\x94\xCD\x88\xCD\x91\x49\x91\xF0\x81\x69\x90\x82\x92\xBC\x81\x6A|"
        "\x94\xCD\x88\xCD\x91\x49\x91\xF0\x81\x69\x8F\x63\x89\xA1\x81\x6A|"};
    ASSERT_GE(directives.size(), expectedHead.size());
    EXPECT_EQ(std::vector<std::string>(directives.begin(), directives.begin() + 4), expectedHead);

    // Five blocks "#:N" ... "#e", in order: points one by one for 1 and 3, a range for 2, 4
    // and 5.
    std::size_t at = expectedHead.size();
    for (int item = 1; item <= 5; ++item) {
        SCOPED_TRACE("item " + std::to_string(item));
        ASSERT_LT(at, directives.size());
        EXPECT_EQ(directives[at], "#:" + std::to_string(item));
        std::vector<std::string> keys;
        for (++at; at < directives.size() && directives[at] != "#e"; ++at) {
            keys.push_back(directives[at].substr(0, directives[at].find(' ')));
        }
        ASSERT_LT(at, directives.size()) << "the block has no #e";
        ++at;
        const std::vector<std::string> expected =
            item == 1 || item == 3 ? std::vector<std::string>{"#1", pointsPrompt}
                          : std::vector<std::string>{"#1", "#h1", "#hc"};
        EXPECT_EQ(keys, expected);
    }
    EXPECT_EQ(at, directives.size()) << "directives after the last block";
}

// Per-monitor awareness, v2 first: each element in the namespace Windows reads it from, inside
// the application's windowsSettings. A misspelt namespace is ignored without a word, and the
// dialog is then stretched as a bitmap.
TEST(Package, ManifestDeclaresPerMonitorScaling)
{
    const std::string manifest =
        TestFiles::ReadBytes(TestFiles::SourcePath("src/dialog/win/korvane.manifest.in"));
    const std::size_t settings = manifest.find("<windowsSettings>");
    const std::size_t settingsEnd = manifest.find("</windowsSettings>");
    const std::size_t application =
        manifest.find("<application xmlns=\"urn:schemas-microsoft-com:asm.v3\">");
    ASSERT_NE(application, std::string::npos);
    ASSERT_NE(settings, std::string::npos);
    ASSERT_NE(settingsEnd, std::string::npos);
    EXPECT_LT(application, settings);
    const std::string inside = manifest.substr(settings, settingsEnd - settings);
    EXPECT_NE(inside.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                          "WindowsSettings\">true/pm</dpiAware>"),
              std::string::npos);
    EXPECT_NE(inside.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                          "WindowsSettings\">PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
}
