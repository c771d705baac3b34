// The design dialogs of the control panel: built hidden once, given the
// document, shown on demand by the buttons below.

#include "panel/ControlPanelForm.h"

#include "design/AttachmentSites.h"
#include "design/ChannelEditing.h"
#include "design/PanelCommands.h"
#include "design/SectionTransforms.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogSurfaceCreateSweep.h"
#include "document/OpenGLTemplateDoc.h"

namespace {

// Shown by the buttons whose design dialogs the program does not have yet.
constexpr const char* kDialogNotAvailable = "This design dialog is not available yet.";

} // namespace

void ControlPanelForm::BuildDialogs()
{
    createSweepDialog_ = new DialogSurfaceCreateSweep(document_, this);
    sectionsDialog_ = new DialogEditSurfaceSections(document_, this);
}

void ControlPanelForm::OnDesignDialog() { ShowMessage(QString::fromLatin1(kDialogNotAvailable)); }

// --- creating surfaces ---

void ControlPanelForm::OnCreateChannel() { OnDesignDialog(); }

void ControlPanelForm::OnCreateCircular() { OnDesignDialog(); }

void ControlPanelForm::OnCreateSweep() { createSweepDialog_->Open(); }

// --- shaping the selected surface ---

void ControlPanelForm::OnEditSelected()
{
    if (const design::DesignResult editable = design::CheckChannelEditable(document_); !editable.ok()) {
        ShowRefusal(editable);
        return;
    }
    OnDesignDialog();
}

void ControlPanelForm::OnEditCrossSections()
{
    if (!document_.selectedSurface) ShowMessage(QString::fromLatin1(design::kSelectSurfaceToEdit));
    else sectionsDialog_->Open();
}

// --- sites, attaching, holes and groups ---

void ControlPanelForm::OnAttachmentSites()
{
    if (!document_.selectedSurface) ShowMessage(QString::fromLatin1(design::kSelectSurfaceForSites));
    else OnDesignDialog();
}

void ControlPanelForm::OnAttachToSite()
{
    if (!document_.selectedSurface) ShowMessage(QString::fromLatin1(design::kSelectSurfaceToAttachTo));
    else OnDesignDialog();
}

void ControlPanelForm::OnEditHoles()
{
    if (!document_.selectedSurface) ShowMessage(QString::fromLatin1(design::kSelectSurfaceForHoles));
    else OnDesignDialog();
}

void ControlPanelForm::OnManageGroups() { OnDesignDialog(); }
