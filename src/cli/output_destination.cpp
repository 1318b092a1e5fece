// Where the batch program writes: standard output, or a file placed once complete.
#include "cli/output_destination.h"

#include <unistd.h>

#include <utility>

namespace lintaro {

OutputDestination::OutputDestination(FileSystem& files, std::string path)
    : files_(files), path_(std::move(path)) {}

std::ostream* OutputDestination::Stream() {
    if (stream_) return stream_.get();
    if (error_ != 0) return nullptr;
    if (path_.empty()) {
        buffer_ = std::make_unique<OutputBuffer>(
            [this](std::string_view bytes) { return files_.WriteAll(STDOUT_FILENO, bytes); });
    } else {
        // The file is written beside its final name and renamed into place once complete, so
        // a failure leaves the old file as it was and no partial one.
        file_.emplace(files_, path_.substr(0, path_.rfind('/') + 1));
        if (const int error = file_->Create(); error != 0) {
            error_ = error;
            return nullptr;
        }
        buffer_ = std::make_unique<OutputBuffer>(
            [this](std::string_view bytes) { return file_->Write(bytes); });
    }
    stream_ = std::make_unique<std::ostream>(buffer_.get());
    return stream_.get();
}

int OutputDestination::Finish() {
    if (!stream_ || error_ != 0) return Error();
    stream_->flush();
    if (buffer_->Error() == 0 && file_) error_ = file_->PlaceReplacing(path_);
    return Error();
}

int OutputDestination::Error() const {
    if (error_ != 0) return error_;
    return buffer_ ? buffer_->Error() : 0;
}

std::string OutputDestination::Name() const {
    return path_.empty() ? "standard output" : path_;
}

}  // namespace lintaro
