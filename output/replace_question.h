#pragma once
#include <string>
#include <vector>

namespace tessary {

class Platform;

// After a file name: "photo.png already exists. Do you want to replace it?"
inline constexpr const char* kAlreadyExistsQuestion = " already exists. Do you want to replace it?";
// After "<taken> of the <all>": "3 of the 6 tile files already exist. ..."
inline constexpr const char* kTilesExistQuestion = " tile files already exist. Do you want to replace them?";

// The file chooser asks before replacing the name it was given (`askedPath`), but a save may
// write other names: an added extension, the tiles' numbers. When any of `paths` other than the
// asked one exists, the user is asked once, Yes or No: about the file by name when it is one,
// about how many of them exist otherwise. True when nothing is in the way or the answer was Yes.
bool mayReplaceFiles(Platform& platform, const std::vector<std::string>& paths, const std::string& askedPath);

} // namespace tessary
