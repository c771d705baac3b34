#include "document/OpenGLTemplateDoc.h"

#include "document/DataFiles.h"
#include "document/FileIO.h"
#include "document/ThreadPauseGuard.h"
#include "geometry/Matrix4.h"
#include "gul/Error.h"
#include "platform/ParallelFor.h"

#include <exception>
#include <optional>

#include <new>
#include <stdexcept>

namespace {

// Stands in for the document while a surface read from a file is built on a
// worker thread: the document's settings, but a kernel lock of the worker's
// own. The surfaces are not yet reachable from any other thread, and the
// kernel keeps its scratch memory per thread and per surface, so builds on
// different workers need not wait for each other.
class WorkerSurfaceHost : public SurfaceHost {
public:
    explicit WorkerSurfaceHost(const SurfaceHost& document) : document_(document) {}

    int splineDegreeU() const override { return document_.splineDegreeU(); }
    int splineDegreeV() const override { return document_.splineDegreeV(); }
    double surfaceBallRadius() const override { return document_.surfaceBallRadius(); }
    Vec3 verticalReference() const override { return document_.verticalReference(); }
    Lock& kernelLock() override { return lock_; }
    bool savingWholeDocument() const override { return document_.savingWholeDocument(); }

private:
    const SurfaceHost& document_;
    Lock lock_;
};

DocumentPeers& noPeers()
{
    static DocumentPeers none;
    return none;
}

SurfaceSection* findIn(const SurfaceList& list, std::string_view name, std::string_view groupName)
{
    for (const auto& s : list)
        if (textOf(s->name) == name && textOf(s->groupName) == groupName) return s.get();
    return nullptr;
}

// Clears a flag when the scope ends, however it ends.
struct FlagScope {
    std::atomic<bool>& flag;
    explicit FlagScope(std::atomic<bool>& f) : flag(f) { flag = true; }
    ~FlagScope() { flag = false; }
};

} // namespace

COpenGLTemplateDoc::COpenGLTemplateDoc(DocumentPeers* peers)
    : ballController(static_cast<double>(0.7f)),
      peers_(peers ? peers : &noPeers())
{
    libraryPath = LibraryFilePath();
    templatePath = TemplateFilePath();
    SetLightPositions();
    DeleteContents();
}

COpenGLTemplateDoc::~COpenGLTemplateDoc() { DeleteContents(); }

void COpenGLTemplateDoc::SetPeers(DocumentPeers* peers) { peers_ = peers ? peers : &noPeers(); }

void COpenGLTemplateDoc::RunSetupOnce()
{
    if (setupDone) return;
    peers_->Setup(*this);
    setupDone = true;
}

void COpenGLTemplateDoc::SetLightPositions()
{
    lightPositions[0] = {961.5, 1632.98, 0.0};
    for (int k = 1; k < 3; ++k) lightPositions[k] = rotateVector(lightPositions[k - 1], upVector, kTwoPi / 3.0);
}

// --- file commands ---

void COpenGLTemplateDoc::OnNewDocument()
{
    RunSetupOnce();
    ThreadPauseGuard pause(*peers_);
    DeleteContents();
    SetLightPositions();
    static_cast<DocumentSettings&>(*this) = DocumentSettings();
    EnsureMainGroup();
    SurfaceSection* first = CreateChannelSurface("a", 5, 2);
    ballSurface = first;
    SetBallStart(first, 0.5, 0.5);
    focalU = focalV = 0.5;
    focalSurface = first;
    UpdateFocalPoint();
    peers_->FitCameraToSurfaces();
    if (viewReady && !viewGone) peers_->PositionBall();
    peers_->StopBall();
    SetModifiedFlag(false);
    StartHistory();
}

bool COpenGLTemplateDoc::OnOpenDocument(const std::string& path, std::string& error)
{
    RunSetupOnce();
    ThreadPauseGuard pause(*peers_);
    FlagScope loadingScope(loading);
    // The surfaces are built before they replace the open document, so
    // running out of memory on the way leaves it as it was.
    try {
        std::vector<std::uint8_t> bytes;
        return ReadWholeFile(path, bytes, error) && OpenDocumentBytes(bytes, path, error);
    } catch (const std::bad_alloc&) {
        error = path + " is too large to open: there is not enough memory for its surfaces.";
    } catch (const std::length_error&) {
        error = path + " is too large to open: its surfaces ask for more than a program can hold.";
    }
    return false;
}

bool COpenGLTemplateDoc::OpenDocumentBytes(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                           std::string& error)
{
    DocumentContents contents;
    try {
        ArchiveReader reader(bytes);
        contents = ReadDocumentRecord(reader, this);
    } catch (const ArchiveError& e) {
        error = e.userMessage(fileName);
        return false;
    }
    peers_->StartProgress(2 * static_cast<int>(contents.surfaces.size()));
    if (!PrepareLoaded(contents, fileName, error)) return false;
    Adopt(contents);
    EnsureMainGroup();
    peers_->FillSurfaceTree();
    if (!surfaces.empty()) {
        SetBallStart(FindSurface(textOf(ballStartSurfaceName), textOf(ballStartGroupName)), ballStartU,
                     ballStartV);
        peers_->PositionBall();
        focalU = ballStartU;
        focalV = ballStartV;
        focalSurface = ballStartSurface;
    }
    SetModifiedFlag(false);
    StartHistory();
    return true;
}

bool COpenGLTemplateDoc::PrepareLoaded(DocumentContents& contents, const std::string& path, std::string& error)
{
    std::vector<SurfaceSection*> loaded;
    for (const auto& s : contents.surfaces) loaded.push_back(s.get());
    if (!BuildSurfaces(loaded, path, true, error)) return false;
    for (const auto& s : contents.surfaces)
        for (AttachmentSite& site : s->attachmentSites) {
            site.otherSurface =
                findIn(contents.surfaces, textOf(site.otherSurfaceName), textOf(site.otherSurfaceGroupName));
            site.pseudoSurface =
                findIn(contents.surfaces, textOf(site.pseudoSurfaceName), textOf(site.pseudoSurfaceGroupName));
        }
    for (const auto& g : contents.groups) {
        for (const std::string& member : g->memberNames) {
            SurfaceSection* s = findIn(contents.surfaces, member, textOf(g->name));
            if (!s) continue;
            g->members.push_back(s);
            s->group = g.get();
        }
    }
    return true;
}

bool COpenGLTemplateDoc::BuildSurfaces(const std::vector<SurfaceSection*>& loaded, const std::string& path,
                                       bool showProgress, std::string& error)
{
    const unsigned threads = HardwareThreads();
    std::vector<std::unique_ptr<WorkerSurfaceHost>> hosts;
    for (unsigned w = 0; w < threads; ++w) hosts.push_back(std::make_unique<WorkerSurfaceHost>(*this));
    std::vector<std::optional<std::string>> kernelFailures(loaded.size());
    std::vector<std::exception_ptr> otherFailures(loaded.size());
    std::size_t stepped = 0;
    ParallelFor(
        loaded.size(), threads,
        [&](std::size_t k, unsigned worker) {
            SurfaceSection& s = *loaded[k];
            s.requestedPointsPerSection = s.pointsPerSection;
            s.document = hosts[worker].get();
            try {
                BuildSurface(s);
            } catch (const gul::Error& e) {
                kernelFailures[k] = e.message();
            } catch (...) {
                otherFailures[k] = std::current_exception();
            }
            s.document = this;
        },
        [&](std::size_t done) {
            for (; showProgress && stepped < done; ++stepped) peers_->StepProgress();
        });
    // The first surface that failed is reported, as a build in file order would.
    for (std::size_t k = 0; k < loaded.size(); ++k) {
        if (otherFailures[k]) std::rethrow_exception(otherFailures[k]);
        if (!kernelFailures[k]) continue;
        const SurfaceSection& s = *loaded[k];
        error = path + " holds a surface that cannot be built: surface " + std::to_string(k + 1) + " (" +
                std::to_string(s.pointsPerSection) + " x " + std::to_string(s.sectionCount) +
                " control points): " + *kernelFailures[k];
        if (!error.empty() && error.back() == '\n') error.pop_back();
        return false;
    }
    return true;
}

void COpenGLTemplateDoc::BuildSurface(SurfaceSection& s)
{
    s.SizeNet(s.pointsPerSection, degreeU, s.sectionCount, degreeV);
    s.RebuildFromSections();
}

void COpenGLTemplateDoc::Adopt(DocumentContents& contents)
{
    LockGuard guard(documentLock);
    DeleteContents();
    surfaces = std::move(contents.surfaces);
    groups = std::move(contents.groups);
    static_cast<DocumentSettings&>(*this) = contents.settings;
}

std::vector<std::uint8_t> COpenGLTemplateDoc::SerializeDocument()
{
    FlagScope savingScope(savingDocument);
    ArchiveWriter writer;
    LockGuard guard(documentLock);
    WriteDocumentRecord(writer, *this, surfaces, groups);
    return writer.release();
}

bool COpenGLTemplateDoc::OnSaveDocument(const std::string& path, std::string& error)
{
    if (!WriteFileReplacing(path, SerializeDocument(), error)) return false;
    SetModifiedFlag(false);
    // Undoing back to this state clears the modified mark again, unless the
    // file holds changes that no state of the history does.
    history.MarkSaved(history.started() && TakeSnapshot(*this, &history.Current()).SameDesign(history.Current()));
    return true;
}

void COpenGLTemplateDoc::StartHistory()
{
    history.Start(TakeSnapshot(*this, nullptr), !modified_);
    peers_->HistoryChanged();
}

void COpenGLTemplateDoc::DeleteContents()
{
    LockGuard guard(documentLock);
    selectedSurface = focalSurface = ballStartSurface = ballSurface = nullptr;
    currentGroup = nullptr;
    surfaces.clear();
    groups.clear();
}

void COpenGLTemplateDoc::SetModifiedFlag(bool modified)
{
    if (modified == modified_) return;
    modified_ = modified;
    peers_->ModifiedChanged(modified);
}

void COpenGLTemplateDoc::OnCloseDocument()
{
    peers_->PauseThreads();
    peers_->DestroyProgress();
    closing = true;
    DeleteContents();
}

// --- surfaces and groups ---

SurfaceSection* COpenGLTemplateDoc::FindSurface(std::string_view name, std::string_view groupName)
{
    LockGuard guard(documentLock);
    return findIn(surfaces, name, groupName);
}

void COpenGLTemplateDoc::SetBallStart(SurfaceSection* surface, double u, double v)
{
    ballStartSurface = surface;
    if (surface) {
        setText(ballStartSurfaceName, textOf(surface->name));
        setText(ballStartGroupName, surface->group ? textOf(surface->group->name) : std::string("none"));
    }
    ballStartU = u;
    ballStartV = v;
}

void COpenGLTemplateDoc::UpdateFocalPoint()
{
    if (!focalSurface) return;
    focalPoint = focalSurface->EvaluatePoint(focalU, focalV);
    focalSurface->EvaluateDerivatives(focalU, focalV, focalDerivatives);
}

void COpenGLTemplateDoc::SetAllRender(int value)
{
    LockGuard guard(documentLock);
    for (const auto& s : surfaces) s->render = value;
    if (selectedSurface) peers_->SetRenderBox(value);
}

SurfaceSection* COpenGLTemplateDoc::CreateChannelSurface(std::string_view name, int points, int intermediate)
{
    if (points < 2 || points > kMaxSectionPoints || intermediate < 0 || intermediate > kMaxSections - 4 ||
        !currentGroup)
        return nullptr;
    auto surface = std::make_unique<SurfaceSection>(this);
    SurfaceSection* s = surface.get();
    setText(s->name, std::string(name));
    setText(s->groupName, "none");
    s->group = currentGroup;
    s->surfaceType = kTypeA;
    s->requestedPointsPerSection = points;
    s->intermediateCount = intermediate;
    try {
        s->SizeForType(kTypeA);
        s->GenerateTypeA(false);
        s->AddDefaultSites();
        s->Rebuild();
    } catch (const gul::Error&) {
        return nullptr; // the kernel cannot evaluate this net; the document is unchanged
    }
    s->drawingCache.markStale();
    // The ball start and the focus move to the first surface built; they
    // are set once the surface is complete so that a failed build changes nothing.
    if (!ballStartSurface) {
        SetBallStart(s, 0.5, 0.5);
        focalSurface = s;
        focalU = focalV = 0.5;
        UpdateFocalPoint();
    }
    AddSurfaceToGroup(s, currentGroup);
    {
        LockGuard guard(documentLock);
        surfaces.push_back(std::move(surface));
    }
    peers_->FillSurfaceTree();
    return s;
}

bool COpenGLTemplateDoc::SurfaceNameExistsInGroup(std::string_view name, std::string_view groupName)
{
    LockGuard guard(documentLock);
    for (const auto& g : groups) {
        if (textOf(g->name) != groupName) continue;
        for (const SurfaceSection* s : g->members)
            if (textOf(s->name) == name) return true;
        return false;
    }
    return false;
}

SurfaceGroup* COpenGLTemplateDoc::CreateGroup(std::string_view name)
{
    auto group = std::make_unique<SurfaceGroup>();
    setText(group->name, std::string(name));
    LockGuard guard(documentLock);
    groups.push_back(std::move(group));
    return groups.back().get();
}

bool COpenGLTemplateDoc::GroupNameExists(std::string_view name)
{
    LockGuard guard(documentLock);
    for (const auto& g : groups)
        if (textOf(g->name) == name) return true;
    return false;
}

void COpenGLTemplateDoc::AddSurfaceToGroup(SurfaceSection* surface, SurfaceGroup* group)
{
    LockGuard guard(documentLock);
    if (group->contains(surface)) return;
    surface->group = group;
    setText(surface->groupName, textOf(group->name));
    group->members.push_back(surface);
    group->memberNames.push_back(textOf(surface->name));
}

void COpenGLTemplateDoc::EnsureMainGroup()
{
    if (currentGroup) return;
    LockGuard guard(documentLock);
    for (const auto& g : groups) {
        if (textOf(g->name) == textOf(mainGroupName)) {
            currentGroup = g.get();
            return;
        }
    }
    currentGroup = CreateGroup(textOf(mainGroupName));
}
