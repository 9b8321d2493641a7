#pragma once

namespace tessary {

// How the long passes reach pixels. `Accessor` goes through the per-pixel accessors one virtual
// call at a time; `Rows` reads and writes 24-bit rows directly with precomputed steps, and
// `RowsTwoThreads` also splits the rows of each block over two threads. All three produce the
// same bytes and show the same progress, messages and polls; the program uses RowsTwoThreads.
enum class PixelPath { Accessor, Rows, RowsTwoThreads };

} // namespace tessary
