#pragma once

// " Surface attachment sites": lists, adds and deletes the attachment sites
// of the document's selected surface (design::AddSite, design::DeleteSite).

#include "dialogs/DialogSurfaceEntries.h"

class QButtonGroup;

class DialogSurfaceAttachmentSites : public DialogSurfaceEntries {
    Q_OBJECT

public:
    DialogSurfaceAttachmentSites(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

signals:
    // A site was added or deleted.
    void sitesChanged();

private:
    // Selects "Beginning".
    void ResetFields() override;
    void FillList(const SurfaceSection& surface) override;
    void ShowEntry(const SurfaceSection& surface, int row) override;
    bool ReadFields() override;
    design::DesignResult AddEntry(SurfaceSection& surface, const std::string& name) override;
    design::DesignResult DeleteEntry(SurfaceSection& surface, int row) override;

    QButtonGroup* edges_ = nullptr;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
    double lowRead_ = 0;
    double highRead_ = 0;
};
