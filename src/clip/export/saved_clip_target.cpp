#include "saved_clip_target.h"

#include <cerrno>
#include <unistd.h>

#include <QFile>
#include <utility>

#include "file_error.h"

namespace snipwell {

SavedClipTarget::SavedClipTarget(std::string path)
    : path_(std::move(path)), file_(QFile::decodeName(QByteArray::fromStdString(path_))) {
    // Never fall back to writing into the target itself: that is exactly the
    // partial file that a failure must not leave behind.
    file_.setDirectWriteFallback(false);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw fileError("cannot create", path_, file_.errorString().toStdString());
    }
}

// QSaveFile removes its temporary file when destroyed uncommitted.
SavedClipTarget::~SavedClipTarget() = default;

// Positioned writes straight on the temporary file's descriptor: one system
// call per chunk, and the system's own reason when it fails.
void SavedClipTarget::writeAt(std::int64_t position, std::span<const std::byte> bytes) {
    if (position < 1) throw fileError("cannot write", path_, "bad file position");
    const int fd = file_.handle();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(position - 1) + static_cast<off_t>(done));
        if (put < 0) {
            if (errno == EINTR) continue;
            throw fileError("cannot write", path_, errno);
        }
        done += static_cast<std::size_t>(put);
    }
}

void SavedClipTarget::commit() {
    // Sync first and look at the result: a disk that fills up only now, or a
    // failing device, must not end in a clip that is renamed into place.
    if (::fsync(file_.handle()) != 0) throw fileError("cannot write", path_, errno);
    if (!file_.commit()) throw fileError("cannot save", path_, file_.errorString().toStdString());
}

}  // namespace snipwell
