#include "exchange_generator.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "common/geometry.hpp"
#include "common/number_text.hpp"
#include "common/trig.hpp"

namespace Bench {
namespace {

// mt19937_64 is fully specified by the standard, and the mappings below are our own, so a seed
// gives the same file on every machine (the standard distributions are not portable).
class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}

    double Unit() { return static_cast<double>(engine_() >> 11) * 0x1p-53; }

    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }

private:
    std::mt19937_64 engine_;
};

// Wall modules in millimetres, the common ones more often.
constexpr std::array<double, 8> kModules{455, 910, 910, 1365, 1820, 1820, 2730, 3640};

// Layer groups used by a plan spread over groups, with their scale denominators. Group 0 is the
// host's current one.
constexpr std::array<double, 4> kGroupScales{100, 50, 200, 100};

class FileText {
public:
    void Line(std::string_view text)
    {
        bytes_ += text;
        bytes_ += "\r\n";
    }

    // Blank-separated numbers after a key (the key may be empty for a bare segment line, which
    // the host starts with a blank).
    void Numbers(std::string_view key, std::initializer_list<double> values)
    {
        bytes_ += key;
        for (double v : values) {
            bytes_ += ' ';
            bytes_ += MyFunc::GeneralNumberText(v);
        }
        bytes_ += "\r\n";
    }

    void Reserve(std::size_t n) { bytes_.reserve(n); }
    std::string Take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

void Header(FileText& file, double axisAngle, const std::array<double, 16>& scales, double hpX,
            double hpY)
{
    file.Line("hq");
    file.Line("file=C:\\jww\\bench.jww");
    file.Numbers("hk", {axisAngle});
    std::string hs = "hs";
    for (double s : scales) {
        hs += ' ';
        hs += MyFunc::GeneralNumberText(s);
    }
    file.Line(hs);
    file.Line("hcw 2 2.5 3 4 5 6 7 8 9 10");
    file.Line("hch 2 2.5 3 4 5 6 7 8 9 10");
    file.Line("hcd 0 0 0.5 0.5 0.5 0.5 1 1 1 1");
    file.Line("hcc      1      1      2      2      3      3      4      4      5      5");
    file.Line("hn 0 0 0 0");
    file.Line("lg0");
    file.Line("ly0");
    file.Line("lc2");
    file.Line("lt1");
    file.Line("lw0");
    file.Line("cn2");
    file.Line("cn\"$<\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e>");  // <ＭＳ ゴシック>
    file.Numbers("hp1", {hpX, hpY});
    file.Line("#");
}

// World millimetres to the numbers written for a record of one layer group: turned by the axis
// angle, moved to the drawing's origin, and scaled so that the record's factor brings it back.
struct Placement {
    long double cosA = 1.0L;
    long double sinA = 0.0L;
    double originX = 0.0;
    double originY = 0.0;

    void Place(double x, double y, double groupScale, double& outX, double& outY) const
    {
        const long double tx = cosA * x - sinA * y + originX;
        const long double ty = sinA * x + cosA * y + originY;
        const long double f = static_cast<long double>(groupScale) / 100.0L;
        outX = static_cast<double>(tx * f);
        outY = static_cast<double>(ty * f);
    }
};

enum class Kind : std::uint8_t { Segment, Arc, Circle, Point };

struct Entity {
    Kind kind;
    double x1, y1, x2, y2;  // segment ends; centre and radius in x1, y1, x2; arc start in y2
};

std::vector<double> Positions(Random& random, std::size_t count)
{
    std::vector<double> positions(count);
    double at = 0.0;
    for (double& p : positions) {
        p = at;
        at += kModules[random.Below(kModules.size())];
    }
    return positions;
}

}  // namespace

std::string GeneratePlan(const PlanOptions& options)
{
    Random random(options.seed);
    const auto segments = static_cast<std::size_t>(std::max<std::int64_t>(options.segments, 1));
    const auto columns = static_cast<std::size_t>(
        std::clamp<long long>(std::llround(std::sqrt(static_cast<double>(segments) / 8.0)), 4,
                              600));
    const std::size_t rows = segments / (2 * columns) + 2;
    const std::vector<double> xs = Positions(random, columns);
    const std::vector<double> ys = Positions(random, rows);

    std::vector<Entity> entities;
    entities.reserve(segments + segments / 20 + 8);
    for (std::size_t j = 0; j < rows && entities.size() < segments; ++j) {
        for (std::size_t i = 0; i < columns && entities.size() < segments; ++i) {
            if (i + 1 < columns) {
                entities.push_back({Kind::Segment, xs[i], ys[j], xs[i + 1], ys[j]});
            }
            if (j + 1 < rows && entities.size() < segments) {
                entities.push_back({Kind::Segment, xs[i], ys[j], xs[i], ys[j + 1]});
            }
        }
    }
    // Door swings, columns and points at the middle of walls: one of each per 64 segments.
    for (std::size_t k = 0; k < segments / 64; ++k) {
        const std::size_t i = random.Below(columns - 1);
        const std::size_t j = random.Below(rows);
        const double start = 90.0 * static_cast<double>(random.Below(4));
        entities.push_back({Kind::Arc, xs[i], ys[j], 800.0, start});
        entities.push_back({Kind::Circle, xs[random.Below(columns)], ys[random.Below(rows)],
                            150.0, 0.0});
        entities.push_back({Kind::Point, (xs[i] + xs[i + 1]) / 2.0, ys[j], 0.0, 0.0});
    }
    // The host writes in drawing order, which is no order of position.
    for (std::size_t k = entities.size(); k > 1; --k) {
        std::swap(entities[k - 1], entities[random.Below(k)]);
    }

    std::array<double, 16> scales{};
    scales.fill(100.0);
    if (options.layerGroups) std::copy(kGroupScales.begin(), kGroupScales.end(), scales.begin());

    Placement place;
    const double radians = MyFunc::DegreesToRadians(options.axisAngle);
    place.cosA = MyFunc::Cos(radians);
    place.sinA = MyFunc::Sin(radians);
    if (!options.roundCoordinates) {
        place.originX = random.Unit() * 100000.0 - 50000.0;
        place.originY = random.Unit() * 100000.0 - 50000.0;
    }

    double hpX = 0.0;
    double hpY = 0.0;
    place.Place(xs[columns / 2], ys.back() + 3000.0, 100.0, hpX, hpY);

    FileText file;
    file.Reserve(entities.size() * 72 + 4096);
    Header(file, options.axisAngle, scales, hpX, hpY);

    std::size_t group = 0;
    std::size_t runLeft = 0;
    for (const Entity& e : entities) {
        if (options.layerGroups && runLeft-- == 0) {
            runLeft = random.Below(256);
            const std::size_t next = random.Below(kGroupScales.size());
            if (next != group) {
                group = next;
                file.Line("lg" + std::to_string(group));
            }
        }
        const double scale = scales[group];
        double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
        switch (e.kind) {
        case Kind::Segment:
            if (random.Below(2) == 0) {
                place.Place(e.x1, e.y1, scale, ax, ay);
                place.Place(e.x2, e.y2, scale, bx, by);
            } else {
                place.Place(e.x2, e.y2, scale, ax, ay);
                place.Place(e.x1, e.y1, scale, bx, by);
            }
            file.Numbers("", {ax, ay, bx, by});
            break;
        case Kind::Arc: {
            place.Place(e.x1, e.y1, scale, ax, ay);
            const double r = e.x2 * scale / 100.0;
            const double start = e.y2 + options.axisAngle;
            file.Numbers("ci", {ax, ay, r, start, start + 90.0, 1.0, 0.0});
            break;
        }
        case Kind::Circle:
            place.Place(e.x1, e.y1, scale, ax, ay);
            file.Numbers("ci", {ax, ay, e.x2 * scale / 100.0});
            break;
        case Kind::Point:
            place.Place(e.x1, e.y1, scale, ax, ay);
            file.Numbers("pt", {ax, ay});
            break;
        }
    }
    return file.Take();
}

std::string GenerateScatter(const ScatterOptions& options)
{
    Random random(options.seed);
    const auto count = static_cast<std::size_t>(std::max<std::int64_t>(options.points, 1));
    std::vector<std::pair<double, double>> points(count);
    const double originX = options.roundCoordinates ? 0.0 : random.Unit() * 100000.0 - 50000.0;
    const double originY = options.roundCoordinates ? 0.0 : random.Unit() * 100000.0 - 50000.0;
    double x = originX;
    for (auto& p : points) {
        p.first = x;
        p.second = originY + random.Unit() * 20000.0;
        // One interval in ten is too narrow for its value text, which then goes to a row.
        double gap = random.Below(10) == 0 ? 1.0 + random.Unit() * 39.0
                                           : 50.0 + random.Unit() * 2950.0;
        if (options.roundCoordinates) {
            gap = std::round(gap);
            p.second = std::round(p.second);
        }
        x += gap;
    }
    const double hpX = points[count / 2].first;
    const double hpY = originY + 25000.0;
    for (std::size_t k = count; k > 1; --k) std::swap(points[k - 1], points[random.Below(k)]);

    std::array<double, 16> scales{};
    scales.fill(100.0);
    FileText file;
    file.Reserve(count * 40 + 4096);
    Header(file, 0.0, scales, hpX, hpY);
    for (const auto& p : points) file.Numbers("pt", {p.first, p.second});
    return file.Take();
}

}  // namespace Bench
