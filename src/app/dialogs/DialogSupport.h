#pragma once

// What every design dialog shares: its message boxes, the conversion of
// names between the document's single bytes and Qt text, labelled fields
// named by their label, and reading a field against the range its
// operation accepts.

#include "design/DesignResult.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

class QComboBox;
class QGridLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;

namespace dialogs {

// The program's caption on every message box.
inline constexpr const char* kMessageCaption = "Marlwick";

// An information box with one OK button; its text is also its accessible
// description, so a screen reader reads it out.
void ShowMessage(QWidget* parent, const QString& text);
// Every message box of a refusal, in order; nothing when it was done.
void ShowRefusal(QWidget* parent, const design::DesignResult& result);
// A question with OK and Cancel (Cancel the default); true for OK.
bool AskOkCancel(QWidget* parent, const QString& text);

// A document name (Windows-1252 bytes) as text, and text as such a name.
QString NameText(std::string_view name);
std::string NameBytes(const QString& text);

// A line edit in column 1 of `row` with its label (the caption, buddied to
// the edit so the edit takes the caption as its accessible name) in column 0.
// maxLength 0 leaves the length free.
QLineEdit* AddField(QGridLayout* grid, int row, const QString& caption, const char* objectName, int maxLength = 0);
// A push button with its object name.
QPushButton* MakeButton(QWidget* parent, const QString& caption, const char* objectName);

// The field's text as a number within [low, high]. Otherwise the range
// prompt of the framework ("Please enter an integer between %1 and %2.") is
// shown, the field takes the focus with its text selected, and the result is false.
bool ReadInteger(QWidget* parent, QLineEdit* field, int low, int high, int& value);
bool ReadNumber(QWidget* parent, QLineEdit* field, double low, double high, double& value);
// The field's text as a name of at most `most` bytes; otherwise the length
// prompt ("Please enter no more than %1 characters.") as above.
bool ReadName(QWidget* parent, QLineEdit* field, int most, std::string& name);

// How numbers are shown in fields: the shortest text that reads back exactly.
QString NumberText(double value);

// A combo box in column 1 of `row` with its label buddied to it in column 0,
// as AddField does for a line edit.
QComboBox* AddCombo(QGridLayout* grid, int row, const QString& caption, const char* objectName);

// The pointer carried by an item's user data (a combo box or list entry), as set by ItemData.
QVariant ItemData(const void* pointer);
template <typename T>
T* ItemPointer(const QVariant& data)
{
    return reinterpret_cast<T*>(data.value<quintptr>());
}

// Makes `button` the dialog's one default button: Return in any field
// presses it, whichever button was clicked before.
void SetDefaultButton(QWidget* dialog, QPushButton* button);

// The row of a list's selected line, or -1 when no line is selected (the
// current line alone, which a list takes with the focus, is no choice).
int SelectedRow(const QListWidget* list);

} // namespace dialogs

class QButtonGroup;
class QDialog;
class QRadioButton;
class QSpinBox;

namespace dialogs {

// A spin box over [low, high] in column 1 of `row`, named by its label in column 0.
QSpinBox* AddSpinField(QGridLayout* grid, int row, const QString& caption, const char* objectName, int low, int high);
// A radio button joining `group` under `id`, with its object name.
QRadioButton* AddRadio(QButtonGroup* group, int id, const QString& caption, const char* objectName);
// Calls act once with the id of the button chosen, however it was chosen: a
// click or key (on the button already on too), or an assistive technology's
// toggle action, which switches it on without a click. A button switched
// off is not acted on.
void OnRadioChosen(QButtonGroup* group, QObject* receiver, std::function<void(int)> act);
// A row of the dialog's buttons at the right: `accept` is the default
// (Enter), and Escape rejects the dialog.
QWidget* ButtonRow(QDialog* dialog, std::initializer_list<QPushButton*> buttons, QPushButton* accept);

} // namespace dialogs

class COpenGLTemplateDoc;

namespace dialogs {

// The undo history as a dialog with a live preview sees it: held from
// opening to closing (undo and redo wait meanwhile), and one step recorded
// at closing when the dialog saved anything, so that the step holds the
// surface as the user is left with it (its editing display given back, its
// links broken by the save).
class PreviewHistory {
public:
    explicit PreviewHistory(COpenGLTemplateDoc& document) : document_(document) {}
    ~PreviewHistory();
    PreviewHistory(const PreviewHistory&) = delete;
    PreviewHistory& operator=(const PreviewHistory&) = delete;

    void Begin();
    // A save of the dialog; the first one names the step.
    void Saved(const char* step);
    void End();

private:
    COpenGLTemplateDoc& document_;
    bool held_ = false;
    std::string step_;
};

} // namespace dialogs
