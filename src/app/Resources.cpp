// SPDX-License-Identifier: MIT
#include "app/Resources.h"

#include <sys/stat.h>

#include "app/DataFolder.h"
#include "app/private/EmbeddedFiles.h"
#include "platform/Files.h"

namespace app {
namespace {

constexpr ResourceEntry kBuiltInFiles[] = {
    {"READMETXT", "plover.txt", ResourceFolder::kProgram, false},
    {"XMLPNG", "xml.png", ResourceFolder::kDataSystem, false},
    {"PODGIF", "podcasting.gif", ResourceFolder::kDataSystem, false},
    {"MEDIAGIF", "podhall.gif", ResourceFolder::kDataSystem, false},
    {"FLAGP_GIF", "flag_p.gif", ResourceFolder::kDataSystem, false},
    {"FLAGR_GIF", "flag_r.gif", ResourceFolder::kDataSystem, false},
    {"FLAGU_GIF", "flag_u.gif", ResourceFolder::kDataSystem, false},
    {"MHTP_GIF", "mht_p.gif", ResourceFolder::kDataSystem, false},
    {"MHTR_GIF", "mht_r.gif", ResourceFolder::kDataSystem, false},
    {"MHTU_GIF", "mht_u.gif", ResourceFolder::kDataSystem, false},
    {"DEFAULTOPML", "default.opml", ResourceFolder::kDataSystem, false},
    {"TOOLBARINI", "plover.ini", ResourceFolder::kData, true},
};

// True when something (a file, a folder, a dangling link) already has that name.
bool PathTaken(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::span<const ResourceEntry> BuiltInFiles() {
  return kBuiltInFiles;
}

std::string ResourcePath(const ResourceEntry& entry, const std::string& programFolder, const std::string& dataFolder) {
  switch (entry.folder) {
    case ResourceFolder::kProgram:
      return programFolder + entry.fileName;
    case ResourceFolder::kDataSystem:
      return dataFolder + "system/" + entry.fileName;
    case ResourceFolder::kData:
      break;
  }
  return dataFolder + entry.fileName;
}

std::vector<std::string> ExtractResources(const std::string& programFolder, const std::string& dataFolder,
                                          bool overwrite, platform::Dialogs& dialogs) {
  // The data folder is made private before anything is written into it; a new one is
  // created private with the first file.
  MakeDataFolderPrivate(dataFolder, dialogs);
  std::vector<std::string> failed;
  for (const ResourceEntry& entry : kBuiltInFiles) {
    const bool replace = overwrite && !entry.neverReplace;
    const std::string path = ResourcePath(entry, programFolder, dataFolder);
    if (!ExtractResource(entry.fileName, path, replace, dialogs)) failed.push_back(path);
  }
  return failed;
}

bool ExtractResource(const std::string& name, const std::string& file, bool overwrite, platform::Dialogs& dialogs) {
  if (!overwrite && PathTaken(file)) return true;
  const EmbeddedFile* embedded = FindEmbeddedFile(name);
  const bool written = embedded != nullptr && platform::CreateFolders(platform::FolderOf(file)) &&
                       platform::WriteFileDurably(file, embedded->Bytes());
  if (!written) dialogs.Beep();
  return written;
}

}  // namespace app
