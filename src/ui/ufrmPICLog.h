#pragma once

#include <QColor>
#include <QWidget>

class QTextEdit;

// The programming log: a modeless window that records, in colour, every
// command line launched in this run. It is only shown and hidden; closing it
// keeps its contents, and entries are appended while it is hidden too.
class TfrmPICLog : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmPICLog(QWidget *parent = nullptr);

    // Append the line as the new last line of reLog, in red or green. Earlier
    // lines keep their colours. Throws TError("RichEdit line insertion error")
    // when the line cannot be appended.
    void AddProgramEntry(const QString &line);
    void AddReadEntry(const QString &line);

    static QColor ProgramColor() { return QColor(255, 0, 0); }
    static QColor ReadColor() { return QColor(0, 128, 0); }

    // The box of command lines, made when it is first needed: at the first
    // entry or showing. Nothing before then pays for a text document.
    QTextEdit *reLog();

    void setVisible(bool visible) override;

private:
    void AddEntry(const QString &line, const QColor &color);

    QTextEdit *FLog = nullptr;
};
