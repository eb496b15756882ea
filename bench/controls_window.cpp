// What the main window shows, and nothing else: the same controls in the same
// places, fonts and colours, with none of the program's own code (no settings,
// no actions, no painter, no other windows). bench/startup --controls compares
// the program with it, to tell the cost of what a user sees from the cost of
// the program behind it.
#include "WindowLook.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

namespace {

template<typename T> T *YellowBold(T *widget, const QRect &geometry)
{
    MakeYellowBold(widget);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Controls window"));
    window.setFont(WindowFont());
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->setFont(window.font());
    file->addAction(QStringLiteral("Configuration"));
    file->addAction(QStringLiteral("Show Log"));
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    window.menuBar()->addAction(QStringLiteral("About"));

    auto *client = new QWidget;
    client->setFixedSize(646, 259);
    client->setAutoFillBackground(true);
    QPalette gray = client->palette();
    gray.setColor(QPalette::Window, QColor(128, 128, 128));
    client->setPalette(gray);
    window.setCentralWidget(client);

    auto *bevel = new QFrame(client);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    bevel->setGeometry(8, 8, 626, 186);
    YellowBold(new QLabel(QStringLiteral("Program Hexfile"), client), {22, 28, 90, 13});
    auto *hexes = new QComboBox(client);
    hexes->setGeometry(120, 24, 473, 21);
    (new QPushButton(QStringLiteral("..."), client))->setGeometry(602, 23, 25, 25);
    YellowBold(new QLabel(QStringLiteral("Verbose"), client), {65, 56, 47, 13});
    YellowBold(new QCheckBox(client), {120, 56, 13, 14})->setChecked(true);
    YellowBold(new QLabel(QStringLiteral("Target PIC"), client), {50, 88, 62, 13});
    YellowBold(new QCheckBox(client), {120, 88, 13, 14});
    auto *target = new QLineEdit(QStringLiteral("16F84A"), client);
    target->setGeometry(144, 85, 121, 21);
    target->setEnabled(false);
    YellowBold(new QLabel(QStringLiteral("Pause text"), client), {50, 124, 62, 13});
    (new QLineEdit(client))->setGeometry(120, 120, 233, 21);
    YellowBold(new QLabel(QStringLiteral("Read output dir"), client), {20, 156, 92, 13});
    (new QLineEdit(QStringLiteral("./"), client))->setGeometry(120, 152, 473, 21);
    (new QPushButton(QStringLiteral("..."), client))->setGeometry(602, 151, 25, 25);
    YellowBold(new QPushButton(QStringLiteral("Program PIC (F6)"), client), {176, 214, 121, 33})
        ->setEnabled(false);
    YellowBold(new QPushButton(QStringLiteral("Read PIC (F9)"), client), {336, 214, 121, 33})
        ->setEnabled(false);
    hexes->setFocus();

    window.show();
    return application.exec();
}
