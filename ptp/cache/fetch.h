#pragma once
// Object fetch: the bytes of an object from the cache when they are there, else from the
// camera or the device, kept in the cache for next time. Only bytes that actually came
// back are stored; a failure stores nothing.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ptp/base/object_info.h"
#include "ptp/base/response_codes.h"

// Largest object fetched whole by PTP GetObject, and largest modified JPEG relayed.
constexpr uint32_t kFetchMaxObjectBytes = 5120000;

// The original object bytes.
PtpResponseCode fetchObjectData(const PtpObjectInfoStruct* record, std::vector<uint8_t>& data);
// The bytes best suited for display: a cached ".mod.jpg", else the extracted JPEG of a raw
// object when preferExtracted, else the object. downloaded is 1 when the device was asked.
PtpResponseCode fetchDisplayImageData(const PtpObjectInfoStruct* record, std::vector<uint8_t>& data,
                                      uint8_t relayMode, uint8_t* downloaded, bool preferExtracted);
// Refreshes the caller's record in place (cache first unless force with a known width).
PtpResponseCode fetchObjectInfo(PtpObjectInfoStruct* record, bool force);
// The thumbnail bytes (empty with 0x2001 when the cached thumbnail is empty).
PtpResponseCode fetchThumbnail(PtpObjectInfoStruct* record, std::vector<uint8_t>& data, uint8_t relayMode);
// Makes sure the object is in the cache and answers its best image path; nullopt with the
// code in result on failure. version 1 fetches the original object.
std::optional<std::string> fetchImagePath(const PtpObjectInfoStruct* record, PtpResponseCode* result,
                                          uint8_t* downloaded, int version);
std::optional<std::string> fetchDisplayImagePath(const PtpObjectInfoStruct* record, bool preferExtracted,
                                                 uint8_t relayMode, PtpResponseCode* result, uint8_t* downloaded);
// Has the device send the display bytes of an object onwards (relay mode 160); nothing is
// kept here. A cached ".mod.jpg" is uploaded and relayed instead.
PtpResponseCode fetchRelayDisplayData(bool preferExtracted, const PtpObjectInfoStruct* record);

// 1 when a JPEG was found in a TIFF-based raw buffer: the out values describe the last
// one found, at most the third.
int fileFindTiffJpeg(std::span<const uint8_t> buffer, uint32_t& offset, uint32_t& length);
