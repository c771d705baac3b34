#pragma once

#include "cli/Recipe.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// A recipe step was refused by its operation.
inline constexpr int kExitRefused = 3;

// marlwick-cli build RECIPE.json OUT.mwk [--from IN.mwk] [--library FILE] [--templates FILE]
// Starts from IN (or a new document), runs the recipe's steps in order and
// saves OUT. A refused step stops the run with "step K (OP): MESSAGE" on err
// and exit code 3; a malformed recipe is a usage error. Either way neither OUT
// nor the surface library is written.
int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Runs the steps of a recipe (a JSON object with a "steps" array) on the
// context's document with the given operations. Returns kExitOk, kExitRefused
// or kExitUsage, with the one-line reason on err.
int RunRecipeSteps(RecipeContext& context, const RecipeOps& ops, const nlohmann::json& recipe, std::ostream& err);

} // namespace cli
