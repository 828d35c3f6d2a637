// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/media/MediaQueue.h"
#include "platform/Process.h"
#include "settings/Settings.h"

namespace formats {

// The names the media program Podhall fixes: its program file below the program-files
// folder, its list folder below the application-data folder, the files in that folder,
// and the argument that makes it read its list.
inline constexpr std::string_view kPodhallProgram = "Podhall/Podhall.exe";
inline constexpr std::string_view kPodhallListFolder = "Varnholt/Podhall";
inline constexpr std::string_view kPodhallListFile = "Podhall.lst";
inline constexpr std::string_view kPodhallItemFile = "Podhall.itn";
inline constexpr std::string_view kPodhallSettingsFile = "Podhall.ini";
// A running Podhall holds an exclusive flock on this file in its list folder.
inline constexpr std::string_view kPodhallLockFile = "Podhall.lock";
inline constexpr std::string_view kPodhallMediaArgument = "-media";

// How often a read or write of the list file is tried before the hand-over gives up.
inline constexpr int kPodhallFileAttempts = 3;

// Passes queued enclosures to Podhall: they go into its list file, its proxy settings are
// brought up to date and, unless it is running already, it is started to fetch them.
// Nothing here waits: the attempts at the list file follow one another at once, and the
// program is started without pausing after the list was written, since it opens the list
// itself when it starts. The application owns one object, so the installation is looked
// for once per run.
class MediaHandOver {
 public:
  // Where programs are installed on this system.
  static constexpr const char* kProgramFilesFolder = "/opt";

  // `programFilesFolder` holds Podhall's own folder (/opt on this system);
  // `appDataFolder` is the user's application-data folder, or "" when there is none, in
  // which case Podhall's own folder holds the list files too.
  MediaHandOver(std::string programFilesFolder, std::string appDataFolder, platform::ProcessLauncher& launcher);

  // Whether the program file exists. Looked at on the first call only.
  bool PodhallInstalled();

  std::string ProgramPath() const;
  // The folder of Podhall's files, with a trailing "/".
  std::string ListFolder() const;

  // Does nothing unless Podhall is installed and there is something for it: queued texts,
  // or a list or item file it has not dealt with yet. Queued texts are written to (or
  // appended to) the list file, Shift_JIS with CR LF, and leave the queue only once they
  // are written; otherwise they wait for the next hand-over. When Podhall is not running,
  // its settings file receives the proxy settings and the program is started with the one
  // argument "-media". Failures are not reported.
  void HandOver(MediaQueue& queue, const settings::Settings& settings);

 private:
  bool WriteQueue(const MediaQueue& queue, const std::string& listPath);
  void WriteProxySettings(const settings::Settings& settings);

  std::string programFilesFolder_;
  std::string appDataFolder_;
  platform::ProcessLauncher& launcher_;
  std::optional<bool> installed_;
};

// The lines of a text file: CR LF, LF and CR all end a line, and a break at the very end
// starts no further line.
std::vector<std::string> SplitListLines(std::string_view content);

}  // namespace formats
