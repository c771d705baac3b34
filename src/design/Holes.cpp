#include "design/Holes.h"

#include "design/AttachmentSites.h"
#include "design/ChannelCreation.h"
#include "surface/SurfaceSection.h"

namespace design {

SurfaceHole MakeHole(std::string_view name, double rightLeftLow, double rightLeftHigh, double frontBackLow,
                     double frontBackHigh)
{
    SurfaceHole hole;
    setText(hole.name, std::string(name));
    hole.rightLeftLow = rightLeftLow;
    hole.rightLeftHigh = rightLeftHigh;
    hole.frontBackLow = frontBackLow;
    hole.frontBackHigh = frontBackHigh;
    return hole;
}

DesignResult AddHole(SurfaceSection& surface, std::string_view name, double rightLeftLow, double rightLeftHigh,
                     double frontBackLow, double frontBackHigh)
{
    if (name.size() > static_cast<std::size_t>(kMaxShortName)) return TextLengthPrompt(kMaxShortName);
    for (double value : {frontBackLow, frontBackHigh, rightLeftLow, rightLeftHigh})
        if (auto prompt = CheckNumber(value, kParameterLow, kParameterHigh); !prompt.ok()) return prompt;
    if (name.empty()) return "The new hole name must not be blank.";
    if (FindHoleIndex(surface, name) >= 0) return "A hole already exists for the current surface with that name.";
    if (rightLeftHigh == rightLeftLow || frontBackHigh == frontBackLow)
        return "The parameter ranges must be greater than 0.";
    if (rightLeftHigh < rightLeftLow || frontBackHigh < frontBackLow)
        return "The low end of each parameter range must be less than the high end.";
    for (const SurfaceHole& hole : surface.holes) {
        if (RangesOverlap(hole.rightLeftLow, hole.rightLeftHigh, rightLeftLow, rightLeftHigh) &&
            RangesOverlap(hole.frontBackLow, hole.frontBackHigh, frontBackLow, frontBackHigh))
            return "The proposed hole would overalap the hole named " + textOf(hole.name) + ".";
    }
    surface.holes.push_back(MakeHole(name, rightLeftLow, rightLeftHigh, frontBackLow, frontBackHigh));
    RebuildDerived(surface);
    surface.MarkChanged();
    return {};
}

DesignResult DeleteHole(SurfaceSection& surface, int index)
{
    if (index < 0 || index >= static_cast<int>(surface.holes.size())) return "Select a hole to delete.";
    surface.holes.erase(surface.holes.begin() + index);
    RebuildDerived(surface);
    surface.MarkChanged();
    return {};
}

int FindHoleIndex(const SurfaceSection& surface, std::string_view name)
{
    for (std::size_t k = 0; k < surface.holes.size(); ++k)
        if (NamesEqualNoCase(textOf(surface.holes[k].name), name)) return static_cast<int>(k);
    return -1;
}

} // namespace design
