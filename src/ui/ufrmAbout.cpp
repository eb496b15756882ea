#include "ufrmAbout.h"

#include "Application.h"
#include "Colors.h"
#include "FormPainter.h"
#include "TextScrambler.h"
#include "WindowLook.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <qdrawutil.h>

namespace {

// The about picture, compiled in from resources/.
const QString aboutPictureResource = QStringLiteral(":/ABOUT_PICTURE");

// The credits line of the Ctrl+Alt+F11 label, kept scrambled so that it does
// not stand in the executable as plain text.
constexpr unsigned char storedHiddenText[39] = {
    0x9B,
    0xD8,
    0xA9,
    0xA9,
    0x88,
    0xE9,
    0xD8,
    0xA9,
    0x5C,
    0xFD,
    0xC9,
    0x09,
    0xF8,
    0x68,
    0xFD,
    0x69,
    0xB8,
    0x3D,
    0xFD,
    0xC8,
    0x79,
    0xE9,
    0xD8,
    0xA9,
    0xFD,
    0x69,
    0xB8,
    0x3D,
    0xFD,
    0xA9,
    0x19,
    0x59,
    0x09,
    0x68,
    0xFD,
    0x69,
    0xB8,
    0xED,
    0xED,
};

// A panel with a lowered outer and a raised inner one-pixel bevel.
class TBevelPanel : public QFrame
{
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect outer = rect();
        qDrawShadePanel(&painter, outer, palette(), true, 1);
        qDrawShadePanel(&painter, outer.adjusted(1, 1, -1, -1), palette(), false, 1);
    }
};

QLabel *boldLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    SetupFixedDialog(this, QStringLiteral("About"), QSize(298, 213), clBtnFace);

    Panel1 = new TBevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    // Light and dark bevel shades are derived from the panel's own sky blue.
    Panel1->setPalette(QPalette(ToQColor(clSkyBlue, palette())));
    Panel1->setAutoFillBackground(true);
    Panel1->setGeometry(8, 8, 281, 161);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setGeometry(8, 8, 65, 57);

    ProductName = boldLabel(
        QStringLiteral("ProductName"), QStringLiteral("Dranel-Wisp Command Interface"), Panel1);
    ProductName->setGeometry(88, 16, 179, 13);
    Version = boldLabel(QStringLiteral("Version"), QStringLiteral("Version 1.0"), Panel1);
    Version->setGeometry(88, 40, 65, 13);

    lbHiddenText = boldLabel(QStringLiteral("lbHiddenText"), QStringLiteral("<< >>"), Panel1);
    QPalette navy = lbHiddenText->palette();
    navy.setColor(QPalette::WindowText, ToQColor(clNavy, navy));
    lbHiddenText->setPalette(navy);
    lbHiddenText->move(8, 120);
    lbHiddenText->setVisible(false);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(111, 180, 75, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    OKButton->setFocus(); // the panel takes no focus
}

QByteArray TAboutBox::StoredHiddenText()
{
    return QByteArray(reinterpret_cast<const char *>(storedHiddenText), sizeof storedHiddenText);
}

void TAboutBox::setVisible(bool visible)
{
    // The box is made at start-up but seldom opened: its picture and hidden
    // text wait until it first shows.
    if (visible && !FCreated) {
        FCreated = true;
        FormCreate();
    }
    QDialog::setVisible(visible);
}

void TAboutBox::FormCreate()
{
    // A build without the picture still shows the box, only without it.
    const QPixmap picture(aboutPictureResource);
    if (!picture.isNull())
        ProgramIcon->setPixmap(picture);
    const TTextScrambler scrambler;
    lbHiddenText->setText(QString::fromLatin1(scrambler.Descramble(StoredHiddenText())));
    // Sized to its text, one line high.
    lbHiddenText->resize(lbHiddenText->sizeHint().width(), 13);
}

void TAboutBox::paintEvent(QPaintEvent *)
{
    FormPaint();
}

void TAboutBox::showEvent(QShowEvent *event)
{
    CentreOnScreen(this);
    QDialog::showEvent(event);
}

void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel))
        return;
    QDialog::keyPressEvent(event);
}

void TAboutBox::FormPaint()
{
    if (!FPainter)
        return;
    QPainter painter(this);
    FPainter->PaintForm(painter, size());
}
