// Built without the bitmap resources: the main window's creation fails at its
// first step, the standard error box says why, and the half-made window stays
// harmless (no settings to act on, nothing written at exit).
#include "Application.h"
#include "RecordingUiServices.h"
#include "ufrmMain.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestStartFailure : public QObject
{
    Q_OBJECT

private slots:
    void missingTileIsReportedAndHarmless();
};

void TestStartFailure::missingTileIsReportedAndHarmless()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("dranelwisp.ini"));
    RecordingUiServices services;
    TfrmMain window(ini);

    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.messages.first().text, QStringLiteral("Resource PB_BACK not found."));
    QCOMPARE(services.messages.first().caption, ApplicationTitle());
    QCOMPARE(services.messages.first().icon, QMessageBox::Critical);
    QVERIFY(!window.Settings());
    QVERIFY(!window.centralWidget()->isEnabled());
    for (QAction *action :
        {window.acProgramPIC, window.acReadPIC, window.acConfiguration, window.OpenHexfile})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
    QVERIFY(window.Exit1->isEnabled());
    QVERIFY(!window.Timer1->isActive());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.FormDestroy(); // nothing loaded, nothing to save
    QVERIFY(!QFile::exists(ini));
}

QTEST_MAIN(TestStartFailure)
#include "tst_startfailure.moc"
