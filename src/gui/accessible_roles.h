#pragma once

#include <QAccessible>

class QWidget;

// Assistive tools see our custom widgets (skin objects, picker pictures) as what they are:
// a widget given a role here is reported with that role, its accessible name and description,
// and, when it has an invokable activate(), a press action that runs it.
namespace accessible_roles {

void setRole(QWidget* widget, QAccessible::Role role);

// Installs the factory that reports those roles; once per process.
void install();

}  // namespace accessible_roles
