// SPDX-License-Identifier: MIT
#pragma once

namespace fetch {

// The step of the FTP synchronisation that comes before every update run: it brings the
// subscription list in step with the server's file and may decline the run. Until the
// synchronisation is built the step has nothing to do and always lets the run go ahead.
class FtpPreRunStep {
 public:
  virtual ~FtpPreRunStep() = default;

  // False: the run does not take place.
  virtual bool PreRun() { return true; }
};

}  // namespace fetch
