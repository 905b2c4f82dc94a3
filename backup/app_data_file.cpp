// The base of the data files shared with the backup engine: load whole, read by lines, write
// safely.
#include "backup/app_data_file.h"

#include <cstring>
#include <new>

namespace backup {

namespace {
// The buffer always ends in this many zero bytes, which the parsers rely on.
constexpr size_t kSlack = 5;
} // namespace

AppDataFile::AppDataFile(Platform* platform)
    : platform_(platform ? platform : &DefaultPlatform()) {}

AppDataFile::~AppDataFile() = default;

bool AppDataFile::UseDefaultName() { return false; }

bool AppDataFile::SetName(const std::string& name) {
    path_ = platform_->DataFolder() + name;
    return true;
}

bool AppDataFile::Parse() { return true; }

bool AppDataFile::AppendItem(WriteHandle&, const BackupEntry&) { return true; }

bool AppDataFile::WriteContents(WriteHandle&) { return true; }

bool AppDataFile::AcceptSize(uint32_t) { return true; }

bool AppDataFile::Read() {
    ReleaseBuffer();
    missing_ = false;
    std::unique_ptr<ReadHandle> h = platform_->OpenRead(path_);
    if (!h) {
        missing_ = platform_->Missing(path_);
        return false;
    }
    FileInfo info;
    if (!h->Info(&info))
        return false;
    if ((info.attributes & (kAttrDirectory | kAttrOffline)) != 0 || info.sizeHigh != 0)
        return false;
    size_ = info.sizeLow;
    if (!AcceptSize(size_))
        return false;
    // size_t may be 32 bits wide, where size + slack of a file near 4 GiB would wrap.
    if (static_cast<uint64_t>(size_) + kSlack > static_cast<uint64_t>(SIZE_MAX))
        return false;
    size_t total = static_cast<size_t>(size_) + kSlack;
    buffer_.reset(new (std::nothrow) char[total]);
    if (!buffer_)
        return false;
    std::memset(buffer_.get(), 0, total);
    uint32_t got = 0;
    bool ok = h->Read(buffer_.get(), size_, &got);
    h.reset();
    if (!ok || got < size_) {
        ReleaseBuffer();
        return false;
    }
    cursor_ = 0;
    return Parse();
}

std::unique_ptr<WriteHandle> AppDataFile::OpenForWrite(uint32_t attributes, uint32_t disposition,
                                                       bool append) {
    std::unique_ptr<WriteHandle> h = platform_->OpenWrite(path_, attributes, disposition, append);
    if (h && append && !h->SeekToEnd())
        return nullptr;
    return h;
}

bool AppDataFile::Save(uint32_t attributes, uint32_t disposition, bool append) {
    std::unique_ptr<WriteHandle> h = OpenForWrite(attributes, disposition, append);
    if (!h)
        return false;
    bool ok = WriteContents(*h);
    // Only a complete content replaces the file; a failed one is dropped with the handle.
    if (!ok)
        return false;
    return h->Close();
}

bool AppDataFile::WriteText(WriteHandle& handle, const std::string& text) {
    return handle.Write(text.data(), text.size());
}

bool AppDataFile::WriteLine(WriteHandle& handle, const std::string& text) {
    std::string line = text;
    line += "\r\n";
    return handle.Write(line.data(), line.size());
}

// The text ends at the first zero byte; the buffer always holds one at size_, so the scans
// below stop there without knowing where the end is in advance (which would cost a pass over the
// rest of the buffer for every line).
bool AppDataFile::ReadLine(std::string* out) const {
    out->clear();
    if (!buffer_ || cursor_ >= size_)
        return false;
    const char* p = buffer_.get() + cursor_;
    if (*p == '\0')
        return false;
    // Only CRs are dropped, so a line that ends in a bare LF keeps its last character.
    for (; *p != '\0' && *p != '\n'; ++p) {
        if (*p != '\r')
            out->push_back(*p);
    }
    return true;
}

bool AppDataFile::NextLine() {
    if (!buffer_ || cursor_ >= size_)
        return false;
    const char* b = buffer_.get();
    const char* p = b + cursor_;
    while (*p != '\0' && *p != '\n')
        ++p;
    if (*p == '\0')
        return false;
    while (*p == '\n')
        ++p;
    cursor_ = static_cast<size_t>(p - b);
    return *p != '\0';
}

void AppDataFile::ReleaseBuffer() {
    buffer_.reset();
    cursor_ = 0;
}

} // namespace backup
