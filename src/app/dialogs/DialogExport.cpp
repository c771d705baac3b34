#include "dialogs/DialogExport.h"

#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "exportwriter/TrackFileExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QCheckBox* addCheck(QGridLayout* grid, int row, const QString& caption, const char* objectName)
{
    auto* check = new QCheckBox(caption, grid->parentWidget());
    check->setObjectName(QString::fromLatin1(objectName));
    check->setAccessibleName(caption);
    grid->addWidget(check, row, 0, 1, 2);
    return check;
}

} // namespace

DialogExport::DialogExport(COpenGLTemplateDoc& document, const QString& documentPath, QWidget* parent)
    : QDialog(parent), document_(document), documentPath_(documentPath)
{
    using namespace trackexport;
    setObjectName(QStringLiteral("exportDialog"));
    setWindowTitle(QStringLiteral("Export"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    const ExportFields first;

    file_ = dialogs::AddField(grid, 0, QStringLiteral("File :"), "fileEdit");
    QPushButton* browse = dialogs::MakeButton(this, QStringLiteral("Browse..."), "browseButton");
    grid->addWidget(browse, 0, 2);
    format_ = dialogs::AddCombo(grid, 1, QStringLiteral("Format :"), "formatCombo");
    format_->addItem(QString::fromLatin1(kFormatFromName));
    for (int k = 0; k < kFormatCount; ++k)
        format_->addItem(QString::fromLatin1(FormatCaption(static_cast<ExportFormat>(k))));

    solid_ = addCheck(grid, 2, QStringLiteral("Closed solid, for printing"), "solidCheck");
    thickness_ = dialogs::AddField(grid, 3, QStringLiteral("Thickness :"), "thicknessEdit");
    thickness_->setText(dialogs::NumberText(first.thickness));
    marble_ = addCheck(grid, 4, QStringLiteral("Size the track for a real marble"), "marbleCheck");
    diameter_ = dialogs::AddField(grid, 5, QStringLiteral("Marble diameter (mm) :"), "diameterEdit");
    diameter_->setText(dialogs::NumberText(first.ballDiameterMm));
    resolution_ =
        dialogs::AddSpinField(grid, 6, QStringLiteral("Resolution :"), "resolutionSpin", kResolutionLow, kResolutionHigh);
    resolution_->setValue(first.resolution);
    choice_ = dialogs::AddCombo(grid, 7, QStringLiteral("Export :"), "choiceCombo");
    for (const char* caption : kChoiceCaptions) choice_->addItem(QString::fromLatin1(caption));
    group_ = dialogs::AddCombo(grid, 8, QStringLiteral("Group :"), "groupCombo");
    for (const auto& group : document_.groups) group_->addItem(dialogs::NameText(textOf(group->name)));

    QPushButton* ok = dialogs::MakeButton(this, QStringLiteral("Export"), "exportButton");
    QPushButton* cancel = dialogs::MakeButton(this, QStringLiteral("Cancel"), "cancelButton");
    layout->addWidget(dialogs::ButtonRow(this, {ok, cancel}, ok));
    connect(ok, &QPushButton::clicked, this, &DialogExport::accept);
    connect(cancel, &QPushButton::clicked, this, &DialogExport::reject);
    connect(browse, &QPushButton::clicked, this, &DialogExport::Browse);
    connect(solid_, &QCheckBox::toggled, this, &DialogExport::UpdateEnabled);
    connect(marble_, &QCheckBox::toggled, this, &DialogExport::UpdateEnabled);
    connect(choice_, &QComboBox::currentIndexChanged, this, &DialogExport::UpdateEnabled);
    UpdateEnabled();
}

void DialogExport::UpdateEnabled()
{
    thickness_->setEnabled(solid_->isChecked());
    diameter_->setEnabled(marble_->isChecked());
    group_->setEnabled(choice_->currentIndex() == trackexport::kOneGroup);
}

void DialogExport::Browse()
{
    QFileDialog dialog(this, QStringLiteral("Export"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("3D files (*.stl *.obj *.ply *.gltf *.glb)"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        file_->setText(dialog.selectedFiles().first());
}

void DialogExport::accept()
{
    using namespace trackexport;
    ExportFields fields;
    fields.path = file_->text().toStdString();
    fields.formatIndex = format_->currentIndex() - 1;
    fields.solid = solid_->isChecked();
    fields.marbleSize = marble_->isChecked();
    if (fields.solid && !dialogs::ReadNumber(this, thickness_, 0.0, kMaxThickness, fields.thickness)) return;
    if (fields.marbleSize && !dialogs::ReadNumber(this, diameter_, 0.0, kMaxBallDiameterMm, fields.ballDiameterMm))
        return;
    fields.resolution = resolution_->value();
    fields.choice = choice_->currentIndex();
    fields.groupName = dialogs::NameBytes(group_->currentText());
    ExportOutcome outcome;
    {
        const ThreadPauseGuard held(document_);
        outcome = ExportFromFields(document_, fields, documentPath_.toStdString());
    }
    if (!outcome.error.empty()) {
        dialogs::ShowMessage(this, QString::fromStdString(outcome.error));
        return;
    }
    dialogs::ShowMessage(this, QString::fromStdString(outcome.summary.Report(outcome.path)));
    QDialog::accept();
}
