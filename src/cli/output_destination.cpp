// Where the batch program writes: standard output, or a file placed once complete.
#include "cli/output_destination.h"

#include <unistd.h>

#include <utility>

namespace lintaro {

OutputDestination::OutputDestination(FileSystem& files, std::string path)
    : files_(files), path_(std::move(path)) {}

std::ostream* OutputDestination::Stream() {
    if (stream_) return stream_.get();
    if (error_) return nullptr;
    const int named_descriptor = path_.empty() ? STDOUT_FILENO : files_.DescriptorNamed(path_);
    if (named_descriptor >= 0) {
        // Standard output, or a name for a descriptor already open (/dev/stdout, /dev/fd/N):
        // written where that descriptor stands, as the shell set it up. Following the name to
        // a file and replacing that would throw away what the shell's ">>" or an earlier
        // command put there.
        buffer_ = std::make_unique<OutputBuffer>([this, named_descriptor](std::string_view bytes) {
            return files_.WriteAll(named_descriptor, bytes);
        });
    } else if (files_.KindOf(path_) == PathKind::kOther) {
        // A device or a FIFO (/dev/null, a pipe made with mkfifo) is written
        // into as the shell's ">" does: a file renamed over it would replace the device for
        // every program, and a reader of the FIFO would never see the output.
        int fd = -1;
        if (const std::error_code error = files_.OpenExistingForWriting(path_, fd)) {
            error_ = error;
            return nullptr;
        }
        device_ = UniqueFd(fd, files_);
        buffer_ = std::make_unique<OutputBuffer>(
            [this](std::string_view bytes) { return files_.WriteAll(device_.Get(), bytes); });
    } else {
        // The file is written beside its final name and renamed into place once complete, so
        // a failure leaves the old file as it was and no partial one. A symbolic link stays:
        // the file it leads to is the one replaced, or created when the link dangles, as the
        // shell's ">" creates it.
        if (const std::error_code error = files_.ResolvePath(path_, target_)) {
            error_ = error;
            return nullptr;
        }
        file_.emplace(files_, target_.substr(0, target_.rfind('/') + 1));
        if (const std::error_code error = file_->Create()) {
            error_ = error;
            return nullptr;
        }
        buffer_ = std::make_unique<OutputBuffer>(
            [this](std::string_view bytes) { return file_->Write(bytes); });
    }
    stream_ = std::make_unique<std::ostream>(buffer_.get());
    return stream_.get();
}

std::error_code OutputDestination::Finish() {
    if (!stream_ || error_) return Error();
    stream_->flush();
    if (!buffer_->Error() && file_) error_ = file_->PlaceReplacing(target_);
    device_.Reset();
    return Error();
}

OutputDestination::~OutputDestination() = default;

std::error_code OutputDestination::Error() const {
    if (error_) return error_;
    return buffer_ ? buffer_->Error() : std::error_code();
}

std::string OutputDestination::Name() const {
    return path_.empty() ? "standard output" : path_;
}

}  // namespace lintaro
