#include "panel/ControlPanelForm.h"

#include "design/DesignHistory.h"
#include "design/PanelCommands.h"
#include "dialogs/DialogSupport.h"
#include "dialogs/FocusedWheel.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "panel/PanelSwitches.h"
#include "panel/PanelViewCommands.h"
#include "panel/SliderEditSpin.h"
#include "simulation/SharedSettings.h"
#include "view/CameraCommands.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

// Narrow margins: the panel's pane is 330 pixels wide.
constexpr int kBoxMargin = 4;

QCheckBox* makeCheck(QWidget* parent, const char* objectName, const char* caption)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(objectName));
    return box;
}

// A group box whose controls stand in one column.
QGroupBox* makeBox(QWidget* parent, const char* objectName, const char* title)
{
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setObjectName(QString::fromLatin1(objectName));
    (new QVBoxLayout(box))->setContentsMargins(kBoxMargin, kBoxMargin, kBoxMargin, kBoxMargin);
    return box;
}

// A radio button's group reports the change too: both stay quiet.
void setCheckedQuietly(QAbstractButton* button, bool on)
{
    const QSignalBlocker quiet(button);
    const QSignalBlocker quietGroup(button->group());
    button->setChecked(on);
}

// The slider position of a focal parameter: the integer part of 100 u.
int sliderPosition(double parameter)
{
    return static_cast<int>(std::trunc(parameter * ControlPanelForm::kSliderScale));
}

} // namespace

ControlPanelForm::ControlPanelForm(COpenGLTemplateDoc& document, PanelViewCommands& view, QWidget* parent)
    : QWidget(parent), document_(document), view_(view)
{
    setObjectName(QStringLiteral("ControlPanelForm"));
    BuildControls();
    BuildDialogs();
    dialogs::TakeWheelOnlyWhenFocused(this);
    for (std::size_t k = 0; k < surfaceChecks_.size(); ++k)
        setCheckedQuietly(surfaceChecks_[k], kSurfaceSwitches[k].onAtStart);
    setCheckedQuietly(coloringGroup_->button(kColoringAtStart), true);
    UpdateFromDocument();
}

// --- building ---

void ControlPanelForm::BuildControls()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(BuildSimulationBox());
    column->addWidget(BuildDisplayBox());
    column->addWidget(BuildCameraBox());
    column->addWidget(BuildFocalBox());
    column->addWidget(BuildSurfaceBox());
    column->addWidget(BuildTrees());
    column->addWidget(BuildDesignBox());
    column->addStretch(1);
}

QPushButton* ControlPanelForm::AddButton(const char* objectName, const char* caption,
                                         void (ControlPanelForm::*handler)())
{
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromLatin1(objectName));
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QPushButton* ControlPanelForm::AddStoppingButton(const char* objectName, const char* caption,
                                                 void (ControlPanelForm::*handler)())
{
    auto* button = new QPushButton(QString::fromUtf8(caption), this);
    button->setObjectName(QString::fromLatin1(objectName));
    connect(button, &QPushButton::clicked, this, [this, handler] {
        StopBall();
        EndEditingDialogs();
        (this->*handler)();
    });
    return button;
}

QWidget* ControlPanelForm::BuildSimulationBox()
{
    QGroupBox* box = makeBox(this, "simulationBox", "Simulation");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddButton("positionBallButton", "Position ball", &ControlPanelForm::OnPositionBall));
    buttons->addWidget(AddButton("rollBallButton", "Roll ball", &ControlPanelForm::OnRollBall));
    box->layout()->addItem(buttons);
    for (const DocumentSwitch& s : kSimulationSwitches) {
        QCheckBox* check = makeCheck(box, s.objectName, s.caption);
        connect(check, &QCheckBox::toggled, this, [this, field = s.field](bool on) { design::SetDocumentSwitch(document_, field, on); });
        box->layout()->addWidget(check);
        simulationChecks_.push_back(check);
    }
    return box;
}

QWidget* ControlPanelForm::BuildDisplayBox()
{
    auto* box = new QGroupBox(QStringLiteral("Display"), this);
    box->setObjectName(QStringLiteral("displayBox"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(kBoxMargin / 2, kBoxMargin, kBoxMargin / 2, kBoxMargin);
    grid->setHorizontalSpacing(kBoxMargin / 2);
    int k = 0;
    for (const DocumentSwitch& s : kDisplaySwitches) {
        QCheckBox* check = makeCheck(box, s.objectName, s.caption);
        connect(check, &QCheckBox::toggled, this, [this, field = s.field](bool on) { design::SetDocumentSwitch(document_, field, on); });
        grid->addWidget(check, k / 2, k % 2);
        displayChecks_.push_back(check);
        ++k;
    }
    return box;
}

QWidget* ControlPanelForm::BuildCameraBox()
{
    QGroupBox* box = makeBox(this, "cameraBox", "Camera");
    followCheck_ = makeCheck(box, "followCheck", "Camera follows ball :");
    connect(followCheck_, &QCheckBox::toggled, this, [this](bool on) { view_.SetCameraFollowsBall(on); });
    verticalCheck_ = makeCheck(box, "verticalCheck", "Vertical orientation");
    connect(verticalCheck_, &QCheckBox::toggled, this, &ControlPanelForm::WriteVertical);
    box->layout()->addWidget(followCheck_);
    box->layout()->addWidget(verticalCheck_);
    laggingGroup_ = new QButtonGroup(box);
    auto* radios = new QHBoxLayout;
    const char* names[] = {"inPresentRadio", "laggingPresentRadio"};
    const char* captions[] = {"In present", "Lagging present"};
    for (int mode = 0; mode < 2; ++mode) {
        auto* radio = new QRadioButton(QString::fromUtf8(captions[mode]), box);
        radio->setObjectName(QString::fromLatin1(names[mode]));
        laggingGroup_->addButton(radio, mode);
        radios->addWidget(radio);
    }
    dialogs::OnRadioChosen(laggingGroup_, this, [this](int mode) { WriteLagging(mode); });
    box->layout()->addItem(radios);
    return box;
}

QWidget* ControlPanelForm::BuildFocalBox()
{
    QGroupBox* box = makeBox(this, "focalBox", "Focal point position");
    focalU_ = new SliderEditSpin(QStringLiteral("U param:"), QStringLiteral("focalU"), 1, kSliderScale, 10, box);
    focalV_ = new SliderEditSpin(QStringLiteral("V param:"), QStringLiteral("focalV"), 1, kSliderScale, 10, box);
    connect(focalU_, &SliderEditSpin::positionChosen, this, [this](int p) { MoveFocalPoint(true, p); });
    connect(focalV_, &SliderEditSpin::positionChosen, this, [this](int p) { MoveFocalPoint(false, p); });
    box->layout()->addWidget(focalU_);
    box->layout()->addWidget(focalV_);
    box->layout()->addWidget(AddButton("ballStartAtFocalPointButton", "Set ball initial position at focal point",
                                       &ControlPanelForm::OnSetBallStartAtFocalPoint));
    box->layout()->addWidget(
        AddButton("focalPointAtBallButton", "Set focal point at ball", &ControlPanelForm::OnSetFocalPointAtBall));
    box->layout()->addWidget(AddButton("focalPointAtSelectedButton", "Set focal point at selected surface center",
                                       &ControlPanelForm::OnSetFocalPointAtSelectedCenter));
    return box;
}

QWidget* ControlPanelForm::BuildSurfaceBox()
{
    QGroupBox* box = makeBox(this, "surfaceBox", "Selected surface");
    renderCheck_ = makeCheck(box, "renderCheck", "Render");
    connect(renderCheck_, &QCheckBox::toggled, this, &ControlPanelForm::WriteRender);
    box->layout()->addWidget(renderCheck_);
    for (std::size_t k = 0; k < std::size(kSurfaceSwitches); ++k) {
        QCheckBox* check = makeCheck(box, kSurfaceSwitches[k].objectName, kSurfaceSwitches[k].caption);
        connect(check, &QCheckBox::toggled, this, [this, k](bool on) { WriteSurfaceSwitch(static_cast<int>(k), on); });
        box->layout()->addWidget(check);
        surfaceChecks_.push_back(check);
    }
    coloringGroup_ = new QButtonGroup(box);
    auto* radios = new QGridLayout;
    for (int mode = 0; mode < 4; ++mode) {
        auto* radio = new QRadioButton(QString::fromUtf8(kColoringCaptions[mode]), box);
        radio->setObjectName(QString::fromLatin1(kColoringObjectNames[mode]));
        coloringGroup_->addButton(radio, mode);
        radios->addWidget(radio, mode / 2, mode % 2);
    }
    dialogs::OnRadioChosen(coloringGroup_, this, [this](int mode) { WriteColoring(mode); });
    box->layout()->addItem(radios);
    return box;
}

QWidget* ControlPanelForm::BuildTrees()
{
    auto* trees = new QWidget(this);
    auto* column = new QVBoxLayout(trees);
    column->setContentsMargins(0, 0, 0, 0);
    const auto addTree = [&](const char* objectName, const char* caption) {
        auto* label = new QLabel(QString::fromUtf8(caption), trees);
        auto* tree = new QTreeWidget(trees);
        tree->setObjectName(QString::fromLatin1(objectName));
        tree->setHeaderHidden(true);
        tree->setMinimumHeight(140);
        label->setBuddy(tree);
        tree->setAccessibleName(label->text());
        column->addWidget(label);
        column->addWidget(tree);
        return tree;
    };
    surfaceTree_ = addTree("surfaceTree", "Surfaces :");
    surfaceTree_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    connect(surfaceTree_, &QTreeWidget::itemSelectionChanged, this, &ControlPanelForm::OnSurfaceItemSelected);
    connect(surfaceTree_, &QTreeWidget::itemChanged, this, &ControlPanelForm::OnSurfaceItemRenamed);
    attachedTree_ = addTree("attachedTree", "Attached surfaces :");
    attachedTree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(attachedTree_, &QTreeWidget::itemSelectionChanged, this, &ControlPanelForm::OnAttachedItemSelected);
    return trees;
}

QWidget* ControlPanelForm::BuildDesignBox()
{
    auto* box = new QGroupBox(QStringLiteral("Design"), this);
    box->setObjectName(QStringLiteral("designBox"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(kBoxMargin, kBoxMargin, kBoxMargin, kBoxMargin);
    const struct {
        const char* objectName;
        const char* caption;
        void (ControlPanelForm::*handler)();
    } buttons[] = {
        {"createChannelButton", "Create channel", &ControlPanelForm::OnCreateChannel},
        {"createSweepButton", "Create sweep", &ControlPanelForm::OnCreateSweep},
        {"createCircularButton", "Create circular", &ControlPanelForm::OnCreateCircular},
        {"deleteSurfaceButton", "Delete surface", &ControlPanelForm::OnDeleteSurface},
        {"editSelectedButton", "Edit selected", &ControlPanelForm::OnEditSelected},
        {"editCrossSectionsButton", "Edit selected surface cross sections", &ControlPanelForm::OnEditCrossSections},
        {"editHolesButton", "Edit holes", &ControlPanelForm::OnEditHoles},
        {"showOnlySelectedButton", "Show only selected", &ControlPanelForm::OnShowOnlySelected},
        {"showAllButton", "Show all", &ControlPanelForm::OnShowAll},
        {"centerViewButton", "Center view on selected", &ControlPanelForm::OnCenterViewOnSelected},
        {"attachmentSitesButton", "Attachment sites", &ControlPanelForm::OnAttachmentSites},
        {"attachToSiteButton", "Attach to site", &ControlPanelForm::OnAttachToSite},
        {"breakAttachmentButton", "Break attachment", &ControlPanelForm::OnBreakAttachment},
        {"manageGroupsButton", "Manage Surface Groups", &ControlPanelForm::OnManageGroups},
    };
    int k = 0;
    for (const auto& b : buttons) {
        // The long captions take the whole row.
        const bool wide = std::string_view(b.caption).size() > 20;
        if (wide && k % 2 == 1) ++k;
        grid->addWidget(AddStoppingButton(b.objectName, b.caption, b.handler), k / 2, k % 2, 1, wide ? 2 : 1);
        k += wide ? 2 : 1;
    }
    return box;
}

// --- switches ---

void ControlPanelForm::UpdateFromDocument()
{
    for (std::size_t k = 0; k < simulationChecks_.size(); ++k)
        setCheckedQuietly(simulationChecks_[k], ReadSetting(document_.*kSimulationSwitches[k].field));
    for (std::size_t k = 0; k < displayChecks_.size(); ++k)
        setCheckedQuietly(displayChecks_[k], ReadSetting(document_.*kDisplaySwitches[k].field));
    setCheckedQuietly(followCheck_, ReadSetting(document_.cameraFollowsBall));
    setCheckedQuietly(verticalCheck_, CameraAlignedVertically(document_));
    setCheckedQuietly(laggingGroup_->button(document_.simulation.camera.laggingSwitch.load() == 0 ? 0 : 1), true);
    if (document_.selectedSurface) LoadSurfaceSwitches(*document_.selectedSurface);
    SetFocalSliders(document_.focalU, document_.focalV);
}

void ControlPanelForm::LoadSurfaceSwitches(const SurfaceSection& surface)
{
    setCheckedQuietly(renderCheck_, surface.render.load() != 0);
    for (std::size_t k = 0; k < surfaceChecks_.size(); ++k)
        setCheckedQuietly(surfaceChecks_[k], surface.*kSurfaceSwitches[k].field != 0);
    if (QAbstractButton* radio = coloringGroup_->button(static_cast<int>(surface.coloring))) setCheckedQuietly(radio, true);
}

void ControlPanelForm::CloseDesignDialogs()
{
    for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if (dialog->isVisible()) dialog->close();
}

void ControlPanelForm::SetRenderBox(int value) { setCheckedQuietly(renderCheck_, value != 0); }

void ControlPanelForm::SetFocalSliders(double u, double v)
{
    focalU_->SetPosition(sliderPosition(u));
    focalV_->SetPosition(sliderPosition(v));
}

// The render thread draws the surface's switches and the physics thread
// reads its colouring: both hold still while they change.
void ControlPanelForm::WriteSurfaceSwitch(int index, bool on)
{
    if (!document_.selectedSurface) return;
    const SurfaceSwitch& s = kSurfaceSwitches[index];
    {
        const ThreadPauseGuard held(document_);
        design::SetSurfaceSwitch(document_, s.field, on ? 1 : 0, s.marksStale);
    }
    design::RecordStep(document_, design::kStepSurfaceDisplay);
}

void ControlPanelForm::WriteRender(bool on)
{
    if (!document_.selectedSurface) return;
    design::SetSurfaceRender(document_, on);
    design::RecordStep(document_, design::kStepSurfaceDisplay);
}

void ControlPanelForm::WriteColoring(int mode)
{
    if (!document_.selectedSurface) return;
    {
        const ThreadPauseGuard held(document_);
        design::SetSurfaceColoring(document_, static_cast<Coloring>(mode));
    }
    design::RecordStep(document_, design::kStepSurfaceDisplay);
}

void ControlPanelForm::WriteLagging(int mode) { document_.simulation.camera.laggingSwitch = mode; }

void ControlPanelForm::WriteVertical(bool on) { document_.simulation.camera.verticalSwitch = on; }

void ControlPanelForm::MoveFocalPoint(bool alongU, int position)
{
    if (!document_.focalSurface) return;
    const ThreadPauseGuard held(document_);
    (alongU ? document_.focalU : document_.focalV) = static_cast<double>(position) / kSliderScale;
    document_.UpdateFocalPoint();
}
