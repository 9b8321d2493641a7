#pragma once
// Reads a saved file's metadata back with Exiv2, independently of the program's own reader: every
// EXIF, IPTC and XMP key with its value as text. Empty when the file has none or cannot be read.
#include <exiv2/exiv2.hpp>

#include <map>
#include <string>

namespace tessary::testing {

using Tags = std::map<std::string, std::string>;

// A tagged picture of tests/data/metadata (see the README there).
inline std::string metadataFixture(const std::string& name)
{
    return std::string(TESSARY_TEST_DATA) + "/metadata/" + name;
}

inline Tags readTags(const std::string& path)
{
    Tags tags;
    try {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        for (const auto& d : image->exifData())
            tags[d.key()] = d.toString();
        for (const auto& d : image->iptcData())
            tags[d.key()] = d.toString();
        for (const auto& d : image->xmpData())
            tags[d.key()] = d.toString();
        if (image->iccProfileDefined())
            tags["icc"] = "present";
    } catch (const Exiv2::AnyError&) {
    }
    return tags;
}

// Whether any key of `tags` starts with `prefix` ("Exif.Thumbnail.").
inline bool anyTag(const Tags& tags, const std::string& prefix)
{
    const auto at = tags.lower_bound(prefix);
    return at != tags.end() && at->first.starts_with(prefix);
}

} // namespace tessary::testing
