// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace settings {

// The program's preferences in memory, one typed record owned by the application and
// passed to whoever reads it. Every member starts at its default, so a missing key in
// plover.ini changes nothing.
struct Settings {
  // Ev_Extension
  std::string ProgramTitle = "Plover";

  // Ev_Main
  int Pausetime = 20;
  int SearchThread = 1;   // 0 highlight only, 1 unread count, 2 all counts
  bool MidokuSave = false;
  int DupAction = 0;      // 0 nothing, 1 title and link, 2 link
  int TreeOpen = 1;
  bool TreeBold = true;
  bool SearchAll = true;
  int ItemMax = 100;
  int DateMax = 60;       // -1 while loading, then 60

  // Ev_Bloglines
  bool BloglinesSync = false;
  bool BloglinesClone = false;
};

}  // namespace settings
