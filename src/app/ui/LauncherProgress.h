#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QString>
#include <optional>

namespace quorvane {

// A run's progress on the desktop's launcher (dock or task bar entry),
// through the launcher-entry D-Bus signal that docks and KDE Plasma read.
// Updates are sent at most a few times a second; the first one of a run and
// the clearing at its end always go. Without a session bus nothing happens.
class LauncherProgress {
 public:
  // The application's desktop file, as launchers name the entry: the
  // product's own (base/ProductIdentity.h).
  static QString AppUri();
  static constexpr qint64 kMinIntervalMs = 250;

  // The session bus, looked up at the first update: a window that never
  // runs anything never touches D-Bus.
  LauncherProgress() = default;
  explicit LauncherProgress(QDBusConnection bus);
  ~LauncherProgress();
  LauncherProgress(const LauncherProgress&) = delete;
  LauncherProgress& operator=(const LauncherProgress&) = delete;

  // Progress from 0 to 1.
  void Show(double progress);
  // Takes the progress off the launcher, when one was shown.
  void Clear();

 private:
  void Send(double progress, bool visible);

  std::optional<QDBusConnection> bus_;
  QElapsedTimer sinceLast_;
  bool shown_ = false;
};

}  // namespace quorvane
