#pragma once

// Editing the parameters of type A, B and C channel surfaces: type A live,
// with an undo copy; types B and C through "Apply and Save".

#include "design/SectionTransforms.h"
#include "surface/SurfaceSection.h"

#include <string>

class COpenGLTemplateDoc;

namespace design {

inline constexpr const char* kOnlyChannelSurfaces =
    "You can only edit channel surfaces not created as attached surfaces.";
inline constexpr const char* kInitialDirectionsSource =
    "Select a surface whose beginning or end directions will be used as the INITIAL directions for this surface.";
inline constexpr const char* kFinalDirectionsSource =
    "Select a surface whose beginning or end directions will be used as the FINAL directions for this surface.";
inline constexpr const char* kInitialPositionSource =
    "Select a surface whose beginning or end position will be used as the INITIAL position for this surface.";
inline constexpr const char* kFinalPositionSource =
    "Select a surface whose beginning or end position will be used as the FINAL position for this surface.";

inline constexpr const char* kDetachNotice = "Closing after Save detaches this surface from: ";

// The type A dialog's sliders: angles in whole degrees, distances in scene
// units, each from 0; a page is the step of a click on the slider's track.
inline constexpr int kAngleSliderHigh = 360, kAngleSliderPage = 18;
inline constexpr int kDistanceSliderHigh = 100, kDistanceSliderPage = 10;

// "Edit selected" of the control panel: done when the selected surface can be
// edited by the dialog of its type (A, B or C), else the refusal.
DesignResult CheckChannelEditable(const COpenGLTemplateDoc& document);

// What an editing dialog says of a linked surface, whose links a save breaks
// as the dialog closes: kDetachNotice, then each linked surface's name with
// this surface's site, "turn1 (begin), turn3 (end)" (document name bytes).
// Empty for a surface without links.
std::string DetachNotice(const SurfaceSection& surface);

// True when the surface is in the document's surface list.
bool SurfaceInDocument(COpenGLTemplateDoc& document, const SurfaceSection* surface);

// The undo copy of the type A dialog.
struct TypeAParameters {
    std::int32_t intermediateCount = 2;
    HorizontalTurn horizontalTurn;
    VerticalTurn verticalTurn;
    AxisRotation axisRotation;
    HorizontalDisplacement horizontalDisplacement;
    VerticalDisplacement verticalDisplacement;
    bool scaleChange = false;
    double scaleTo = 1.0, scaleFrom = 1.0;

    static TypeAParameters of(const SurfaceSection& s);
    void applyTo(SurfaceSection& s) const;
};

// The parameter groups of the type A dialog.
enum class TypeAGroup { HorizontalTurn, VerticalTurn, AxisRotation, HorizontalDisplacement, VerticalDisplacement };

// What the editing dialogs share: the surface, the editing display and the
// saved and modified flags; "Close" breaks the links after a save.
class ChannelEditorBase {
public:
    explicit ChannelEditorBase(COpenGLTemplateDoc& document) : document_(document) {}
    SurfaceSection* surface() const { return surface_; }
    bool saved() const { return saved_; }
    bool modified() const { return modified_; }
    // The intermediate cross-section count (kIntermediateLow to
    // kIntermediateHigh): the net is resized and regenerated at once, a new
    // cross section taking the shape of the last one.
    DesignResult SetIntermediateCount(int count);
    // False once the surface opened for has left the document (deleted, or
    // the document emptied by "New" or "Open"): the editor then forgets it
    // without touching it, and every later call does nothing.
    bool StillEditing();

protected:
    DesignResult OpenFor(int type);
    // After a save: every link of the surface broken, trees refilled, meshes rebuilt.
    void FinishSaved();
    void EndEditing();
    // Back to the count found at opening, with the net sized for it.
    void RestoreIntermediateCount(int count);

    COpenGLTemplateDoc& document_;
    SurfaceSection* surface_ = nullptr;
    bool saved_ = false;
    bool modified_ = false;
    EditingHold hold_;
};

// "Edit surface (type A)": every change regenerates the surface at once.
class TypeAEditor : public ChannelEditorBase {
public:
    using ChannelEditorBase::ChannelEditorBase;

    DesignResult Open();
    void SetPerform(TypeAGroup group, bool on);
    // "Left", "Down", "Clockwise", "Displace left", "Displace down".
    void SetSense(TypeAGroup group, bool on);
    // Turns and the rotation: whole degrees on the slider, kept in radians.
    void SetAngleDegrees(TypeAGroup group, double degrees);
    // Displacements.
    void SetDistance(TypeAGroup group, double distance);
    // The degrees a slider shows for an angle (truncated).
    static int ShownDegrees(double radians);
    void Save();
    void Close();

private:
    void Changed();
    TypeAParameters undo_;
};

// One choice of a type B or C dialog: "Current ...   OR" (0), "Beggining
// of surface :" (1), "End of surface :" (2), with the surface of its combo box.
struct SourceChoice {
    int choice = 0;
    SurfaceSection* source = nullptr;
    bool opposite = false; // directions only: "Opposite of"
};

// "Edit surface (type B)" and "(type C)"; positions are used by C only.
class TypeBCEditor : public ChannelEditorBase {
public:
    using ChannelEditorBase::ChannelEditorBase;

    DesignResult Open(int type);
    DesignResult ApplyAndSave(const SourceChoice& initialDirections, const SourceChoice& finalDirections,
                              const SourceChoice& initialPosition = {}, const SourceChoice& finalPosition = {});
    void Close();

private:
    std::int32_t intermediateCount_ = 2;
    int type_ = kTypeB;
};

} // namespace design
