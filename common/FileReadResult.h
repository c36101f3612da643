#pragma once
// How reading an input file ended.

namespace torvane {

enum class FileReadResult { kOk, kCannotOpen, kReadError, kOutOfMemory };

}  // namespace torvane
