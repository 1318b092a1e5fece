// A page opened in headless Chromium, for tests that compare with what a browser makes of it.
#pragma once

#include <string>

#include "support/program_run.h"
#include "support/temp_dir.h"

namespace lintaro {

// Whether chromium is on PATH; the browser tests skip themselves without it.
bool ChromiumInstalled();

// Loads the page named page in dir and returns what Chromium printed: on standard output the
// DOM after loading, as Chromium serializes it. Host names resolve to nothing, so that a link
// to the network fails at once instead of waiting; pages may read other files of dir.
ProgramOutcome DumpDom(const TempDir& dir, const std::string& page);

}  // namespace lintaro
