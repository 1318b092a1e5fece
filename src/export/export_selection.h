// The export button's handler: selected cells to clipboard, file and message.
#pragma once

#include "export/export_io.h"

namespace lintaro {

// Exports the selected cells in the checked format: stops with an error message when nothing
// is selected; puts the text on the clipboard for the three formats that go there; writes it
// as a new UTF-8 file (no byte-order mark) into the dropped file's directory; then reports
// the directory, or the file and the system's reason when it could not be written. Building
// and writing run as the window's long work; when that is cancelled before the file is
// written, nothing is written, put on the clipboard or reported.
void ExportSelection(ExportIo& io);

}  // namespace lintaro
