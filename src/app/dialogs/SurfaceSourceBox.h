#pragma once

// One choice of the type B and C editing dialogs: where the initial or final
// directions (or position) come from: "Current ...   OR", "Beggining of
// surface :" or "End of surface :" of the surface chosen in its combo box,
// with "Opposite of" for directions.

#include "design/ChannelEditing.h"

#include <QGroupBox>

#include <vector>

class COpenGLTemplateDoc;
class QButtonGroup;
class QCheckBox;
class QComboBox;

class SurfaceSourceBox : public QGroupBox {
    Q_OBJECT

public:
    // objectName prefixes the controls: "<name>CurrentRadio", "<name>BeginRadio",
    // "<name>EndRadio", "<name>Combo" and, for directions, "<name>OppositeCheck".
    SurfaceSourceBox(const QString& title, const QString& objectName, bool directions, QWidget* parent);

    // Every surface of the document in the combo box ("group::name"), none
    // chosen; the first button checked and "Opposite of" unticked.
    void Reset(COpenGLTemplateDoc& document);
    // The choice; a surface that has left the document since counts as none chosen.
    design::SourceChoice choice(COpenGLTemplateDoc& document) const;

private:
    QButtonGroup* choice_;
    QComboBox* surface_;
    QCheckBox* opposite_ = nullptr;
    std::vector<SurfaceSection*> surfaces_; // as the combo box's entries
};
