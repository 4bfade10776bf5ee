#include <gtest/gtest.h>

#include <cstdint>

#include "ptp/vendors/nikon/nikon_codes.h"

// The module and its tests share these names, so each is held against Nikon's number.
TEST(NikonCodes, OperationsCarryNikonsNumbers) {
  struct Row {
    const char* name;
    uint16_t value, nikon;
  };
#define KV_CODE(name, number) Row{#name, name, number}
  const Row rows[] = {
      KV_CODE(PTP_OC_NIKON_AfDrive, 0x90C1),          KV_CODE(PTP_OC_NIKON_SetControlMode, 0x90C2),
      KV_CODE(PTP_OC_NIKON_CheckEvent, 0x90C7),       KV_CODE(PTP_OC_NIKON_GetVendorPropCodes, 0x90CA),
      KV_CODE(PTP_OC_NIKON_StartLiveView, 0x9201),    KV_CODE(PTP_OC_NIKON_EndLiveView, 0x9202),
      KV_CODE(PTP_OC_NIKON_MfDrive, 0x9204),          KV_CODE(PTP_OC_NIKON_ChangeAfArea, 0x9205),
      KV_CODE(PTP_OC_NIKON_AfCancel, 0x9206),         KV_CODE(PTP_OC_NIKON_CaptureInMedia, 0x9207),
      KV_CODE(PTP_OC_NIKON_StartMovie, 0x920A),       KV_CODE(PTP_OC_NIKON_EndMovie, 0x920B),
      KV_CODE(PTP_OC_NIKON_TerminateCapture, 0x920C), KV_CODE(PTP_OC_NIKON_GetEventEx, 0x941C),
      KV_CODE(PTP_OC_NIKON_LiveViewCleanup, 0x9435),
  };
#undef KV_CODE
  for (const Row& r : rows) EXPECT_EQ(r.value, r.nikon) << r.name;
}
