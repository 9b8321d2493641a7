#pragma once
#include <cstdint>
#include <string>

namespace tessary {

class CAlignDoc;
class Platform;

inline constexpr const char* kTipBannerFailedText = "Cannot load tip banner file?";
inline constexpr int32_t kTipPages = 7;

// "intro1.jpg" for page 0 up to "intro7.jpg" for page 6.
std::string tipBannerFileName(int32_t tipPage);
// The page box: "page 1" ... "page 7".
std::string tipPageText(int32_t tipPage);
// Paging stops at the first and the last page; there is no wrap-around.
inline int32_t nextTipPage(int32_t tipPage)
{
    return tipPage < kTipPages - 1 ? tipPage + 1 : tipPage;
}
inline int32_t previousTipPage(int32_t tipPage)
{
    return tipPage > 0 ? tipPage - 1 : tipPage;
}

// Loads the tip banner `fileName` (a JPEG) into the document's `tipBanner`, looking for it in the
// current folder first and then in `dataFolder` (the program's data folder; empty: none). The
// banner is the decoded image as a packed bitmap, at least as large as its 24-bit form. A file
// that is missing everywhere or cannot be decoded shows "Cannot load tip banner file?" and leaves
// no banner. Returns true on failure (also, without a message, when memory runs out).
bool loadTipBanner(
    CAlignDoc& doc, Platform& platform, const std::string& fileName, const std::string& dataFolder);

} // namespace tessary
