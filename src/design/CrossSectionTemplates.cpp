#include "design/CrossSectionTemplates.h"

#include "design/ChannelCreation.h"
#include "design/SectionTransforms.h"
#include "document/FileIO.h"
#include "document/OpenGLTemplateDoc.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace design {

namespace {

static_assert(std::endian::native == std::endian::little, "the template file is little-endian");

// Coordinates beyond this are taken as damage: shapes are a few units across.
constexpr double kLargestCoordinate = 1.0e6;
constexpr int kFewestPoints = 2;

constexpr std::size_t kCountOffset = 20;
constexpr std::size_t kPointsOffset = 24;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

template <typename T>
void put(std::uint8_t* at, T value)
{
    std::memcpy(at, &value, sizeof value);
}

template <typename T>
T get(const std::uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

bool usable(double coordinate) { return std::isfinite(coordinate) && std::fabs(coordinate) <= kLargestCoordinate; }

// Opens the template file for writing in place; anything there but a regular
// file (a FIFO, a device) is refused rather than opened.
File openForWriting(const std::string& path, const char* mode)
{
    std::string error;
    if (!IsRegularFileOrAbsent(path, error)) return nullptr;
    return File(std::fopen(path.c_str(), mode));
}

long fileSize(std::FILE* f)
{
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    return std::ftell(f);
}

bool writeRecordAt(std::FILE* f, long offset, const CrossSectionShape& shape)
{
    const TemplateRecord record = EncodeTemplateRecord(shape);
    return std::fseek(f, offset, SEEK_SET) == 0 && std::fwrite(record.data(), 1, record.size(), f) == record.size() &&
           std::fflush(f) == 0;
}

CrossSectionShape makeShape(const char* name, std::initializer_list<std::array<double, 2>> points)
{
    return ShapeFromPoints(name, std::vector<std::array<double, 2>>(points));
}

} // namespace

std::string PointCountMessage(int pointsPerSection)
{
    return "The number of control points in the desired cross section must be " + std::to_string(pointsPerSection) +
           ".";
}

TemplateRecord EncodeTemplateRecord(const CrossSectionShape& shape)
{
    TemplateRecord record{};
    std::memcpy(record.data(), shape.name, kShortNameSize);
    put<std::int32_t>(record.data() + kCountOffset, shape.count);
    for (int k = 0; k < kMaxSectionPoints; ++k) {
        put<double>(record.data() + kPointsOffset + 16 * k, shape.points[k].x);
        put<double>(record.data() + kPointsOffset + 16 * k + 8, shape.points[k].y);
    }
    return record;
}

bool DecodeTemplateRecord(const std::uint8_t* bytes, CrossSectionShape& shape)
{
    CrossSectionShape read;
    std::memcpy(read.name, bytes, kShortNameSize);
    read.name[kShortNameSize - 1] = '\0';
    read.count = get<std::int32_t>(bytes + kCountOffset);
    if (read.count < kFewestPoints || read.count > kMaxSectionPoints) return false;
    for (int k = 0; k < kMaxSectionPoints; ++k) {
        const double x = get<double>(bytes + kPointsOffset + 16 * k);
        const double y = get<double>(bytes + kPointsOffset + 16 * k + 8);
        if (k < read.count && !(usable(x) && usable(y))) return false;
        read.points[k] = {x, y, 0.0};
    }
    shape = read;
    return true;
}

bool ReadTemplateFile(const std::string& path, std::vector<CrossSectionTemplate>& templates)
{
    templates.clear();
    std::string error;
    const int fd = OpenRegularFileForReading(path, error);
    if (fd < 0) return false;
    File f(::fdopen(fd, "rb"));
    if (!f) {
        ::close(fd);
        return false;
    }
    TemplateRecord record;
    for (int index = 0; index < kMaxTemplateRecords && static_cast<int>(templates.size()) < kMaxTemplates; ++index) {
        if (std::fread(record.data(), 1, record.size(), f.get()) != record.size()) break;
        CrossSectionTemplate t;
        t.recordIndex = index;
        if (DecodeTemplateRecord(record.data(), t.shape)) templates.push_back(t);
    }
    return true;
}

bool RewriteTemplateRecord(const std::string& path, int recordIndex, const CrossSectionShape& shape)
{
    if (recordIndex < 0) return false;
    File f = openForWriting(path, "r+b");
    if (!f) return false;
    return writeRecordAt(f.get(), static_cast<long>(recordIndex) * static_cast<long>(kTemplateRecordSize), shape);
}

bool AppendTemplateRecord(const std::string& path, const CrossSectionShape& shape, int& recordIndex)
{
    File f = openForWriting(path, "r+b");
    if (!f) f = openForWriting(path, "w+b");
    if (!f) return false;
    const long size = fileSize(f.get());
    if (size < 0) return false;
    const long whole = size / static_cast<long>(kTemplateRecordSize);
    if (!writeRecordAt(f.get(), whole * static_cast<long>(kTemplateRecordSize), shape)) return false;
    recordIndex = static_cast<int>(whole);
    return true;
}

bool WriteTemplateFile(const std::string& path, const std::vector<CrossSectionShape>& shapes)
{
    File f = openForWriting(path, "wb");
    if (!f) return false;
    for (const CrossSectionShape& shape : shapes) {
        const TemplateRecord record = EncodeTemplateRecord(shape);
        if (std::fwrite(record.data(), 1, record.size(), f.get()) != record.size()) return false;
    }
    return std::fflush(f.get()) == 0;
}

std::vector<CrossSectionShape> StandardTemplates()
{
    // Widths follow the built-in flat shape: n points span n - 1 units.
    std::vector<CrossSectionShape> shapes = {
        makeShape("Floor 5", {{-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0}}),
        makeShape("Floor 7", {{-3, 0}, {-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0}, {3, 0}}),
        makeShape("V 5", {{-2, 2}, {-1, 1}, {0, 0}, {1, 1}, {2, 2}}),
        makeShape("V 7", {{-3, 3}, {-2, 2}, {-1, 1}, {0, 0}, {1, 1}, {2, 2}, {3, 3}}),
        makeShape("U 5", {{-2, 2}, {-2, 0}, {0, 0}, {2, 0}, {2, 2}}),
        makeShape("U 7", {{-3, 2.5}, {-3, 0.5}, {-2, 0}, {0, 0}, {2, 0}, {3, 0.5}, {3, 2.5}}),
    };
    // Half-pipes: control polygons of a quadratic half circle of radius 2 (5
    // points) and 3 (7 points), corners on the circumscribed polygon.
    for (int n : {5, 7}) {
        const double r = (n - 1) / 2.0;
        const double step = kPi / (n - 2);
        std::vector<std::array<double, 2>> points;
        for (int k = 0; k < n; ++k) {
            // Angles from the left rim (pi) down through the bottom to the right rim (0).
            const double angle = k == 0 ? kPi : k == n - 1 ? 0.0 : kPi - (k - 0.5) * step;
            const double reach = (k == 0 || k == n - 1) ? r : r / std::cos(step / 2.0);
            points.push_back({reach * std::cos(angle), r - reach * std::sin(angle)});
        }
        shapes.push_back(ShapeFromPoints("Half-pipe " + std::to_string(n), points));
    }
    return shapes;
}

CrossSectionShape ShapeOfSection(const CrossSection& section)
{
    CrossSectionShape shape;
    std::memcpy(shape.name, section.shapeName, kShortNameSize);
    shape.count = std::clamp(section.pointCount, 0, kMaxSectionPoints);
    for (int k = 0; k < kMaxSectionPoints; ++k) shape.points[k] = {section.points[k].x, section.points[k].y, 0.0};
    return shape;
}

CrossSectionShape ShapeFromPoints(const std::string& name, const std::vector<std::array<double, 2>>& points)
{
    CrossSectionShape shape;
    setText(shape.name, name);
    shape.count = static_cast<std::int32_t>(std::min<std::size_t>(points.size(), kMaxSectionPoints));
    for (int k = 0; k < shape.count; ++k) shape.points[k] = {points[k][0], points[k][1], 0.0};
    return shape;
}

void MirrorShape(CrossSectionShape& shape)
{
    const int count = std::clamp(shape.count, 0, kMaxSectionPoints);
    std::reverse(shape.points, shape.points + count);
    for (int k = 0; k < count; ++k) shape.points[k].x = -shape.points[k].x;
}

DesignResult ApplyShapeToSelection(SurfaceSection& surface, const CrossSectionShape& shape,
                                   const std::vector<int>& selection, bool retainScaling)
{
    // A row of the net holds exactly pointsPerSection points.
    if (shape.count != surface.pointsPerSection) return PointCountMessage(surface.pointsPerSection);
    const int n = std::clamp(surface.sectionCount, 0, kMaxSections);
    const int count = std::clamp(shape.count, 0, kMaxSectionPoints);
    for (int i : selection) {
        if (i < 0 || i >= n) continue;
        CrossSection& c = surface.sections[i];
        std::memcpy(c.shapeName, shape.name, kShortNameSize);
        c.pointCount = count;
        for (int k = 0; k < count; ++k) c.points[k] = {shape.points[k].x, shape.points[k].y, 0.0};
        if (!retainScaling) c.scale = 1.0;
    }
    RebuildNetFromSections(surface);
    return {};
}

// --- the drawing area ---

ShapeView ShapeView::ForClient(int clientWidth, int clientHeight)
{
    ShapeView view;
    view.left = 20.0;
    view.top = 20.0;
    view.width = std::max(0.0, clientWidth - 20.0 - 155.0);
    view.height = std::max(0.0, clientHeight - 20.0 - 55.0);
    return view;
}

void ShapeView::Fit(const CrossSectionShape& shape)
{
    const int count = std::clamp(shape.count, 0, kMaxSectionPoints);
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    for (int k = 0; k < count; ++k) {
        const Vec3& p = shape.points[k];
        minX = k ? std::min(minX, p.x) : p.x;
        maxX = k ? std::max(maxX, p.x) : p.x;
        minY = k ? std::min(minY, p.y) : p.y;
        maxY = k ? std::max(maxY, p.y) : p.y;
    }
    const double margin = 3.0 * kPointRadius + 80.0;
    const double availableX = std::max(1.0, width - margin), availableY = std::max(1.0, height - margin);
    scale = std::max((maxX - minX) / availableX, (maxY - minY) / availableY);
    if (!(scale > 0.0) || !std::isfinite(scale)) scale = 1.0 / kGridSpacing;
    originX = left + width / 2.0 - (minX + maxX) / 2.0 / scale;
    originY = top + height / 2.0 + (minY + maxY) / 2.0 / scale;
}

std::array<double, 2> ShapeView::ToScreen(const Vec3& p) const
{
    return {p.x / scale + originX, originY - p.y / scale};
}

int ShapeView::Pick(const CrossSectionShape& shape, double x, double y) const
{
    int picked = -1;
    for (int k = 0; k < std::clamp(shape.count, 0, kMaxSectionPoints); ++k) {
        const auto [sx, sy] = ToScreen(shape.points[k]);
        if (static_cast<int>(std::hypot(sx - x, sy - y)) <= kPointRadius) picked = k;
    }
    return picked;
}

Vec3 ShapeView::Drag(const Vec3& pressedPoint, double pressX, double pressY, double x, double y, bool snap) const
{
    auto place = [&](double value, double corner, double extent) {
        if (snap) {
            const double offset = value - corner;
            const double line = std::round(offset / kGridSpacing) * kGridSpacing;
            if (std::fabs(offset - line) <= kSnapTolerance) value = corner + line;
        }
        const double inset = 1.5 * kPointRadius;
        return std::clamp(value, corner + inset, std::max(corner + inset, corner + extent - inset));
    };
    x = place(x, left, width);
    y = place(y, top, height);
    return {pressedPoint.x + (x - pressX) * scale, pressedPoint.y - (y - pressY) * scale, 0.0};
}

// --- the shape editor ---

CrossSectionShapeEditor::CrossSectionShapeEditor(COpenGLTemplateDoc& document, std::string templatePath)
    : document_(document), templatePath_(std::move(templatePath))
{
}

DesignResult CrossSectionShapeEditor::Open(SectionTransformEditor& sections, const std::vector<int>& selection)
{
    std::string message;
    if (!templatesLoaded_) {
        templatesLoaded_ = true;
        if (!ReadTemplateFile(templatePath_, templates_)) message = kEditorReadFailed;
    }
    sections_ = &sections;
    selection_ = selection;
    SurfaceSection* s = sections.surface();
    if (s && !selection.empty())
        shape_ = ShapeOfSection(s->sections[std::clamp(selection.front(), 0, kMaxSections - 1)]);
    currentTemplate_ = -1;
    saved_ = modified_ = false;
    return message;
}

DesignResult CrossSectionShapeEditor::ChooseTemplate(int index)
{
    if (index < 0 || index >= static_cast<int>(templates_.size())) return {};
    const CrossSectionShape& chosen = templates_[index].shape;
    SurfaceSection* s = sections_ ? sections_->surface() : nullptr;
    const int required = s ? s->pointsPerSection : shape_.count;
    if (chosen.count != shape_.count || chosen.count != required) return PointCountMessage(required);
    shape_ = chosen;
    currentTemplate_ = index;
    return {};
}

void CrossSectionShapeEditor::Apply()
{
    SurfaceSection* s = sections_ ? sections_->surface() : nullptr;
    // Every way in (a template, a point list) checks the count first.
    if (s) static_cast<void>(ApplyShapeToSelection(*s, shape_, selection_, retainScaling));
}

void CrossSectionShapeEditor::MovePoint(int pointIndex, double x, double y)
{
    if (pointIndex < 0 || pointIndex >= shape_.count) return;
    modified_ = true;
    shape_.points[pointIndex] = {x, y, 0.0};
    Apply();
}

DesignResult CrossSectionShapeEditor::SetPoints(const std::vector<std::array<double, 2>>& points)
{
    SurfaceSection* s = sections_ ? sections_->surface() : nullptr;
    const int required = s ? s->pointsPerSection : shape_.count;
    if (static_cast<int>(points.size()) != required) return PointCountMessage(required);
    modified_ = true;
    for (int k = 0; k < required; ++k) shape_.points[k] = {points[k][0], points[k][1], 0.0};
    Apply();
    return {};
}

void CrossSectionShapeEditor::Mirror() { MirrorShape(shape_); }

void CrossSectionShapeEditor::Save()
{
    Apply();
    saved_ = true;
    modified_ = false;
    if (sections_) sections_->Commit();
}

void CrossSectionShapeEditor::Close()
{
    if (!sections_) return;
    // Drags since the last save are dropped; what was saved stays.
    if (modified_ || !saved_) sections_->Revert();
    if (saved_ && sections_->surface()) sections_->surface()->Rebuild();
    sections_ = nullptr;
}

DesignResult CrossSectionShapeEditor::SaveTemplate()
{
    if (currentTemplate_ < 0) return kNotYetTemplate;
    if (!RewriteTemplateRecord(templatePath_, templates_[currentTemplate_].recordIndex, shape_)) return kUpdateFailed;
    templates_[currentTemplate_].shape = shape_;
    return {};
}

DesignResult CrossSectionShapeEditor::SaveNewTemplate(const std::string& name)
{
    if (name.size() > static_cast<std::size_t>(kMaxTemplateNameLength)) return TextLengthPrompt(kMaxTemplateNameLength);
    if (name.empty()) return kTemplateNameMissing;
    if (static_cast<int>(templates_.size()) >= kMaxTemplates) return kTemplateListFull;
    CrossSectionShape named = shape_;
    setText(named.name, name);
    int recordIndex = 0;
    if (!AppendTemplateRecord(templatePath_, named, recordIndex)) return kAppendFailed;
    shape_ = named;
    templates_.push_back({named, recordIndex});
    currentTemplate_ = static_cast<int>(templates_.size()) - 1;
    return {};
}

} // namespace design
