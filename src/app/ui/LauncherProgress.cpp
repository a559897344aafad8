#include "app/ui/LauncherProgress.h"

#include <QDBusMessage>
#include <QVariantMap>
#include <algorithm>

#include "base/ProductIdentity.h"

namespace quorvane {

QString LauncherProgress::AppUri() {
  return QStringLiteral("application://") +
         QString::fromUtf8(ProductCommand.data(), static_cast<qsizetype>(ProductCommand.size())) +
         QStringLiteral(".desktop");
}

LauncherProgress::LauncherProgress(QDBusConnection bus) : bus_(std::move(bus)) {}

LauncherProgress::~LauncherProgress() {
  Clear();
}

void LauncherProgress::Show(double progress) {
  if (shown_ && sinceLast_.isValid() && sinceLast_.elapsed() < kMinIntervalMs) return;
  Send(std::clamp(progress, 0.0, 1.0), true);
  shown_ = true;
}

void LauncherProgress::Clear() {
  if (!shown_) return;
  Send(0.0, false);
  shown_ = false;
}

void LauncherProgress::Send(double progress, bool visible) {
  sinceLast_.start();
  if (!bus_) bus_ = QDBusConnection::sessionBus();
  if (!bus_->isConnected()) return;
  QDBusMessage signal = QDBusMessage::createSignal(
      QStringLiteral("/com/quorvane/quorvane/LauncherEntry"),
      QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"));
  QVariantMap properties;
  properties.insert(QStringLiteral("progress"), progress);
  properties.insert(QStringLiteral("progress-visible"), visible);
  signal << AppUri() << properties;
  bus_->send(signal);
}

}  // namespace quorvane
