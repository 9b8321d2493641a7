#pragma once

namespace tessary::cli {

// From here on, SIGINT, SIGTERM and SIGHUP first remove the temporary files of the saves under
// way (a merged BMP at its full size, or any other file being written beside its target) and
// then end the process by that same signal, so a shell still sees 130, 143 or 129. A signal
// the tool was started with ignored (nohup, a background job) stays ignored.
void removeTemporariesOnSignals();

} // namespace tessary::cli
