// Cost of undoing and redoing design changes in a document of 100 linked
// channels of 24 sections x 20 points: a change to one surface, and the
// deletion of a group of 20 of them; and of recording a step.

#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "design/Holes.h"
#include "support/DocumentBuilders.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kSurfaces = 100;

void fill(COpenGLTemplateDoc& doc)
{
    builders::fillChainDocument(doc, kSurfaces, 20, 20);
    doc.StartHistory();
}

// Times the restores in one direction; the other direction runs untimed.
void measure(benchmark::State& state, COpenGLTemplateDoc& doc, bool timeUndo)
{
    for (auto _ : state) {
        if (!timeUndo) state.PauseTiming();
        if (!design::Undo(doc).ok()) state.SkipWithError("undo refused");
        if (!timeUndo) state.ResumeTiming();
        else state.PauseTiming();
        if (!design::Redo(doc).ok()) state.SkipWithError("redo refused");
        if (timeUndo) state.ResumeTiming();
    }
    state.counters["surfaces"] = static_cast<double>(doc.surfaces.size());
}

void BM_UndoRedoOneSurface(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    fill(doc);
    if (!design::AddHole(*doc.surfaces[50], "pit", 0.2, 0.4, 0.3, 0.5).ok()) state.SkipWithError("no hole");
    design::RecordStep(doc, design::kStepAddHole);
    measure(state, doc, state.range(0) == 0);
}
BENCHMARK(BM_UndoRedoOneSurface)->ArgName("redo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_UndoRedoGroupDelete(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    fill(doc);
    SurfaceGroup* group = doc.CreateGroup("twenty");
    for (int k = 40; k < 60; ++k) design::MoveSurfaceToGroup(doc, *doc.surfaces[k], *group);
    doc.StartHistory();
    if (!design::DeleteGroupButton(doc, group).ok()) state.SkipWithError("not deleted");
    design::RecordStep(doc, design::kStepDeleteGroup);
    measure(state, doc, state.range(0) == 0);
}
BENCHMARK(BM_UndoRedoGroupDelete)->ArgName("redo")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What every command pays after it is done: a snapshot compared with the last.
void BM_RecordStepOneSurface(benchmark::State& state)
{
    COpenGLTemplateDoc doc;
    fill(doc);
    bool on = false;
    for (auto _ : state) {
        state.PauseTiming();
        on = !on;
        doc.surfaces[50]->showControlLines = on ? 1 : 0;
        state.ResumeTiming();
        design::RecordStep(doc, design::kStepSurfaceDisplay);
    }
    state.counters["steps"] = static_cast<double>(doc.history.StepCount());
}
BENCHMARK(BM_RecordStepOneSurface)->Unit(benchmark::kMillisecond);

} // namespace
