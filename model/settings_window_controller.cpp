#include "model/settings_window_controller.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/gui_thread.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"
#include "ui/widgets/alert/alert_fonts.h"

namespace {

// Posted by the share layer when the device changed settings behind the window's back.
// The model lies below that layer, so the name is observed here directly.
constexpr const char* kUserDefaultsUpdated = "UserDefaultsUpdated";

// The switches, in the order the window shows them.
struct SettingsToggle {
  const char* key;
  QPointer<QCheckBox> SettingsWindowController::*outlet;
  const char* objectName;
  const char* title;
};

constexpr SettingsToggle kRawToggle{kDefaultsQuickRawMode, &SettingsWindowController::oQuickRawModeCheckBox,
                                    "oQuickRawModeCheckBox", "Show raw photos faster, at JPEG quality"};

constexpr SettingsToggle kLiveViewToggles[] = {
    {kDefaultsRotateLiveView, &SettingsWindowController::oRotateLiveViewCheckBox, "oRotateLiveViewCheckBox",
     "Turn the picture to match the camera's orientation"},
    {kDefaultsElectronicLevel, &SettingsWindowController::oElectronicLevelCheckBox, "oElectronicLevelCheckBox",
     "Show the electronic level (cameras that report it)"},
    {kDefaultsHighlights, &SettingsWindowController::oHighlightsCheckBox, "oHighlightsCheckBox",
     "Mark blown highlights in red"},
    {kDefaultsShadows, &SettingsWindowController::oShadowsCheckBox, "oShadowsCheckBox", "Mark blocked shadows in blue"},
    {kDefaultsFocusPeaking, &SettingsWindowController::oFocusPeakingCheckBox, "oFocusPeakingCheckBox",
     "Focus peaking: outline sharp edges in red"},
};

QLabel* makeHeading(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFont(alertTextFont(Font::boldSystemFontOfSize(13)));
  return label;
}

// A quieter line under a control, in the palette's own dimmed text colour.
QLabel* makeNote(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFont(alertTextFont(Font::systemFontOfSize(11)));
  label->setForegroundRole(QPalette::PlaceholderText);
  label->setWordWrap(true);
  return label;
}

}  // namespace

SettingsWindowController* SettingsWindowController::createAndShowWindow(WhenClosed whenClosed) {
  KV_ASSERT_GUI_THREAD();
  auto* controller = new SettingsWindowController;
  if (whenClosed == WhenClosed::Delete)
    connect(controller, &WindowController::windowWillClose, controller, &QObject::deleteLater);
  controller->showWindow();
  return controller;
}

SettingsWindowController::SettingsWindowController(QObject* parent)
    : WindowController(QStringLiteral("SettingsWindow"), parent) {}

SettingsWindowController::~SettingsWindowController() { NotificationCenter::defaultCenter().removeObserver(this); }

QWidget* SettingsWindowController::buildWindow() {
  auto* w = new QWidget;
  w->setObjectName(QStringLiteral("SettingsWindow"));
  w->setWindowTitle(QStringLiteral("Settings"));
  w->setFont(alertTextFont(Font::systemFontOfSize(13)));

  auto* root = new QVBoxLayout(w);
  root->setSizeConstraint(QLayout::SetFixedSize);
  root->setContentsMargins(20, 18, 20, 20);
  root->setSpacing(6);
  const int sectionGap = 14;

  root->addWidget(makeHeading(QStringLiteral("Save photos to"), w));
  oSaveFolderPathField = new QLineEdit(w);
  oSaveFolderPathField->setObjectName(QStringLiteral("oSaveFolderPathField"));
  oSaveFolderPathField->setReadOnly(true);
  oSaveFolderPathField->setFocusPolicy(Qt::ClickFocus);
  oSaveFolderPathField->setPlaceholderText(QStringLiteral("No folder chosen yet"));
  oSaveFolderPathField->setMinimumWidth(320);
  oButton = new QPushButton(QStringLiteral("Browse…"), w);
  oButton->setObjectName(QStringLiteral("oButton"));
  oButton->setAutoDefault(false);
  connect(oButton, &QPushButton::clicked, this, [this] { browseForDownloadFolder(); });
  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(oSaveFolderPathField, 1);
  folderRow->addWidget(oButton);
  root->addLayout(folderRow);

  const auto addToggle = [this, w, root](const SettingsToggle& toggle) {
    auto* box = new QCheckBox(QString::fromUtf8(toggle.title), w);
    box->setObjectName(QString::fromLatin1(toggle.objectName));
    this->*toggle.outlet = box;
    // clicked, not toggled: only the user's change is written, never the window's own
    // showing of a stored value.
    const QString key = QString::fromLatin1(toggle.key);
    connect(box, &QCheckBox::clicked, this, [key](bool on) { UserDefaults::standardUserDefaults().setBool(on, key); });
    root->addWidget(box);
  };

  root->addSpacing(sectionGap);
  root->addWidget(makeHeading(QStringLiteral("Raw photos"), w));
  addToggle(kRawToggle);

  root->addSpacing(sectionGap);
  root->addWidget(makeHeading(QStringLiteral("Cache"), w));
  oCacheSizeSpinBox = new QSpinBox(w);
  oCacheSizeSpinBox->setObjectName(QStringLiteral("oCacheSizeSpinBox"));
  oCacheSizeSpinBox->setRange(kMinimumCacheSizeGB, kMaximumCacheSizeGB);
  oCacheSizeSpinBox->setSuffix(QStringLiteral(" GB"));
  connect(oCacheSizeSpinBox, &QSpinBox::valueChanged, this, [](int gb) {
    UserDefaults::standardUserDefaults().setInteger(gb, QString::fromLatin1(kDefaultsCacheSizeGB));
  });
  auto* cacheLabel = new QLabel(QStringLiteral("Cache size:"), w);
  cacheLabel->setBuddy(oCacheSizeSpinBox);
  auto* cacheRow = new QHBoxLayout;
  cacheRow->addWidget(cacheLabel);
  cacheRow->addWidget(oCacheSizeSpinBox);
  cacheRow->addStretch(1);
  root->addLayout(cacheRow);
  root->addWidget(
      makeNote(QStringLiteral("Cached pictures older than three days are removed when the viewer starts."), w));

  root->addSpacing(sectionGap);
  root->addWidget(makeHeading(QStringLiteral("Live view"), w));
  for (const SettingsToggle& toggle : kLiveViewToggles) addToggle(toggle);
  return w;
}

void SettingsWindowController::windowDidLoad() {
  showStoredValues();
  NotificationCenter::defaultCenter().addObserver(
      this, QString::fromLatin1(kUserDefaultsUpdated), [this](const Notification&) { showStoredValues(); },
      NotificationDelivery::mainThread);
  WindowController::windowDidLoad();
}

void SettingsWindowController::showWindow() {
  KV_ASSERT_GUI_THREAD();
  if (isWindowLoaded()) showStoredValues();
  WindowController::showWindow();
}

void SettingsWindowController::showStoredValues() {
  KV_ASSERT_GUI_THREAD();
  if (!isWindowLoaded()) return;
  const UserDefaults& defaults = UserDefaults::standardUserDefaults();

  const QString path = defaults.stringForKey(QString::fromLatin1(kDefaultsSaveFolderPath));
  oSaveFolderPathField->setText(path);
  oSaveFolderPathField->setToolTip(path);
  // A long path shows its end: the folder's own name tells more than the home folder.
  oSaveFolderPathField->setCursorPosition(int(path.size()));

  const auto show = [&defaults, this](const SettingsToggle& toggle) {
    QCheckBox* box = this->*toggle.outlet;
    const QSignalBlocker quiet(box);
    box->setChecked(defaults.boolForKey(QString::fromLatin1(toggle.key)));
  };
  show(kRawToggle);
  for (const SettingsToggle& toggle : kLiveViewToggles) show(toggle);

  // A stored size outside the range is shown at the nearest bound and left as stored
  // until the user changes it.
  const QSignalBlocker quiet(oCacheSizeSpinBox.data());
  const qint64 gb = defaults.integerForKey(QString::fromLatin1(kDefaultsCacheSizeGB));
  oCacheSizeSpinBox->setValue(int(std::clamp<qint64>(gb, kMinimumCacheSizeGB, kMaximumCacheSizeGB)));
}

void SettingsWindowController::browseForDownloadFolder() {
  KV_ASSERT_GUI_THREAD();
  // The question may run a modal session, in which this controller can go away.
  const QPointer<SettingsWindowController> self(this);
  Utilities::selectSaveDataDirectory();
  if (self) showStoredValues();
}

QStringList SettingsWindowController::autoViewValues() const {
  std::lock_guard<std::mutex> lock(autoViewMutex_);
  return autoViewValues_;
}

void SettingsWindowController::setAutoViewValues(const QStringList& values) {
  std::lock_guard<std::mutex> lock(autoViewMutex_);
  autoViewValues_ = values;
}

QString SettingsWindowController::autoViewValue() const {
  std::lock_guard<std::mutex> lock(autoViewMutex_);
  return autoViewValue_;
}

void SettingsWindowController::setAutoViewValue(const QString& value) {
  std::lock_guard<std::mutex> lock(autoViewMutex_);
  autoViewValue_ = value;
}
