#pragma once
// A plain view filled with one colour (nothing until a colour is set).
#include <QColor>
#include <QWidget>

class ColorView : public QWidget {
  Q_OBJECT
 public:
  explicit ColorView(QWidget* parent = nullptr) : QWidget(parent) {}
  QColor backgroundColor() const { return mBackgroundColor; }
  void setBackgroundColor(const QColor& c);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor mBackgroundColor;
};

// A push button whose title is drawn in a chosen colour.
#include <QPushButton>

class TextColorButton : public QPushButton {
  Q_OBJECT
 public:
  explicit TextColorButton(QWidget* parent = nullptr) : QPushButton(parent) {}
  QColor textColor() const { return textColor_; }
  void setTextColor(const QColor& c);
  // Re-colours the current title (the text given is the current title in every use).
  void setTitle(const QString& title);

 private:
  QColor textColor_;
};
