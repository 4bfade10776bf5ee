#pragma once
// Reference renders: a rendered image is compared with a PNG committed beside the tests.
// The comparison allows a small difference per channel and a few pixels beyond it, so
// antialiasing that differs between machines passes while a changed colour or path fails.
// With KV_UPDATE_REFERENCES=1 in the environment the render is written as the new
// reference instead (look at it before committing it).
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kvtest {

struct ReferenceTolerance {
  int channel = 12;            // largest difference of one channel counted as equal, of 255
  double differingShare = 0.004;  // share of pixels that may differ by more
  int differingFloor = 3;      // ... but always this many
};

struct ImageDifference {
  bool sameSize = false;
  long long differing = 0;  // pixels with a channel beyond the tolerance
  int worst = 0;            // the largest channel difference seen
};

inline ImageDifference compareImages(const QImage& actual, const QImage& expected, int channelTolerance) {
  ImageDifference d;
  const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
  const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
  d.sameSize = a.size() == e.size();
  if (!d.sameSize) return d;
  for (int y = 0; y < a.height(); ++y) {
    const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* pe = reinterpret_cast<const QRgb*>(e.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      // Colour under a transparent pixel does not show: compare premultiplied values.
      const QRgb ca = qPremultiply(pa[x]), ce = qPremultiply(pe[x]);
      const int diff = std::max({std::abs(qRed(ca) - qRed(ce)), std::abs(qGreen(ca) - qGreen(ce)),
                                 std::abs(qBlue(ca) - qBlue(ce)), std::abs(qAlpha(ca) - qAlpha(ce))});
      d.worst = std::max(d.worst, diff);
      if (diff > channelTolerance) ++d.differing;
    }
  }
  return d;
}

inline long long allowedDifferingPixels(QSize size, ReferenceTolerance tol) {
  const long long pixels = static_cast<long long>(size.width()) * size.height();
  return std::max<long long>(tol.differingFloor, static_cast<long long>(std::floor(pixels * tol.differingShare)));
}

inline bool withinTolerance(const ImageDifference& d, QSize size, ReferenceTolerance tol) {
  return d.sameSize && d.differing <= allowedDifferingPixels(size, tol);
}

inline bool updatingReferences() { return qEnvironmentVariableIntValue("KV_UPDATE_REFERENCES") == 1; }

inline ::testing::AssertionResult matchesReference(const QImage& actual, const QString& folder, const QString& name,
                                                   ReferenceTolerance tol = {}) {
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  if (updatingReferences()) {
    if (!QDir().mkpath(folder) || !actual.save(path)) return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
    return ::testing::AssertionSuccess();
  }
  QImage expected(path);
  if (expected.isNull())
    return ::testing::AssertionFailure() << "no reference " << path.toStdString()
                                         << " (KV_UPDATE_REFERENCES=1 writes it)";
  const ImageDifference d = compareImages(actual, expected, tol.channel);
  if (!d.sameSize)
    return ::testing::AssertionFailure() << name.toStdString() << ": " << actual.width() << "x" << actual.height()
                                         << " against a " << expected.width() << "x" << expected.height()
                                         << " reference";
  if (!withinTolerance(d, actual.size(), tol))
    return ::testing::AssertionFailure() << name.toStdString() << ": " << d.differing << " of "
                                         << actual.width() * actual.height() << " pixels differ (at most "
                                         << allowedDifferingPixels(actual.size(), tol) << "), by up to " << d.worst;
  return ::testing::AssertionSuccess();
}

}  // namespace kvtest
