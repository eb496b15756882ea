#pragma once

#include "UiServices.h"

#include <QString>
#include <QStringList>

// Stands in for the user and the platform while a test runs: answers file
// dialogs from a queue, records message boxes and launched command lines, and
// restores the real services when it goes out of scope.
class RecordingUiServices
{
public:
    struct Message
    {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButton button;
    };

    RecordingUiServices()
    {
        TUiServices &services = UiServices();
        services.openFileName = [this](QWidget *, const TOpenFileRequest &request) {
            fileRequests.append(request);
            return nextFileNames.isEmpty() ? QString() : nextFileNames.takeFirst();
        };
        services.browseFolder = [this](QWidget *, const QString &, const QString &) {
            return nextFolders.isEmpty() ? QString() : nextFolders.takeFirst();
        };
        services.messageBox = [this](QWidget *, QMessageBox::Icon icon, const QString &caption,
                                  const QString &text, QMessageBox::StandardButton button) {
            messages.append({icon, caption, text, button});
        };
        services.runCommand = [this](const TToolCommand &command, QString &reason) {
            launched.append(command.Line);
            launchedArguments.append(command.Arguments);
            if (!launchResult)
                reason = launchReason;
            return launchResult;
        };
    }
    ~RecordingUiServices() { ResetUiServices(); }

    RecordingUiServices(const RecordingUiServices &) = delete;
    RecordingUiServices &operator=(const RecordingUiServices &) = delete;

    QStringList nextFileNames;
    QStringList nextFolders;
    bool launchResult = true;
    QString launchReason;

    QList<TOpenFileRequest> fileRequests;
    QList<Message> messages;
    QStringList launched;
    QList<QStringList> launchedArguments;
};
