#pragma once

// The controls the channel editing dialogs (types A, B and C) share below
// their own groups: the intermediate count, and the row of their buttons.

#include <QString>

#include <functional>

class COpenGLTemplateDoc;
class QDialog;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

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

} // namespace dialogs
