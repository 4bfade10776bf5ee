#pragma once
// The one way a name that came from the device becomes a local file name. Ordinary names
// map to themselves; '/', NUL, '%', the names "", "." and "..", a leading "." (no hidden
// files) and names that look like our temporary files are escaped with "%XX", so two
// different device names never give the same file. Long names are cut and end in "%h" and
// a hash of the whole name, leaving room for the longest suffix the cache appends. The
// record keeps the device's own name.
#include <cstddef>
#include <string>
#include <string_view>

// Longest suffix appended to a local name (".ext.jpg" after a name ending ".ext.jpg").
constexpr size_t kLocalNameSuffixRoom = 16;
// Room for a uniqueness mark such as "_12345" inserted before the extension.
constexpr size_t kLocalNameUniqueRoom = 8;
// Longest local name: a file name is at most 255 bytes with its suffix.
constexpr size_t kLocalNameMax = 255 - kLocalNameSuffixRoom - kLocalNameUniqueRoom;

// Prefixes of the cache's temporary files; a local name never starts with one.
constexpr std::string_view kTempMarkerA = ".kvtmp.";
constexpr std::string_view kTempMarkerB = "#kvtmp.";

std::string localName(std::string_view deviceName);

// The character-wise escape alone ('%', '/', NUL), for parts such as a user's prefix.
std::string localNameEscape(std::string_view part);
