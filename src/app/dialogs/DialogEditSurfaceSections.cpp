#include "dialogs/DialogEditSurfaceSections.h"

#include "design/DesignHistory.h"
#include "dialogs/DialogEditCrossSectionShape.h"
#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "panel/SliderEditSpin.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using design::TransformKind;

namespace {

// Radio buttons in a box, numbered in order; the first is checked.
QButtonGroup* addRadios(QGroupBox* box, QVBoxLayout* column, std::initializer_list<std::pair<const char*, const char*>> radios)
{
    auto* group = new QButtonGroup(box);
    int id = 0;
    for (const auto& [caption, objectName] : radios) {
        auto* radio = new QRadioButton(QString::fromLatin1(caption), box);
        radio->setObjectName(QString::fromLatin1(objectName));
        group->addButton(radio, id++);
        column->addWidget(radio);
    }
    group->button(0)->setChecked(true);
    return group;
}

int kindIndex(TransformKind kind) { return kind == TransformKind::Rotate ? 0 : kind == TransformKind::Move ? 1 : 2; }

} // namespace

DialogEditSurfaceSections::DialogEditSurfaceSections(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document), editor_(document), history_(document)
{
    setObjectName(QStringLiteral("editSurfaceSectionsDialog"));
    setWindowTitle(QStringLiteral(" Edit intermediate surface cross sections"));
    setModal(false);
    shapeDialog_ = new DialogEditCrossSectionShape(document, this);
    connect(shapeDialog_, &DialogEditCrossSectionShape::sectionsReset, this, &DialogEditSurfaceSections::ZeroSliders);
    connect(shapeDialog_, &DialogEditCrossSectionShape::shapeSaved, this,
            [this] { history_.Saved(design::kStepEditShape); });

    subsequent_ = new QCheckBox(
        QStringLiteral("Following transformations affect the selected and all cross section subsequent to selected"),
        this);
    subsequent_->setObjectName(QStringLiteral("subsequentCheck"));
    connect(subsequent_, &QCheckBox::toggled, this, &DialogEditSurfaceSections::OnSubsequent);

    auto* editShape = dialogs::MakeButton(this, QStringLiteral("Edit shape"), "editShapeButton");
    auto* save = dialogs::MakeButton(this, QStringLiteral("Save"), "saveButton");
    auto* close = dialogs::MakeButton(this, QStringLiteral("Close"), "closeButton");
    save->setDefault(true);
    connect(editShape, &QPushButton::clicked, this, &DialogEditSurfaceSections::OnEditShape);
    connect(save, &QPushButton::clicked, this, &DialogEditSurfaceSections::OnSave);
    connect(close, &QPushButton::clicked, this, &DialogEditSurfaceSections::reject);

    auto* transforms = new QVBoxLayout;
    transforms->addWidget(BuildRotation());
    transforms->addWidget(BuildMove());
    transforms->addWidget(BuildScale());
    transforms->addWidget(subsequent_);
    // The three sliders start at the same x.
    int captionWidth = 0;
    for (SliderEditSpin* slider : {rotation_, move_, scale_})
        captionWidth = std::max(captionWidth, slider->label()->sizeHint().width());
    for (SliderEditSpin* slider : {rotation_, move_, scale_}) slider->label()->setMinimumWidth(captionWidth);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(editShape);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto* top = new QGridLayout(this);
    top->addWidget(BuildList(), 0, 0);
    top->addLayout(transforms, 0, 1);
    top->addLayout(buttons, 1, 0, 1, 2);
    top->setColumnStretch(1, 1);
}

QWidget* DialogEditSurfaceSections::BuildList()
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QStringLiteral("Cross sections :"), panel);
    list_ = new QListWidget(panel);
    list_->setObjectName(QStringLiteral("sectionList"));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    list_->setAccessibleName(label->text());
    list_->setMaximumWidth(140);
    label->setBuddy(list_);
    connect(list_, &QListWidget::itemSelectionChanged, this, &DialogEditSurfaceSections::OnSelectionChanged);
    auto* all = dialogs::MakeButton(panel, QStringLiteral("Select all"), "selectAllButton");
    auto* none = dialogs::MakeButton(panel, QStringLiteral("Un-select all"), "unselectAllButton");
    connect(all, &QPushButton::clicked, list_, &QListWidget::selectAll);
    connect(none, &QPushButton::clicked, list_, &QListWidget::clearSelection);
    column->addWidget(label);
    column->addWidget(list_, 1);
    column->addWidget(all);
    column->addWidget(none);
    return panel;
}

SliderEditSpin* DialogEditSurfaceSections::AddSlider(const QString& caption, const char* objectName,
                                                     const design::TransformSliderRange& range, TransformKind kind)
{
    auto* slider = new SliderEditSpin(caption, QString::fromLatin1(objectName), range.minimum, range.maximum,
                                      range.pageStep, this);
    slider->slider()->setPageStep(range.pageStep);
    slider->ReportEveryChange();
    connect(slider, &SliderEditSpin::positionChosen, this, [this, kind](int value) { OnValueChosen(kind, value); });
    return slider;
}

QGroupBox* DialogEditSurfaceSections::BuildRotation()
{
    auto* box = new QGroupBox(QStringLiteral("Rotate"), this);
    auto* column = new QVBoxLayout(box);
    axes_ = addRadios(box, column,
                      {{"about up-down axis", "upDownAxisRadio"},
                       {"about channel axis", "channelAxisRadio"},
                       {"about right-left axis", "rightLeftAxisRadio"}});
    dialogs::OnRadioChosen(axes_, this, [this](int axis) { OnAxis(axis); });
    rotation_ = AddSlider(QStringLiteral("Angle:"), "rotation", design::kRotationSlider, TransformKind::Rotate);
    column->addWidget(rotation_);
    return box;
}

QGroupBox* DialogEditSurfaceSections::BuildMove()
{
    auto* box = new QGroupBox(QStringLiteral("Move"), this);
    auto* column = new QVBoxLayout(box);
    directions_ = addRadios(box, column,
                            {{"right-left", "rightLeftRadio"},
                             {"up-down", "upDownRadio"},
                             {"forward-backward", "forwardBackwardRadio"},
                             {"forward-backward (channel direction)", "channelDirectionRadio"}});
    dialogs::OnRadioChosen(directions_, this, [this](int direction) { OnDirection(direction); });
    move_ = AddSlider(QStringLiteral("Distance:"), "move", design::kMoveSlider, TransformKind::Move);
    move_->SetScaleLabels(QStringLiteral("-100"), QStringLiteral("0"), QStringLiteral("100"));
    column->addWidget(move_);
    return box;
}

QGroupBox* DialogEditSurfaceSections::BuildScale()
{
    auto* box = new QGroupBox(QStringLiteral("Scale"), this);
    auto* column = new QVBoxLayout(box);
    scale_ = AddSlider(QStringLiteral("Factor:"), "scale", design::kScaleSlider, TransformKind::Scale);
    scale_->SetScaleLabels(QStringLiteral("1/2"), QStringLiteral("1"), QStringLiteral("2"));
    column->addWidget(scale_);
    auto* row = new QHBoxLayout;
    auto* copy = dialogs::MakeButton(box, QStringLiteral("Copy"), "copyButton");
    auto* paste = dialogs::MakeButton(box, QStringLiteral("Paste"), "pasteButton");
    connect(copy, &QPushButton::clicked, this, &DialogEditSurfaceSections::OnCopy);
    connect(paste, &QPushButton::clicked, this, &DialogEditSurfaceSections::OnPaste);
    row->addWidget(copy);
    row->addWidget(paste);
    row->addStretch(1);
    column->addLayout(row);
    return box;
}

void DialogEditSurfaceSections::Open()
{
    if (open_) reject();
    design::DesignResult opened;
    {
        const ThreadPauseGuard held(document_);
        opened = editor_.Open();
        if (opened.ok()) {
            open_ = true;
            editor_.SetSubsequent(subsequent_->isChecked());
        }
    }
    if (!opened.ok()) {
        dialogs::ShowRefusal(this, opened);
        return;
    }
    history_.Begin();
    {
        // The editor has just opened with these.
        const QSignalBlocker quietAxes(axes_), quietDirections(directions_);
        axes_->button(design::kAxisUpDown)->setChecked(true);
        directions_->button(design::kMoveRightLeft)->setChecked(true);
    }
    ZeroSliders();
    FillList();
    show();
    raise();
    activateWindow();
}

void DialogEditSurfaceSections::FillList()
{
    const QSignalBlocker quiet(list_);
    list_->clear();
    const SurfaceSection* surface = editor_.surface();
    const int n = surface ? std::clamp(surface->sectionCount, 0, kMaxSections) : 0;
    for (int k = 0; k < n; ++k) {
        auto* item = new QListWidgetItem(QString::number(k + 1), list_);
        item->setData(Qt::UserRole, k);
    }
}

void DialogEditSurfaceSections::ZeroSliders()
{
    for (SliderEditSpin* slider : {rotation_, move_, scale_}) slider->SetPosition(0);
    for (int& shown : shown_) shown = 0;
}

bool DialogEditSurfaceSections::Live()
{
    if (!open_) return false;
    if (editor_.SurfaceInDocument()) return true;
    // The surface was deleted or the document emptied: nothing is left to restore.
    editor_.Abandon();
    open_ = false;
    shapeDialog_->reject();
    history_.End();
    hide();
    return false;
}

SliderEditSpin* DialogEditSurfaceSections::SliderOf(TransformKind kind) const
{
    return kind == TransformKind::Rotate ? rotation_ : kind == TransformKind::Move ? move_ : scale_;
}

void DialogEditSurfaceSections::OnSelectionChanged()
{
    if (!Live()) return;
    std::vector<int> selection;
    for (const QListWidgetItem* item : list_->selectedItems()) selection.push_back(item->data(Qt::UserRole).toInt());
    const ThreadPauseGuard held(document_);
    editor_.SetSelection(std::move(selection));
    ZeroSliders();
}

void DialogEditSurfaceSections::OnValueChosen(TransformKind kind, int value)
{
    if (!Live()) return;
    int& shown = shown_[kindIndex(kind)];
    // A chain starts at one line: with several, the value stays where it was.
    if (editor_.IgnoresValueChanges()) {
        SliderOf(kind)->SetPosition(shown);
        return;
    }
    design::DesignResult changed;
    {
        const ThreadPauseGuard held(document_);
        changed = editor_.ChangeValue(kind, value);
    }
    if (changed.ok()) {
        shown = value;
        return;
    }
    SliderOf(kind)->SetPosition(shown);
    dialogs::ShowRefusal(this, changed);
}

void DialogEditSurfaceSections::OnAxis(int axis)
{
    if (!Live()) return;
    const ThreadPauseGuard held(document_);
    editor_.SetAxis(axis);
    ZeroSliders();
}

void DialogEditSurfaceSections::OnDirection(int direction)
{
    if (!Live()) return;
    const ThreadPauseGuard held(document_);
    editor_.SetMoveDirection(direction);
    ZeroSliders();
}

void DialogEditSurfaceSections::OnSubsequent(bool on)
{
    if (!Live()) return;
    const ThreadPauseGuard held(document_);
    editor_.SetSubsequent(on);
    ZeroSliders();
}

void DialogEditSurfaceSections::OnCopy()
{
    if (Live()) dialogs::ShowRefusal(this, editor_.Copy());
}

void DialogEditSurfaceSections::OnPaste()
{
    if (!Live()) return;
    design::DesignResult pasted;
    {
        const ThreadPauseGuard held(document_);
        pasted = editor_.Paste();
    }
    dialogs::ShowRefusal(this, pasted);
}

void DialogEditSurfaceSections::OnEditShape()
{
    if (!Live()) return;
    if (const design::DesignResult allowed = editor_.CheckEditShape(); !allowed.ok()) {
        dialogs::ShowRefusal(this, allowed);
        return;
    }
    if (!shapePlaced_) PlaceShapeDialog();
    shapeDialog_->Open(editor_, editor_.selection());
}

void DialogEditSurfaceSections::PlaceShapeDialog()
{
    // Beside the list, so the chosen lines stay in sight; within the screen.
    shapePlaced_ = true;
    shapeDialog_->adjustSize();
    const QRect screen = this->screen()->availableGeometry();
    QPoint at = list_->mapToGlobal(QPoint(list_->width() + 12, 0));
    at.setX(std::clamp(at.x(), screen.left(), std::max(screen.left(), screen.right() - shapeDialog_->width())));
    at.setY(std::clamp(at.y(), screen.top(), std::max(screen.top(), screen.bottom() - shapeDialog_->height())));
    shapeDialog_->move(at);
}

void DialogEditSurfaceSections::OnSave()
{
    if (!Live()) return;
    {
        const ThreadPauseGuard held(document_);
        editor_.Commit();
    }
    ZeroSliders();
    history_.Saved(design::kStepTransformSections);
}

void DialogEditSurfaceSections::reject()
{
    if (shapeDialog_->isVisible()) shapeDialog_->reject();
    if (open_ && !editor_.SurfaceInDocument()) {
        editor_.Abandon();
        open_ = false;
    }
    if (open_) {
        open_ = false;
        const ThreadPauseGuard held(document_);
        editor_.Close();
    }
    history_.End();
    QDialog::reject();
}
