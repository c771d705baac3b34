#include "dialogs/DialogSurfaceAttach.h"

#include "design/AttachGeometry.h"
#include "design/AttachmentSites.h"
#include "design/DesignHistory.h"
#include "design/PanelCommands.h"
#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "surface/SurfaceSection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kSiteRole = Qt::UserRole; // index into the surface's site list

// Adds the free sites of a surface by name, each carrying its index.
template <typename AddItem>
void listFreeSites(const SurfaceSection& surface, AddItem add)
{
    for (const int index : design::FreeSiteIndices(surface))
        add(dialogs::NameText(textOf(surface.attachmentSites[index].name)), index);
}

} // namespace

DialogSurfaceAttach::DialogSurfaceAttach(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("DialogSurfaceAttach"));
    setWindowTitle(QStringLiteral(" Attach surface to selected surface"));

    auto* siteLabel = new QLabel(QStringLiteral("Attach at site :"), this);
    siteList_ = new QListWidget(this);
    siteList_->setObjectName(QStringLiteral("siteList"));
    siteList_->setAccessibleName(siteLabel->text());
    siteLabel->setBuddy(siteList_);

    auto* choices = new QWidget(this);
    auto* grid = new QGridLayout(choices);
    grid->setContentsMargins(0, 0, 0, 0);
    surfaceCombo_ = dialogs::AddCombo(grid, 0, QStringLiteral("Surface to attach :"), "surfaceCombo");
    otherSiteCombo_ = dialogs::AddCombo(grid, 1, QStringLiteral("Surface site :"), "otherSiteCombo");
    pseudoCombo_ = dialogs::AddCombo(grid, 2, QStringLiteral("PSEUDO surface :"), "pseudoCombo");
    for (QComboBox* combo : {surfaceCombo_, otherSiteCombo_, pseudoCombo_}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(24);
    }
    dontMove_ = new QCheckBox(QStringLiteral("Don't move: "), choices);
    dontMove_->setObjectName(QStringLiteral("dontMoveCheck"));
    grid->addWidget(dontMove_, 3, 1);
    intermediate_ = dialogs::AddField(grid, 4, QStringLiteral("Intermediate cross sections : "), "intermediateEdit");
    direction_ = dialogs::AddField(grid, 5, QStringLiteral("Use direction of cross section # :"), "directionEdit");
    intermediate_->setText(QString::number(design::kDefaultGrowIntermediate));
    for (QLineEdit* field : {intermediate_, direction_}) field->setMaximumWidth(80);

    auto* attachButton = dialogs::MakeButton(this, QStringLiteral("Attach"), "attachButton");
    auto* identicalButton =
        dialogs::MakeButton(this, QStringLiteral("Identical circular surface"), "identicalCircularButton");
    auto* newChannelButton = dialogs::MakeButton(this, QStringLiteral("New channel surface"), "newChannelButton");
    auto* cancelButton = dialogs::MakeButton(this, QStringLiteral("Cancel"), "cancelButton");
    dialogs::SetDefaultButton(this, newChannelButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(attachButton);
    buttons->addWidget(identicalButton);
    buttons->addWidget(newChannelButton);
    buttons->addStretch();
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(siteLabel);
    layout->addWidget(siteList_, 1);
    layout->addWidget(choices);
    layout->addLayout(buttons);

    connect(siteList_, &QListWidget::itemSelectionChanged, this, &DialogSurfaceAttach::OnSiteSelected);
    connect(surfaceCombo_, &QComboBox::currentIndexChanged, this, &DialogSurfaceAttach::OnSurfaceChosen);
    connect(attachButton, &QPushButton::clicked, this, &DialogSurfaceAttach::OnAttach);
    connect(identicalButton, &QPushButton::clicked, this, &DialogSurfaceAttach::OnIdenticalCircular);
    connect(newChannelButton, &QPushButton::clicked, this, &DialogSurfaceAttach::OnNewChannel);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void DialogSurfaceAttach::showEvent(QShowEvent* event)
{
    Refresh();
    QDialog::showEvent(event);
    siteList_->setFocus(); // every choice starts with the site
}

void DialogSurfaceAttach::Refresh()
{
    const QSignalBlocker blockList(siteList_);
    const QSignalBlocker blockSurfaces(surfaceCombo_);
    siteList_->clear();
    surfaceCombo_->clear();
    otherSiteCombo_->clear();
    pseudoCombo_->clear();
    dontMove_->setChecked(false);
    const SurfaceSection* surface = document_.selectedSurface;
    if (!surface) return;
    listFreeSites(*surface, [this](const QString& name, int index) {
        auto* item = new QListWidgetItem(name, siteList_);
        item->setData(kSiteRole, index);
    });
    siteList_->setCurrentRow(-1);
    direction_->setText(QString::number(design::DefaultDirectionIndex(*surface)));
}

void DialogSurfaceAttach::OnSiteSelected()
{
    const QSignalBlocker blockSurfaces(surfaceCombo_);
    surfaceCombo_->clear();
    otherSiteCombo_->clear();
    pseudoCombo_->clear();
    const SurfaceSection* selected = document_.selectedSurface;
    if (!ChosenSite()) return;
    {
        LockGuard guard(document_.documentLock);
        for (const auto& surface : document_.surfaces) {
            const QString label = dialogs::NameText(design::SurfaceChoiceLabel(*surface));
            if (surface.get() != selected) surfaceCombo_->addItem(label, dialogs::ItemData(surface.get()));
            pseudoCombo_->addItem(label, dialogs::ItemData(surface.get()));
        }
    }
    surfaceCombo_->setCurrentIndex(-1);
    pseudoCombo_->setCurrentIndex(-1);
}

void DialogSurfaceAttach::OnSurfaceChosen()
{
    otherSiteCombo_->clear();
    if (const SurfaceSection* other = ChosenSurface(surfaceCombo_))
        listFreeSites(*other, [this](const QString& name, int index) { otherSiteCombo_->addItem(name, index); });
    otherSiteCombo_->setCurrentIndex(otherSiteCombo_->count() > 0 ? 0 : -1);
}

AttachmentSite* DialogSurfaceAttach::ChosenSite() const
{
    SurfaceSection* surface = document_.selectedSurface;
    const QListWidgetItem* item = siteList_->currentItem();
    if (!surface || !item || !item->isSelected()) return nullptr;
    const int index = item->data(kSiteRole).toInt();
    if (index < 0 || index >= static_cast<int>(surface->attachmentSites.size())) return nullptr;
    return &surface->attachmentSites[index];
}

SurfaceSection* DialogSurfaceAttach::ChosenSurface(const QComboBox* combo) const
{
    if (combo->currentIndex() < 0) return nullptr;
    auto* chosen = dialogs::ItemPointer<SurfaceSection>(combo->currentData());
    LockGuard guard(document_.documentLock);
    for (const auto& surface : document_.surfaces)
        if (surface.get() == chosen) return chosen;
    return nullptr;
}

void DialogSurfaceAttach::OnAttach()
{
    design::AttachChoice choice;
    choice.S = document_.selectedSurface;
    choice.X = ChosenSite();
    choice.T = ChosenSurface(surfaceCombo_);
    if (choice.T && otherSiteCombo_->currentIndex() >= 0) {
        const int index = otherSiteCombo_->currentData().toInt();
        if (index >= 0 && index < static_cast<int>(choice.T->attachmentSites.size()))
            choice.Y = &choice.T->attachmentSites[index];
    }
    choice.dontMove = dontMove_->isChecked();
    choice.pseudo = ChosenSurface(pseudoCombo_);
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::AttachSurfaces(document_, choice);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    Finish(design::kStepAttach);
}

void DialogSurfaceAttach::OnIdenticalCircular()
{
    SurfaceSection* surface = document_.selectedSurface;
    if (!surface) {
        dialogs::ShowMessage(this, QString::fromLatin1(design::kSelectSurfaceToAttachTo));
        return;
    }
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::IdenticalCircularButton(document_, *surface, ChosenSite());
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    Finish(design::kStepIdenticalCircular);
}

void DialogSurfaceAttach::OnNewChannel()
{
    SurfaceSection* surface = document_.selectedSurface;
    if (!surface) {
        dialogs::ShowMessage(this, QString::fromLatin1(design::kSelectSurfaceToAttachTo));
        return;
    }
    int intermediate = 0, direction = 0;
    if (!dialogs::ReadInteger(this, intermediate_, design::kGrowIntermediateLow, design::kGrowIntermediateHigh,
                              intermediate) ||
        !dialogs::ReadInteger(this, direction_, design::kDirectionIndexLow, design::kDirectionIndexHigh, direction))
        return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::NewChannelButton(document_, *surface, ChosenSite(), intermediate, direction);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    Finish(design::kStepNewChannel);
}

void DialogSurfaceAttach::Finish(const char* step)
{
    design::RecordStep(document_, step);
    emit attached();
    hide();
}
