#include "Accessibility.h"

#include "ColorButton.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QAction>

namespace {

const char *const kBoundAction = "dwBoundAction";

// A push button of ours as the toolkit presents its own, except that its key
// is the short cut of the action it runs. The action is looked up when asked
// for: a description may be made before the button is bound.
class TBoundButtonAccessible : public QAccessibleWidget
{
public:
    explicit TBoundButtonAccessible(QPushButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("clicked(bool)"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Button()->text().remove(u'&');
        if (t == QAccessible::Accelerator) {
            if (Key().isEmpty() && Button()->isDefault())
                return QKeySequence(Qt::Key_Enter).toString(QKeySequence::NativeText);
            return Key();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = Button()->isDown();
        state.defaultButton = Button()->isDefault();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList {pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &name) override
    {
        if (name == pressAction()) {
            if (Button()->isEnabled())
                Button()->click();
            return;
        }
        QAccessibleWidget::doAction(name);
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        if (name == pressAction() && !Key().isEmpty())
            return {Key()};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    QPushButton *Button() const { return static_cast<QPushButton *>(widget()); }

    QString Key() const
    {
        const auto *action
            = qobject_cast<QAction *>(Button()->property(kBoundAction).value<QObject *>());
        return (action ? action->shortcut() : Button()->shortcut()).toString();
    }
};

QAccessibleInterface *AccessibleFor(const QString &className, QObject *object)
{
    // A window made straight from QWidget (the log window) is a window, not
    // a pane without a frame.
    if (object->isWidgetType() && className == QLatin1String(object->metaObject()->className())
        && static_cast<QWidget *>(object)->windowType() == Qt::Window
        && object->metaObject()->superClass() == &QWidget::staticMetaObject)
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    if (qobject_cast<TActionButton *>(object) || qobject_cast<TColorButton *>(object))
        return new TBoundButtonAccessible(static_cast<QPushButton *>(object));
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

void SetBoundAction(QAbstractButton *button, QAction *action)
{
    InstallAccessibility();
    button->setProperty(kBoundAction, QVariant::fromValue<QObject *>(action));
}
