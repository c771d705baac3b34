#include "exportwriter/TrackFileExport.h"

#include "document/OpenGLTemplateDoc.h"
#include "exportwriter/ReplacingFiles.h"
#include "exportwriter/SceneCollector.h"
#include "exportwriter/StlStream.h"

#include <assimp/Exporter.hpp>

#include <exception>
#include <new>
#include <stdexcept>

namespace trackexport {

namespace {

// Assimp's names of the formats' exporters (OBJ without a material file).
const char* exporterId(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Stl: return "stlb";
    case ExportFormat::Obj: return "objnomtl";
    case ExportFormat::Ply: return "plyb";
    case ExportFormat::Gltf: return "gltf2";
    case ExportFormat::Glb: return "glb2";
    }
    return "stlb";
}

ExportOutcome refusal(std::string message)
{
    ExportOutcome outcome;
    outcome.error = std::move(message);
    outcome.refused = true;
    return outcome;
}

std::string writeScene(const aiScene& scene, ExportFormat format, const std::string& path, ReplacingFiles& files)
{
    Assimp::Exporter exporter;
    exporter.SetIOHandler(files.NewIOSystem());
    std::string failure;
    try {
        if (exporter.Export(&scene, exporterId(format), path) != aiReturn_SUCCESS) failure = exporter.GetErrorString();
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (!files.error().empty()) return files.error();
    if (!failure.empty()) return "Cannot save " + path + ": " + failure;
    return {};
}

// Binary STL goes to disk surface by surface (StlStream).
ExportOutcome exportStl(COpenGLTemplateDoc& document, const ExportRequest& request, ExportOutcome& outcome)
{
    ReplacingFileWriter file;
    if (!file.Open(request.outputPath, outcome.error)) return outcome;
    StlStream stl(file, request.outputPath);
    outcome.error = BuildTrackMeshes(document, request.options, stl, outcome.summary);
    if (!outcome.error.empty()) {
        outcome.refused = true;
        return outcome;
    }
    FileNotes notes;
    notes.summary = outcome.summary;
    notes.ballDiameterMm = request.options.ballDiameterMm;
    if (stl.Finish(notes.Headline(), outcome.error)) file.Commit(outcome.error);
    return outcome;
}

ExportOutcome exportChecked(COpenGLTemplateDoc& document, const ExportRequest& request, ExportFormat format)
{
    ExportRequest checked = request;
    checked.options.format = format;
    if (SameFile(request.outputPath, request.documentPath))
        return refusal("Cannot save " + request.outputPath + ": it is the document being exported.");

    ExportOutcome outcome;
    outcome.path = request.outputPath;
    if (format == ExportFormat::Stl) return exportStl(document, checked, outcome);
    FileNotes notes;
    {
        SceneCollector collector;
        outcome.error = BuildTrackMeshes(document, checked.options, collector, outcome.summary);
        if (!outcome.error.empty()) {
            outcome.refused = true;
            return outcome;
        }
        notes.summary = outcome.summary;
        notes.ballDiameterMm = checked.options.ballDiameterMm;
        notes.objectNames = collector.names();
        notes.objectTriangles = collector.triangleCounts();
        ReplacingFiles files(notes, request.documentPath);
        outcome.error = writeScene(collector.Scene(), format, request.outputPath, files);
        if (outcome.error.empty()) files.Commit(outcome.error);
    }
    return outcome;
}

} // namespace

ExportOutcome ExportTrack(COpenGLTemplateDoc& document, const ExportRequest& request)
{
    const auto format = FormatFromPath(request.outputPath);
    if (!format) return refusal(kBadExtension);
    // A resolution of 8 on many large surfaces can ask for more than there is.
    try {
        return exportChecked(document, request, *format);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    ExportOutcome outcome;
    outcome.error = "Cannot save " + request.outputPath + ": there is not enough memory for an export this fine.";
    return outcome;
}


ExportOutcome ExportFromFields(COpenGLTemplateDoc& document, const ExportFields& fields,
                               const std::string& documentPath)
{
    ExportRequest request;
    if (std::string problem = RequestFromFields(document, fields, request); !problem.empty())
        return refusal(std::move(problem));
    request.documentPath = documentPath;
    return ExportTrack(document, request);
}

} // namespace trackexport
