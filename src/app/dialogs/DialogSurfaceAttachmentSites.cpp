#include "dialogs/DialogSurfaceAttachmentSites.h"

#include "design/AttachmentSites.h"
#include "design/DesignHistory.h"
#include "design/PanelCommands.h"
#include "dialogs/DialogSupport.h"
#include "surface/SurfaceSection.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace {

// The edge radio buttons in the order of their indices (SiteEdge's order).
struct EdgeButton {
    const char* caption;
    const char* objectName;
};
constexpr EdgeButton kEdgeButtons[] = {
    {"Beginning", "beginningRadio"}, {"End", "endRadio"}, {"Left", "leftRadio"}, {"Right", "rightRadio"}};

constexpr DialogSurfaceEntries::Texts kTexts = {
    "DialogSurfaceAttachmentSites", " Surface attachment sites", "Sites :",          "siteList",
    design::kSelectSurfaceForSites, design::kStepAddSite,        design::kStepDeleteSite};

} // namespace

DialogSurfaceAttachmentSites::DialogSurfaceAttachmentSites(COpenGLTemplateDoc& document, QWidget* parent)
    : DialogSurfaceEntries(document, kTexts, parent)
{
    QGridLayout* fields = FieldGrid();
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
    Finish();
    connect(this, &DialogSurfaceEntries::entriesChanged, this, &DialogSurfaceAttachmentSites::sitesChanged);
}

void DialogSurfaceAttachmentSites::ResetFields()
{
    edges_->button(0)->setChecked(true);
}

void DialogSurfaceAttachmentSites::FillList(const SurfaceSection& surface)
{
    for (const AttachmentSite& site : surface.attachmentSites)
        AddListLine(dialogs::NameText(design::SiteListLine(site)));
}

void DialogSurfaceAttachmentSites::ShowEntry(const SurfaceSection& surface, int row)
{
    if (row >= static_cast<int>(surface.attachmentSites.size())) return;
    const AttachmentSite& site = surface.attachmentSites[row];
    ShowName(textOf(site.name));
    edges_->button(static_cast<int>(site.edge()))->setChecked(true);
    low_->setText(dialogs::NumberText(site.low));
    high_->setText(dialogs::NumberText(site.high));
}

bool DialogSurfaceAttachmentSites::ReadFields()
{
    return dialogs::ReadNumber(this, low_, design::kParameterLow, design::kParameterHigh, lowRead_) &&
           dialogs::ReadNumber(this, high_, design::kParameterLow, design::kParameterHigh, highRead_);
}

design::DesignResult DialogSurfaceAttachmentSites::AddEntry(SurfaceSection& surface, const std::string& name)
{
    return design::AddSite(surface, name, static_cast<SiteEdge>(edges_->checkedId()), lowRead_, highRead_);
}

design::DesignResult DialogSurfaceAttachmentSites::DeleteEntry(SurfaceSection& surface, int row)
{
    return design::DeleteSite(surface, row);
}
