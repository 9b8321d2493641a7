#pragma once
#include "image/cx_file.h"

#include <functional>
#include <string>

namespace tessary {

// Writes a file so that a failure never destroys what was there: `write` fills a temporary
// file in the same folder, which replaces `path` only when `write` returned true and every
// byte reached the disk. On failure the temporary file is removed and `path` is untouched.
// A new file gets the usual permissions (0666 less the umask); a replaced file keeps its own.
bool writeFileAtomically(const std::string& path, const std::function<bool(CxFile&)>& write);

} // namespace tessary
