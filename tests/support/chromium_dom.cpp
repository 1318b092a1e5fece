// A page opened in headless Chromium.
#include "support/chromium_dom.h"

#include <chrono>

namespace lintaro {

bool ChromiumInstalled() {
    return !FindOnPath("chromium").empty();
}

ProgramOutcome DumpDom(const TempDir& dir, const std::string& page) {
    return RunProgram({
        .program = "chromium",
        .arguments = {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                      "--no-first-run", "--disable-background-networking",
                      "--disable-component-update", "--disable-sync",
                      "--allow-file-access-from-files", "--host-resolver-rules=MAP * ~NOTFOUND",
                      "--user-data-dir=" + dir.Slash() + "profile-" + page, "--dump-dom",
                      "file://" + dir.Slash() + page},
        .time_limit = std::chrono::seconds(120),
    });
}

}  // namespace lintaro
