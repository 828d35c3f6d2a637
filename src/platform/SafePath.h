// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The file `relative` names inside the folder `root`, for requests that come from pages:
// nothing when the name is empty, absolute, holds a NUL, a backslash or a ".." segment, or
// when the file, its links followed, lies outside the root. The result is the resolved
// path of an existing regular file.
std::optional<std::string> FileInsideFolder(const std::string& root, std::string_view relative);

}  // namespace platform
