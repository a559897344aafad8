#include "base/ui/AccessibleRole.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QMetaMethod>
#include <QVariant>
#include <QWidget>

namespace quorvane {

namespace {

constexpr const char* kRoleProperty = "quorvaneAccessibleRole";

QMetaMethod ClickedSignal(const QObject* object) {
  const QMetaObject* meta = object->metaObject();
  const int index = meta->indexOfSignal("clicked()");
  return index < 0 ? QMetaMethod() : meta->method(index);
}

class RoleAccessible final : public QAccessibleWidget {
 public:
  explicit RoleAccessible(QWidget* widget) : QAccessibleWidget(widget) {}

  QAccessible::Role role() const override {
    return static_cast<QAccessible::Role>(widget()->property(kRoleProperty).toInt());
  }

  QString text(QAccessible::Text t) const override {
    QString text = QAccessibleWidget::text(t);
    if (text.isEmpty() && t == QAccessible::Name) {
      if (const auto* label = qobject_cast<const QLabel*>(widget())) text = label->text();
    }
    return text;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (ClickedSignal(widget()).isValid()) names.prepend(pressAction());
    return names;
  }

  void doAction(const QString& action) override {
    const QMetaMethod clicked = ClickedSignal(widget());
    if (action == pressAction() && clicked.isValid() && widget()->isEnabled()) {
      clicked.invoke(widget());
      return;
    }
    QAccessibleWidget::doAction(action);
  }
};

QAccessibleInterface* RoleFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr || !widget->property(kRoleProperty).isValid()) return nullptr;
  return new RoleAccessible(widget);
}

}  // namespace

void SetAccessibleRole(QWidget* widget, QAccessible::Role role) {
  static const bool installed = [] {
    QAccessible::installFactory(&RoleFactory);
    return true;
  }();
  (void)installed;
  widget->setProperty(kRoleProperty, static_cast<int>(role));
  // An interface of Qt's own may exist already (setting a name makes one);
  // it goes, so that the next query comes to ours.
  QAccessibleInterface* current = QAccessible::queryAccessibleInterface(widget);
  if (current != nullptr && dynamic_cast<RoleAccessible*>(current) == nullptr)
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(current));
}

}  // namespace quorvane
