#pragma once
// Sony operations that talk to the camera: reading and setting properties (directly or by
// stepping a virtual dial), the remote buttons, new objects and live view.
#include <cstdint>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/ptp_codes.h"
#include "ptp/base/response_codes.h"

constexpr uint16_t kSonyGetDevicePropValue = 0x9204;
constexpr uint16_t kSonySetControlDeviceA = 0x9205;
constexpr uint16_t kSonyGetAllDevicePropData = 0x9209;
constexpr uint32_t kSonyLiveViewHandle = 0xFFFFC002;
constexpr uint32_t kSonyNewObjectHandle = 0xFFFFC001;
// Most new objects one "Image Pending" value hands out.
constexpr uint32_t kSonyMaxPendingObjects = 1024;
// Bytes of a live-view frame kept as its header.
constexpr size_t kSonyLiveViewHeaderBytes = 1524;

// Connect-time set-up: empties the table, reads every property and, on dialled bodies,
// builds the shutter, ISO and F-number lists.
PtpResponseCode sonyInitCamera();
// 0x9209 into the table (events for changed records with queueEvents).
PtpResponseCode sonyReadAllProperties(int queueEvents);
// 0x9209, taking only the descriptor of code.
PtpResponseCode sonyRefreshPropertyValue(uint32_t code);
PtpResponseCode sonyGetDevicePropValue(uint32_t code, ByteBuffer& data);
// Builds the module's own shutter, ISO and F-number lists for the current model and mode.
void sonyBuildDialLists();

// One 0x9207 with a 2- or 4-byte value.
PtpResponseCode sonySetControlDevice(uint32_t code, uint32_t value, uint32_t size);
// One 0x9205 with a 4-byte value.
PtpResponseCode sonySetControlDeviceA(uint32_t code, uint32_t value);

PtpResponseCode sonySetPropertyValue(uint32_t code, uint32_t value);
bool sonyWaitPropertyValue(uint32_t code, uint32_t value);
PtpResponseCode sonyDialToValue(uint32_t code, uint32_t target, int depth);
// Returns once no set is running.
void sonyWaitSetPropertyIdle();
// Sets running or waiting to run (a dial gives way when another one waits).
int sonySetWaiters();
// Up to ms / 250 reads (999 when ms is 0), each after an event poll.
bool sonyWaitPropertyValuePolling(uint32_t code, uint32_t value, uint32_t ms);

PtpResponseCode sonyHalfPress();
PtpResponseCode sonyHalfRelease();
PtpResponseCode sonyShutterDown();
PtpResponseCode sonyShutterUp();
PtpResponseCode sonyStartMovieRecording();
PtpResponseCode sonyStopMovieRecording();
PtpResponseCode sonyDriveFocus(int step);
PtpResponseCode sonyStartAutoFocus();
PtpResponseCode sonyStopAutoFocus();
PtpResponseCode sonyHalfPressLock(bool on);
PtpResponseCode sonyPixelShiftButton(bool on);
PtpResponseCode sonyZoomButtonValue(uint8_t value);

PtpResponseCode sonyGetNewObjectHandles(std::vector<uint32_t>& handles);
PtpResponseCode sonySetLiveView(int on);
PtpResponseCode sonyGetLiveViewFrame(ByteBuffer& out);
// One event poll.
PtpResponseCode sonyCheckEvents();
PtpResponseCode sonyKeepAlive();
PtpResponseCode sonyBuildCaptureCommand();
