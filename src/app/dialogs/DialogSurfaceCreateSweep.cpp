#include "dialogs/DialogSurfaceCreateSweep.h"

#include "design/ChannelCreation.h"
#include "design/DesignHistory.h"
#include "dialogs/DialogSupport.h"
#include "dialogs/ShapeDrawingArea.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

DialogSurfaceCreateSweep::DialogSurfaceCreateSweep(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("createSweepDialog"));
    setWindowTitle(QStringLiteral(" Create sweep surface"));
    setModal(false);
    const design::SweepFields first;

    auto* fields = new QGridLayout;
    auto* templateLabel = new QLabel(QStringLiteral("Template:"), this);
    templateCombo_ = new QComboBox(this);
    templateCombo_->setObjectName(QStringLiteral("templateCombo"));
    templateCombo_->setAccessibleName(templateLabel->text());
    templateLabel->setBuddy(templateCombo_);
    connect(templateCombo_, &QComboBox::currentIndexChanged, this, &DialogSurfaceCreateSweep::OnTemplateChosen);
    fields->addWidget(templateLabel, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    fields->addWidget(templateCombo_, 0, 1);
    name_ = dialogs::AddField(fields, 1, QStringLiteral("Name:"), "nameEdit");
    sections_ = dialogs::AddField(fields, 2, QStringLiteral("Sections:"), "sectionsEdit");
    angle_ = dialogs::AddField(fields, 3, QStringLiteral("Angle:"), "angleEdit");
    inner_ = dialogs::AddField(fields, 4, QStringLiteral("Inner radius:"), "innerRadiusEdit");
    name_->setText(dialogs::NameText(first.name));
    sections_->setText(QString::number(first.sections));
    angle_->setText(dialogs::NumberText(first.angle));
    inner_->setText(dialogs::NumberText(first.inner));

    auto* edgeBox = new QGroupBox(QStringLiteral("Rotate about edge :"), this);
    auto* edgeColumn = new QVBoxLayout(edgeBox);
    edges_ = new QButtonGroup(this);
    const std::pair<const char*, const char*> edgeRadios[] = {
        {"Left", "leftRadio"}, {"Right", "rightRadio"}, {"Top", "topRadio"}, {"Bottom", "bottomRadio"}};
    for (int k = 0; k < 4; ++k) {
        auto* radio = new QRadioButton(QString::fromLatin1(edgeRadios[k].first), edgeBox);
        radio->setObjectName(QString::fromLatin1(edgeRadios[k].second));
        edges_->addButton(radio, design::kSweepLeft + k);
        edgeColumn->addWidget(radio);
    }
    edges_->button(first.edge)->setChecked(true);

    area_ = new ShapeDrawingArea(this);
    area_->setAccessibleName(templateLabel->text());
    area_->setMinimumSize(300, 220);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &DialogSurfaceCreateSweep::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DialogSurfaceCreateSweep::reject);

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(edgeBox);
    left->addStretch(1);
    auto* top = new QGridLayout(this);
    top->addLayout(left, 0, 0);
    top->addWidget(area_, 0, 1);
    top->addWidget(buttons, 1, 0, 1, 2);
    top->setColumnStretch(1, 1);
}

void DialogSurfaceCreateSweep::Open()
{
    const bool read = design::ReadTemplateFile(document_.templatePath, templates_);
    {
        const QSignalBlocker quiet(templateCombo_);
        templateCombo_->clear();
        for (int k = 0; k < static_cast<int>(templates_.size()); ++k)
            templateCombo_->addItem(dialogs::NameText(textOf(templates_[static_cast<std::size_t>(k)].shape.name)), k);
        templateCombo_->setCurrentIndex(-1);
    }
    area_->SetShape(std::nullopt, true);
    show();
    raise();
    activateWindow();
    if (!read) dialogs::ShowMessage(this, QString::fromLatin1(design::kSweepReadFailed));
}

void DialogSurfaceCreateSweep::OnTemplateChosen(int row)
{
    const int index = row < 0 ? -1 : templateCombo_->itemData(row).toInt();
    if (index < 0 || index >= static_cast<int>(templates_.size())) area_->SetShape(std::nullopt, true);
    else area_->SetShape(templates_[static_cast<std::size_t>(index)].shape, true);
}

void DialogSurfaceCreateSweep::accept()
{
    design::SweepFields fields;
    if (!dialogs::ReadName(this, name_, design::kMaxSurfaceNameLength, fields.name)) return;
    if (!dialogs::ReadInteger(this, sections_, design::kSweepFewestSections, design::kSweepMostSections,
                              fields.sections))
        return;
    if (!dialogs::ReadNumber(this, angle_, design::kSweepSmallestAngle, design::kSweepLargestAngle, fields.angle))
        return;
    if (!dialogs::ReadNumber(this, inner_, 0.0, design::kSweepLargestInnerRadius, fields.inner)) return;
    fields.edge = edges_->checkedId();
    const int row = templateCombo_->currentIndex();
    const int index = row < 0 ? -1 : templateCombo_->itemData(row).toInt();
    if (index >= 0 && index < static_cast<int>(templates_.size()))
        fields.shape = templates_[static_cast<std::size_t>(index)].shape;
    design::DesignResult created;
    {
        const ThreadPauseGuard held(document_);
        created = design::CreateSweepFromFields(document_, fields);
    }
    if (!created.ok()) {
        dialogs::ShowRefusal(this, created);
        return;
    }
    design::RecordStep(document_, design::kStepCreateSweep);
    QDialog::accept();
}
