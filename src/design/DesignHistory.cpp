#include "design/DesignHistory.h"

#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "simulation/ForcesAndPaths.h"
#include "simulation/Simulation.h"

namespace design {

namespace {

// The ball may stand on, or remember, a surface that a restore destroyed: it
// goes back to its start, stopped, as the restored document has it.
void ForgetDestroyedSurfaces(COpenGLTemplateDoc& document)
{
    ResetBall(document);
    document.ballSurface = document.ballStartSurface;
    const auto usable = [](double x) { return x >= 0.0 && x <= 1.0; };
    if (usable(document.ballStartU) && usable(document.ballStartV))
        PlaceBall(document, document.ballStartU, document.ballStartV, document.launchSpeed);
    LockGuard guard(document.simulationLock);
    document.simulation.published = document.simulation.ball;
    document.simulation.publishedSurface = document.ballSurface;
}

DesignResult Restore(COpenGLTemplateDoc& document, bool back)
{
    DocumentHistory& history = document.history;
    if (history.held()) return kHistoryHeld;
    if (back ? !history.CanUndo() : !history.CanRedo()) return back ? kNothingToUndo : kNothingToRedo;
    COpenGLTemplateDoc::RestoreOutcome outcome;
    std::string error;
    {
        const ThreadPauseGuard held(document);
        if (!document.RestoreSnapshot(back ? history.UndoTarget() : history.RedoTarget(), outcome, error)) {
            // The states cannot be rebuilt: the document as it stands starts a new history.
            document.StartHistory();
            return error;
        }
        if (back)
            history.StepBack();
        else
            history.StepForward();
        if (outcome.destroyed) ForgetDestroyedSurfaces(document);
        // The selection moves to a surface brought back, else to one rebuilt.
        const auto& moved = outcome.added.empty() ? outcome.changed : outcome.added;
        if (!moved.empty()) {
            LockGuard guard(document.documentLock);
            document.selectedSurface = moved.front();
        }
    }
    document.SetModifiedFlag(!history.AtSaved());
    document.peers().DocumentRestored();
    document.peers().HistoryChanged();
    return {};
}

} // namespace

void RecordStep(COpenGLTemplateDoc& document, std::string_view what)
{
    DocumentHistory& history = document.history;
    const DocumentSnapshot now = TakeSnapshot(document, history.started() ? &history.Current() : nullptr);
    if (!history.Record(std::string(what), now)) return;
    document.SetModifiedFlag(!history.AtSaved());
    document.peers().HistoryChanged();
}

bool CanUndo(const COpenGLTemplateDoc& document)
{
    return document.history.CanUndo() && !document.history.held();
}

bool CanRedo(const COpenGLTemplateDoc& document)
{
    return document.history.CanRedo() && !document.history.held();
}

std::string UndoStepName(const COpenGLTemplateDoc& document) { return document.history.UndoText(); }

std::string RedoStepName(const COpenGLTemplateDoc& document) { return document.history.RedoText(); }

DesignResult Undo(COpenGLTemplateDoc& document) { return Restore(document, true); }

DesignResult Redo(COpenGLTemplateDoc& document) { return Restore(document, false); }

void HoldHistory(COpenGLTemplateDoc& document)
{
    document.history.Hold();
    document.peers().HistoryChanged();
}

void ReleaseHistory(COpenGLTemplateDoc& document)
{
    document.history.Release();
    document.peers().HistoryChanged();
}

} // namespace design
