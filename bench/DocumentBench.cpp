// Cost of opening documents: reading the file, rebuilding every surface's
// net, meshes and boxes, and re-linking sites and groups.

#include "support/DocumentBuilders.h"

#include <benchmark/benchmark.h>

namespace {

// A document of `count` linked channels of 24 sections x 20 points, saved once.
const builders::TempFile& savedChain(int count)
{
    static builders::TempFile file("bench-open");
    static int saved = 0;
    if (saved != count) {
        COpenGLTemplateDoc doc;
        builders::fillChainDocument(doc, count, 20, 20);
        std::string error;
        if (!doc.OnSaveDocument(file.path(), error)) throw std::runtime_error(error);
        saved = count;
    }
    return file;
}

void BM_OpenDocument(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const builders::TempFile& file = savedChain(count);
    COpenGLTemplateDoc doc;
    std::string error;
    for (auto _ : state) {
        if (!doc.OnOpenDocument(file.path(), error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(doc.surfaces.data());
    }
    state.counters["surfaces"] = static_cast<double>(doc.surfaces.size());
    state.counters["file_bytes"] = static_cast<double>(file.read().size());
}
BENCHMARK(BM_OpenDocument)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond);

// The file reading alone, without rebuilding: what a failed open costs at most.
void BM_ReadDocumentRecord(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = savedChain(100).read();
    StandaloneSurfaceHost host;
    for (auto _ : state) {
        ArchiveReader reader(bytes);
        DocumentContents contents = ReadDocumentRecord(reader, &host);
        benchmark::DoNotOptimize(contents.surfaces.data());
    }
}
BENCHMARK(BM_ReadDocumentRecord)->Unit(benchmark::kMillisecond);

void BM_SaveDocument(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    builders::fillChainDocument(doc, 100, 20, 20);
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = doc.SerializeDocument();
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

} // namespace
