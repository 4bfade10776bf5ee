#pragma once
// Test hook of the cache's atomic writes: called after the temporary file is complete and
// before it is renamed into place; returning false stops there, as a crash would.
#include <functional>
#include <string>

void cacheSetBeforeRenameHook(std::function<bool(const std::string& temporaryPath)> hook);
