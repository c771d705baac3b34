#include "design/ChannelCreation.h"

#include "document/OpenGLTemplateDoc.h"
#include "surface/CrossSection.h"

#include <cstdio>

namespace design {

namespace {

std::string formatNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

} // namespace

std::string IntegerRangePrompt(int low, int high)
{
    return "Please enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
}

std::string NumberRangePrompt(double low, double high)
{
    return "Please enter a number between " + formatNumber(low) + " and " + formatNumber(high) + ".";
}

std::string TextLengthPrompt(int most) { return "Please enter no more than " + std::to_string(most) + " characters."; }

DesignResult CheckInteger(int value, int low, int high)
{
    return value < low || value > high ? IntegerRangePrompt(low, high) : std::string();
}

DesignResult CheckNumber(double value, double low, double high)
{
    // Written so that NaN fails too.
    return value >= low && value <= high ? std::string() : NumberRangePrompt(low, high);
}

DesignResult CheckNewSurfaceName(COpenGLTemplateDoc& document, std::string_view name)
{
    if (name.size() > static_cast<std::size_t>(kMaxSurfaceNameLength)) return TextLengthPrompt(kMaxSurfaceNameLength);
    if (name.empty()) return kNameBlank;
    const std::string group =
        document.currentGroup ? textOf(document.currentGroup->name) : textOf(document.mainGroupName);
    if (document.SurfaceNameExistsInGroup(name, group)) return kNameExists;
    return {};
}

SurfaceSection* AddCreatedSurface(COpenGLTemplateDoc& document, std::unique_ptr<SurfaceSection> surface)
{
    SurfaceSection* s = surface.get();
    document.EnsureMainGroup();
    if (!document.ballStartSurface) {
        document.SetBallStart(s, 0.5, 0.5);
        document.focalSurface = s;
        document.focalU = document.focalV = 0.5;
        document.UpdateFocalPoint();
    }
    document.AddSurfaceToGroup(s, document.currentGroup);
    {
        LockGuard guard(document.documentLock);
        document.surfaces.push_back(std::move(surface));
    }
    document.peers().FillSurfaceTree();
    document.SetModifiedFlag();
    return s;
}

void ShowSurfaceAlone(COpenGLTemplateDoc& document, SurfaceSection& surface)
{
    document.selectedSurface = &surface;
    document.focalSurface = &surface;
    document.focalU = document.focalV = 0.5;
    document.UpdateFocalPoint();
    document.SetAllRender(0);
    surface.render = 1;
}

SurfaceSection* FinishCreatedSurface(COpenGLTemplateDoc& document, std::unique_ptr<SurfaceSection> surface)
{
    surface->AddDefaultSites();
    SurfaceSection* added = AddCreatedSurface(document, std::move(surface));
    ShowSurfaceAlone(document, *added);
    // The panel shows the new surface selected, with its own switches.
    document.peers().FillSurfaceTree();
    document.peers().RefreshControlPanel();
    return added;
}

DesignResult CreateChannelFromFields(COpenGLTemplateDoc& document, const ChannelFields& fields)
{
    if (fields.name.size() > static_cast<std::size_t>(kMaxSurfaceNameLength))
        return DesignResult::refuse(TextLengthPrompt(kMaxSurfaceNameLength));
    if (auto m = CheckInteger(fields.points, kChannelPointsLow, kChannelPointsHigh); !m.ok()) return m;
    if (auto m = CheckInteger(fields.intermediate, kIntermediateLow, kIntermediateHigh); !m.ok()) return m;
    if (auto m = CheckNewSurfaceName(document, fields.name); !m.ok()) return m;

    document.EnsureMainGroup();
    SurfaceSection* s = document.CreateChannelSurface(fields.name, fields.points, fields.intermediate);
    if (!s) return DesignResult::refuse(kSurfaceNotBuilt);
    if (fields.typeIndex == kTypeB || fields.typeIndex == kTypeC) s->surfaceType = fields.typeIndex;
    ShowSurfaceAlone(document, *s);
    document.SetModifiedFlag();
    return DesignResult::done(s);
}

} // namespace design
