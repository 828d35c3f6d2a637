// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace bench {

// Items of each generated channel.
constexpr int kItemsPerChannel = 200;

// A plover.dat at a heavy user's size: `channels` channels of 200 items each in groups of
// 20, with realistic field lengths and a third of the text Japanese. The bytes are the
// same on every run.
std::string MakeDataFile(int channels);

// The number of channels to generate: PLOVER_BENCH_CHANNELS when it is set (CI runs a
// small number), else 500 (100,000 items).
int ChannelCount();

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  // The folder with a trailing "/"; empty when it could not be made.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Writes `bytes` to `fileName`; false when that failed.
bool WriteBytes(const std::string& fileName, const std::string& bytes);

}  // namespace bench
