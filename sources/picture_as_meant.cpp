#include "sources/picture_as_meant.h"

#include "app/platform.h"
#include "image/colour_profile.h"
#include "image/cx_image.h"
#include "image/upright_image.h"

#include <new>

namespace tessary {

bool showPictureAsMeant(CxImage& decoded, const std::string& path, Platform& platform, bool upright)
{
    const ProfileResult colour = convertToSrgb(decoded);
    if (colour.outcome == ProfileOutcome::Ignored && !colour.note.empty()) {
        try {
            const size_t slash = path.find_last_of('/');
            platform.showStatusMessage(path.substr(slash == std::string::npos ? 0 : slash + 1) + ": " + colour.note);
        } catch (const std::bad_alloc&) {
            // The note is not worth the picture.
        }
    }
    return !upright || turnUpright(decoded);
}

} // namespace tessary
