#pragma once
#include "image/mask_spans.h"
#include "image/packed_dib.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tessary {

constexpr uint16_t kOpaque = 65535;
constexpr uint16_t kTransparent = 0;

// At least `count` values of 65535 that stay valid and unchanged for the whole run, shared by
// every reader; null when memory runs out. Rows of up to the largest image side cost nothing.
const uint16_t* opaqueValues(size_t count);

// The opacity values of an image, in one of three forms that read alike. While every value is
// 65535 the plane holds only that fact, not two bytes per pixel: reading through the const
// interface sees 65535s from one shared read-only block. A transformed picture keeps its values
// as row spans (`MaskSpans`: 0 outside, 65535 inside, real values only at the edges). Anything
// that writes makes the values real first. Writers in the program call `materialise` (which
// can fail for lack of memory) before taking a writable pointer; the non-const accessors
// materialise on their own for code that has not.
class MaskPlane {
public:
    MaskPlane() = default;
    MaskPlane(std::nullptr_t) { }
    MaskPlane(MaskPlane&&) noexcept = default;
    MaskPlane& operator=(MaskPlane&&) noexcept = default;
    MaskPlane& operator=(std::nullptr_t)
    {
        reset();
        return *this;
    }

    // `count` values, all 65535, held as a fact.
    static MaskPlane opaque(size_t count);
    // `count` real values, every byte `fill`; an empty plane when memory runs out.
    static MaskPlane filled(size_t count, uint8_t fill);
    // `count` real values left unwritten, for a pass that writes every one itself (its threads
    // then touch the fresh pages first); an empty plane when memory runs out.
    static MaskPlane unwritten(size_t count);
    // width x height values, all 0, held as row spans for rows stored with `storeRow`; an
    // empty plane when memory runs out or a side is not positive.
    static MaskPlane rowSpans(int32_t width, int32_t height);

    explicit operator bool() const { return values_ || spans_ || opaqueCount_ != 0; }
    bool operator==(std::nullptr_t) const { return !*this; }
    size_t size() const
    {
        return values_ ? count_ : spans_ ? size_t(spans_->width()) * size_t(spans_->height()) : opaqueCount_;
    }
    // True while the plane is only the fact that every value is 65535.
    bool isOpaqueFact() const { return !values_ && !spans_ && opaqueCount_ != 0; }
    // The row spans, or null when the plane is held otherwise.
    const MaskSpans* spans() const { return spans_.get(); }

    // Sets the `width` values of stored row `row` of real values or row spans (rows may be
    // stored from two threads at once); false when memory runs out.
    bool storeRow(int32_t row, int32_t width, const uint16_t* values);

    // Makes the values real (a no-op when they are); false when memory runs out, and then the
    // plane is unchanged.
    bool materialise();
    // Turns the plane into the opaque fact when every real value is 65535 (frees the values).
    void collapseIfOpaque();
    void reset()
    {
        values_.reset();
        spans_.reset();
        count_ = 0;
        opaqueCount_ = 0;
    }
    // A copy of the same kind (a fact stays a fact, spans stay spans); an empty plane when
    // memory runs out.
    MaskPlane clone() const;

    uint16_t operator[](size_t i) const { return values_ ? values_[i] : spans_ ? spans_->at(i) : kOpaque; }
    uint16_t& operator[](size_t i) { return get()[i]; }
    // The values; for a fact the shared 65535s (const) or fresh real values (non-const, null
    // when memory runs out). Row spans give a whole copy made once (const): row readers use
    // `MaskedDib::maskValues` instead.
    const uint16_t* get() const
    {
        return values_ ? values_.get() : spans_ ? spans_->whole() : opaqueValues(opaqueCount_);
    }
    uint16_t* get() { return materialise() ? values_.get() : nullptr; }
    // The real values or null (for the fact and for row spans alike): readers that skip work
    // on a null mask must also check `spans()`, as row spans are not opaque.
    const uint16_t* realValues() const { return values_.get(); }

private:
    std::unique_ptr<uint16_t[]> values_;
    std::unique_ptr<MaskSpans> spans_;
    size_t count_ = 0; // of values_
    size_t opaqueCount_ = 0; // of the fact, when values_ is null
};

// The pixels of an image record: owns its PackedDib as a unique_ptr does, and hands it out
// const through a const record, so reading a const image never separates rows it shares.
class DibHandle {
public:
    DibHandle() = default;
    DibHandle(std::nullptr_t) { }
    DibHandle(std::unique_ptr<PackedDib> dib)
        : dib_(std::move(dib))
    {
    }
    DibHandle(DibHandle&&) noexcept = default;
    DibHandle& operator=(DibHandle&&) noexcept = default;
    DibHandle& operator=(std::unique_ptr<PackedDib> dib)
    {
        dib_ = std::move(dib);
        return *this;
    }
    DibHandle& operator=(std::nullptr_t)
    {
        dib_.reset();
        return *this;
    }
    // Hands the bitmap over to a plain owner.
    operator std::unique_ptr<PackedDib>() && { return std::move(dib_); }

    PackedDib* get() { return dib_.get(); }
    const PackedDib* get() const { return dib_.get(); }
    PackedDib* operator->() { return dib_.get(); }
    const PackedDib* operator->() const { return dib_.get(); }
    PackedDib& operator*() { return *dib_; }
    const PackedDib& operator*() const { return *dib_; }
    explicit operator bool() const { return bool(dib_); }
    bool operator==(std::nullptr_t) const { return !dib_; }
    void reset() { dib_.reset(); }

private:
    std::unique_ptr<PackedDib> dib_;
};

// The image record passed wherever an image is held: the pixels and one opacity value per
// pixel (65535 opaque, 0 transparent), indexed row * width + x in stored-row order.
// Move-only; `clone` makes a deep copy.
struct MaskedDib {
    DibHandle dib;
    MaskPlane mask;
    bool owned = false;
    uint32_t maskCount = 0;

    MaskedDib() = default;
    MaskedDib(MaskedDib&&) noexcept = default;
    MaskedDib& operator=(MaskedDib&&) noexcept = default;
    MaskedDib(const MaskedDib&) = delete;
    MaskedDib& operator=(const MaskedDib&) = delete;

    bool empty() const { return !dib; }
    int32_t width() const { return dib ? dib->width() : 0; }
    int32_t height() const { return dib ? dib->height() : 0; }
    // Writable values of one stored row; makes an opaque fact real (null when memory runs out).
    uint16_t* maskRow(int32_t storedRow)
    {
        uint16_t* values = mask.get();
        return values ? values + size_t(storedRow) * size_t(width()) : nullptr;
    }
    // One stored row to read; every row of an opaque fact is the same shared row of 65535s.
    // Row spans are read from their whole copy: row readers of transformed images use
    // `maskValues` instead.
    const uint16_t* maskRow(int32_t storedRow) const
    {
        const uint16_t* values = mask.realValues();
        if (!values && mask.spans())
            values = mask.get();
        if (values)
            return values + size_t(storedRow) * size_t(width());
        return opaqueValues(size_t(width()));
    }
    // The values of columns [from, to) of one stored row, at p[from] .. p[to - 1] of the
    // pointer returned: a real row, the shared row of 65535s, or, for row spans, `scratch` (a
    // caller's row of at least `to` values) with those columns written.
    const uint16_t* maskValues(int32_t storedRow, int32_t from, int32_t to, uint16_t* scratch) const
    {
        if (const MaskSpans* spans = mask.spans()) {
            spans->row(storedRow).expand(from, to, scratch);
            return scratch;
        }
        if (const uint16_t* values = mask.realValues())
            return values + size_t(storedRow) * size_t(width());
        return opaqueValues(size_t(width()));
    }
    // A deep copy of pixels and mask; an empty record when memory runs out.
    MaskedDib clone() const;
    // The same pixels, their block shared copy-on-write (copied only when either side writes),
    // with a copy of the mask: what is kept of an image before it is changed in place. An empty
    // record when memory runs out.
    MaskedDib share() const;
};

// Builds a zero-filled image of the given size and depth (1, 4, 8 or 24 bits; the colour table
// is left black) with a fully opaque mask (held as the fact). Returns true on failure (size
// above the limits, negative, or out of memory); then `target.dib` is none and nothing stays
// allocated.
bool allocateMaskedDib(int32_t height, int32_t width, MaskedDib& target, int bitCount);

// Gives `target.dib` a fresh mask whose every byte is `fill` (0xFF: all 65535, held as the
// fact; 0: all 0). Returns true on failure; then `target.dib` is freed as well.
bool allocateMask(MaskedDib& target, uint8_t fill);

// Gives `target.dib` a fresh mask of row spans, every value 0 until its rows are stored.
// Returns true on failure; then `target.dib` is freed as well.
bool allocateSpanMask(MaskedDib& target);

// Makes the record's mask writable; false (mask unchanged) when memory runs out.
bool materialiseMask(MaskedDib& record);

void releaseMaskedDib(MaskedDib& record);
void releaseMask(MaskedDib& record);

} // namespace tessary
