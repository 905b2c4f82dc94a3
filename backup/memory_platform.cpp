// An in-memory platform for the portable tests, fuzzers and benchmarks, with faults to order.
#include "backup/memory_platform.h"

#include <algorithm>
#include <cstring>

namespace backup {

namespace {

class MemoryReader : public ReadHandle {
public:
    MemoryReader(const MemoryPlatform::File& f, bool shortRead) : file_(f), short_(shortRead) {}
    bool Info(FileInfo* out) override {
        out->attributes = file_.attributes;
        out->sizeHigh = file_.sizeHigh;
        out->sizeLow = static_cast<uint32_t>(file_.bytes.size());
        return true;
    }
    bool Read(char* buffer, uint32_t n, uint32_t* got) override {
        size_t k = std::min<size_t>(n, file_.bytes.size());
        if (short_ && k > 0)
            --k;
        std::memcpy(buffer, file_.bytes.data(), k);
        *got = static_cast<uint32_t>(k);
        return true;
    }

private:
    MemoryPlatform::File file_;
    bool short_;
};

} // namespace

class MemoryWriter : public WriteHandle {
public:
    MemoryWriter(MemoryPlatform* p, std::string path, uint32_t attributes, std::string start)
        : p_(p), path_(std::move(path)), attributes_(attributes), pending_(std::move(start)) {
        p_->writing_.insert(path_);
    }
    ~MemoryWriter() override {
        if (open_)
            p_->writing_.erase(path_);
    }
    bool Write(const char* data, size_t n) override {
        if (!open_)
            return false;
        if (p_->failWriteAfter >= 0) {
            if (static_cast<long>(n) > p_->failWriteAfter) {
                failed_ = true;
                p_->failWriteAfter = 0;
                return false;
            }
            p_->failWriteAfter -= static_cast<long>(n);
        }
        pending_.append(data, n);
        return true;
    }
    bool SeekToEnd() override { return open_; }
    bool Close() override {
        if (!open_)
            return false;
        open_ = false;
        p_->writing_.erase(path_);
        if (failed_ || p_->failReplace)
            return false;
        MemoryPlatform::File& f = p_->files[path_];
        f.bytes = pending_;
        f.attributes = attributes_;
        return true;
    }

private:
    MemoryPlatform* p_;
    std::string path_;
    uint32_t attributes_;
    std::string pending_;
    bool open_ = true;
    bool failed_ = false;
};

std::unique_ptr<ReadHandle> MemoryPlatform::OpenRead(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end() || writing_.count(path))
        return nullptr;
    return std::make_unique<MemoryReader>(it->second, shortRead);
}

std::unique_ptr<WriteHandle> MemoryPlatform::OpenWrite(const std::string& path, uint32_t attributes,
                                                       uint32_t disposition, bool /*append*/) {
    if (writing_.count(path))
        return nullptr;
    auto it = files.find(path);
    bool exists = it != files.end();
    if ((disposition == kCreateNew && exists) ||
        ((disposition == kOpenExisting || disposition == kTruncateExisting) && !exists))
        return nullptr;
    std::string start;
    if (exists && (disposition == kOpenExisting || disposition == kOpenAlways))
        start = it->second.bytes;
    return std::make_unique<MemoryWriter>(this, path, attributes, std::move(start));
}

bool MemoryPlatform::CopyOver(const std::string& src, const std::string& dst) {
    auto it = files.find(src);
    if (it == files.end())
        return false;
    files[dst] = it->second;
    return true;
}

bool MemoryPlatform::Find(const std::string& path, FindData* out) {
    auto it = found.find(path);
    if (it == found.end())
        return false;
    *out = it->second;
    return true;
}

bool MemoryPlatform::UserSetting(const char* name, std::string* out) {
    auto it = settings.find(name);
    if (it == settings.end())
        return false;
    *out = it->second.size() < 260 ? it->second : std::string();
    return true;
}

std::string MemoryPlatform::Content(const std::string& path) const {
    auto it = files.find(path);
    return it == files.end() ? std::string("<missing>") : it->second.bytes;
}

} // namespace backup
