// The device's side of the command table and of PTP GetObject: what every opcode takes
// and answers, with content set by addObject and addFile.
#include <cstring>

#include "ptp/base/ptp_codes.h"
#include "tools/devsim/simulator.h"

namespace devsim {

namespace {
constexpr uint8_t kGetObjectBusyKey = 0;

Bytes filled(size_t n, uint8_t first) {
  Bytes b(n, 0);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(first + i);
  return b;
}

std::string nameAt(const Bytes& p, size_t at) {
  if (at >= p.size()) return {};
  size_t len = ::strnlen(reinterpret_cast<const char*>(p.data() + at), p.size() - at);
  return std::string(reinterpret_cast<const char*>(p.data() + at), len);
}
}  // namespace

Bytes makeContainer(uint16_t type, uint16_t code, uint32_t transactionId, std::span<const uint8_t> payload) {
  Bytes c;
  putU32(c, static_cast<uint32_t>(payload.size() + 12));
  putU16(c, type);
  putU16(c, code);
  putU32(c, transactionId);
  c.insert(c.end(), payload.begin(), payload.end());
  return c;
}

void Simulator::addObject(uint32_t handle, Bytes bytes) {
  std::lock_guard lock(mutex_);
  objects_[handle] = std::move(bytes);
}

void Simulator::addFile(const std::string& name, Bytes bytes, Bytes thumbnail) {
  std::lock_guard lock(mutex_);
  files_[name] = {std::move(bytes), std::move(thumbnail)};
}

void Simulator::setBusyAnswers(uint8_t opcode, int times) {
  std::lock_guard lock(mutex_);
  busy_[opcode] = times;
}

void Simulator::setRangeReplyLimit(uint32_t bytes) {
  std::lock_guard lock(mutex_);
  rangeReplyLimit_ = bytes;
}

bool Simulator::takeBusy(uint8_t opcode) {
  std::lock_guard lock(mutex_);
  auto it = busy_.find(opcode);
  if (it == busy_.end() || it->second <= 0) return false;
  --it->second;
  return true;
}

std::optional<Bytes> Simulator::range(const Bytes& object, uint32_t offset, uint32_t length) {
  if (offset > object.size()) return std::nullopt;
  uint64_t end = std::min<uint64_t>(uint64_t(offset) + length, object.size());
  uint32_t limit;
  {
    std::lock_guard lock(mutex_);
    limit = rangeReplyLimit_;
  }
  if (limit && end - offset > limit) end = offset + limit;
  return Bytes(object.begin() + offset, object.begin() + static_cast<ptrdiff_t>(end));
}

bool Simulator::pushPtp(uint16_t type, uint16_t code, const Bytes& payload, std::optional<uint32_t> transactionId) {
  uint32_t tid = transactionId ? *transactionId : pushTransactionId_++;
  return sendFrame(10, makeContainer(type, code, tid, payload));
}

bool Simulator::pushControl(uint8_t opcode, const Bytes& payload) {
  return send(makeControlRequest(opcode, payload));
}

void Simulator::handlePtp(const uint8_t* c, size_t n) {
  if (n < 12) return;
  uint16_t type = getU16(c + 4), code = getU16(c + 6);
  uint32_t tid = getU32(c + 8);
  if (type != 1) return;
  if (handlePtpOperation(c, n)) return;
  auto respond = [&](uint16_t result) { sendFrame(10, makeContainer(3, result, tid, {})); };
  if (code != PTP_OC_GetObject) {
    respond(PTP_RC_OperationNotSupported);
    return;
  }
  if (n < 16) {
    respond(PTP_RC_InvalidParameter);
    return;
  }
  if (takeBusy(kGetObjectBusyKey)) {
    respond(PTP_RC_DeviceBusy);
    return;
  }
  Bytes object;
  bool known = false;
  {
    std::lock_guard lock(mutex_);
    auto it = objects_.find(getU32(c + 12));
    if (it != objects_.end()) {
      object = it->second;
      known = true;
    }
  }
  if (!known) {
    respond(PTP_RC_InvalidObjectHandle);
    return;
  }
  std::lock_guard w(writeMutex_);
  Bytes data = makeFrame(10, makeContainer(2, code, tid, object));
  Bytes response = makeFrame(10, makeContainer(3, PTP_RC_OK, tid, {}));
  sendLocked(data.data(), data.size());
  sendLocked(response.data(), response.size());
}

void Simulator::installDeviceCommands() {
  auto& h = controlHandlers_;
  auto fixed = [](Bytes payload) {
    return [payload](const ControlRequest&) { return ControlReply{.payload = payload}; };
  };
  // Queries answered with a reply of their documented size.
  h[16] = fixed(Bytes{1});
  h[32] = fixed(filled(8, 32));
  h[48] = fixed(Bytes{7});
  h[49] = fixed(Bytes{0, 0, 0x20, 0x40});  // 2.5f
  h[130] = fixed(Bytes{});
  h[134] = fixed(Bytes{0x34, 0x12});
  h[135] = fixed(filled(44, 1));
  h[136] = fixed(filled(64, 0x36));
  h[144] = fixed(filled(4, 144));
  h[209] = fixed(Bytes{9});
  h[215] = fixed(filled(300, 0));
  h[226] = fixed(Bytes{26});
  h[227] = fixed(Bytes{6});
  h[228] = fixed(filled(4, 228));
  h[230] = fixed(Bytes{30});
  h[235] = fixed(filled(16, 235));
  h[240] = fixed(filled(4, 240));
  h[245] = fixed(filled(16, 1));
  h[246] = fixed(filled(4, 246));
  h[255] = fixed(Bytes{55});
  // Settings and commands: no reply payload.
  for (uint8_t op : {112, 128, 129, 178, 208, 210, 211, 213, 214, 224, 225, 229, 231, 233, 234, 244, 247, 252, 253})
    h[op] = fixed(Bytes{});

  auto busyOr = [this](uint8_t op, std::function<ControlReply(const ControlRequest&)> f) {
    return [this, op, f](const ControlRequest& r) {
      if (takeBusy(op)) return ControlReply{.result = PTP_RC_DeviceBusy};
      return f(r);
    };
  };
  auto notFound = ControlReply{.result = PTP_RC_InvalidObjectHandle};
  auto bad = ControlReply{.result = PTP_RC_InvalidParameter};

  // 65: {u32 handle, u32 offset, u32 length}
  h[65] = busyOr(65, [this, notFound, bad](const ControlRequest& r) {
    if (r.payload.size() < 12) return bad;
    Bytes object;
    {
      std::lock_guard lock(mutex_);
      auto it = objects_.find(getU32(r.payload.data()));
      if (it == objects_.end()) return notFound;
      object = it->second;
    }
    auto part = range(object, getU32(r.payload.data() + 4), getU32(r.payload.data() + 8));
    return part ? ControlReply{.payload = *part} : bad;
  });
  // 248: {u32 offset, u32 length, name}
  h[248] = busyOr(248, [this, notFound, bad](const ControlRequest& r) {
    if (r.payload.size() < 9) return bad;
    Bytes file;
    {
      std::lock_guard lock(mutex_);
      auto it = files_.find(nameAt(r.payload, 8));
      if (it == files_.end()) return notFound;
      file = it->second.first;
    }
    auto part = range(file, getU32(r.payload.data()), getU32(r.payload.data() + 4));
    return part ? ControlReply{.payload = *part} : bad;
  });
  // 243: name -> u64 size
  h[243] = busyOr(243, [this, notFound](const ControlRequest& r) {
    std::lock_guard lock(mutex_);
    auto it = files_.find(nameAt(r.payload, 0));
    if (it == files_.end()) return notFound;
    Bytes size;
    putU32(size, static_cast<uint32_t>(it->second.first.size()));
    putU32(size, static_cast<uint32_t>(uint64_t(it->second.first.size()) >> 32));
    return ControlReply{.payload = size};
  });
  // 242: name -> orientation byte and thumbnail; 249: name -> embedded JPEG.
  h[242] = busyOr(242, [this, notFound](const ControlRequest& r) {
    std::lock_guard lock(mutex_);
    auto it = files_.find(nameAt(r.payload, 0));
    if (it == files_.end()) return notFound;
    return ControlReply{.payload = it->second.second};
  });
  h[249] = busyOr(249, [this, notFound](const ControlRequest& r) {
    std::lock_guard lock(mutex_);
    auto it = files_.find(nameAt(r.payload, 0));
    if (it == files_.end()) return notFound;
    return ControlReply{.payload = it->second.first};
  });
  // 177: u32 handle -> embedded JPEG (the object's bytes).
  h[177] = busyOr(177, [this, notFound, bad](const ControlRequest& r) {
    if (r.payload.size() < 4) return bad;
    std::lock_guard lock(mutex_);
    auto it = objects_.find(getU32(r.payload.data()));
    if (it == objects_.end()) return notFound;
    return ControlReply{.payload = it->second};
  });
}

}  // namespace devsim
