// SPDX-License-Identifier: MIT
#include "platform/InterruptWatch.h"

#include <signal.h>

namespace platform {
namespace {

// A signal handler can reach nothing but a flag of this kind.
volatile sig_atomic_t interrupted = 0;

struct sigaction previousInt;
struct sigaction previousTerm;
struct sigaction previousHangUp;

void OnSignal(int number) {
  interrupted = 1;
  // A second signal finds the default action and ends the process.
  signal(number, SIG_DFL);
}

void Install(int number, struct sigaction& previous) {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(number, &action, &previous);
}

}  // namespace

InterruptWatch::InterruptWatch() {
  interrupted = 0;
  Install(SIGINT, previousInt);
  Install(SIGTERM, previousTerm);
  Install(SIGHUP, previousHangUp);
}

InterruptWatch::~InterruptWatch() {
  sigaction(SIGINT, &previousInt, nullptr);
  sigaction(SIGTERM, &previousTerm, nullptr);
  sigaction(SIGHUP, &previousHangUp, nullptr);
}

bool InterruptWatch::Interrupted() const {
  return interrupted != 0;
}

}  // namespace platform
