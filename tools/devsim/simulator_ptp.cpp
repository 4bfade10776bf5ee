// The device's side of the PTP session operations: DeviceInfo, the session, storages,
// object handles, object infos, thumbnails, deletion and byte ranges.
#include <algorithm>
#include <deque>

#include "ptp/base/ptp_codes.h"
#include "tools/devsim/simulator.h"

namespace devsim {

namespace {

// A long-running simulator keeps only the latest commands.
constexpr size_t kMaxRecordedCommands = 100000;

Bytes idList(const std::vector<uint32_t>& ids) {
  Bytes b;
  putU32(b, static_cast<uint32_t>(ids.size()));
  for (uint32_t id : ids) putU32(b, id);
  return b;
}
}  // namespace

Bytes makePtpString(const std::string& text) {
  if (text.empty()) return Bytes{0};
  size_t units = std::min<size_t>(text.size() + 1, 255);
  Bytes b{static_cast<uint8_t>(units)};
  for (size_t i = 0; i + 1 < units; ++i) putU16(b, static_cast<uint8_t>(text[i]));
  putU16(b, 0);
  return b;
}

Bytes makeDeviceInfo(const std::string& manufacturer, const std::string& model,
                     const std::vector<uint16_t>& operations) {
  Bytes b;
  putU16(b, 100);         // standard version 1.00
  putU32(b, 6);           // vendor extension id
  putU16(b, 100);         // vendor extension version
  Bytes desc = makePtpString("korvalume.sim: 1.0");
  b.insert(b.end(), desc.begin(), desc.end());
  putU16(b, 0);           // functional mode
  putU32(b, static_cast<uint32_t>(operations.size()));
  for (uint16_t op : operations) putU16(b, op);
  for (int list = 0; list < 4; ++list) putU32(b, 0);  // events, properties, capture and image formats
  for (const std::string& text : {manufacturer, model, std::string("1.0"), std::string("SIM0001")}) {
    Bytes s = makePtpString(text);
    b.insert(b.end(), s.begin(), s.end());
  }
  return b;
}

struct Simulator::PtpState {
  std::mutex mutex;
  std::map<uint16_t, PtpHandler> handlers;
  std::map<uint16_t, int> busy;
  Bytes deviceInfo = makeDeviceInfo("Sim Corporation", "Sim Camera", {});
  std::map<uint32_t, Bytes> storages;
  std::map<uint32_t, Bytes> objectInfos;
  std::map<uint32_t, Bytes> thumbs;
  std::deque<PtpCommand> commands;
  bool sessionOpen = false;
};

std::shared_ptr<Simulator::PtpState> Simulator::ptpState() const {
  std::lock_guard lock(mutex_);
  if (!ptp_) ptp_ = std::make_shared<PtpState>();
  return ptp_;
}

void Simulator::setPtpHandler(uint16_t code, PtpHandler handler) {
  auto s = ptpState();
  std::lock_guard lock(s->mutex);
  if (handler) {
    s->handlers[code] = std::move(handler);
  } else {
    s->handlers.erase(code);
  }
}

void Simulator::setDeviceInfo(Bytes dataset) {
  auto s = ptpState();
  std::lock_guard lock(s->mutex);
  s->deviceInfo = std::move(dataset);
}

void Simulator::addStorage(uint32_t id, Bytes storageInfo) {
  auto s = ptpState();
  std::lock_guard lock(s->mutex);
  s->storages[id] = std::move(storageInfo);
}

void Simulator::setObjectInfo(uint32_t handle, Bytes objectInfo) {
  auto s = ptpState();
  std::lock_guard lock(s->mutex);
  s->objectInfos[handle] = std::move(objectInfo);
}

void Simulator::setThumb(uint32_t handle, Bytes thumbnail) {
  auto s = ptpState();
  std::lock_guard lock(s->mutex);
  s->thumbs[handle] = std::move(thumbnail);
}

void Simulator::setPtpBusyAnswers(uint16_t code, int times) {
  auto s = ptpState();
  std::lock_guard lock(s->mutex);
  s->busy[code] = times;
}

std::vector<Simulator::PtpCommand> Simulator::ptpCommands() const {
  auto s = ptpState();
  std::lock_guard lock(s->mutex);
  return std::vector<PtpCommand>(s->commands.begin(), s->commands.end());
}

bool Simulator::handlePtpOperation(const uint8_t* c, size_t n) {
  PtpCommand cmd;
  cmd.code = getU16(c + 6);
  cmd.transactionId = getU32(c + 8);
  size_t length = std::min<size_t>(getU32(c), n);
  for (size_t at = 12; at + 4 <= length && cmd.params.size() < 5; at += 4) cmd.params.push_back(getU32(c + at));
  // A data phase travels in the same message, right after the command container.
  if (length >= 12 && n >= length + 12 && getU16(c + length + 4) == 2) {
    size_t dataLength = std::min<size_t>(getU32(c + length), n - length);
    if (dataLength >= 12) cmd.data.assign(c + length + 12, c + length + dataLength);
  }

  auto s = ptpState();
  PtpHandler handler;
  PtpReply reply;
  bool answered = true;
  {
    std::lock_guard lock(s->mutex);
    if (s->commands.size() >= kMaxRecordedCommands) s->commands.pop_front();
    s->commands.push_back(cmd);
    auto h = s->handlers.find(cmd.code);
    if (h != s->handlers.end()) handler = h->second;
    auto b = s->busy.find(cmd.code);
    if (!handler && b != s->busy.end() && b->second > 0) {
      --b->second;
      reply.result = PTP_RC_DeviceBusy;
    } else if (!handler) {
      auto param = [&](size_t i) -> std::optional<uint32_t> {
        if (i < cmd.params.size()) return cmd.params[i];
        return std::nullopt;
      };
      auto lookup = [&](const std::map<uint32_t, Bytes>& m, uint16_t missing) {
        auto p = param(0);
        if (!p) return void(reply.result = PTP_RC_InvalidParameter);
        auto it = m.find(*p);
        if (it == m.end()) return void(reply.result = missing);
        reply.data = it->second;
      };
      auto handles = [&] {
        std::vector<uint32_t> ids;
        for (auto& [h, _] : s->objectInfos) ids.push_back(h);
        return ids;
      };
      switch (cmd.code) {
        case PTP_OC_GetDeviceInfo:
          reply.data = s->deviceInfo;
          break;
        case PTP_OC_OpenSession:
          reply.result = s->sessionOpen ? PTP_RC_SessionAlreadyOpen : PTP_RC_OK;
          s->sessionOpen = true;
          break;
        case PTP_OC_CloseSession:
          s->sessionOpen = false;
          break;
        case PTP_OC_GetStorageIDs:
        case PTP_OC_CANON_GetStorageIDs: {
          std::vector<uint32_t> ids;
          for (auto& [id, _] : s->storages) ids.push_back(id);
          reply.data = idList(ids);
          break;
        }
        case PTP_OC_GetStorageInfo:
          lookup(s->storages, PTP_RC_InvalidStorageID);
          break;
        case PTP_OC_GetNumObjects:
          reply.params.push_back(static_cast<uint32_t>(s->objectInfos.size()));
          break;
        case PTP_OC_GetObjectHandles:
          reply.data = idList(handles());
          break;
        case PTP_OC_GetObjectInfo:
        case PTP_OC_CANON_GetObjectInfoEx:
          lookup(s->objectInfos, PTP_RC_InvalidObjectHandle);
          break;
        case PTP_OC_GetThumb:
          lookup(s->thumbs, PTP_RC_InvalidObjectHandle);
          break;
        case PTP_OC_DeleteObject: {
          auto p = param(0);
          if (!p || !s->objectInfos.erase(*p)) reply.result = PTP_RC_InvalidObjectHandle;
          s->thumbs.erase(p.value_or(0));
          break;
        }
        case PTP_OC_GetPartialObject:
        case PTP_OC_CANON_GetPartialObject:
        case PTP_OC_CANON_GetPartialObjectEx:
          answered = false;  // needs the objects, answered below
          break;
        default:
          answered = false;
          break;
      }
    }
  }
  if (!handler && !answered) {
    if (cmd.code != PTP_OC_GetPartialObject && cmd.code != PTP_OC_CANON_GetPartialObject &&
        cmd.code != PTP_OC_CANON_GetPartialObjectEx) {
      return false;  // GetObject and the unknown: handlePtp answers
    }
    if (cmd.params.size() < 3) {
      reply.result = PTP_RC_InvalidParameter;
    } else {
      std::optional<Bytes> object;
      {
        std::lock_guard lock(mutex_);
        auto it = objects_.find(cmd.params[0]);
        if (it != objects_.end()) object = it->second;
      }
      std::optional<Bytes> part = object ? range(*object, cmd.params[1], cmd.params[2]) : std::nullopt;
      if (!object) {
        reply.result = PTP_RC_InvalidObjectHandle;
      } else if (!part) {
        reply.result = PTP_RC_InvalidParameter;
      } else {
        reply.data = std::move(part);
      }
    }
  }
  if (handler) reply = handler(cmd);

  Bytes response;
  for (uint32_t p : reply.params) putU32(response, p);
  std::lock_guard w(writeMutex_);
  if (reply.data) {
    Bytes data = makeFrame(10, makeContainer(2, cmd.code, cmd.transactionId, *reply.data));
    sendLocked(data.data(), data.size());
  }
  Bytes frame = makeFrame(10, makeContainer(3, reply.result, cmd.transactionId, response));
  sendLocked(frame.data(), frame.size());
  return true;
}

}  // namespace devsim
