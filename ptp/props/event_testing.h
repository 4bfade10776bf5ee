#pragma once
// For tests only: how many poll threads are alive (started and not yet ended).
int evtLivePollThreads();
