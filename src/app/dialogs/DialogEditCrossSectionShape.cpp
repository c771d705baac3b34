#include "dialogs/DialogEditCrossSectionShape.h"

#include "design/DesignHistory.h"
#include "design/SectionTransforms.h"
#include "dialogs/DialogSupport.h"
#include "dialogs/ShapeDrawingArea.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DialogEditCrossSectionShape::DialogEditCrossSectionShape(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document), editor_(document, document.templatePath)
{
    setObjectName(QStringLiteral("editCrossSectionShapeDialog"));
    setWindowTitle(QStringLiteral(" Edit cross section shape"));
    setModal(false);
    BuildControls();
}

void DialogEditCrossSectionShape::BuildControls()
{
    area_ = new ShapeDrawingArea(this);
    area_->SetDraggingAllowed(true);
    area_->setAccessibleName(windowTitle().trimmed());
    connect(area_, &ShapeDrawingArea::pointDragged, this, &DialogEditCrossSectionShape::OnPointDragged);

    save_ = dialogs::MakeButton(this, QStringLiteral("Save"), "saveShapeButton");
    auto* mirror = dialogs::MakeButton(this, QStringLiteral("Mirror"), "mirrorButton");
    auto* close = dialogs::MakeButton(this, QStringLiteral("Close"), "closeShapeButton");
    auto* saveTemplate = dialogs::MakeButton(this, QStringLiteral("Save template"), "saveTemplateButton");
    auto* saveNew = dialogs::MakeButton(this, QStringLiteral("Save new template"), "saveNewTemplateButton");
    save_->setDefault(true);
    connect(save_, &QPushButton::clicked, this, &DialogEditCrossSectionShape::OnSave);
    connect(mirror, &QPushButton::clicked, this, &DialogEditCrossSectionShape::OnMirror);
    connect(close, &QPushButton::clicked, this, &DialogEditCrossSectionShape::reject);
    connect(saveTemplate, &QPushButton::clicked, this, &DialogEditCrossSectionShape::OnSaveTemplate);
    connect(saveNew, &QPushButton::clicked, this, &DialogEditCrossSectionShape::OnSaveNewTemplate);

    auto* templatesLabel = new QLabel(QStringLiteral("Templates :"), this);
    templates_ = new QComboBox(this);
    templates_->setObjectName(QStringLiteral("templateCombo"));
    templates_->setAccessibleName(templatesLabel->text());
    templatesLabel->setBuddy(templates_);
    connect(templates_, &QComboBox::activated, this, &DialogEditCrossSectionShape::OnTemplateChosen);

    auto* nameGrid = new QGridLayout;
    name_ = dialogs::AddField(nameGrid, 0, QStringLiteral("Name:"), "templateNameEdit", design::kMaxTemplateNameLength);

    grid_ = new QCheckBox(QStringLiteral("Show grid"), this);
    grid_->setObjectName(QStringLiteral("showGridCheck"));
    snap_ = new QCheckBox(QStringLiteral("Snap to grid"), this);
    snap_->setObjectName(QStringLiteral("snapToGridCheck"));
    retain_ = new QCheckBox(QStringLiteral("Retain scaling"), this);
    retain_->setObjectName(QStringLiteral("retainScalingCheck"));
    connect(grid_, &QCheckBox::toggled, area_, &ShapeDrawingArea::SetGridShown);
    connect(snap_, &QCheckBox::toggled, area_, &ShapeDrawingArea::SetSnapToGrid);
    connect(retain_, &QCheckBox::toggled, this, [this](bool on) { editor_.retainScaling = on; });

    // Buttons and templates at the right of the drawing area, switches under it.
    auto* side = new QVBoxLayout;
    side->addWidget(save_);
    side->addWidget(mirror);
    side->addWidget(close);
    side->addSpacing(16);
    side->addWidget(templatesLabel);
    side->addWidget(templates_);
    side->addWidget(saveTemplate);
    side->addSpacing(16);
    side->addLayout(nameGrid);
    side->addWidget(saveNew);
    side->addStretch(1);

    auto* switches = new QHBoxLayout;
    switches->addWidget(grid_);
    switches->addWidget(snap_);
    switches->addWidget(retain_);
    switches->addStretch(1);

    auto* top = new QGridLayout(this);
    top->addWidget(area_, 0, 0);
    top->addLayout(side, 0, 1);
    top->addLayout(switches, 1, 0, 1, 2);
    top->setColumnStretch(0, 1);
    top->setRowStretch(0, 1);

    setTabOrder(save_, mirror);
    setTabOrder(mirror, close);
    setTabOrder(close, templates_);
    setTabOrder(templates_, saveTemplate);
    setTabOrder(saveTemplate, name_);
    setTabOrder(name_, saveNew);
    setTabOrder(saveNew, grid_);
    setTabOrder(grid_, snap_);
    setTabOrder(snap_, retain_);
}

void DialogEditCrossSectionShape::Open(design::SectionTransformEditor& sections, const std::vector<int>& selection)
{
    if (open_) reject();
    const bool firstReading = editor_.templates().empty();
    const design::DesignResult read = editor_.Open(sections, selection);
    sections_ = &sections;
    open_ = true;
    if (firstReading) FillTemplates();
    templates_->setCurrentIndex(-1);
    name_->clear();
    ShowShape(true);
    show();
    raise();
    activateWindow();
    dialogs::ShowRefusal(this, read);
}

void DialogEditCrossSectionShape::FillTemplates()
{
    templates_->clear();
    const auto& all = editor_.templates();
    for (int k = 0; k < static_cast<int>(all.size()); ++k)
        templates_->addItem(dialogs::NameText(textOf(all[static_cast<std::size_t>(k)].shape.name)), k);
}

void DialogEditCrossSectionShape::ShowShape(bool fit) { area_->SetShape(editor_.currentShape(), fit); }

bool DialogEditCrossSectionShape::Live()
{
    if (!open_) return false;
    if (sections_->SurfaceInDocument()) return true;
    // The surface was deleted or the document emptied: nothing is left to restore.
    sections_->Abandon();
    reject();
    return false;
}

void DialogEditCrossSectionShape::OnPointDragged(int index, double x, double y)
{
    if (!Live()) return;
    const ThreadPauseGuard held(document_);
    editor_.MovePoint(index, x, y);
}

void DialogEditCrossSectionShape::OnTemplateChosen(int row)
{
    const design::DesignResult chosen = editor_.ChooseTemplate(templates_->itemData(row).toInt());
    if (!chosen.ok()) {
        templates_->setCurrentIndex(editor_.currentTemplate());
        dialogs::ShowRefusal(this, chosen);
        return;
    }
    name_->setText(dialogs::NameText(textOf(editor_.currentShape().name)));
    ShowShape(true);
}

void DialogEditCrossSectionShape::OnSave()
{
    if (!Live()) return;
    {
        const ThreadPauseGuard held(document_);
        editor_.Save();
    }
    emit shapeSaved();
    emit sectionsReset();
}

void DialogEditCrossSectionShape::OnMirror()
{
    editor_.Mirror();
    ShowShape(true);
}

void DialogEditCrossSectionShape::OnSaveTemplate() { dialogs::ShowRefusal(this, editor_.SaveTemplate()); }

void DialogEditCrossSectionShape::OnSaveNewTemplate()
{
    std::string name;
    if (!dialogs::ReadName(this, name_, design::kMaxTemplateNameLength, name)) return;
    const design::DesignResult saved = editor_.SaveNewTemplate(name);
    if (!saved.ok()) {
        dialogs::ShowRefusal(this, saved);
        return;
    }
    const int index = editor_.currentTemplate();
    templates_->addItem(dialogs::NameText(textOf(editor_.currentShape().name)), index);
    templates_->setCurrentIndex(templates_->count() - 1);
}

void DialogEditCrossSectionShape::reject()
{
    if (open_) {
        open_ = false;
        {
            const ThreadPauseGuard held(document_);
            editor_.Close();
        }
        emit sectionsReset();
    }
    QDialog::reject();
}
