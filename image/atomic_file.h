#pragma once
#include "image/cx_file.h"

#include <functional>
#include <string>

namespace tessary {

// Writes a file so that a failure never destroys what was there: `write` fills a temporary file
// with a short name in the same folder, which replaces the file only when `write` returned true
// and every byte reached the disk. On failure the temporary file is removed and the file is
// untouched.
//
// - A symbolic link is followed: the file it names is written and the link stays.
// - An existing file we may not write is refused (false), whatever its folder allows.
// - A writable file in a folder where no temporary file can be made is rewritten in place.
// - A new file gets 0666 less the umask; a replaced file keeps its permissions and, where the
//   process may set it, its owner.
bool writeFileAtomically(const std::string& path, const std::function<bool(CxFile&)>& write);

} // namespace tessary
