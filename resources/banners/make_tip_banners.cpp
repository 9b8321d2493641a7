// Draws the seven startup tip banners "intro1.jpg" ... "intro7.jpg" that the Align Window shows
// while no source is loaded. Everything is drawn here by code (gradients, frames, a 5 x 7 pixel
// font) and written through the program's own JPEG encoder.
//
//   make_tip_banners <output folder>
#include "image/cx_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

Rgb mix(Rgb a, Rgb b, double t)
{
    return Rgb { int(a.r + (b.r - a.r) * t), int(a.g + (b.g - a.g) * t), int(a.b + (b.b - a.b) * t) };
}

// A picture in memory, top line first.
class Canvas {
public:
    Canvas(int w, int h)
        : w_(w)
        , h_(h)
        , px_(size_t(w) * size_t(h))
    {
    }
    int width() const { return w_; }
    int height() const { return h_; }

    void blend(int x, int y, Rgb c, double alpha = 1.0)
    {
        if (x < 0 || y < 0 || x >= w_ || y >= h_)
            return;
        Rgb& p = px_[size_t(y) * size_t(w_) + size_t(x)];
        p = mix(p, c, alpha);
    }
    void fill(int x0, int y0, int x1, int y1, Rgb c, double alpha = 1.0)
    {
        for (int y = std::max(0, y0); y < std::min(h_, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(w_, x1); ++x)
                blend(x, y, c, alpha);
    }
    void verticalGradient(Rgb top, Rgb bottom)
    {
        for (int y = 0; y < h_; ++y)
            fill(0, y, w_, y + 1, mix(top, bottom, double(y) / (h_ - 1)));
    }
    void frame(int x0, int y0, int x1, int y1, int thickness, Rgb c)
    {
        fill(x0, y0, x1, y0 + thickness, c);
        fill(x0, y1 - thickness, x1, y1, c);
        fill(x0, y0, x0 + thickness, y1, c);
        fill(x1 - thickness, y0, x1, y1, c);
    }
    void disc(double cx, double cy, double radius, Rgb c)
    {
        for (int y = int(cy - radius) - 1; y <= int(cy + radius) + 1; ++y)
            for (int x = int(cx - radius) - 1; x <= int(cx + radius) + 1; ++x) {
                const double d = std::hypot(x - cx, y - cy);
                if (d <= radius)
                    blend(x, y, c, std::min(1.0, radius - d + 0.5));
            }
    }
    void line(double x0, double y0, double x1, double y1, double width, Rgb c)
    {
        const int steps = int(std::hypot(x1 - x0, y1 - y0)) + 1;
        for (int i = 0; i <= steps; ++i) {
            const double t = double(i) / steps;
            disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width / 2, c);
        }
    }
    // A soft shadow and a filled card with a border: a "picture" in the illustrations.
    void card(int x0, int y0, int x1, int y1, Rgb inside, Rgb border, double alpha = 1.0)
    {
        fill(x0 + 6, y0 + 6, x1 + 6, y1 + 6, Rgb { 0, 0, 0 }, 0.18);
        fill(x0, y0, x1, y1, inside, alpha);
        frame(x0, y0, x1, y1, 3, border);
    }

    bool save(const std::string& path) const
    {
        tessary::CxImage image;
        if (!image.Create(uint32_t(w_), uint32_t(h_), 24, tessary::CXIMAGE_FORMAT_JPG))
            return false;
        for (int y = 0; y < h_; ++y) {
            uint8_t* row = image.GetBits(uint32_t(h_ - 1 - y)); // rows are stored bottom-up
            for (int x = 0; x < w_; ++x) {
                const Rgb& p = px_[size_t(y) * size_t(w_) + size_t(x)];
                row[3 * x] = uint8_t(std::clamp(p.b, 0, 255));
                row[3 * x + 1] = uint8_t(std::clamp(p.g, 0, 255));
                row[3 * x + 2] = uint8_t(std::clamp(p.r, 0, 255));
            }
        }
        return image.Save(path, tessary::CXIMAGE_FORMAT_JPG);
    }

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

// A 5 x 7 pixel font: seven rows per character, the leftmost pixel in bit 4.
struct Glyph {
    char c;
    std::array<uint8_t, 7> rows;
};
constexpr Glyph kFont[] = {
    { 'A', { 0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11 } },
    { 'B', { 0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E } },
    { 'C', { 0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E } },
    { 'D', { 0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E } },
    { 'E', { 0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F } },
    { 'F', { 0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10 } },
    { 'G', { 0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F } },
    { 'H', { 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11 } },
    { 'I', { 0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E } },
    { 'J', { 0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C } },
    { 'K', { 0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11 } },
    { 'L', { 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F } },
    { 'M', { 0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11 } },
    { 'N', { 0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11 } },
    { 'O', { 0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E } },
    { 'P', { 0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10 } },
    { 'Q', { 0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D } },
    { 'R', { 0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11 } },
    { 'S', { 0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E } },
    { 'T', { 0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04 } },
    { 'U', { 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E } },
    { 'V', { 0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04 } },
    { 'W', { 0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A } },
    { 'X', { 0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11 } },
    { 'Y', { 0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04 } },
    { 'Z', { 0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F } },
    { '0', { 0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E } },
    { '1', { 0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E } },
    { '2', { 0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F } },
    { '3', { 0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E } },
    { '4', { 0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02 } },
    { '5', { 0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E } },
    { '6', { 0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E } },
    { '7', { 0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08 } },
    { '8', { 0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E } },
    { '9', { 0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C } },
    { '.', { 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C } },
    { ',', { 0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08 } },
    { '-', { 0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00 } },
    { '/', { 0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10 } },
    { '!', { 0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04 } },
    { ':', { 0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00 } },
};

const Glyph* glyph(char c)
{
    for (const Glyph& g : kFont)
        if (g.c == c)
            return &g;
    return nullptr;
}

// Text in capitals, each font pixel drawn as a `scale` x `scale` block; returns the width drawn.
int text(Canvas& canvas, int x, int y, const std::string& s, int scale, Rgb c, bool shadow = false)
{
    const int advance = 6 * scale;
    for (size_t i = 0; i < s.size(); ++i) {
        const Glyph* g = glyph(s[i]);
        if (!g)
            continue; // a space
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (g->rows[size_t(row)] & (0x10 >> col)) {
                    const int px = x + int(i) * advance + col * scale, py = y + row * scale;
                    if (shadow)
                        canvas.fill(px + 2, py + 2, px + scale + 2, py + scale + 2, Rgb { 0, 0, 0 }, 0.35);
                    canvas.fill(px, py, px + scale, py + scale, c);
                }
    }
    return int(s.size()) * advance;
}

constexpr int kWidth = 880;
constexpr int kHeight = 360;
const Rgb kWhite { 255, 255, 255 };
const Rgb kInk { 28, 40, 72 };

struct Page {
    Rgb top, bottom; // background gradient
    const char* title;
    const char* lines[3];
};

// The common frame of every page: background, title, caption lines and the page marker.
void pageFrame(Canvas& c, const Page& p, int number)
{
    c.verticalGradient(p.top, p.bottom);
    c.fill(0, 0, kWidth, 64, kWhite, 0.22);
    text(c, 24, 14, "TESSARY", 5, kWhite, true);
    text(c, 300, 22, p.title, 4, kInk);
    int y = 252;
    for (const char* line : p.lines) {
        if (line) {
            text(c, 24, y, line, 2, kInk);
            text(c, 25, y, line, 2, kInk); // a second pass one pixel over: bolder strokes
        }
        y += 26;
    }
    const std::string marker = "TIP " + std::to_string(number) + " OF 7";
    text(c, kWidth - 24 - int(marker.size()) * 12, 328, marker, 2, kInk);
    for (int i = 0; i < 7; ++i)
        c.disc(kWidth - 140 + i * 18, 300, i + 1 == number ? 6 : 4, i + 1 == number ? kWhite : kInk);
}

// The illustrations, drawn in the band between the title and the captions (y 80 to 240).
void pictureMerge(Canvas& c)
{
    c.card(60, 90, 220, 200, Rgb { 240, 120, 90 }, kWhite);
    c.card(120, 110, 280, 220, Rgb { 90, 170, 240 }, kWhite, 0.8);
    c.card(180, 95, 340, 205, Rgb { 120, 210, 120 }, kWhite, 0.7);
    c.line(370, 155, 470, 155, 8, kWhite);
    c.line(470, 155, 445, 135, 8, kWhite);
    c.line(470, 155, 445, 175, 8, kWhite);
    c.card(510, 85, 760, 225, Rgb { 170, 160, 200 }, kWhite);
    for (int x = 520; x < 750; x += 4)
        c.fill(x, 95 + (x % 23), x + 2, 215, Rgb { 240, 220, 160 }, 0.25);
}

void pictureLoad(Canvas& c)
{
    const Rgb colours[4] = { { 240, 120, 90 }, { 90, 170, 240 }, { 120, 210, 120 }, { 240, 200, 80 } };
    for (int i = 0; i < 4; ++i) {
        const int x = 60 + i * 190;
        c.card(x, 95, x + 150, 215, colours[i], kWhite, i < 2 ? 1.0 : 0.35);
        text(c, x + 60, 132, std::to_string(i + 1), 7, i < 2 ? kWhite : kInk);
    }
    text(c, 700, 225, "UP TO 8", 2, kInk);
}

void pictureAlign(Canvas& c)
{
    c.card(80, 100, 300, 215, Rgb { 90, 170, 240 }, kWhite, 0.6);
    const double cx = 520, cy = 158, hw = 130, hh = 55, a = 12 * 3.14159 / 180;
    auto at = [&](double x, double y) {
        return std::array<double, 2> { cx + x * std::cos(a) - y * std::sin(a),
            cy + y * std::cos(a) + x * std::sin(a) };
    };
    const std::array<double, 2> p[4] = { at(-hw, -hh), at(hw, -hh), at(-hw, hh), at(hw, hh) };
    const int order[5] = { 0, 1, 3, 2, 0 };
    for (int i = 0; i < 4; ++i)
        c.line(p[order[i]][0], p[order[i]][1], p[order[i + 1]][0], p[order[i + 1]][1], 3, kInk);
    for (int i = 0; i < 4; ++i) {
        c.disc(p[i][0], p[i][1], 6, kInk);
        c.disc(p[i][0], p[i][1], 4.5, Rgb { 0, 255, 0 });
    }
    for (int i = 0; i < 4; ++i) {
        const std::array<double, 2> q[4] = { at(0, -hh), at(hw, 0), at(0, hh), at(-hw, 0) };
        c.disc(q[i][0], q[i][1], 6, kInk);
        c.disc(q[i][0], q[i][1], 4.5, Rgb { 207, 223, 255 });
    }
    c.line(310, 158, 370, 158, 6, kWhite);
    c.line(370, 158, 352, 144, 6, kWhite);
    c.line(370, 158, 352, 172, 6, kWhite);
}

void pictureCorrect(Canvas& c)
{
    for (int i = 0; i < 3; ++i) {
        const int x = 70 + i * 260;
        c.card(x, 95, x + 200, 215, Rgb { 200, 200, 200 }, kWhite);
        for (int y = 0; y < 114; ++y) {
            const double t = y / 113.0;
            const Rgb shade = i == 0 ? mix(Rgb { 40, 40, 40 }, Rgb { 230, 230, 230 }, t)
                : i == 1             ? mix(Rgb { 30, 60, 140 }, Rgb { 250, 200, 120 }, t)
                                     : mix(Rgb { 60, 150, 60 }, Rgb { 250, 250, 200 }, t);
            c.fill(x + 3, 98 + y, x + 197, 99 + y, shade);
        }
    }
    // A grid over the last picture and a barrel curve over the middle one.
    for (int g = 0; g < 5; ++g) {
        c.fill(590 + g * 50, 98, 591 + g * 50, 212, kWhite, 0.7);
        c.fill(593, 98 + g * 28, 787, 99 + g * 28, kWhite, 0.7);
    }
    for (int x = 0; x < 194; ++x) {
        const double t = (x - 97) / 97.0;
        c.disc(333 + x, 120 + 18 * t * t, 1.5, kWhite);
        c.disc(333 + x, 190 - 18 * t * t, 1.5, kWhite);
    }
}

void pictureMergeTypes(Canvas& c)
{
    const char* names[5] = { "AVERAGE", "BRIGHTEST", "DARKEST", "MOST", "LEAST" };
    const Rgb result[5]
        = { { 165, 145, 165 }, { 240, 200, 240 }, { 90, 90, 90 }, { 230, 60, 160 }, { 150, 150, 150 } };
    for (int i = 0; i < 5; ++i) {
        const int x = 50 + i * 160;
        c.card(x, 100, x + 120, 190, result[i], kWhite);
        text(c, x + (120 - int(std::string(names[i]).size()) * 12) / 2, 200, names[i], 2, kInk);
    }
}

void pictureSave(Canvas& c)
{
    c.card(60, 90, 360, 225, Rgb { 170, 160, 200 }, kWhite);
    c.frame(140, 120, 280, 190, 3, Rgb { 255, 64, 64 }); // a zone
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < 3; ++k)
            c.card(420 + k * 70, 100 + r * 65, 480 + k * 70, 155 + r * 65, Rgb { 170, 160, 200 }, kWhite);
    // A printer.
    c.fill(680, 130, 820, 200, kInk);
    c.fill(700, 95, 800, 135, kWhite);
    c.fill(700, 185, 800, 230, kWhite);
}

void pictureBatch(Canvas& c)
{
    for (int i = 0; i < 5; ++i) {
        const int x = 60 + i * 30, y = 88 + i * 12;
        c.card(x, y, x + 200, y + 95, mix(Rgb { 90, 170, 240 }, Rgb { 240, 120, 90 }, i / 4.0), kWhite);
    }
    text(c, 210, 170, "1", 3, kWhite, true);
    c.line(420, 158, 520, 158, 8, kWhite);
    c.line(520, 158, 495, 138, 8, kWhite);
    c.line(520, 158, 495, 178, 8, kWhite);
    // A folder.
    c.fill(570, 110, 650, 130, Rgb { 240, 200, 80 });
    c.fill(570, 125, 800, 225, Rgb { 250, 215, 100 });
    c.frame(570, 125, 800, 225, 3, Rgb { 200, 150, 40 });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_tip_banners <output folder>\n");
        return 2;
    }
    const std::filesystem::path out(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(out, error);

    const Page pages[7] = {
        { { 150, 190, 240 }, { 220, 230, 250 }, "WELCOME",
            { "MERGE UP TO EIGHT IMAGES OR TEXTS INTO ONE TARGET.",
                "PLACE THEM IN THE ALIGN WINDOW, THEN MERGE", "THEM IN THE TARGET WINDOW." } },
        { { 140, 200, 170 }, { 220, 245, 225 }, "LOAD SOURCES",
            { "OPEN IMAGE OR OPEN TEXT FROM THE FILE MENU,", "OR PRESS THE BUTTONS BELOW. BMP, JPG, PNG,",
                "TIF, TGA AND PCX FILES CAN BE LOADED." } },
        { { 200, 170, 230 }, { 240, 230, 250 }, "ALIGN",
            { "DRAG THE SELECTED SOURCE TO MOVE IT, ITS SIDES",
                "AND CORNERS TO SIZE IT, THE OUTER HANDLES TO",
                "ROTATE IT. RIGHT CLICK SELECTS THE NEXT ONE." } },
        { { 230, 190, 140 }, { 250, 235, 210 }, "CORRECT",
            { "EVERY SOURCE HAS ITS OWN WINDOW: GRAY SCALE,", "BRIGHTNESS, CONTRAST, GAMMA, TRAPEZOID, LENS",
                "CORRECTIONS, GRID, CROP AND TRANSPARENT AREAS." } },
        { { 230, 150, 170 }, { 250, 225, 230 }, "MERGE",
            { "IN THE TARGET WINDOW CHOOSE HOW THE SOURCES", "MEET: AVERAGE, BRIGHTEST, DARKEST, MOST OR",
                "LEAST COLORED, WITH BIAS AND FADED EDGES." } },
        { { 150, 200, 210 }, { 225, 245, 250 }, "SAVE AND PRINT",
            { "SAVE THE WHOLE TARGET, A ZONE OR A GRID OF", "TILES, OR PRINT IT WITH A PAGE LAYOUT.",
                nullptr } },
        { { 190, 190, 150 }, { 245, 245, 225 }, "BATCH MERGE",
            { "USE SOURCE 1 AS A WATERMARK FOR EVERY IMAGE", "OF A FOLDER. PRESS ESC TO STOP LONG WORK.",
                nullptr } },
    };
    void (*const pictures[7])(Canvas&) = { pictureMerge, pictureLoad, pictureAlign, pictureCorrect,
        pictureMergeTypes, pictureSave, pictureBatch };

    for (int i = 0; i < 7; ++i) {
        Canvas canvas(kWidth, kHeight);
        pageFrame(canvas, pages[i], i + 1);
        pictures[i](canvas);
        const std::string path = (out / ("intro" + std::to_string(i + 1) + ".jpg")).string();
        if (!canvas.save(path)) {
            std::fprintf(stderr, "make_tip_banners: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
