#include "cli/BuildCommand.h"

#include "cli/CliCommands.h"
#include "cli/RecipeParse.h"
#include "document/DataFiles.h"
#include "document/FileIO.h"
#include "document/NameEncoding.h"
#include "document/OpenGLTemplateDoc.h"
#include "gul/Error.h"

#include <cstdlib>
#include <ostream>
#include <sstream>
#include <unistd.h>

namespace cli {

namespace {

using nlohmann::json;

int report(std::ostream& err, const std::string& message, int code)
{
    err << "marlwick-cli: " << message << '\n';
    return code;
}

struct BuildArguments {
    std::string recipe, out, from, library, templates;
};

// False (with the reason) for anything but the two paths and known options with values.
bool parseArguments(const std::vector<std::string>& args, BuildArguments& a, std::string& error)
{
    std::vector<std::string> paths;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& word = args[k];
        std::string* option = word == "--from"      ? &a.from
                              : word == "--library" ? &a.library
                              : word == "--templates" ? &a.templates
                                                      : nullptr;
        if (!option) {
            if (word.size() > 1 && word[0] == '-') {
                error = "unknown option \"" + word + "\"";
                return false;
            }
            paths.push_back(word);
            continue;
        }
        if (k + 1 == args.size()) {
            error = "\"" + word + "\" needs a file name";
            return false;
        }
        *option = args[++k];
    }
    if (paths.size() != 2) {
        error = "\"build\" takes a recipe and an output file";
        return false;
    }
    a.recipe = paths[0];
    a.out = paths[1];
    return true;
}

bool writesLibrary(const json& recipe)
{
    for (const json& step : recipe["steps"]) {
        const auto op = step.find("op");
        if (op != step.end() && op->is_string() &&
            (op->get<std::string>() == "exportSurface" || op->get<std::string>() == "exportGroup"))
            return true;
    }
    return false;
}

// A private copy of the surface library that the steps change; it replaces
// the library only when the whole build has succeeded.
class LibraryScratch {
public:
    // False (error set) when the library exists but cannot be copied.
    bool open(const std::string& library, std::string& error)
    {
        library_ = library;
        std::vector<std::uint8_t> bytes;
        std::string ignored;
        if (!ReadWholeFile(library, bytes, ignored)) return true; // the steps report the missing library
        std::string pattern = library + ".build-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0 || ::close(fd) != 0 || !WriteFileReplacing(pattern, bytes, error)) {
            if (fd >= 0) ::unlink(pattern.c_str());
            if (error.empty()) error = "Cannot copy the surface library " + library + ".";
            return false;
        }
        scratch_ = pattern;
        return true;
    }
    ~LibraryScratch()
    {
        if (!scratch_.empty()) ::unlink(scratch_.c_str());
    }
    LibraryScratch() = default;
    LibraryScratch(const LibraryScratch&) = delete;
    LibraryScratch& operator=(const LibraryScratch&) = delete;

    const std::string& path() const { return scratch_.empty() ? library_ : scratch_; }
    // Messages name the library itself, not the copy.
    std::string realNames(std::string message) const
    {
        if (scratch_.empty()) return message;
        for (std::size_t at = message.find(scratch_); at != std::string::npos; at = message.find(scratch_, at))
            message.replace(at, scratch_.size(), library_);
        return message;
    }
    // Writes the changed library in full beside it, ready to replace it.
    bool prepare(ReplacingFileWriter& file, std::string& error) const
    {
        if (scratch_.empty()) return true;
        std::vector<std::uint8_t> bytes;
        return ReadWholeFile(scratch_, bytes, error) && file.Open(library_, error) &&
               file.Write(bytes.data(), bytes.size(), error) && file.Finish(error);
    }
    bool commit(ReplacingFileWriter& file, std::string& error) const { return scratch_.empty() || file.Commit(error); }

private:
    std::string library_, scratch_;
};

// Saves OUT and the library the steps exported to. Both are written in full
// beside their files before either replaces its file, so that a file that
// cannot be written leaves both as they were.
int saveOutputs(COpenGLTemplateDoc& document, const std::string& out, const LibraryScratch& library,
                std::ostream& err)
{
    std::string error;
    ReplacingFileWriter outFile, libraryFile;
    const std::vector<std::uint8_t> bytes = document.SerializeDocument();
    if (!outFile.Open(out, error) || !outFile.Write(bytes.data(), bytes.size(), error) || !outFile.Finish(error) ||
        !library.prepare(libraryFile, error) || !outFile.Commit(error))
        return report(err, error, kExitFile);
    if (!library.commit(libraryFile, error))
        return report(err, out + " was saved, but the surface library was not: " + error, kExitFile);
    return kExitOk;
}

// Library and template files are read and written in place of a regular
// file only: a FIFO there would stall the build, a device would take the data.
int checkDataFiles(const std::string& library, const std::string& templates, std::ostream& err)
{
    std::string error;
    for (const std::string* path : {&library, &templates})
        if (!IsRegularFileOrAbsent(*path, error)) return report(err, error, kExitFile);
    return kExitOk;
}

} // namespace

int RunRecipeSteps(RecipeContext& context, const RecipeOps& ops, const json& recipe, std::ostream& err)
{
    if (!recipe.is_object() || !recipe.contains("steps") || !recipe["steps"].is_array())
        return report(err, "a recipe is a JSON object with a \"steps\" array", kExitUsage);
    int number = 0;
    for (const json& step : recipe["steps"]) {
        const std::string where = "step " + std::to_string(++number);
        if (!step.is_object() || !step.contains("op") || !step["op"].is_string())
            return report(err, where + ": a step is an object with an \"op\" name", kExitUsage);
        const std::string op = step["op"].get<std::string>();
        const auto found = ops.find(op);
        if (found == ops.end()) return report(err, where + ": unknown op \"" + op + "\"", kExitUsage);
        design::DesignResult result;
        try {
            result = found->second(context, step);
        } catch (const RecipeError& e) {
            return report(err, where + " (" + op + "): " + NameToUtf8(e.what()), kExitUsage);
        } catch (const json::exception& e) {
            return report(err, where + " (" + op + "): a malformed argument: " + e.what(), kExitUsage);
        } catch (const gul::Error& e) {
            std::string message = e.message();
            if (!message.empty() && message.back() == '\n') message.pop_back();
            return report(err, where + " (" + op + "): the spline kernel failed: " + message, kExitUsage);
        }
        if (!result.ok()) {
            // A refusal of two message boxes is one line, the boxes in order.
            std::string refusal;
            for (const std::string& box : result.messages()) refusal += (refusal.empty() ? "" : " ") + box;
            err << where << " (" << op << "): " << NameToUtf8(refusal) << '\n';
            return kExitRefused;
        }
    }
    return kExitOk;
}

int RunBuild(const std::vector<std::string>& args, std::ostream&, std::ostream& err)
{
    BuildArguments a;
    std::string error;
    if (!parseArguments(args, a, error)) return UsageError(err, "build", error);

    std::vector<std::uint8_t> text;
    if (!ReadWholeFile(a.recipe, text, error)) return report(err, error, kExitFile);
    json recipe;
    if (!ParseRecipeText(text, recipe, error))
        return report(err, a.recipe + " is not a JSON recipe: " + error, kExitUsage);
    if (!recipe.is_object() || !recipe.contains("steps") || !recipe["steps"].is_array())
        return report(err, a.recipe + ": a recipe is a JSON object with a \"steps\" array", kExitUsage);

    COpenGLTemplateDoc document;
    if (a.from.empty()) {
        document.OnNewDocument();
    } else if (!document.OnOpenDocument(a.from, error)) {
        return report(err, error, kExitFile);
    }
    // The user's own library and templates are made from the shipped ones on
    // first use; a step that needs one that could not be made says so too.
    if (a.library.empty() || a.templates.empty())
        if (const std::string problem = PrepareUserDataFiles(); !problem.empty()) report(err, problem, kExitOk);
    // Exports go to a copy of the library, which replaces it only with OUT.
    LibraryScratch library;
    const std::string libraryPath = a.library.empty() ? document.libraryPath : a.library;
    const std::string templatePath = a.templates.empty() ? document.templatePath : a.templates;
    if (const int code = checkDataFiles(libraryPath, templatePath, err)) return code;
    const bool exporting = writesLibrary(recipe);
    if (exporting && !library.open(libraryPath, error)) return report(err, error, kExitFile);
    RecipeContext context{document, exporting ? library.path() : libraryPath, templatePath};

    RecipeOps ops;
    AddShapeRecipeOps(ops);
    AddTrackRecipeOps(ops);
    AddHistoryRecipeOps(ops);
    std::ostringstream stepErrors;
    const int code = RunRecipeSteps(context, ops, recipe, stepErrors);
    err << library.realNames(stepErrors.str());
    if (code != kExitOk) return code;

    return saveOutputs(document, a.out, library, err);
}

} // namespace cli
