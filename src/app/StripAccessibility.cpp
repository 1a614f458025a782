#include "app/StripAccessibility.h"

#include "app/MainWindow.h"

#include <QAccessibleWidget>
#include <QComboBox>

namespace ambrin {

namespace {

class ProjectBoxAccessible : public QAccessibleWidget {
public:
    explicit ProjectBoxAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) return static_cast<QComboBox*>(widget())->currentText();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* StripInterfaces(const QString& className, QObject* object)
{
    if (className == QLatin1String(MainWindow::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    if (className == QLatin1String("QComboBox") && object->objectName() == QLatin1String("projectCombo")) {
        return new ProjectBoxAccessible(static_cast<QComboBox*>(object));
    }
    return nullptr;
}

}  // namespace

void InstallStripAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(StripInterfaces);
        return true;
    }();
    (void)installed;
}

}  // namespace ambrin
