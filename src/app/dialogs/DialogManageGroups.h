#pragma once

// " Manage surface groups": creates, renames and deletes groups, moves
// surfaces between them, exports a group to the surface library and opens
// the library to import from it. Both trees show every group with its
// surfaces: groups are chosen on the left, surfaces on the right.

#include <QDialog>

class COpenGLTemplateDoc;
class DialogSurfaceLibrary;
class QLineEdit;
class QTreeWidget;
class SurfaceSection;
struct SurfaceGroup;

class DialogManageGroups : public QDialog {
    Q_OBJECT

public:
    DialogManageGroups(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Refills both trees from the document; no item selected.
    void Refresh();
    DialogSurfaceLibrary* libraryDialog() const { return library_; }

signals:
    // Groups or their members changed, or surfaces were imported.
    void groupsChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnCreateGroup();
    void OnRenameGroup();
    void OnDeleteGroup();
    void OnAddSurfaceToGroup();
    void OnExport();
    void OnImport();
    // Records the step, refills the trees and tells the panel.
    void Changed(const char* step);
    SurfaceGroup* ChosenGroup() const;
    SurfaceSection* ChosenSurface() const;

    COpenGLTemplateDoc& document_;
    QTreeWidget* groupTree_ = nullptr;
    QTreeWidget* surfaceTree_ = nullptr;
    QLineEdit* name_ = nullptr;
    DialogSurfaceLibrary* library_ = nullptr;
};
