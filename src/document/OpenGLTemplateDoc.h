#pragma once

#include "document/BallController.h"
#include "document/DocumentHistory.h"
#include "document/DocumentFile.h"
#include "document/DocumentPeers.h"
#include "document/DocumentSettings.h"
#include "document/SurfaceGroup.h"
#include "platform/Lock.h"
#include "simulation/SimulationState.h"
#include "surface/RetiredDisplayLists.h"
#include "surface/SurfaceHost.h"
#include "surface/SurfaceSection.h"

#include <atomic>
#include <span>
#include <string>
#include <string_view>

// The single document: it owns every surface and group, the settings a file
// keeps (inherited from DocumentSettings, so they read as document fields),
// the arcball, the data-file paths and the locks the three threads share.
// Lock order: documentLock before a surface's geometryLock.
class COpenGLTemplateDoc : public SurfaceHost, public DocumentSettings {
public:
    // peers may be none: a headless document talks to nothing.
    explicit COpenGLTemplateDoc(DocumentPeers* peers = nullptr);
    ~COpenGLTemplateDoc() override;
    COpenGLTemplateDoc(const COpenGLTemplateDoc&) = delete;
    COpenGLTemplateDoc& operator=(const COpenGLTemplateDoc&) = delete;

    void SetPeers(DocumentPeers* peers);
    // The program around the document (control panel trees, render box, ...).
    DocumentPeers& peers() { return *peers_; }

    // Display lists of destroyed surfaces, deleted by the render thread.
    // Declared before the surfaces, so it outlives them.
    RetiredDisplayLists retiredDisplayLists;

    // --- collections (insertions, removals and whole-list walks under documentLock) ---
    SurfaceList surfaces;             // creation/load order: file and drawing order
    GroupList groups;                 // the first one is normally the main group
    SurfaceGroup* currentGroup = nullptr; // the group new surfaces join
    char mainGroupName[kLongNameSize] = "main";
    SurfaceSection* selectedSurface = nullptr; // may be none
    SurfaceSection* focalSurface = nullptr;    // may be none
    SurfaceSection* ballStartSurface = nullptr; // may be none
    SurfaceSection* ballSurface = nullptr;      // the surface the ball is on; may be none
    std::string libraryPath;  // next to the executable
    std::string templatePath; // next to the executable
    std::int32_t degreeU = 2, degreeV = 2;

    // --- constant vectors ---
    static constexpr Vec3 zeroVector{0.0, 0.0, 0.0};
    static constexpr Vec3 upVector{0.0, 1.0, 0.0}; // the vertical reference
    static constexpr Vec3 downVector{0.0, -1.0, 0.0};
    static constexpr Vec3 airColor{255.0, 255.0, 255.0};  // ball path in the air
    static constexpr Vec3 impactColor{200.0, 0.0, 0.0};   // ball path at impacts

    // --- flags ---
    std::atomic<bool> savingDocument{false}; // a whole-document save is running
    std::atomic<bool> loading{false};        // "Open" is running
    std::atomic<bool> closing{false};
    std::atomic<bool> viewReady{false};      // the view's threads run
    std::atomic<bool> viewGone{false};       // the view is destroyed
    bool setupDone = false;

    // --- locks ---
    Lock documentLock;    // surfaces and groups
    Lock geometryLock;    // every call into the spline kernel
    Lock simulationLock;  // the future ball and camera paths
    Lock pathLock;        // the past ball path
    Lock cameraLock;      // the active follow camera
    Lock cameraPathLock;  // the camera's past path

    CBallController ballController;
    Vec3 lightPositions[3];
    // Derivatives, normal and curvature at the focal point (UpdateFocalPoint).
    SurfaceDerivatives focalDerivatives;
    // The ball, its paths, the step timing and the follow camera.
    SimulationState simulation;

    // --- file commands ---
    // "New": the main group, the surface "a" (5 points, 2 intermediate
    // sections) as ball, start and focal surface at (0.5, 0.5).
    void OnNewDocument();
    // "Open": reads the file apart from this document and takes its contents
    // only when the whole file has been read; then rebuilds and links
    // everything. On failure returns false, sets error to one line naming the
    // file and the reason, and the document stays exactly as it was.
    bool OnOpenDocument(const std::string& path, std::string& error);
    // The part of "Open" after the file is read: bytes hold the whole file,
    // fileName is used in messages. Same failure rule as OnOpenDocument.
    bool OpenDocumentBytes(std::span<const std::uint8_t> bytes, const std::string& fileName, std::string& error);
    // "Save": writes the whole document through a temporary file renamed over
    // path. On failure returns false with error set; the file on disk is untouched.
    bool OnSaveDocument(const std::string& path, std::string& error);
    // The bytes "Save" writes.
    std::vector<std::uint8_t> SerializeDocument();
    // Emptying: destroys every surface and group; no surface references remain.
    void DeleteContents();
    void OnCloseDocument();

    // --- surfaces and groups ---
    // The first surface with exactly this name and group name, or none.
    SurfaceSection* FindSurface(std::string_view name, std::string_view groupName);
    void SetBallStart(SurfaceSection* surface, double u, double v);
    // focalPoint and focalDerivatives from focalSurface at (focalU, focalV);
    // nothing changes without a focal surface.
    void UpdateFocalPoint();
    void SetAllRender(int value);
    // A type A channel of `points` points per section (2..20) and
    // `intermediate` intermediate sections (0..20) in the current group; none
    // (and nothing changed) when a count is out of range, there is no current
    // group, or the spline kernel cannot build the net.
    SurfaceSection* CreateChannelSurface(std::string_view name, int points, int intermediate);
    bool SurfaceNameExistsInGroup(std::string_view name, std::string_view groupName);
    SurfaceGroup* CreateGroup(std::string_view name);
    bool GroupNameExists(std::string_view name);
    // Does nothing when the surface is already in the group.
    void AddSurfaceToGroup(SurfaceSection* surface, SurfaceGroup* group);
    // Makes the group named mainGroupName current, creating it when absent.
    void EnsureMainGroup();

    // --- the modified flag ---
    // Set by every change a user makes to surfaces, groups, sites, holes, the
    // ball start or the stored switches; cleared by "New", "Open" and a
    // successful "Save". The peers hear of every change of the flag.
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true);

    // --- the undo history ---
    // Started by "New" and "Open" with the document as it then is.
    DocumentHistory history;
    // The document as it stands becomes the history's only state (the saved
    // one unless the document is modified).
    void StartHistory();
    // What a restore did: the surfaces it read from the snapshot (in list
    // order), those of them whose name and group no surface had before, and
    // whether surfaces that were in the document are gone.
    struct RestoreOutcome {
        std::vector<SurfaceSection*> changed;
        std::vector<SurfaceSection*> added;
        bool destroyed = false;
    };
    // Makes the document what the snapshot holds. Surfaces whose records
    // equal the snapshot's stay as they are (one that differs only in its
    // render flag just takes it), the others are read from the snapshot and
    // built; groups, current group, ball start and focal point follow, and
    // every link and reference is resolved again by name and group (a
    // selection or ball surface that is gone becomes none). The threads must
    // be held. False (error set, nothing changed) when a surface cannot be built.
    bool RestoreSnapshot(const DocumentSnapshot& snapshot, RestoreOutcome& outcome, std::string& error);

    // --- SurfaceHost ---
    int splineDegreeU() const override { return degreeU; }
    int splineDegreeV() const override { return degreeV; }
    double surfaceBallRadius() const override { return ballRadius; }
    Vec3 verticalReference() const override { return upVector; }
    Lock& kernelLock() override { return geometryLock; }
    bool savingWholeDocument() const override { return savingDocument; }
    void RetireDisplayList(std::int32_t list) override { retiredDisplayLists.Retire(list); }
    void SurfaceChanged() override { SetModifiedFlag(); }

private:
    void RunSetupOnce();
    void SetLightPositions();
    // Rebuilds and links surfaces read from a file before they join the
    // document; false (error set) when a surface cannot be built.
    bool PrepareLoaded(DocumentContents& contents, const std::string& path, std::string& error);
    // Builds surfaces read from a file (or the history) side by side on all
    // processors, stepping the loading progress when asked; false (error set,
    // naming the first that failed in `path`) when one cannot be built.
    bool BuildSurfaces(const std::vector<SurfaceSection*>& loaded, const std::string& path, bool showProgress,
                       std::string& error);
    // Net, section vectors, end frames, height range, meshes and boxes of a surface.
    void BuildSurface(SurfaceSection& surface);
    void Adopt(DocumentContents& contents);
    // Parts of RestoreSnapshot (SnapshotRestore.cpp).
    void RestoreGroups(const DocumentSnapshot& snapshot);
    void RestoreFocus(const DocumentSnapshot& snapshot);
    void RelinkSites();

    DocumentPeers* peers_;
    bool modified_ = false; // user-interface thread only
};
