#include "design/SectionTransforms.h"

#include "design/AttachmentSites.h"
#include "document/OpenGLTemplateDoc.h"
#include "geometry/Matrix4.h"

#include <algorithm>

namespace design {

namespace {

// The display switches, in their documented order (the colouring follows them).
constexpr std::int32_t SurfaceSection::* kDisplayFields[10] = {
    &SurfaceSection::showControlLines,   &SurfaceSection::showControlTriangles, &SurfaceSection::closeControlStrips,
    &SurfaceSection::showSurfaceLines,   &SurfaceSection::showSurfaceTriangles, &SurfaceSection::showIntersectionMesh,
    &SurfaceSection::showDirections,     &SurfaceSection::showAttachmentSites,  &SurfaceSection::showHoles,
    &SurfaceSection::showName};

// A cross section's frame: forward d, up u and lateral l = normalise(d x u).
struct SectionFrame {
    Vec3 d, u, l;
    explicit SectionFrame(const CrossSection& c) : d(c.direction), u(c.up), l(normalized(cross(c.direction, c.up))) {}

    const Vec3& axis(int mode) const { return mode == kAxisChannel ? d : mode == kAxisRightLeft ? l : u; }
};

double radians(double degrees) { return degrees / 360.0 * kTwoPi; }

// The unit vector a move of cross section i goes along, from the backups.
Vec3 moveVector(const SurfaceSection& s, int i, int direction)
{
    const SectionFrame f(s.spareSections[i]);
    switch (direction) {
    case kMoveUpDown: return f.u;
    case kMoveForwardBackward: return f.d;
    case kMoveChannelDirection:
        // Positive values move towards the beginning of the channel.
        if (i > 0) return normalized(s.spareSections[i - 1].position - s.spareSections[i].position);
        return normalized(s.spareSections[0].position - s.spareSections[1].position);
    default: return f.l;
    }
}

bool sameRecord(const CrossSection& a, const CrossSection& b)
{
    if (!(a.position == b.position && a.direction == b.direction && a.up == b.up && a.scale == b.scale &&
          a.pointCount == b.pointCount))
        return false;
    const int count = std::clamp(a.pointCount, 0, kMaxSectionPoints);
    return std::equal(a.points, a.points + count, b.points);
}

int sectionsOf(const SurfaceSection& s) { return std::clamp(s.sectionCount, 0, kMaxSections); }

} // namespace

double ScaleFactor(double step) { return step >= 0.0 ? 1.0 + step / 100.0 : 1.0 + step / 200.0; }

DisplaySettings SaveDisplaySettings(const SurfaceSection& surface)
{
    DisplaySettings saved;
    for (int k = 0; k < 10; ++k) saved.values[k] = surface.*kDisplayFields[k];
    saved.coloring = surface.coloring;
    return saved;
}

void RestoreDisplaySettings(SurfaceSection& surface, const DisplaySettings& settings)
{
    for (int k = 0; k < 10; ++k) surface.*kDisplayFields[k] = settings.values[k];
    surface.coloring = settings.coloring;
    surface.drawingCache.markStale();
}

void ApplyEditingDisplay(SurfaceSection& surface)
{
    for (auto field : kDisplayFields) surface.*field = 0;
    surface.coloring = Coloring::Constant;
    surface.showControlLines = surface.showDirections = surface.showName = 1;
    surface.drawingCache.markStale();
}

DesignResult EditingHold::Take(SurfaceSection& s, bool shape)
{
    if (s.heldByEditor) return kSurfaceBeingEdited;
    s.heldByEditor = this;
    display_ = SaveDisplaySettings(s);
    ApplyEditingDisplay(s);
    s.editingSections = true;
    s.editingShape = shape;
    s.highlightedSections = 0;
    return {};
}

void EditingHold::GiveBack(SurfaceSection& s)
{
    RestoreDisplaySettings(s, display_);
    s.editingSections = s.editingShape = false;
    s.highlightedSections = 0;
    if (Holds(s)) s.heldByEditor = nullptr;
}

bool EditingHold::Holds(const SurfaceSection& s) const { return s.heldByEditor == this; }

void BreakEdgeLinks(SurfaceSection& surface, SiteEdge edge)
{
    for (std::size_t k = 0; k < surface.attachmentSites.size(); ++k) {
        const AttachmentSite& site = surface.attachmentSites[k];
        // A linked site is never refused.
        if (site.edge() == edge && site.otherSurface) static_cast<void>(BreakAttachment(surface, static_cast<int>(k)));
    }
    surface.drawingCache.markStale();
}

void BreakAllLinks(SurfaceSection& surface)
{
    for (std::size_t k = 0; k < surface.attachmentSites.size(); ++k)
        if (surface.attachmentSites[k].otherSurface) static_cast<void>(BreakAttachment(surface, static_cast<int>(k)));
    surface.drawingCache.markStale();
}

void RebuildNetFromSections(SurfaceSection& surface)
{
    surface.BuildNet();
    surface.ComputeSectionVectors();
    surface.CopyEndFrames();
    surface.ComputeHeightRange();
    surface.drawingCache.markStale();
}

void TransformSelected(SurfaceSection& s, const std::vector<int>& selection, TransformKind kind, int mode,
                       double value, bool pasted)
{
    const int n = sectionsOf(s);
    for (int i : selection) {
        if (i < 0 || i >= n) continue;
        const CrossSection& backup = s.spareSections[i];
        CrossSection& live = s.sections[i];
        const SectionFrame f(backup);
        live.position = backup.position;
        live.direction = backup.direction;
        live.up = backup.up;
        live.scale = backup.scale;
        switch (kind) {
        case TransformKind::Rotate:
            live.direction = rotateVector(backup.direction, f.axis(mode), radians(value));
            live.up = rotateVector(backup.up, f.axis(mode), radians(value));
            break;
        case TransformKind::Move: live.position = backup.position + value * moveVector(s, i, mode); break;
        case TransformKind::Scale: live.scale = pasted ? value : backup.scale * ScaleFactor(value); break;
        case TransformKind::EditShape: break;
        }
    }
    RebuildNetFromSections(s);
}

void TransformFromIndex(SurfaceSection& s, int first, TransformKind kind, int mode, double value, bool pasted)
{
    const int n = sectionsOf(s);
    if (first < 0 || first >= n) return;
    const SectionFrame f(s.spareSections[first]);
    switch (kind) {
    case TransformKind::Rotate: {
        const Vec3 axis = f.axis(mode);
        for (int i = first; i < n; ++i) {
            CrossSection& c = s.sections[i];
            c.direction = rotateVector(c.direction, axis, radians(value));
            c.up = rotateVector(c.up, axis, radians(value));
            c.toNext = rotateVector(c.toNext, axis, radians(value));
        }
        // The channel bends at `first`: later positions follow the turned segments.
        for (int i = first + 1; i < n; ++i) {
            const CrossSection& previous = s.sections[i - 1];
            s.sections[i].position = previous.position + previous.distanceToNext * normalized(previous.toNext);
        }
        break;
    }
    case TransformKind::Move: {
        const Vec3 shift = value * moveVector(s, first, mode);
        for (int i = first; i < n; ++i) s.sections[i].position += shift;
        break;
    }
    case TransformKind::Scale:
        for (int i = first; i < n; ++i) s.sections[i].scale = pasted ? value : s.sections[i].scale * ScaleFactor(value);
        break;
    case TransformKind::EditShape: break;
    }
    RebuildNetFromSections(s);
}

// --- the editor ---

SectionTransformEditor::SectionTransformEditor(COpenGLTemplateDoc& document) : document_(document) {}

DesignResult SectionTransformEditor::Open()
{
    if (!document_.selectedSurface) return kSelectSurfaceToEdit;
    if (auto refusal = hold_.Take(*document_.selectedSurface, true); !refusal.ok()) return refusal;
    surface_ = document_.selectedSurface;
    SurfaceSection& s = *surface_;
    s.ComputeSectionVectors();
    s.spareSections = s.sections;
    axis_ = kAxisUpDown;
    direction_ = kMoveRightLeft;
    modified_ = saved_ = false;
    selection_.clear();
    return {};
}

void SectionTransformEditor::SetSelection(std::vector<int> selection)
{
    Revert();
    std::sort(selection.begin(), selection.end());
    selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
    const int n = surface_ ? sectionsOf(*surface_) : 0;
    std::erase_if(selection, [n](int i) { return i < 0 || i >= n; });
    selection_ = std::move(selection);
    static_assert(kMaxSections <= 32, "one bit per cross section");
    std::uint32_t highlighted = 0;
    for (int i : selection_) highlighted |= 1u << i;
    if (surface_) surface_->highlightedSections = highlighted;
}

void SectionTransformEditor::SelectAll()
{
    std::vector<int> all(surface_ ? sectionsOf(*surface_) : 0);
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    SetSelection(std::move(all));
}

void SectionTransformEditor::SetAxis(int axis)
{
    axis_ = std::clamp(axis, 0, 2);
    Revert();
}

void SectionTransformEditor::SetMoveDirection(int direction)
{
    direction_ = std::clamp(direction, 0, 3);
    Revert();
}

void SectionTransformEditor::SetSubsequent(bool on)
{
    subsequent_ = on;
    Revert();
}

int SectionTransformEditor::firstSelected() const { return selection_.empty() ? -1 : selection_.front(); }

bool SectionTransformEditor::selects(int index) const
{
    return std::binary_search(selection_.begin(), selection_.end(), index);
}

DesignResult SectionTransformEditor::CanTransform(TransformKind kind) const
{
    if (!surface_) return kSelectSurfaceToEdit;
    const int t = surface_->surfaceType;
    const int n = sectionsOf(*surface_);
    const int k = firstSelected();
    const bool split = selects(0) != selects(1) || selects(n - 2) != selects(n - 1);
    const bool touchesEnds = selects(0) || selects(1) || selects(n - 2) || selects(n - 1);
    const bool all = static_cast<int>(selection_.size()) == n;

    if (t == kTypeCircular) {
        switch (kind) {
        case TransformKind::Rotate:
            if (!all) return kRotateAllCircular;
            if (axis_ != kAxisChannel) return kCircularChannelAxisOnly;
            return {};
        case TransformKind::Move: return all || direction_ == kMoveUpDown ? "" : kCircularMoveRule;
        case TransformKind::Scale: return {};
        case TransformKind::EditShape: return kCircularShapeFixed;
        }
    }
    if (kind == TransformKind::EditShape) {
        if (split) return kEndsTogether;
        if (t == kTypeAttached && (k == 0 || k == 1)) return kAttachedShapeFixed;
        return {};
    }
    if (!subsequent_) {
        if (split && !(kind == TransformKind::Move && direction_ == kMoveForwardBackward)) return kEndsTogether;
        if (kind == TransformKind::Rotate && axis_ != kAxisChannel && touchesEnds) return kEndsChannelAxisOnly;
    } else {
        if (k == n - 1) return kLastNotAlone;
        if (k == 1) return kSecondNotAlone;
    }
    if (t == kTypeAttached && (k == 0 || k == 1)) return kAttachedFixed;
    return {};
}

DesignResult SectionTransformEditor::CheckEditShape() const
{
    if (selection_.empty()) return kEditShapeNeedsSelection;
    return CanTransform(TransformKind::EditShape);
}

void SectionTransformEditor::RestoreFromBackup()
{
    if (!surface_) return;
    const int n = sectionsOf(*surface_);
    std::copy_n(surface_->spareSections.begin(), n, surface_->sections.begin());
}

DesignResult SectionTransformEditor::ChangeValue(TransformKind kind, double value)
{
    if (!surface_ || kind == TransformKind::EditShape) return {};
    if (IgnoresValueChanges()) return {};
    if (auto refusal = CanTransform(kind); !refusal.ok()) return refusal;
    modified_ = true;
    const int mode = kind == TransformKind::Rotate ? axis_ : kind == TransformKind::Move ? direction_ : 0;
    if (!subsequent_) {
        TransformSelected(*surface_, selection_, kind, mode, value, false);
    } else {
        RestoreFromBackup();
        TransformFromIndex(*surface_, firstSelected(), kind, mode, value, false);
    }
    return {};
}

DesignResult SectionTransformEditor::Copy()
{
    if (!surface_ || selection_.size() != 1) return kCopyNeedsOne;
    clipboardScale = surface_->sections[selection_.front()].scale;
    return {};
}

DesignResult SectionTransformEditor::Paste()
{
    if (!surface_) return kSelectSurfaceToEdit;
    if (auto refusal = CanTransform(TransformKind::Scale); !refusal.ok()) return refusal;
    modified_ = true;
    if (subsequent_) {
        if (selection_.empty()) return {};
        RestoreFromBackup();
        TransformFromIndex(*surface_, firstSelected(), TransformKind::Scale, 0, clipboardScale, true);
    } else {
        TransformSelected(*surface_, selection_, TransformKind::Scale, 0, clipboardScale, true);
    }
    return {};
}

void SectionTransformEditor::Revert()
{
    modified_ = false;
    if (!surface_) return;
    RestoreFromBackup();
    RebuildNetFromSections(*surface_);
}

void SectionTransformEditor::Commit()
{
    if (!surface_) return;
    SurfaceSection& s = *surface_;
    saved_ = true;
    modified_ = false;
    const int n = sectionsOf(s);
    bool changed = false;
    for (int i = 0; i < n && !changed; ++i) changed = !sameRecord(s.sections[i], s.spareSections[i]);
    std::copy_n(s.sections.begin(), n, s.spareSections.begin());
    if (changed) s.MarkChanged();
    // Links stay where nothing moved: a save without a change keeps them.
    if (!changed || selection_.empty()) return;
    const int k = firstSelected();
    const bool beginMoved = selects(0) || selects(1) || (subsequent_ && k < 2);
    const bool endMoved = selects(n - 2) || selects(n - 1) || (subsequent_ && k <= n - 2);
    // An attached surface keeps its beginning linked to the surface it grew from.
    if (beginMoved && s.surfaceType != kTypeAttached) BreakEdgeLinks(s, SiteEdge::Begin);
    if (endMoved) BreakEdgeLinks(s, SiteEdge::End);
    BreakEdgeLinks(s, SiteEdge::Left);
    BreakEdgeLinks(s, SiteEdge::Right);
}

bool SectionTransformEditor::SurfaceInDocument() const
{
    return surface_ && std::any_of(document_.surfaces.begin(), document_.surfaces.end(),
                                   [this](const auto& s) { return s.get() == surface_; });
}

void SectionTransformEditor::Close()
{
    if (!surface_) return;
    SurfaceSection& s = *surface_;
    // Changes since the last save are dropped; saved ones are kept.
    if (modified_) Revert();
    if (saved_) {
        document_.peers().FillSurfaceTree();
        RebuildNetFromSections(s);
        s.Rebuild();
    }
    hold_.GiveBack(s);
    surface_ = nullptr;
}

} // namespace design
