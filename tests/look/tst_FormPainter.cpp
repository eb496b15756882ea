#include "Error.h"
#include "FormPainter.h"
#include "LookTestSupport.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

using namespace LookTest;

namespace {

// A window that paints itself with a painter, like the program's windows.
class TTiledForm : public QWidget
{
public:
    TTiledForm(const TFormPainter &painter, QSize client)
        : FPainter(painter)
    {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(128, 128, 128));
        setPalette(pal);
        resize(client);
    }

protected:
    void paintEvent(QPaintEvent *) override { FPainter.PaintForm(this); }

private:
    const TFormPainter &FPainter;
};

// 60 x 60 tile, green with one red pixel in its top-left corner: each red
// pixel in a picture is one tile drawn.
QImage MarkerTile()
{
    QImage tile(60, 60, QImage::Format_RGB32);
    tile.fill(Qt::green);
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    return tile;
}

double Luminance(QColor c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

quint32 Le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 Le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

} // namespace

class TestFormPainter : public QObject
{
    Q_OBJECT

private slots:
    void tileCount_data();
    void tileCount();
    void windowIsCoveredByTheTile_data();
    void windowIsCoveredByTheTile();
    void emptyBitmapDrawsNothing();
    void missingResourceFails();
    void backgroundTileResource();
    void tileKeepsYellowTextReadable();
    void aboutPictureAndIcon();
    void committedFilesMatchTheScript();
};

void TestFormPainter::tileCount_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addRow("main window") << QSize(646, 259) << 11 << 5;
    QTest::addRow("configuration dialog") << QSize(616, 210) << 11 << 4;
    QTest::addRow("about box") << QSize(298, 213) << 5 << 4;
    QTest::addRow("width 600, height 120") << QSize(600, 120) << 11 << 3;
    QTest::addRow("width 599, height 119") << QSize(599, 119) << 10 << 2;
    QTest::addRow("smaller than a tile") << QSize(40, 30) << 1 << 1;
    QTest::addRow("empty client") << QSize(0, 0) << 1 << 1;
}

void TestFormPainter::tileCount()
{
    QFETCH(QSize, client);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const TFormPainter painter(MarkerTile());

    // Unclipped, into a picture with room for a whole tile past each edge, so
    // tiles that start on the edge are seen too.
    QImage image(client + QSize(120, 120), QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter p(&image);
        painter.PaintForm(p, client);
    }
    QList<int> xs, ys;
    int markers = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(255, 0, 0)) {
                ++markers;
                if (!xs.contains(x))
                    xs.append(x);
                if (!ys.contains(y))
                    ys.append(y);
            }
    QCOMPARE(markers, columns * rows);
    QCOMPARE(xs.size(), columns);
    QCOMPARE(ys.size(), rows);
    QCOMPARE(xs.last(), (columns - 1) * 60);
    QCOMPARE(ys.last(), (rows - 1) * 60);
    // Nothing but whole tiles: the pixel right of the last column is unpainted.
    QCOMPARE(image.pixel(columns * 60, 0), qRgb(0, 0, 0));

    const QList<QPoint> positions = TFormPainter::TilePositions(client, QSize(60, 60));
    QCOMPARE(positions.size(), columns * rows);
    QCOMPARE(positions.first(), QPoint(0, 0));
    QCOMPARE(positions.last(), QPoint((columns - 1) * 60, (rows - 1) * 60));
}

void TestFormPainter::windowIsCoveredByTheTile_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addRow("main window") << QSize(646, 259);
    QTest::addRow("configuration dialog") << QSize(616, 210);
    QTest::addRow("about box") << QSize(298, 213);
    QTest::addRow("exact multiple 600 x 120") << QSize(600, 120);
    QTest::addRow("smaller than a tile") << QSize(40, 30);
}

void TestFormPainter::windowIsCoveredByTheTile()
{
    QFETCH(QSize, client);
    const TFormPainter painter(QStringLiteral("PB_BACK"));
    const QImage tile = painter.Bitmap().convertToFormat(QImage::Format_RGB32);
    TTiledForm form(painter, client);
    const QImage image = Grab(form);
    QCOMPARE(image.size(), client);
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            wrong += image.pixel(x, y) != tile.pixel(x % 60, y % 60);
    QCOMPARE(wrong, 0);
}

void TestFormPainter::emptyBitmapDrawsNothing()
{
    const TFormPainter painter;
    QVERIFY(painter.Bitmap().isNull());
    QVERIFY(TFormPainter::TilePositions(QSize(646, 259), QSize(0, 0)).isEmpty());
    QVERIFY(TFormPainter::TilePositions(QSize(646, 259), QSize(60, 0)).isEmpty());

    QImage image(100, 80, QImage::Format_RGB32);
    image.fill(Qt::blue);
    {
        QPainter p(&image);
        painter.PaintForm(p, image.size());
    }
    QCOMPARE(Count(image, Qt::blue), 100 * 80);

    TTiledForm form(painter, QSize(100, 80));
    QCOMPARE(Count(Grab(form), QColor(128, 128, 128)), 100 * 80);
}

void TestFormPainter::missingResourceFails()
{
    try {
        TFormPainter painter(QStringLiteral("NO_SUCH_TILE"));
        QFAIL("no error for a missing resource");
    } catch (const TError &error) {
        QCOMPARE(error.Message(), QStringLiteral("Resource NO_SUCH_TILE not found"));
    }
}

void TestFormPainter::backgroundTileResource()
{
    QFile file(QStringLiteral(":/PB_BACK"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bmp = file.readAll();
    QCOMPARE(bmp.size(), 2038);
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(Le32(bmp, 2), quint32(2038));
    // Bitmap part after the 14-byte file header: info header, palette, pixels.
    QCOMPARE(bmp.size() - 14, 2024);
    QCOMPARE(Le32(bmp, 14), quint32(40));
    QCOMPARE(qint32(Le32(bmp, 18)), 60);
    QCOMPARE(qint32(Le32(bmp, 22)), 60);
    QCOMPARE(Le16(bmp, 28), quint16(4)); // bits per pixel
    QCOMPARE(Le32(bmp, 30), quint32(0)); // uncompressed
    QCOMPARE(Le32(bmp, 10), quint32(14 + 40 + 16 * 4));

    const TFormPainter painter(QStringLiteral("PB_BACK"));
    QCOMPARE(painter.Bitmap().size(), QSize(60, 60));
    QCOMPARE(painter.Bitmap().colorCount(), 16);
}

void TestFormPainter::tileKeepsYellowTextReadable()
{
    // Yellow labels sit directly on the tiles: every tile colour must leave
    // them a contrast ratio of at least 4.5, the usual floor for small text,
    // and the texture must stay subtle (close shades only).
    const QImage tile = TFormPainter(QStringLiteral("PB_BACK")).Bitmap();
    const double yellow = Luminance(QColor(255, 255, 0));
    double darkest = 1, lightest = 0;
    for (QRgb rgb : tile.colorTable()) {
        const double l = Luminance(QColor(rgb));
        darkest = qMin(darkest, l);
        lightest = qMax(lightest, l);
        QVERIFY2((yellow + 0.05) / (l + 0.05) >= 4.5, qPrintable(QColor(rgb).name()));
    }
    QVERIFY((lightest + 0.05) / (darkest + 0.05) < 2.0);
}

void TestFormPainter::aboutPictureAndIcon()
{
    QFile file(QStringLiteral(":/ABOUT_PICTURE"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bmp = file.readAll();
    QCOMPARE(Le16(bmp, 28), quint16(24));
    QCOMPARE(QImage(QStringLiteral(":/ABOUT_PICTURE")).size(), QSize(118, 118));
    QCOMPARE(QImage(QStringLiteral(":/MAINICON")).size(), QSize(64, 64));
}

void TestFormPainter::committedFilesMatchTheScript()
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    QTemporaryDir out;
    QVERIFY(out.isValid());
    QProcess script;
    script.start(python,
        {QStringLiteral(DW_SOURCE_DIR "/tools/make_resources.py"), QStringLiteral("--out"),
            out.path()});
    QVERIFY(script.waitForFinished(60000));
    QCOMPARE(script.exitCode(), 0);

    const QList<std::pair<QString, QString>> files = {
        {QStringLiteral("PB_BACK.bmp"), QStringLiteral(":/PB_BACK")},
        {QStringLiteral("AboutPicture.bmp"), QStringLiteral(":/ABOUT_PICTURE")},
        {QStringLiteral("MainIcon.png"), QStringLiteral(":/MAINICON")},
    };
    for (const auto &[name, resource] : files) {
        QFile generated(QDir(out.path()).filePath(name));
        QFile committed(resource);
        QVERIFY(generated.open(QIODevice::ReadOnly));
        QVERIFY(committed.open(QIODevice::ReadOnly));
        QVERIFY2(generated.readAll() == committed.readAll(),
            qPrintable(name + QStringLiteral(" differs from what the script makes")));
    }
    const QDir icons(out.filePath(QStringLiteral("icons")));
    QVERIFY(!icons.isEmpty(QDir::Files));
    for (const QString &name : icons.entryList(QDir::Files)) {
        QFile committed(QStringLiteral(DW_SOURCE_DIR "/resources/icons/") + name);
        QVERIFY2(committed.open(QIODevice::ReadOnly), qPrintable(name));
        QVERIFY2(committed.readAll() == readAll(icons.filePath(name)), qPrintable(name));
    }
}

QTEST_MAIN(TestFormPainter)
#include "tst_FormPainter.moc"
