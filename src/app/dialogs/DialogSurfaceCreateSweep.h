#pragma once

// " Create sweep surface": a template cross section revolved about an axis
// beside one of its edges. The templates are read from the template file on
// every show; the chosen one is drawn. A view of design::CreateSweepFromFields.

#include "design/SweepSurface.h"

#include <QDialog>

#include <vector>

class COpenGLTemplateDoc;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class ShapeDrawingArea;

class DialogSurfaceCreateSweep : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceCreateSweep(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Reads the templates (none chosen) and shows the dialog; the other
    // fields keep what they last held.
    void Open();

    // OK: the fields are read and checked; the surface is created and the
    // dialog hides, or the refusal is shown and the dialog stays.
    void accept() override;

private:
    void OnTemplateChosen(int row);

    COpenGLTemplateDoc& document_;
    std::vector<design::CrossSectionTemplate> templates_;
    QComboBox* templateCombo_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* sections_ = nullptr;
    QLineEdit* angle_ = nullptr;
    QLineEdit* inner_ = nullptr;
    QButtonGroup* edges_ = nullptr;
    ShapeDrawingArea* area_ = nullptr;
};
