// Which saved files an entry owns, on disk beside its record. A saved name made unique
// ("IMG_1_2.JPG") or a file under the entry's name that belongs to an older object is
// known only here after a restart; without it the entry would take the older file for its
// own. One line per download-folder companion:
//   owned <kind> <name>     the entry wrote that file (name escaped: '%' and newline)
//   foreign <kind>          the file under the entry's own name is another object's
// A companion not listed is unknown: it may be read by name, never replaced or removed.

#include <string>
#include <string_view>

#include "ptp/base/local_name.h"
#include "ptp/cache/cache_state.h"

namespace {

struct Kind {
  Companion companion;
  std::string_view word;
};
constexpr Kind kKinds[] = {
    {Companion::Object, "object"}, {Companion::ModJpeg, "modjpeg"}, {Companion::ExtJpeg, "extjpeg"}};

std::string escape(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c == '%') out += "%25";
    else if (c == '\n') out += "%0A";
    else out += c;
  }
  return out;
}

std::optional<std::string> unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    std::string_view code = text.substr(i + 1, 2);
    if (code == "25") out += '%';
    else if (code == "0A") out += '\n';
    else return std::nullopt;
    i += 2;
  }
  return out;
}

// A saved name read back from disk must name a plain file right inside the folder.
bool plainFileName(const std::string& name) {
  return !name.empty() && name.size() <= 255 && name != "." && name != ".." &&
         name.find('/') == std::string::npos && name.find('\0') == std::string::npos && !cacheIsTempName(name);
}

std::string baseName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> readSmallFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!cacheReadRegularFile(path, kIdentityFileMax, false, bytes)) return std::nullopt;  // larger: not one we wrote
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::string identityPath(const CacheEntry& e) {
  return cacheJoin(cacheState().cacheFolder, e.local + std::string(kIdentitySuffix));
}

bool cacheWriteIdentity(const CacheEntry& e, const std::optional<std::pair<Companion, std::string>>& pending) {
  std::string text;
  for (const Kind& k : kKinds) {
    const size_t i = size_t(k.companion);
    if (pending && pending->first == k.companion)
      text += "owned " + std::string(k.word) + " " + escape(baseName(pending->second)) + "\n";
    else if (e.owned[i] && e.paths[i])
      text += "owned " + std::string(k.word) + " " + escape(baseName(*e.paths[i])) + "\n";
    else if (e.foreign[i])
      text += "foreign " + std::string(k.word) + "\n";
  }
  return cacheAtomicWrite(identityPath(e), std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                          false);
}

void cacheReadIdentity(CacheEntry& e) {
  auto text = readSmallFile(identityPath(e));
  if (!text) return;
  std::string_view rest = *text;
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    if (end == std::string_view::npos) break;  // a cut last line is not trusted
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    size_t space = line.find(' ');
    if (space == std::string_view::npos) continue;
    std::string_view state = line.substr(0, space), tail = line.substr(space + 1);
    size_t nameAt = tail.find(' ');
    std::string_view word = tail.substr(0, nameAt);
    for (const Kind& k : kKinds) {
      if (word != k.word) continue;
      const size_t i = size_t(k.companion);
      if (state == "foreign" && nameAt == std::string_view::npos) {
        e.foreign[i] = true;
      } else if (state == "owned" && nameAt != std::string_view::npos) {
        auto name = unescape(tail.substr(nameAt + 1));
        if (!name || !plainFileName(*name)) break;
        e.paths[i] = cacheJoin(cacheDownloadFolderOrCache(), *name);
        e.owned[i] = true;
        e.foreign[i] = false;
      }
      break;
    }
  }
}
