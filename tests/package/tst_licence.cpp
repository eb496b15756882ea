// The licence that the package states is the freeware notice that the about
// box shows (Ctrl+Alt+F11), quoted in the copyright file and named in the
// metainfo.
#include "ufrmAbout.h"

#include <QLabel>
#include <QtTest>

class TestLicence : public QObject
{
    Q_OBJECT
private slots:
    void packageStatesTheAboutBoxNotice()
    {
        TAboutBox box;
        box.show(); // the hidden text is filled in then
        const auto *notice = box.findChild<QLabel *>(QStringLiteral("lbHiddenText"));
        QVERIFY(notice && notice->text().startsWith(QStringLiteral("Freeware:")));
        QFile copyright(QStringLiteral(DW_SOURCE_DIR "/packaging/copyright"));
        QVERIFY(copyright.open(QIODevice::ReadOnly));
        QVERIFY2(
            copyright.readAll().contains("License: freeware\n " + notice->text().toUtf8() + '\n'),
            qPrintable(notice->text()));
        QFile metainfo(
            QStringLiteral(DW_SOURCE_DIR "/packaging/org.dranelwisp.dranelwisp.metainfo.xml"));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        QVERIFY(
            metainfo.readAll().contains("<project_license>LicenseRef-freeware</project_license>"));
    }
};

QTEST_MAIN(TestLicence)
#include "tst_licence.moc"
