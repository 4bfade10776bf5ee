#include "app_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

#include "share/discovery.h"
#include "support/alert_support.h"
#include "ui/widgets/alert/help_popover.h"
#include "ui/widgets/flat_button/sy_flat_button.h"

namespace apptest {

AlertReader::AlertReader() {
  timer_.setInterval(2);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    const std::vector<QWidget*> alerts = kvtest::visibleAlerts();
    if (alerts.empty()) return;
    QWidget* window = alerts.front();
    ShownAlert a;
    for (QLabel* label : window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
      if (label->maximumSize() == QSize(24, 24)) continue;  // the application icon
      (label->font().bold() ? a.title : a.information) = label->text();
    }
    if (kvtest::clickButton(window, QStringLiteral("?"))) {
      if (auto* popover = window->findChild<HelpPopover*>(); popover && popover->isShown())
        a.help = popover->textField()->text();
    }
    seen_.push_back(a);
    // A question (the previous session's) is answered with Cancel.
    if (!kvtest::clickButton(window, QStringLiteral("OK")) && !kvtest::clickButton(window, QStringLiteral("Cancel")))
      ADD_FAILURE() << "an alert with neither OK nor Cancel: " << a.information.toStdString();
  });
  timer_.start();
}

AlertReader::~AlertReader() { timer_.stop(); }

std::vector<ShownAlert> AlertReader::messages() const {
  std::vector<ShownAlert> out;
  for (const ShownAlert& a : seen_)
    if (a.title != QLatin1String("Load Session")) out.push_back(a);
  return out;
}

QWidget* visibleWindow(const QString& objectName) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == objectName && w->isVisible()) return w;
  return nullptr;
}

DeviceOverride::DeviceOverride(const std::string& value) { setenv(kDeviceOverrideVariable, value.c_str(), 1); }
DeviceOverride::~DeviceOverride() { unsetenv(kDeviceOverrideVariable); }

namespace {
QString threadName(const QString& tid) {
  QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
  return comm.open(QIODevice::ReadOnly) ? QString::fromUtf8(comm.readAll().trimmed()) : QString();
}
QStringList tasks() {
  return QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}
}  // namespace

int threadCount() {
  int n = 0;
  for (const QString& t : tasks())
    if (threadName(t) != QLatin1String(kQtPoolThreadName)) ++n;
  return n;
}

std::string threadNames() {
  std::string out;
  for (const QString& t : tasks()) out += "[" + threadName(t).toStdString() + "] ";
  return out;
}

}  // namespace apptest
