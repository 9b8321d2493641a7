#include "image/masked_dib.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <utility>
#include <vector>

namespace tessary {
namespace {

TEST(PackedDib, StridePerDepth)
{
    struct Case {
        int bits;
        int32_t width;
        uint32_t stride;
    };
    const Case cases[] = {
        { 1, 1, 4 }, { 1, 32, 4 }, { 1, 33, 8 }, { 4, 8, 4 }, { 4, 9, 8 }, { 8, 5, 8 }, { 8, 4, 4 },
        { 16, 3, 8 }, { 16, 2, 4 }, { 24, 5, 16 }, { 24, 4, 12 }, { 32, 3, 12 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rowStride(c.width, c.bits), c.stride) << c.bits << " bits, width " << c.width;
}

TEST(MaskedDib, AllocateBuildsTheHeaderTableAndAnOpaqueMask)
{
    struct Case {
        int bits;
        uint32_t tableEntries;
    };
    for (Case c : { Case { 1, 2 }, Case { 4, 16 }, Case { 8, 256 }, Case { 24, 0 } }) {
        SCOPED_TRACE(c.bits);
        MaskedDib image;
        ASSERT_FALSE(allocateMaskedDib(3, 5, image, c.bits));
        const BitmapInfoHeader h = image.dib->header();
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 5);
        EXPECT_EQ(h.biHeight, 3);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, c.bits);
        EXPECT_EQ(h.biCompression, 0u);
        EXPECT_EQ(h.biSizeImage, rowStride(5, c.bits) * 3);
        EXPECT_EQ(h.biXPelsPerMeter, 0);
        EXPECT_EQ(h.biClrUsed, c.tableEntries);
        EXPECT_EQ(image.dib->size(), 40 + 4 * c.tableEntries + h.biSizeImage);
        EXPECT_EQ(image.maskCount, 15u);
        EXPECT_TRUE(image.owned);
        for (uint32_t i = 0; i < image.maskCount; ++i)
            EXPECT_EQ(image.mask[i], kOpaque);
    }
}

TEST(MaskedDib, AllocateRefusesSizesOverTheLimits)
{
    struct Case {
        int32_t height;
        int32_t width;
        int bits;
    };
    // 20000 x 20000 at 24 bits is 1.2 GB: over the byte limit though each side is allowed.
    for (Case c : { Case { 1, 20001, 8 }, Case { 20001, 1, 8 }, Case { -1, 5, 24 }, Case { 5, -1, 24 },
                    Case { 20000, 20000, 24 }, Case { 10, 10, 16 } }) {
        MaskedDib image;
        EXPECT_TRUE(allocateMaskedDib(c.height, c.width, image, c.bits)) << c.width << "x" << c.height;
        EXPECT_EQ(image.dib, nullptr);
        EXPECT_EQ(image.mask, nullptr);
    }
    MaskedDib edge;
    EXPECT_FALSE(allocateMaskedDib(1, 20000, edge, 24));
}

TEST(MaskedDib, MaskFillAndRelease)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(2, 2, image, 24));
    ASSERT_FALSE(allocateMask(image, 0));
    EXPECT_EQ(image.mask[3], 0);
    releaseMask(image);
    EXPECT_EQ(image.mask, nullptr);
    EXPECT_EQ(image.maskCount, 0u);
    EXPECT_NE(image.dib, nullptr);
    releaseMaskedDib(image);
    EXPECT_EQ(image.dib, nullptr);
    EXPECT_FALSE(image.owned);
}

TEST(MaskedDib, CloneIsDeep)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(2, 3, image, 24));
    image.dib->row(1)[2] = 77;
    image.mask[4] = 123;
    MaskedDib copy = image.clone();
    image.dib->row(1)[2] = 0;
    image.mask[4] = 0;
    EXPECT_EQ(copy.dib->row(1)[2], 77);
    EXPECT_EQ(copy.mask[4], 123);
}

// The opaque fact and a real mask of 65535s read alike through every reading interface, and a
// write makes the fact real with only the written value changed.
TEST(MaskedDib, OpaqueFactReadsLikeARealOpaqueMask)
{
    struct Case {
        int32_t width, height;
    };
    for (Case c : { Case { 1, 1 }, Case { 5, 3 }, Case { 20000, 1 }, Case { 3, 2000 } }) {
        SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height);
        MaskedDib fact, real;
        ASSERT_FALSE(allocateMaskedDib(c.height, c.width, fact, 8));
        ASSERT_FALSE(allocateMaskedDib(c.height, c.width, real, 8));
        ASSERT_TRUE(materialiseMask(real));
        EXPECT_TRUE(fact.mask.isOpaqueFact());
        EXPECT_FALSE(real.mask.isOpaqueFact());
        EXPECT_EQ(fact.mask.realValues(), nullptr);
        EXPECT_TRUE(bool(fact.mask));
        EXPECT_EQ(fact.maskCount, real.maskCount);
        const MaskedDib& f = fact;
        const MaskedDib& r = real;
        const size_t count = size_t(c.width) * size_t(c.height);
        EXPECT_EQ(std::memcmp(f.mask.get(), r.mask.get(), count * sizeof(uint16_t)), 0);
        for (int32_t row : { 0, c.height / 2, c.height - 1 }) {
            EXPECT_EQ(std::memcmp(f.maskRow(row), r.maskRow(row), size_t(c.width) * sizeof(uint16_t)), 0);
            EXPECT_EQ(f.mask[size_t(row) * size_t(c.width)], kOpaque);
        }
        const MaskedDib copy = f.clone();
        EXPECT_TRUE(copy.mask.isOpaqueFact());
        EXPECT_EQ(copy.maskCount, f.maskCount);

        // A write through the writable row.
        fact.maskRow(c.height - 1)[c.width - 1] = 7;
        EXPECT_FALSE(fact.mask.isOpaqueFact());
        for (size_t i = 0; i < count; ++i)
            ASSERT_EQ(fact.mask[i], i + 1 == count ? 7 : kOpaque) << i;
        EXPECT_TRUE(copy.mask.isOpaqueFact()) << "the copy is its own";
        // Opaque again: it collapses back to the fact, a partly clear mask does not.
        fact.mask.collapseIfOpaque();
        EXPECT_FALSE(fact.mask.isOpaqueFact());
        fact.mask[count - 1] = kOpaque;
        fact.mask.collapseIfOpaque();
        EXPECT_TRUE(fact.mask.isOpaqueFact());
    }
}

TEST(MaskedDib, MaskFillsBecomeTheFactOnlyWhenOpaque)
{
    MaskedDib image;
    ASSERT_FALSE(allocateMaskedDib(4, 6, image, 24));
    ASSERT_FALSE(allocateMask(image, 0));
    EXPECT_FALSE(image.mask.isOpaqueFact());
    EXPECT_EQ(std::as_const(image).maskRow(3)[5], 0);
    ASSERT_FALSE(allocateMask(image, 0xFF));
    EXPECT_TRUE(image.mask.isOpaqueFact());
    EXPECT_EQ(image.maskCount, 24u);
    releaseMask(image);
    EXPECT_FALSE(bool(image.mask));
    EXPECT_EQ(image.mask.size(), 0u);
}

// A 24-bit w x h bitmap with a resolution in its header (as decoded files have), row bytes
// numbered from `seed`.
std::unique_ptr<PackedDib> numberedDib(int32_t w, int32_t h, uint8_t seed)
{
    MaskedDib image;
    if (allocateMaskedDib(h, w, image, 24))
        return nullptr;
    BitmapInfoHeader header = image.dib->header();
    header.biXPelsPerMeter = header.biYPelsPerMeter = 3780;
    image.dib->setHeader(header);
    for (int32_t r = 0; r < h; ++r)
        for (uint32_t i = 0; i < image.dib->stride(); ++i)
            image.dib->row(r)[i] = uint8_t(seed + 31 * r + i);
    return std::move(image.dib);
}

BitmapInfoHeader plainHeader(int32_t w, int32_t h)
{
    BitmapInfoHeader header;
    header.biWidth = w;
    header.biHeight = h;
    header.biBitCount = 24;
    header.biSizeImage = rowStride(w, 24) * uint32_t(h);
    return header;
}

TEST(PackedDib, SharedRowsReadAsTheirOwnBitmapUntilEitherSideWrites)
{
    const std::unique_ptr<PackedDib> original = numberedDib(5, 4, 9);
    std::unique_ptr<PackedDib> source = original->clone();
    std::unique_ptr<PackedDib> shared = PackedDib::shareRows(*source, plainHeader(5, 4));
    ASSERT_TRUE(shared);
    EXPECT_TRUE(shared->sharesRows());
    EXPECT_TRUE(source->sharesRows());
    EXPECT_EQ(std::as_const(*shared).row(2), std::as_const(*source).row(2)) << "no copy was made";
    EXPECT_EQ(shared->header().biXPelsPerMeter, 0);
    EXPECT_EQ(source->header().biXPelsPerMeter, 3780);
    EXPECT_EQ(shared->size(), source->size());

    // The whole block, asked for at once, is the shared bitmap's header then the same rows.
    const PackedDib& sharedReader = *shared;
    const uint8_t* whole = sharedReader.data();
    ASSERT_NE(whole, nullptr);
    const BitmapInfoHeader expected = plainHeader(5, 4);
    EXPECT_EQ(std::memcmp(whole, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(whole + 40, original->data() + 40, original->size() - 40), 0);

    struct Side {
        const char* name;
        bool writeSource;
    };
    for (Side side : { Side { "source", true }, Side { "shared", false } }) {
        SCOPED_TRACE(side.name);
        std::unique_ptr<PackedDib> a = original->clone();
        std::unique_ptr<PackedDib> b = PackedDib::shareRows(*a, plainHeader(5, 4));
        ASSERT_TRUE(b);
        PackedDib& written = side.writeSource ? *a : *b;
        const PackedDib& other = side.writeSource ? *b : *a;
        written.row(1)[2] = 0xEE;
        EXPECT_FALSE(a->sharesRows());
        EXPECT_FALSE(b->sharesRows());
        EXPECT_EQ(std::as_const(written).row(1)[2], 0xEE);
        EXPECT_EQ(other.row(1)[2], original->row(1)[2]);
        for (int32_t r = 0; r < 4; ++r)
            EXPECT_EQ(std::memcmp(other.row(r), std::as_const(*original).row(r), original->stride()), 0);
        // The other side's header is still its own.
        EXPECT_EQ(other.header().biXPelsPerMeter, side.writeSource ? 0 : 3780);
    }

    // A header change and a copy separate as well.
    std::unique_ptr<PackedDib> c = PackedDib::shareRows(*source, plainHeader(5, 4));
    std::unique_ptr<PackedDib> copy = c->clone();
    BitmapInfoHeader changed = c->header();
    changed.biClrImportant = 1;
    c->setHeader(changed);
    EXPECT_EQ(source->header().biClrImportant, 0u);
    EXPECT_EQ(copy->header().biXPelsPerMeter, 0);
    EXPECT_EQ(std::memcmp(std::as_const(*copy).row(3), std::as_const(*original).row(3), original->stride()), 0);
}

TEST(PackedDib, ShareRowsRefusesAHeaderOfOtherRows)
{
    const std::unique_ptr<PackedDib> source = numberedDib(5, 4, 1);
    BitmapInfoHeader narrower = plainHeader(4, 4), taller = plainHeader(5, 5), table = plainHeader(5, 4),
                     topDown = plainHeader(5, -4);
    table.biClrUsed = 2;
    for (const BitmapInfoHeader& h : { narrower, taller, table, topDown })
        EXPECT_EQ(PackedDib::shareRows(*source, h), nullptr) << h.biWidth << "x" << h.biHeight;
    EXPECT_NE(PackedDib::shareRows(*source, plainHeader(5, 4)), nullptr);
}

// Rows of every shape a mask row can take, width by width: each held as row spans must read
// exactly like the real values through every reading interface.
std::vector<std::vector<uint16_t>> maskRowShapes(int32_t w, std::mt19937& rng)
{
    const size_t n = size_t(w);
    std::vector<std::vector<uint16_t>> rows;
    const auto row = [&](auto&& value) {
        std::vector<uint16_t> r(n);
        for (size_t x = 0; x < n; ++x)
            r[x] = value(x);
        rows.push_back(std::move(r));
    };
    row([](size_t) { return uint16_t(0); });
    row([](size_t) { return kOpaque; });
    row([&](size_t x) { return x == n / 2 ? uint16_t(7) : kOpaque; }); // a partial hole
    row([&](size_t x) { return x == n - 1 ? uint16_t(0) : kOpaque; }); // 0 at the right edge
    row([&](size_t x) { return x == 0 ? uint16_t(300) : uint16_t(0); }); // only the left edge
    row([&](size_t x) { return x == n - 1 ? kOpaque : uint16_t(0); }); // only the right edge
    row([&](size_t x) { return x >= n / 3 && x < 2 * n / 3 ? kOpaque : uint16_t(0); }); // a rotated row
    row([&](size_t x) { return uint16_t(x % 3 == 0 ? 0 : x % 3 == 1 ? 65535 : 1000 + x); }); // holes
    // Two runs of 65535 of different lengths with a hole of 0 between them.
    row([&](size_t x) {
        return x < n / 4 ? kOpaque : x < n / 4 + 2 ? uint16_t(0) : x + 1 < n ? kOpaque : uint16_t(9);
    });
    std::uniform_int_distribution<int> kind(0, 5), value(1, 65534);
    for (int k = 0; k < 6; ++k)
        row([&](size_t) {
            const int c = kind(rng);
            return c == 0 ? uint16_t(0) : c == 1 ? uint16_t(value(rng)) : kOpaque;
        });
    return rows;
}

TEST(MaskedDib, RowSpansReadLikeTheRealValues)
{
    std::mt19937 rng(2026);
    for (int32_t w : { 1, 2, 3, 17, 640 }) {
        SCOPED_TRACE(w);
        const std::vector<std::vector<uint16_t>> shapes = maskRowShapes(w, rng);
        const int32_t h = int32_t(shapes.size());
        MaskedDib real, spans;
        ASSERT_FALSE(allocateMaskedDib(h, w, real, 24));
        ASSERT_FALSE(allocateMaskedDib(h, w, spans, 24));
        ASSERT_FALSE(allocateSpanMask(spans));
        ASSERT_TRUE(spans.mask.spans());
        for (int32_t r = 0; r < h; ++r) // still all 0
            for (int32_t x = 0; x < w; ++x)
                ASSERT_EQ(std::as_const(spans).mask[size_t(r) * size_t(w) + size_t(x)], 0);
        ASSERT_TRUE(materialiseMask(real));
        // Odd rows are stored from a second thread while the first stores the even ones.
        std::atomic<bool> stored { true };
        const auto store = [&](int32_t first) {
            for (int32_t r = first; r < h; r += 2)
                stored = spans.mask.storeRow(r, w, shapes[size_t(r)].data()) && stored;
        };
        std::thread odd(store, 1);
        store(0);
        odd.join();
        ASSERT_TRUE(stored);
        for (int32_t r = 0; r < h; ++r)
            ASSERT_TRUE(real.mask.storeRow(r, w, shapes[size_t(r)].data()));

        const MaskedDib& s = spans;
        EXPECT_FALSE(s.mask.isOpaqueFact());
        EXPECT_EQ(s.mask.realValues(), nullptr) << "readers that skip a null mask must check spans()";
        EXPECT_EQ(s.mask.size(), size_t(w) * size_t(h));
        EXPECT_EQ(s.maskCount, real.maskCount);
        for (size_t i = 0; i < s.maskCount; ++i)
            ASSERT_EQ(s.mask[i], real.mask[i]) << i;
        std::vector<uint16_t> scratch(size_t(w) + 2);
        std::uniform_int_distribution<int32_t> column(0, w);
        for (int32_t r = 0; r < h; ++r) {
            SCOPED_TRACE(r);
            const uint16_t* expected = std::as_const(real).maskRow(r);
            EXPECT_EQ(std::memcmp(s.maskValues(r, 0, w, scratch.data()), expected, size_t(w) * 2), 0);
            EXPECT_EQ(std::memcmp(s.maskRow(r), expected, size_t(w) * 2), 0);
            // A window writes its own columns of the scratch row and no others.
            for (int k = 0; k < 4; ++k) {
                int32_t from = column(rng), to = column(rng);
                if (from > to)
                    std::swap(from, to);
                std::fill(scratch.begin(), scratch.end(), uint16_t(12345));
                const uint16_t* got = s.maskValues(r, from, to, scratch.data());
                for (int32_t x = 0; x < w; ++x)
                    ASSERT_EQ(got[x], x >= from && x < to ? expected[x] : uint16_t(12345))
                        << from << ".." << to;
                ASSERT_EQ(scratch[size_t(w)], 12345);
            }
        }
        EXPECT_EQ(std::memcmp(s.mask.get(), std::as_const(real).mask.get(), real.maskCount * 2), 0);

        // A row of 0s, 65535s and 0s keeps no values at all.
        const MaskSpanRow& rotated = s.mask.spans()->row(6);
        EXPECT_EQ(rotated.x0, rotated.x1);
        EXPECT_EQ(rotated.x2, rotated.x3);

        MaskedDib copy = s.clone();
        ASSERT_TRUE(copy.mask.spans());
        for (size_t i = 0; i < s.maskCount; ++i)
            ASSERT_EQ(std::as_const(copy).mask[i], real.mask[i]);
        // Not opaque everywhere: stays spans. Writing makes it real with the same values.
        copy.mask.collapseIfOpaque();
        ASSERT_TRUE(copy.mask.spans());
        copy.mask[0] = 3;
        EXPECT_EQ(copy.mask.spans(), nullptr);
        ASSERT_NE(copy.mask.realValues(), nullptr);
        for (size_t i = 1; i < s.maskCount; ++i)
            ASSERT_EQ(copy.mask[i], real.mask[i]);
        EXPECT_EQ(copy.mask[0], 3);
        EXPECT_EQ(s.mask[0], real.mask[0]) << "the copy is its own";
    }
}

TEST(MaskedDib, RowSpansOpaqueEverywhereCollapseToTheFact)
{
    for (int32_t w : { 1, 9 }) {
        MaskedDib image;
        ASSERT_FALSE(allocateMaskedDib(3, w, image, 24));
        ASSERT_FALSE(allocateSpanMask(image));
        const std::vector<uint16_t> opaque(size_t(w), kOpaque);
        for (int32_t r = 0; r < 3; ++r)
            ASSERT_TRUE(image.mask.storeRow(r, w, opaque.data()));
        image.mask.collapseIfOpaque();
        EXPECT_TRUE(image.mask.isOpaqueFact());
        EXPECT_EQ(image.mask.size(), size_t(3 * w));
    }
    // A side of 0 gives an empty plane, not a failure.
    MaskedDib empty;
    ASSERT_FALSE(allocateMaskedDib(0, 5, empty, 24));
    EXPECT_FALSE(allocateSpanMask(empty));
    EXPECT_FALSE(bool(empty.mask));
    EXPECT_FALSE(bool(MaskPlane::rowSpans(0, 4)));
}

} // namespace
} // namespace tessary
