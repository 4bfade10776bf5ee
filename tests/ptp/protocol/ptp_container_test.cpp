// PTP containers and the transport's three steps, over scripted callbacks.
#include <gtest/gtest.h>

#include <deque>

#include "ptp/protocol/ptp_container.h"
#include "ptp/protocol/ptp_transport.h"
#include "tools/devsim/simulator.h"

namespace {

class PtpTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ptpSetTransport(
        [this](const uint8_t* b, size_t n) {
          sent.emplace_back(b, b + n);
          return sendResult;
        },
        [this](ByteBuffer& c, void*, uint32_t*) {
          if (replies.empty()) return PtpResponseCode(ERROR_CONNECTION);
          auto [rc, bytes] = replies.front();
          replies.pop_front();
          c = bytes;
          return rc;
        });
  }
  void TearDown() override { ptpSetTransport(nullptr, nullptr); }

  void reply(ByteBuffer bytes, PtpResponseCode rc = PTP_RC_OK) { replies.emplace_back(rc, std::move(bytes)); }

  std::vector<ByteBuffer> sent;
  PtpResponseCode sendResult = PTP_RC_OK;
  std::deque<std::pair<PtpResponseCode, ByteBuffer>> replies;
};

ByteBuffer container(uint16_t type, uint16_t code, uint32_t tid, ByteBuffer payload = {}) {
  return devsim::makeContainer(type, code, tid, payload);
}

}  // namespace

TEST(PtpContainer, BuildSizes) {
  ptpSetTransactionId(0x01020304);
  uint8_t buffer[256];
  uint32_t params[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(ptpBuildContainer(0x1009, nullptr, 0, nullptr, 0, buffer, sizeof buffer), 12u);
  EXPECT_EQ(ptpBuildContainer(0x1009, params, 5, nullptr, 0, buffer, sizeof buffer), 32u);
  EXPECT_EQ(bytesGetU32(buffer + 28), 5u);
  EXPECT_EQ(ptpBuildContainer(0x1009, params, 6, nullptr, 0, buffer, sizeof buffer), 0u);
  EXPECT_EQ(ptpBuildContainer(0x1009, params, 5, nullptr, 0, buffer, 31), 0u);

  uint8_t data[100];
  for (int i = 0; i < 100; ++i) data[i] = uint8_t(i);
  ASSERT_EQ(ptpBuildContainer(0x100C, params, 2, data, 100, buffer, sizeof buffer), 20u + 112u);
  ByteBuffer expected = container(1, 0x100C, 0x01020304, {1, 0, 0, 0, 2, 0, 0, 0});
  bytesPutU32(expected.data(), 20);
  ByteBuffer dataPart = container(2, 0x100C, 0x01020304, ByteBuffer(data, data + 100));
  expected.insert(expected.end(), dataPart.begin(), dataPart.end());
  EXPECT_EQ(ByteBuffer(buffer, buffer + 132), expected);
  EXPECT_EQ(ptpBuildContainer(0x100C, params, 2, data, 100, buffer, 131), 0u);
  ptpResetTransactionId();
}

TEST_F(PtpTransportTest, TransactionIdAdvancesOnlyOnASuccessfulSend) {
  uint32_t tid = 99;
  ASSERT_EQ(ptpSendCommandNoData(0x1009, nullptr, 1, &tid), PTP_RC_OK);
  EXPECT_EQ(tid, 0u);
  EXPECT_EQ(ptpGetTransactionId(), 1u);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].size(), 16u);
  sendResult = ERROR_CONNECTION;
  EXPECT_EQ(ptpSendCommandNoData(0x1009, nullptr, 1, &tid), ERROR_CONNECTION);
  EXPECT_EQ(ptpGetTransactionId(), 1u);
  uint32_t params[6] = {};
  EXPECT_EQ(ptpSendCommandNoData(0x1009, params, 6, nullptr), ERROR_TOO_LARGE);
  ptpSetTransactionId(0xFFFFFFFF);
  sendResult = PTP_RC_OK;
  ASSERT_EQ(ptpSendCommandNoData(0x1009, nullptr, 0, &tid), PTP_RC_OK);
  EXPECT_EQ(ptpGetTransactionId(), 0u);  // wraps
  ptpSetTransport(nullptr, nullptr);
  EXPECT_EQ(ptpSendCommandNoData(0x1009, nullptr, 0, &tid), ERROR_INVALID_INPUT);
}

TEST_F(PtpTransportTest, ReadDataAndResponseTable) {
  struct Case {
    const char* name;
    std::vector<std::pair<PtpResponseCode, ByteBuffer>> replies;
    PtpResponseCode rc;
    ByteBuffer data;
    uint32_t param;
  };
  ByteBuffer longFirst = container(2, 0x1009, 0, {1, 2, 3, 4});
  bytesPutU32(longFirst.data(), 20);  // claims more than arrived
  ByteBuffer shortLength = container(2, 0x1009, 0, {1, 2, 3, 4});
  bytesPutU32(shortLength.data(), 11);
  ByteBuffer trailing = container(2, 0x1009, 0, {1, 2, 3, 4});
  bytesPutU32(trailing.data(), 14);  // the container is shorter than what arrived
  ByteBuffer responseWithParam = container(3, 0x2001, 0, {7, 0, 0, 0});
  const std::vector<Case> cases = {
      {"data then response", {{PTP_RC_OK, container(2, 0x1009, 0, {9, 8})}, {PTP_RC_OK, responseWithParam}}, PTP_RC_OK,
       {9, 8}, 7},
      {"response at once", {{PTP_RC_OK, container(3, 0x2001, 0)}}, PTP_RC_OK, {}, 0},
      {"failure at once", {{PTP_RC_OK, container(3, 0x2019, 0)}}, 0x2019, {}, 0},
      {"empty ack after data", {{PTP_RC_OK, container(2, 0x1009, 0, {5})}, {RESPONSE_EMPTY_ACK, {}}}, PTP_RC_OK, {5},
       0},
      {"data where the response belongs", {{PTP_RC_OK, container(2, 0x1009, 0, {5})}, {PTP_RC_OK, container(2, 0x1009, 0)}},
       ERROR_INVALID_TYPE, {5}, 0},
      {"command type", {{PTP_RC_OK, container(1, 0x1009, 0)}}, ERROR_INVALID_TYPE, {}, 0},
      {"length longer than what arrived", {{PTP_RC_OK, longFirst}}, ERROR_BAD_REPLY, {}, 0},
      {"length below the header", {{PTP_RC_OK, shortLength}}, ERROR_BAD_REPLY, {}, 0},
      {"shorter than a header", {{PTP_RC_OK, {1, 2, 3}}}, ERROR_BAD_REPLY, {}, 0},
      {"the container's own length counts", {{PTP_RC_OK, trailing}, {PTP_RC_OK, container(3, 0x2001, 0)}}, PTP_RC_OK,
       {1, 2}, 0},
      {"transport failure", {{ERROR_CANCELLED, {}}}, ERROR_CANCELLED, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    replies.assign(c.replies.begin(), c.replies.end());
    ByteBuffer data;
    uint32_t param = 0xDEAD;
    EXPECT_EQ(ptpReadDataAndResponse(data, nullptr, &param), c.rc);
    EXPECT_EQ(data, c.data);
    if (c.rc == PTP_RC_OK) {
      EXPECT_EQ(param, c.param);
    }
  }
}
