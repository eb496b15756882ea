#include "uConfigDialog.h"

#include "ColorButton.h"
#include "DWInterface.h"
#include "Error.h"
#include "FormPainter.h"
#include "LabeledEdit.h"
#include "Platform.h"
#include "TextUtils.h"
#include "WindowLook.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QValidator>

// Limits what the user can type without cutting a longer text set by the
// program: a port of two digits from the INI file must show in full and
// survive OK, while typing stops at the limit (deleting still works). The
// program's text stays acceptable until the user's first edit.
class TTypingLimit : public QValidator
{
public:
    TTypingLimit(int limit, QLineEdit *edit)
        : QValidator(edit)
        , FEdit(edit)
        , FLimit(limit)
    {
        edit->setValidator(this);
        connect(edit, &QLineEdit::textEdited, this, [this] { FProgramText.clear(); });
    }

    // Puts a text of any length into the edit box.
    void SetText(const QString &text)
    {
        FProgramText = text;
        FEdit->setText(text);
    }

    State validate(QString &input, int &) const override
    {
        return input.size() <= FLimit || input == FProgramText ? Acceptable : Invalid;
    }

private:
    QLineEdit *FEdit;
    int FLimit;
    QString FProgramText;
};

namespace {

void setupColorButton(TColorButton *button, const QString &caption, TColor face, const QRect &rect)
{
    button->setText(caption);
    MakeYellowBold(button);
    button->SetBackColor(face);
    button->SetForeColor(clYellow);
    button->SetHoverColor(face);
    button->setGeometry(rect);
}

qint32 toInt32(const QString &text, const QString &what)
{
    qint32 value = 0;
    if (!TryStrToInt32(text, value))
        throw TError(QStringLiteral("The %1 \"%2\" is not a whole number").arg(what, text));
    return value;
}

} // namespace

TfrmConfigDialog::TfrmConfigDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConfigDialog"));
    SetupFixedDialog(
        this, QStringLiteral("Programming software and settings"), QSize(616, 210), clBtnShadow);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 600, 148);
    // The bevel is a frame only: it must not catch clicks meant for the controls.
    Bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);

    leDWProgram = new TLabeledEdit(this, QStringLiteral("Dranel-Wisp program "));
    leDWProgram->setObjectName(QStringLiteral("leDWProgram"));
    leDWProgram->setReadOnly(true);
    MakeYellowBold(leDWProgram->EditLabel());
    leDWProgram->SetBounds(144, 24, 425, 21);

    sbDranelWisp = new QToolButton(this);
    sbDranelWisp->setObjectName(QStringLiteral("sbDranelWisp"));
    sbDranelWisp->setText(QStringLiteral("..."));
    sbDranelWisp->setFocusPolicy(Qt::NoFocus); // a speed button never takes the focus
    sbDranelWisp->setGeometry(576, 24, 23, 22);
    sbDranelWisp->setAccessibleName(QStringLiteral("Locate the xwisp2w executable"));
    // Without a mouse: the button takes no focus, but Ctrl+O presses it, as
    // Ctrl+O chooses the hex file in the main window.
    sbDranelWisp->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(sbDranelWisp, &QToolButton::clicked, this, &TfrmConfigDialog::sbDranelWispClick);

    lePort = new TLabeledEdit(this, QStringLiteral("Port"));
    lePort->setObjectName(QStringLiteral("lePort"));
    FPortLimit = new TTypingLimit(1, lePort);
    MakeYellowBold(lePort->EditLabel());
    lePort->SetBounds(144, 56, 57, 21);

    leBaud = new TLabeledEdit(this, QStringLiteral("Baud"));
    leBaud->setObjectName(QStringLiteral("leBaud"));
    FBaudLimit = new TTypingLimit(6, leBaud);
    MakeYellowBold(leBaud->EditLabel());
    leBaud->SetBounds(144, 88, 57, 21);

    Label1 = new QLabel(QStringLiteral("RTS On"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MakeYellowBold(Label1);
    Label1->setGeometry(93, 120, 46, 13);

    cbRTSOn = new QCheckBox(this);
    cbRTSOn->setObjectName(QStringLiteral("cbRTSOn"));
    MakeYellowBold(cbRTSOn);
    cbRTSOn->setChecked(true);
    cbRTSOn->setGeometry(144, 120, 12, 13);
    cbRTSOn->setAccessibleName(Label1->text()); // it has no caption of its own
    Label1->setBuddy(cbRTSOn);

    btRead = new TColorButton(this);
    btRead->setObjectName(QStringLiteral("btRead"));
    setupColorButton(btRead, QStringLiteral("OK"), clTeal, QRect(163, 166, 102, 33));
    btRead->setDefault(true);
    connect(btRead, &QPushButton::clicked, this, &QDialog::accept);

    btProgram = new TColorButton(this);
    btProgram->setObjectName(QStringLiteral("btProgram"));
    setupColorButton(btProgram, QStringLiteral("Cancel"), clRed, QRect(331, 166, 121, 33));
    connect(btProgram, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(btRead, btProgram);
    setTabOrder(btProgram, leDWProgram);
    setTabOrder(leDWProgram, lePort);
    setTabOrder(lePort, leBaud);
    setTabOrder(leBaud, cbRTSOn);
    btRead->setFocus(); // the first control in tab order has the focus when shown

    // The dialog previews the keys of all its controls, so Escape cancels
    // whichever of them has the focus.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    const platform::Conventions &conventions = platform::conventions();
    odDranel.title = QStringLiteral("Locate the xwisp2w executablle");
    odDranel.fileName = conventions.toolFileName;
    odDranel.filter = conventions.toolDialogFilter;
    odDranel.defaultSuffix = conventions.toolDefaultSuffix;
    // Tools on POSIX systems carry no extension; the executable bit marks them.
    odDranel.executablesOnly = conventions.style == platform::PathStyle::Posix;
    odDranel.hidePatterns = conventions.style == platform::PathStyle::Windows;
}

void TfrmConfigDialog::LoadFrom(const TDWInterface &settings)
{
    leDWProgram->setText(settings.WispProgram());
    FPortLimit->SetText(QString::number(settings.Port()));
    FBaudLimit->SetText(QString::number(settings.Baud()));
    cbRTSOn->setChecked(settings.RtsOn());
}

void TfrmConfigDialog::SaveTo(TDWInterface &settings) const
{
    // Step by step: a bad number ends the save at its step, and what was
    // stored before it stays stored (the path after a bad port; the path and
    // the port after a bad baud rate).
    settings.SetWispProgram(leDWProgram->text());
    settings.SetPort(toInt32(lePort->text(), QStringLiteral("port")));
    settings.SetBaud(toInt32(leBaud->text(), QStringLiteral("baud rate")));
    settings.SetRtsOn(cbRTSOn->isChecked());
}

void TfrmConfigDialog::sbDranelWispClick()
{
    if (!leDWProgram->text().isEmpty())
        odDranel.fileName = leDWProgram->text();
    const QString chosen = UiServices().openFileName(this, odDranel);
    if (chosen.isEmpty())
        return;
    odDranel.fileName = chosen;
    leDWProgram->setText(chosen);
}

void TfrmConfigDialog::paintEvent(QPaintEvent *)
{
    FormPaint();
}

void TfrmConfigDialog::FormPaint()
{
    if (!FPainter)
        return;
    QPainter painter(this);
    FPainter->PaintForm(painter, size());
}

bool TfrmConfigDialog::FormKeyPress(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    done(QDialog::Rejected);
    return true;
}

void TfrmConfigDialog::keyPressEvent(QKeyEvent *event)
{
    if (!FormKeyPress(event))
        QDialog::keyPressEvent(event);
}

bool TfrmConfigDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && FormKeyPress(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}
