#include "ptp/vendors/canon/canon_fetch.h"

#include <vector>

#include "ptp/base/camera_vendor.h"
#include "ptp/protocol/ptp_transaction.h"
#include "ptp/vendors/canon/canon_images.h"
#include "ptp/vendors/canon/canon_liveview.h"

PtpResponseCode canonGetLiveViewFrame(ByteBuffer& frame) {
  frame.clear();
  const uint32_t params[1] = {kCanonLiveViewRequestSize};
  ByteBuffer reply;
  const PtpResponseCode rc =
      ptpTransaction(PTP_OC_CANON_GetViewFinderData, params, 1, nullptr, 0, &reply, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  std::vector<uint8_t> built;
  if (!canonParseLiveViewFrame(reply.data(), reply.size(), built, camModelIndex())) return ERROR_TOO_LARGE;
  frame.assign(built.begin(), built.end());
  return PTP_RC_OK;
}

PtpResponseCode canonGetThumb(uint32_t handle, ByteBuffer& data, uint8_t* orientation) {
  data.clear();
  const uint32_t params[2] = {handle, kCanonThumbRequestSize};
  ByteBuffer reply;
  const PtpResponseCode rc = ptpTransaction(PTP_OC_CANON_GetThumbEx, params, 2, nullptr, 0, &reply, nullptr, true);
  if (rc != PTP_RC_OK) return rc;
  if (reply.empty()) return PTP_RC_OK;
  std::vector<uint8_t> cut(reply.begin(), reply.end());
  const PtpResponseCode cutRc = canonExtractThumbJpeg(cut, orientation);
  if (cutRc != PTP_RC_OK) return cutRc;
  data.assign(cut.begin(), cut.end());
  return PTP_RC_OK;
}
