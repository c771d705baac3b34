#pragma once

#include "design/DesignResult.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>

class COpenGLTemplateDoc;

namespace cli {

// Where the steps of a recipe run: the document being built and the data files.
struct RecipeContext {
    COpenGLTemplateDoc& document;
    std::string libraryPath;  // surface library file
    std::string templatePath; // cross-section template file
};

// A step whose arguments are malformed (wrong type, missing required value):
// a usage error of the recipe, not a refusal of the operation. Names in its
// message, like those in refusals, are code-page bytes.
class RecipeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One step's operation: the operation's result; a refused step has left the
// document unchanged.
using RecipeOp = std::function<design::DesignResult(RecipeContext&, const nlohmann::json& step)>;
using RecipeOps = std::map<std::string, RecipeOp>;

// Channel, circular and sweep creation, shapes, transforms and type edits.
void AddShapeRecipeOps(RecipeOps& ops);
// Sites, holes, attaching, groups, the library, ball start and surface settings.
void AddTrackRecipeOps(RecipeOps& ops);
// After the two above: every operation that changes the document records its
// step of the undo history when done, and "undo" and "redo" take the last
// step back and do it again (refused when there is none).
void AddHistoryRecipeOps(RecipeOps& ops);

} // namespace cli
