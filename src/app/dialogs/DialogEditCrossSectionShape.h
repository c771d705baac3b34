#pragma once

// " Edit cross section shape": the shape of the cross sections chosen in the
// cross-section dialog, dragged point by point with the mouse (the surface
// follows every drag), mirrored, loaded from and stored as a template. A
// view of design::CrossSectionShapeEditor.

#include "design/CrossSectionTemplates.h"

#include <QDialog>

#include <vector>

class COpenGLTemplateDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class ShapeDrawingArea;

namespace design {
class SectionTransformEditor;
}

class DialogEditCrossSectionShape : public QDialog {
    Q_OBJECT

public:
    DialogEditCrossSectionShape(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Shows the shape of the first selected cross section; reads the
    // template file on the first opening.
    void Open(design::SectionTransformEditor& sections, const std::vector<int>& selection);
    const design::CrossSectionShapeEditor& editor() const { return editor_; }

    // "Close": hides; drags since the last "Save" are undone.
    void reject() override;

signals:
    // "Save" committed the cross sections, or "Close" reverted them: the
    // cross-section dialog's values start again from 0.
    void sectionsReset();
    // "Save" committed a shape: the cross-section dialog's step is named for it.
    void shapeSaved();

private:
    void BuildControls();
    void FillTemplates();
    void ShowShape(bool fit);
    void OnPointDragged(int index, double x, double y);
    void OnTemplateChosen(int row);
    void OnSave();
    void OnMirror();
    void OnSaveTemplate();
    void OnSaveNewTemplate();
    // True while the surface being shaped is still in the document;
    // otherwise the dialog hides, letting go of it.
    bool Live();

    COpenGLTemplateDoc& document_;
    design::CrossSectionShapeEditor editor_;
    design::SectionTransformEditor* sections_ = nullptr;
    ShapeDrawingArea* area_ = nullptr;
    QComboBox* templates_ = nullptr;
    QLineEdit* name_ = nullptr;
    QCheckBox* grid_ = nullptr;
    QCheckBox* snap_ = nullptr;
    QCheckBox* retain_ = nullptr;
    QPushButton* save_ = nullptr;
    bool open_ = false;
};
