#include "dialogs/DialogSurfaceEditB.h"

#include "design/ChannelCreation.h"
#include "design/DesignHistory.h"
#include "design/LivePreviewGuard.h"
#include "dialogs/ChannelEditControls.h"
#include "dialogs/DialogSupport.h"
#include "dialogs/SurfaceSourceBox.h"
#include "document/OpenGLTemplateDoc.h"
#include "document/ThreadPauseGuard.h"

#include <QGridLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

DialogSurfaceEditB::DialogSurfaceEditB(COpenGLTemplateDoc& document, QWidget* parent)
    : DialogSurfaceEditB(document, parent, kTypeB)
{
}

DialogSurfaceEditB::DialogSurfaceEditB(COpenGLTemplateDoc& document, QWidget* parent, int type)
    : QDialog(parent), document_(document), type_(type), editor_(document), history_(document),
      initialDirections_(
          new SurfaceSourceBox(QStringLiteral("Initial directions"), QStringLiteral("initialDirections"), true, this)),
      finalDirections_(
          new SurfaceSourceBox(QStringLiteral("Final directions"), QStringLiteral("finalDirections"), true, this))
{
    const bool positions = type == kTypeC;
    setObjectName(positions ? QStringLiteral("editCDialog") : QStringLiteral("editBDialog"));
    setWindowTitle(positions ? QStringLiteral(" Edit surface  (type C)") : QStringLiteral(" Edit surface  (type B)"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* choices = new QGridLayout;
    layout->addLayout(choices);
    choices->addWidget(initialDirections_, 0, 0);
    choices->addWidget(finalDirections_, 0, 1);
    if (positions) {
        initialPosition_ =
            new SurfaceSourceBox(QStringLiteral("Initial position"), QStringLiteral("initialPosition"), false, this);
        finalPosition_ =
            new SurfaceSourceBox(QStringLiteral("Final position"), QStringLiteral("finalPosition"), false, this);
        choices->addWidget(initialPosition_, 1, 0);
        choices->addWidget(finalPosition_, 1, 1);
    }

    intermediate_ = dialogs::AddIntermediateCountField(this, layout, document_, editor_, [this] { return Editing(); });
    detachNotice_ = dialogs::AddDetachNotice(this, layout);
    QPushButton* apply = dialogs::AddSaveCloseRow(this, layout, QStringLiteral("Apply and Save"), "applyButton");
    connect(apply, &QPushButton::clicked, this, &DialogSurfaceEditB::ApplyAndSave);
}

design::DesignResult DialogSurfaceEditB::Open()
{
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = editor_.Open(type_);
    }
    if (!result.ok()) return result;
    history_.Begin();
    for (SurfaceSourceBox* box : {initialDirections_, finalDirections_, initialPosition_, finalPosition_})
        if (box) box->Reset(document_);
    {
        const QSignalBlocker quiet(intermediate_);
        intermediate_->setValue(editor_.surface()->intermediateCount);
    }
    ShowDetachNotice();
    show();
    raise();
    activateWindow();
    return result;
}

void DialogSurfaceEditB::ShowDetachNotice()
{
    // A surface deleted meanwhile has no links left to tell of.
    dialogs::ShowDetachNotice(detachNotice_, editor_.StillEditing() ? editor_.surface() : nullptr);
}

bool DialogSurfaceEditB::Editing()
{
    if (editor_.StillEditing()) return true;
    QDialog::reject();
    emit editingEnded();
    return false;
}

void DialogSurfaceEditB::ApplyAndSave()
{
    if (!Editing()) return;
    const design::SourceChoice none;
    design::DesignResult result;
    {
        const ThreadPauseGuard held(document_);
        result = editor_.ApplyAndSave(initialDirections_->choice(document_), finalDirections_->choice(document_),
                                      initialPosition_ ? initialPosition_->choice(document_) : none,
                                      finalPosition_ ? finalPosition_->choice(document_) : none);
    }
    if (!result.ok()) {
        dialogs::ShowRefusal(this, result);
        return;
    }
    history_.Saved(design::kStepEditSurface);
}

void DialogSurfaceEditB::reject()
{
    dialogs::EndChannelEditing(document_, editor_, history_);
    QDialog::reject();
    emit editingEnded();
}
