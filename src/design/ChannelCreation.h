#pragma once

// Creation of plain channel surfaces (types A, B and C), and the steps every
// creator shares: field prompts, name checks, joining the document and
// showing the new surface alone.

#include "design/DesignResult.h"
#include "surface/CrossSection.h"

#include <memory>
#include <string>
#include <string_view>

class COpenGLTemplateDoc;
class SurfaceSection;

namespace design {

inline constexpr const char* kNameBlank = "The name must not be blank.";
inline constexpr const char* kNameExists = "A surface with that name already exists.";
// Shown when the spline kernel cannot build the requested net; nothing is
// added to the document then.
inline constexpr const char* kSurfaceNotBuilt = "The surface cannot be built from these control points.";

// Longest surface name: the 50-byte name buffer keeps its terminator, so a
// longer name would be cut and could then clash with another one in its group.
inline constexpr int kMaxSurfaceNameLength = 49;

// The framework's standard field prompts.
std::string IntegerRangePrompt(int low, int high);       // "Please enter an integer between %1 and %2."
std::string NumberRangePrompt(double low, double high);  // "Please enter a number between %1 and %2."
std::string TextLengthPrompt(int most);                  // "Please enter no more than %1 characters."

// Done when value lies in [low, high], else refused with the matching prompt.
DesignResult CheckInteger(int value, int low, int high);
DesignResult CheckNumber(double value, double low, double high);

// The name checks of every creation dialog, in order: length, blank, taken
// in the current group. Done when the name may be used.
DesignResult CheckNewSurfaceName(COpenGLTemplateDoc& document, std::string_view name);

// A surface built by a creator joins the document: it becomes the ball start
// (and the focus) when the document has none, joins the current group and the
// surface list, and the control panel's trees are refilled.
SurfaceSection* AddCreatedSurface(COpenGLTemplateDoc& document, std::unique_ptr<SurfaceSection> surface);

// Selects the surface, puts the focal point at its (0.5, 0.5) and draws it alone.
void ShowSurfaceAlone(COpenGLTemplateDoc& document, SurfaceSection& surface);

// The end of every creation dialog's OK: the four default sites, then
// AddCreatedSurface and ShowSurfaceAlone. Returns the surface in the document.
SurfaceSection* FinishCreatedSurface(COpenGLTemplateDoc& document, std::unique_ptr<SurfaceSection> surface);

// Limits of the "Create channel surface" dialog's two counts.
inline constexpr int kChannelPointsLow = 2, kChannelPointsHigh = kMaxSectionPoints;
inline constexpr int kIntermediateLow = 0, kIntermediateHigh = kMaxSections - 4;

// Fields of the "Create channel surface" dialog. typeIndex -1 means no type
// button is checked (the surface stays type A).
struct ChannelFields {
    std::string name;
    int typeIndex = -1;
    int points = 5;       // control points per cross section, 2 to 20
    int intermediate = 2; // intermediate cross sections, 0 to 20
};

// OK of the dialog: validates the fields, creates the channel, sets its type,
// selects it and shows it alone.
DesignResult CreateChannelFromFields(COpenGLTemplateDoc& document, const ChannelFields& fields);

} // namespace design
