// The design dialogs of the control panel: built hidden once, given the
// document, shown on demand by the buttons below.

#include "panel/ControlPanelForm.h"

#include "design/AttachmentSites.h"
#include "design/ChannelEditing.h"
#include "design/PanelCommands.h"
#include "design/SectionTransforms.h"
#include "dialogs/DialogEditSurfaceSections.h"
#include "dialogs/DialogManageGroups.h"
#include "dialogs/DialogSurfaceAttach.h"
#include "dialogs/DialogSurfaceAttachmentSites.h"
#include "dialogs/DialogSurfaceCreate.h"
#include "dialogs/DialogSurfaceCreateCircular.h"
#include "dialogs/DialogSurfaceCreateSweep.h"
#include "dialogs/DialogSurfaceEditA.h"
#include "dialogs/DialogSurfaceEditC.h"
#include "dialogs/DialogSurfaceHoles.h"
#include "document/OpenGLTemplateDoc.h"

#include <initializer_list>

namespace {

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
    sitesDialog_ = new DialogSurfaceAttachmentSites(document_, this);
    attachDialog_ = new DialogSurfaceAttach(document_, this);
    holesDialog_ = new DialogSurfaceHoles(document_, this);
    groupsDialog_ = new DialogManageGroups(document_, this);
    // A deleted site may have been linked: the attached lines follow.
    connect(sitesDialog_, &DialogSurfaceAttachmentSites::sitesChanged, this, [this] {
        FillAttachedSurfaceTree();
        RefreshDetachNotices();
    });
    connect(attachDialog_, &DialogSurfaceAttach::attached, this, [this] { FillSurfaceTree(); });
    connect(groupsDialog_, &DialogManageGroups::groupsChanged, this, [this] { FillSurfaceTree(); });
}

void ControlPanelForm::EndEditingDialogs()
{
    for (QDialog* dialog : std::initializer_list<QDialog*>{editADialog_, editBDialog_, editCDialog_, sectionsDialog_})
        if (dialog->isVisible()) dialog->reject();
}

void ControlPanelForm::RefreshDetachNotices()
{
    if (editADialog_ && editADialog_->isVisible()) editADialog_->ShowDetachNotice();
    if (editBDialog_ && editBDialog_->isVisible()) editBDialog_->ShowDetachNotice();
    if (editCDialog_ && editCDialog_->isVisible()) editCDialog_->ShowDetachNotice();
}

void ControlPanelForm::RefreshOpenDialogs()
{
    RefreshDetachNotices();
    if (sitesDialog_ && sitesDialog_->isVisible()) sitesDialog_->Refresh();
    if (attachDialog_ && attachDialog_->isVisible()) attachDialog_->Refresh();
    if (holesDialog_ && holesDialog_->isVisible()) holesDialog_->Refresh();
    if (groupsDialog_ && groupsDialog_->isVisible()) groupsDialog_->Refresh();
}

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
