#pragma once

// " Edit surface  (type B)": the selected surface's initial and final
// directions taken from the beginning or end of other surfaces on "Apply and
// Save" (design::TypeBCEditor), and its intermediate count. The type C
// dialog adds the positions.

#include "design/ChannelEditing.h"
#include "dialogs/DialogSupport.h"

#include <QDialog>

class COpenGLTemplateDoc;
class QLabel;
class QSpinBox;
class SurfaceSourceBox;

class DialogSurfaceEditB : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceEditB(COpenGLTemplateDoc& document, QWidget* parent);

    // Opens for the document's selected surface with every choice on its
    // first button; the refusal when the surface is not of this dialog's
    // type or another editor holds it.
    design::DesignResult Open();
    // The links a save will break, as the surface has them now.
    void ShowDetachNotice();
    // "Close", Escape and the window's close box.
    void reject() override;

signals:
    void editingEnded();

protected:
    // type kTypeB or kTypeC; C has the two position choices.
    DialogSurfaceEditB(COpenGLTemplateDoc& document, QWidget* parent, int type);

private:
    // True while the surface opened for is in the document; otherwise the
    // dialog closes without touching it.
    bool Editing();
    void ApplyAndSave();

    COpenGLTemplateDoc& document_;
    const int type_;
    design::TypeBCEditor editor_;
    dialogs::PreviewHistory history_;
    SurfaceSourceBox* initialDirections_;
    SurfaceSourceBox* finalDirections_;
    SurfaceSourceBox* initialPosition_ = nullptr;
    SurfaceSourceBox* finalPosition_ = nullptr;
    QSpinBox* intermediate_ = nullptr;
    QLabel* detachNotice_ = nullptr;
};
