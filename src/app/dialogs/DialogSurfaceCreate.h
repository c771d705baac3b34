#pragma once

// " Create channel surface": the name, the type and the two counts of a new
// channel surface, created on OK by design::CreateChannelFromFields.

#include <QDialog>

class COpenGLTemplateDoc;
class QButtonGroup;
class QLineEdit;

class DialogSurfaceCreate : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceCreate(COpenGLTemplateDoc& document, QWidget* parent);

    // Shown by the control panel: the name cleared and type A checked; the
    // counts keep their last values.
    void Present();
    // OK: the fields checked and the surface created; the dialog stays open
    // on a refusal.
    void accept() override;

signals:
    // A surface was created, selected and shown alone.
    void surfaceCreated();

private:
    COpenGLTemplateDoc& document_;
    QLineEdit* name_;
    QButtonGroup* type_;
    QLineEdit* points_;
    QLineEdit* intermediate_;
};
