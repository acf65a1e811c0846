#include "util/stop_signals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t stopFlag = 0;

void onStopSignal(int) { requestStop(); }

}  // namespace

void catchStopSignals() {
  struct sigaction action = {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void requestStop() { stopFlag = 1; }

bool stopSignalled() { return stopFlag != 0; }
