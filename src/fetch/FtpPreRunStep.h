// SPDX-License-Identifier: MIT
#pragma once

namespace fetch {

// The step of the FTP synchronisation that comes before every update run: it brings the
// subscription list in step with the server's file and may decline the run. This base
// does nothing and lets every run go ahead, which is what a run without synchronisation
// gets.
class FtpPreRunStep {
 public:
  virtual ~FtpPreRunStep() = default;

  // False: the run does not take place.
  virtual bool PreRun() { return true; }
};

}  // namespace fetch
