#pragma once

// " Edit intermediate surface cross sections": rotates, moves and scales the
// cross sections chosen in its list, as a live preview from the backup that
// "Save" renews and "Close" returns to, and opens the shape editor for them.
// A view of design::SectionTransformEditor.

#include "design/SectionTransforms.h"
#include "dialogs/DialogSupport.h"

#include <QDialog>

class COpenGLTemplateDoc;
class DialogEditCrossSectionShape;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QListWidget;
class SliderEditSpin;

class DialogEditSurfaceSections : public QDialog {
    Q_OBJECT

public:
    DialogEditSurfaceSections(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Opens for the document's selected surface (refused without one); an
    // open dialog is closed first, as "Close" would.
    void Open();
    const design::SectionTransformEditor& editor() const { return editor_; }
    DialogEditCrossSectionShape* shapeDialog() const { return shapeDialog_; }

    // "Close": the shape editor closes too; unsaved changes are undone and
    // the surface's display settings come back.
    void reject() override;

private:
    QGroupBox* BuildRotation();
    QGroupBox* BuildMove();
    QGroupBox* BuildScale();
    QWidget* BuildList();
    SliderEditSpin* AddSlider(const QString& caption, const char* objectName,
                              const design::TransformSliderRange& range, design::TransformKind kind);
    void FillList();
    void ZeroSliders();
    void OnSelectionChanged();
    void OnValueChosen(design::TransformKind kind, int value);
    void OnAxis(int axis);
    void OnDirection(int direction);
    void OnSubsequent(bool on);
    void OnCopy();
    void OnPaste();
    void OnEditShape();
    void OnSave();
    SliderEditSpin* SliderOf(design::TransformKind kind) const;
    // True while the surface it was opened for is still in the document;
    // otherwise both dialogs hide, letting go of it.
    bool Live();
    void PlaceShapeDialog();

    COpenGLTemplateDoc& document_;
    design::SectionTransformEditor editor_;
    dialogs::PreviewHistory history_;
    DialogEditCrossSectionShape* shapeDialog_ = nullptr;
    QListWidget* list_ = nullptr;
    QButtonGroup* axes_ = nullptr;
    QButtonGroup* directions_ = nullptr;
    SliderEditSpin* rotation_ = nullptr;
    SliderEditSpin* move_ = nullptr;
    SliderEditSpin* scale_ = nullptr;
    QCheckBox* subsequent_ = nullptr;
    // The slider positions of the preview the records show.
    int shown_[3] = {};
    bool open_ = false;
    bool shapePlaced_ = false; // the shape editor's first place was chosen
};
