#pragma once
#include <string>
#include <vector>

namespace tessary {

// The files and folders of a batch merge. Paths use '/'.

inline constexpr const char* kCannotCreateBatchDirectory = "Cannot create batch directory ?";
inline constexpr const char* kImageFilesNotFound = "Image files not found in this directory.";
inline constexpr const char* kTargetIsInputFolder
    = "The target directory is the directory of the images to be watermarked.\n"
      "Choose another target directory.";
inline constexpr const char* kTargetNotADirectory = "The target directory is a file, not a directory ?";
inline constexpr const char* kCannotCreateTargetBatchDirectory = "Cannot create target batch directory ?";
inline constexpr const char* kInvalidNewDirectoryName
    = "A directory name cannot be empty, \".\" or \"..\", nor contain '/'.";
inline constexpr int kMaxNewDirectoryName = 200;

// One image of the input folder: its listed name (under which it is opened) and the name its
// result is written under.
struct BatchFile {
    std::string name;
    std::string outputName;
    friend bool operator==(const BatchFile&, const BatchFile&) = default;
};

std::string lowerCased(const std::string& text);
// True when the name names one of the image formats (formatFromFileName): the six endings and
// the longer ones such as jpeg and tiff.
bool hasBatchImageEnding(const std::string& name);
// `folder` + "/" + `name`, with no doubled separator.
std::string joinPath(const std::string& folder, const std::string& name);
// The folder part of a file path (without the trailing separator); "." for a bare name.
std::string folderOf(const std::string& path);
// Where results go unless the user chooses otherwise: the folder of `source2Path` + "/output".
std::string defaultBatchTargetDirectory(const std::string& source2Path);

// The names of the regular files of `folder` (not of its subfolders) with an image ending,
// sorted byte-wise so that runs are repeatable. False when the folder cannot be listed.
bool listBatchImages(const std::string& folder, std::vector<std::string>& names);

// The result name of each listed file: its lower-cased name. Where two names fall together
// once lower-cased, a name that is lower case already keeps it and the others keep their own
// names, so no result overwrites another.
std::vector<BatchFile> planBatchOutputs(const std::vector<std::string>& names);

// Makes the target folder ready before anything is written: refused when it is the input
// folder itself (kTargetIsInputFolder) or a non-directory stands at its path
// (kTargetNotADirectory); created when missing (kCannotCreateBatchDirectory when that fails).
// Returns the refusal's text, or empty when the folder is ready.
std::string prepareTargetFolder(const std::string& target, const std::string& input);

// A name typed into "Enter new directory name": 1 to 200 characters, not "." or "..", without
// '/' or NUL.
bool validNewDirectoryName(const std::string& name);

// Creates `parent`/`name`; a folder that exists already counts as made. The new path is left in
// `created`. False when the name is not valid or the folder cannot be made.
bool createNamedFolder(const std::string& parent, const std::string& name, std::string& created);

} // namespace tessary
