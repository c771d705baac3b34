#pragma once

#include "geometry/Vec3.h"
#include "gul/Ptr.h"
#include "platform/Lock.h"
#include "surface/BoxTree.h"
#include "surface/Meshes.h"
#include "surface/SurfaceHost.h"
#include "surface/SurfaceDesign.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <vector>

struct SurfaceGroup;

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

// What a surface derives from its design: the control net and knots, the
// sampled meshes and the box tree the physics searches (all guarded by
// geometryLock), and the ranges that colouring reads.
struct SurfaceGeometry {
    // --- control net and knots ---
    bool netAllocated = false, knotsAllocated = false, skipWorkspace = false;
    std::int32_t degreeU = 2, degreeV = 2;
    gul::Ptr<float> knotsU, knotsV;
    // sectionCount rows (v) of pointsPerSection homogeneous points (u).
    gul::Ptr2<gul::HPoint4f> controlNet;
    gul::Ptr2<gul::Point3f> derivativeWorkspace;
    std::int32_t derivativeOrder = 2;

    // --- sampled meshes and boxes ---
    Lock geometryLock;
    DisplayMesh displayMesh; // what drawing reads
    std::int32_t displayRows = 0, displayColumns = 0;
    double displayStepU = 0.0, displayStepV = 0.0;
    CollisionMesh collisionMesh; // what the intersection search reads, with boxTree
    std::int32_t collisionRows = 0, collisionColumns = 0;
    double collisionStepU = 0.0, collisionStepV = 0.0;
    std::unique_ptr<BoxTree> boxTree; // none when freed
    std::int32_t boxTreeDepth = 0;

    // --- ranges for colouring ---
    double heightMax = 0.0, heightMin = 0.0, heightRange = 0.0;
    double curvatureMin = 0.0, curvatureMax = 0.0, curvatureScale = 0.0;
};

// One channel surface: a quadratic B-spline surface built from a row of cross
// sections, u across the channel, v along it. Its design is what files keep,
// its geometry what it derives from the design; beside them it knows its
// document and group, the editors' backups and its compiled drawing data.
class SurfaceSection : public SurfaceDesign, public SurfaceGeometry {
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

    SurfaceHost* document = nullptr;
    SurfaceGroup* group = nullptr;
    std::int32_t requestedPointsPerSection = 5;
    // The sections as they were when an editor opened, for its previews.
    std::array<CrossSection, kMaxSections> spareSections{};
    // The design editor holding the surface (none: no editor); one editor at
    // a time. Neither is saved; the user-interface thread alone writes them.
    const void* heldByEditor = nullptr;
    // The cross sections the editing preview highlights, bit i for section i.
    std::atomic<std::uint32_t> highlightedSections{0};
    Vec3 constantColor{200.0, 200.0, 200.0};
    std::atomic<std::int32_t> render{0}; // 1: drawn and simulated; 0 while being rebuilt
    DrawingCache drawingCache;

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
