// The design dialogs of the control panel: built hidden once, given the
// document, shown on demand by the buttons below.

#include "panel/ControlPanelForm.h"

#include "design/AttachmentSites.h"
#include "design/ChannelEditing.h"
#include "design/PanelCommands.h"
#include "design/SectionTransforms.h"
#include "dialogs/DialogManageGroups.h"
#include "dialogs/DialogSurfaceAttach.h"
#include "dialogs/DialogSurfaceAttachmentSites.h"
#include "dialogs/DialogSurfaceHoles.h"
#include "document/OpenGLTemplateDoc.h"

namespace {

// Shown by the buttons whose design dialogs the program does not have yet.
constexpr const char* kDialogNotAvailable = "This design dialog is not available yet.";

// Shows a modeless dialog, or brings it up to date when it is open already.
template <typename Dialog>
void showDialog(Dialog* dialog)
{
    if (dialog->isVisible()) dialog->Refresh();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

void ControlPanelForm::BuildDialogs()
{
    sitesDialog_ = new DialogSurfaceAttachmentSites(document_, this);
    attachDialog_ = new DialogSurfaceAttach(document_, this);
    holesDialog_ = new DialogSurfaceHoles(document_, this);
    groupsDialog_ = new DialogManageGroups(document_, this);
    // A deleted site may have been linked: the attached lines follow.
    connect(sitesDialog_, &DialogSurfaceAttachmentSites::sitesChanged, this,
            [this] { FillAttachedSurfaceTree(); });
    connect(attachDialog_, &DialogSurfaceAttach::attached, this, [this] { FillSurfaceTree(); });
    connect(groupsDialog_, &DialogManageGroups::groupsChanged, this, [this] { FillSurfaceTree(); });
}

void ControlPanelForm::RefreshOpenDialogs()
{
    if (sitesDialog_ && sitesDialog_->isVisible()) sitesDialog_->Refresh();
    if (attachDialog_ && attachDialog_->isVisible()) attachDialog_->Refresh();
    if (holesDialog_ && holesDialog_->isVisible()) holesDialog_->Refresh();
    if (groupsDialog_ && groupsDialog_->isVisible()) groupsDialog_->Refresh();
}

void ControlPanelForm::OnDesignDialog() { ShowMessage(QString::fromLatin1(kDialogNotAvailable)); }

// --- creating surfaces ---

void ControlPanelForm::OnCreateChannel() { OnDesignDialog(); }

void ControlPanelForm::OnCreateCircular() { OnDesignDialog(); }

void ControlPanelForm::OnCreateSweep() { OnDesignDialog(); }

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
    else OnDesignDialog();
}

// --- sites, attaching, holes and groups ---

void ControlPanelForm::OnAttachmentSites()
{
    if (!document_.selectedSurface) ShowMessage(QString::fromLatin1(design::kSelectSurfaceForSites));
    else showDialog(sitesDialog_);
}

void ControlPanelForm::OnAttachToSite()
{
    if (!document_.selectedSurface) ShowMessage(QString::fromLatin1(design::kSelectSurfaceToAttachTo));
    else showDialog(attachDialog_);
}

void ControlPanelForm::OnEditHoles()
{
    if (!document_.selectedSurface) ShowMessage(QString::fromLatin1(design::kSelectSurfaceForHoles));
    else showDialog(holesDialog_);
}

void ControlPanelForm::OnManageGroups() { showDialog(groupsDialog_); }
