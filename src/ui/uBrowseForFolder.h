#pragma once

#include <QString>

class QWidget;

// Lets the user choose a file-system folder in the platform's folder chooser.
// initialFolder, when not empty, is handed over exactly as given (a relative
// path too) for the chooser to select in advance. Returns the chosen folder's
// full path, or the empty text when the user cancels.
QString BrowseForFolder(
    const QString &title, const QString &initialFolder, QWidget *owner = nullptr);
