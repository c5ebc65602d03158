#pragma once
// Files services for tests that hand Form1 its files: one that refuses every
// use, for tests that should not touch files, and one that passes every use
// on to a service the test may swap while the form lives.

#include <memory>
#include <string>

#include "common/files.h"
#include "common/runtime_error.h"

namespace snipwell::test {

// Fails every use as a missing disk would, so a handler that should not
// touch files shows it.
class NoFiles : public Files {
public:
    bool exists(const std::string&) override { throw unavailable(); }
    bool isSameFile(const std::string&, const std::string&) override { throw unavailable(); }
    std::int64_t fileSize(const std::string&) override { throw unavailable(); }
    std::unique_ptr<ByteSource> openSource(const std::string&) override { throw unavailable(); }
    std::unique_ptr<ClipTarget> createTarget(const std::string&) override { throw unavailable(); }

private:
    static RuntimeError unavailable() {
        return RuntimeError(ErrorKind::FileError, "this test gave the window no files");
    }
};

// Passes every use on to the service last given to use().
class FilesInUse : public Files {
public:
    explicit FilesInUse(Files& files) : files_(&files) {}
    void use(Files& files) { files_ = &files; }

    bool exists(const std::string& path) override { return files_->exists(path); }
    bool isSameFile(const std::string& a, const std::string& b) override {
        return files_->isSameFile(a, b);
    }
    std::int64_t fileSize(const std::string& path) override { return files_->fileSize(path); }
    std::unique_ptr<ByteSource> openSource(const std::string& path) override {
        return files_->openSource(path);
    }
    std::unique_ptr<ClipTarget> createTarget(const std::string& path) override {
        return files_->createTarget(path);
    }

private:
    Files* files_;
};

}  // namespace snipwell::test
