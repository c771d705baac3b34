#pragma once

// The frame of the dialogs that list, add and delete the named entries of
// the document's selected surface (its attachment sites, its holes): the
// list with its label, the "Name :" field, the "Add new", "Delete selected"
// and "Done" buttons, and the handling they share. A dialog adds its own
// fields between its constructor's start and Finish(), and supplies the
// entry operations.

#include "design/DesignResult.h"

#include <QDialog>

#include <string>
#include <string_view>

class COpenGLTemplateDoc;
class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class SurfaceSection;

class DialogSurfaceEntries : public QDialog {
    Q_OBJECT

public:
    // The texts and names that tell one such dialog from another.
    struct Texts {
        const char* objectName;
        const char* title;
        const char* listCaption;
        const char* listName;
        const char* selectSurface; // shown when no surface is selected
        const char* addStep;
        const char* deleteStep;
    };

    DialogSurfaceEntries(COpenGLTemplateDoc& document, const Texts& texts, QWidget* parent);

    // Clears the name and lists the selected surface's entries.
    void Refresh();

signals:
    // An entry was added or deleted.
    void entriesChanged();

protected:
    void showEvent(QShowEvent* event) override;

    // The grid holding the "Name :" field in row 0; a dialog may add rows below.
    QGridLayout* FieldGrid() const { return fieldGrid_; }
    QLineEdit* NameField() const { return name_; }
    // Builds the buttons and lays the dialog out: the list, the name's grid,
    // `extraFields` when given, then the buttons.
    void Finish(QLayout* extraFields = nullptr);
    // A line of the list, and an entry's name (document bytes) in the "Name :" field.
    void AddListLine(const QString& line);
    void ShowName(std::string_view name);

    // Sets the dialog's own fields back as Refresh() leaves them.
    virtual void ResetFields() {}
    // Adds the list's lines for the surface's entries.
    virtual void FillList(const SurfaceSection& surface) = 0;
    // Shows the entry in `row` (at least 0) in the fields, when there is one.
    virtual void ShowEntry(const SurfaceSection& surface, int row) = 0;
    // Reads the dialog's own fields for a new entry (after the name), with
    // the range prompt on a bad one; false when one is bad.
    virtual bool ReadFields() = 0;
    // Adds an entry named `name` from the fields just read.
    virtual design::DesignResult AddEntry(SurfaceSection& surface, const std::string& name) = 0;
    virtual design::DesignResult DeleteEntry(SurfaceSection& surface, int row) = 0;

    COpenGLTemplateDoc& document_;

private:
    void OnEntrySelected();
    void OnAddNew();
    void OnDeleteSelected();
    SurfaceSection* SurfaceOrRefuse();
    void Commit(const design::DesignResult& result, const char* step);

    Texts texts_;
    QLabel* listLabel_ = nullptr;
    QListWidget* list_ = nullptr;
    QGridLayout* fieldGrid_ = nullptr;
    QWidget* fieldBox_ = nullptr;
    QLineEdit* name_ = nullptr;
};
