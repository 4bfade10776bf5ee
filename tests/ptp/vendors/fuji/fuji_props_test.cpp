// Fujifilm property reads and writes against a simulated body: table set-up, the vendor
// setter, text properties, host mode, refreshes with their events, and the image format.
#include "tests/ptp/vendors/fuji/fuji_fixture.h"

using kvtest::FakeProperty;

namespace {
devsim::Bytes le(std::initializer_list<int> v) { return bytesOf(v); }

struct FujiProps : FujiSessionFixture {
  // A small body: quality, size (text), compression, exposure program and three exposure
  // records, the media switch and an AF pseudo-property's neighbour.
  void smallBody() {
    body.set(0xD018, {PTP_DTC_UINT16, 1, 2, "", {1, 2, 3, 4, 5, 6, 7}, {}});
    body.set(0x5003, {PTP_DTC_STR, 1, 0, "6000x4000", {}, {"6000x4000", "4000x2664", "3008x2000"}});
    body.set(0xD022, {PTP_DTC_UINT16, 1, 1, "", {1, 2}, {}});
    body.set(0x500E, {PTP_DTC_UINT16, 1, 6, "", {1, 3, 4, 6}, {}});
    body.set(0x5007, {PTP_DTC_UINT16, 1, 560, "", {}, {}});
    body.set(0x500D, {PTP_DTC_UINT32, 1, 64, "", {}, {}});
    body.set(0x5010, {PTP_DTC_INT16, 1, 0, "", {0xFC18, 0, 0x03E8}, {}});
    body.set(0xD20C, {PTP_DTC_UINT16, 1, 3, "", {1, 2, 3, 4}, {}});
    body.set(0xD38D, {PTP_DTC_STR, 0, 0, "280,400,560,800", {}, {}});
    body.set(0xD38C, {PTP_DTC_UINT16, 1, 0, "", {}, {}});
    body.set(0xD201, {PTP_DTC_UINT16, 1, 4, "", {}, {}});
  }
};
}  // namespace

TEST_F(FujiProps, SetUpTracksWhatTheBodyDescribes) {
  smallBody();
  ASSERT_EQ(fujiInitCamera(), PTP_RC_OK);
  // Tracked and described: in order; pseudo-codes always; codes the body refused left out.
  std::vector<uint32_t> codes;
  for (uint16_t i = 0; i < propCount(); ++i) codes.push_back(propAt(i)->code);
  EXPECT_EQ(codes, (std::vector<uint32_t>{0x5003, 0x5007, 0x500D, 0x500E, 0x5010, 0xD018, 0xD20C, 0xD022, 0xD38D,
                                          0xEEE0, 0xEEE1, 0xEEE2, 0xEEE3, 0xD201}));
  auto size = propCopy(0x5003);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->value, 15u);  // by name
  ASSERT_EQ(size->count, 3u);
  EXPECT_EQ(size->values[1].value, 18u);
  EXPECT_STREQ(size->label, "Image Size");
  auto frame = propCopy(0xEEE2);
  EXPECT_EQ(frame->datatype, PTP_DTC_INT32);
  EXPECT_STREQ(frame->label, "Custom - Focus Width");
  EXPECT_STREQ(propCopy(0x5007)->text, "5.6");
  // Recording to the card was switched on and waited for.
  EXPECT_EQ(valueOf(0xD20C), 1u);
  ASSERT_FALSE(body.written().empty());
  EXPECT_EQ(body.written().back().code, 0xD20Cu);
  EXPECT_EQ(body.written().back().data, le({1, 0}));

  // A refused switch changes nothing of the answer.
  body.setResult = 0x2002;
  EXPECT_EQ(fujiInitCamera(), PTP_RC_OK);
}

TEST_F(FujiProps, SetterSendsTheRecordsSize) {
  smallBody();
  track(0x5010);
  track(0x500D);
  struct Case {
    uint32_t code;
    uint32_t value;
    devsim::Bytes sent;
  } cases[] = {
      {0x5010, 0xFFFFFC18, le({0x18, 0xFC})},              // INT16: two bytes
      {0x500D, 0x12345678, le({0x78, 0x56, 0x34, 0x12})},  // UINT32
      {0xD171, 0xFFF6, le({0xF6, 0xFF, 0, 0})},            // untracked: label row, datatype 0 -> 4 bytes
  };
  for (const Case& c : cases) {
    body.clearWrites();
    ASSERT_EQ(fujiSetPropertyValue(c.code, c.value), PTP_RC_OK) << std::hex << c.code;
    ASSERT_EQ(body.written().size(), 1u);
    EXPECT_EQ(body.written()[0].code, c.code);
    EXPECT_EQ(body.written()[0].data, c.sent) << std::hex << c.code;
  }
  body.clearWrites();
  // Unknown everywhere: refused before sending. A text cannot travel in a number.
  EXPECT_EQ(fujiSetPropertyValue(0xD999, 1), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(fujiSetPropertyValue(0xD36D, 1), ERROR_INVALID_INPUT);
  EXPECT_TRUE(body.written().empty());
  // The body's refusal passes through.
  body.setResult = 0x2005;
  EXPECT_EQ(fujiSetPropertyValue(0x500D, 1), 0x2005);
}

TEST_F(FujiProps, TextPropertiesTravelAsPtpStrings) {
  smallBody();
  body.set(0xD100, {PTP_DTC_STR, 1, 0, "", {}, {}});
  track(0xD100);
  ASSERT_EQ(fujiSetUserComment("Hi"), PTP_RC_OK);
  ASSERT_EQ(body.written().size(), 1u);
  EXPECT_EQ(body.written()[0].data, le({3, 'H', 0, 'i', 0, 0, 0}));
  std::string longest(kFujiMaxStringLength, 'x');
  ASSERT_EQ(fujiSetUserComment(longest.c_str()), PTP_RC_OK);
  EXPECT_EQ(body.written()[1].data.size(), 2 * longest.size() + 3);
  EXPECT_EQ(body.written()[1].data[0], 255);
  // Refused before sending: a count byte that would wrap, empty texts, untracked codes.
  std::string tooLong(kFujiMaxStringLength + 1, 'x');
  EXPECT_EQ(fujiSetUserComment(tooLong.c_str()), ERROR_INVALID_INPUT);
  EXPECT_EQ(fujiSetUserComment(""), ERROR_INVALID_INPUT);
  EXPECT_EQ(fujiSetUserComment(nullptr), ERROR_INVALID_INPUT);
  EXPECT_EQ(fujiSetStringProperty(0x5003, "6000x4000"), PTP_ERROR_UNSUPPORTED_COMMAND);
  EXPECT_EQ(body.written().size(), 2u);
}

TEST_F(FujiProps, LiveViewIsStoppedForASetAndStartedAgain) {
  smallBody();
  track(0x500D);
  int stops = 0;
  fujiSetLiveViewStopCallback([&] {
    ++stops;
    return PTP_RC_OK;
  });
  sim->setPtpHandler(0x101C, [](const devsim::Simulator::PtpCommand&) { return devsim::Simulator::PtpReply{}; });
  ASSERT_EQ(camSetLiveView(1), PTP_RC_OK);
  EXPECT_TRUE(fujiState().liveViewOn);

  ASSERT_EQ(camSetPropertyValue(0x500D, 5, false), PTP_RC_OK);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(commandsOf(0x101C), 2u);  // started again after the set
  EXPECT_TRUE(fujiState().liveViewOn);
  EXPECT_FALSE(fujiState().liveViewStopped);

  // Bodies that set properties during live view are left alone.
  camSetModelIndex(36);
  ASSERT_EQ(camSetPropertyValue(0x500D, 6, false), PTP_RC_OK);
  EXPECT_EQ(stops, 1);

  // Without a stop callback the set is refused and nothing is written.
  camSetModelIndex(22);
  fujiSetLiveViewStopCallback(nullptr);
  body.clearWrites();
  EXPECT_EQ(camSetPropertyValue(0x500D, 7, false), ERROR_GENERAL);
  EXPECT_TRUE(body.written().empty());
}

TEST_F(FujiProps, ZoomedLiveViewStopsForASetWithoutLoopingBack) {
  body.set(0xD01B, {PTP_DTC_UINT16, 1, 2, "", {1, 2, 3}, {}});
  body.set(0x500D, {PTP_DTC_UINT32, 1, 64, "", {}, {}});
  track(0xD01B);
  track(0x500D);
  int stops = 0;
  fujiSetLiveViewStopCallback([&] {
    ++stops;
    return PTP_RC_OK;
  });
  fujiState().liveViewOn = true;
  // The set stops live view once; the zoom reset that a plain stop makes is not re-entered.
  ASSERT_EQ(fujiSetPropertyValue(0x500D, 5), PTP_RC_OK);
  EXPECT_EQ(stops, 1);
  ASSERT_EQ(body.written().size(), 1u);
  EXPECT_EQ(body.written()[0].code, 0x500Du);
  EXPECT_TRUE(fujiTakeLiveViewStoppedForSet());
  EXPECT_FALSE(fujiTakeLiveViewStoppedForSet());

  // A plain stop while zoomed puts the zoom back to x1.0 first.
  fujiState().liveViewOn = true;
  body.clearWrites();
  ASSERT_EQ(fujiSetLiveView(false), PTP_RC_OK);
  ASSERT_FALSE(body.written().empty());
  EXPECT_EQ(body.written()[0].code, 0xD01Bu);
  EXPECT_EQ(body.written()[0].data, le({1, 0}));
  EXPECT_FALSE(fujiState().liveViewOn);
}

TEST_F(FujiProps, HostModeAndSettableFlagsFollowTheProgram) {
  smallBody();
  for (uint32_t c : {0x500Eu, 0x5007u, 0x500Du, 0x5010u}) track(c);
  body.set(0xD207, {PTP_DTC_UINT16, 1, 1, "", {1, 2}, {}});
  track(0xD207);
  evtClearQueue();
  // Outside host mode nothing is settable.
  ASSERT_TRUE(fujiRefreshProperty(0x500D));
  EXPECT_EQ(propCopy(0x500D)->getSet, 0);
  evtClearQueue();

  ASSERT_EQ(fujiSetHostMode(true), PTP_RC_OK);
  EXPECT_TRUE(fujiIsHostMode());
  EXPECT_EQ(valueOf(0xD207), 2u);
  // Program P (6): compensation only.
  EXPECT_EQ(propCopy(0x5010)->getSet, 1);
  EXPECT_EQ(propCopy(0x5007)->getSet, 0);
  EXPECT_EQ(propCopy(0x500D)->getSet, 0);
  EXPECT_FALSE(queuedCodes().empty());

  // The body switches to M: the refresh of the program re-flags its three dependants.
  body.setValue(0x500E, 1);
  ASSERT_TRUE(fujiRefreshProperty(0x500E));
  EXPECT_EQ(propCopy(0x5007)->getSet, 1);
  EXPECT_EQ(propCopy(0x500D)->getSet, 1);
  EXPECT_EQ(propCopy(0x5010)->getSet, 0);
  EXPECT_EQ(queuedCodes(), (std::vector<uint32_t>{0x5007, 0x500D, 0x5010, 0x500E}));

  // The aperture refresh reloads the lens's stops.
  ASSERT_TRUE(fujiRefreshProperty(0x5007));
  auto aperture = propCopy(0x5007);
  ASSERT_EQ(aperture->count, 4u);
  EXPECT_EQ(aperture->values[3].value, 800u);
  EXPECT_STREQ(aperture->values[0].text, "2.8");

  EXPECT_FALSE(fujiRefreshProperty(0xD999));
  ASSERT_EQ(fujiSetHostMode(false), PTP_RC_OK);
  EXPECT_FALSE(fujiIsHostMode());
  body.setResult = 0x2002;
  EXPECT_EQ(fujiSetHostMode(true), 0x2002);
  EXPECT_FALSE(fujiIsHostMode());
}

TEST_F(FujiProps, RefreshAllSkipsTheAfFramePseudoProperties) {
  smallBody();
  ASSERT_EQ(fujiInitCamera(), PTP_RC_OK);
  body.setValue(0xD201, 8);  // after the pseudo-codes in table order
  EXPECT_EQ(fujiRefreshAllProperties(), PTP_RC_OK);
  EXPECT_EQ(valueOf(0xD201), 8u);
  // A record the body stops describing fails the pass.
  body.props.erase(0x5007);
  EXPECT_EQ(fujiRefreshAllProperties(), ERROR_GENERAL);
}

TEST_F(FujiProps, ValuesReadWaitedForAndStored) {
  smallBody();
  track(0xD018);
  track(0x5003);
  body.setValue(0xD018, 6);
  ASSERT_TRUE(fujiRefreshValue(0xD018));
  EXPECT_EQ(valueOf(0xD018), 6u);
  EXPECT_FALSE(fujiRefreshValue(0xD999));

  // The wait reads until the body reports the value, at most ten times.
  naps.clear();
  EXPECT_TRUE(fujiWaitPropertyValue(0xD018, 6));
  EXPECT_TRUE(naps.empty());
  EXPECT_FALSE(fujiWaitPropertyValue(0xD018, 7));
  EXPECT_EQ(naps.size(), 10u);

  // Stored values: integers take the reported value and text, strings are re-read.
  PropertyStruct* r = fujiStorePropertyValue(0xD018, 4, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(valueOf(0xD018), 4u);
  EXPECT_STREQ(propCopy(0xD018)->text, "RAW + JPG Fine");
  EXPECT_EQ(propCopy(0xD018)->getSet, 0);  // not in host mode
  fujiState().hostMode = true;
  fujiStorePropertyValue(0xD018, 4, 1);
  EXPECT_EQ(propCopy(0xD018)->getSet, 1);
  body.setText(0x5003, "3008x2000");
  fujiStorePropertyValue(0x5003, 12345, 1);
  EXPECT_EQ(valueOf(0x5003), 9u);
  EXPECT_EQ(fujiStorePropertyValue(0xD999, 1, 1), nullptr);

  // Raw values of several codes in one buffer, up to the first failure.
  std::vector<uint8_t> data;
  const uint32_t codes[] = {0xD018, 0x5003, 0xD999};
  EXPECT_EQ(fujiGetPropertyValues(codes, data), PTP_ERROR_UNSUPPORTED_COMMAND);
  std::vector<uint8_t> want{0x18, 0xD0, 0, 0, 2, 0, 0, 0, 6, 0, 0x03, 0x50, 0, 0, 21, 0, 0, 0, 10};
  for (char c : std::string("3008x2000")) {
    want.push_back(static_cast<uint8_t>(c));
    want.push_back(0);
  }
  want.push_back(0);
  want.push_back(0);
  EXPECT_EQ(data, want);
}

TEST_F(FujiProps, ImageFormatWrittenBackPartByPart) {
  smallBody();
  ASSERT_EQ(fujiInitCamera(), PTP_RC_OK);
  body.clearWrites();
  // JPEG Fine at 6000x4000 is what the body has: nothing is written.
  ASSERT_EQ(fujiSetImageFormat(-1, 0x0F02), PTP_RC_OK);
  EXPECT_TRUE(body.written().empty());

  // RAW (compressed) + Normal at 3008x2000.
  ASSERT_EQ(fujiSetImageFormat(0x02010000, 0x0903), PTP_RC_OK);
  auto w = body.written();
  ASSERT_EQ(w.size(), 3u);
  EXPECT_EQ(w[0].code, 0xD018u);
  EXPECT_EQ(w[0].data, le({5, 0}));
  EXPECT_EQ(w[1].code, 0xD022u);
  EXPECT_EQ(w[1].data, le({2, 0}));
  EXPECT_EQ(w[2].code, 0x5003u);
  EXPECT_EQ(w[2].data, devsim::makePtpString("3008x2000"));

  // RAW only; then a size without a name.
  body.clearWrites();
  ASSERT_EQ(fujiSetImageFormat(0x02010000, -1), PTP_RC_OK);
  EXPECT_EQ(body.written().size(), 1u);
  EXPECT_EQ(valueOf(0xD018), 1u);
  EXPECT_EQ(fujiSetImageFormat(-1, 0x4602), ERROR_GENERAL);
  EXPECT_EQ(fujiSetImageFormat(-1, -1), ERROR_GENERAL);
}

TEST_F(FujiProps, PtpErrorStatusIsTakenAndCleared) {
  uint16_t status = 1;
  EXPECT_EQ(fujiTakePtpErrorStatus(status), ERROR_BAD_REPLY);
  body.set(0xD21C, {PTP_DTC_UINT32, 1, 0x12342019, "", {}, {}});
  track(0xD21C);
  ASSERT_EQ(fujiTakePtpErrorStatus(status), PTP_RC_OK);
  EXPECT_EQ(status, 0x2019);
  EXPECT_EQ(body.props[0xD21C].value, 0u);
}
