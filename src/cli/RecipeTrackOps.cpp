// Recipe steps that join surfaces into tracks: sites, holes, attaching,
// groups, the surface library, the ball start and per-surface settings. Each
// step fills the fields of its dialog (a missing optional argument keeps the
// dialog's first value) and presses its button through the design operations.
// A step naming a surface, site, hole or group that does not exist is a
// malformed recipe: no dialog could have offered the choice.

#include "cli/RecipeArgs.h"
#include "design/AttachGeometry.h"
#include "design/AttachmentSites.h"
#include "design/Groups.h"
#include "design/Holes.h"
#include "design/SurfaceLibrary.h"
#include "document/OpenGLTemplateDoc.h"

#include <cmath>
#include <optional>

namespace cli {

namespace {

using namespace cli::recipe;

// A [low, high] pair; [0, 0] when missing, as the holes dialog starts.
std::pair<double, double> range(const json& step, const char* key)
{
    const json* v = find(step, key);
    if (!v) return {0.0, 0.0};
    const bool pair = v->is_array() && v->size() == 2 && (*v)[0].is_number() && (*v)[1].is_number();
    if (!pair || !usableNumber((*v)[0].get<double>()) || !usableNumber((*v)[1].get<double>()))
        malformed(key, ("a pair of numbers [low, high] " + usableRange()).c_str());
    return {(*v)[0].get<double>(), (*v)[1].get<double>()};
}

// The group named by `key`, or none when the step leaves it out.
SurfaceGroup* namedGroup(COpenGLTemplateDoc& doc, const json& step, const char* key)
{
    if (!find(step, key)) return nullptr;
    const std::string name = text(step, key);
    SurfaceGroup* g = design::FindGroup(doc, name);
    if (!g) throw RecipeError("no group \"" + name + "\"");
    return g;
}

int siteIndex(const SurfaceSection& s, const std::string& name)
{
    const int index = design::FindSiteIndex(s, name);
    if (index < 0) throw RecipeError("surface \"" + textOf(s.name) + "\" has no site \"" + name + "\"");
    return index;
}

// A free site chosen in one of the attach dialog's lists, or none when the step leaves it out.
AttachmentSite* freeSite(SurfaceSection* s, const json& step, const char* key)
{
    if (!s || !find(step, key)) return nullptr;
    AttachmentSite& site = s->attachmentSites[siteIndex(*s, text(step, key))];
    if (!site.isFree())
        throw RecipeError("site \"" + textOf(site.name) + "\" of surface \"" + textOf(s->name) +
                          "\" is linked already");
    return &site;
}

// --- sites and holes ---

design::DesignResult addSite(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    const std::string word = text(step, "edge", "begin");
    const std::optional<SiteEdge> edge = design::SiteEdgeFromWord(word);
    if (!edge) malformed("edge", "one of \"begin\", \"end\", \"left\", \"right\"");
    return design::AddSite(s, text(step, "name"), *edge, number(step, "low", 0.0), number(step, "high", 1.0));
}

design::DesignResult deleteSite(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    return design::DeleteSite(s, siteIndex(s, text(step, "name")));
}

design::DesignResult addHole(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    const auto [u0, u1] = range(step, "u");
    const auto [v0, v1] = range(step, "v");
    return design::AddHole(s, text(step, "name"), u0, u1, v0, v1);
}

design::DesignResult deleteHole(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    const std::string name = text(step, "name");
    const int index = design::FindHoleIndex(s, name);
    if (index < 0) throw RecipeError("surface \"" + textOf(s.name) + "\" has no hole \"" + name + "\"");
    return design::DeleteHole(s, index);
}

// --- attaching ---

design::DesignResult attach(RecipeContext& ctx, const json& step)
{
    COpenGLTemplateDoc& doc = ctx.document;
    design::AttachChoice choice;
    choice.S = &subject(ctx, step);
    choice.X = freeSite(choice.S, step, "site");
    choice.T = namedSurface(doc, step, "other", "otherGroup");
    if (choice.T == choice.S) throw RecipeError("a surface cannot be attached to itself");
    choice.Y = freeSite(choice.T, step, "otherSite");
    choice.dontMove = flag(step, "dontMove", false);
    choice.pseudo = namedSurface(doc, step, "pseudo", "pseudoGroup");
    return design::AttachSurfaces(doc, choice);
}

design::DesignResult identicalCircular(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    return design::IdenticalCircularButton(ctx.document, s, freeSite(&s, step, "site"));
}

design::DesignResult grow(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    return design::NewChannelButton(ctx.document, s, freeSite(&s, step, "site"),
                                    integer(step, "intermediate", design::kDefaultGrowIntermediate),
                                    integer(step, "direction", design::DefaultDirectionIndex(s)));
}

design::DesignResult breakAttachment(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    return design::BreakAttachment(s, siteIndex(s, text(step, "site")));
}

// --- groups and surfaces ---

design::DesignResult createGroup(RecipeContext& ctx, const json& step)
{
    return design::CreateGroupButton(ctx.document, text(step, "name"));
}

design::DesignResult renameGroup(RecipeContext& ctx, const json& step)
{
    return design::RenameGroupButton(ctx.document, namedGroup(ctx.document, step, "group"), text(step, "name"));
}

design::DesignResult deleteGroup(RecipeContext& ctx, const json& step)
{
    return design::DeleteGroupButton(ctx.document, namedGroup(ctx.document, step, "group"));
}

design::DesignResult moveToGroup(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    return design::AddSurfaceToGroupButton(ctx.document, &s, namedGroup(ctx.document, step, "to"));
}

design::DesignResult renameSurface(RecipeContext& ctx, const json& step)
{
    return design::RenameSurface(ctx.document, subject(ctx, step), text(step, "name"));
}

design::DesignResult deleteSurface(RecipeContext& ctx, const json& step)
{
    return design::DeleteSurfaceButton(ctx.document, &subject(ctx, step));
}

// --- the library ---

design::DesignResult exportSurface(RecipeContext& ctx, const json& step)
{
    return design::ExportSurface(ctx.libraryPath, subject(ctx, step));
}

design::DesignResult exportGroup(RecipeContext& ctx, const json& step)
{
    SurfaceGroup* group = namedGroup(ctx.document, step, "group");
    if (!group) return "Select a group to export.";
    return design::ExportGroup(ctx.libraryPath, *group);
}

design::DesignResult importEntry(RecipeContext& ctx, const json& step, design::LibraryKind kind)
{
    const std::string name = text(step, "name");
    std::vector<design::LibraryEntry> entries;
    if (auto error = design::ReadLibraryIndex(ctx.libraryPath, entries); !error.ok()) return error;
    const int entry = design::FindLibraryEntry(entries, kind, name);
    if (entry < 0) return "Select a surface or group to import.";
    return kind == design::kLibraryGroup ? design::ImportLibraryGroup(ctx.document, ctx.libraryPath, entry)
                                         : design::ImportLibrarySurface(ctx.document, ctx.libraryPath, entry);
}

// --- ball start and surface settings ---

design::DesignResult setBallStart(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    const double u = number(step, "u", 0.5), v = number(step, "v", 0.5);
    if (!(u >= 0.0 && u <= 1.0 && v >= 0.0 && v <= 1.0)) throw RecipeError("\"u\" and \"v\" must lie in [0, 1]");
    ctx.document.SetBallStart(&s, u, v);
    return {};
}

design::DesignResult set(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    s.wrapU = flag(step, "wrapU", s.wrapU);
    s.wrapV = flag(step, "wrapV", s.wrapV);
    const bool reverse = flag(step, "reverseNormal", s.reverseNormal);
    const int coloring = integer(step, "coloring", static_cast<int>(s.coloring));
    if (coloring < 0 || coloring > 3)
        malformed("coloring", "0 (constant), 1 (height), 2 (tangent angle) or 3 (curvature)");
    const bool render = flag(step, "render", s.render != 0);
    s.coloring = static_cast<Coloring>(coloring);
    s.render = render ? 1 : 0;
    if (reverse != s.reverseNormal) {
        // The box tree keeps the normals of its triangles.
        s.reverseNormal = reverse;
        design::RebuildDerived(s);
        s.render = render ? 1 : 0;
    }
    s.drawingCache.markStale();
    return {};
}

} // namespace

void AddTrackRecipeOps(RecipeOps& ops)
{
    ops["addSite"] = addSite;
    ops["deleteSite"] = deleteSite;
    ops["addHole"] = addHole;
    ops["deleteHole"] = deleteHole;
    ops["attach"] = attach;
    ops["identicalCircular"] = identicalCircular;
    ops["grow"] = grow;
    ops["breakAttachment"] = breakAttachment;
    ops["createGroup"] = createGroup;
    ops["renameGroup"] = renameGroup;
    ops["deleteGroup"] = deleteGroup;
    ops["moveToGroup"] = moveToGroup;
    ops["renameSurface"] = renameSurface;
    ops["deleteSurface"] = deleteSurface;
    ops["exportSurface"] = exportSurface;
    ops["exportGroup"] = exportGroup;
    ops["importSurface"] = [](RecipeContext& ctx, const json& step) {
        return importEntry(ctx, step, design::kLibrarySurface);
    };
    ops["importGroup"] = [](RecipeContext& ctx, const json& step) {
        return importEntry(ctx, step, design::kLibraryGroup);
    };
    ops["setBallStart"] = setBallStart;
    ops["set"] = set;
}

} // namespace cli
