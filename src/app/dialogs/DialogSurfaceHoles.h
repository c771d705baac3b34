#pragma once

// " Surface holes": lists, adds and deletes the holes of the document's
// selected surface (design::AddHole, design::DeleteHole).

#include "dialogs/DialogSurfaceEntries.h"

class DialogSurfaceHoles : public DialogSurfaceEntries {
    Q_OBJECT

public:
    DialogSurfaceHoles(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

signals:
    // A hole was added or deleted.
    void holesChanged();

private:
    void FillList(const SurfaceSection& surface) override;
    void ShowEntry(const SurfaceSection& surface, int row) override;
    bool ReadFields() override;
    design::DesignResult AddEntry(SurfaceSection& surface, const std::string& name) override;
    design::DesignResult DeleteEntry(SurfaceSection& surface, int row) override;

    // Front - back low and high, then right - left low and high.
    QLineEdit* rangeFields_[4] = {};
    double rangeRead_[4] = {};
};
