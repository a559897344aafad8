// The launcher entry's progress over D-Bus, heard on a private session bus
// started by the test.
#include "app/ui/LauncherProgress.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QTest>
#include <QVariantMap>
#include <memory>
#include <string>
#include <vector>

#include "base/ProductIdentity.h"

using namespace quorvane;

namespace {

struct Update {
  QString app;
  double progress;
  bool visible;
};

class Listener : public QObject {
  Q_OBJECT

 public:
  std::vector<Update> heard;

 public slots:
  void OnUpdate(const QString& app, const QVariantMap& properties) {
    heard.push_back({app, properties.value(QStringLiteral("progress")).toDouble(),
                     properties.value(QStringLiteral("progress-visible")).toBool()});
  }
};

class LauncherProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    ASSERT_TRUE(daemon_.waitForStarted(5000)) << "dbus-daemon is needed (scripts/bootstrap)";
    ASSERT_TRUE(daemon_.waitForReadyRead(5000));
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    ASSERT_FALSE(address_.isEmpty());
    listenerBus_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(address_, QStringLiteral("listener")));
    ASSERT_TRUE(listenerBus_->isConnected());
    ASSERT_TRUE(listenerBus_->connect({}, {}, QStringLiteral("com.canonical.Unity.LauncherEntry"),
                                      QStringLiteral("Update"), &listener_,
                                      SLOT(OnUpdate(QString, QVariantMap))));
  }

  void TearDown() override {
    listenerBus_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("listener"));
    QDBusConnection::disconnectFromBus(QStringLiteral("sender"));
    daemon_.terminate();
    daemon_.waitForFinished(5000);
  }

  QDBusConnection SenderBus() {
    return QDBusConnection::connectToBus(address_, QStringLiteral("sender"));
  }

  // Waits until `count` updates have come (or a while for none more).
  void WaitFor(std::size_t count) {
    (void)QTest::qWaitFor([&] { return listener_.heard.size() >= count; }, 5000);
    QTest::qWait(50);  // anything extra would arrive meanwhile
  }

  QProcess daemon_;
  QString address_;
  std::unique_ptr<QDBusConnection> listenerBus_;
  Listener listener_;
};

TEST_F(LauncherProgressTest, SendsProgressAtMostAFewTimesASecondAndClearsAtTheEnd) {
  {
    LauncherProgress launcher(SenderBus());
    launcher.Show(0.1);
    launcher.Show(0.2);  // too soon after the first: dropped
    QTest::qWait(static_cast<int>(LauncherProgress::kMinIntervalMs) + 50);
    launcher.Show(0.3);
    launcher.Clear();
    launcher.Clear();    // nothing shown any more: nothing sent
    launcher.Show(1.5);  // a new run: its first update goes at once, capped at 1
  }                      // closing takes it off the launcher
  WaitFor(5);
  ASSERT_EQ(listener_.heard.size(), 5u);
  const struct {
    double progress;
    bool visible;
  } expected[] = {{0.1, true}, {0.3, true}, {0.0, false}, {1.0, true}, {0.0, false}};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(listener_.heard[i].app,
              QString::fromStdString("application://" + std::string(ProductCommand) + ".desktop"))
        << i;
    EXPECT_DOUBLE_EQ(listener_.heard[i].progress, expected[i].progress) << i;
    EXPECT_EQ(listener_.heard[i].visible, expected[i].visible) << i;
  }
}

TEST_F(LauncherProgressTest, WithoutABusNothingHappens) {
  LauncherProgress launcher(QDBusConnection(QStringLiteral("no such connection")));
  launcher.Show(0.5);
  launcher.Clear();
  QTest::qWait(200);
  EXPECT_TRUE(listener_.heard.empty());
}

}  // namespace

#include "LauncherProgressTest.moc"
