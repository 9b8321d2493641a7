#pragma once

namespace tessary {

// The temporary files a save has beside its target right now, kept where a signal handler can
// reach them: a process ended by a signal runs no destructors, and would otherwise leave a
// hidden file the size of the target behind.
//
// A name is registered before its file is made (with O_EXCL, so a name another file holds is
// given up at once) and stays until the file is gone or renamed into place: there is no moment
// when the file exists unknown to the registry, and removing a name whose file is not there is
// harmless. The registry is a fixed table of kMaxTemporaryFiles names of up to
// kMaxTemporaryPath bytes; a name that finds no room is simply not covered. Any thread may
// register and release names.
inline constexpr int kMaxTemporaryFiles = 16;
inline constexpr int kMaxTemporaryPath = 4096;

// The slot holding `path`, or -1 when it did not fit.
int registerTemporaryFile(const char* path) noexcept;
// The file of `slot` is gone or renamed: forget its name (-1 does nothing).
void releaseTemporaryFile(int slot) noexcept;

// Removes every registered file. Async-signal-safe: only atomics and unlink, no allocation, no
// locks. A name taken by it stays taken, so the caller is expected to end the process.
void removeTemporaryFiles() noexcept;

} // namespace tessary
