#include "ui/widgets/alert/alert_fonts.h"

#include <QFile>
#include <QFontDatabase>

namespace {

QString familyOf(const char* resource) {
  initGraphicsResources();
  QFile file(QString::fromLatin1(resource));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const int id = QFontDatabase::addApplicationFontFromData(file.readAll());
  const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
  return families.isEmpty() ? QString() : families.front();
}

}  // namespace

QFont alertTextFont(const Font& font) {
  static const QString regular = familyOf(":/kv/fonts/LiberationSans-Regular.ttf");
  static const QString bold = familyOf(":/kv/fonts/LiberationSans-Bold.ttf");
  const bool isBold = font.face() == FontFace::Bold;
  QFont f(isBold ? bold : regular);
  f.setWeight(isBold ? QFont::Bold : QFont::Normal);
  f.setPixelSize(std::max(1, qRound(font.pointSize())));
  f.setHintingPreference(QFont::PreferNoHinting);
  return f;
}
