#include "dialogs/DialogSurfaceHoles.h"

#include "design/AttachmentSites.h"
#include "design/DesignHistory.h"
#include "design/Holes.h"
#include "design/PanelCommands.h"
#include "dialogs/DialogSupport.h"
#include "surface/SurfaceSection.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>

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

constexpr DialogSurfaceEntries::Texts kTexts = {
    "DialogSurfaceHoles", " Surface holes", "Holes :", "holeList", design::kSelectSurfaceForHoles,
    design::kStepAddHole, design::kStepDeleteHole};

} // namespace

DialogSurfaceHoles::DialogSurfaceHoles(COpenGLTemplateDoc& document, QWidget* parent)
    : DialogSurfaceEntries(document, kTexts, parent)
{
    auto* ranges = new QHBoxLayout;
    ranges->addWidget(rangeBox(this, QStringLiteral("Front - back  range :"), "frontBackBox", "frontBackLowEdit",
                               "frontBackHighEdit", rangeFields_[0], rangeFields_[1]));
    ranges->addWidget(rangeBox(this, QStringLiteral("Right - left  range :"), "rightLeftBox", "rightLeftLowEdit",
                               "rightLeftHighEdit", rangeFields_[2], rangeFields_[3]));
    Finish(ranges);
    setTabOrder(NameField(), rangeFields_[0]);
    for (int k = 0; k + 1 < 4; ++k) setTabOrder(rangeFields_[k], rangeFields_[k + 1]);
    connect(this, &DialogSurfaceEntries::entriesChanged, this, &DialogSurfaceHoles::holesChanged);
}

void DialogSurfaceHoles::FillList(const SurfaceSection& surface)
{
    for (const SurfaceHole& hole : surface.holes) AddListLine(dialogs::NameText(textOf(hole.name)));
}

void DialogSurfaceHoles::ShowEntry(const SurfaceSection& surface, int row)
{
    if (row >= static_cast<int>(surface.holes.size())) return;
    const SurfaceHole& hole = surface.holes[row];
    ShowName(textOf(hole.name));
    const double range[4] = {hole.frontBackLow, hole.frontBackHigh, hole.rightLeftLow, hole.rightLeftHigh};
    for (int k = 0; k < 4; ++k) rangeFields_[k]->setText(dialogs::NumberText(range[k]));
}

bool DialogSurfaceHoles::ReadFields()
{
    for (int k = 0; k < 4; ++k)
        if (!dialogs::ReadNumber(this, rangeFields_[k], design::kParameterLow, design::kParameterHigh, rangeRead_[k]))
            return false;
    return true;
}

design::DesignResult DialogSurfaceHoles::AddEntry(SurfaceSection& surface, const std::string& name)
{
    return design::AddHole(surface, name, rangeRead_[2], rangeRead_[3], rangeRead_[0], rangeRead_[1]);
}

design::DesignResult DialogSurfaceHoles::DeleteEntry(SurfaceSection& surface, int row)
{
    return design::DeleteHole(surface, row);
}
