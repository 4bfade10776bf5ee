// The session layer against the simulator: admission, the busy retry, vendor detection,
// storages, objects and camera set-up.
#include <gmock/gmock.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "ptp/camera/ptp_objects.h"
#include "ptp/props/event_queue.h"
#include "ptp/protocol/object_info_dataset.h"
#include "ptp/protocol/storage_info.h"
#include "tests/ptp/camera/ptp_session_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Ms = std::chrono::milliseconds;

namespace {
const std::vector<uint16_t> kStandardOps = {0x1001, 0x1002, 0x1003, 0x1004, 0x1005, 0x1006, 0x1007,
                                            0x1008, 0x1009, 0x100A, 0x100B, 0x101B};
}

TEST_F(PtpSessionFixture, WithoutDeviceInfoOnlyTheAdmittedOperationsGoOut) {
  PtpObjectInfoStruct record{};
  EXPECT_EQ(ptpGetObjectInfo(5, &record), PTP_ERROR_UNSUPPORTED_COMMAND);
  ByteBuffer thumb;
  EXPECT_EQ(ptpGetThumb(5, thumb, 0), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(ptpResetDevicePropValue(0x5001), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_THAT(codesSent(), IsEmpty());  // refused without any traffic

  uint32_t count = 99;
  EXPECT_EQ(ptpTransaction(0x1006, nullptr, 0, nullptr, 0, nullptr, &count, true), PTP_RC_OK);
  EXPECT_EQ(count, 0u);
  sim->addObject(7, ByteBuffer{1, 2, 3});
  ByteBuffer object;
  EXPECT_EQ(ptpGetObject(7, object), PTP_RC_OK);
  EXPECT_EQ(object, (ByteBuffer{1, 2, 3}));
  EXPECT_THAT(codesSent(), ElementsAre(0x1006, 0x1009));
}

TEST_F(PtpSessionFixture, DeviceBusyIsRetriedOnceAfterAPause) {
  sim->setPtpBusyAnswers(0x1006, 1);
  EXPECT_EQ(ptpTransaction(0x1006, nullptr, 0, nullptr, 0, nullptr, nullptr, true), PTP_RC_OK);
  EXPECT_THAT(codesSent(), ElementsAre(0x1006, 0x1006));
  EXPECT_THAT(naps, ElementsAre(Ms(100)));

  sim->setPtpBusyAnswers(0x1006, 2);  // a second DeviceBusy goes back to the caller
  EXPECT_EQ(ptpTransaction(0x1006, nullptr, 0, nullptr, 0, nullptr, nullptr, true), PTP_RC_DeviceBusy);
  EXPECT_EQ(codesSent().size(), 4u);

  auto calls = std::make_shared<std::atomic<int>>(0);
  sim->setPtpHandler(0x1006, [calls](const devsim::Simulator::PtpCommand&) {
    return devsim::Simulator::PtpReply{.result = uint16_t((*calls)++ == 0 ? 0xA102 : 0x2001)};
  });
  EXPECT_EQ(ptpTransaction(0x1006, nullptr, 0, nullptr, 0, nullptr, nullptr, true), PTP_RC_OK);
  EXPECT_EQ(codesSent().size(), 6u);
}

TEST_F(PtpSessionFixture, ManufacturerSetsTheVendorCode) {
  struct Case {
    const char* manufacturer;
    uint16_t vendor;
  } cases[] = {
      {"FUJIFILM Corporation", CameraVendorFujifilm}, {"Canon Inc.", CameraVendorCanon},
      {"Sony Corporation", CameraVendorSony},         {"Nikon Corporation", CameraVendorNikon},
      {"Fujifilm", CameraVendorNikon},  // case-sensitive prefixes
      {"SONY", CameraVendorNikon},      {"Leica Camera AG", CameraVendorNikon},
      {"", CameraVendorNikon},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.manufacturer);
    sim->setDeviceInfo(devsim::makeDeviceInfo(c.manufacturer, "Body", kStandardOps));
    EXPECT_EQ(ptpDetectVendor(), c.vendor);
    EXPECT_EQ(camGetVendor(), c.vendor);
    EXPECT_EQ(ptpStoredDeviceInfo().operationsSupported.count, kStandardOps.size());
  }
  EXPECT_EQ(ptpGetModelName(), "Body");
  EXPECT_EQ(ptpGetSerialNumber(), "SIM0001");
}

TEST_F(PtpSessionFixture, AFailedDeviceInfoKeepsThePreviousBlock) {
  deviceInfo("Canon Inc.", kStandardOps);
  // Operations count at offset 8 + description + 2: claim 321 codes.
  ByteBuffer hostile = devsim::makeDeviceInfo("Nikon", "X", std::vector<uint16_t>(321, 0x1001));
  for (const ByteBuffer& bad : {hostile, ByteBuffer{1, 2, 3}, ByteBuffer{}}) {
    sim->setDeviceInfo(bad);
    auto block = std::make_unique<PtpDeviceInfoStruct>();
    EXPECT_EQ(ptpGetDeviceInfo(block.get()), 0);
    EXPECT_EQ(ptpDetectVendor(), ERROR_DEVICE_INFO);
    EXPECT_EQ(camGetVendor(), ERROR_DEVICE_INFO);
    PtpDeviceInfoStruct kept = ptpStoredDeviceInfo();
    EXPECT_STREQ(kept.manufacturer, "Canon Inc.");
    EXPECT_EQ(kept.operationsSupported.count, kStandardOps.size());
  }
  EXPECT_EQ(ptpGetDeviceInfo(nullptr), 22);
}

TEST_F(PtpSessionFixture, OpenSessionTwiceCountsAsSuccess) {
  EXPECT_EQ(ptpOpenSession(), PTP_RC_OK);
  EXPECT_EQ(ptpOpenSession(), PTP_RC_OK);  // the simulator answers SessionAlreadyOpen
  auto cmds = sim->ptpCommands();
  ASSERT_EQ(cmds.size(), 4u);  // each: GetDeviceInfo, then OpenSession
  EXPECT_EQ(cmds[1].code, 0x1002);
  EXPECT_THAT(cmds[1].params, ElementsAre(1u));

  deviceInfo("Canon Inc.", kStandardOps);
  size_t before = codesSent().size();
  EXPECT_EQ(ptpCloseSession(), PTP_RC_OK);  // Canon: not sent
  EXPECT_EQ(codesSent().size(), before);
}

TEST_F(PtpSessionFixture, StoragesAndTheirInfo) {
  deviceInfo("Nikon Corporation", kStandardOps);
  sim->addStorage(0x00010001, kvtest::makeStorageInfo("SD card", "NIKON D850"));
  sim->addStorage(0x00020001, kvtest::makeStorageInfo("XQD", ""));
  std::vector<uint32_t> ids{42};
  ASSERT_EQ(ptpGetStorageIds(ids), PTP_RC_OK);
  EXPECT_THAT(ids, ElementsAre(0x00010001u, 0x00020001u));
  EXPECT_EQ(ptpGetStorageCount(), 2u);

  PtpStorageInfo info{};
  ASSERT_EQ(ptpGetStorageInfo(0x00010001, &info), PTP_RC_OK);
  EXPECT_EQ(info.maxCapacity, uint64_t(64) << 30);
  EXPECT_EQ(info.freeSpaceInBytes, uint64_t(10) << 30);
  EXPECT_EQ(info.freeSpaceInImages, 999u);
  EXPECT_STREQ(info.storageDescription, "SD card");
  EXPECT_STREQ(info.volumeLabel, "NIKON D850");
  EXPECT_EQ(ptpGetStorageInfo(0x00030001, &info), 0x2008);

  // A count that claims more ids than arrived is refused, nothing handed out.
  sim->setPtpHandler(0x1004, [](const devsim::Simulator::PtpCommand&) {
    ByteBuffer b;
    devsim::putU32(b, 5);
    devsim::putU32(b, 0x00010001);
    return devsim::Simulator::PtpReply{.data = b};
  });
  EXPECT_EQ(ptpGetStorageIds(ids), ERROR_BAD_REPLY);
  EXPECT_THAT(ids, IsEmpty());
  EXPECT_EQ(ptpGetStorageCount(), 1u);
  // A StorageInfo shorter than its fixed fields.
  sim->addStorage(0x00040001, ByteBuffer(25, 1));
  EXPECT_EQ(ptpGetStorageInfo(0x00040001, &info), ERROR_DATASET);

  deviceInfo("Sony Corporation", kStandardOps);
  EXPECT_EQ(ptpGetStorageCount(), 0u);
  EXPECT_EQ(ptpGetStorageInfo(0x00010001, &info), ERROR_CAMERA_NOT_SUPPORTED);
}

TEST_F(PtpSessionFixture, CanonUsesItsStorageAndObjectInfoOperationsWhenListed) {
  std::vector<uint16_t> ops = kStandardOps;
  ops.insert(ops.end(), {0x9101, 0x9170});
  deviceInfo("Canon Inc.", ops);
  sim->addStorage(1, kvtest::makeStorageInfo("CF", "EOS"));
  std::vector<uint32_t> ids;
  ASSERT_EQ(ptpGetStorageIds(ids), PTP_RC_OK);
  sim->setObjectInfo(9, kvtest::makeObjectInfo({.associationType = 775, .fileName = "IMG_9.CR3", .canonEx = true}));
  PtpObjectInfoStruct record{};
  ASSERT_EQ(ptpGetObjectInfo(9, &record), PTP_RC_OK);
  EXPECT_STREQ(record.fileName, "IMG_9.CR3");
  EXPECT_EQ(record.thumbPixWidth, 160u);
  EXPECT_EQ(record.orientation, 0);  // only Fujifilm reads AssociationType as orientation
  auto codes = codesSent();
  EXPECT_EQ(codes[codes.size() - 2], 0x9101);
  EXPECT_EQ(codes.back(), 0x9170);
}

TEST_F(PtpSessionFixture, ObjectInfoFromTheDevice) {
  deviceInfo("FUJIFILM", kStandardOps);
  sim->setObjectInfo(0x11, kvtest::makeObjectInfo({.associationType = 775, .fileName = "DSCF0001.RAF"}));
  PtpObjectInfoStruct record{};
  std::memset(record.keywords, 'k', sizeof record.keywords);
  ASSERT_EQ(ptpGetObjectInfo(0x11, &record), PTP_RC_OK);
  EXPECT_EQ(record.objectId, 0x11u);  // the handle, not the storage id
  EXPECT_EQ(record.orientation, 3);
  EXPECT_STREQ(record.fileName, "DSCF0001.RAF");
  EXPECT_EQ(record.fileNameLength, 13);
  EXPECT_EQ(record.modificationDate, 0u);
  EXPECT_STREQ(record.keywords, "");

  // Shorter than the fixed fields: refused, the caller's record untouched.
  sim->setObjectInfo(0x12, ByteBuffer(51, 0xAB));
  PtpObjectInfoStruct before = record;
  EXPECT_EQ(ptpGetObjectInfo(0x12, &record), ERROR_DATASET);
  EXPECT_EQ(std::memcmp(&before, &record, sizeof record), 0);
  EXPECT_EQ(ptpGetObjectInfo(0x13, &record), 0x2009);
  EXPECT_EQ(ptpGetObjectInfo(0x11, nullptr), ERROR_INVALID_INPUT);
}

TEST_F(PtpSessionFixture, ThumbnailsDeletionAndRanges) {
  deviceInfo("Nikon Corporation", kStandardOps);
  sim->setThumb(3, ByteBuffer{0xFF, 0xD8, 0xFF, 0xD9});
  sim->setObjectInfo(3, kvtest::makeObjectInfo({}));
  ByteBuffer data;
  ASSERT_EQ(ptpGetThumb(3, data, 0), PTP_RC_OK);
  EXPECT_EQ(data.size(), 4u);
  uint8_t small[3], big[8];
  uint32_t length = 99;
  EXPECT_EQ(ptpGetThumbToBuffer(3, small, sizeof small, length), ERROR_NO_MEMORY);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(ptpGetThumbToBuffer(3, big, sizeof big, length), PTP_RC_OK);
  EXPECT_EQ(length, 4u);
  EXPECT_EQ(ptpGetThumbToBuffer(4, big, sizeof big, length), 0x2009u);  // the code, not a length
  EXPECT_EQ(length, 0u);

  auto dir = std::filesystem::temp_directory_path() / ("kv_session_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  sim->addObject(3, ByteBuffer(1000, 7));
  ASSERT_EQ(ptpGetObjectToFile((dir / "obj").string(), 3), PTP_RC_OK);
  EXPECT_EQ(std::filesystem::file_size(dir / "obj"), 1000u);
  ASSERT_EQ(ptpGetThumbToFile((dir / "thumb").string(), 3), PTP_RC_OK);
  EXPECT_EQ(std::filesystem::file_size(dir / "thumb"), 4u);
  EXPECT_EQ(ptpGetObjectToFile((dir / "missing" / "obj").string(), 3), ERROR_GENERAL);
  std::filesystem::remove_all(dir);

  EXPECT_TRUE(ptpCanGetPartialObject());
  ASSERT_EQ(ptpGetPartialObject(3, 100, 50, data), PTP_RC_OK);
  EXPECT_EQ(data, ByteBuffer(50, 7));
  EXPECT_THAT(sim->ptpCommands().back().params, ElementsAre(3u, 100u, 50u));

  evtClearQueue();
  ASSERT_EQ(ptpDeleteObject(3, 0x3801), PTP_RC_OK);
  EXPECT_THAT(sim->ptpCommands().back().params, ElementsAre(3u, 0x3801u));
  EXPECT_EQ(evtQueueSize(), 1u);  // Nikon: ObjectRemoved queued
  PtpEventStruct e = evtPop();
  EXPECT_EQ(e.code, 0x4003);
  EXPECT_EQ(e.objectHandle, 3u);
  EXPECT_EQ(ptpDeleteObject(3, 0x3801), 0x2009);
  EXPECT_EQ(evtQueueSize(), 0u);

  deviceInfo("FUJIFILM", kStandardOps);
  sim->setObjectInfo(4, kvtest::makeObjectInfo({}));
  ASSERT_EQ(ptpDeleteObject(4, 0x3801), PTP_RC_OK);
  EXPECT_THAT(sim->ptpCommands().back().params, ElementsAre(4u));  // handle only

  deviceInfo("Sony Corporation", kStandardOps);
  size_t sent = codesSent().size();
  EXPECT_EQ(ptpDeleteObject(4, 0), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(ptpGetThumb(4, data, 0), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(codesSent().size(), sent);
}

TEST_F(PtpSessionFixture, CanonPartialObjectPicksTheListedVariant) {
  struct Case {
    std::vector<uint16_t> extra;
    uint16_t op;
    size_t params;
  } cases[] = {{{0x9172, 0x912C}, 0x9172, 4}, {{0x912C}, 0x912C, 4}, {{}, 0x101B, 3}};
  sim->addObject(8, ByteBuffer(64, 1));
  for (const Case& c : cases) {
    auto ops = kStandardOps;
    ops.insert(ops.end(), c.extra.begin(), c.extra.end());
    deviceInfo("Canon Inc.", ops);
    ByteBuffer data;
    ASSERT_EQ(ptpGetPartialObject(8, 0, 16, data), PTP_RC_OK);
    EXPECT_EQ(data.size(), 16u);
    EXPECT_EQ(sim->ptpCommands().back().code, c.op);
    EXPECT_EQ(sim->ptpCommands().back().params.size(), c.params);
  }
  camSetVendor(CameraVendorUnknown);
  ByteBuffer data;
  EXPECT_EQ(ptpGetPartialObject(8, 0, 16, data), ERROR_CAMERA_NOT_SUPPORTED);
}

TEST_F(PtpSessionFixture, CanonBusyLoopsUseTheInjectedSleep) {
  auto ops = kStandardOps;
  ops.insert(ops.end(), {0x911B, 0x911C});
  deviceInfo("Canon Inc.", ops);
  sim->setPtpHandler(0x911B, [](const devsim::Simulator::PtpCommand&) {
    return devsim::Simulator::PtpReply{.result = 0x2019};
  });
  size_t before = codesSent().size();
  naps.clear();
  EXPECT_EQ(ptpCanonOp911B(1.5), PTP_RC_DeviceBusy);
  // Three resends, each after the transaction's own retry.
  EXPECT_EQ(codesSent().size() - before, 8u);
  EXPECT_EQ(std::count(naps.begin(), naps.end(), Ms(500)), 3);

  // 911C: twenty busy tries, a 911B before the pause of every even try after the first.
  sim->setPtpHandler(0x911B, nullptr);
  sim->setPtpHandler(0x911C, [](const devsim::Simulator::PtpCommand&) {
    return devsim::Simulator::PtpReply{.result = 0x2019};
  });
  before = codesSent().size();
  EXPECT_EQ(ptpCanonOp911C(), PTP_RC_OK);
  auto codes = codesSent();
  EXPECT_EQ(std::count(codes.begin() + static_cast<ptrdiff_t>(before), codes.end(), 0x911C), 40);
  EXPECT_EQ(std::count(codes.begin() + static_cast<ptrdiff_t>(before), codes.end(), 0x911B), 9);

  // 9117 and 9132 only when listed; 9132 not when 0x9172 is.
  before = codesSent().size();
  EXPECT_EQ(ptpCanonOp9117(5), PTP_RC_OK);
  EXPECT_EQ(ptpCanonOp9132(), PTP_RC_OK);
  EXPECT_EQ(codesSent().size(), before);
  ops.insert(ops.end(), {0x9117, 0x9132});
  deviceInfo("Canon Inc.", ops);
  before = codesSent().size();
  EXPECT_EQ(ptpCanonOp9117(5), 0x2005);  // the simulator does not know them
  EXPECT_EQ(ptpCanonOp9132(), 0x2005);
  EXPECT_EQ(codesSent().size(), before + 2);
  ops.push_back(0x9172);
  deviceInfo("Canon Inc.", ops);
  before = codesSent().size();
  EXPECT_EQ(ptpCanonOp9132(), PTP_RC_OK);
  EXPECT_EQ(codesSent().size(), before);

  camSetVendor(CameraVendorNikon);
  before = codesSent().size();
  EXPECT_EQ(ptpCanonOp911B(1.5), PTP_RC_OK);  // not Canon: nothing sent
  EXPECT_EQ(codesSent().size(), before);
}

TEST_F(PtpSessionFixture, CameraSetUpRunsTheVendorHooks) {
  std::vector<std::string> calls;
  CamSessionHooks hooks;
  hooks.identifyModel = [&] {
    calls.push_back("identify");
    camSetModelIndex(230);
    return true;
  };
  hooks.vendorSetUp = [&](uint16_t vendor, uint8_t flag) {
    calls.push_back("setup " + std::to_string(vendor) + " " + std::to_string(flag));
    return PtpResponseCode(PTP_RC_OK);
  };
  hooks.isAutoFocusMode = [] { return false; };
  camSetSessionHooks(hooks);
  sim->setDeviceInfo(devsim::makeDeviceInfo("Nikon Corporation", "D850", kStandardOps));
  EXPECT_EQ(camInitCamera(1), PTP_RC_OK);
  EXPECT_THAT(calls, ElementsAre("identify", "setup 15 1"));
  EXPECT_EQ(camGetVendor(), CameraVendorNikon);
  EXPECT_EQ(camModelIndex(), 230);
  EXPECT_EQ(camGetAfState(), 1u);  // manual focus: not autofocus

  hooks.identifyModel = [] { return false; };
  camSetSessionHooks(hooks);
  EXPECT_EQ(camInitCamera(0), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(camModelIndex(), 0);

  sim->setDeviceInfo(ByteBuffer{1, 2});
  EXPECT_EQ(camInitCamera(0), ERROR_DEVICE_INFO);
  EXPECT_FALSE(camDetectModel());

  camSetSessionHooks({});  // defaults: nobody recognises the model
  sim->setDeviceInfo(devsim::makeDeviceInfo("Canon Inc.", "EOS", kStandardOps));
  EXPECT_EQ(camInitCamera(0), ERROR_CAMERA_NOT_SUPPORTED);
  EXPECT_EQ(camGetVendor(), CameraVendorCanon);
}
