#pragma once

#include <cstddef>

#include "text/lines.h"

namespace kivo::app {

/// The longest program folder path (with its trailing separator) the program starts from.
inline constexpr std::size_t kMaxProgramFolderLength = 232;

/// The program folder: the executable's folder with one trailing "/" (appended when missing).
Text programFolder(TextView executableFolder);

/// Whether a program folder path is too long to start from: 233 characters or more.
inline bool programFolderTooLong(TextView folder) {
    return folder.size() > kMaxProgramFolderLength;
}

}  // namespace kivo::app
