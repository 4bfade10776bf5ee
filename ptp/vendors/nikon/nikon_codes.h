#pragma once
// Nikon's operation codes, in the scheme of ptp/base/ptp_codes.h (which holds the Nikon
// codes the layers below need: DeviceReady and the live-view image requests).
#include <cstdint>

constexpr uint16_t PTP_OC_NIKON_AfDrive = 0x90C1;
constexpr uint16_t PTP_OC_NIKON_SetControlMode = 0x90C2;
constexpr uint16_t PTP_OC_NIKON_CheckEvent = 0x90C7;
constexpr uint16_t PTP_OC_NIKON_GetVendorPropCodes = 0x90CA;
constexpr uint16_t PTP_OC_NIKON_StartLiveView = 0x9201;
constexpr uint16_t PTP_OC_NIKON_EndLiveView = 0x9202;
constexpr uint16_t PTP_OC_NIKON_MfDrive = 0x9204;
constexpr uint16_t PTP_OC_NIKON_ChangeAfArea = 0x9205;
constexpr uint16_t PTP_OC_NIKON_AfCancel = 0x9206;
constexpr uint16_t PTP_OC_NIKON_CaptureInMedia = 0x9207;
constexpr uint16_t PTP_OC_NIKON_StartMovie = 0x920A;
constexpr uint16_t PTP_OC_NIKON_EndMovie = 0x920B;
constexpr uint16_t PTP_OC_NIKON_TerminateCapture = 0x920C;
constexpr uint16_t PTP_OC_NIKON_GetEventEx = 0x941C;
constexpr uint16_t PTP_OC_NIKON_LiveViewCleanup = 0x9435;
