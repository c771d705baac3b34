#include "design/ChannelEditing.h"

#include "design/ChannelCreation.h"
#include "document/OpenGLTemplateDoc.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace design {

namespace {

double radians(double degrees) { return degrees / 360.0 * kTwoPi; }

bool needsSource(const SourceChoice& c) { return (c.choice == 1 || c.choice == 2) && !c.source; }

// Sizes the net for `count` intermediate cross sections; cross sections that
// were not in use take the shape of the last one that was.
void resizeForIntermediate(SurfaceSection& s, int count)
{
    const int before = std::clamp(s.sectionCount, 1, kMaxSections);
    s.intermediateCount = count;
    s.SizeForType(s.surfaceType);
    const CrossSection& last = s.sections[before - 1];
    for (int i = before; i < std::min(s.sectionCount, kMaxSections); ++i) {
        CrossSection& added = s.sections[i];
        std::copy(std::begin(last.shapeName), std::end(last.shapeName), std::begin(added.shapeName));
        added.pointCount = last.pointCount;
        std::copy(std::begin(last.points), std::end(last.points), std::begin(added.points));
    }
}

} // namespace

bool SurfaceInDocument(COpenGLTemplateDoc& document, const SurfaceSection* surface)
{
    if (!surface) return false;
    LockGuard guard(document.documentLock);
    return std::any_of(document.surfaces.begin(), document.surfaces.end(),
                       [surface](const auto& s) { return s.get() == surface; });
}

std::string DetachNotice(const SurfaceSection& surface)
{
    // From the beginning of the channel to its end, then its sides.
    std::vector<const AttachmentSite*> linked;
    for (const AttachmentSite& site : surface.attachmentSites)
        if (!site.isFree()) linked.push_back(&site);
    std::stable_sort(linked.begin(), linked.end(),
                     [](const AttachmentSite* x, const AttachmentSite* y) { return x->edge() < y->edge(); });
    std::string links;
    for (const AttachmentSite* site : linked) {
        if (!links.empty()) links += ", ";
        links += textOf(site->otherSurface->name) + " (" + textOf(site->name) + ")";
    }
    return links.empty() ? links : kDetachNotice + links;
}

DesignResult CheckChannelEditable(const COpenGLTemplateDoc& document)
{
    const SurfaceSection* s = document.selectedSurface;
    if (!s) return kSelectSurfaceToEdit;
    if (s->surfaceType != kTypeA && s->surfaceType != kTypeB && s->surfaceType != kTypeC) return kOnlyChannelSurfaces;
    return {};
}

TypeAParameters TypeAParameters::of(const SurfaceSection& s)
{
    return {s.intermediateCount, s.horizontalTurn, s.verticalTurn, s.axisRotation, s.horizontalDisplacement,
            s.verticalDisplacement, s.scaleChange, s.scaleTo, s.scaleFrom};
}

void TypeAParameters::applyTo(SurfaceSection& s) const
{
    s.intermediateCount = intermediateCount;
    s.horizontalTurn = horizontalTurn;
    s.verticalTurn = verticalTurn;
    s.axisRotation = axisRotation;
    s.horizontalDisplacement = horizontalDisplacement;
    s.verticalDisplacement = verticalDisplacement;
    s.scaleChange = scaleChange;
    s.scaleTo = scaleTo;
    s.scaleFrom = scaleFrom;
}

// --- shared ---

DesignResult ChannelEditorBase::OpenFor(int type)
{
    if (auto refusal = CheckChannelEditable(document_); !refusal.ok()) return refusal;
    if (document_.selectedSurface->surfaceType != type) return kOnlyChannelSurfaces;
    if (auto refusal = hold_.Take(*document_.selectedSurface, false); !refusal.ok()) return refusal;
    surface_ = document_.selectedSurface;
    saved_ = modified_ = false;
    return {};
}

DesignResult ChannelEditorBase::SetIntermediateCount(int count)
{
    if (!surface_) return kSelectSurfaceToEdit;
    if (auto prompt = CheckInteger(count, kIntermediateLow, kIntermediateHigh); !prompt.ok()) return prompt;
    if (count == surface_->intermediateCount) return {};
    resizeForIntermediate(*surface_, count);
    modified_ = true;
    surface_->Regenerate(true);
    return {};
}

bool ChannelEditorBase::StillEditing()
{
    // A surface created later at the same address is not held by this editor.
    if (!SurfaceInDocument(document_, surface_) || !hold_.Holds(*surface_)) surface_ = nullptr;
    return surface_ != nullptr;
}

void ChannelEditorBase::RestoreIntermediateCount(int count)
{
    if (surface_->intermediateCount != count || surface_->sectionCount != count + 4)
        resizeForIntermediate(*surface_, count);
}

void ChannelEditorBase::FinishSaved()
{
    SurfaceSection& s = *surface_;
    BreakAllLinks(s);
    document_.peers().FillSurfaceTree();
    s.Rebuild();
    s.drawingCache.markStale();
}

void ChannelEditorBase::EndEditing()
{
    hold_.GiveBack(*surface_);
    surface_ = nullptr;
}

// --- type A ---

DesignResult TypeAEditor::Open()
{
    if (auto refusal = OpenFor(kTypeA); !refusal.ok()) return refusal;
    undo_ = TypeAParameters::of(*surface_);
    return {};
}

void TypeAEditor::Changed()
{
    modified_ = true;
    surface_->Regenerate(true);
}

void TypeAEditor::SetPerform(TypeAGroup group, bool on)
{
    if (!surface_) return;
    SurfaceSection& s = *surface_;
    switch (group) {
    case TypeAGroup::HorizontalTurn: s.horizontalTurn.perform = on; break;
    case TypeAGroup::VerticalTurn: s.verticalTurn.perform = on; break;
    case TypeAGroup::AxisRotation: s.axisRotation.perform = on; break;
    case TypeAGroup::HorizontalDisplacement: s.horizontalDisplacement.perform = on; break;
    case TypeAGroup::VerticalDisplacement: s.verticalDisplacement.perform = on; break;
    }
    Changed();
}

void TypeAEditor::SetSense(TypeAGroup group, bool on)
{
    if (!surface_) return;
    SurfaceSection& s = *surface_;
    switch (group) {
    case TypeAGroup::HorizontalTurn: s.horizontalTurn.left = on; break;
    case TypeAGroup::VerticalTurn: s.verticalTurn.down = on; break;
    case TypeAGroup::AxisRotation: s.axisRotation.clockwise = on; break;
    case TypeAGroup::HorizontalDisplacement: s.horizontalDisplacement.displaceLeft = on; break;
    case TypeAGroup::VerticalDisplacement: s.verticalDisplacement.displaceDown = on; break;
    }
    Changed();
}

void TypeAEditor::SetAngleDegrees(TypeAGroup group, double degrees)
{
    if (!surface_) return;
    SurfaceSection& s = *surface_;
    switch (group) {
    case TypeAGroup::HorizontalTurn: s.horizontalTurn.angle = radians(degrees); break;
    case TypeAGroup::VerticalTurn: s.verticalTurn.angle = radians(degrees); break;
    case TypeAGroup::AxisRotation: s.axisRotation.angle = radians(degrees); break;
    default: return;
    }
    Changed();
}

void TypeAEditor::SetDistance(TypeAGroup group, double distance)
{
    if (!surface_) return;
    SurfaceSection& s = *surface_;
    switch (group) {
    case TypeAGroup::HorizontalDisplacement: s.horizontalDisplacement.distance = distance; break;
    case TypeAGroup::VerticalDisplacement: s.verticalDisplacement.distance = distance; break;
    default: return;
    }
    Changed();
}

int TypeAEditor::ShownDegrees(double angle) { return static_cast<int>(angle * 360.0 / kTwoPi); }

void TypeAEditor::Save()
{
    if (!surface_) return;
    saved_ = true;
    // What is saved is what a later "Close" keeps.
    undo_ = TypeAParameters::of(*surface_);
    modified_ = false;
    surface_->MarkChanged();
}

void TypeAEditor::Close()
{
    if (!surface_) return;
    if (modified_) {
        undo_.applyTo(*surface_);
        RestoreIntermediateCount(undo_.intermediateCount);
        surface_->Regenerate(saved_);
    }
    if (saved_) FinishSaved();
    EndEditing();
}

// --- types B and C ---

DesignResult TypeBCEditor::Open(int type)
{
    if (type != kTypeB && type != kTypeC) return kOnlyChannelSurfaces;
    if (auto refusal = OpenFor(type); !refusal.ok()) return refusal;
    type_ = type;
    intermediateCount_ = surface_->intermediateCount;
    return {};
}

DesignResult TypeBCEditor::ApplyAndSave(const SourceChoice& initialDirections, const SourceChoice& finalDirections,
                                        const SourceChoice& initialPosition, const SourceChoice& finalPosition)
{
    if (!surface_) return kSelectSurfaceToEdit;
    if (needsSource(initialDirections)) return kInitialDirectionsSource;
    if (needsSource(finalDirections)) return kFinalDirectionsSource;
    const bool positions = type_ == kTypeC;
    if (positions && needsSource(initialPosition)) return kInitialPositionSource;
    if (positions && needsSource(finalPosition)) return kFinalPositionSource;
    saved_ = true;

    SurfaceSection& s = *surface_;
    auto takeDirections = [](const SourceChoice& c, Vec3& direction, Vec3& up) {
        if (c.choice == 0 || !c.source) return;
        const bool begin = c.choice == 1;
        direction = begin ? c.source->initialDirection : c.source->finalDirection;
        up = begin ? c.source->initialUp : c.source->finalUp;
        if (c.opposite) direction = -direction;
    };
    auto takePosition = [](const SourceChoice& c, Vec3& position) {
        if (c.choice == 0 || !c.source) return;
        position = c.choice == 1 ? c.source->initialPosition : c.source->finalPosition;
    };
    // Read every source before writing: a surface may take its own frames.
    Vec3 initialDirection = s.initialDirection, initialUp = s.initialUp;
    Vec3 finalDirection = s.finalDirection, finalUp = s.finalUp;
    Vec3 initialPos = s.initialPosition, finalPos = s.finalPosition;
    takeDirections(initialDirections, initialDirection, initialUp);
    takeDirections(finalDirections, finalDirection, finalUp);
    if (positions) {
        takePosition(initialPosition, initialPos);
        takePosition(finalPosition, finalPos);
    }
    s.initialDirection = initialDirection;
    s.initialUp = initialUp;
    s.finalDirection = finalDirection;
    s.finalUp = finalUp;
    s.initialPosition = initialPos;
    s.finalPosition = finalPos;
    s.Regenerate(true);
    s.MarkChanged();
    return {};
}

void TypeBCEditor::Close()
{
    if (!surface_) return;
    if (saved_) {
        FinishSaved();
    } else if (modified_) {
        RestoreIntermediateCount(intermediateCount_);
        surface_->Regenerate(false);
    }
    EndEditing();
}

} // namespace design
