#include "ptp/base/local_name.h"

#include <cstdint>
#include <cstdio>

namespace {

bool needsEscape(char c) { return c == '/' || c == '\0' || c == '%'; }

void appendEscaped(std::string& out, char c) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%%%02X", static_cast<unsigned char>(c));
  out += buf;
}

uint64_t fnv1a64(std::string_view s) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

// The extension kept on a cut name: the last "." and up to 8 plain characters after it.
std::string keptExtension(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || name.size() - dot > 9) return {};
  std::string ext(name.substr(dot));
  for (char c : ext)
    if (needsEscape(c)) return {};
  return ext;
}

}  // namespace

std::string localNameEscape(std::string_view part) {
  std::string out;
  out.reserve(part.size());
  for (char c : part) {
    if (needsEscape(c))
      appendEscaped(out, c);
    else
      out += c;
  }
  return out;
}

std::string localName(std::string_view deviceName) {
  if (deviceName.empty()) return "%";  // never produced by an escape, which is always %XX
  if (deviceName == ".") return "%2E";
  if (deviceName == "..") return "%2E%2E";
  std::string out;
  // A leading "." would hide the file (and covers the first temporary marker).
  if (deviceName[0] == '.' || deviceName.starts_with(kTempMarkerB)) {
    appendEscaped(out, deviceName[0]);
    out += localNameEscape(deviceName.substr(1));
  } else {
    out = localNameEscape(deviceName);
  }
  if (out.size() <= kLocalNameMax) return out;

  // Cut: escaped head, "%h", 16 hex digits of the whole name's hash, the extension.
  // Names that fit never contain "%h", so a cut name never equals one that was not cut.
  char hash[20];
  std::snprintf(hash, sizeof hash, "%%h%016llx", static_cast<unsigned long long>(fnv1a64(deviceName)));
  std::string ext = keptExtension(deviceName);
  size_t budget = kLocalNameMax - ext.size() - std::char_traits<char>::length(hash);
  std::string head;
  for (char c : deviceName) {
    const bool escape = needsEscape(c) || (head.empty() && c == '.');
    size_t add = escape ? 3 : 1;
    if (head.size() + add > budget) break;
    if (escape)
      appendEscaped(head, c);
    else
      head += c;
  }
  if (head.starts_with(kTempMarkerA) || head.starts_with(kTempMarkerB)) head[0] = '_';
  return head + hash + ext;
}
