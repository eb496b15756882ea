#include "Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QAction>
#include <QPointer>

namespace {

const char *const kBoundAction = "dwBoundAction";

// A push button as the toolkit presents it, except that its key is the
// short cut of the action it runs.
class TBoundButtonAccessible : public QAccessibleWidget
{
public:
    TBoundButtonAccessible(QAbstractButton *button, QAction *action)
        : QAccessibleWidget(button, QAccessible::Button)
        , FAction(action)
    {
        addControllingSignal(QStringLiteral("clicked(bool)"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Button()->text().remove(u'&');
        if (t == QAccessible::Accelerator)
            return Key();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = Button()->isDown();
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
    QAbstractButton *Button() const { return static_cast<QAbstractButton *>(widget()); }
    QString Key() const { return FAction ? FAction->shortcut().toString() : QString(); }

    QPointer<QAction> FAction;
};

QAccessibleInterface *AccessibleFor(const QString &className, QObject *object)
{
    Q_UNUSED(className);
    auto *button = qobject_cast<QAbstractButton *>(object);
    if (!button)
        return nullptr;
    auto *action = qobject_cast<QAction *>(button->property(kBoundAction).value<QObject *>());
    return action ? new TBoundButtonAccessible(button, action) : nullptr;
}

} // namespace

void SetBoundAction(QAbstractButton *button, QAction *action)
{
    static const bool installed = [] {
        QAccessible::installFactory(AccessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
    button->setProperty(kBoundAction, QVariant::fromValue<QObject *>(action));
}
