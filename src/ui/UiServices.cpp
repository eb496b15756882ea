#include "UiServices.h"

#include "Launcher.h"

#include <QFileDialog>

namespace {

QString realOpenFileName(QWidget *parent, const TOpenFileRequest &request)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile); // the chosen file need not exist
    dialog.setNameFilter(request.filter);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.executablesOnly)
        dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
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

TUiServices defaults()
{
    return {realOpenFileName, realBrowseFolder, realMessageBox, platform::startDetached};
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
