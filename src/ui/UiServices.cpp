#include "UiServices.h"

#include "Launcher.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

// Opens the dialog in the proposed file's folder, or in the nearest folder
// above it that exists, with the rest of the path in the name box: accepted
// unchanged, the dialog returns exactly the proposed path. (Given a whole path
// whose folder is missing, the dialog would drop its leading separator and
// root the rest in the folder it happens to show.)
void Propose(QFileDialog &dialog, const QString &fileName)
{
    QFileInfo file(fileName);
    if (file.isRelative()) {
        dialog.selectFile(fileName);
        return;
    }
    QString rest = file.fileName();
    QFileInfo folder(file.path());
    while (!folder.isDir() && folder.path() != folder.filePath()) {
        rest = folder.fileName() + u'/' + rest;
        folder.setFile(folder.path());
    }
    dialog.setDirectory(folder.filePath());
    dialog.selectFile(rest);
}

QString realOpenFileName(QWidget *parent, const TOpenFileRequest &request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the chosen file need not exist
    dialog.setOption(QFileDialog::HideNameFilterDetails, request.hidePatterns);
    dialog.setNameFilter(request.filter);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.executablesOnly)
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
    if (!request.folder.isEmpty() && QFileInfo(request.folder).isDir())
        dialog.setDirectory(request.folder);
    if (!request.fileName.isEmpty())
        Propose(dialog, request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

QString realBrowseFolder(QWidget *parent, const QString &title, const QString &initialFolder)
{
    return QDir::toNativeSeparators(
        QFileDialog::getExistingDirectory(parent, title, initialFolder, QFileDialog::ShowDirsOnly));
}

void realMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
    const QString &text, QMessageBox::StandardButton button)
{
    QMessageBox box(icon, caption, text, button, parent);
    box.exec();
}

bool realRunCommand(const TToolCommand &command, QString &reason)
{
    return platform::startDetached(command.Line, command.Arguments, reason);
}

TUiServices defaults()
{
    return {realOpenFileName, realBrowseFolder, realMessageBox, realRunCommand};
}

} // namespace

TUiServices &UiServices()
{
    static TUiServices services = defaults();
    return services;
}

void ResetUiServices()
{
    UiServices() = defaults();
}
