#include "surface/SurfaceSection.h"

SurfaceSection::SurfaceSection() : SurfaceSection(nullptr) {}

SurfaceSection::SurfaceSection(SurfaceHost* owner) : document(owner)
{
    InitDefaults();
    render = 0;
    Reset();
}

SurfaceSection::~SurfaceSection()
{
    if (document)
        for (std::int32_t list : drawingCache.listId) document->RetireDisplayList(list);
    FreeDerived();
}

void SurfaceSection::InitDefaults()
{
    group = nullptr;
    setText(groupName, "none");
    surfaceType = kTypeUntyped;
    horizontalTurn = {};
    verticalTurn = {};
    axisRotation = {};
    horizontalDisplacement = {};
    verticalDisplacement = {};
    scaleChange = false;
    scaleTo = scaleFrom = 1.0;
    initialPosition = finalPosition = {0, 0, 0};
    initialDirection = finalDirection = {1, 0, 0};
    initialUp = finalUp = {0, 1, 0};
    shapeParameter = 0;
    shapeValue1 = shapeValue2 = 0.0;
    intermediateCount = 2;
    for (auto* bank : {&sections, &spareSections})
        for (CrossSection& s : *bank) s = CrossSection();
    samplingMode = SamplingMode::PerSpan;
    subdivisionsU = subdivisionsV = 4;
    fixedSamplesU = fixedSamplesV = 20;
    flipDiagonals = 0;
    boxTreeDepth = 0;
    constantColor = {200.0, 200.0, 200.0};
    showControlLines = showControlTriangles = closeControlStrips = 0;
    showSurfaceLines = 1;
    showSurfaceTriangles = showIntersectionMesh = 0;
    showDirections = showAttachmentSites = showHoles = showName = 1;
    coloring = Coloring::TangentAngle;
    drawingCache.markStale();
    editingSections = editingShape = false;
    reverseNormal = wrapU = wrapV = false;
    uLineEnabled = vLineEnabled = false;
    uLine = vLine = 0.0;
    derivativeOrder = 2;
}

void SurfaceSection::Reset()
{
    InitDefaults();
    holes.clear();
    FreeDerived();
    netAllocated = knotsAllocated = skipWorkspace = false;
}

void SurfaceSection::FreeDerived()
{
    LockGuard guard(geometryLock);
    boxTree.reset();
    boxTreeDepth = 0;
    displayMesh.Clear();
    displayRows = displayColumns = 0;
    collisionMesh.Clear();
    collisionRows = collisionColumns = 0;
    knotsU.reset();
    knotsV.reset();
    controlNet.reset();
    derivativeWorkspace.reset();
    netAllocated = knotsAllocated = false;
}

void SurfaceSection::AddDefaultSites()
{
    attachmentSites.emplace_back("end", SiteEdge::End, 0.0, 1.0);
    attachmentSites.emplace_back("begin", SiteEdge::Begin, 0.0, 1.0);
    attachmentSites.emplace_back("left", SiteEdge::Left, 0.0, 1.0);
    attachmentSites.emplace_back("right", SiteEdge::Right, 0.0, 1.0);
}
