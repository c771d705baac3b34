#include "dialogs/DialogSurfaceCreate.h"

#include "design/ChannelCreation.h"
#include "design/DesignHistory.h"
#include "dialogs/DialogSupport.h"
#include "document/ThreadPauseGuard.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

DialogSurfaceCreate::DialogSurfaceCreate(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document), type_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("createChannelDialog"));
    setWindowTitle(QStringLiteral(" Create channel surface"));
    setModal(false);

    // One grid, so that the name's and the counts' labels line up.
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    name_ = dialogs::AddField(grid, 0, QStringLiteral("Surface name : "), "nameEdit");

    auto* typeBox = new QGroupBox(QStringLiteral("Surface type"), this);
    typeBox->setObjectName(QStringLiteral("typeBox"));
    auto* typeColumn = new QVBoxLayout(typeBox);
    type_->setObjectName(QStringLiteral("typeGroup"));
    typeColumn->addWidget(
        dialogs::AddRadio(type_, 0, QStringLiteral("Type A  --  Turns, rotation, and displacements"), "typeARadio"));
    typeColumn->addWidget(
        dialogs::AddRadio(type_, 1, QStringLiteral("Type B  --  Initial and final directions"), "typeBRadio"));
    typeColumn->addWidget(dialogs::AddRadio(
        type_, 2, QStringLiteral("Type C  --  Initial and final directions AND initial and final positions"),
        "typeCRadio"));
    grid->addWidget(typeBox, 1, 0, 1, 2);

    const design::ChannelFields first;
    points_ = dialogs::AddField(grid, 2, QStringLiteral("Control points in cross section :"), "pointsEdit");
    intermediate_ = dialogs::AddField(grid, 3, QStringLiteral("Intermediate cross sections :"), "intermediateEdit");
    points_->setText(QString::number(first.points));
    intermediate_->setText(QString::number(first.intermediate));

    QPushButton* ok = dialogs::MakeButton(this, QStringLiteral("OK"), "okButton");
    QPushButton* cancel = dialogs::MakeButton(this, QStringLiteral("Cancel"), "cancelButton");
    layout->addWidget(dialogs::ButtonRow(this, {ok, cancel}, ok));
    connect(ok, &QPushButton::clicked, this, &DialogSurfaceCreate::accept);
    connect(cancel, &QPushButton::clicked, this, &DialogSurfaceCreate::reject);
}

void DialogSurfaceCreate::Present()
{
    name_->clear();
    type_->button(0)->setChecked(true);
    show();
    raise();
    activateWindow();
    name_->setFocus();
}

void DialogSurfaceCreate::accept()
{
    design::ChannelFields fields;
    if (!dialogs::ReadName(this, name_, design::kMaxSurfaceNameLength, fields.name)) return;
    if (!dialogs::ReadInteger(this, points_, design::kChannelPointsLow, design::kChannelPointsHigh, fields.points))
        return;
    if (!dialogs::ReadInteger(this, intermediate_, design::kIntermediateLow, design::kIntermediateHigh,
                              fields.intermediate))
        return;
    fields.typeIndex = type_->checkedId();
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::CreateChannelFromFields(document_, fields);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, design::kStepCreateChannel);
    QDialog::accept();
    emit surfaceCreated();
}
