#pragma once

// " Attach surface to selected surface": joins another surface to a free site
// of the document's selected surface ("Attach", design::AttachSurfaces),
// continues a circular arc ("Identical circular surface") or grows a new
// channel out of the site ("New channel surface"). On success the dialog
// closes; a refusal leaves it open and the document as it was.

#include <QDialog>

class COpenGLTemplateDoc;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class SurfaceSection;
struct AttachmentSite;

class DialogSurfaceAttach : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceAttach(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Clears every choice, lists the selected surface's free sites and sets
    // the direction index from its cross-section count.
    void Refresh();

signals:
    // Surfaces were joined, or a new one was made.
    void attached();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnSiteSelected();
    void OnSurfaceChosen();
    void OnAttach();
    void OnIdenticalCircular();
    void OnNewChannel();
    void Finish(const char* step);
    // The chosen site of the selected surface, or none.
    AttachmentSite* ChosenSite() const;
    // The surface of a combo box's current entry, or none (also when it has left the document).
    SurfaceSection* ChosenSurface(const QComboBox* combo) const;

    COpenGLTemplateDoc& document_;
    QListWidget* siteList_ = nullptr;
    QComboBox* surfaceCombo_ = nullptr;
    QComboBox* otherSiteCombo_ = nullptr;
    QComboBox* pseudoCombo_ = nullptr;
    QCheckBox* dontMove_ = nullptr;
    QLineEdit* intermediate_ = nullptr;
    QLineEdit* direction_ = nullptr;
};
