#pragma once
// The process-wide capture lock that serialises shutter operations across vendor modules
// (Fujifilm and Canon share it).
#include <mutex>

std::mutex& vendorCaptureMutex();
