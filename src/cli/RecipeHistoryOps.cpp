// Recipe steps and the undo history: every step that changes the document
// records one step of the history, named as the Edit menu names it, so that
// the steps "undo" and "redo" can take it back and do it again. Library
// exports change the shared library file, not the document: they are not
// steps of the history.

#include "cli/RecipeArgs.h"
#include "design/DesignHistory.h"

#include <string>
#include <utility>

namespace cli {

namespace {

using namespace cli::recipe;

// The step of the history each document-changing operation records.
constexpr std::pair<const char*, const char*> kRecordedSteps[] = {
    {"createChannel", design::kStepCreateChannel},
    {"createCircular", design::kStepCreateCircular},
    {"createSweep", design::kStepCreateSweep},
    {"editA", design::kStepEditSurface},
    {"editB", design::kStepEditSurface},
    {"editC", design::kStepEditSurface},
    {"transform", design::kStepTransformSections},
    {"shape", design::kStepEditShape},
    {"addSite", design::kStepAddSite},
    {"deleteSite", design::kStepDeleteSite},
    {"addHole", design::kStepAddHole},
    {"deleteHole", design::kStepDeleteHole},
    {"attach", design::kStepAttach},
    {"identicalCircular", design::kStepIdenticalCircular},
    {"grow", design::kStepNewChannel},
    {"breakAttachment", design::kStepBreakAttachment},
    {"createGroup", design::kStepCreateGroup},
    {"renameGroup", design::kStepRenameGroup},
    {"deleteGroup", design::kStepDeleteGroup},
    {"moveToGroup", design::kStepMoveToGroup},
    {"renameSurface", design::kStepRenameSurface},
    {"importSurface", design::kStepImportLibrary},
    {"importGroup", design::kStepImportLibrary},
    {"setBallStart", design::kStepSetBallStart},
    {"set", design::kStepSurfaceDisplay},
};

// The operation, then its step recorded when it was done. `name` gives the
// step's name from the step's arguments, read before the operation runs.
RecipeOp recording(RecipeOp op, std::function<std::string(const json&)> name)
{
    return [op = std::move(op), name = std::move(name)](RecipeContext& ctx, const json& step) {
        const std::string what = name(step);
        design::DesignResult result = op(ctx, step);
        if (result.ok()) design::RecordStep(ctx.document, what);
        return result;
    };
}

} // namespace

void AddHistoryRecipeOps(RecipeOps& ops)
{
    for (const auto& [op, what] : kRecordedSteps) {
        const auto found = ops.find(op);
        if (found == ops.end()) continue;
        found->second = recording(found->second, [what = std::string(what)](const json&) { return what; });
    }
    if (const auto found = ops.find("deleteSurface"); found != ops.end())
        found->second = recording(found->second, [](const json& step) {
            return std::string(design::kStepDeleteSurface) + " " + text(step, "surface", "");
        });
    ops["undo"] = [](RecipeContext& ctx, const json&) { return design::Undo(ctx.document); };
    ops["redo"] = [](RecipeContext& ctx, const json&) { return design::Redo(ctx.document); };
}

} // namespace cli
