#pragma once

// The control panel in the main frame's right pane: the ball and run
// controls, the scene's display switches, the follow camera, the focal point
// sliders, the selected surface's appearance, the "Surfaces :" and "Attached
// surfaces :" trees and the buttons of the design dialogs. Each control
// writes straight into the document or the selected surface; the document
// asks the panel to show its switches again (through its peers) when it
// changes them itself. The panel never polls.

#include "design/DesignResult.h"

#include <QWidget>

#include <vector>

class COpenGLTemplateDoc;
class DialogEditSurfaceSections;
class DialogManageGroups;
class DialogSurfaceAttach;
class DialogSurfaceAttachmentSites;
class DialogSurfaceCreate;
class DialogSurfaceCreateCircular;
class DialogSurfaceCreateSweep;
class DialogSurfaceEditA;
class DialogSurfaceEditB;
class DialogSurfaceEditC;
class DialogSurfaceHoles;
class PanelViewCommands;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class SliderEditSpin;
class SurfaceSection;

class ControlPanelForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSliderScale = 100;

    ControlPanelForm(COpenGLTemplateDoc& document, PanelViewCommands& view, QWidget* parent = nullptr);

    // Shows the document's switches, and the selected surface's when there is one.
    void UpdateFromDocument();
    // Refills "Surfaces :" (root "NONE", every group with its surfaces, all
    // expanded) and the attached tree; selectNone selects "NONE" and clears
    // the document's selection, otherwise the selected surface's item is
    // selected again.
    void FillSurfaceTree(bool selectNone = false);
    // The lines of the selected surface's linked sites; empty without one.
    void FillAttachedSurfaceTree();
    // The "Render" box, as the document set the selected surface's flag.
    void SetRenderBox(int value);
    // Both focal sliders at the integer parts of 100 u and 100 v.
    void SetFocalSliders(double u, double v);
    // Closes every open design dialog, as its own Close would, before an
    // undo or redo replaces the surfaces and groups the dialogs act on.
    void CloseDesignDialogs();
    // Ends the open editing dialogs (the type A, B and C editors and the
    // cross-section editors) as their Close would: every stopping button
    // does this first, so a surface is never held by two of them.
    void EndEditingDialogs();

private:
    // --- building (ControlPanelForm.cpp) ---
    void BuildControls();
    QWidget* BuildSimulationBox();
    QWidget* BuildDisplayBox();
    QWidget* BuildCameraBox();
    QWidget* BuildFocalBox();
    QWidget* BuildSurfaceBox();
    QWidget* BuildTrees();
    QWidget* BuildDesignBox();
    QPushButton* AddButton(const char* objectName, const char* caption, void (ControlPanelForm::*handler)());
    QPushButton* AddStoppingButton(const char* objectName, const char* caption,
                                   void (ControlPanelForm::*handler)());

    // --- switches ---
    void WriteSurfaceSwitch(int index, bool on);
    void WriteRender(bool on);
    void WriteColoring(int mode);
    void WriteLagging(int mode);
    void WriteVertical(bool on);
    void MoveFocalPoint(bool alongU, int position);
    void LoadSurfaceSwitches(const SurfaceSection& surface);

    // --- buttons (ControlPanelCommands.cpp) ---
    void OnPositionBall();
    void OnRollBall();
    void OnSetBallStartAtFocalPoint();
    void OnSetFocalPointAtBall();
    void OnSetFocalPointAtSelectedCenter();
    void OnDeleteSurface();
    void OnShowOnlySelected();
    void OnShowAll();
    void OnCenterViewOnSelected();
    void OnBreakAttachment();
    void StopBall();
    void ShowMessage(const QString& text);
    // The refusal's message boxes, in order; nothing when it was done.
    void ShowRefusal(const design::DesignResult& result);

    // --- design dialogs (ControlPanelDialogs.cpp) ---
    void BuildDialogs();
    void OnCreateChannel();
    void OnCreateCircular();
    void OnCreateSweep();
    void OnEditSelected();
    void OnEditCrossSections();
    void OnAttachmentSites();
    void OnAttachToSite();
    void OnEditHoles();
    void OnManageGroups();
    // The open dialogs of the selected surface and of the groups show the document again.
    void RefreshOpenDialogs();
    // The open editors tell again which links a save will break.
    void RefreshDetachNotices();

    // --- trees (ControlPanelTrees.cpp) ---
    void OnSurfaceItemSelected();
    void OnSurfaceItemRenamed(QTreeWidgetItem* item);
    void OnAttachedItemSelected();
    void SelectSurface(SurfaceSection* surface);
    QTreeWidgetItem* ItemOfSurface(const SurfaceSection* surface) const;
    int SelectedAttachedSite() const;

    COpenGLTemplateDoc& document_;
    PanelViewCommands& view_;
    std::vector<QCheckBox*> simulationChecks_; // as kSimulationSwitches
    std::vector<QCheckBox*> displayChecks_;    // as kDisplaySwitches
    std::vector<QCheckBox*> surfaceChecks_;    // as kSurfaceSwitches
    QCheckBox* followCheck_ = nullptr;
    QCheckBox* verticalCheck_ = nullptr;
    QCheckBox* renderCheck_ = nullptr;
    QButtonGroup* laggingGroup_ = nullptr;
    QButtonGroup* coloringGroup_ = nullptr;
    SliderEditSpin* focalU_ = nullptr;
    SliderEditSpin* focalV_ = nullptr;
    QTreeWidget* surfaceTree_ = nullptr;
    QTreeWidget* attachedTree_ = nullptr;
    // The design dialogs, children of the panel, built hidden once.
    DialogSurfaceCreate* createChannelDialog_ = nullptr;
    DialogSurfaceCreateCircular* createCircularDialog_ = nullptr;
    DialogSurfaceCreateSweep* createSweepDialog_ = nullptr;
    DialogSurfaceEditA* editADialog_ = nullptr;
    DialogSurfaceEditB* editBDialog_ = nullptr;
    DialogSurfaceEditC* editCDialog_ = nullptr;
    DialogEditSurfaceSections* sectionsDialog_ = nullptr;
    DialogSurfaceAttachmentSites* sitesDialog_ = nullptr;
    DialogSurfaceAttach* attachDialog_ = nullptr;
    DialogSurfaceHoles* holesDialog_ = nullptr;
    DialogManageGroups* groupsDialog_ = nullptr;
    bool fillingTrees_ = false; // selection changes are the refill's, not the user's
};
