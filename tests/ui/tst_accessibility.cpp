// What a screen reader is told: the accessible trees of the main window, the
// log window and the configuration dialog, as the toolkit hands them to the
// desktop's accessibility bus.
#include "RecordingUiServices.h"
#include "TestFiles.h"
#include "uConfigDialog.h"
#include "ufrmMain.h"
#include "ufrmPICLog.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// One object as read: role, name or (how Linux names a list box) the label
// it is labelled by, and the key of its first action or, failing that, its
// accelerator, as the bus reports it.
static void walk(QAccessibleInterface *node, QStringList &seen)
{
    QString name = node->text(QAccessible::Name);
    for (const auto &[label, relation] : node->relations(QAccessible::Label))
        name = label->text(QAccessible::Name);
    QAccessibleActionInterface *actions = node->actionInterface();
    QString key = actions && !actions->actionNames().isEmpty()
        ? actions->keyBindingsForAction(actions->actionNames().first()).value(0)
        : QString();
    seen << QStringLiteral("%1 %2 %3")
                .arg(node->role())
                .arg(name, key.isEmpty() ? node->text(QAccessible::Accelerator) : key);
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), seen);
}

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void everyControlNamed();
};

// Each control the user works is there by its name, with its key, and no name
// carries a menu's short cut column.
void TestAccessibility::everyControlNamed()
{
    QTemporaryDir dir;
    RecordingUiServices services;
    writeAll(dir.filePath(QStringLiteral("dranelwisp.ini")), "[MRU]\nMRU_1=/pic/blink.hex\n");
    TfrmMain main(dir.filePath(QStringLiteral("dranelwisp.ini")));
    main.Timer1->stop();
    TfrmPICLog log;
    main.SetLogWindow(&log);
    TfrmConfigDialog dialog;
    for (QWidget *window : {static_cast<QWidget *>(&main), static_cast<QWidget *>(&log),
             static_cast<QWidget *>(&dialog)})
        window->show();
    main.File1->popup(main.mapToGlobal(QPoint())); // its items are read when it opens
    QStringList seen;
    for (QObject *window : {static_cast<QObject *>(&main), static_cast<QObject *>(&log),
             static_cast<QObject *>(&dialog)})
        walk(QAccessible::queryAccessibleInterface(window), seen);

    using A = QAccessible;
    const QList<std::tuple<A::Role, const char *, const char *>> expected {
        {A::ComboBox, "Program Hexfile", "Down"}, {A::Button, "Choose hex file", "Ctrl+O"},
        {A::CheckBox, "Verbose", ""}, {A::CheckBox, "Target PIC", ""},
        {A::EditableText, "Target PIC type", ""}, {A::Button, "Choose read output folder", ""},
        {A::Button, "Program PIC (F6)", "F6"}, {A::Button, "Read PIC (F9)", "F9"},
        {A::MenuItem, "Configuration", "F2"}, {A::MenuItem, "Show Log", "F4"},
        {A::Window, "Programming Log", ""}, {A::EditableText, "Command lines", ""},
        {A::Button, "Locate the xwisp2w executable", "Ctrl+O"}, {A::CheckBox, "RTS On", ""}};
    for (const auto &[role, name, key] : expected) {
        const QString line = QStringLiteral("%1 %2 %3").arg(role).arg(name, key);
        QVERIFY2(seen.contains(line), qPrintable(line + u'\n' + seen.join(u'\n')));
    }
    for (const QString &line : std::as_const(seen)) {
        QVERIFY2(!line.contains(u'\t'), qPrintable(line));
        for (A::Role role : {A::Button, A::CheckBox, A::ComboBox, A::EditableText})
            QVERIFY2(
                !line.startsWith(QString::number(role) + QStringLiteral("  ")), qPrintable(line));
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
