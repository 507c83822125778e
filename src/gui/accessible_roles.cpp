#include "gui/accessible_roles.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace accessible_roles {

namespace {

const char* const kRoleProperty = "orvexAccessibleRole";

class RoleAccessible : public QAccessibleWidget {
  public:
    RoleAccessible(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (canActivate()) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && canActivate()) {
            QMetaObject::invokeMethod(widget(), "activate", Qt::QueuedConnection);
            return;
        }
        QAccessibleWidget::doAction(action);
    }

  private:
    bool canActivate() const {
        return widget()->isEnabled() && widget()->metaObject()->indexOfMethod("activate()") >= 0;
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QVariant role = widget->property(kRoleProperty);
    return role.isValid() ? new RoleAccessible(widget, QAccessible::Role(role.toInt())) : nullptr;
}

}  // namespace

void setRole(QWidget* widget, QAccessible::Role role) {
    widget->setProperty(kRoleProperty, int(role));
}

void install() {
    static const bool installed = [] {
        QAccessible::installFactory(&factory);
        return true;
    }();
    (void)installed;
}

}  // namespace accessible_roles
