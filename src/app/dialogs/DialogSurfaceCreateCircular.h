#pragma once

// " Create circular surface": the portion of a circle, the counts, the two
// radii and the name of a new ring, created on OK by
// design::CreateCircularFromFields. Every value persists between shows.

#include <QDialog>

class COpenGLTemplateDoc;
class QButtonGroup;
class QLineEdit;

class DialogSurfaceCreateCircular : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceCreateCircular(COpenGLTemplateDoc& document, QWidget* parent);

    void Present();
    void accept() override;

signals:
    void surfaceCreated();

private:
    // A portion button: its suggested control-point count in the field.
    void ChoosePortion(int portion);

    COpenGLTemplateDoc& document_;
    QButtonGroup* portion_;
    QLineEdit* points_;
    QLineEdit* sections_;
    QLineEdit* inner_;
    QLineEdit* outer_;
    QLineEdit* name_;
};
