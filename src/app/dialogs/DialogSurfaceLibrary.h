#pragma once

// " Surface Library" (modal): the shared library file's groups with their
// members and its lone surfaces; imports the chosen entry into the document
// or marks it deleted in the file.

#include "design/DesignResult.h"
#include "design/SurfaceLibrary.h"

#include <QDialog>

#include <vector>

class COpenGLTemplateDoc;
class QTreeWidget;

class DialogSurfaceLibrary : public QDialog {
    Q_OBJECT

public:
    DialogSurfaceLibrary(COpenGLTemplateDoc& document, QWidget* parent = nullptr);

    // Reads the library's index into the tree; a refusal names what is wrong
    // with the file, and the tree is then empty.
    design::DesignResult Load();

signals:
    // A surface or group was imported into the document.
    void imported();

private:
    void OnImportSelected();
    void OnDeleteSelected();
    const design::LibraryTreeItem* ChosenItem() const;

    COpenGLTemplateDoc& document_;
    QTreeWidget* tree_ = nullptr;
    std::vector<design::LibraryTreeItem> roots_; // the items the tree's entries point at
};
