#include "cli/RecipeArgs.h"

#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"

#include <cmath>
#include <cstdio>

namespace cli::recipe {

bool usableNumber(double value) { return std::isfinite(value) && std::fabs(value) <= kLargestRecipeNumber; }

std::string usableRange()
{
    char text[64];
    std::snprintf(text, sizeof text, "from %g to %g", -kLargestRecipeNumber, kLargestRecipeNumber);
    return text;
}

const json* find(const json& object, const char* key)
{
    if (!object.is_object()) return nullptr;
    const auto it = object.find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

void malformed(const char* key, const char* what)
{
    throw RecipeError(std::string("\"") + key + "\" must be " + what);
}

std::string text(const json& object, const char* key, const std::string& otherwise)
{
    const json* v = find(object, key);
    if (!v) return otherwise;
    if (!v->is_string()) malformed(key, "a string");
    return NameFromUtf8(v->get<std::string>());
}

double number(const json& object, const char* key, double otherwise)
{
    const json* v = find(object, key);
    if (!v) return otherwise;
    if (!v->is_number() || !usableNumber(v->get<double>())) malformed(key, ("a number " + usableRange()).c_str());
    return v->get<double>();
}

int integer(const json& object, const char* key, int otherwise)
{
    const json* v = find(object, key);
    if (!v) return otherwise;
    const double d = v->is_number() ? v->get<double>() : NAN;
    if (!(std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e9)) malformed(key, "an integer");
    return static_cast<int>(d);
}

bool flag(const json& object, const char* key, bool otherwise)
{
    const json* v = find(object, key);
    if (!v) return otherwise;
    if (!v->is_boolean()) malformed(key, "true or false");
    return v->get<bool>();
}

const json* section(const json& object, const char* key)
{
    const json* v = find(object, key);
    if (v && !v->is_object()) malformed(key, "an object");
    return v;
}

std::string currentGroupName(COpenGLTemplateDoc& doc)
{
    return doc.currentGroup ? textOf(doc.currentGroup->name) : textOf(doc.mainGroupName);
}

SurfaceSection* namedSurface(COpenGLTemplateDoc& doc, const json& object, const char* key, const char* groupKey)
{
    const json* v = find(object, key);
    if (!v) return nullptr;
    if (!v->is_string()) malformed(key, "a surface name");
    const std::string name = NameFromUtf8(v->get<std::string>());
    const std::string group = text(object, groupKey, currentGroupName(doc));
    SurfaceSection* s = doc.FindSurface(name, group);
    if (!s) throw RecipeError("no surface \"" + name + "\" in group \"" + group + "\"");
    return s;
}

SurfaceSection& subject(RecipeContext& ctx, const json& step)
{
    SurfaceSection* s = namedSurface(ctx.document, step, "surface", "group");
    if (!s) throw RecipeError("\"surface\" is required");
    ctx.document.selectedSurface = s;
    return *s;
}

} // namespace cli::recipe
