#include "Application.h"

#include "Error.h"
#include "UiServices.h"

#include <QFileInfo>
#include <QScreen>
#include <QWidget>

#include <exception>

QString ApplicationTitle(const QString &executableFileName)
{
    QString title = executableFileName;
    const qsizetype dot = title.indexOf(u'.');
    if (dot >= 0)
        title.truncate(dot);
    return title.left(1) + title.mid(1).toLower();
}

QString ApplicationTitle()
{
    return ApplicationTitle(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void ShowErrorBox(const QString &message)
{
    UiServices().messageBox(QApplication::activeWindow(), QMessageBox::Critical, ApplicationTitle(),
        ErrorBoxText(message), QMessageBox::Ok);
}

QString CurrentExceptionText()
{
    try {
        throw;
    } catch (const TError &error) {
        return error.Message();
    } catch (const std::bad_alloc &) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception &error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{ }

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = CurrentExceptionText();
        try {
            ShowErrorBox(text);
        } catch (...) {
            // The box itself failed (out of memory): nothing more can be shown.
        }
        return false;
    }
}

void CentreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2,
        area.y() + (area.height() - size.height()) / 2);
}
