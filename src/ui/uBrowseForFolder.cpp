#include "uBrowseForFolder.h"

#include "UiServices.h"

#include <QApplication>

QString BrowseForFolder(const QString &title, const QString &initialFolder, QWidget *owner)
{
    // Without an owner the chooser belongs to the application's active window.
    QWidget *parent = owner ? owner : QApplication::activeWindow();
    return UiServices().browseFolder(parent, title, initialFolder);
}
