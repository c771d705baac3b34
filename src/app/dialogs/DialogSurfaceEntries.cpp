#include "dialogs/DialogSurfaceEntries.h"

#include "design/AttachmentSites.h"
#include "design/DesignHistory.h"
#include "dialogs/DialogSupport.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"
#include "surface/SurfaceSection.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

DialogSurfaceEntries::DialogSurfaceEntries(COpenGLTemplateDoc& document, const Texts& texts, QWidget* parent)
    : QDialog(parent), document_(document), texts_(texts)
{
    setObjectName(QString::fromLatin1(texts.objectName));
    setWindowTitle(QString::fromLatin1(texts.title));

    listLabel_ = new QLabel(QString::fromLatin1(texts.listCaption), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QString::fromLatin1(texts.listName));
    list_->setAccessibleName(listLabel_->text());
    list_->setMinimumWidth(300);
    listLabel_->setBuddy(list_);

    fieldGrid_ = new QGridLayout;
    fieldBox_ = new QWidget(this);
    fieldBox_->setLayout(fieldGrid_);
    fieldGrid_->setContentsMargins(0, 0, 0, 0);
    name_ = dialogs::AddField(fieldGrid_, 0, QStringLiteral("Name :"), "nameEdit", design::kMaxShortName);

    connect(list_, &QListWidget::itemSelectionChanged, this, &DialogSurfaceEntries::OnEntrySelected);
}

void DialogSurfaceEntries::Finish(QLayout* extraFields)
{
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
    layout->addWidget(listLabel_);
    layout->addWidget(list_, 1);
    layout->addWidget(fieldBox_);
    if (extraFields) layout->addLayout(extraFields);
    layout->addLayout(buttons);

    connect(addButton, &QPushButton::clicked, this, &DialogSurfaceEntries::OnAddNew);
    connect(deleteButton, &QPushButton::clicked, this, &DialogSurfaceEntries::OnDeleteSelected);
    connect(doneButton, &QPushButton::clicked, this, &QDialog::reject);
}

void DialogSurfaceEntries::AddListLine(const QString& line)
{
    list_->addItem(line);
}

void DialogSurfaceEntries::ShowName(std::string_view name)
{
    name_->setText(dialogs::NameText(name));
}

void DialogSurfaceEntries::showEvent(QShowEvent* event)
{
    Refresh();
    QDialog::showEvent(event);
    name_->setFocus(); // a new entry starts with its name
}

void DialogSurfaceEntries::Refresh()
{
    const QSignalBlocker blocker(list_);
    name_->clear();
    ResetFields();
    list_->clear();
    if (const SurfaceSection* surface = document_.selectedSurface) FillList(*surface);
    list_->setCurrentRow(-1);
}

void DialogSurfaceEntries::OnEntrySelected()
{
    const SurfaceSection* surface = document_.selectedSurface;
    const int row = dialogs::SelectedRow(list_);
    if (surface && row >= 0) ShowEntry(*surface, row);
}

SurfaceSection* DialogSurfaceEntries::SurfaceOrRefuse()
{
    SurfaceSection* surface = document_.selectedSurface;
    if (!surface) dialogs::ShowMessage(this, QString::fromLatin1(texts_.selectSurface));
    return surface;
}

void DialogSurfaceEntries::OnAddNew()
{
    SurfaceSection* surface = SurfaceOrRefuse();
    if (!surface) return;
    std::string name;
    if (!dialogs::ReadName(this, name_, design::kMaxShortName, name) || !ReadFields()) return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = AddEntry(*surface, name);
    }
    Commit(result, texts_.addStep);
}

void DialogSurfaceEntries::OnDeleteSelected()
{
    SurfaceSection* surface = SurfaceOrRefuse();
    if (!surface) return;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = DeleteEntry(*surface, dialogs::SelectedRow(list_));
    }
    Commit(result, texts_.deleteStep);
}

// Refuses a failed operation; otherwise records the step and shows the new list.
void DialogSurfaceEntries::Commit(const design::DesignResult& result, const char* step)
{
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    design::RecordStep(document_, step);
    Refresh();
    emit entriesChanged();
}
