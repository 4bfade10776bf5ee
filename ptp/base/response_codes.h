#pragma once
// Result of every library operation: a PTP response code (ptp_codes.h), a vendor or
// device code, or one of the library's own codes below.
#include <cstdint>

#include "ptp/base/ptp_codes.h"

using PtpResponseCode = uint16_t;

constexpr PtpResponseCode ERROR_DEVICE_NOT_READY = 0xFF00;
constexpr PtpResponseCode ERROR_GENERAL = 0xFF01;
constexpr PtpResponseCode ERROR_INVALID_TYPE = 0xFF02;
constexpr PtpResponseCode ERROR_DATASET = 0xFF06;
constexpr PtpResponseCode ERROR_SEND_FAILED = 0xFF07;
constexpr PtpResponseCode ERROR_BAD_REPLY = 0xFF0A;
constexpr PtpResponseCode ERROR_TOO_LARGE = 0xFF0B;
constexpr PtpResponseCode PTP_ERROR_PROP_NOT_CONFIRMED = 0xFF0D;
constexpr PtpResponseCode ERROR_CONNECTION = 0xFF0E;
constexpr PtpResponseCode ERROR_CAMERA_NOT_SUPPORTED = 0xFF0F;
constexpr PtpResponseCode ERROR_DEVICE_INFO = 0xFF11;
constexpr PtpResponseCode ERROR_NO_MEMORY = 0xFF12;
constexpr PtpResponseCode ERROR_BUSY = 0xFF13;
constexpr PtpResponseCode ERROR_RECEIVE_CANCELLED = 0xFF14;
constexpr PtpResponseCode ERROR_INVALID_INPUT = 0xFF15;
constexpr PtpResponseCode ERROR_CANCELLED = 0xFF16;
constexpr PtpResponseCode ERROR_BULB_MODE_INVALID = 0xFF17;
constexpr PtpResponseCode PTP_ERROR_UNSUPPORTED_COMMAND = 0xFF1B;
constexpr PtpResponseCode ERROR_INVALID_CONTINUOUS_DRIVE_MODE = 0xFF1D;
constexpr PtpResponseCode RESPONSE_EMPTY_ACK = 0xEE12;

// Codes of the device itself.
constexpr PtpResponseCode DEVICE_RELAY_RESPONSE_ERROR = 0x0001;
constexpr PtpResponseCode DEVICE_CONTROL_ERROR = 0x5501;
constexpr PtpResponseCode DEVICE_SD_CARD_MISSING = 0x5505;
