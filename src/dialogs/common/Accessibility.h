#pragma once

#include <QWidget>

namespace ambrin {

// What screen readers say of a control: its name, and a line on what it does.
inline void Describe(QWidget* control, const QString& name, const QString& description)
{
    if (!name.isEmpty()) control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

}  // namespace ambrin
