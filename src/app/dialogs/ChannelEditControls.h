#pragma once

// The controls the channel editing dialogs (types A, B and C) share below
// their own groups: the intermediate count, the row of their buttons, and
// the end of the editing as they close.

#include "dialogs/DialogSupport.h"
#include "document/ThreadPauseGuard.h"

#include <QString>

#include <functional>

class QDialog;
class QLabel;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
class SurfaceSection;

namespace design {
class ChannelEditorBase;
}

namespace dialogs {

// The "Intermediate cross sections :" spin box in a grid of its own at the
// end of `layout`. A change of its value sets the edited surface's
// intermediate count as a live preview, while `editing()` holds.
QSpinBox* AddIntermediateCountField(QDialog* dialog, QVBoxLayout* layout, COpenGLTemplateDoc& document,
                                    design::ChannelEditorBase& editor, std::function<bool()> editing);

// The dialog's buttons at the end of `layout`: the returned one, which saves
// (the default), and "Close", which rejects the dialog.
QPushButton* AddSaveCloseRow(QDialog* dialog, QVBoxLayout* layout, const QString& saveCaption,
                             const char* saveObjectName);

// The note above the dialog's buttons of the links a save will break as the
// dialog closes; ShowDetachNotice fills it from the surface (none: hidden).
QLabel* AddDetachNotice(QDialog* dialog, QVBoxLayout* layout);
void ShowDetachNotice(QLabel* notice, const SurfaceSection* surface);

// Ends the editing as a dialog closes: the editor gives the surface back
// (one that left the document meanwhile is not touched) and the held undo
// history records the dialog's step, if it saved.
template <typename Editor>
void EndChannelEditing(COpenGLTemplateDoc& document, Editor& editor, PreviewHistory& history)
{
    editor.StillEditing(); // a surface that left the document is not touched
    {
        const ThreadPauseGuard held(document);
        editor.Close();
    }
    history.End();
}

} // namespace dialogs
