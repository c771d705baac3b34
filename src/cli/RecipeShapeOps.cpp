// Recipe steps that create and shape surfaces: each step fills the fields of
// one design dialog from its arguments (a missing optional argument keeps the
// dialog's first value) and presses its buttons through the design operations.

#include "cli/RecipeArgs.h"
#include "design/ChannelCreation.h"
#include "design/ChannelEditing.h"
#include "design/CircularSurface.h"
#include "design/CrossSectionTemplates.h"
#include "design/SectionTransforms.h"
#include "design/SweepSurface.h"
#include "document/OpenGLTemplateDoc.h"

#include <array>
#include <cmath>
#include <optional>

namespace cli {

namespace {

using namespace cli::recipe;

// 1-based lines of the cross-section list, as 0-based indices.
std::vector<int> lines(const json& step, const SurfaceSection& s)
{
    std::vector<int> indices;
    const json* v = find(step, "sections");
    if (!v) return indices;
    if (!v->is_array()) malformed("sections", "an array of line numbers");
    for (const json& line : *v) {
        const double d = line.is_number() ? line.get<double>() : NAN;
        if (!(d == std::floor(d) && d >= 1 && d <= s.sectionCount))
            throw RecipeError("\"sections\" holds lines 1 to " + std::to_string(s.sectionCount) + " of \"" +
                              textOf(s.name) + "\"");
        indices.push_back(static_cast<int>(d) - 1);
    }
    return indices;
}

std::vector<std::array<double, 2>> pointList(const json& v)
{
    std::vector<std::array<double, 2>> points;
    if (!v.is_array()) malformed("points", "an array of [x, y] pairs");
    for (const json& p : v) {
        if (!(p.is_array() && p.size() == 2 && p[0].is_number() && p[1].is_number()))
            malformed("points", "an array of [x, y] pairs");
        const double x = p[0].get<double>(), y = p[1].get<double>();
        if (!usableNumber(x) || !usableNumber(y))
            malformed("points", ("an array of [x, y] pairs " + usableRange()).c_str());
        points.push_back({x, y});
    }
    return points;
}

// Index of the first template with this name in the file; a file that cannot
// be read gives its message in `refusal`.
int templateIndex(const std::string& path, const std::string& name, const char* readFailed,
                  design::DesignResult& refusal, std::vector<design::CrossSectionTemplate>& templates)
{
    if (!design::ReadTemplateFile(path, templates)) {
        refusal = readFailed;
        return -1;
    }
    for (std::size_t k = 0; k < templates.size(); ++k)
        if (textOf(templates[k].shape.name) == name) return static_cast<int>(k);
    throw RecipeError("no template \"" + name + "\" in " + path);
}

// --- creation ---

design::DesignResult createChannel(RecipeContext& ctx, const json& step)
{
    design::ChannelFields f;
    f.name = text(step, "name", "");
    f.points = integer(step, "points", f.points);
    f.intermediate = integer(step, "intermediate", f.intermediate);
    f.typeIndex = choice(step, "type", std::array{"A", "B", "C"}, 0);
    return design::CreateChannelFromFields(ctx.document, f);
}

design::DesignResult createCircular(RecipeContext& ctx, const json& step)
{
    design::CircularFields f;
    f.name = text(step, "name", "");
    if (find(step, "portion"))
        f.choosePortion(choice(step, "portion", std::array{"1/4", "2/4", "3/4", "1/3", "2/3", "1"}, 0));
    f.points = integer(step, "points", f.points);
    f.sections = integer(step, "sections", f.sections);
    f.inner = number(step, "inner", f.inner);
    f.outer = number(step, "outer", f.outer);
    return design::CreateCircularFromFields(ctx.document, f);
}

design::DesignResult createSweep(RecipeContext& ctx, const json& step)
{
    design::SweepFields f;
    f.name = text(step, "name", "");
    f.sections = integer(step, "sections", f.sections);
    f.angle = number(step, "angle", f.angle);
    f.inner = number(step, "inner", f.inner);
    f.edge = choice(step, "edge", std::array{"left", "right", "top", "bottom"}, f.edge);
    if (find(step, "template")) {
        design::DesignResult refusal;
        std::vector<design::CrossSectionTemplate> templates;
        const int k = templateIndex(ctx.templatePath, text(step, "template", ""), design::kSweepReadFailed, refusal,
                                    templates);
        if (k < 0) return refusal;
        f.shape = templates[k].shape;
    }
    return design::CreateSweepFromFields(ctx.document, f);
}

// --- type A, B and C edits ---

// One group of the type A dialog: check box, sense box and slider.
struct TypeAGroupArgs {
    const char* key;
    const char* sense;
    design::TypeAGroup group;
    bool angle; // degrees 0..360, else a distance 0..100
};
constexpr TypeAGroupArgs kTypeAGroups[] = {
    {"horizontalTurn", "left", design::TypeAGroup::HorizontalTurn, true},
    {"verticalTurn", "down", design::TypeAGroup::VerticalTurn, true},
    {"axisRotation", "clockwise", design::TypeAGroup::AxisRotation, true},
    {"horizontalDisplacement", "left", design::TypeAGroup::HorizontalDisplacement, false},
    {"verticalDisplacement", "down", design::TypeAGroup::VerticalDisplacement, false},
};

void requireType(const SurfaceSection& s, int type, const char* op)
{
    const bool channel = s.surfaceType == kTypeA || s.surfaceType == kTypeB || s.surfaceType == kTypeC;
    if (channel && s.surfaceType != type)
        throw RecipeError(std::string(op) + " edits type " + "ABC"[type] + " surfaces; \"" + textOf(s.name) +
                          "\" is type " + "ABC"[s.surfaceType]);
}

design::DesignResult editA(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    requireType(s, kTypeA, "editA");
    // Every value is read and checked before the dialog changes anything.
    struct Change {
        const TypeAGroupArgs* args;
        std::optional<bool> perform, sense;
        std::optional<double> value;
    };
    std::vector<Change> changes;
    for (const TypeAGroupArgs& g : kTypeAGroups) {
        const json* v = section(step, g.key);
        if (!v) continue;
        Change c{&g, {}, {}, {}};
        if (find(*v, "perform")) c.perform = flag(*v, "perform", false);
        if (find(*v, g.sense)) c.sense = flag(*v, g.sense, false);
        const char* valueKey = g.angle ? "degrees" : "distance";
        if (find(*v, valueKey)) {
            c.value = number(*v, valueKey, 0.0);
            const int most = g.angle ? 360 : 100;
            if (*c.value < 0.0 || *c.value > most) return design::IntegerRangePrompt(0, most);
        }
        changes.push_back(c);
    }
    design::TypeAEditor editor(ctx.document);
    if (auto refusal = editor.Open(); !refusal.ok()) return refusal;
    for (const Change& c : changes) {
        if (c.perform) editor.SetPerform(c.args->group, *c.perform);
        if (c.sense) editor.SetSense(c.args->group, *c.sense);
        if (c.value && c.args->angle) editor.SetAngleDegrees(c.args->group, *c.value);
        if (c.value && !c.args->angle) editor.SetDistance(c.args->group, *c.value);
    }
    editor.Save();
    editor.Close();
    return {};
}

design::SourceChoice sourceChoice(RecipeContext& ctx, const json& step, const char* key, bool directions)
{
    design::SourceChoice c;
    const json* v = section(step, key);
    if (!v) return c;
    c.choice = choice(*v, "from", std::array{"current", "begin", "end"}, 0);
    c.source = namedSurface(ctx.document, *v, "surface", "group");
    if (directions) c.opposite = flag(*v, "opposite", false);
    return c;
}

design::DesignResult editBC(RecipeContext& ctx, const json& step, int type)
{
    SurfaceSection& s = subject(ctx, step);
    requireType(s, type, type == kTypeB ? "editB" : "editC");
    const design::SourceChoice initialDirections = sourceChoice(ctx, step, "initialDirections", true);
    const design::SourceChoice finalDirections = sourceChoice(ctx, step, "finalDirections", true);
    design::SourceChoice initialPosition, finalPosition;
    if (type == kTypeC) {
        initialPosition = sourceChoice(ctx, step, "initialPosition", false);
        finalPosition = sourceChoice(ctx, step, "finalPosition", false);
    } else if (find(step, "initialPosition") || find(step, "finalPosition")) {
        throw RecipeError("positions are chosen for type C surfaces only (editC)");
    }
    design::TypeBCEditor editor(ctx.document);
    if (auto refusal = editor.Open(type); !refusal.ok()) return refusal;
    const design::DesignResult refusal =
        editor.ApplyAndSave(initialDirections, finalDirections, initialPosition, finalPosition);
    editor.Close();
    return refusal;
}

// --- cross sections ---

design::DesignResult transform(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    const std::vector<int> selection = lines(step, s);
    const bool subsequent = flag(step, "subsequent", false);
    const json* rotate = section(step, "rotate");
    const json* move = section(step, "move");
    const json* scale = section(step, "scale");
    const json* paste = section(step, "pasteScale");
    if ((rotate != nullptr) + (move != nullptr) + (scale != nullptr) + (paste != nullptr) != 1)
        throw RecipeError("give exactly one of \"rotate\", \"move\", \"scale\" and \"pasteScale\"");

    int axis = design::kAxisUpDown, direction = design::kMoveRightLeft;
    double value = 0.0;
    std::string prompt;
    if (rotate) {
        axis = choice(*rotate, "axis", std::array{"up-down", "channel", "right-left"}, axis);
        value = number(*rotate, "degrees", 0.0);
        if (value < 0.0 || value > 360.0) prompt = design::IntegerRangePrompt(0, 360);
    } else if (move) {
        direction = choice(*move, "direction", std::array{"right-left", "up-down", "forward-backward", "channel"},
                           direction);
        value = number(*move, "distance", 0.0);
        if (value < -100.0 || value > 100.0) prompt = design::IntegerRangePrompt(-100, 100);
    } else if (scale) {
        value = number(*scale, "value", 0.0);
        if (value < -100.0 || value > 100.0) prompt = design::IntegerRangePrompt(-100, 100);
    } else {
        value = number(*paste, "value", 1.0);
        if (!(value > 0.0)) malformed("value", "a positive scale factor");
    }
    if (!prompt.empty()) return prompt;

    design::SectionTransformEditor editor(ctx.document);
    if (auto refusal = editor.Open(); !refusal.ok()) return refusal;
    editor.SetSubsequent(subsequent);
    editor.SetSelection(selection);
    editor.SetAxis(axis);
    editor.SetMoveDirection(direction);
    design::DesignResult refusal;
    if (paste) {
        editor.clipboardScale = value;
        refusal = editor.Paste();
    } else {
        const design::TransformKind kind =
            rotate ? design::TransformKind::Rotate : move ? design::TransformKind::Move : design::TransformKind::Scale;
        refusal = editor.ChangeValue(kind, value);
    }
    if (refusal.ok()) editor.Commit();
    editor.Close();
    return refusal;
}

design::DesignResult shape(RecipeContext& ctx, const json& step)
{
    SurfaceSection& s = subject(ctx, step);
    const std::vector<int> selection = lines(step, s);
    const json* points = find(step, "points");
    const bool byTemplate = find(step, "template") != nullptr;
    if (byTemplate == (points != nullptr)) throw RecipeError("give either \"template\" or \"points\"");
    std::vector<std::array<double, 2>> pointValues;
    if (points) pointValues = pointList(*points);
    const bool retain = flag(step, "retainScaling", false);

    design::SectionTransformEditor sections(ctx.document);
    if (auto refusal = sections.Open(); !refusal.ok()) return refusal;
    sections.SetSelection(selection);
    design::DesignResult refusal = sections.CheckEditShape();
    int index = -1;
    if (refusal.ok() && byTemplate) {
        std::vector<design::CrossSectionTemplate> templates;
        try {
            index = templateIndex(ctx.templatePath, text(step, "template", ""), design::kEditorReadFailed, refusal,
                                  templates);
        } catch (const RecipeError&) {
            sections.Close();
            throw;
        }
    }
    if (!refusal.ok()) {
        sections.Close();
        return refusal;
    }
    design::CrossSectionShapeEditor editor(ctx.document, ctx.templatePath);
    const design::DesignResult readFailure = editor.Open(sections, selection);
    editor.retainScaling = retain;
    if (byTemplate && index >= static_cast<int>(editor.templates().size()))
        refusal = readFailure.ok() ? design::DesignResult(design::kEditorReadFailed) : readFailure;
    else
        refusal = byTemplate ? editor.ChooseTemplate(index) : editor.SetPoints(pointValues);
    if (refusal.ok()) editor.Save();
    // The dialog's "Save new template" with the shape just saved.
    if (refusal.ok() && find(step, "saveAsTemplate")) refusal = editor.SaveNewTemplate(text(step, "saveAsTemplate"));
    editor.Close();
    sections.Close();
    return refusal;
}

// An edit selects its surface as the control panel would; a refused or
// malformed step leaves the previous selection.
template <typename Edit>
RecipeOp keepingSelectionOnRefusal(Edit edit)
{
    return [edit](RecipeContext& ctx, const json& step) {
        SurfaceSection* before = ctx.document.selectedSurface;
        try {
            design::DesignResult refusal = edit(ctx, step);
            if (!refusal.ok()) ctx.document.selectedSurface = before;
            return refusal;
        } catch (...) {
            ctx.document.selectedSurface = before;
            throw;
        }
    };
}

} // namespace

void AddShapeRecipeOps(RecipeOps& ops)
{
    ops["createChannel"] = createChannel;
    ops["createCircular"] = createCircular;
    ops["createSweep"] = createSweep;
    ops["editA"] = keepingSelectionOnRefusal(editA);
    ops["editB"] =
        keepingSelectionOnRefusal([](RecipeContext& ctx, const json& step) { return editBC(ctx, step, kTypeB); });
    ops["editC"] =
        keepingSelectionOnRefusal([](RecipeContext& ctx, const json& step) { return editBC(ctx, step, kTypeC); });
    ops["transform"] = keepingSelectionOnRefusal(transform);
    ops["shape"] = keepingSelectionOnRefusal(shape);
}

} // namespace cli
