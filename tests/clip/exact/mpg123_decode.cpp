#include "clip/exact/mpg123_decode.h"

#include <mpg123.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include "support/temp_dir.h"

namespace snipwell::test {
namespace {

// libmpg123 reports damaged frames only on standard error; catch them there.
class StderrCapture {
public:
    explicit StderrCapture(const std::filesystem::path& file) : file_(file) {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        std::FILE* out = std::fopen(file.c_str(), "w");
        if (out == nullptr) throw std::runtime_error("cannot capture standard error");
        ::dup2(::fileno(out), STDERR_FILENO);
        std::fclose(out);
    }
    ~StderrCapture() { restore(); }
    std::string restore() {
        if (saved_ < 0) return {};
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
        std::ifstream in(file_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

private:
    std::filesystem::path file_;
    int saved_ = -1;
};

std::mutex decodeMutex;

}  // namespace

DecodedAudio decodeWithMpg123(const std::filesystem::path& mp3) {
    const std::lock_guard lock(decodeMutex);
    DecodedAudio audio;
    const TempDir work;
    StderrCapture capture(work.file("stderr.txt"));

    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (handle == nullptr) throw std::runtime_error("libmpg123 cannot start");
    mpg123_param(handle, MPG123_FLAGS, MPG123_GAPLESS, 0.0);
    if (mpg123_open(handle, mp3.c_str()) != MPG123_OK) {
        mpg123_delete(handle);
        throw std::runtime_error("libmpg123 cannot open " + mp3.string());
    }
    int encoding = 0;
    mpg123_getformat(handle, &audio.rate, &audio.channels, &encoding);
    mpg123_format_none(handle);
    mpg123_format(handle, audio.rate, audio.channels, MPG123_ENC_SIGNED_16);

    std::vector<unsigned char> buffer(64 * 1024);
    while (true) {
        std::size_t done = 0;
        const int status = mpg123_read(handle, buffer.data(), buffer.size(), &done);
        const auto* samples = reinterpret_cast<const std::int16_t*>(buffer.data());
        audio.samples.insert(audio.samples.end(), samples, samples + done / sizeof(std::int16_t));
        if (status == MPG123_DONE) break;
        if (status == MPG123_NEW_FORMAT || status == MPG123_OK) continue;
        audio.complaints += std::string("read failed: ") + mpg123_strerror(handle) + "\n";
        break;
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    audio.complaints += capture.restore();
    return audio;
}

}  // namespace snipwell::test
