#pragma once
// The settings window: where photos are saved (shown, changed with Browse), quick raw
// display, the cache size and the live-view aids. Every control writes its user default
// the moment it changes (there is no OK button) and shows the stored value whenever the
// window is shown and whenever "UserDefaultsUpdated" is posted.
//
// Who owns the controller. Each createAndShowWindow() makes a new controller and window:
//  - WhenClosed::Keep (the default): the caller owns it. An owner that keeps at most one
//    settings window holds the pointer, calls showWindow() on it while it has one, and
//    lets go of it on windowWillClose() with deleteLater() (not delete: the window is in
//    the middle of closing when the signal comes).
//  - WhenClosed::Delete: nobody has to keep it (the connect screen's gear button); the
//    controller deletes itself once its window has closed. A caller that still wants to
//    reach it holds the result in a QPointer, which turns null then.
#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>

#include <mutex>

#include "platform/window_controller.h"

class SettingsWindowController : public WindowController {
  Q_OBJECT
 public:
  enum class WhenClosed { Keep, Delete };

  // The cache size the spin box offers, in GB.
  static constexpr int kMinimumCacheSizeGB = 1;
  static constexpr int kMaximumCacheSizeGB = 1000;

  // A new controller with its window shown in front. With Keep the caller owns the
  // result; with Delete it is the controller's own until its window closes.
  static SettingsWindowController* createAndShowWindow(WhenClosed whenClosed = WhenClosed::Keep);

  explicit SettingsWindowController(QObject* parent = nullptr);
  ~SettingsWindowController() override;

  // Shows the stored values again, then the window in front.
  void showWindow() override;

  // The Browse button: asks for a save folder; the path shown follows what was stored.
  void browseForDownloadFolder();

  // Kept for an auto-view chooser; no control of this window uses them. Thread-safe.
  QStringList autoViewValues() const;
  void setAutoViewValues(const QStringList& values);
  QString autoViewValue() const;
  void setAutoViewValue(const QString& value);

  // Outlets (null until the window is loaded; also named children of the window).
  QPointer<QLineEdit> oSaveFolderPathField;  // read-only
  QPointer<QPushButton> oButton;             // Browse
  QPointer<QCheckBox> oQuickRawModeCheckBox;
  QPointer<QSpinBox> oCacheSizeSpinBox;
  QPointer<QCheckBox> oRotateLiveViewCheckBox;
  QPointer<QCheckBox> oElectronicLevelCheckBox;
  QPointer<QCheckBox> oHighlightsCheckBox;
  QPointer<QCheckBox> oShadowsCheckBox;
  QPointer<QCheckBox> oFocusPeakingCheckBox;

 protected:
  QWidget* buildWindow() override;
  void windowDidLoad() override;

 private:
  // Puts the stored values into the controls without writing anything back.
  void showStoredValues();

  mutable std::mutex autoViewMutex_;
  QStringList autoViewValues_;
  QString autoViewValue_;
};
