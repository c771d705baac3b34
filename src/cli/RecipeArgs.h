#pragma once

// Reading the arguments of one recipe step. A missing (or null) optional
// argument takes the caller's default; a present one of the wrong type is a
// malformed recipe (RecipeError).

#include "cli/Recipe.h"

#include <array>
#include <string>

class SurfaceSection;

namespace cli::recipe {

using nlohmann::json;

// No number of a recipe is larger than this: scene units are tens, and
// anything near the range of a double only turns into infinities later.
inline constexpr double kLargestRecipeNumber = 1.0e6;
// A finite number within kLargestRecipeNumber.
bool usableNumber(double value);
// The range the messages give: "from -1e+06 to 1e+06".
std::string usableRange();

// The argument named key, or none when it is missing or null.
const json* find(const json& object, const char* key);
[[noreturn]] void malformed(const char* key, const char* what);

// Text arguments are UTF-8 in the recipe and code-page bytes in the result.
std::string text(const json& object, const char* key, const std::string& otherwise = {});
double number(const json& object, const char* key, double otherwise);
int integer(const json& object, const char* key, int otherwise);
bool flag(const json& object, const char* key, bool otherwise);
// A nested object argument, or none.
const json* section(const json& object, const char* key);

// Index of the argument's word in `words`; a missing argument gives `otherwise`.
template <std::size_t N>
int choice(const json& object, const char* key, const std::array<const char*, N>& words, int otherwise)
{
    const json* v = find(object, key);
    if (!v) return otherwise;
    if (v->is_string())
        for (std::size_t k = 0; k < N; ++k)
            if (v->get<std::string>() == words[k]) return static_cast<int>(k);
    std::string allowed;
    for (const char* w : words) allowed += (allowed.empty() ? "one of \"" : ", \"") + std::string(w) + "\"";
    malformed(key, allowed.c_str());
}

std::string currentGroupName(COpenGLTemplateDoc& doc);
// The surface named by `key` in the group named by `groupKey` (by default the
// current group), or none when the step leaves it out.
SurfaceSection* namedSurface(COpenGLTemplateDoc& doc, const json& object, const char* key, const char* groupKey);
// The surface the step's dialog acts on; it becomes the selected surface.
SurfaceSection& subject(RecipeContext& ctx, const json& step);

} // namespace cli::recipe
