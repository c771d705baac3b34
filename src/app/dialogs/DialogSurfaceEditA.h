#pragma once

// " Edit surface  (type A)": the turns, the rotation and the displacements
// of the selected type A surface, each a perform and a sense check box and a
// slider with its spin box, plus the intermediate count. Every change
// regenerates the surface at once (design::TypeAEditor), so the view follows
// the slider; "Save" keeps the changes, "Close" without it restores them.

#include "design/ChannelEditing.h"
#include "dialogs/DialogSupport.h"

#include <QDialog>

#include <array>

class COpenGLTemplateDoc;
class QCheckBox;
class QLabel;
class QSpinBox;
class SliderEditSpin;

class DialogSurfaceEditA : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceEditA(COpenGLTemplateDoc& document, QWidget* parent);

    // Opens for the document's selected surface and shows its parameters;
    // the refusal when it is no type A surface or another editor holds it.
    design::DesignResult Open();
    // The links a save will break, as the surface has them now.
    void ShowDetachNotice();
    // "Close", Escape and the window's close box.
    void reject() override;

signals:
    // The dialog closed: the surface's display and links may have changed.
    void editingEnded();

private:
    struct GroupControls {
        design::TypeAGroup group;
        QCheckBox* perform = nullptr;
        QCheckBox* sense = nullptr;
        SliderEditSpin* value = nullptr;
    };
    struct GroupCaptions;
    QWidget* BuildGroup(const GroupCaptions& captions, GroupControls& controls);
    // The check boxes, captions and sliders of the five groups in columns.
    void AlignGroups();
    void LoadFromSurface();
    // True while the surface opened for is in the document; otherwise the
    // dialog closes without touching it.
    bool Editing();
    void SetValue(const GroupControls& controls, int position);
    void Save();

    COpenGLTemplateDoc& document_;
    design::TypeAEditor editor_;
    dialogs::PreviewHistory history_;
    std::array<GroupControls, 5> groups_;
    QSpinBox* intermediate_ = nullptr;
    QLabel* detachNotice_ = nullptr;
};
