// SPDX-License-Identifier: MIT
// plover-cli: the headless front end. It finds the data folder exactly as the desktop
// program does and works on it without a window.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "app/Resources.h"
#include "cli/ConsoleDialogs.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void PrintUsage(std::FILE* stream) {
  cli::PrintLine(stream, text::J("使い方: plover-cli [--data フォルダ] コマンド [オプション]"));
  cli::PrintLine(stream, "");
  cli::PrintLine(stream, text::J("コマンド:"));
  cli::PrintLine(stream, text::J("  data-folder       デスクトップ版が使うデータフォルダを表示します"));
  cli::PrintLine(stream, text::J("  init [--update]   組み込みのファイルをデータフォルダに書き出します"));
  cli::PrintLine(stream,
                 text::J("                    (--update で既存のファイルも書き直します。plover.ini は除きます)"));
  cli::PrintLine(stream, "");
  cli::PrintLine(stream, text::J("オプション:"));
  cli::PrintLine(stream, text::J("  --data フォルダ   plover.drv の代わりにこのフォルダをデータフォルダにします"));
  cli::PrintLine(stream, text::J("  --help            この説明を表示します"));
}

int UsageError(const std::string& message) {
  cli::PrintLine(stderr, message);
  PrintUsage(stderr);
  return kExitUsage;
}

// A path as part of a message: paths are native UTF-8, messages code page 932.
std::string PathText(const std::string& path) {
  const std::string converted = text::Utf8ToSjis(path);
  return converted.empty() ? path : converted;
}

struct Invocation {
  std::optional<std::string> dataFolder;  // from --data
  std::vector<std::string> words;         // the command and its own options
};

// Takes "--data DIR" (or "--data=DIR") from anywhere on the line; the rest stays in order.
std::optional<Invocation> ReadInvocation(const std::vector<std::string>& arguments, std::string& error) {
  Invocation invocation;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--data") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        error = text::J("--data にはフォルダを指定してください。");
        return std::nullopt;
      }
      invocation.dataFolder = arguments[++i];
    } else if (argument.rfind("--data=", 0) == 0 && argument.size() > 7) {
      invocation.dataFolder = argument.substr(7);
    } else {
      invocation.words.push_back(argument);
    }
  }
  return invocation;
}

std::string DataFolderFor(const Invocation& invocation, const std::string& programFolder) {
  if (invocation.dataFolder) {
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::absolute(*invocation.dataFolder, ignored);
    return app::WithTrailingSlash(folder.lexically_normal().string());
  }
  return app::ResolveDataFolder(programFolder, 1, app::AppDataFolder(app::ProcessEnvironment())).DataFolder;
}

int RunDataFolder(const Invocation& invocation, const std::string& programFolder) {
  if (invocation.words.size() > 1) return UsageError(text::J("不明なオプションです: ") + PathText(invocation.words[1]));
  const std::string folder = DataFolderFor(invocation, programFolder);
  std::fwrite(folder.data(), 1, folder.size(), stdout);
  std::fputc('\n', stdout);
  return kExitOk;
}

int RunInit(const Invocation& invocation, const std::string& programFolder) {
  bool update = false;
  for (size_t i = 1; i < invocation.words.size(); ++i) {
    if (invocation.words[i] != "--update")
      return UsageError(text::J("不明なオプションです: ") + PathText(invocation.words[i]));
    update = true;
  }
  const std::string dataFolder = DataFolderFor(invocation, programFolder);
  cli::ConsoleDialogs dialogs;
  const std::vector<std::string> failed = app::ExtractResources(programFolder, dataFolder, update, dialogs);
  for (const std::string& path : failed) cli::PrintLine(stderr, text::J("書き込めませんでした: ") + PathText(path));
  if (!failed.empty()) return kExitFailed;
  cli::PrintLine(stdout, text::J("組み込みのファイルを書き出しました: ") + PathText(dataFolder));
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  std::string error;
  const std::optional<Invocation> invocation = ReadInvocation(arguments, error);
  if (!invocation) return UsageError(error);
  if (invocation->words.empty() || invocation->words[0] == "--help" || invocation->words[0] == "-h") {
    PrintUsage(stdout);
    return kExitOk;
  }
  const std::string programFolder = app::RunningProgramFolder();
  const std::string& command = invocation->words[0];
  if (command == "data-folder") return RunDataFolder(*invocation, programFolder);
  if (command == "init") return RunInit(*invocation, programFolder);
  return UsageError(text::J("不明なコマンドです: ") + PathText(command));
}
