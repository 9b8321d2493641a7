// Draws the application icon: three overlapping picture tiles, one of them turned, on a dark
// rounded square, the way sources meet in a merge. Every size is drawn from the same shapes with
// 8 x 8 samples per pixel, so small sizes stay sharp instead of being scaled down from a large one.
//
//   make_app_icon <output folder>   writes <folder>/hicolor/<n>x<n>/apps/tessary.png
#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 0; // premultiplied, 0 to 1
};

Rgba over(Rgba top, Rgba below)
{
    const double k = 1 - top.a;
    return Rgba { top.r + below.r * k, top.g + below.g * k, top.b + below.b * k, top.a + below.a * k };
}

Rgba colour(int r, int g, int b, double alpha = 1)
{
    return Rgba { r / 255.0 * alpha, g / 255.0 * alpha, b / 255.0 * alpha, alpha };
}

// A rounded rectangle in icon units (the icon is 1 x 1, y downward), turned by `degrees`
// about its centre.
struct Tile {
    double cx, cy, halfW, halfH, radius, degrees;

    // Signed distance of (x, y) from the outline: negative inside.
    double distance(double x, double y) const
    {
        const double a = degrees * 3.14159265358979 / 180;
        const double dx = x - cx, dy = y - cy;
        const double u = std::abs(dx * std::cos(a) + dy * std::sin(a));
        const double v = std::abs(-dx * std::sin(a) + dy * std::cos(a));
        const double qx = u - halfW + radius, qy = v - halfH + radius;
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    }
};

struct Layer {
    Tile tile;
    Rgba fill; // top of the tile
    Rgba fillBottom; // bottom of the tile: a gentle vertical gradient
    Rgba border;
    double borderWidth;
};

Rgba mix(Rgba a, Rgba b, double t)
{
    return Rgba { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
        a.a + (b.a - a.a) * t };
}

const std::array<Layer, 4> kLayers = { {
    // The ground: a dark slate square with rounded corners.
    { { 0.5, 0.5, 0.46, 0.46, 0.12, 0 }, colour(52, 66, 102), colour(28, 36, 60), colour(0, 0, 0, 0), 0 },
    // Three sources, drawn back to front; the front ones let the others show through.
    { { 0.38, 0.37, 0.25, 0.19, 0.05, 0 }, colour(246, 128, 92), colour(226, 92, 70), colour(255, 255, 255),
        0.028 },
    { { 0.62, 0.47, 0.25, 0.19, 0.05, -14 }, colour(96, 178, 246, 0.85), colour(60, 130, 220, 0.85),
        colour(255, 255, 255), 0.028 },
    { { 0.45, 0.66, 0.25, 0.17, 0.05, 0 }, colour(128, 214, 120, 0.8), colour(80, 170, 90, 0.8),
        colour(255, 255, 255), 0.028 },
} };

Rgba sample(double x, double y)
{
    Rgba result;
    for (const Layer& layer : kLayers) {
        const double d = layer.tile.distance(x, y);
        if (d > 0)
            continue;
        const double t
            = std::clamp((y - (layer.tile.cy - layer.tile.halfH)) / (2 * layer.tile.halfH), 0.0, 1.0);
        const Rgba paint = d > -layer.borderWidth ? layer.border : mix(layer.fill, layer.fillBottom, t);
        result = over(paint, result);
    }
    return result;
}

bool writeIcon(int size, const std::filesystem::path& file)
{
    constexpr int kSamples = 8;
    std::vector<uint8_t> rgba(size_t(size) * size_t(size) * 4);
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            Rgba sum;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Rgba s
                        = sample((px + (sx + 0.5) / kSamples) / size, (py + (sy + 0.5) / kSamples) / size);
                    sum = Rgba { sum.r + s.r, sum.g + s.g, sum.b + s.b, sum.a + s.a };
                }
            const double n = kSamples * kSamples;
            const double a = sum.a / n;
            uint8_t* out = &rgba[(size_t(py) * size_t(size) + size_t(px)) * 4];
            // PNG holds straight (not premultiplied) colour.
            out[0] = uint8_t(std::lround(a > 0 ? std::min(1.0, sum.r / n / a) * 255 : 0));
            out[1] = uint8_t(std::lround(a > 0 ? std::min(1.0, sum.g / n / a) * 255 : 0));
            out[2] = uint8_t(std::lround(a > 0 ? std::min(1.0, sum.b / n / a) * 255 : 0));
            out[3] = uint8_t(std::lround(a * 255));
        }
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(size);
    image.height = png_uint_32(size);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, file.string().c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_icon <output folder>\n");
        return 2;
    }
    for (const int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / "hicolor" / name / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (!writeIcon(size, folder / "tessary.png")) {
            std::fprintf(
                stderr, "make_app_icon: cannot write %s\n", (folder / "tessary.png").string().c_str());
            return 1;
        }
    }
    return 0;
}
