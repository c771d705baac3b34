#pragma once

// Rotating, moving and scaling chosen cross sections of a surface, as a live
// preview computed from the backup bank (spareSections), with commit and
// revert. Also the editing display preset that the editing dialogs share.

#include "design/DesignResult.h"
#include "surface/SurfaceDesign.h"

#include <cstdint>
#include <string>
#include <vector>

class COpenGLTemplateDoc;
class SurfaceSection;

namespace design {

inline constexpr const char* kSelectSurfaceToEdit = "Select a surface to edit.";
inline constexpr const char* kRotateAllCircular = "You must rotate all of the circular cross sections at once.";
inline constexpr const char* kCircularChannelAxisOnly =
    "The circular cross sections can only be rotated about the channel axis.";
inline constexpr const char* kCircularMoveRule = "You must either translate all of the cross sections together or you "
                                                 "can translate individual cross sections up and down.";
inline constexpr const char* kCircularShapeFixed = "You cannot edit the cross sections of a circular surface.";
inline constexpr const char* kEndsTogether =
    "The first two and the last two cross sections must be transformed together.";
inline constexpr const char* kAttachedShapeFixed =
    "You cannot change the shape of the first or second cross section of a surface attached to the left or right "
    "side of another channel surface";
inline constexpr const char* kEndsChannelAxisOnly =
    "The first two and the last two cross sections can only be rotated about the channel axis.";
inline constexpr const char* kLastNotAlone =
    "You cannot transform the last cross section independently of the next to last cross section.";
inline constexpr const char* kSecondNotAlone =
    "You cannot transform the second cross section independently of the first cross section.";
inline constexpr const char* kAttachedFixed =
    "You cannot transform the first or second cross section of a surface attached to the left or right side of "
    "another channel surface";
inline constexpr const char* kCopyNeedsOne =
    "Select exactly one cross section whose scaling should be copied to the clip-board.";
inline constexpr const char* kEditShapeNeedsSelection = "Select at least once cross section whose shape you will edit.";
inline constexpr const char* kSurfaceBeingEdited =
    "This surface is already being edited in another dialog. Close that dialog first.";

enum class TransformKind { Rotate, Move, Scale, EditShape };
// Rotation axes and move directions, in the order of the radio buttons.
enum RotationAxis : int { kAxisUpDown = 0, kAxisChannel = 1, kAxisRightLeft = 2 };
enum MoveDirection : int { kMoveRightLeft = 0, kMoveUpDown = 1, kMoveForwardBackward = 2, kMoveChannelDirection = 3 };

// The sliders of the dialog: range and page step of each value.
struct TransformSliderRange {
    int minimum, maximum, pageStep;
};
inline constexpr TransformSliderRange kRotationSlider{0, 360, 18};    // degrees
inline constexpr TransformSliderRange kMoveSlider{-100, 100, 10};     // length units
inline constexpr TransformSliderRange kScaleSlider{-100, 100, 10};    // scale steps

// Scale factor of a scale step in -100..100: -100 halves, 100 doubles.
double ScaleFactor(double step);

// The display settings of a surface: its 10 switches (showControlLines ...
// showName) and its colouring.
struct DisplaySettings {
    std::int32_t values[10] = {};
    Coloring coloring = Coloring::Constant;
};
DisplaySettings SaveDisplaySettings(const SurfaceSection& surface);
void RestoreDisplaySettings(SurfaceSection& surface, const DisplaySettings& settings);
// Control lines, directions and name only; constant colour.
void ApplyEditingDisplay(SurfaceSection& surface);

// What an editor takes of its surface while open: the surface itself (one
// editor at a time) and its display, replaced by the editing display until
// it is given back.
class EditingHold {
public:
    // shape: the cross sections' shapes are being edited too. Refused while
    // any editor holds the surface.
    DesignResult Take(SurfaceSection& surface, bool shape);
    // The display back, the editing flags and highlights cleared, the surface free.
    void GiveBack(SurfaceSection& surface);
    bool Holds(const SurfaceSection& surface) const;

private:
    DisplaySettings display_;
};

// Breaks every link of the surface on that edge (BreakAttachment on each).
void BreakEdgeLinks(SurfaceSection& surface, SiteEdge edge);
// Breaks every link of the surface.
void BreakAllLinks(SurfaceSection& surface);

// The surface operations, each cross section computed from its backup.
// mode is the rotation axis or the move direction; with `pasted` a scale sets
// the factor to value instead of stepping it.
void TransformSelected(SurfaceSection& surface, const std::vector<int>& selection, TransformKind kind, int mode,
                       double value, bool pasted);
// Applies the change to cross section `first` and every later one as a chain
// (a rotation bends the channel at `first`), on the live records.
void TransformFromIndex(SurfaceSection& surface, int first, TransformKind kind, int mode, double value, bool pasted);
// Net, section vectors, end frames and height range from the live records.
void RebuildNetFromSections(SurfaceSection& surface);

// "Edit intermediate surface cross sections" without its window: acts on the
// surface it was opened for.
class SectionTransformEditor {
public:
    explicit SectionTransformEditor(COpenGLTemplateDoc& document);

    // Opens for the document's selected surface.
    DesignResult Open();
    SurfaceSection* surface() const { return surface_; }

    // 0-based indices of the selected lines; changing the selection, the
    // axis, the direction or the subsequent box first reverts the preview.
    void SetSelection(std::vector<int> selection);
    void SelectAll();
    void SetAxis(int axis);
    void SetMoveDirection(int direction);
    void SetSubsequent(bool on);
    const std::vector<int>& selection() const { return selection_; }

    // With "subsequent" on, a chain starts at exactly one selected line:
    // value changes are then ignored (the slider does not move).
    bool IgnoresValueChanges() const { return subsequent_ && selection_.size() != 1; }
    bool subsequent() const { return subsequent_; }
    // Done when the transform is allowed, else refused.
    DesignResult CanTransform(TransformKind kind) const;
    // A slider or spin change of the rotation (degrees), move or scale value.
    DesignResult ChangeValue(TransformKind kind, double value);
    DesignResult Copy();
    DesignResult Paste();
    // "Edit shape": done when the shape editor may open for the selection.
    DesignResult CheckEditShape() const;

    void Revert();
    void Commit();
    void Close();
    // False once the surface it was opened for has left the document
    // (deleted, or the document emptied by "New" or "Open").
    bool SurfaceInDocument() const;
    // Lets go of a surface that has left the document, without touching it.
    void Abandon() { surface_ = nullptr; }

    double clipboardScale = 1.0;
    bool modified() const { return modified_; }
    bool saved() const { return saved_; }

private:
    int firstSelected() const;
    bool selects(int index) const;
    void RestoreFromBackup();

    COpenGLTemplateDoc& document_;
    SurfaceSection* surface_ = nullptr;
    std::vector<int> selection_;
    int axis_ = kAxisUpDown;
    int direction_ = kMoveRightLeft;
    bool subsequent_ = false;
    bool modified_ = false;
    bool saved_ = false;
    EditingHold hold_;
};

} // namespace design
