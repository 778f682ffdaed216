// A large command file goes out in pieces: the bytes must be those of the whole buffer, also
// where a joined text line meets the border between two pieces.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "exchange/command_writer.hpp"
#include "support/test_files.hpp"

using RidEdaza::CommandBuffer;
using RidEdaza::WriteCommandFile;

namespace {

// Lines as a dimension run writes them: a text line ending in a quote and its text, segments,
// markers; their lengths vary so that the piece borders fall everywhere.
CommandBuffer LargeRun(std::size_t intervals, bool endsInQuote)
{
    CommandBuffer buffer;
    for (std::size_t k = 0; k < intervals; ++k) {
        const std::string n = std::to_string(k * 7919 % 100003);
        RidEdaza::AppendCommand(buffer, "z3");
        RidEdaza::AppendCommand(buffer, n + " -2500.125 " + n + ".5 -2500.125");
        RidEdaza::AppendCommand(buffer, "cs " + n + " 12.5 10 0 \"");
        RidEdaza::AppendCommand(buffer, std::string(k % 23, '9') + n);
        if (k % 5 == 0) RidEdaza::AppendCommand(buffer, "pt " + n + " 0 1 0 " + std::to_string(k % 9));
    }
    if (endsInQuote) RidEdaza::AppendCommand(buffer, "cs 1 1 10 0 \"");
    return buffer;
}

// The file as the host reads it, put together line by line.
std::string Expected(const CommandBuffer& buffer)
{
    std::string bytes;
    const std::vector<std::string> lines = RidEdaza::LinesOf(buffer);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        bytes += line;
        const bool joined = !line.empty() && line.back() == '"';
        if (joined && i + 1 == lines.size()) break;
        if (joined) bytes += lines[++i];
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace

TEST(WriteCommandFile, LargeBuffersComeOutWholeAcrossPieces)
{
    struct Case {
        const char* name;
        std::size_t intervals;
        bool endsInQuote;
    };
    const Case cases[] = {
        {"below one piece", 2000, false},
        {"a few pieces", 40000, false},
        {"a few pieces, last line joined to nothing", 40000, true},
        {"many pieces", 160000, false},
    };
    TestFiles::TempFolder folder;
    const auto path = folder / "JWC_TEMP.TXT";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandBuffer buffer = LargeRun(c.intervals, c.endsInQuote);
        ASSERT_TRUE(WriteCommandFile(buffer, path));
        const std::string written = TestFiles::ReadBytes(path);
        const std::string expected = Expected(buffer);
        ASSERT_EQ(written.size(), expected.size());
        EXPECT_TRUE(written == expected);
        EXPECT_TRUE(RidEdaza::CommandFileBytes(buffer) == expected);
    }
}

TEST(WriteCommandFile, LeavesNoFileBehindWhenALaterPieceFails)
{
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/full to fail the writes";
#else
    // Every write to /dev/full fails: already the first piece of a large run.
    TestFiles::TempFolder folder;
    const auto full = folder / "JWC_TEMP.TXT";
    std::filesystem::create_symlink("/dev/full", full);
    EXPECT_FALSE(WriteCommandFile(LargeRun(80000, false), full));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(full)));
#endif
}
