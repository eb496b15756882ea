// The floor for start-up: a bare main window with a menu and a label, from the
// same Qt libraries and with nothing of the program's own. bench/startup
// compares the program with it.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()
        ->addMenu(QStringLiteral("&File"))
        ->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    window.setCentralWidget(new QLabel(QStringLiteral("A bare window"), &window));
    window.resize(646, 259);
    window.show();
    return application.exec();
}
