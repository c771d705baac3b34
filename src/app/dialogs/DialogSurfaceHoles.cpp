#include "dialogs/DialogSurfaceHoles.h"

#include "design/AttachmentSites.h"
#include "design/DesignHistory.h"
#include "design/Holes.h"
#include "design/PanelCommands.h"
#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "surface/SurfaceSection.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A titled box with the "Low :" and "High :" fields of one range.
QGroupBox* rangeBox(QWidget* parent, const QString& title, const char* boxName, const char* lowName,
                    const char* highName, QLineEdit*& low, QLineEdit*& high)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(boxName));
    auto* grid = new QGridLayout(box);
    low = dialogs::AddField(grid, 0, QStringLiteral("Low :"), lowName);
    high = dialogs::AddField(grid, 1, QStringLiteral("High :"), highName);
    low->setAccessibleName(title + QStringLiteral(" Low :"));
    high->setAccessibleName(title + QStringLiteral(" High :"));
    low->setText(dialogs::NumberText(design::kParameterLow));
    high->setText(dialogs::NumberText(design::kParameterLow));
    return box;
}

} // namespace

DialogSurfaceHoles::DialogSurfaceHoles(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("DialogSurfaceHoles"));
    setWindowTitle(QStringLiteral(" Surface holes"));

    auto* listLabel = new QLabel(QStringLiteral("Holes :"), this);
    holeList_ = new QListWidget(this);
    holeList_->setObjectName(QStringLiteral("holeList"));
    holeList_->setAccessibleName(listLabel->text());
    holeList_->setMinimumWidth(300);
    listLabel->setBuddy(holeList_);

    auto* nameGrid = new QGridLayout;
    auto* nameRow = new QWidget(this);
    nameRow->setLayout(nameGrid);
    nameGrid->setContentsMargins(0, 0, 0, 0);
    name_ = dialogs::AddField(nameGrid, 0, QStringLiteral("Name :"), "nameEdit", design::kMaxShortName);
    auto* ranges = new QHBoxLayout;
    ranges->addWidget(rangeBox(this, QStringLiteral("Front - back  range :"), "frontBackBox", "frontBackLowEdit",
                               "frontBackHighEdit", frontBackLow_, frontBackHigh_));
    ranges->addWidget(rangeBox(this, QStringLiteral("Right - left  range :"), "rightLeftBox", "rightLeftLowEdit",
                               "rightLeftHighEdit", rightLeftLow_, rightLeftHigh_));

    auto* addButton = dialogs::MakeButton(this, QStringLiteral("Add new"), "addButton");
    auto* deleteButton = dialogs::MakeButton(this, QStringLiteral("Delete selected"), "deleteButton");
    auto* doneButton = dialogs::MakeButton(this, QStringLiteral("Done"), "doneButton");
    dialogs::SetDefaultButton(this, addButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addWidget(deleteButton);
    buttons->addStretch();
    buttons->addWidget(doneButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addWidget(holeList_, 1);
    layout->addWidget(nameRow);
    layout->addLayout(ranges);
    layout->addLayout(buttons);
    setTabOrder(name_, frontBackLow_);
    setTabOrder(frontBackLow_, frontBackHigh_);
    setTabOrder(frontBackHigh_, rightLeftLow_);
    setTabOrder(rightLeftLow_, rightLeftHigh_);

    connect(holeList_, &QListWidget::itemSelectionChanged, this, &DialogSurfaceHoles::OnHoleSelected);
    connect(addButton, &QPushButton::clicked, this, &DialogSurfaceHoles::OnAddNew);
    connect(deleteButton, &QPushButton::clicked, this, &DialogSurfaceHoles::OnDeleteSelected);
    connect(doneButton, &QPushButton::clicked, this, &QDialog::reject);
}

void DialogSurfaceHoles::showEvent(QShowEvent* event)
{
    Refresh();
    QDialog::showEvent(event);
    name_->setFocus(); // a new entry starts with its name
}

void DialogSurfaceHoles::Refresh()
{
    const QSignalBlocker blocker(holeList_);
    name_->clear();
    holeList_->clear();
    if (const SurfaceSection* surface = document_.selectedSurface)
        for (const SurfaceHole& hole : surface->holes) holeList_->addItem(dialogs::NameText(textOf(hole.name)));
    holeList_->setCurrentRow(-1);
}

void DialogSurfaceHoles::OnHoleSelected()
{
    const SurfaceSection* surface = document_.selectedSurface;
    const int row = dialogs::SelectedRow(holeList_);
    if (!surface || row < 0 || row >= static_cast<int>(surface->holes.size())) return;
    const SurfaceHole& hole = surface->holes[row];
    name_->setText(dialogs::NameText(textOf(hole.name)));
    frontBackLow_->setText(dialogs::NumberText(hole.frontBackLow));
    frontBackHigh_->setText(dialogs::NumberText(hole.frontBackHigh));
    rightLeftLow_->setText(dialogs::NumberText(hole.rightLeftLow));
    rightLeftHigh_->setText(dialogs::NumberText(hole.rightLeftHigh));
}

SurfaceSection* DialogSurfaceHoles::SurfaceOrRefuse()
{
    SurfaceSection* surface = document_.selectedSurface;
    if (!surface) dialogs::ShowMessage(this, QString::fromLatin1(design::kSelectSurfaceForHoles));
    return surface;
}

void DialogSurfaceHoles::OnAddNew()
{
    SurfaceSection* surface = SurfaceOrRefuse();
    if (!surface) return;
    std::string name;
    double range[4] = {};
    QLineEdit* const fields[4] = {frontBackLow_, frontBackHigh_, rightLeftLow_, rightLeftHigh_};
    if (!dialogs::ReadName(this, name_, design::kMaxShortName, name)) return;
    for (int k = 0; k < 4; ++k)
        if (!dialogs::ReadNumber(this, fields[k], design::kParameterLow, design::kParameterHigh, range[k])) return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::AddHole(*surface, name, range[2], range[3], range[0], range[1]);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, design::kStepAddHole);
    Refresh();
    emit holesChanged();
}

void DialogSurfaceHoles::OnDeleteSelected()
{
    SurfaceSection* surface = SurfaceOrRefuse();
    if (!surface) return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::DeleteHole(*surface, dialogs::SelectedRow(holeList_));
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, design::kStepDeleteHole);
    Refresh();
    emit holesChanged();
}
