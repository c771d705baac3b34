#pragma once

// " Surface holes": lists, adds and deletes the holes of the document's
// selected surface (design::AddHole, design::DeleteHole).

#include <QDialog>

class COpenGLTemplateDoc;
class QLineEdit;
class QListWidget;
class SurfaceSection;

class DialogSurfaceHoles : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceHoles(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Clears the name and lists the selected surface's holes by name.
    void Refresh();

signals:
    // A hole was added or deleted.
    void holesChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnHoleSelected();
    void OnAddNew();
    void OnDeleteSelected();
    SurfaceSection* SurfaceOrRefuse();

    COpenGLTemplateDoc& document_;
    QListWidget* holeList_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* frontBackLow_ = nullptr;
    QLineEdit* frontBackHigh_ = nullptr;
    QLineEdit* rightLeftLow_ = nullptr;
    QLineEdit* rightLeftHigh_ = nullptr;
};
