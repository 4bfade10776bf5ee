#pragma once
// The test build's network guard. Every test program is linked so that our code's
// connect, sendto and sendmsg (and the DNS-SD browse and resolve) go through the guard
// first: a destination outside the loopback is allowed only from inside a network namespace
// that the test made; anywhere else the program aborts before the call, so no packet leaves
// the machine. Product code is untouched: the switch is in the test programs' link.
#include <cstddef>
#include <cstdint>

namespace kvtest {

// The network namespace the test run started in. A copy of the program that a test re-ran
// inside a namespace of its own inherits its parent's through KV_TEST_ORIGIN_NETNS.
uint64_t originNetns();
// The namespace of the calling thread.
uint64_t currentNetns();
// True when the calling thread is in a namespace other than the one the run started in.
bool inTestNamespace();
// How many calls to a non-loopback destination the guard let through (from inside a test
// namespace).
size_t nonLoopbackCalls();
// False in a build without the guard (KV_TEST_NET_GUARD off).
bool netGuardEnabled();

}  // namespace kvtest
