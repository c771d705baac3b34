#include "dialogs/ChannelEditControls.h"

#include "design/ChannelCreation.h"
#include "design/ChannelEditing.h"
#include "design/LivePreviewGuard.h"
#include "dialogs/DialogSupport.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace dialogs {

QSpinBox* AddIntermediateCountField(QDialog* dialog, QVBoxLayout* layout, COpenGLTemplateDoc& document,
                                    design::ChannelEditorBase& editor, std::function<bool()> editing)
{
    auto* counts = new QGridLayout;
    layout->addLayout(counts);
    QSpinBox* intermediate = AddSpinField(counts, 0, QStringLiteral("Intermediate cross sections :"),
                                          "intermediateSpin", design::kIntermediateLow, design::kIntermediateHigh);
    counts->setColumnStretch(2, 1);
    QObject::connect(intermediate, &QSpinBox::valueChanged, dialog,
                     [&document, &editor, editing = std::move(editing)](int count) {
                         if (!editing()) return;
                         const design::LivePreviewGuard held(document, editor.surface());
                         // the spin box keeps to the accepted range
                         static_cast<void>(editor.SetIntermediateCount(count));
                     });
    return intermediate;
}

QLabel* AddDetachNotice(QDialog* dialog, QVBoxLayout* layout)
{
    auto* notice = new QLabel(dialog);
    notice->setObjectName(QStringLiteral("detachNotice"));
    notice->setWordWrap(true);
    notice->hide();
    layout->addWidget(notice);
    return notice;
}

void ShowDetachNotice(QLabel* notice, const SurfaceSection* surface)
{
    const QString text = surface ? NameText(design::DetachNotice(*surface)) : QString();
    notice->setText(text);
    notice->setVisible(!text.isEmpty());
}

QPushButton* AddSaveCloseRow(QDialog* dialog, QVBoxLayout* layout, const QString& saveCaption,
                             const char* saveObjectName)
{
    QPushButton* save = MakeButton(dialog, saveCaption, saveObjectName);
    QPushButton* close = MakeButton(dialog, QStringLiteral("Close"), "closeButton");
    layout->addWidget(ButtonRow(dialog, {save, close}, save));
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    return save;
}

} // namespace dialogs
