#pragma once
// A plain, non-editable line of text centred in its frame (the HUD's labels), set in the
// embedded faces so that it matches what the layout measured.
#include <QColor>
#include <QWidget>

#include "platform/graphics/font.h"

class TextView : public QWidget {
  Q_OBJECT
 public:
  explicit TextView(QWidget* parent = nullptr);
  void setString(const QString& s);
  QString string() const { return string_; }
  void setFont(const Font& f);
  Font font() const { return font_; }
  void setTextColor(const QColor& c);
  QColor textColor() const { return color_; }
  // The string's size on one line (0 x 0 when empty).
  QSizeF lineSize() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString string_;
  Font font_;
  QColor color_ = Qt::white;
};
