#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace tessary {

// One stored mask row held by its runs: 0 before x0 and from x3 on, 65535 in [x1, x2), and
// the real values of [x0, x1) and [x2, x3) kept in `edges`, one after the other. Any row fits:
// [x1, x2) is the longest run of 65535s, everything else inside the non-zero extent is stored
// as it is, holes included.
struct MaskSpanRow {
    int32_t x0 = 0, x1 = 0, x2 = 0, x3 = 0;
    std::unique_ptr<uint16_t[]> edges;

    uint16_t at(int32_t x) const
    {
        if (x < x0 || x >= x3)
            return 0;
        if (x < x1)
            return edges[size_t(x - x0)];
        if (x < x2)
            return 65535;
        return edges[size_t(x1 - x0) + size_t(x - x2)];
    }
    // Writes the values of columns [from, to) to values[from] .. values[to - 1].
    void expand(int32_t from, int32_t to, uint16_t* values) const;
    // Takes the `width` values of a row; false (row unchanged) when memory runs out.
    bool store(const uint16_t* values, int32_t width);
};

// A width x height mask held row by row as spans: a rotated or otherwise non-rectangular
// picture is almost all 0 outside and 65535 inside, so its mask costs a few values per row.
// Rows start all 0. Different rows may be stored from different threads at once (each row owns
// its block); nothing may read the plane while rows are being stored.
class MaskSpans {
public:
    // Null when memory runs out.
    static std::unique_ptr<MaskSpans> create(int32_t width, int32_t height);

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    uint16_t at(size_t i) const { return rows_[i / size_t(width_)].at(int32_t(i % size_t(width_))); }
    const MaskSpanRow& row(int32_t r) const { return rows_[size_t(r)]; }
    bool storeRow(int32_t r, const uint16_t* values) { return rows_[size_t(r)].store(values, width_); }
    // True when every value is 65535.
    bool allOpaque() const;
    // Writes every value, row after row, to `values` (width x height of them).
    void expandAll(uint16_t* values) const;
    // A deep copy; null when memory runs out.
    std::unique_ptr<MaskSpans> clone() const;
    // Every value in one block, made on first use and kept for the plane's life, for readers
    // that want the whole plane at once; null when memory runs out.
    const uint16_t* whole() const;

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::unique_ptr<MaskSpanRow[]> rows_;
    mutable std::mutex wholeGuard_;
    mutable std::unique_ptr<uint16_t[]> whole_;
};

} // namespace tessary
