#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zpak {

// Replaces the file at `target` with `content` so that readers see either the
// old file or the whole new one, never a part: the content goes to a new file in
// the same folder, is flushed to disk and renamed over the target. A symlinked
// target is followed (the link stays); an existing file's mode is kept.
// On failure nothing is left behind, the old file is intact, `error` says why
// and the result is false.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view content,
                         std::string& error);

}  // namespace zpak
