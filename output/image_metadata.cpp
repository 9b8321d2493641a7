#include "output/image_metadata.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <array>
#include <mutex>
#include <string_view>
#include <sys/stat.h>

namespace tessary {

struct ImageMetadata::Blocks {
    Exiv2::ExifData exif;
    Exiv2::IptcData iptc;
    Exiv2::XmpData xmp;
};

namespace {

// Exiv2 writes its warnings to stderr and keeps the XMP toolkit process-wide: both are set up
// once, before the first call into it.
void prepareExiv2()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

// Tags that describe how the source file stores its pixels (a TIFF's strips, a sub-image), not
// the picture: the file written has its own.
constexpr std::array<const char*, 23> kStorageTags {
    "Exif.Image.NewSubfileType",
    "Exif.Image.SubfileType",
    "Exif.Image.Compression",
    "Exif.Image.BitsPerSample",
    "Exif.Image.PhotometricInterpretation",
    "Exif.Image.FillOrder",
    "Exif.Image.StripOffsets",
    "Exif.Image.SamplesPerPixel",
    "Exif.Image.RowsPerStrip",
    "Exif.Image.StripByteCounts",
    "Exif.Image.PlanarConfiguration",
    "Exif.Image.Predictor",
    "Exif.Image.TileWidth",
    "Exif.Image.TileLength",
    "Exif.Image.TileOffsets",
    "Exif.Image.TileByteCounts",
    "Exif.Image.SubIFDs",
    "Exif.Image.ExtraSamples",
    "Exif.Image.SampleFormat",
    "Exif.Image.JPEGInterchangeFormat",
    "Exif.Image.JPEGInterchangeFormatLength",
    "Exif.Image.JPEGTables",
    "Exif.Image.YCbCrSubSampling",
};

// Tags every TIFF has to describe its picture: alone, they are no metadata worth keeping, and a
// plain TIFF source must not make its copies differ from a save without metadata.
constexpr std::array<std::string_view, 6> kPictureTags {
    "Exif.Image.ImageWidth",
    "Exif.Image.ImageLength",
    "Exif.Image.Orientation",
    "Exif.Image.XResolution",
    "Exif.Image.YResolution",
    "Exif.Image.ResolutionUnit",
};

// Tags that say the pixels are in another colour space than sRGB: the pixels written are sRGB
// and carry no profile.
constexpr std::array<const char*, 4> kColourTags {
    "Exif.Image.InterColorProfile",
    "Exif.Image.WhitePoint",
    "Exif.Image.PrimaryChromaticities",
    "Exif.Image.TransferFunction",
};

// Groups of other images inside the source file: thumbnails and reduced copies.
bool otherImageGroup(const std::string& group)
{
    return group == "Thumbnail" || group == "Image2" || group == "Image3" || group.starts_with("SubImage")
        || group.starts_with("SubThumb");
}

void eraseKey(Exiv2::ExifData& exif, const char* key)
{
    const auto at = exif.findKey(Exiv2::ExifKey(key));
    if (at != exif.end())
        exif.erase(at);
}

void eraseKey(Exiv2::XmpData& xmp, const char* key)
{
    const auto at = xmp.findKey(Exiv2::XmpKey(key));
    if (at != xmp.end())
        xmp.erase(at);
}

// The source's EXIF less everything about its own file and its other images.
void dropSourceFileTags(Exiv2::ExifData& exif)
{
    Exiv2::ExifThumb(exif).erase();
    for (auto it = exif.begin(); it != exif.end();)
        it = otherImageGroup(it->groupName()) ? exif.erase(it) : std::next(it);
    for (const char* key : kStorageTags)
        eraseKey(exif, key);
}

bool onlyDescribesPicture(const Exiv2::ExifData& exif)
{
    return std::all_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum& datum) {
        return std::find(kPictureTags.begin(), kPictureTags.end(), datum.key()) != kPictureTags.end();
    });
}

template <typename Data> size_t bytesOf(const Data& data)
{
    size_t total = 0;
    for (const auto& datum : data)
        total += datum.size();
    return total;
}

// Sets `key` to `value` only where the metadata already has it.
template <typename Data, typename Key, typename Value> void updateIfPresent(Data& data, const char* key, Value value)
{
    const auto at = data.findKey(Key(key));
    if (at != data.end())
        *at = value;
}

// Makes the EXIF true of the picture written: upright, `width` × `height`, sRGB, no thumbnail.
void describePicture(Exiv2::ExifData& exif, int32_t width, int32_t height)
{
    for (const char* key : kColourTags)
        eraseKey(exif, key);
    // An interoperability index other than R98 (sRGB) names another colour space (R03: Adobe RGB).
    const auto index = exif.findKey(Exiv2::ExifKey("Exif.Iop.InteroperabilityIndex"));
    if (index != exif.end() && index->toString() != "R98")
        exif.erase(index);
    exif["Exif.Image.Orientation"] = uint16_t(1);
    exif["Exif.Photo.ColorSpace"] = uint16_t(1);
    exif["Exif.Photo.PixelXDimension"] = uint32_t(width);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(height);
    updateIfPresent<Exiv2::ExifData, Exiv2::ExifKey>(exif, "Exif.Image.ImageWidth", uint32_t(width));
    updateIfPresent<Exiv2::ExifData, Exiv2::ExifKey>(exif, "Exif.Image.ImageLength", uint32_t(height));
}

// The same for the XMP's copies of those tags, where it has them.
void describePicture(Exiv2::XmpData& xmp, int32_t width, int32_t height)
{
    eraseKey(xmp, "Xmp.photoshop.ICCProfile");
    eraseKey(xmp, "Xmp.xmp.Thumbnails");
    using Update = void (*)(Exiv2::XmpData&, const char*, std::string);
    const Update update = updateIfPresent<Exiv2::XmpData, Exiv2::XmpKey, std::string>;
    update(xmp, "Xmp.tiff.Orientation", "1");
    update(xmp, "Xmp.exif.ColorSpace", "1");
    update(xmp, "Xmp.exif.PixelXDimension", std::to_string(width));
    update(xmp, "Xmp.exif.PixelYDimension", std::to_string(height));
    update(xmp, "Xmp.tiff.ImageWidth", std::to_string(width));
    update(xmp, "Xmp.tiff.ImageLength", std::to_string(height));
}

// `into` keeps what it has (a TIFF's own layout and resolution) and takes every tag of `from`.
void addTags(Exiv2::ExifData& into, const Exiv2::ExifData& from)
{
    for (const auto& datum : from)
        into[datum.key()].setValue(&datum.value());
}

bool regularFileWithin(const std::string& path, int64_t limit)
{
    struct stat st { };
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= limit;
}

} // namespace

ImageMetadata::ImageMetadata() = default;
ImageMetadata::~ImageMetadata() = default;
ImageMetadata::ImageMetadata(const ImageMetadata&) = default;
ImageMetadata& ImageMetadata::operator=(const ImageMetadata&) = default;

ImageMetadata ImageMetadata::readFrom(const std::string& path) noexcept
{
    ImageMetadata metadata;
    try {
        if (!regularFileWithin(path, kMaxFileBytes))
            return metadata;
        prepareExiv2();
        // A file object, never a name Exiv2 would take for an address to download.
        Exiv2::BasicIo::AutoPtr io(new Exiv2::FileIo(path));
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(io);
        if (!image.get())
            return metadata; // a kind of file Exiv2 does not know (PCX): no exception, no image
        image->readMetadata();
        auto blocks = std::make_shared<Blocks>();
        blocks->exif = image->exifData();
        dropSourceFileTags(blocks->exif);
        if (bytesOf(blocks->exif) > kMaxBlockBytes || onlyDescribesPicture(blocks->exif))
            blocks->exif.clear();
        if (bytesOf(image->iptcData()) <= kMaxBlockBytes)
            blocks->iptc = image->iptcData();
        if (bytesOf(image->xmpData()) <= kMaxBlockBytes)
            blocks->xmp = image->xmpData();
        if (!blocks->exif.empty() || !blocks->iptc.empty() || !blocks->xmp.empty())
            metadata.blocks_ = std::move(blocks);
    } catch (...) { // Exiv2::AnyError for a broken file, std::bad_alloc: no metadata
        metadata.blocks_.reset();
    }
    return metadata;
}

std::optional<std::vector<uint8_t>> ImageMetadata::writtenInto(
    const std::vector<uint8_t>& encoded, int32_t width, int32_t height) const noexcept
{
    if (!blocks_ || encoded.empty())
        return std::nullopt;
    try {
        prepareExiv2();
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(encoded.data(), long(encoded.size()));
        if (!image.get())
            return std::nullopt;
        image->readMetadata();
        Exiv2::ExifData exif = image->exifData();
        addTags(exif, blocks_->exif);
        describePicture(exif, width, height);
        Exiv2::XmpData xmp = blocks_->xmp;
        describePicture(xmp, width, height);
        image->setExifData(exif);
        image->setIptcData(blocks_->iptc);
        image->setXmpData(xmp);
        image->clearIccProfile();
        image->writeMetadata();

        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0 || io.size() <= 0 || io.seek(0, Exiv2::BasicIo::beg) != 0)
            return std::nullopt;
        std::vector<uint8_t> written(io.size());
        if (io.read(written.data(), long(written.size())) != long(written.size()))
            return std::nullopt;
        return written;
    } catch (...) { // the file is saved without metadata
        return std::nullopt;
    }
}

} // namespace tessary
