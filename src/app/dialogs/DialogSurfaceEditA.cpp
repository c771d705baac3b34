#include "dialogs/DialogSurfaceEditA.h"

#include "design/ChannelCreation.h"
#include "design/DesignHistory.h"
#include "design/LivePreviewGuard.h"
#include "dialogs/ChannelEditControls.h"
#include "dialogs/DialogSupport.h"
#include "document/ThreadPauseGuard.h"
#include "panel/SliderEditSpin.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using design::TypeAGroup;

struct DialogSurfaceEditA::GroupCaptions {
    TypeAGroup group;
    const char* title;
    const char* perform;
    const char* sense;
    const char* objectName; // prefix of the group's controls
};

namespace {

bool isAngle(TypeAGroup group)
{
    return group == TypeAGroup::HorizontalTurn || group == TypeAGroup::VerticalTurn ||
           group == TypeAGroup::AxisRotation;
}

} // namespace

DialogSurfaceEditA::DialogSurfaceEditA(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document), editor_(document), history_(document)
{
    static const GroupCaptions kGroups[] = {
        {TypeAGroup::HorizontalTurn, "Horizontal turn", "Perform turn", "Left", "horizontalTurn"},
        {TypeAGroup::VerticalTurn, "Vertical turn", "Perform turn", "Down", "verticalTurn"},
        {TypeAGroup::AxisRotation, "Rotation about the channel axis", "Perform rotation", "Clockwise", "axisRotation"},
        {TypeAGroup::HorizontalDisplacement, "Horizontal displacement", "Perform displacement", "Displace left",
         "horizontalDisplacement"},
        {TypeAGroup::VerticalDisplacement, "Vertical displacement", "Perform displacement", "Displace down",
         "verticalDisplacement"},
    };
    setObjectName(QStringLiteral("editADialog"));
    setWindowTitle(QStringLiteral(" Edit surface  (type A)"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    for (std::size_t k = 0; k < groups_.size(); ++k) layout->addWidget(BuildGroup(kGroups[k], groups_[k]));
    AlignGroups();

    intermediate_ = dialogs::AddIntermediateCountField(this, layout, document_, editor_, [this] { return Editing(); });
    detachNotice_ = dialogs::AddDetachNotice(this, layout);
    QPushButton* save = dialogs::AddSaveCloseRow(this, layout, QStringLiteral("Save"), "saveButton");
    connect(save, &QPushButton::clicked, this, &DialogSurfaceEditA::Save);
}

QWidget* DialogSurfaceEditA::BuildGroup(const GroupCaptions& c, GroupControls& controls)
{
    const QString prefix = QString::fromLatin1(c.objectName);
    const QString title = QString::fromLatin1(c.title);
    auto* box = new QGroupBox(title, this);
    box->setObjectName(prefix + QStringLiteral("Box"));
    auto* row = new QHBoxLayout(box);
    controls.group = c.group;
    controls.perform = new QCheckBox(QString::fromLatin1(c.perform), box);
    controls.perform->setObjectName(prefix + QStringLiteral("PerformCheck"));
    controls.sense = new QCheckBox(QString::fromLatin1(c.sense), box);
    controls.sense->setObjectName(prefix + QStringLiteral("SenseCheck"));
    const bool angle = isAngle(c.group);
    const QString caption = angle ? QStringLiteral("Angle :") : QStringLiteral("Distance :");
    controls.value =
        new SliderEditSpin(caption, prefix, 0, angle ? design::kAngleSliderHigh : design::kDistanceSliderHigh,
                           angle ? design::kAngleSliderPage : design::kDistanceSliderPage, box);
    controls.value->slider()->setPageStep(angle ? design::kAngleSliderPage : design::kDistanceSliderPage);
    controls.value->slider()->setAccessibleName(title + QLatin1Char(' ') + caption);
    controls.value->spin()->setAccessibleName(title + QLatin1Char(' ') + caption);
    controls.value->slider()->setMinimumWidth(220);
    row->addWidget(controls.perform);
    row->addWidget(controls.sense);
    row->addWidget(controls.value, 1);

    const TypeAGroup group = c.group;
    connect(controls.perform, &QCheckBox::toggled, this, [this, group](bool on) {
        if (!Editing()) return;
        const design::LivePreviewGuard held(document_, editor_.surface());
        editor_.SetPerform(group, on);
    });
    connect(controls.sense, &QCheckBox::toggled, this, [this, group](bool on) {
        if (!Editing()) return;
        const design::LivePreviewGuard held(document_, editor_.surface());
        editor_.SetSense(group, on);
    });
    // Every position the user gives (thumb, track, keys or spin box) changes
    // the surface; positions the dialog sets itself are silent.
    const GroupControls* mine = &controls;
    connect(controls.value->slider(), &QSlider::valueChanged, this, [this, mine](int p) { SetValue(*mine, p); });
    connect(controls.value->spin(), &QSpinBox::valueChanged, this, [this, mine](int p) { SetValue(*mine, p); });
    return box;
}

void DialogSurfaceEditA::AlignGroups()
{
    int perform = 0, sense = 0, caption = 0;
    for (const GroupControls& c : groups_) {
        perform = std::max(perform, c.perform->sizeHint().width());
        sense = std::max(sense, c.sense->sizeHint().width());
        caption = std::max(caption, c.value->label()->sizeHint().width());
    }
    for (const GroupControls& c : groups_) {
        c.perform->setMinimumWidth(perform);
        c.sense->setMinimumWidth(sense);
        c.value->label()->setMinimumWidth(caption);
        c.value->label()->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

bool DialogSurfaceEditA::Editing()
{
    if (editor_.StillEditing()) return true;
    QDialog::reject();
    emit editingEnded();
    return false;
}

void DialogSurfaceEditA::SetValue(const GroupControls& controls, int position)
{
    if (!Editing()) return;
    const design::LivePreviewGuard held(document_, editor_.surface());
    if (isAngle(controls.group)) editor_.SetAngleDegrees(controls.group, position);
    else editor_.SetDistance(controls.group, position);
}

design::DesignResult DialogSurfaceEditA::Open()
{
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = editor_.Open();
    }
    if (!result.ok()) return result;
    history_.Begin();
    LoadFromSurface();
    ShowDetachNotice();
    show();
    raise();
    activateWindow();
    groups_[0].perform->setFocus();
    return result;
}

void DialogSurfaceEditA::ShowDetachNotice()
{
    // A surface deleted meanwhile has no links left to tell of.
    dialogs::ShowDetachNotice(detachNotice_, editor_.StillEditing() ? editor_.surface() : nullptr);
}

void DialogSurfaceEditA::LoadFromSurface()
{
    const SurfaceSection& s = *editor_.surface();
    struct Values {
        bool perform, sense;
        double value;
    };
    const Values values[] = {
        {s.horizontalTurn.perform, s.horizontalTurn.left, s.horizontalTurn.angle},
        {s.verticalTurn.perform, s.verticalTurn.down, s.verticalTurn.angle},
        {s.axisRotation.perform, s.axisRotation.clockwise, s.axisRotation.angle},
        {s.horizontalDisplacement.perform, s.horizontalDisplacement.displaceLeft, s.horizontalDisplacement.distance},
        {s.verticalDisplacement.perform, s.verticalDisplacement.displaceDown, s.verticalDisplacement.distance},
    };
    for (std::size_t k = 0; k < groups_.size(); ++k) {
        const GroupControls& c = groups_[k];
        const QSignalBlocker quietPerform(c.perform), quietSense(c.sense);
        c.perform->setChecked(values[k].perform);
        c.sense->setChecked(values[k].sense);
        c.value->SetPosition(isAngle(c.group) ? design::TypeAEditor::ShownDegrees(values[k].value)
                                              : static_cast<int>(std::trunc(values[k].value)));
    }
    const QSignalBlocker quiet(intermediate_);
    intermediate_->setValue(s.intermediateCount);
}

void DialogSurfaceEditA::Save()
{
    if (!Editing()) return;
    editor_.Save();
    history_.Saved(design::kStepEditSurface);
}

void DialogSurfaceEditA::reject()
{
    dialogs::EndChannelEditing(document_, editor_, history_);
    QDialog::reject();
    emit editingEnded();
}
