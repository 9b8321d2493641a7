#pragma once
#include <QString>

namespace tessary {

// The folder of the files the program ships with (the startup banners, the user guide): the
// installed tree's share/tessary beside the bin/ folder holding the program, or, in a build
// tree where there is none, the program's own folder.
QString dataFolder();

} // namespace tessary
