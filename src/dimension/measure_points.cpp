#include "dimension/measure_points.hpp"

#include <cmath>
#include <cstddef>

#include "common/geometry.hpp"

namespace Dimension {
namespace {

constexpr long double kSamePosition = 1e-10L;

// The list grows in blocks of 100 records.
constexpr std::size_t kGrowthBlock = 100;

bool IsFinitePoint(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// Maps drawing points of one layer group into the dimension frame.
struct FrameMapping {
    double factor = 1.0;     // CurrentScale / scale of the record's layer group, stored
    double turnDeg = 0.0;    // minus the axis angle
    bool scaled = true;      // indicated points are turned only
};

// False when the mapped point is not finite: the run could not be drawn from it.
bool MapToFrame(const FrameMapping& mapping, double x, double y, double& outX, double& outY)
{
    if (mapping.scaled) {
        // Each product is formed in extended precision and stored as it is handed on.
        const double sx = static_cast<double>(static_cast<long double>(x) * mapping.factor);
        const double sy = static_cast<double>(static_cast<long double>(y) * mapping.factor);
        MyFunc::RotatePointDeg(sx, sy, 0.0, 0.0, mapping.turnDeg, outX, outY);
    } else {
        MyFunc::RotatePointDeg(x, y, 0.0, 0.0, mapping.turnDeg, outX, outY);
    }
    return IsFinitePoint(outX, outY);
}

// The mapping of a record on layer group g; false when the group has no usable scale (0, or a
// group number the host cannot have written), which leaves the factor undefined.
bool MappingForLayerGroup(const DimensionSettings& settings, const RidEdaza::DrawingState& state,
                          std::int32_t layerGroup, FrameMapping& mapping)
{
    if (layerGroup < 0 || static_cast<std::size_t>(layerGroup) >= state.layerGroupScale.size()) {
        return false;
    }
    const double groupScale = state.layerGroupScale[static_cast<std::size_t>(layerGroup)];
    if (groupScale == 0.0) return false;
    mapping.factor = static_cast<double>(static_cast<long double>(settings.CurrentScale) /
                                         groupScale);
    mapping.turnDeg = -state.axisAngle;
    mapping.scaled = true;
    return true;
}

bool Skipped(const RidEdaza::EntityAttributes& attributes)
{
    return (attributes.zFlags & RidEdaza::kZ3Mark) != 0;
}

// Maps (x, y) and adds it; false when the mapped point is not finite.
bool AddMapped(MeasurePointList& points, const FrameMapping& mapping, double x, double y)
{
    double mx = 0.0;
    double my = 0.0;
    if (!MapToFrame(mapping, x, y, mx, my)) return false;
    AddMeasurePoint(points, mx, my);
    return true;
}

bool AddLineEnds(const DimensionSettings& settings, const FrameMapping& mapping,
                 const RidEdaza::TJwwEntLine& line, const HeightPoint& heightPoint,
                 MeasurePointList& points)
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
    if (settings.TakeNearLineEnds) {
        if (nearIsA) AddMeasurePoint(points, ax, ay);
        else AddMeasurePoint(points, bx, by);
    }
    if (settings.TakeFarLineEnds) {
        if (nearIsA) AddMeasurePoint(points, bx, by);
        else AddMeasurePoint(points, ax, ay);
    }
    return true;
}

bool AddArcPoints(const DimensionSettings& settings, const FrameMapping& mapping,
                  const RidEdaza::TJwwEntArc& arc, MeasurePointList& points)
{
    if (settings.TakeArcCenters && !AddMapped(points, mapping, arc.centreX, arc.centreY)) {
        return false;
    }
    if (!settings.TakeArcEnds) return true;

    // A full circle or ellipse stored as an arc has no ends. The difference is formed in
    // extended precision and stored as it is handed on.
    const double turn = MyFunc::NormalizeDegrees(
        static_cast<double>(static_cast<long double>(arc.startAngle) - arc.endAngle));
    if (std::fabs(static_cast<long double>(turn)) <= kSamePosition) return true;

    double sx = 0.0, sy = 0.0, ex = 0.0, ey = 0.0;
    MyFunc::EllipsePointDeg(arc.centreX, arc.centreY, arc.radius, arc.flatness, arc.tiltAngle,
                            arc.startAngle, sx, sy);
    MyFunc::EllipsePointDeg(arc.centreX, arc.centreY, arc.radius, arc.flatness, arc.tiltAngle,
                            arc.endAngle, ex, ey);
    return AddMapped(points, mapping, sx, sy) && AddMapped(points, mapping, ex, ey);
}

AcquireResult AcquireIndicatedPoints(const RidEdaza::DrawingState& state,
                                     const FrameMapping& turnOnly, MeasurePointList& points)
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

AcquireResult AcquireSelectedPoints(const DimensionSettings& settings,
                                    const RidEdaza::DrawingModel& model,
                                    const HeightPoint& heightPoint, MeasurePointList& points)
{
    const RidEdaza::DrawingState& state = model.state;
    FrameMapping mapping;

    if (settings.TakeNearLineEnds || settings.TakeFarLineEnds) {
        for (const RidEdaza::TJwwEntLine& line : model.lines) {
            if (Skipped(line.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, line.attributes.layerGroup, mapping) ||
                !AddLineEnds(settings, mapping, line, heightPoint, points)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakePoints) {
        for (const RidEdaza::TJwwEntPoint& point : model.points) {
            if (Skipped(point.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, point.attributes.layerGroup, mapping) ||
                !AddMapped(points, mapping, point.x, point.y)) {
                return AcquireResult::CannotDimension;
            }
        }
        for (const RidEdaza::TJwwEntMarkerPoint& marker : model.markerPoints) {
            if (Skipped(marker.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, marker.attributes.layerGroup, mapping) ||
                !AddMapped(points, mapping, marker.x, marker.y)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakeArcCenters) {
        for (const RidEdaza::TJwwEntCircle& circle : model.circles) {
            if (Skipped(circle.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, circle.attributes.layerGroup, mapping) ||
                !AddMapped(points, mapping, circle.centreX, circle.centreY)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    if (settings.TakeArcCenters || settings.TakeArcEnds) {
        for (const RidEdaza::TJwwEntArc& arc : model.arcs) {
            if (Skipped(arc.attributes)) continue;
            if (!MappingForLayerGroup(settings, state, arc.attributes.layerGroup, mapping) ||
                !AddArcPoints(settings, mapping, arc, points)) {
                return AcquireResult::CannotDimension;
            }
        }
    }
    return AcquireResult::Done;
}

}  // namespace

void AddMeasurePoint(MeasurePointList& points, double x, double y)
{
    for (const MeasurePoint& point : points) {
        if (std::fabs(static_cast<long double>(point.X) - x) <= kSamePosition &&
            std::fabs(static_cast<long double>(point.Y) - y) <= kSamePosition) {
            return;
        }
    }
    if (points.size() == points.capacity()) points.reserve(points.size() + kGrowthBlock);
    points.push_back(MeasurePoint{x, y, 1});
}

AcquireResult AcquireMeasurePoints(const DimensionSettings& settings,
                                   const RidEdaza::DrawingModel& model,
                                   std::string_view firstArgument, HeightPoint& heightPoint,
                                   MeasurePointList& points)
{
    // A fresh list for every command; its storage is released, not merely emptied.
    MeasurePointList().swap(points);

    const RidEdaza::DrawingState& state = model.state;
    FrameMapping turnOnly;
    turnOnly.turnDeg = -state.axisAngle;
    turnOnly.scaled = false;

    // Indicated point 1 as stored, present or not (an absent entry holds 0, 0).
    const RidEdaza::IndicatedPoint& first = state.indicatedPoints[1];
    heightPoint = HeightPoint{};
    if (!MapToFrame(turnOnly, first.x, first.y, heightPoint.X, heightPoint.Y)) {
        return AcquireResult::CannotDimension;
    }

    if (firstArgument == "1") return AcquireIndicatedPoints(state, turnOnly, points);
    return AcquireSelectedPoints(settings, model, heightPoint, points);
}

void OrderMeasurePoints(MeasurePointList& points)
{
    const std::size_t n = points.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        bool found = false;
        std::size_t best = 0;
        double bx = points[i].X;
        double by = points[i].Y;
        for (std::size_t j = i + 1; j < n; ++j) {
            const MeasurePoint& candidate = points[j];
            const bool take =
                std::fabs(static_cast<long double>(bx) - candidate.X) <= kSamePosition
                    ? by > candidate.Y
                    : bx > candidate.X;
            if (take) {
                bx = candidate.X;
                by = candidate.Y;
                best = j;
                found = true;
            }
        }
        // Only the position moves; every Kept is still 1 here.
        if (found) {
            MyFunc::ExchangeValues(points[i].X, points[best].X);
            MyFunc::ExchangeValues(points[i].Y, points[best].Y);
        }
    }
}

void GroupMeasurePoints(MeasurePointList& points, const HeightPoint& heightPoint)
{
    const std::size_t n = points.size();
    std::size_t i = 0;
    while (i < n) {
        // A group is every point within 1e-10 of its first point, not of its neighbour.
        const double gx = points[i].X;
        double bestD = static_cast<double>(
            std::fabs(static_cast<long double>(points[i].Y) - heightPoint.Y));
        points[i].Kept = 0;
        std::size_t best = i;
        std::size_t size = 1;
        for (std::size_t j = i + 1; j < n; ++j) {
            if (std::fabs(static_cast<long double>(gx) - points[j].X) > kSamePosition) break;
            const double d = static_cast<double>(
                std::fabs(static_cast<long double>(points[j].Y) - heightPoint.Y));
            points[j].Kept = 0;
            if (bestD > d) {
                bestD = d;
                best = j;
            }
            ++size;
        }
        points[best].Kept = 1;
        i += size;
    }
}

}  // namespace Dimension
