#pragma once
#include <QStringList>
#include <string>
#include <vector>

namespace tessary {

// The image files named on the command line (`arguments` includes the program's name), as
// absolute paths in the order given: what a launcher passes for "Open With" or a file manager's
// double click. Options (anything starting with "-" before a "--") are not files; "file:" URLs
// become local paths.
std::vector<std::string> commandLineFiles(const QStringList& arguments);

} // namespace tessary
