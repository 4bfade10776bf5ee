#pragma once
// Nikon camera set-up: the property table from the vendor list, host control mode and
// the keep-alive.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ptp/base/bytes.h"
#include "ptp/base/response_codes.h"

// Largest property blob loaded, and the most codes a blob is built for.
constexpr size_t kNikonMaxPropertyBlob = 1u << 20;
constexpr size_t kNikonMaxBlobCodes = 300;

// GetDevicePropDesc 0x1014: the dataset into desc (the Nikon property services' read).
PtpResponseCode nikonGetDevicePropDesc(uint32_t code, std::vector<uint8_t>& desc);
// GetVendorPropCodes 0x90CA: the camera's raw list.
PtpResponseCode nikonGetVendorPropCodesFromCamera(ByteBuffer& data);
// Each code's DevicePropDesc as (u32 length, descriptor) pairs; codes whose read fails
// are left out. 0xFF15 for no codes or more than kNikonMaxBlobCodes.
PtpResponseCode nikonBuildPropertyBlob(const uint32_t* codes, size_t count, std::vector<uint8_t>& blob);
// Clears the table and adds a record per (length, descriptor) pair; then 0x5003, the
// composite quality and the AF-state word. 0xFF15 for null or short input.
PtpResponseCode nikonLoadPropertyTable(const uint8_t* blob, size_t length);
// Clears the table and adds the 65 fixed codes, each read by DevicePropDesc.
PtpResponseCode nikonLoadFixedCodes();

// SetControlMode 0x90C2; on success remembered, and with refresh six properties re-read.
PtpResponseCode nikonSetHostMode(uint32_t mode, bool refresh);
PtpResponseCode nikonKeepAlive();
// Frees every record's value list, then the keep-alive.
PtpResponseCode nikonInitCamera();
// 0xFF01: the operation slot no Nikon body uses.
PtpResponseCode nikonReservedOperation();
