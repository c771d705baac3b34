#include "dialogs/DialogSurfaceCreateCircular.h"

#include "design/CircularSurface.h"
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

namespace {

struct PortionButton {
    int portion;
    const char* caption;
    const char* objectName;
};
// In the order of the portion indices, laid out as three columns of two.
constexpr PortionButton kPortionButtons[design::kPortionCount] = {
    {design::kQuarter, "1/4", "quarterRadio"},
    {design::kHalf, "2/4", "halfRadio"},
    {design::kThreeQuarters, "3/4", "threeQuartersRadio"},
    {design::kThird, "1/3", "thirdRadio"},
    {design::kTwoThirds, "2/3", "twoThirdsRadio"},
    {design::kFullCircle, "1", "fullCircleRadio"},
};

} // namespace

DialogSurfaceCreateCircular::DialogSurfaceCreateCircular(COpenGLTemplateDoc& document, QWidget* parent)
    : QDialog(parent), document_(document), portion_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("createCircularDialog"));
    setWindowTitle(QStringLiteral(" Create circular surface"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);

    auto* portionBox = new QGroupBox(QStringLiteral("Portion of circle :"), this);
    portionBox->setObjectName(QStringLiteral("portionBox"));
    auto* portionGrid = new QGridLayout(portionBox);
    portion_->setObjectName(QStringLiteral("portionGroup"));
    for (int k = 0; k < design::kPortionCount; ++k) {
        const PortionButton& b = kPortionButtons[k];
        portionGrid->addWidget(dialogs::AddRadio(portion_, b.portion, QString::fromLatin1(b.caption), b.objectName),
                               k / 3, k % 3);
    }
    layout->addWidget(portionBox);

    auto* fields = new QGridLayout;
    layout->addLayout(fields);
    points_ = dialogs::AddField(fields, 0, QStringLiteral("Control points in cross section :"), "pointsEdit");
    sections_ = dialogs::AddField(fields, 1, QStringLiteral("Cross sections :"), "sectionsEdit");
    inner_ = dialogs::AddField(fields, 2, QStringLiteral("Inner radius :"), "innerEdit");
    outer_ = dialogs::AddField(fields, 3, QStringLiteral("Outer radius :"), "outerEdit");
    name_ = dialogs::AddField(fields, 4, QStringLiteral("Name:"), "nameEdit");

    const design::CircularFields first;
    portion_->button(first.portion)->setChecked(true);
    points_->setText(QString::number(first.points));
    sections_->setText(QString::number(first.sections));
    inner_->setText(dialogs::NumberText(first.inner));
    outer_->setText(dialogs::NumberText(first.outer));
    dialogs::OnRadioChosen(portion_, this, [this](int portion) { ChoosePortion(portion); });

    QPushButton* ok = dialogs::MakeButton(this, QStringLiteral("OK"), "okButton");
    QPushButton* cancel = dialogs::MakeButton(this, QStringLiteral("Cancel"), "cancelButton");
    layout->addWidget(dialogs::ButtonRow(this, {ok, cancel}, ok));
    connect(ok, &QPushButton::clicked, this, &DialogSurfaceCreateCircular::accept);
    connect(cancel, &QPushButton::clicked, this, &DialogSurfaceCreateCircular::reject);
}

void DialogSurfaceCreateCircular::Present()
{
    show();
    raise();
    activateWindow();
    portion_->checkedButton()->setFocus();
}

void DialogSurfaceCreateCircular::ChoosePortion(int portion)
{
    design::CircularFields fields;
    fields.choosePortion(portion);
    points_->setText(QString::number(fields.points));
}

void DialogSurfaceCreateCircular::accept()
{
    design::CircularFields f;
    f.portion = portion_->checkedId();
    if (!dialogs::ReadInteger(this, points_, design::kCircularPointsLow, design::kCircularPointsHigh, f.points)) return;
    if (!dialogs::ReadInteger(this, sections_, design::kCircularSectionsLow, design::kCircularSectionsHigh, f.sections))
        return;
    if (!dialogs::ReadNumber(this, inner_, design::kInnerRadiusLow, design::kInnerRadiusHigh, f.inner)) return;
    if (!dialogs::ReadNumber(this, outer_, design::kOuterRadiusLow, design::kOuterRadiusHigh, f.outer)) return;
    if (!dialogs::ReadName(this, name_, design::kMaxSurfaceNameLength, f.name)) return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = design::CreateCircularFromFields(document_, f);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, design::kStepCreateCircular);
    QDialog::accept();
    emit surfaceCreated();
}
