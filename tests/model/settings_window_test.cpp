// The settings window: what each control shows and writes, Browse, updates from elsewhere,
// who deletes the controller, and how the window looks in the application's dark palette.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

#include "model/settings_window_controller.h"
#include "model/utilities.h"
#include "platform/defaults_keys.h"
#include "platform/notification_center.h"
#include "platform/paths.h"
#include "platform/user_defaults.h"
#include "platform/window_registry.h"
#include "ptp/cache/cache.h"
#include "support/qt_test_support.h"

namespace settingswindowtest {

// Every key the window shows.
const char* const kWindowKeys[] = {kDefaultsSaveFolderPath, kDefaultsQuickRawMode,    kDefaultsCacheSizeGB,
                                   kDefaultsRotateLiveView, kDefaultsElectronicLevel, kDefaultsHighlights,
                                   kDefaultsShadows,        kDefaultsFocusPeaking};

// A switch as the user finds it: by the words on its label.
struct SwitchCase {
  const char* key;
  const char* words;
};
const SwitchCase kSwitches[] = {
    {kDefaultsQuickRawMode, "raw"},      {kDefaultsRotateLiveView, "turn the picture"},
    {kDefaultsElectronicLevel, "level"}, {kDefaultsHighlights, "highlights"},
    {kDefaultsShadows, "shadows"},       {kDefaultsFocusPeaking, "focus peaking"},
};

QString key(const char* k) { return QString::fromLatin1(k); }

// The one check box whose label holds these words (null when none or several do).
QCheckBox* checkBoxLabelled(QWidget* window, const char* words) {
  QCheckBox* found = nullptr;
  for (QCheckBox* box : window->findChildren<QCheckBox*>()) {
    if (!box->text().contains(QString::fromUtf8(words), Qt::CaseInsensitive)) continue;
    if (found != nullptr) return nullptr;
    found = box;
  }
  return found;
}

// A mouse click on the box itself, where a user aims.
void clickCheckBox(QCheckBox* box) {
  QStyleOptionButton option;
  option.initFrom(box);
  option.text = box->text();
  const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
  QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

// Runs the deferred deletions the event loop would run next.
bool deletedSoon(const QPointer<QObject>& object) {
  return kvtest::waitUntil([&] {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return object.isNull();
  });
}

QPalette darkPalette() {
  QPalette p;
  const QColor text(0xE8, 0xE8, 0xE8);
  p.setColor(QPalette::Window, QColor(0x2B, 0x2B, 0x2E));
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x21));
  p.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x37));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(0x3C, 0x3C, 0x41));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Highlight, QColor(0x1F, 0x6F, 0xD1));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::PlaceholderText, QColor(0x8C, 0x8C, 0x92));
  p.setColor(QPalette::ToolTipBase, QColor(0x3C, 0x3C, 0x41));
  p.setColor(QPalette::ToolTipText, text);
  return p;
}

QImage render(QWidget* window, qreal scale) {
  QImage image(window->size() * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  window->render(&image);
  return image;
}

double meanLightness(const QImage& image) {
  double sum = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) sum += QColor(image.pixel(x, y)).lightness();
  return sum / (double(image.width()) * image.height());
}

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    previousFile_ = defaults.fileName();
    defaults.useFile(settingsFile());
    ASSERT_TRUE(defaults.registerDefaultsFromBundle());
    Paths::setDocumentsDirectory(dir_.path());
  }
  void TearDown() override {
    Utilities::setFolderChooser(nullptr);
    cacheLoad(nullptr, nullptr);
    Paths::setDocumentsDirectory(QString());
    UserDefaults::standardUserDefaults().useFile(previousFile_);
  }

  QString settingsFile() const { return dir_.filePath(QStringLiteral("settings.ini")); }
  // What a fresh reader of the settings file sees: a write that is still pending is not there.
  QVariant onDisk(const char* k) const { return QSettings(settingsFile(), QSettings::IniFormat).value(key(k)); }
  static std::map<QString, QVariant> storedValues() {
    std::map<QString, QVariant> values;
    for (const char* k : kWindowKeys) values[key(k)] = UserDefaults::standardUserDefaults().objectForKey(key(k));
    return values;
  }

  QTemporaryDir dir_;
  QString previousFile_;
};

TEST_F(SettingsWindow, EachSwitchShowsItsStoredValueAndWritesOnlyItsKeyAtOnce) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  for (const SwitchCase& c : kSwitches) {
    for (const bool stored : {false, true}) {
      SCOPED_TRACE(QStringLiteral("%1 stored %2").arg(key(c.key)).arg(stored).toStdString());
      defaults.setBool(stored, key(c.key));
      std::unique_ptr<SettingsWindowController> controller(SettingsWindowController::createAndShowWindow());
      QCheckBox* box = checkBoxLabelled(controller->window(), c.words);
      ASSERT_NE(box, nullptr);
      EXPECT_TRUE(box->isVisible());
      EXPECT_EQ(box->isChecked(), stored);

      std::map<QString, QVariant> expected = storedValues();
      clickCheckBox(box);
      EXPECT_EQ(box->isChecked(), !stored);
      EXPECT_EQ(defaults.boolForKey(key(c.key)), !stored);
      EXPECT_EQ(onDisk(c.key).toBool(), !stored);
      expected[key(c.key)] = defaults.objectForKey(key(c.key));
      EXPECT_EQ(storedValues(), expected) << "another setting changed too";
    }
  }
}

TEST_F(SettingsWindow, CacheSizeShowsTheStoredSizeWithinBoundsAndWritesWhatIsTyped) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  struct Case {
    QVariant stored;  // invalid: nothing stored, the registered default answers
    int shown;
  };
  const Case cases[] = {{QVariant(), 5}, {42, 42}, {0, 1}, {-3, 1}, {5000, 1000}, {QStringLiteral("lots"), 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored.toString().toStdString());
    defaults.setObject(c.stored, key(kDefaultsCacheSizeGB));
    const QVariant before = defaults.objectForKey(key(kDefaultsCacheSizeGB));
    std::unique_ptr<SettingsWindowController> controller(SettingsWindowController::createAndShowWindow());
    QSpinBox* spin = controller->window()->findChild<QSpinBox*>();
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->value(), c.shown);
    // Showing a value out of range does not store the corrected one.
    EXPECT_EQ(defaults.objectForKey(key(kDefaultsCacheSizeGB)), before);
  }

  std::unique_ptr<SettingsWindowController> controller(SettingsWindowController::createAndShowWindow());
  QSpinBox* spin = controller->window()->findChild<QSpinBox*>();
  ASSERT_NE(spin, nullptr);
  QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(spin, QStringLiteral("250"));
  EXPECT_EQ(defaults.integerForKey(key(kDefaultsCacheSizeGB)), 250);
  EXPECT_EQ(onDisk(kDefaultsCacheSizeGB).toInt(), 250);
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(onDisk(kDefaultsCacheSizeGB).toInt(), 251);
  // Nothing past the top is ever stored, however much is typed.
  QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(spin, QStringLiteral("99999"));
  EXPECT_GE(onDisk(kDefaultsCacheSizeGB).toInt(), 999);
  EXPECT_LE(onDisk(kDefaultsCacheSizeGB).toInt(), SettingsWindowController::kMaximumCacheSizeGB);
}

TEST_F(SettingsWindow, BrowseStoresTheChosenFolderAndShowsItWhileACancelChangesNothing) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  const QString chosen = dir_.filePath(QStringLiteral("Photos"));
  ASSERT_TRUE(QDir().mkpath(chosen));
  int asked = 0;
  QString answer = chosen;
  Utilities::setFolderChooser([&] {
    ++asked;
    return answer;
  });
  cacheLoad(nullptr, nullptr);

  std::unique_ptr<SettingsWindowController> controller(SettingsWindowController::createAndShowWindow());
  QLineEdit* field = controller->oSaveFolderPathField;
  QPushButton* browse = controller->oButton;
  ASSERT_NE(field, nullptr);
  ASSERT_NE(browse, nullptr);
  EXPECT_TRUE(browse->text().startsWith(QStringLiteral("Browse")));
  EXPECT_TRUE(field->isReadOnly());
  EXPECT_TRUE(field->text().isEmpty());
  EXPECT_FALSE(field->placeholderText().isEmpty());

  QTest::mouseClick(browse, Qt::LeftButton);
  EXPECT_EQ(asked, 1);
  const QString stored = QFileInfo(chosen).absoluteFilePath();
  EXPECT_EQ(defaults.stringForKey(key(kDefaultsSaveFolderPath)), stored);
  EXPECT_EQ(onDisk(kDefaultsSaveFolderPath).toString(), stored);
  EXPECT_EQ(field->text(), stored);
  // The new folder reaches the cache, which loads on the pool.
  ASSERT_TRUE(kvtest::waitUntil([] { return cacheIsLoaded(); }));

  answer.clear();
  QTest::mouseClick(browse, Qt::LeftButton);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(defaults.stringForKey(key(kDefaultsSaveFolderPath)), stored);
  EXPECT_EQ(field->text(), stored);
}

TEST_F(SettingsWindow, AnOpenWindowFollowsChangesMadeElsewhereWithoutWritingThemBack) {
  UserDefaults& defaults = UserDefaults::standardUserDefaults();
  std::unique_ptr<SettingsWindowController> controller(SettingsWindowController::createAndShowWindow());
  QWidget* window = controller->window();
  QCheckBox* highlights = checkBoxLabelled(window, "highlights");
  QCheckBox* rotate = checkBoxLabelled(window, "turn the picture");
  ASSERT_NE(highlights, nullptr);
  ASSERT_NE(rotate, nullptr);
  ASSERT_FALSE(highlights->isChecked());
  ASSERT_TRUE(rotate->isChecked());  // the registered default

  const QString elsewhere = dir_.filePath(QStringLiteral("Elsewhere"));
  defaults.setObject(elsewhere, key(kDefaultsSaveFolderPath));
  defaults.setBool(true, key(kDefaultsHighlights));
  defaults.setBool(false, key(kDefaultsRotateLiveView));
  defaults.setInteger(5000, key(kDefaultsCacheSizeGB));
  const std::map<QString, QVariant> expected = storedValues();
  NotificationCenter::defaultCenter().post(QStringLiteral("UserDefaultsUpdated"));
  ASSERT_TRUE(kvtest::waitUntil([&] { return controller->oSaveFolderPathField->text() == elsewhere; }));
  EXPECT_TRUE(highlights->isChecked());
  EXPECT_FALSE(rotate->isChecked());
  EXPECT_EQ(controller->oCacheSizeSpinBox->value(), SettingsWindowController::kMaximumCacheSizeGB);
  EXPECT_EQ(storedValues(), expected);

  // Brought to the front again (the owner's second press): the stored values again.
  defaults.setBool(false, key(kDefaultsHighlights));
  controller->showWindow();
  EXPECT_FALSE(highlights->isChecked());
  EXPECT_EQ(WindowRegistry::frontWindow(), window);
}

TEST_F(SettingsWindow, ASelfOwnedControllerGoesWithItsWindowAndAKeptOneStays) {
  // The gear button keeps nothing: closing the window takes controller and window away.
  QPointer<SettingsWindowController> selfOwned =
      SettingsWindowController::createAndShowWindow(SettingsWindowController::WhenClosed::Delete);
  ASSERT_FALSE(selfOwned.isNull());
  QPointer<QWidget> window = selfOwned->window();
  ASSERT_TRUE(window->isVisible());
  EXPECT_TRUE(window->close());  // as the title bar's close button does
  EXPECT_TRUE(deletedSoon(QPointer<QObject>(selfOwned.data())));
  EXPECT_TRUE(window.isNull());

  // A kept controller outlives its window's closing and shows it again on request.
  std::unique_ptr<SettingsWindowController> kept(SettingsWindowController::createAndShowWindow());
  const QPointer<SettingsWindowController> keptAlive(kept.get());
  QSignalSpy closing(kept.get(), &WindowController::windowWillClose);
  EXPECT_TRUE(kept->window()->close());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (keptAlive.isNull()) {
    (void)kept.release();  // already gone: do not delete it twice
    FAIL() << "a kept controller deleted itself";
  }
  EXPECT_EQ(closing.count(), 1);
  kept->showWindow();
  EXPECT_TRUE(kept->window()->isVisible());

  // An owner that keeps one lets go of it when its window closes, as the header says.
  SettingsWindowController* held = kept.release();
  QObject::connect(held, &WindowController::windowWillClose, held, [&held] {
    held->deleteLater();
    held = nullptr;
  });
  const QPointer<QObject> heldAlive(held);
  EXPECT_TRUE(held->window()->close());
  EXPECT_EQ(held, nullptr);
  EXPECT_TRUE(deletedSoon(heldAlive));
}

TEST_F(SettingsWindow, LooksRightInTheDarkPaletteWithNothingCutAndNoDeadControls) {
  const QPalette previous = QApplication::palette();
  QApplication::setPalette(darkPalette());
  std::unique_ptr<SettingsWindowController> controller(SettingsWindowController::createAndShowWindow());
  QWidget* window = controller->window();
  UserDefaults::standardUserDefaults().setObject(
      QStringLiteral("/home/photographer/Pictures/Korvalume/Weddings/2026-12-11 Smith and Jones/Ceremony"),
      key(kDefaultsSaveFolderPath));
  controller->showWindow();
  QCoreApplication::processEvents();

  EXPECT_EQ(window->windowTitle(), QStringLiteral("Settings"));
  EXPECT_TRUE(window->isWindow());
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the size is fixed";
  EXPECT_GE(window->width(), 400);

  // Every control the user can reach is one the program reads.
  QStringList shown;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window)) continue;
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QLineEdit*>(w))
      if (!qobject_cast<QAbstractSpinBox*>(w->parentWidget())) shown << w->objectName();
  }
  shown.sort();
  QStringList expected{"oButton",
                       "oCacheSizeSpinBox",
                       "oElectronicLevelCheckBox",
                       "oFocusPeakingCheckBox",
                       "oHighlightsCheckBox",
                       "oQuickRawModeCheckBox",
                       "oRotateLiveViewCheckBox",
                       "oSaveFolderPathField",
                       "oShadowsCheckBox"};
  EXPECT_EQ(shown, expected);

  // No text is cut: every label and button has at least the room it asks for, inside the window.
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))) continue;
    SCOPED_TRACE(
        w->objectName().toStdString() + " " +
        (qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text() : qobject_cast<QAbstractButton*>(w)->text())
            .toStdString());
    if (!(qobject_cast<QLabel*>(w) && qobject_cast<QLabel*>(w)->wordWrap())) {
      EXPECT_GE(w->width(), w->sizeHint().width());
    }
    EXPECT_TRUE(window->rect().contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size())));
  }

  // Dark like the rest of the application: nothing paints a light background of its own.
  const QImage once = render(window, 1);
  const QImage twice = render(window, 2);
  EXPECT_EQ(twice.size(), once.size() * 2);
  EXPECT_LT(meanLightness(once), 90.0);
  const QString snapshots = qEnvironmentVariable("KV_SNAPSHOT_DIR");
  if (!snapshots.isEmpty()) {
    QDir().mkpath(snapshots);
    once.save(snapshots + QStringLiteral("/settings-window.png"));
    twice.save(snapshots + QStringLiteral("/settings-window@2x.png"));
  }
  controller.reset();
  QApplication::setPalette(previous);
}

}  // namespace settingswindowtest
