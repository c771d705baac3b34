#include "dialogs/DialogSurfaceAttachmentSites.h"

#include "design/AttachmentSites.h"
#include "design/DesignHistory.h"
#include "design/PanelCommands.h"
#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "surface/SurfaceSection.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The edge radio buttons in the order of their indices (SiteEdge's order).
struct EdgeButton {
    const char* caption;
    const char* objectName;
};
constexpr EdgeButton kEdgeButtons[] = {
    {"Beginning", "beginningRadio"}, {"End", "endRadio"}, {"Left", "leftRadio"}, {"Right", "rightRadio"}};

} // namespace

DialogSurfaceAttachmentSites::DialogSurfaceAttachmentSites(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document)
{
    setObjectName(QStringLiteral("DialogSurfaceAttachmentSites"));
    setWindowTitle(QStringLiteral(" Surface attachment sites"));

    auto* listLabel = new QLabel(QStringLiteral("Sites :"), this);
    siteList_ = new QListWidget(this);
    siteList_->setObjectName(QStringLiteral("siteList"));
    siteList_->setAccessibleName(listLabel->text());
    siteList_->setMinimumWidth(300);
    listLabel->setBuddy(siteList_);

    auto* fields = new QGridLayout;
    auto* fieldBox = new QWidget(this);
    fieldBox->setLayout(fields);
    fields->setContentsMargins(0, 0, 0, 0);
    name_ = dialogs::AddField(fields, 0, QStringLiteral("Name :"), "nameEdit", design::kMaxShortName);

    auto* edgeBox = new QGroupBox(QStringLiteral("Edge"), this);
    edgeBox->setObjectName(QStringLiteral("edgeBox"));
    auto* edgeLayout = new QHBoxLayout(edgeBox);
    edges_ = new QButtonGroup(this);
    for (int k = 0; k < static_cast<int>(std::size(kEdgeButtons)); ++k) {
        auto* radio = new QRadioButton(QString::fromLatin1(kEdgeButtons[k].caption), edgeBox);
        radio->setObjectName(QString::fromLatin1(kEdgeButtons[k].objectName));
        edges_->addButton(radio, k);
        edgeLayout->addWidget(radio);
    }
    fields->addWidget(edgeBox, 1, 0, 1, 2);
    low_ = dialogs::AddField(fields, 2, QStringLiteral("Low :"), "lowEdit");
    high_ = dialogs::AddField(fields, 3, QStringLiteral("High :"), "highEdit");
    low_->setText(dialogs::NumberText(design::kParameterLow));
    high_->setText(dialogs::NumberText(design::kParameterHigh));

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
    layout->addWidget(siteList_, 1);
    layout->addWidget(fieldBox);
    layout->addLayout(buttons);

    connect(siteList_, &QListWidget::itemSelectionChanged, this, &DialogSurfaceAttachmentSites::OnSiteSelected);
    connect(addButton, &QPushButton::clicked, this, &DialogSurfaceAttachmentSites::OnAddNew);
    connect(deleteButton, &QPushButton::clicked, this, &DialogSurfaceAttachmentSites::OnDeleteSelected);
    connect(doneButton, &QPushButton::clicked, this, &QDialog::reject);
}

void DialogSurfaceAttachmentSites::showEvent(QShowEvent* event)
{
    Refresh();
    QDialog::showEvent(event);
    name_->setFocus(); // a new entry starts with its name
}

void DialogSurfaceAttachmentSites::Refresh()
{
    const QSignalBlocker blocker(siteList_);
    name_->clear();
    edges_->button(0)->setChecked(true);
    siteList_->clear();
    if (const SurfaceSection* surface = document_.selectedSurface)
        for (const AttachmentSite& site : surface->attachmentSites)
            siteList_->addItem(dialogs::NameText(design::SiteListLine(site)));
    siteList_->setCurrentRow(-1);
}

void DialogSurfaceAttachmentSites::OnSiteSelected()
{
    const SurfaceSection* surface = document_.selectedSurface;
    const int row = dialogs::SelectedRow(siteList_);
    if (!surface || row < 0 || row >= static_cast<int>(surface->attachmentSites.size())) return;
    const AttachmentSite& site = surface->attachmentSites[row];
    name_->setText(dialogs::NameText(textOf(site.name)));
    edges_->button(static_cast<int>(site.edge()))->setChecked(true);
    low_->setText(dialogs::NumberText(site.low));
    high_->setText(dialogs::NumberText(site.high));
}

void DialogSurfaceAttachmentSites::OnAddNew()
{
    SurfaceSection* surface = document_.selectedSurface;
    if (!surface) {
        dialogs::ShowMessage(this, QString::fromLatin1(design::kSelectSurfaceForSites));
        return;
    }
    std::string name;
    double low = 0, high = 0;
    if (!dialogs::ReadName(this, name_, design::kMaxShortName, name) ||
        !dialogs::ReadNumber(this, low_, design::kParameterLow, design::kParameterHigh, low) ||
        !dialogs::ReadNumber(this, high_, design::kParameterLow, design::kParameterHigh, high))
        return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::AddSite(*surface, name, static_cast<SiteEdge>(edges_->checkedId()), low, high);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, design::kStepAddSite);
    Refresh();
    emit sitesChanged();
}

void DialogSurfaceAttachmentSites::OnDeleteSelected()
{
    SurfaceSection* surface = document_.selectedSurface;
    if (!surface) {
        dialogs::ShowMessage(this, QString::fromLatin1(design::kSelectSurfaceForSites));
        return;
    }
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::DeleteSite(*surface, dialogs::SelectedRow(siteList_));
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, design::kStepDeleteSite);
    Refresh();
    emit sitesChanged();
}
