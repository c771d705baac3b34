#pragma once

// Where the program's file dialogs (Open, Save As, Save image) start: the
// folder a file was last opened, saved or chosen in, kept in the settings
// under "Marlwick" from one run to the next; before any, the current
// document's folder; else the home folder. Never merely the folder the
// program happened to be started from. And the save-file dialog they share.

#include <QString>

class QWidget;

// documentPath: the current document's file, empty for an untitled one.
QString FileDialogStartFolder(const QString& documentPath);
// A file was opened, saved or chosen: the next dialog starts in its folder.
void RememberFileDialogFolder(const QString& filePath);

// A save-file dialog started in startFolder, with the filters ("MP4 Movies
// (*.mp4);;WebM Movies (*.webm)", the first one chosen) and the default name;
// the chosen path (its folder remembered), or empty when cancelled. A name
// typed without a suffix takes the first filter's, or the chosen filter's when
// suffixFollowsFilter.
QString AskSaveFileName(QWidget* parent, const char* filters, const QString& name, bool suffixFollowsFilter,
                        const QString& startFolder);
