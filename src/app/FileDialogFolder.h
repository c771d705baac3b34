#pragma once

// Where the program's file dialogs (Open, Save As, Save image) start: the
// folder a file was last opened, saved or chosen in, kept in the settings
// under "Marlwick" from one run to the next; before any, the current
// document's folder; else the home folder. Never merely the folder the
// program happened to be started from.

#include <QString>

// documentPath: the current document's file, empty for an untitled one.
QString FileDialogStartFolder(const QString& documentPath);
// A file was opened, saved or chosen: the next dialog starts in its folder.
void RememberFileDialogFolder(const QString& filePath);
