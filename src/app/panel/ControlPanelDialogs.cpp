// The design dialogs of the control panel: built hidden once, given the
// document, shown on demand by the buttons below.

#include "panel/ControlPanelForm.h"

#include "design/AttachmentSites.h"
#include "design/ChannelEditing.h"
#include "design/PanelCommands.h"
#include "design/SectionTransforms.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogSurfaceCreate.h"
#include "dialogs/DialogSurfaceCreateCircular.h"
#include "dialogs/DialogSurfaceCreateSweep.h"
#include "dialogs/DialogSurfaceEditA.h"
#include "dialogs/DialogSurfaceEditC.h"
#include "document/OpenGLTemplateDoc.h"

namespace {

// Shown by the buttons whose design dialogs the program does not have yet.
constexpr const char* kDialogNotAvailable = "This design dialog is not available yet.";

} // namespace

void ControlPanelForm::BuildDialogs()
{
    // A new surface is selected, shown alone and holds the focal point.
    const auto showCreated = [this] {
        FillSurfaceTree();
        SetFocalSliders(document_.focalU, document_.focalV);
        UpdateFromDocument();
    };
    // A closed editing dialog gave back the surface's display, and a save broke its links.
    const auto showEdited = [this] {
        FillAttachedSurfaceTree();
        UpdateFromDocument();
    };
    createChannelDialog_ = new DialogSurfaceCreate(document_, this);
    connect(createChannelDialog_, &DialogSurfaceCreate::surfaceCreated, this, showCreated);
    createCircularDialog_ = new DialogSurfaceCreateCircular(document_, this);
    connect(createCircularDialog_, &DialogSurfaceCreateCircular::surfaceCreated, this, showCreated);
    editADialog_ = new DialogSurfaceEditA(document_, this);
    connect(editADialog_, &DialogSurfaceEditA::editingEnded, this, showEdited);
    editBDialog_ = new DialogSurfaceEditB(document_, this);
    connect(editBDialog_, &DialogSurfaceEditB::editingEnded, this, showEdited);
    editCDialog_ = new DialogSurfaceEditC(document_, this);
    connect(editCDialog_, &DialogSurfaceEditB::editingEnded, this, showEdited);
    createSweepDialog_ = new DialogSurfaceCreateSweep(document_, this);
    sectionsDialog_ = new DialogEditSurfaceSections(document_, this);
}

void ControlPanelForm::OnDesignDialog() { ShowMessage(QString::fromLatin1(kDialogNotAvailable)); }

// --- creating surfaces ---

void ControlPanelForm::OnCreateChannel() { createChannelDialog_->Present(); }

void ControlPanelForm::OnCreateCircular() { createCircularDialog_->Present(); }

void ControlPanelForm::OnCreateSweep() { createSweepDialog_->Open(); }

// --- shaping the selected surface ---

void ControlPanelForm::OnEditSelected()
{
    if (const design::DesignResult editable = design::CheckChannelEditable(document_); !editable.ok()) {
        ShowRefusal(editable);
        return;
    }
    design::DesignResult opened;
    switch (document_.selectedSurface->surfaceType) {
    case kTypeA: opened = editADialog_->Open(); break;
    case kTypeB: opened = editBDialog_->Open(); break;
    default: opened = editCDialog_->Open(); break;
    }
    ShowRefusal(opened);
    // The surface shows the editing display while the dialog is open.
    if (opened.ok()) UpdateFromDocument();
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
