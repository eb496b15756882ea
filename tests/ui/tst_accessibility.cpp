// What a screen reader is told about the main window, the log window and the
// configuration dialog: the accessible tree that the toolkit hands to the
// desktop's accessibility bus, walked from each window down.
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

namespace {

// One object as a screen reader reads it: its role, its name, the labels it
// is labelled by (on Linux a list box is named by its label, its own name is
// its current text) and the key of its first action (the bus falls back to
// the accelerator text when the action names none).
struct TSeen
{
    QAccessible::Role role;
    QString name;
    QString key;
    QStringList labels;
};

void walk(QAccessibleInterface *node, QList<TSeen> &seen)
{
    if (!node || !node->isValid())
        return;
    TSeen one {node->role(), node->text(QAccessible::Name), QString(), {}};
    for (const auto &[label, relation] : node->relations(QAccessible::Label))
        one.labels << label->text(QAccessible::Name);
    if (QAccessibleActionInterface *actions = node->actionInterface()) {
        if (!actions->actionNames().isEmpty())
            one.key = actions->keyBindingsForAction(actions->actionNames().first()).value(0);
    }
    if (one.key.isEmpty())
        one.key = node->text(QAccessible::Accelerator);
    seen.append(one);
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), seen);
}

QList<TSeen> tree(QObject *window)
{
    QList<TSeen> seen;
    walk(QAccessible::queryAccessibleInterface(window), seen);
    return seen;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void everyControlNamed_data();
    void everyControlNamed();
};

void TestAccessibility::everyControlNamed_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("key");
    const auto row
        = [](const char *window, QAccessible::Role role, const char *name, const char *key) {
              QTest::addRow("%s: %s", window, name) << window << int(role) << name << key;
          };
    row("main", QAccessible::ComboBox, "Program Hexfile", "Down");
    row("main", QAccessible::Button, "Choose hex file", "Ctrl+O");
    row("main", QAccessible::CheckBox, "Verbose", "");
    row("main", QAccessible::CheckBox, "Target PIC", "");
    row("main", QAccessible::EditableText, "Target PIC type", "");
    row("main", QAccessible::EditableText, "Pause text", "");
    row("main", QAccessible::EditableText, "Read output dir", "");
    row("main", QAccessible::Button, "Choose read output folder", "");
    row("main", QAccessible::Button, "Program PIC (F6)", "F6");
    row("main", QAccessible::Button, "Read PIC (F9)", "F9");
    row("main", QAccessible::MenuItem, "Configuration", "F2");
    row("main", QAccessible::MenuItem, "Show Log", "F4");
    row("log", QAccessible::Window, "Programming Log", "");
    row("log", QAccessible::EditableText, "Command lines", "");
    row("dialog", QAccessible::Button, "Locate the xwisp2w executable", "Ctrl+O");
    row("dialog", QAccessible::CheckBox, "RTS On", "");
}

// Each control is there by its name, with its key; no control a user works
// is nameless, and no name carries a menu's short cut column.
void TestAccessibility::everyControlNamed()
{
    QFETCH(QString, window);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, key);
    QTemporaryDir dir;
    RecordingUiServices services;
    const QString ini = dir.filePath(QStringLiteral("dranelwisp.ini"));
    writeAll(ini, "[MRU]\nMRU_1=/pic/blink.hex\n");
    TfrmMain main(ini);
    main.Timer1->stop();
    TfrmPICLog log;
    main.SetLogWindow(&log);
    TfrmConfigDialog dialog;
    main.show();
    log.show();
    dialog.show();
    main.File1->popup(main.mapToGlobal(QPoint(0, 0))); // its items are read when it opens
    QObject *const root = window == QLatin1String("main") ? static_cast<QObject *>(&main)
        : window == QLatin1String("log")                  ? static_cast<QObject *>(&log)
                                                          : static_cast<QObject *>(&dialog);
    const QList<TSeen> seen = tree(root);

    const auto found = std::find_if(seen.cbegin(), seen.cend(), [&](const TSeen &s) {
        return s.role == role && (s.name == name || s.labels == QStringList {name});
    });
    QVERIFY2(found != seen.cend(), qPrintable(name));
    QCOMPARE(found->key, key);
    for (const TSeen &s : seen) {
        QVERIFY2(!s.name.contains(u'\t'), qPrintable(s.name));
        const bool control = s.role == QAccessible::Button || s.role == QAccessible::CheckBox
            || s.role == QAccessible::ComboBox || s.role == QAccessible::EditableText;
        QVERIFY2(!control || !s.name.trimmed().isEmpty(), qPrintable(window));
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
