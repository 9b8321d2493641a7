// Loading a 4000 x 3000 JPEG file as a source (loadImageFile: read, decode, colour profile,
// orientation, the source's image), once untagged and once with an Adobe RGB profile: the
// difference is what the conversion to sRGB costs. The profile is built here from the
// published Adobe RGB primaries.
#include "bench_platform.h"
#include "image/cx_file.h"
#include "image/cx_image.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"

#include <benchmark/benchmark.h>

#include <lcms2.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tessary {
namespace {

std::vector<uint8_t> adobeRgbProfile()
{
    const cmsCIExyY d65 = { 0.3127, 0.3290, 1.0 };
    const cmsCIExyYTRIPLE primaries = { { 0.64, 0.33, 1.0 }, { 0.21, 0.71, 1.0 }, { 0.15, 0.06, 1.0 } };
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve* curves[3] = { curve, curve, curve };
    cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &primaries, curves);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(curve);
    return bytes;
}

// The picture as a JPEG, untagged or with the profile in one APP2 segment after the SOI.
const std::vector<uint8_t>& jpeg(bool tagged)
{
    static const std::array<std::vector<uint8_t>, 2> files = [] {
        const MaskedDib picture = bench::benchPicture(4000, 3000, 7);
        CxImage image(picture.dib->data(), picture.dib->size(), CXIMAGE_FORMAT_BMP);
        CxMemFile out;
        image.Encode(out, CXIMAGE_FORMAT_JPG);
        std::vector<uint8_t> plain = out.Buffer();
        const std::vector<uint8_t> profile = adobeRgbProfile();
        const size_t length = 2 + 14 + profile.size();
        std::vector<uint8_t> segment { 0xFF, 0xE2, uint8_t(length >> 8), uint8_t(length) };
        const char header[] = "ICC_PROFILE";
        segment.insert(segment.end(), header, header + sizeof header);
        segment.insert(segment.end(), { 1, 1 });
        segment.insert(segment.end(), profile.begin(), profile.end());
        std::vector<uint8_t> tagged = plain;
        tagged.insert(tagged.begin() + 2, segment.begin(), segment.end());
        return std::array<std::vector<uint8_t>, 2> { plain, tagged };
    }();
    return files[tagged ? 1 : 0];
}

void load(benchmark::State& state, bool tagged)
{
    const std::vector<uint8_t>& bytes = jpeg(tagged);
    const std::string path
        = (std::filesystem::temp_directory_path() / (tagged ? "tessary-bench-adobe.jpg" : "tessary-bench-plain.jpg"))
              .string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    bench::SilentPlatform platform;
    for (auto _ : state) {
        VIrorozIzi doc;
        if (!loadImageFile(doc, path, platform)) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(doc.image.dib->data());
    }
    std::remove(path.c_str());
    state.counters["MPix/s"]
        = benchmark::Counter(12.0 * double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(load, untagged, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(load, adobeRgb, true)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace tessary
