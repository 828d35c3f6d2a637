// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace app {

// Where a built-in file goes.
enum class ResourceFolder {
  kProgram,     // the program folder
  kDataSystem,  // the "system" folder inside the data folder
  kData,        // the data folder itself
};

// One built-in file: its resource name, the embedded file that holds it, and its place.
struct ResourceEntry {
  const char* resource;  // like "XMLPNG"
  const char* fileName;  // the embedded file and the name it is written under
  ResourceFolder folder;
  bool neverReplace;  // written only when missing, even when an update asks for all files
};

// The table of built-in files, in the order they are written.
std::span<const ResourceEntry> BuiltInFiles();

// The full path a built-in file is written to.
std::string ResourcePath(const ResourceEntry& entry, const std::string& programFolder, const std::string& dataFolder);

// Writes every built-in file; with `overwrite` existing files are replaced too, except
// the initial settings file, which is only ever written when missing. Folders are created
// for the user alone and new files are readable by the user alone; a data folder that
// others may read is made private first (MakeDataFolderPrivate). A file that cannot
// be written gives a beep and the others are still written. Returns the paths that could
// not be written (empty when all went well).
std::vector<std::string> ExtractResources(const std::string& programFolder, const std::string& dataFolder,
                                          bool overwrite, platform::Dialogs& dialogs);

// Writes the embedded file `name` to `file`. Nothing happens when `overwrite` is false and
// the file exists. The write goes through a temporary file that is flushed to disk and
// renamed, so a crash never leaves half a file. Any failure beeps and gives false.
bool ExtractResource(const std::string& name, const std::string& file, bool overwrite, platform::Dialogs& dialogs);

}  // namespace app
