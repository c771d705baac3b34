// Cost of exporting tracks: sampling every surface, closing it into a solid
// and writing the file through Assimp.

#include "exportwriter/TrackFileExport.h"
#include "support/DocumentBuilders.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

void exportOnce(benchmark::State& state, COpenGLTemplateDoc& doc, const trackexport::ExportRequest& request)
{
    trackexport::ExportOutcome outcome;
    for (auto _ : state) {
        outcome = trackexport::ExportTrack(doc, request);
        if (!outcome.error.empty()) state.SkipWithError(outcome.error.c_str());
    }
    state.counters["triangles"] = static_cast<double>(outcome.summary.triangles);
    state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(request.outputPath));
    std::filesystem::remove(request.outputPath);
}

trackexport::ExportRequest solidStl(const builders::TempFile& out, int resolution)
{
    trackexport::ExportRequest request;
    request.outputPath = out.path() + ".stl";
    request.options.thickness = 0.2;
    request.options.resolution = resolution;
    return request;
}

// The spiral example as a solid STL at twice the display density.
void BM_ExportSpiralSolidStl(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    std::string error;
    if (!doc.OnOpenDocument(MARLWICK_SOURCE_DIR "/examples/spiral.mwk", error)) state.SkipWithError(error.c_str());
    const builders::TempFile out("bench-export");
    exportOnce(state, doc, solidStl(out, 2));
}
BENCHMARK(BM_ExportSpiralSolidStl)->Unit(benchmark::kMillisecond);

// 100 linked channels of 24 sections x 20 points as solids at the display density.
void BM_ExportChainSolidStl(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    builders::fillChainDocument(doc, static_cast<int>(state.range(0)), 20, 20);
    const builders::TempFile out("bench-export");
    exportOnce(state, doc, solidStl(out, 1));
}
BENCHMARK(BM_ExportChainSolidStl)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
