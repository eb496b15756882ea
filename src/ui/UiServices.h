#pragma once

#include "DWInterface.h"

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// What a file-open dialog is asked for.
struct TOpenFileRequest
{
    QString title; // empty: the platform's own title
    QString fileName; // proposed file name (may carry a folder)
    QString folder; // where the dialog opens when fileName names no folder
    QString filter; // Qt filter text, entries separated by ";;"
    QString defaultSuffix; // without the dot; empty for none
    bool executablesOnly = false;
    // The filter box shows each entry's name without its patterns, as a
    // Windows filter "Executables|*.exe" shows only "Executables".
    bool hidePatterns = false;
};

// The windows reach dialogs, message boxes and the process launcher only
// through these functions, so tests can answer in place of a user and record
// what would have been launched. The defaults use the real dialogs and
// platform::startDetached().
struct TUiServices
{
    // Returns the chosen file name, or the empty text when cancelled.
    std::function<QString(QWidget *parent, const TOpenFileRequest &request)> openFileName;
    // Returns the chosen folder's full path, or the empty text when cancelled.
    std::function<QString(QWidget *parent, const QString &title, const QString &initialFolder)>
        browseFolder;
    // A modal message box with one button.
    std::function<void(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
        const QString &text, QMessageBox::StandardButton button)>
        messageBox;
    // Starts the tool as its own visible process and never waits for it;
    // false when the system refused, with its reason in reason.
    std::function<bool(const TToolCommand &command, QString &reason)> runCommand;
};

// The services in force. Tests assign members; ResetUiServices() restores the defaults.
TUiServices &UiServices();
void ResetUiServices();
