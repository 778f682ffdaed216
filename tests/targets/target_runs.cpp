// Whole runs in batches, for comparing the programs of two targets (korvane-cli on Linux,
// korvane-cli.exe under wine) byte for byte.
//
//   korvane_target_runs generate SEED COUNT FOLDER   writes COUNT generated cases
//   korvane_target_runs run CASES OUT                runs every case of CASES in this process
//   korvane_target_runs vertical SEED COUNT FOLDER   checks that COUNT generated cases run
//                                                    vertically write what they write run
//                                                    horizontally at their axis angle + 90
//   korvane_target_runs arrangements SEED COUNT FOLDER SUM
//                                                    runs COUNT generated cases in each
//                                                    arrangement: the chain's files must
//                                                    give the FNV-1a sum SUM (16 hex digits)
//                                                    of the reviewed version, the others
//                                                    keep the chain's outcome and settings
//   korvane_target_runs both SEED COUNT FOLDER       checks that COUNT generated drawings run
//                                                    in both directions ("HV") write the
//                                                    horizontal run's file, then the vertical
//                                                    run's, in every arrangement
//
// A case is a folder holding JWC_TEMP.TXT, optionally Korvane.dat, and args (one argument a line),
// as the golden cases. "run" copies each case's files to OUT/<case>/, runs it exactly as
// korvane-cli would with --folder and --settings pointing there and --summary, and leaves
// JWC_TEMP.TXT, Korvane.dat, exit (the exit code) and summary (what --summary printed) there.
// One process for all cases: a wine process start costs more than a run.
//
// The generator is deterministic (its own integer generator, numbers written from integers), so
// a seed names the same cases on every machine. The cases are drawings a host could send (axis
// angles, layer-group scales, indicated points or selected lines, points, circles and arcs,
// z3-marked entities, Japanese texts) with dialog values all over their ranges, some of them
// refused, some runs cancelled, some with too few points or a zero scale.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.hpp"
#include "common/fpu.hpp"
#include "support/turned_axis.hpp"

namespace fs = std::filesystem;

namespace {

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0..n-1
    std::int64_t Below(std::int64_t n)
    {
        return static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(n));
    }
    std::int64_t Between(std::int64_t low, std::int64_t high)
    {
        return low + Below(high - low + 1);
    }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(Below(static_cast<std::int64_t>(items.size())))];
    }

private:
    std::uint64_t state_;
};

// units / 10^decimals as a decimal text ("-12.05" for -1205, 2).
std::string Decimal(std::int64_t units, int decimals)
{
    const std::string digits = std::to_string(units < 0 ? -units : units);
    const auto places = static_cast<std::size_t>(decimals < 0 ? 0 : decimals);
    const std::size_t width = std::max(digits.size(), places + 1);
    std::string text;
    if (units < 0) text.push_back('-');
    for (std::size_t i = 0; i < width; ++i) {
        if (places > 0 && i == width - places) text.push_back('.');
        const std::size_t pad = width - digits.size();
        text.push_back(i < pad ? '0' : digits[i - pad]);
    }
    return text;
}

// The words joined by blanks. The words of a braced list are computed in order, so the calls of
// the generator inside them are too (the operands of + have no fixed order).
std::string Words(std::initializer_list<std::string> words)
{
    std::string text;
    for (const std::string& w : words) {
        if (!text.empty()) text.push_back(' ');
        text.append(w);
    }
    return text;
}

std::string Concat(std::initializer_list<std::string> pieces)
{
    std::string text;
    for (const std::string& p : pieces) text.append(p);
    return text;
}

// A coordinate of the drawing: mostly tidy values, some with many decimals, a few huge or tiny.
std::string Coordinate(Random& r, std::int64_t span)
{
    switch (r.Below(10)) {
    case 0: return Decimal(r.Between(-span * 1000000, span * 1000000), 6);
    case 1: return Decimal(r.Between(-span * 1000, span * 1000), 3);
    case 2: {
        const std::int64_t units = r.Between(-999999, 999999);
        return Decimal(units, static_cast<int>(r.Between(0, 12)));
    }
    case 3:
        return Concat({Decimal(r.Between(-span, span), 0), "e", std::to_string(r.Between(-3, 3))});
    default: return Decimal(r.Between(-span * 10, span * 10), 1);
    }
}

// Points along X, some close together (narrow intervals, staggered texts), some equal.
std::vector<std::pair<std::string, std::string>> PointRun(Random& r, int count, std::int64_t span)
{
    std::vector<std::pair<std::string, std::string>> points;
    std::int64_t x = r.Between(-span, span) * 10;
    for (int i = 0; i < count; ++i) {
        const std::int64_t step =
            r.Pick<std::int64_t>({0, 1, 5, 12, 25, 100, 455, 910, 1500, 3000, 12345});
        x += r.Chance(20) ? step : step * 10;
        const std::string y =
            r.Chance(50) ? Decimal(r.Between(-3000, 3000), 1) : Coordinate(r, span);
        points.push_back({r.Chance(85) ? Decimal(x, 1) : Coordinate(r, span), y});
    }
    return points;
}

// Shift-JIS texts for the prefix and suffix: ASCII, full-width and half-width katakana.
std::string AffixText(Random& r)
{
    static const std::vector<std::string> texts = {
        "", "", "", "W", "L=", "(", ")", " ", "\x81\x40",          // full-width blank
        "\x96\xf1",                                                  // 約
        "\x82\x76\x81\x81",                                          // Ｗ＝
        "\x81\x69\x8e\x51\x81\x6a",                                  // （参）
        "\xb6\xc0",                                                  // ｶﾀ (half-width)
        "mm", "\x82\x8d", "\\", "~", "\"q\""};
    std::string text = r.Pick(texts);
    if (r.Chance(10)) text += r.Pick(texts);
    return text;
}

std::string RealText(Random& r, const std::vector<std::string>& usual)
{
    if (r.Chance(80)) return r.Pick(usual);
    const std::int64_t units = r.Between(-50, 20000);
    return Decimal(units, static_cast<int>(r.Between(0, 4)));
}

struct GeneratedCase {
    std::string exchange;
    std::string settings;
    std::vector<std::string> args;
};

// The 27 lines of a settings file with values all over their ranges, some of them refused.
std::string GeneratedSettings(Random& r)
{
    std::vector<std::string> s;
    s.push_back(std::to_string(r.Between(-200, 2000)));
    s.push_back(std::to_string(r.Between(-200, 2000)));
    s.push_back(std::to_string(r.Chance(3) ? 12 : r.Between(0, 11)));  // start marker
    s.push_back(std::to_string(r.Between(0, 11)));                      // end marker
    s.push_back(std::to_string(r.Chance(3) ? 11 : r.Between(0, 10)));  // text kind
    s.push_back(std::to_string(r.Between(0, 8)));                       // precision
    s.push_back(std::to_string(r.Between(0, 2)));                       // rounding
    s.push_back(RealText(r, {"1", "1", "0.5", "2", "1.5"}));            // end-point scale
    s.push_back(AffixText(r));
    s.push_back(AffixText(r));
    s.push_back(RealText(r, {"0.5", "1", "0", "2.5"}));      // value to dimension line
    s.push_back(RealText(r, {"2", "0", "1", "5"}));          // point to extension line
    s.push_back(RealText(r, {"2", "0", "1.5", "3"}));        // overshoot
    s.push_back(RealText(r, {"3", "2.5", "5", "1"}));        // arrow length
    s.push_back(RealText(r, {"15", "30", "20", "45"}));      // arrow angle
    for (int i = 0; i < 2; ++i) s.push_back(std::to_string(r.Between(0, 1)));
    for (int i = 0; i < 4; ++i) s.push_back(r.Chance(30) ? "1" : "0");
    s.push_back(std::to_string(r.Between(0, 1)));
    for (int i = 0; i < 5; ++i) s.push_back(r.Chance(50) ? "1" : "0");
    std::string text;
    for (const std::string& v : s) {
        text += v;
        text += "\r\n";
    }
    return text;
}

GeneratedCase Generate(Random& r)
{
    GeneratedCase c;
    const bool indicated = r.Chance(60);
    const std::int64_t span = r.Pick<std::int64_t>({10, 100, 1000, 10000, 100000});
    std::ostringstream x;
    auto line = [&](const std::string& text) { x << text << (r.Chance(95) ? "\r\n" : "\n"); };

    if (r.Chance(30)) line("hq");
    if (r.Chance(50)) line("file=C:\\jww\\\x90\x7d\x96\xca.jww");  // 図面
    const std::string anyAngle = Decimal(r.Between(-3600000, 3600000), 4);
    line(Words({"hk", r.Pick<std::string>({"0", "0", "0", "30", "45", "90", "135", "180", "270",
                                           "-60", "359.999", anyAngle})}));
    const int group = static_cast<int>(r.Below(16));
    std::string scales = "hs";
    for (int g = 0; g < 16; ++g) {
        scales += " ";
        scales += r.Chance(3) ? "0"
                              : r.Pick<std::string>({"1", "1", "2", "5", "10", "20", "50", "100",
                                                     "100", "200", "250", "0.5", "1.5", "30"});
    }
    line(scales);
    if (r.Chance(70)) {
        for (const char* key : {"hcw", "hch", "hcd"}) {
            std::string kinds = key;
            for (int k = 0; k < 10; ++k) kinds = Words({kinds, Decimal(r.Between(0, 100), 1)});
            line(kinds);
        }
        std::string colours = "hcc";
        for (int k = 0; k < 10; ++k) colours = Words({colours, std::to_string(r.Between(1, 9))});
        line(colours);
    }
    const char* hex = "0123456789ABCDEF";
    line(std::string("lg") + hex[group]);
    line(std::string("ly") + hex[r.Below(16)]);
    line(Concat({"lc", std::to_string(r.Between(1, 9))}));
    line(Concat({"lt", std::to_string(r.Between(1, 9))}));
    line(Concat({"lw", std::to_string(r.Between(0, 5))}));
    if (r.Chance(20)) {
        line(Words({"cn0", Decimal(r.Between(1, 100), 1), Decimal(r.Between(1, 100), 1),
                    Decimal(r.Between(0, 20), 1), std::to_string(r.Between(1, 9))}));
    } else {
        line(Concat({"cn", std::to_string(r.Between(1, 10))}));
    }
    // ＭＳ ゴシック
    if (r.Chance(60)) line("cn\"$\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e");
    line(Words({"hp1", Coordinate(r, span), Coordinate(r, span)}));

    if (indicated) {
        int n = 2;
        for (const auto& [px, py] : PointRun(r, static_cast<int>(r.Between(0, 40)), span)) {
            line(Words({Concat({"hp", std::to_string(n), r.Chance(10) ? "ln" : ""}), px, py}));
            if (++n > 99) break;
        }
        c.args.push_back("1");
    } else {
        line("#");
        const int entities = static_cast<int>(r.Between(0, 40));
        for (int i = 0; i < entities; ++i) {
            if (r.Chance(10)) line(std::string("lg") + hex[r.Below(16)]);
            if (r.Chance(8)) line("z3");
            switch (r.Below(6)) {
            case 0:
            case 1: {
                const auto ends = PointRun(r, 2, span);
                const bool alongX = r.Chance(40);
                line(Words({ends[0].first, ends[0].second, ends[1].first,
                            alongX ? ends[0].second : ends[1].second}));
                break;
            }
            case 2: line(Words({"pt", Coordinate(r, span), Coordinate(r, span)})); break;
            case 3:
                line(Words({"pt", Coordinate(r, span), Coordinate(r, span), "1", "0",
                            std::to_string(r.Between(-7, 11))}));
                break;
            case 4:
                line(Words({"ci", Coordinate(r, span), Coordinate(r, span),
                            Decimal(r.Between(1, 100000), 2)}));
                break;
            default:
                line(Words({"ci", Coordinate(r, span), Coordinate(r, span),
                            Decimal(r.Between(1, 100000), 2), Decimal(r.Between(-3600, 3600), 1),
                            Decimal(r.Between(-3600, 3600), 1),
                            r.Pick<std::string>({"1", "1", "0.5", "2"}),
                            r.Pick<std::string>({"0", "0", "30", "-45.5"})}));
                break;
            }
        }
    }
    c.exchange = x.str();

    if (!r.Chance(5)) c.settings = GeneratedSettings(r);
    if (r.Chance(4)) c.args.insert(c.args.begin(), "--cancel");
    // A vertical run, as the launcher's third and fourth menu items ask for one. Drawn last, so
    // that every case keeps the drawing and settings it had before vertical runs existed.
    if (r.Chance(25)) {
        if (!indicated && r.Chance(50)) c.args.push_back("2");
        c.args.push_back(r.Chance(50) ? "V" : "v");
    }
    return c;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

int GenerateCases(std::uint64_t seed, int count, const fs::path& folder)
{
    for (int i = 0; i < count; ++i) {
        Random r(seed * 1000003u + static_cast<std::uint64_t>(i));
        const GeneratedCase c = Generate(r);
        std::string name = std::to_string(i);
        name.insert(0, 5 - std::min<std::size_t>(5, name.size()), '0');
        const fs::path dir = folder / ("generated-" + name);
        fs::create_directories(dir);
        std::string args;
        for (const std::string& a : c.args) {
            args += a;
            args += '\n';
        }
        if (!WriteFile(dir / "JWC_TEMP.TXT", c.exchange) ||
            (!c.settings.empty() && !WriteFile(dir / "Korvane.dat", c.settings)) ||
            !WriteFile(dir / "args", args)) {
            std::cerr << "cannot write " << dir.string() << "\n";
            return 1;
        }
    }
    return 0;
}

int RunCases(const fs::path& cases, const fs::path& out)
{
    std::vector<fs::path> dirs;
    for (const fs::directory_entry& entry : fs::directory_iterator(cases)) {
        if (entry.is_directory()) dirs.push_back(entry.path());
    }
    std::sort(dirs.begin(), dirs.end());
    for (const fs::path& dir : dirs) {
        const fs::path target = out / dir.filename();
        fs::create_directories(target);
        for (const char* name : {"JWC_TEMP.TXT", "Korvane.dat"}) {
            if (fs::exists(dir / name)) {
                fs::copy_file(dir / name, target / name, fs::copy_options::overwrite_existing);
            }
        }
        std::vector<std::string> args = {"--folder", target.string(), "--settings",
                                         (target / "Korvane.dat").string(), "--summary"};
        std::istringstream lines(ReadFile(dir / "args"));
        for (std::string a; std::getline(lines, a);) {
            if (!a.empty() && a.back() == '\r') a.pop_back();
            if (!a.empty()) args.push_back(a);
        }
        std::ostringstream summary;
        std::ostringstream messages;
        const int code = Cli::RunCli(args, target / "korvane-cli", summary, messages);
        if (!WriteFile(target / "exit", std::to_string(code) + "\n") ||
            !WriteFile(target / "summary", summary.str())) {
            std::cerr << "cannot write the results of " << dir.string() << "\n";
            return 1;
        }
    }
    std::cout << "ran " << dirs.size() << " cases\n";
    return 0;
}

struct RunResult {
    int code = -1;
    std::string commands;
    std::string settings;
};

// Runs a generated case with these arguments, in a fresh folder.
RunResult RunGenerated(const GeneratedCase& c, const std::string& exchange,
                       const std::vector<std::string>& arguments, const fs::path& folder)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    WriteFile(folder / "JWC_TEMP.TXT", exchange);
    if (!c.settings.empty()) WriteFile(folder / "Korvane.dat", c.settings);
    std::vector<std::string> args = {"--folder", folder.string(), "--settings",
                                     (folder / "Korvane.dat").string()};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::ostringstream out;
    std::ostringstream err;
    RunResult result;
    result.code = Cli::RunCli(args, folder / "korvane-cli", out, err);
    result.commands = ReadFile(folder / "JWC_TEMP.TXT");
    result.settings = ReadFile(folder / "Korvane.dat");
    return result;
}

int CheckVerticalRuns(std::uint64_t seed, int count, const fs::path& folder)
{
    int differing = 0;
    for (int i = 0; i < count; ++i) {
        Random r(seed * 1000003u + static_cast<std::uint64_t>(i));
        const GeneratedCase c = Generate(r);
        std::vector<std::string> horizontal;
        for (const std::string& a : c.args) {
            if (a != "V" && a != "v") horizontal.push_back(a);
        }
        std::vector<std::string> vertical = horizontal;
        vertical.push_back("V");
        const RunResult v = RunGenerated(c, c.exchange, vertical, folder / "vertical");
        const RunResult h = RunGenerated(c, TurnedAxis::TurnedByNinety(c.exchange), horizontal,
                                         folder / "turned");
        if (v.code != h.code || v.commands != h.commands || v.settings != h.settings) {
            std::cerr << "case " << i << ": a vertical run differs from the turned horizontal one\n";
            ++differing;
        }
    }
    std::cout << count << " vertical runs, " << differing << " differing\n";
    return differing == 0 ? 0 : 1;
}

std::vector<std::string> LinesOf(const std::string& file)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < file.size()) {
        std::size_t end = file.find("\r\n", start);
        if (end == std::string::npos) end = file.size();
        lines.push_back(file.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// FNV-1a, 64 bits: the same everywhere.
void AddToSum(std::uint64_t& sum, std::string_view bytes)
{
    for (const char c : bytes) {
        sum ^= static_cast<unsigned char>(c);
        sum *= 0x100000001B3ull;
    }
}

// The arrangements on generated drawings. The chain (item 0, the default) must write exactly
// what the version before the arrangements wrote: the sum of every run's exit code, command file
// and settings file is that version's. Every other arrangement ends as the chain does (but a
// cumulative run does not look at the start marker), saves the chain's settings file with its
// item on line 28, and 直列＋全体 writes the chain's commands first and unchanged, the text
// kind's restoring line (when the chain writes one) last.
int CheckArrangements(std::uint64_t seed, int count, const fs::path& folder,
                      const std::string& expectedSum)
{
    int failing = 0;
    std::uint64_t sum = 0xCBF29CE484222325ull;
    for (int i = 0; i < count; ++i) {
        Random r(seed * 1000003u + static_cast<std::uint64_t>(i));
        const GeneratedCase c = Generate(r);
        const RunResult chain = RunGenerated(c, c.exchange, c.args, folder / "chain");
        AddToSum(sum, std::to_string(chain.code) + "\n");
        AddToSum(sum, chain.commands);
        AddToSum(sum, chain.settings);
        const bool cancelled = !c.args.empty() && c.args.front() == "--cancel";
        for (int item = 1; item <= 3; ++item) {
            std::vector<std::string> args = {"--set", "ComboBox6=" + std::to_string(item)};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const RunResult run = RunGenerated(c, c.exchange, args, folder / "arranged");
            const bool startMarkerRefused = chain.code == Cli::kExitRefused && item == 3;
            std::string why;
            if (run.code != chain.code && !startMarkerRefused) why = "another exit code";
            const bool saved = !cancelled && run.code != Cli::kExitRefused &&
                               run.code != Cli::kExitOutOfMemory;
            if (saved && !startMarkerRefused &&
                run.settings != chain.settings + std::to_string(item) + "\r\n") {
                why = "settings other than the chain's and the arrangement on line 28";
            }
            if (!saved && run.settings != chain.settings) why = "settings changed";
            if (item == 1 && chain.code == Cli::kExitDone && !cancelled) {
                // The restoring text kind comes last unless the writer's cache finds it in force
                // already: the overall's own text may have written that very kind.
                std::vector<std::string> before = LinesOf(chain.commands);
                const std::vector<std::string> after = LinesOf(run.commands);
                std::string restoring;
                if (before.back().rfind("cn", 0) == 0) {
                    restoring = before.back();
                    before.pop_back();
                }
                const auto added = after.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(before.size(), after.size()));
                if (after.size() < before.size() ||
                    !std::equal(before.begin(), before.end(), after.begin()) ||
                    (!restoring.empty() && after.back() != restoring &&
                     std::find(added, after.end(), restoring) == after.end())) {
                    why = "the chain's commands are not first and unchanged";
                }
            }
            if (!why.empty()) {
                std::cerr << "case " << i << ", arrangement " << item << ": " << why << "\n";
                ++failing;
            }
        }
    }
    char text[17];
    for (int d = 0; d < 16; ++d) text[d] = "0123456789abcdef"[(sum >> (60 - 4 * d)) & 0xF];
    text[16] = '\0';
    if (expectedSum != text) {
        std::cerr << "the chain's files sum to " << text << ", not " << expectedSum
                  << ": item 0 no longer writes what it wrote\n";
        ++failing;
    }
    std::cout << count << " drawings in four arrangements, " << failing << " failing\n";
    return failing == 0 ? 0 : 1;
}

// A drawing for both directions: walls on a grid of the turned frame (axis 0, 30 or 90) or
// entities at random, the height point outside a corner of them or anywhere, and settings all
// over their ranges.
GeneratedCase GenerateForBothDirections(Random& r)
{
    GeneratedCase c;
    // cos and sin of the axis as written constants: the drawing must not depend on a libm.
    struct Axis {
        const char* text;
        double c;
        double s;
    };
    const std::vector<Axis> axes = {{"0", 1, 0}, {"30", 0.8660254037844386, 0.5}, {"90", 0, 1}};
    const Axis& axis = r.Pick(axes);
    std::ostringstream x;
    auto line = [&](const std::string& text) { x << text << "\r\n"; };
    auto turned = [&](std::int64_t u, std::int64_t v) {
        const double px = static_cast<double>(u) * axis.c - static_cast<double>(v) * axis.s;
        const double py = static_cast<double>(u) * axis.s + static_cast<double>(v) * axis.c;
        char text[80];
        char* end = std::to_chars(text, text + 40, px).ptr;
        *end++ = ' ';
        end = std::to_chars(end, text + sizeof text, py).ptr;
        return std::string(text, end);
    };
    line(Words({"hk", axis.text}));
    line(Words({"hs", r.Pick<std::string>({"1", "20", "50", "100", "0"}), "100"}));
    line("hcw 2 2.5 3 4 5 6 7 8 9 10");
    line("hch 2 2.5 3 4 5 6 7 8 9 10");
    line("hcd 0 0 0.5 0.5 0.5 0.5 1 1 1 1");
    line("lg0");
    line(Concat({"cn", std::to_string(r.Between(1, 10))}));

    const bool grid = r.Chance(60);
    const std::int64_t cell = r.Pick<std::int64_t>({300, 900, 1800, 2700});
    const std::int64_t columns = r.Between(1, 6);
    const std::int64_t rows = r.Between(1, 6);
    if (grid && r.Chance(70)) {
        // Outside the top-left corner: the horizontal run above, the vertical one to the left.
        line(Words({"hp1", turned(-r.Between(1, 4) * 300, rows * cell + r.Between(1, 4) * 300)}));
    } else {
        line(Words({"hp1", turned(r.Between(-3000, 12000), r.Between(-3000, 12000))}));
    }
    const bool indicated = r.Chance(25);
    if (indicated) {
        const int n = static_cast<int>(r.Between(0, 12));
        for (int i = 0; i < n; ++i) {
            line(Words({Concat({"hp", std::to_string(i + 2)}),
                        turned(r.Between(-20, 40) * 300, r.Between(-20, 40) * 300)}));
        }
        c.args.push_back("1");
    } else {
        line("#");
        if (grid) {
            // Walls along both axes of the frame, some of them left out.
            for (std::int64_t row = 0; row <= rows; ++row) {
                if (r.Chance(15)) continue;
                line(Words({turned(0, row * cell), turned(columns * cell, row * cell)}));
            }
            for (std::int64_t column = 0; column <= columns; ++column) {
                if (r.Chance(15)) continue;
                line(Words({turned(column * cell, 0), turned(column * cell, rows * cell)}));
            }
        } else {
            const int entities = static_cast<int>(r.Between(0, 20));
            for (int i = 0; i < entities; ++i) {
                if (r.Chance(70)) {
                    line(Words({turned(r.Between(-50, 50) * 100, r.Between(-50, 50) * 100),
                                turned(r.Between(-50, 50) * 100, r.Between(-50, 50) * 100)}));
                } else {
                    line(Words({"pt", turned(r.Between(-5000, 5000), r.Between(-5000, 5000))}));
                }
            }
        }
        c.args.push_back("2");
    }
    c.exchange = x.str();
    c.settings = GeneratedSettings(r);
    return c;
}

// Whether a command line sets an attribute (layer group, layer, colours, line type and width,
// text kind, font, cc value), and which one: the font's key is its own.
std::string AttributeKey(const std::string& line)
{
    if (line.rfind("cn\"", 0) == 0) return "cn\"";
    for (const char* key : {"lg", "ly", "lc", "pn", "lt", "lw", "cn", "cc"}) {
        if (line.rfind(key, 0) == 0) return key;
    }
    return {};
}

// The last line of a run's file when it is the line that restores the host's text kind.
bool EndsWithRestoringTextKind(const std::vector<std::string>& lines)
{
    return !lines.empty() && AttributeKey(lines.back()) == "cn";
}

// What a file made with "HV" must be, given the files of the horizontal and the vertical run
// made alone: the horizontal run's file less its restoring text kind first, byte for byte; then
// the vertical run's drawn lines in its order, an attribute written only where it is not in
// force already; the restoring text kind last, once, where either run wrote one. Empty when it is.
std::string WhyNotBothRuns(const RunResult& h, const RunResult& v, const RunResult& both)
{
    const bool hDrawn = h.code == Cli::kExitDone;
    const bool vDrawn = v.code == Cli::kExitDone;
    if (!hDrawn && !vDrawn) {
        if (h.code == Cli::kExitCannotDimension || v.code == Cli::kExitCannotDimension) {
            return both.code == Cli::kExitCannotDimension && both.commands == "hq\r\n"
                       ? "" : "not stopped as a run that cannot be dimensioned";
        }
        return both.code == h.code && both.commands == h.commands ? "" : "not ended as H was";
    }
    if (h.code == Cli::kExitCannotDimension || v.code == Cli::kExitCannotDimension) {
        return both.code == Cli::kExitCannotDimension && both.commands == "hq\r\n"
                   ? "" : "half of a run that cannot be dimensioned was drawn";
    }
    if (both.code != Cli::kExitDone) return "not drawn";
    if (!vDrawn) return both.commands == h.commands ? "" : "not the horizontal run alone";
    if (!hDrawn) return both.commands == v.commands ? "" : "not the vertical run alone";

    std::vector<std::string> first = LinesOf(h.commands);
    std::vector<std::string> second = LinesOf(v.commands);
    const std::vector<std::string> all = LinesOf(both.commands);
    // After the horizontal run the writer's cache calls for the host's text kind exactly when
    // the horizontal run alone wrote it: the vertical run's texts are of the same kind.
    std::string restoring;
    if (EndsWithRestoringTextKind(first)) {
        restoring = first.back();
        first.pop_back();
    }
    if (EndsWithRestoringTextKind(second)) second.pop_back();
    if (all.size() < first.size() || !std::equal(first.begin(), first.end(), all.begin())) {
        return "the horizontal run is not first and unchanged";
    }
    // The vertical run's lines as a writer that carries on from the horizontal run writes them:
    // an attribute line only where it changes what is in force.
    std::vector<std::pair<std::string, std::string>> inForce;
    auto changes = [&](const std::string& line) {
        const std::string key = AttributeKey(line);
        if (key.empty()) return true;
        for (auto& [k, value] : inForce) {
            if (k != key) continue;
            const bool changed = value != line;
            value = line;
            return changed;
        }
        inForce.emplace_back(key, line);
        return true;
    };
    for (const std::string& l : first) changes(l);
    std::vector<std::string> expected = first;
    for (const std::string& l : second) {
        if (changes(l)) expected.push_back(l);
    }
    if (!restoring.empty()) expected.push_back(restoring);
    if (all != expected) return "not the vertical run after the horizontal one";
    return "";
}

// Both directions from one selection ("HV"), in every arrangement, over generated drawings: the
// file is the horizontal run's, then the vertical run's, with one restoring text kind; a
// direction with too few points is skipped; the settings saved are the ones a single run saves.
int CheckBothDirections(std::uint64_t seed, int count, const fs::path& folder)
{
    int failing = 0;
    int drawnBoth = 0;
    for (int i = 0; i < count; ++i) {
        Random r(seed * 1000003u + static_cast<std::uint64_t>(i));
        const GeneratedCase c = GenerateForBothDirections(r);
        for (int item = 0; item <= 3; ++item) {
            std::vector<std::string> args = {"--set", "ComboBox6=" + std::to_string(item)};
            args.insert(args.end(), c.args.begin(), c.args.end());
            const RunResult h = RunGenerated(c, c.exchange, args, folder / "h");
            args.push_back("V");
            const RunResult v = RunGenerated(c, c.exchange, args, folder / "v");
            args.back() = "HV";
            const RunResult both = RunGenerated(c, c.exchange, args, folder / "hv");
            std::string why = WhyNotBothRuns(h, v, both);
            if (why.empty() && both.settings != h.settings) why = "other settings saved";
            if (!why.empty()) {
                std::cerr << "case " << i << ", arrangement " << item << ": " << why << "\n";
                ++failing;
            }
            if (h.code == Cli::kExitDone && v.code == Cli::kExitDone) ++drawnBoth;
        }
    }
    std::cout << count << " drawings in four arrangements, " << drawnBoth
              << " runs with both directions drawn, " << failing << " failing\n";
    // Most drawings must draw both: a generator that stopped doing so would check little.
    if (drawnBoth * 2 < count * 4) {
        std::cerr << "too few runs drew both directions\n";
        return 1;
    }
    return failing == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    MyFunc::UseExtendedPrecision();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "generate") {
        return GenerateCases(std::stoull(args[1]), std::stoi(args[2]), fs::path(args[3]));
    }
    if (args.size() == 3 && args[0] == "run") return RunCases(fs::path(args[1]), fs::path(args[2]));
    if (args.size() == 4 && args[0] == "vertical") {
        return CheckVerticalRuns(std::stoull(args[1]), std::stoi(args[2]), fs::path(args[3]));
    }
    if (args.size() == 4 && args[0] == "both") {
        return CheckBothDirections(std::stoull(args[1]), std::stoi(args[2]), fs::path(args[3]));
    }
    if (args.size() == 5 && args[0] == "arrangements") {
        return CheckArrangements(std::stoull(args[1]), std::stoi(args[2]), fs::path(args[3]),
                                 args[4]);
    }
    std::cerr << "usage: korvane_target_runs generate SEED COUNT FOLDER | run CASES OUT | "
                 "vertical SEED COUNT FOLDER | arrangements SEED COUNT FOLDER SUM | "
                 "both SEED COUNT FOLDER\n";
    return 64;
}
