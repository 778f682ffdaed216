// Acquisition: the drawing's points of the chosen kinds, mapped into the dimension frame and
// collected once per position.
#include "dimension/measure_points.hpp"

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/geometry.hpp"
#include "dimension/measure_points_internal.hpp"

namespace Dimension {
namespace {

// Maps drawing points of one layer group into the dimension frame.
struct FrameMapping {
    double factor = 1.0;  // CurrentScale / scale of the record's layer group, stored
    bool scaled = true;   // indicated points are turned only
    // The turn by minus the dimension angle, its sine and cosine taken once for all points.
    MyFunc::Rotation turn;
};

void Turn(const FrameMapping& mapping, double x, double y, double& outX, double& outY)
{
    MyFunc::RotatePoint(x, y, 0.0, 0.0, mapping.turn, outX, outY);
}

// False when the mapped point is not finite: the run could not be drawn from it.
bool MapToFrame(const FrameMapping& mapping, double x, double y, double& outX, double& outY)
{
    if (mapping.scaled) {
        // Each product is formed in extended precision and stored as it is handed on.
        const double sx = static_cast<double>(static_cast<long double>(x) * mapping.factor);
        const double sy = static_cast<double>(static_cast<long double>(y) * mapping.factor);
        Turn(mapping, sx, sy, outX, outY);
    } else {
        Turn(mapping, x, y, outX, outY);
    }
    return IsFinitePoint(outX, outY);
}

// The mappings of the sixteen layer groups, each made when a record of its group is first
// visited.
struct GroupMappings {
    std::array<FrameMapping, 16> mapping;
    std::array<bool, 16> made{};
};

// The mapping of a record on layer group g; none when the group has no usable scale (0, or a
// group number the host cannot have written), which leaves the factor undefined.
const FrameMapping* MappingForLayerGroup(const DimensionSettings& settings,
                                         const RidEdaza::DrawingState& state,
                                         std::int32_t layerGroup, GroupMappings& groups)
{
    if (layerGroup < 0 || static_cast<std::size_t>(layerGroup) >= state.layerGroupScale.size()) {
        return nullptr;
    }
    const auto g = static_cast<std::size_t>(layerGroup);
    if (!groups.made[g]) {
        const double groupScale = state.layerGroupScale[g];
        if (groupScale == 0.0) return nullptr;
        FrameMapping& made = groups.mapping[g];
        made.factor = static_cast<double>(static_cast<long double>(settings.CurrentScale) /
                                          groupScale);
        made.scaled = true;
        made.turn = MyFunc::RotationOfDeg(-settings.DimensionAngle);
        groups.made[g] = true;
    }
    return &groups.mapping[g];
}

bool Skipped(const RidEdaza::EntityAttributes& attributes)
{
    return (attributes.zFlags & RidEdaza::kZ3Mark) != 0;
}

// Maps (x, y) and adds it to the collector or the bare list; false when the mapped point is not
// finite.
template <typename Points>
bool AddMapped(Points& points, const FrameMapping& mapping, double x, double y)
{
    double mx = 0.0;
    double my = 0.0;
    if (!MapToFrame(mapping, x, y, mx, my)) return false;
    AddMeasurePoint(points, mx, my);
    return true;
}

template <typename Points>
bool AddLineEnds(const DimensionSettings& settings, const FrameMapping& mapping,
                 const RidEdaza::TJwwEntLine& line, const HeightPoint& heightPoint, Points& points)
{
    double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
    if (!MapToFrame(mapping, line.x1, line.y1, ax, ay)) return false;
    if (!MapToFrame(mapping, line.x2, line.y2, bx, by)) return false;

    // A segment along the dimension direction has no near or far end: both are measured.
    if (std::fabs(static_cast<long double>(ay) - by) <= kSamePosition) {
        AddMeasurePoint(points, ax, ay);
        AddMeasurePoint(points, bx, by);
        return true;
    }
    const long double dA = std::fabs(static_cast<long double>(ay) - heightPoint.Y);
    const long double dB = std::fabs(static_cast<long double>(by) - heightPoint.Y);
    const bool nearIsA = dA < dB;  // on a tie the second end is the near one
    if (Takes(settings, PointKind::NearLineEnds)) {
        if (nearIsA) AddMeasurePoint(points, ax, ay);
        else AddMeasurePoint(points, bx, by);
    }
    if (Takes(settings, PointKind::FarLineEnds)) {
        if (nearIsA) AddMeasurePoint(points, bx, by);
        else AddMeasurePoint(points, ax, ay);
    }
    return true;
}

// The sines and cosines of the arcs' angles, each taken once for its angle: a plan's arcs are
// door swings and columns at a few angles, and the portable sine and cosine are dear. Kept by
// the angle's bits in a table of fixed size (an angle takes the place of the one before it in
// its entry), so that a hit is the very rotation RotationOfDeg gives.
struct ArcTurns {
    struct Entry {
        std::uint64_t degreesBits = 0;
        bool made = false;
        MyFunc::Rotation turn;
    };
    std::array<Entry, 64> entries;
};

const MyFunc::Rotation& TurnOfDeg(ArcTurns& turns, double degrees)
{
    const auto bits = std::bit_cast<std::uint64_t>(degrees);
    ArcTurns::Entry& entry =
        turns.entries[static_cast<std::size_t>((bits * 0x9E37'79B9'7F4A'7C15ull) >> 58)];
    if (!entry.made || entry.degreesBits != bits) {
        entry.degreesBits = bits;
        entry.made = true;
        entry.turn = MyFunc::RotationOfDeg(degrees);
    }
    return entry.turn;
}

template <typename Points>
bool AddArcPoints(const DimensionSettings& settings, const FrameMapping& mapping,
                  const RidEdaza::TJwwEntArc& arc, ArcTurns& turns, Points& points)
{
    if (Takes(settings, PointKind::ArcCentres) &&
        !AddMapped(points, mapping, arc.centreX, arc.centreY)) {
        return false;
    }
    if (!Takes(settings, PointKind::ArcEnds)) return true;

    // A full circle or ellipse stored as an arc has no ends. The difference is formed in
    // extended precision and stored as it is handed on.
    const double turn = MyFunc::NormalizeDegrees(
        static_cast<double>(static_cast<long double>(arc.startAngle) - arc.endAngle));
    if (std::fabs(static_cast<long double>(turn)) <= kSamePosition) return true;

    double sx = 0.0, sy = 0.0, ex = 0.0, ey = 0.0;
    const MyFunc::Rotation tilt = TurnOfDeg(turns, arc.tiltAngle);
    MyFunc::EllipsePoint(arc.centreX, arc.centreY, arc.radius, arc.flatness, tilt,
                         TurnOfDeg(turns, arc.startAngle), sx, sy);
    MyFunc::EllipsePoint(arc.centreX, arc.centreY, arc.radius, arc.flatness, tilt,
                         TurnOfDeg(turns, arc.endAngle), ex, ey);
    return AddMapped(points, mapping, sx, sy) && AddMapped(points, mapping, ex, ey);
}

template <typename Points>
AcquireResult AcquireIndicatedPoints(const RidEdaza::DrawingState& state,
                                     const FrameMapping& turnOnly, Points& points)
{
    for (std::size_t n = 2; n < state.indicatedPoints.size(); ++n) {
        const RidEdaza::IndicatedPoint& indicated = state.indicatedPoints[n];
        if (!indicated.present) break;
        if (!AddMapped(points, turnOnly, indicated.x, indicated.y)) {
            return AcquireResult::CannotDimension;
        }
    }
    return AcquireResult::Done;
}

// Hands every record of the list that is not skipped to add, with the mapping of its layer
// group. False as soon as a record's group has no usable scale or add fails.
template <typename Record, typename AddRecord>
bool AddRecords(const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                GroupMappings& groups, const std::vector<Record>& records, AddRecord add)
{
    for (const Record& record : records) {
        if (Skipped(record.attributes)) continue;
        const FrameMapping* mapping =
            MappingForLayerGroup(settings, state, record.attributes.layerGroup, groups);
        if (!mapping || !add(*mapping, record)) return false;
    }
    return true;
}

// Lines, points, marker points, circles, arcs: each list in file order, as the host wrote it.
template <typename Points>
AcquireResult AcquireSelectedPoints(const DimensionSettings& settings,
                                    const RidEdaza::DrawingModel& model,
                                    const HeightPoint& heightPoint, Points& points)
{
    const RidEdaza::DrawingState& state = model.state;
    GroupMappings groups;
    auto lineEnds = [&](const FrameMapping& mapping, const RidEdaza::TJwwEntLine& line) {
        return AddLineEnds(settings, mapping, line, heightPoint, points);
    };
    auto position = [&](const FrameMapping& mapping, const auto& record) {
        return AddMapped(points, mapping, record.x, record.y);
    };
    auto centre = [&](const FrameMapping& mapping, const RidEdaza::TJwwEntCircle& circle) {
        return AddMapped(points, mapping, circle.centreX, circle.centreY);
    };
    ArcTurns arcTurns;
    auto arcPoints = [&](const FrameMapping& mapping, const RidEdaza::TJwwEntArc& arc) {
        return AddArcPoints(settings, mapping, arc, arcTurns, points);
    };

    constexpr AcquireResult kCannot = AcquireResult::CannotDimension;
    const bool centres = Takes(settings, PointKind::ArcCentres);
    if ((Takes(settings, PointKind::NearLineEnds) || Takes(settings, PointKind::FarLineEnds)) &&
        !AddRecords(settings, state, groups, model.lines, lineEnds)) {
        return kCannot;
    }
    if (Takes(settings, PointKind::Points) &&
        (!AddRecords(settings, state, groups, model.points, position) ||
         !AddRecords(settings, state, groups, model.markerPoints, position))) {
        return kCannot;
    }
    if (centres && !AddRecords(settings, state, groups, model.circles, centre)) return kCannot;
    if ((centres || Takes(settings, PointKind::ArcEnds)) &&
        !AddRecords(settings, state, groups, model.arcs, arcPoints)) {
        return kCannot;
    }
    return AcquireResult::Done;
}

template <typename Points>
AcquireResult Acquire(const DimensionSettings& settings, const RidEdaza::DrawingModel& model,
                      PointSource source, HeightPoint& heightPoint, Points& points)
{
    const RidEdaza::DrawingState& state = model.state;
    FrameMapping turnOnly;
    turnOnly.scaled = false;
    turnOnly.turn = MyFunc::RotationOfDeg(-settings.DimensionAngle);

    // Indicated point 1 as stored, present or not (an absent entry holds 0, 0).
    const RidEdaza::IndicatedPoint& first = state.indicatedPoints[1];
    heightPoint = HeightPoint{};
    if (!MapToFrame(turnOnly, first.x, first.y, heightPoint.X, heightPoint.Y)) {
        return AcquireResult::CannotDimension;
    }

    switch (source) {
    case PointSource::IndicatedPoints:
        return AcquireIndicatedPoints(state, turnOnly, points);
    case PointSource::RangeSelection:
        break;
    }
    return AcquireSelectedPoints(settings, model, heightPoint, points);
}

}  // namespace

AcquireResult AcquireMeasurePoints(const DimensionSettings& settings,
                                   const RidEdaza::DrawingModel& model,
                                   PointSource source, HeightPoint& heightPoint,
                                   MeasurePointList& points)
{
    // A fresh list for every command; its storage is released, not merely emptied.
    MeasurePointList().swap(points);
    MeasurePointCollector collector;
    // Room for every point the records could give, so that the list never moves while it
    // grows: a copy would hold the old and the new list at once. Room not used is never touched.
    const std::size_t most = 2 * model.lines.size() + model.points.size() +
                             model.markerPoints.size() + model.circles.size() +
                             3 * model.arcs.size() + model.state.indicatedPoints.size();
    collector.points.reserve(most);
    const AcquireResult result = Acquire(settings, model, source, heightPoint, collector);
    FlushMeasurePoints(collector);
    points.swap(collector.points);
    return result;
}

AcquireResult AcquireMeasurePointsByScan(const DimensionSettings& settings,
                                         const RidEdaza::DrawingModel& model,
                                         PointSource source, HeightPoint& heightPoint,
                                         MeasurePointList& points)
{
    MeasurePointList().swap(points);
    return Acquire(settings, model, source, heightPoint, points);
}

}  // namespace Dimension
