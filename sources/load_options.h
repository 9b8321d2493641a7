#pragma once

namespace tessary {

// How a picture file becomes a source: whether the transparency stored in the file (an alpha
// channel) becomes the source's mask, and whether a picture whose file says it was stored
// turned is turned upright. Each source keeps the options it was loaded with, so that a reload
// and a saved arrangement give the same picture; arrangements written before these existed
// load with both off.
struct LoadOptions {
    bool fileTransparency = true;
    bool upright = true;

    static constexpr LoadOptions none() { return LoadOptions { false, false }; }
    friend bool operator==(const LoadOptions&, const LoadOptions&) = default;
};

} // namespace tessary
