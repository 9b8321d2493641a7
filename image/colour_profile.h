#pragma once
#include <string>

namespace tessary {

class CxImage;

// What became of a decoded picture's embedded colour profile.
enum class ProfileOutcome {
    None, // no profile: the pixels are left as they are
    Srgb, // an sRGB profile: the pixels are left as they are
    Converted, // the pixels (or the colour table) were converted to sRGB
    Ignored, // a profile that could not be used: the pixels are left as they are, see the note
};

struct ProfileResult {
    ProfileOutcome outcome = ProfileOutcome::None;
    // For Ignored: why, in a sentence for the user.
    std::string note;
};

// Brings a decoded picture with an embedded ICC profile into the program's working space,
// sRGB, through Little CMS: perceptual intent with black-point compensation, a whole row at a
// time through one transform made for this picture. 24-bit pictures have their pixels
// converted; pictures with a colour table have its entries converted (a grey picture with a
// grey profile too, so its table may come out slightly tinted if the profile says so).
//
// A profile counts as sRGB, and the pixels are left byte for byte, when its description begins
// with "sRGB", or when it is a matrix/curve profile whose three colorants lie within 0.002 of
// the sRGB colorants and whose three curves lie within half an 8-bit step of the sRGB curve.
//
// A profile that does not parse, is not RGB (or grey, for a grey picture), was too large or
// arrived broken is ignored with a note. Never throws; the profile is forgotten afterwards.
ProfileResult convertToSrgb(CxImage& image);

} // namespace tessary
