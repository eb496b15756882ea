// Files dropped on the main window: each goes to the head of the recent list
// as if it had been chosen with Ctrl+O, in the order dropped, so the last one
// dropped ends at the head.
#include "ufrmMain.h"

#include "MRU.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace {

// The local files among the dropped URLs, in their order, written as the file
// dialog writes them. Remote URLs and folders are no hex files.
QStringList LocalFiles(const QMimeData *data)
{
    QStringList files;
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (url.isLocalFile() && !QFileInfo(path).isDir())
            files.append(QDir::toNativeSeparators(path));
    }
    return files;
}

// The file stays where it is: never take the move a source may propose.
bool ChooseCopyOrLink(QDropEvent *event)
{
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions() & action) {
            event->setDropAction(action);
            return true;
        }
    }
    return false;
}

} // namespace

void TfrmMain::EnableFileDrops()
{
    setAcceptDrops(true);
    // A file dropped on an edit box would become its text; it is meant for the list.
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->setAcceptDrops(false);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent *event)
{
    // Not accepted: the pointer shows that nothing can be dropped here.
    if (FSettings && FMRU && !LocalFiles(event->mimeData()).isEmpty() && ChooseCopyOrLink(event))
        event->accept();
}

void TfrmMain::dropEvent(QDropEvent *event)
{
    const QStringList files = LocalFiles(event->mimeData());
    if (!FSettings || !FMRU || files.isEmpty() || !ChooseCopyOrLink(event))
        return;
    for (const QString &file : files)
        FMRU->Add(file);
    RefreshHexList();
    cbHexes->setFocus();
    event->accept();
}
