#pragma once

#include "geometry/Vec3.h"
#include "gul/Ptr.h"
#include "platform/Lock.h"
#include "surface/AttachmentSite.h"
#include "surface/BoxTree.h"
#include "surface/CrossSection.h"
#include "surface/Meshes.h"
#include "surface/SurfaceHost.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

struct SurfaceGroup;

// Surface type codes.
enum SurfaceType : std::int32_t {
    kTypeA = 0,        // turns, rotation, displacements
    kTypeB = 1,        // initial and final directions
    kTypeC = 2,        // initial and final directions and positions
    kTypeAttached = 3, // grown from a site
    kTypeSweep = 4,
    kTypeCircular = 5,
    kTypeUntyped = 6,
};

// Type A design parameters; angles in radians.
struct HorizontalTurn {
    bool perform = false;
    bool left = false;
    double angle = 0.0;
};
struct VerticalTurn {
    bool perform = false;
    bool down = false;
    double angle = 0.0;
};
struct AxisRotation {
    bool perform = false;
    bool clockwise = false;
    double angle = 0.0;
};
struct HorizontalDisplacement {
    bool perform = false;
    bool displaceLeft = false;
    double distance = 16.0;
};
struct VerticalDisplacement {
    bool perform = false;
    bool displaceDown = false;
    double distance = 16.0;
};

// Derivatives of the surface at one (u, v).
struct SurfaceDerivatives {
    Vec3 Su, Sv, N, Suu, Suv, Svv;
    double K = 0.0; // Gaussian curvature
};

// Compiled drawing data (display lists) of the mesh, the holes and the sites.
// The ids belong to the render thread; clearing a validity flag asks it to
// rebuild that list.
struct DrawingCache {
    static constexpr int kMesh = 0, kHoles = 1, kSites = 2;
    std::int32_t listId[3] = {-1, -1, -1};
    std::atomic<bool> valid[3] = {false, false, false};

    void markStale()
    {
        for (auto& v : valid) v.store(false, std::memory_order_release);
    }
};

// One channel surface: a quadratic B-spline surface built from a row of cross
// sections, with its sites, holes, display settings and derived data (net,
// knots, sampled meshes, box tree). u runs across the channel, v along it.
class SurfaceSection {
public:
    SurfaceSection();
    explicit SurfaceSection(SurfaceHost* owner);
    ~SurfaceSection();
    SurfaceSection(const SurfaceSection&) = delete;
    SurfaceSection& operator=(const SurfaceSection&) = delete;

    // A user has changed this surface: tells the document holding it.
    void MarkChanged()
    {
        if (document) document->SurfaceChanged();
    }

    // --- identity and design parameters ---
    SurfaceHost* document = nullptr;
    SurfaceGroup* group = nullptr;
    char groupName[kLongNameSize] = {};
    char name[kLongNameSize] = {};
    std::vector<AttachmentSite> attachmentSites;
    std::int32_t surfaceType = kTypeUntyped;
    HorizontalTurn horizontalTurn;
    VerticalTurn verticalTurn;
    AxisRotation axisRotation;
    HorizontalDisplacement horizontalDisplacement;
    VerticalDisplacement verticalDisplacement;
    bool scaleChange = false;
    double scaleTo = 1.0;
    double scaleFrom = 1.0;
    Vec3 initialPosition{0, 0, 0}, initialDirection{1, 0, 0}, initialUp{0, 1, 0};
    Vec3 finalPosition{0, 0, 0}, finalDirection{1, 0, 0}, finalUp{0, 1, 0};
    std::int32_t shapeParameter = 0;
    double shapeValue1 = 0.0, shapeValue2 = 0.0;
    std::int32_t intermediateCount = 2;
    std::int32_t requestedPointsPerSection = 5;
    std::array<CrossSection, kMaxSections> sections{};
    std::array<CrossSection, kMaxSections> spareSections{};
    std::vector<SurfaceHole> holes;

    // --- control net and knots ---
    std::int32_t pointsPerSection = 0; // net count in u
    std::int32_t sectionCount = 0;     // net count in v
    bool netAllocated = false, knotsAllocated = false, skipWorkspace = false;
    std::int32_t degreeU = 2, degreeV = 2;
    gul::Ptr<float> knotsU, knotsV;
    // sectionCount rows (v) of pointsPerSection homogeneous points (u).
    gul::Ptr2<gul::HPoint4f> controlNet;
    gul::Ptr2<gul::Point3f> derivativeWorkspace;
    std::int32_t derivativeOrder = 2;

    // --- sampled meshes and boxes (guarded by geometryLock) ---
    Lock geometryLock;
    std::int32_t samplingMode = 0; // 0 per-span subdivision, 1 by length, 2 fixed counts
    std::int32_t subdivisionsU = 4, subdivisionsV = 4;
    std::int32_t lengthSamplesU = 0, lengthSamplesV = 0;
    std::int32_t fixedSamplesU = 20, fixedSamplesV = 20;
    DisplayMesh displayMesh; // what drawing reads
    std::int32_t displayRows = 0, displayColumns = 0;
    double displayStepU = 0.0, displayStepV = 0.0;
    CollisionMesh collisionMesh; // what the intersection search reads, with boxTree
    std::int32_t collisionRows = 0, collisionColumns = 0;
    double collisionStepU = 0.0, collisionStepV = 0.0;
    std::int32_t flipDiagonals = 0;
    std::unique_ptr<BoxTree> boxTree; // none when freed
    std::int32_t boxTreeDepth = 0;

    // --- display settings ---
    Vec3 constantColor{200.0, 200.0, 200.0};
    std::atomic<std::int32_t> render{0}; // 1: drawn and simulated; 0 while being rebuilt
    std::int32_t showControlLines = 0;
    std::int32_t showControlTriangles = 0;
    std::int32_t closeControlStrips = 0;
    std::int32_t showSurfaceLines = 1;
    std::int32_t showSurfaceTriangles = 0;
    std::int32_t showIntersectionMesh = 0;
    std::int32_t showDirections = 1;
    std::int32_t showAttachmentSites = 1;
    std::int32_t showHoles = 1;
    std::int32_t showName = 1;
    std::int32_t coloring = 2; // 0 constant, 1 height, 2 tangent angle, 3 curvature
    DrawingCache drawingCache;
    bool editingSections = false, editingShape = false;
    bool reverseNormal = false;
    bool wrapU = false, wrapV = false;
    double heightMax = 0.0, heightMin = 0.0, heightRange = 0.0;
    bool uLineEnabled = false, vLineEnabled = false;
    double uLine = 0.0, vLine = 0.0;
    double curvatureMin = 0.0, curvatureMax = 0.0, curvatureScale = 0.0;

    // --- lifecycle ---
    // Sets every field to its default, clears holes, meshes and box tree and
    // frees the derived data.
    void Reset();
    // Frees net, knots, workspace, meshes and box tree.
    void FreeDerived();

    // --- control net (ControlNet.cpp) ---
    void SizeNet(int points, int pDegreeU, int sectionTotal, int pDegreeV);
    void SizeForType(int type);
    void BuildNet();
    void ComputeSectionVectors();
    void CopyEndFrames();
    void ComputeHeightRange();
    // Gives section i the built-in "Flat" shape and re-centres it.
    void FlatShape(int sectionIndex);
    void RecentreSection(CrossSection& section);
    void SectionsFromNet(int column, const Vec3& D, const Vec3& U);
    // After the sections changed: fills the net from them, recomputes the
    // section vectors, end frames and height range, resamples the meshes and
    // the box tree (Rebuild) and marks the drawing data stale.
    void RebuildFromSections();
    // Control point of point j of section i in world space (double precision).
    Vec3 SectionPointToWorld(int sectionIndex, int pointIndex) const;

    // --- layouts of the designed types (Layout.cpp) ---
    void GenerateTypeA(bool keepShapes);
    void GenerateTypeB(bool keepShapes);
    void GenerateTypeC(bool keepShapes);
    void Regenerate(bool keepDerived);

    // --- evaluation (Evaluation.cpp) ---
    Vec3 EvaluatePoint(double u, double v);
    void EvaluateDerivatives(double u, double v, SurfaceDerivatives& out);
    SurfaceDerivatives EvaluateDerivatives(double u, double v);

    // --- sampled meshes and box tree (Meshes.cpp) ---
    // Resamples both meshes and rebuilds the box tree under geometryLock;
    // render is 0 meanwhile.
    void Rebuild();
    void FreeBoxTree();
    // Bytes held by the sampled meshes and the box tree.
    std::size_t DerivedBytes() const;
    DisplaySample displaySample(int row, int column) const { return displayMesh.At(row, column); }
    CollisionSample collisionSample(int row, int column) const { return collisionMesh.At(row, column); }

    // Adds the four default sites "end", "begin", "left", "right" over [0, 1].
    void AddDefaultSites();
    bool hasNet() const { return netAllocated && knotsAllocated && sectionCount > 0 && pointsPerSection > 0; }

private:
    void InitDefaults();
    int DocumentDegreeU() const;
    int DocumentDegreeV() const;
    // The steps of Rebuild, run under geometryLock.
    void ComputeLengthSamples();
    void BuildCollisionMesh();
    void BuildDisplayMesh();
    void WalkSection(int sectionIndex, const Vec3& P, const Vec3& F, const Vec3& U, double scale, bool keepShapes);
    void FinishLayout();
};

// Angle between a unit normal and the vertical (0, 1, 0): 0 for exactly up, pi
// for exactly down, acos(N.y) otherwise.
double TangentAngle(const Vec3& N);

// The rigid motion of a surface and of every surface attached to it, each
// moved once: rotations by theta1 about axis1 and theta2 about axis2 through
// centre (directions about the origin), then the translation.
void MoveSurfaceTree(SurfaceSection* surface, SurfaceSection* cameFrom, std::set<SurfaceSection*>& visited,
                     const Vec3& translation, const Vec3& centre, const Vec3& axis1, double theta1,
                     const Vec3& axis2, double theta2, bool toggleDiagonals);
