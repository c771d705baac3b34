#pragma once

// " Surface attachment sites": lists, adds and deletes the attachment sites
// of the document's selected surface (design::AddSite, design::DeleteSite).

#include <QDialog>

class COpenGLTemplateDoc;
class QButtonGroup;
class QLineEdit;
class QListWidget;

class DialogSurfaceAttachmentSites : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceAttachmentSites(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Clears the name, selects "Beginning" and lists the selected surface's sites.
    void Refresh();

signals:
    // A site was added or deleted.
    void sitesChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnSiteSelected();
    void OnAddNew();
    void OnDeleteSelected();

    COpenGLTemplateDoc& document_;
    QListWidget* siteList_ = nullptr;
    QLineEdit* name_ = nullptr;
    QButtonGroup* edges_ = nullptr;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
};
