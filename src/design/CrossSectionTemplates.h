#pragma once

// Cross-section shapes, the template file "cross_sections.dat" and the
// operations of the shape editor.
//
// The file has no header: a row of 344-byte little-endian records, each a
// name (20 bytes), a point count (int32) and 20 points as x, y doubles.

#include "design/DesignResult.h"
#include "surface/CrossSection.h"
#include "surface/FixedText.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class COpenGLTemplateDoc;
class SurfaceSection;

namespace design {

class SectionTransformEditor;

inline constexpr std::size_t kTemplateRecordSize = 344;
// Templates held in memory (the file itself may hold more).
inline constexpr int kMaxTemplates = 50;
// Records read from a file at most, damaged ones included: a template file
// holds a few dozen, so anything beyond this is not one.
inline constexpr int kMaxTemplateRecords = 4096;
// Longest name typed for a new template (the name buffer keeps its terminator).
inline constexpr int kMaxTemplateNameLength = 19;

inline constexpr const char* kEditorReadFailed = "Failed to open or create templates file for reading.";
inline constexpr const char* kSweepReadFailed = "Failed to open templates file for reading.";
inline constexpr const char* kNotYetTemplate =
    "The current cross section is not yet a template.  Give it a name, and click on 'Save new template'.";
inline constexpr const char* kUpdateFailed = "Failed to open templates file for update.";
inline constexpr const char* kTemplateNameMissing = "Provide a name for the new cross section template.";
inline constexpr const char* kAppendFailed = "Failed to open or create templates file for writing.";
// The in-memory list is full: the new template is neither written nor added.
inline constexpr const char* kTemplateListFull =
    "The template list is full (50 templates). Save over an existing template instead.";

// "The number of control points in the desired cross section must be %d."
std::string PointCountMessage(int pointsPerSection);

// A cross section's shape, and a template: points in the section's own
// plane (x across, y up, z 0).
struct CrossSectionShape {
    char name[kShortNameSize] = {};
    std::int32_t count = 0;
    Vec3 points[kMaxSectionPoints];
};

// A template read from the file, with the index of its record there (records
// that are damaged are skipped, so the two indices may differ).
struct CrossSectionTemplate {
    CrossSectionShape shape;
    int recordIndex = 0;
};

using TemplateRecord = std::array<std::uint8_t, kTemplateRecordSize>;
TemplateRecord EncodeTemplateRecord(const CrossSectionShape& shape);
// False for a damaged record: a count outside 2..20, or a point in use that
// is not a finite number of reasonable size.
bool DecodeTemplateRecord(const std::uint8_t* bytes, CrossSectionShape& shape);

// Reads up to kMaxTemplates usable templates in file order, looking at no more
// than kMaxTemplateRecords records. False when the file cannot be opened or is
// not a regular file (templates then empty). A trailing partial record is ignored.
bool ReadTemplateFile(const std::string& path, std::vector<CrossSectionTemplate>& templates);
// Rewrites one record in place; the rest of the file is untouched.
bool RewriteTemplateRecord(const std::string& path, int recordIndex, const CrossSectionShape& shape);
// Adds a record after the last whole record (a partial record left by a
// damaged file is overwritten), creating the file when absent; recordIndex is
// where it went.
bool AppendTemplateRecord(const std::string& path, const CrossSectionShape& shape, int& recordIndex);
// Writes a whole file of these shapes (replacing any file there).
bool WriteTemplateFile(const std::string& path, const std::vector<CrossSectionShape>& shapes);

// The templates shipped with the program: a flat floor, a V, a U and a
// half-pipe, each in 5 and 7 points.
std::vector<CrossSectionShape> StandardTemplates();

// The shape of a surface's cross section, and a shape from plain points.
CrossSectionShape ShapeOfSection(const CrossSection& section);
CrossSectionShape ShapeFromPoints(const std::string& name, const std::vector<std::array<double, 2>>& points);

// Reverses the order of the points in use and negates every x.
void MirrorShape(CrossSectionShape& shape);

// Copies the shape into each selected cross section of the surface (scale
// factors reset to 1.0 unless retainScaling) and rebuilds the control net.
// Refused (PointCountMessage), with nothing changed, when the shape's count is
// not the surface's points per cross section.
DesignResult ApplyShapeToSelection(SurfaceSection& surface, const CrossSectionShape& shape,
                                   const std::vector<int>& selection, bool retainScaling);

// The shape editor's drawing area: pixels, y growing downwards.
struct ShapeView {
    static constexpr int kPointRadius = 5; // drawn circles and the pick radius
    static constexpr int kGridSpacing = 20;
    static constexpr int kSnapTolerance = 3;

    double left = 0.0, top = 0.0, width = 0.0, height = 0.0;
    double scale = 1.0;                // shape units per pixel
    double originX = 0.0, originY = 0.0; // screen position of the shape's origin

    // The drawing area of a client area: less 20 pixels at the left and top,
    // 155 at the right and 55 at the bottom.
    static ShapeView ForClient(int clientWidth, int clientHeight);
    // Scales the shape uniformly into the area less 95 pixels each way and
    // centres it. A shape without extent is drawn at one unit per grid square.
    void Fit(const CrossSectionShape& shape);
    std::array<double, 2> ToScreen(const Vec3& point) const;
    // The last point whose centre lies within the pick radius (whole pixels), or -1.
    int Pick(const CrossSectionShape& shape, double x, double y) const;
    // A dragged point's coordinates: where it was pressed plus the cursor's
    // displacement (snapped to the grid when asked, kept inside the area).
    Vec3 Drag(const Vec3& pressedPoint, double pressX, double pressY, double x, double y, bool snap) const;
};

// The shape editor ("Edit cross section shape") without its window. It is
// opened by the cross-section editor for the cross sections selected there
// and commits or reverts through it.
class CrossSectionShapeEditor {
public:
    CrossSectionShapeEditor(COpenGLTemplateDoc& document, std::string templatePath);

    // Opening: reads the template file the first time (returns its failure
    // message, the editor still opens), copies the first selected shape.
    DesignResult Open(SectionTransformEditor& sections, const std::vector<int>& selection);

    // Choosing template `index` of the list.
    DesignResult ChooseTemplate(int index);
    // A dragged point lands at (x, y): the surface follows at once.
    void MovePoint(int pointIndex, double x, double y);
    // Replaces every point (as if each were dragged); refused when the count
    // is not the surface's.
    DesignResult SetPoints(const std::vector<std::array<double, 2>>& points);
    void Mirror();
    void Save();
    void Close();
    DesignResult SaveTemplate();
    DesignResult SaveNewTemplate(const std::string& name);

    const std::vector<CrossSectionTemplate>& templates() const { return templates_; }
    const CrossSectionShape& currentShape() const { return shape_; }
    int currentTemplate() const { return currentTemplate_; }
    bool retainScaling = false;
    bool saved() const { return saved_; }
    bool modified() const { return modified_; }

private:
    void Apply();

    COpenGLTemplateDoc& document_;
    std::string templatePath_;
    SectionTransformEditor* sections_ = nullptr;
    std::vector<int> selection_;
    std::vector<CrossSectionTemplate> templates_;
    bool templatesLoaded_ = false;
    CrossSectionShape shape_;
    int currentTemplate_ = -1;
    bool saved_ = false;
    bool modified_ = false;
};

} // namespace design
