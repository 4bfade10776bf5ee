#pragma once
// A link with the share reader running, and everything the mailbox and the command set
// keep process-wide put back afterwards.
#include "ptp/link/command_vendor.h"
#include "ptp/link/pending_table.h"
#include "ptp/protocol/ptp_transport.h"
#include "tests/ptp/link/link_fixture.h"

class MailboxFixture : public LinkFixture {
 protected:
  void startSession(int generation = 2) {
    connect(generation);
    ASSERT_EQ(shareStartReader(), PTP_RC_OK);
    ptpSetTransport(shareSendPtp, [](ByteBuffer& c, void*, uint32_t*) { return shareReceivePtp(c); });
  }

  void TearDown() override {
    shareStopReader();
    LinkFixture::TearDown();
    shareSetUnsolicitedCallback(nullptr);
    shareSetMaxQueuedBytes(kShareMaxQueuedBytes);
    ptpSetTransport(nullptr, nullptr);
    msgTableClear();
    devResetVendorHooks();
    camSetVendor(CameraVendorUnknown);
    camSetModelIndex(0);
  }
};


