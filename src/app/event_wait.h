// Waiting a short time while the window keeps handling its events.
#pragma once

namespace lintaro {

// Returns once more than milliseconds have passed, handling every event that arrives
// meanwhile, so handlers may run (and nest) inside the wait. The thread sleeps between
// events instead of spinning.
void WaitHandlingEvents(int milliseconds);

}  // namespace lintaro
