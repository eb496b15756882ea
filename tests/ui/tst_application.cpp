// The standard error box: its text and caption rules, and that an error
// escaping an event handler is shown there while the program goes on.
#include "Application.h"
#include "Error.h"
#include "RecordingUiServices.h"

#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace {

// Throws from inside an event handler, as a failing window handler would.
class TThrower : public QObject
{
public:
    int handled = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User) {
            ++handled;
            throw TError(QStringLiteral("Unable to write to /ro/dranelwisp.ini"));
        }
        if (event->type() == QEvent::User + 1)
            throw std::runtime_error("plain failure");
        return QObject::event(event);
    }
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void errorBoxText_data();
    void errorBoxText();
    void applicationTitle_data();
    void applicationTitle();
    void errorInHandlerShowsErrorBox();
};

void TestApplication::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addRow("letter gets a stop") << "Unable to write to C:\\x.ini"
                                        << "Unable to write to C:\\x.ini.";
    QTest::addRow("slash sorts after the stop") << "/tmp/"
                                                << "/tmp/.";
    QTest::addRow("digit") << "Error 5"
                           << "Error 5.";
    QTest::addRow("stop stays single") << "Done."
                                       << "Done.";
    QTest::addRow("exclamation sorts before") << "Stop!"
                                              << "Stop!";
    QTest::addRow("hyphen sorts before") << "a-"
                                         << "a-";
    QTest::addRow("closing bracket sorts before") << "(x)"
                                                  << "(x)";
    QTest::addRow("empty") << ""
                           << "";
    QTest::addRow("non-ASCII letter") << QStringLiteral("Fehler ä") << QStringLiteral("Fehler ä.");
}

void TestApplication::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ErrorBoxText(message), shown);
}

void TestApplication::applicationTitle_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    QTest::addRow("plain") << "dranelwisp"
                           << "dranelwisp";
    QTest::addRow("windows name") << "DranelWisp.EXE"
                                  << "Dranelwisp";
    QTest::addRow("cut at first stop") << "My.Tool.exe"
                                       << "My";
    QTest::addRow("first letter kept, the rest lowered") << "aBC"
                                                         << "abc";
    QTest::addRow("leading stop") << ".hidden"
                                  << "";
}

void TestApplication::applicationTitle()
{
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QCOMPARE(ApplicationTitle(fileName), title);
}

void TestApplication::errorInHandlerShowsErrorBox()
{
    RecordingUiServices services;
    TThrower thrower;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::Type(QEvent::User + 1)));
    QCoreApplication::sendPostedEvents(&thrower);
    QCOMPARE(thrower.handled, 1);
    QCOMPARE(services.messages.size(), 2);
    const RecordingUiServices::Message &first = services.messages.at(0);
    QCOMPARE(first.text, QStringLiteral("Unable to write to /ro/dranelwisp.ini."));
    QCOMPARE(first.caption, QStringLiteral("tst_application"));
    QCOMPARE(first.icon, QMessageBox::Critical);
    QCOMPARE(first.button, QMessageBox::Ok);
    QCOMPARE(services.messages.at(1).text, QStringLiteral("plain failure."));

    // The loop goes on: a timer event after the failure is still delivered.
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    QTRY_VERIFY(fired);
}

int main(int argc, char *argv[])
{
    TApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
