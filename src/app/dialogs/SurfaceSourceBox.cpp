#include "dialogs/SurfaceSourceBox.h"

#include "design/AttachmentSites.h"
#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

SurfaceSourceBox::SurfaceSourceBox(const QString& title, const QString& objectName, bool directions, QWidget* parent)
    : QGroupBox(title, parent), choice_(new QButtonGroup(this)), surface_(new QComboBox(this))
{
    setObjectName(objectName + QStringLiteral("Box"));
    auto* grid = new QGridLayout(this);
    const QString current =
        directions ? QStringLiteral("Current directions   OR") : QStringLiteral("Current position   OR");
    const std::string prefix = objectName.toStdString();
    auto radio = [&](int id, const QString& caption, const char* suffix) {
        QRadioButton* button = dialogs::AddRadio(choice_, id, caption, (prefix + suffix).c_str());
        grid->addWidget(button, id, 0);
    };
    radio(0, current, "CurrentRadio");
    radio(1, QStringLiteral("Beggining of surface :"), "BeginRadio");
    radio(2, QStringLiteral("End of surface :"), "EndRadio");

    auto* label = new QLabel(QStringLiteral("Surface :"), this);
    label->setBuddy(surface_);
    surface_->setObjectName(objectName + QStringLiteral("Combo"));
    surface_->setAccessibleName(title + QStringLiteral(" surface"));
    surface_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    surface_->setMinimumContentsLength(16);
    grid->addWidget(label, 3, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(surface_, 3, 1);
    if (directions) {
        opposite_ = new QCheckBox(QStringLiteral("Opposite of"), this);
        opposite_->setObjectName(objectName + QStringLiteral("OppositeCheck"));
        grid->addWidget(opposite_, 4, 1);
    }
    grid->setColumnStretch(1, 1);
}

void SurfaceSourceBox::Reset(COpenGLTemplateDoc& document)
{
    surface_->clear();
    surfaces_.clear();
    {
        LockGuard guard(document.documentLock);
        for (const auto& s : document.surfaces) {
            surfaces_.push_back(s.get());
            surface_->addItem(dialogs::NameText(design::SurfaceChoiceLabel(*s)));
        }
    }
    surface_->setCurrentIndex(-1);
    choice_->button(0)->setChecked(true);
    if (opposite_) opposite_->setChecked(false);
}

design::SourceChoice SurfaceSourceBox::choice(COpenGLTemplateDoc& document) const
{
    design::SourceChoice c;
    c.choice = choice_->checkedId();
    const int index = surface_->currentIndex();
    if (index >= 0 && index < static_cast<int>(surfaces_.size())) c.source = surfaces_[static_cast<std::size_t>(index)];
    if (!design::SurfaceInDocument(document, c.source)) c.source = nullptr;
    c.opposite = opposite_ && opposite_->isChecked();
    return c;
}
