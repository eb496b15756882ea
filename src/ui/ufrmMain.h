#pragma once

#include "Platform.h"
#include "UiServices.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QPushButton;
class QTimer;
class TAboutBox;
class TColorButton;
class TDWInterface;
class TFormPainter;
class TLabeledEdit;
class TMRU;
class TfrmPICLog;

// The main window: owns the settings, the recent list and the background
// painter; shows the often-changed settings and runs the programmer actions.
class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    // Runs FormCreate. An empty iniFileName means the program's own INI file.
    explicit TfrmMain(const QString &iniFileName = QString(), QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The log window and the about box live for the whole run; start-up hands
    // them over. The main window's short cuts work in the log window too.
    void SetLogWindow(TfrmPICLog *log);
    void SetAboutBox(TAboutBox *about) { FAboutBox = about; }

    void SetConfig();
    TDWInterface *GetConfig();

    // Explicit teardown: copies the controls back and saves the INI file.
    // Throws TError("Unable to write to <path>") when the save fails.
    void FormDestroy();

    TDWInterface *Settings() const { return FSettings.get(); }
    TMRU *MRU() const { return FMRU.get(); }
    TFormPainter *Painter() const { return FPainter.get(); }

    // Controls, named as in the window's layout (public so tests can reach them).
    QFrame *Bevel1 = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *cbHexes = nullptr;
    QPushButton *Button1 = nullptr;
    QLabel *Label1 = nullptr;
    QCheckBox *cbVerbose = nullptr;
    QLabel *Label2 = nullptr;
    QCheckBox *cbTarget = nullptr;
    QLineEdit *edTarget = nullptr;
    TLabeledEdit *lePauseText = nullptr;
    TLabeledEdit *leOutputDir = nullptr;
    QPushButton *btOutputDir = nullptr;
    TColorButton *btProgram = nullptr;
    TColorButton *btRead = nullptr;

    QAction *acProgramPIC = nullptr;
    QAction *acReadPIC = nullptr;
    QAction *acConfiguration = nullptr;
    QAction *OpenHexfile = nullptr;
    QAction *acShowLog = nullptr;

    QMenu *File1 = nullptr;
    QAction *Configuration2 = nullptr;
    QAction *ShowLog1 = nullptr;
    QAction *N1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *About1 = nullptr;

    QTimer *Timer1 = nullptr;

    // The open-file dialog of OpenHexfileExecute.
    TOpenFileRequest odHexInput;
    // Its filter for the given path conventions (Windows: "All files (*.*)").
    static QString HexInputFilter(platform::PathStyle style);

    // Paints the tiles over the client area; called from its paint event.
    void FormPaint(QPainter &painter);

public slots:
    void OpenHexfileExecute();
    void cbTargetClick();
    void Exit1Click();
    void acProgramPICExecute();
    void acReadPICExecute();
    void acShowLogExecute();
    void acConfigurationExecute();
    void Timer1Timer();
    void btOutputDirClick();
    void About1Click();

public:
    // Key-release handler: sees the keys of every control of the window.
    void FormKeyUp(QKeyEvent *event);

protected:
    // Key preview: the key releases of every control reach FormKeyUp.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    // Local files dropped on the window go to the head of the recent list.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateControls();
    void CreateActions();
    void CreateMenu();
    void FormCreate(const QString &iniFileName);
    void RefreshHexList();
    void RunCommand(const TToolCommand &command);
    void EnableFileDrops();

    std::unique_ptr<TFormPainter> FPainter;
    std::unique_ptr<TDWInterface> FSettings;
    std::unique_ptr<TMRU> FMRU;
    TfrmPICLog *FLog = nullptr;
    TAboutBox *FAboutBox = nullptr;
    // While the configuration dialog is open (the first-start timer leaves it be).
    bool FConfigurationOpen = false;
};
