#include "ufrmPICLog.h"

#include "Accessibility.h"
#include "Application.h"
#include "Error.h"
#include "WindowLook.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>

#include <climits>
#include <new>

namespace {

// The outer size of the window, frame included, as the layout prescribes.
constexpr QSize kOuterSize(700, 209);

} // namespace

TfrmPICLog::TfrmPICLog(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmPICLog"));
    InstallAccessibility(); // a screen reader sees a window
    setWindowTitle(QStringLiteral("Programming Log"));
    setFont(WindowFont());
    setAutoFillBackground(true);
    // Until a window manager tells its frame, the client takes the whole
    // size; once the frame is known (at the first showing), the client shrinks
    // by it. That happens once: a size the user gives the window stays.
    resize(kOuterSize);

    WhenFramed(this, [this](QMargins frame) {
        resize(kOuterSize.shrunkBy(frame));
        if (FLog)
            FLog->ensureCursorVisible(); // the smaller box still shows the newest line
    });
}

QTextEdit *TfrmPICLog::reLog()
{
    if (FLog)
        return FLog;
    FLog = new QTextEdit(this);
    FLog->setObjectName(QStringLiteral("reLog"));
    FLog->setAccessibleName(QStringLiteral("Command lines"));
    FLog->setLineWrapMode(QTextEdit::NoWrap);
    FLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FLog->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FLog->setReadOnly(false);
    // Every entry is a command line, read left to right. Saying so up front
    // spares the layout from working out each line's direction from its text,
    // which costs a lookup in the document that grows with the log's length,
    // repeated many times for each appended line.
    QTextOption textOption = FLog->document()->defaultTextOption();
    textOption.setTextDirection(Qt::LeftToRight);
    FLog->document()->setDefaultTextOption(textOption);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FLog);
    return FLog;
}

void TfrmPICLog::setVisible(bool visible)
{
    if (visible)
        reLog();
    QWidget::setVisible(visible);
}

void TfrmPICLog::AddProgramEntry(const QString &line)
{
    AddEntry(line, ProgramColor());
}

void TfrmPICLog::AddReadEntry(const QString &line)
{
    AddEntry(line, ReadColor());
}

// Appends through a cursor of its own at the document's end: the cost does not
// depend on how long the log already is, and text the user typed never changes
// where entries go. The caret then moves to the end, and the box scrolls the
// newest line into view as it does whenever its caret moves.
// There is no limit of our own: the log grows as long as memory lasts. (A
// QTextEdit, not a QPlainTextEdit: the plain-text layout does work in
// proportion to the document on every new line.)
void TfrmPICLog::AddEntry(const QString &line, const QColor &color)
{
    static const QString kInsertionError = QStringLiteral("RichEdit line insertion error");
    QTextDocument *document = reLog()->document();
    // Document positions are ints: a line that would overflow them cannot go in.
    if (qint64(document->characterCount()) + line.size() + 1 >= qint64(INT_MAX))
        throw TError(kInsertionError);
    QTextCursor cursor(document);
    // One edit for the new line and its text: the document lays the entry out
    // once instead of twice, and an undo takes the whole entry back.
    cursor.beginEditBlock();
    try {
        cursor.movePosition(QTextCursor::End);
        QTextCharFormat format;
        format.setForeground(color);
        // Each entry is a line of its own; an empty last line (a fresh log, or
        // one the user ended with Enter) takes the entry itself.
        if (!cursor.block().text().isEmpty())
            cursor.insertBlock(cursor.blockFormat(), format);
        cursor.insertText(line, format);
    } catch (const std::bad_alloc &) {
        cursor.endEditBlock();
        throw TError(kInsertionError);
    }
    cursor.endEditBlock();
    reLog()->setTextCursor(cursor);
}
