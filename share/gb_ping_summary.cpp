#include "share/gb_ping_summary.h"

#include <QDateTime>

namespace {
QString dateText(const std::optional<GBPingSummary::Time>& t) {
  if (!t) return QStringLiteral("(null)");
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t->time_since_epoch()).count();
  return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
}
}  // namespace

double GBPingSummary::rtt() const {
  if (!sendDate || !receiveDate) return 0.0;
  return std::chrono::duration<double>(*receiveDate - *sendDate).count();
}

QString GBPingSummary::description() const {
  return QString::asprintf("host: %s, seq: %lu, status: %d, ttl: %lu, payloadSize: %lu, sendDate: %s, "
                           "receiveDate: %s, rtt: %f",
                           (host.isNull() ? QStringLiteral("(null)") : host).toUtf8().constData(), static_cast<unsigned long>(sequenceNumber), status,
                           static_cast<unsigned long>(ttl), static_cast<unsigned long>(payloadSize),
                           dateText(sendDate).toUtf8().constData(), dateText(receiveDate).toUtf8().constData(),
                           rtt());
}
