// The control panel's buttons. Every button but "Position ball", "Roll
// ball", the focal-point buttons and "Set ball initial position at focal
// point" stops the ball before its own work (AddStoppingButton).

#include "panel/ControlPanelForm.h"

#include "design/AttachmentSites.h"
#include "dialogs/DialogSupport.h"
#include "design/ChannelEditing.h"
#include "design/DesignHistory.h"
#include "design/Groups.h"
#include "design/PanelCommands.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "panel/PanelViewCommands.h"
#include "simulation/Simulation.h"
#include "view/CameraCommands.h"


void ControlPanelForm::ShowMessage(const QString& text) { dialogs::ShowMessage(this, text); }

void ControlPanelForm::ShowRefusal(const design::DesignResult& result) { dialogs::ShowRefusal(this, result); }

void ControlPanelForm::StopBall() { view_.StopBallCommand(); }

// --- ball and focal point ---

void ControlPanelForm::OnPositionBall()
{
    const QString message = view_.PositionBallCommand();
    if (!message.isEmpty()) ShowMessage(message);
}

void ControlPanelForm::OnRollBall() { ShowRefusal(RollBall(document_)); }

void ControlPanelForm::OnSetBallStartAtFocalPoint()
{
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::SetBallStartAtFocalPoint(document_);
    }
    if (result.ok()) design::RecordStep(document_, design::kStepSetBallStart);
    ShowRefusal(result);
}

void ControlPanelForm::OnSetFocalPointAtBall()
{
    view_.FocalPointAtBallCommand();
    if (document_.focalSurface) SetFocalSliders(document_.focalU, document_.focalV);
}

void ControlPanelForm::OnSetFocalPointAtSelectedCenter()
{
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = SetFocalPointAtSelectedCenter(document_);
    }
    if (result.ok()) SetFocalSliders(document_.focalU, document_.focalV);
    ShowRefusal(result);
}

void ControlPanelForm::OnCenterViewOnSelected()
{
    const ThreadPauseGuard held(document_);
    CenterViewOnSelected(document_);
}

// --- what is shown ---

void ControlPanelForm::OnShowAll()
{
    {
        const ThreadPauseGuard held(document_);
        ShowAllSurfaces(document_);
    }
    if (document_.selectedSurface) SetRenderBox(1);
    design::RecordStep(document_, design::kStepShowAll);
}

void ControlPanelForm::OnShowOnlySelected()
{
    bool shown = false;
    {
        const ThreadPauseGuard held(document_);
        shown = design::ShowOnlySelected(document_);
        if (shown) static_cast<void>(SetFocalPointAtSelectedCenter(document_));
    }
    if (!shown) return;
    design::RecordStep(document_, design::kStepShowOnlySelected);
    UpdateFromDocument();
}

// --- surfaces ---

void ControlPanelForm::OnDeleteSurface()
{
    SurfaceSection* surface = document_.selectedSurface;
    if (!surface) {
        ShowRefusal(design::DeleteSurfaceButton(document_, nullptr));
        return;
    }
    const QString question = QString::fromStdString(design::DeleteSurfaceQuestion(*surface));
    if (!dialogs::AskOkCancel(this, question)) return;
    const std::string step = std::string(design::kStepDeleteSurface) + " " + textOf(surface->name);
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::DeleteSurfaceButton(document_, surface);
    }
    if (result.ok()) design::RecordStep(document_, step);
    FillSurfaceTree(true);
    ShowRefusal(result);
}

void ControlPanelForm::OnBreakAttachment()
{
    SurfaceSection* surface = document_.selectedSurface;
    const int site = SelectedAttachedSite();
    if (!surface || site < 0) {
        ShowMessage(QString::fromLatin1(design::kSelectAttachedToDetach));
        return;
    }
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::BreakAttachment(*surface, site);
    }
    if (result.ok()) design::RecordStep(document_, design::kStepBreakAttachment);
    FillAttachedSurfaceTree();
    ShowRefusal(result);
}
