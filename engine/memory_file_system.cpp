// An in-memory file system for the engine's tests, fuzzers and benchmarks.
#include "engine/memory_file_system.h"

#include "engine/paths.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

std::string ParentKey(const std::string& key) {
    const size_t at = key.find_last_of('\\');
    if (at == std::string::npos || at < 2)
        return "";
    return key.substr(0, at);
}

std::string NameOf(const std::string& path) {
    std::string p = path;
    while (!p.empty() && p.back() == '\\')
        p.pop_back();
    const size_t at = p.find_last_of('\\');
    return at == std::string::npos ? p : p.substr(at + 1);
}

class MemoryFileReader : public FileReader {
public:
    MemoryFileReader(MemoryFileSystem* fs, std::string path, std::string bytes)
        : fs_(fs), path_(std::move(path)), bytes_(std::move(bytes)) {}
    FsStatus Read(char* buffer, size_t n, size_t* got) override {
        if (fs_->onRead)
            fs_->onRead(path_, at_);
        const size_t k = std::min(n, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, k);
        at_ += k;
        *got = k;
        return FsStatus::Ok;
    }

private:
    MemoryFileSystem* fs_;
    std::string path_;
    std::string bytes_;
    size_t at_ = 0;
};

} // namespace

class MemoryFileWriter : public FileWriter {
public:
    MemoryFileWriter(MemoryFileSystem* fs, std::string key) : fs_(fs), key_(std::move(key)) {}
    FsStatus Write(const char* data, size_t n) override {
        auto it = fs_->nodes_.find(key_);
        if (it == fs_->nodes_.end())
            return FsStatus::Failed;
        if (fs_->failWriteAfter >= 0) {
            if (static_cast<long>(n) > fs_->failWriteAfter) {
                fs_->failWriteAfter = 0;
                return FsStatus::Failed;
            }
            fs_->failWriteAfter -= static_cast<long>(n);
        }
        it->second.bytes.append(data, n);
        return FsStatus::Ok;
    }
    FsStatus Finish(uint64_t lastWrite) override {
        auto it = fs_->nodes_.find(key_);
        if (it == fs_->nodes_.end())
            return FsStatus::Failed;
        it->second.lastWrite = lastWrite;
        return FsStatus::Ok;
    }

private:
    MemoryFileSystem* fs_;
    std::string key_;
};

std::string MemoryFileSystem::Key(const std::string& path) {
    std::string key = Lower(path);
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

FsStatus MemoryFileSystem::Check(const std::string& path) const {
    const std::string key = Key(path);
    for (const std::string& u : unreachable) {
        const std::string k = Key(u);
        if (key == k || StartsWithNoCase(key, k + "\\"))
            return FsStatus::Unreachable;
    }
    if (key.size() >= 2 && key[1] == ':' &&
        absentDrives.find(static_cast<char>(key[0] - 'a' + 'A')) != std::string::npos)
        return FsStatus::NotFound;
    for (const std::string& d : denied) {
        if (key == Key(d))
            return FsStatus::Denied;
    }
    return FsStatus::Ok;
}

bool MemoryFileSystem::ParentIsFolder(const std::string& key) const {
    auto it = nodes_.find(ParentKey(key));
    return it != nodes_.end() && it->second.directory;
}

FsStatus MemoryFileSystem::List(const std::string& folder, std::vector<DirEntry>* out) {
    out->clear();
    const FsStatus s = Check(folder);
    if (s != FsStatus::Ok)
        return s;
    const std::string key = Key(folder);
    auto it = nodes_.find(key);
    if (it == nodes_.end() || !it->second.directory)
        return FsStatus::NotFound;
    const std::string start = key + "\\";
    for (auto n = nodes_.lower_bound(start);
         n != nodes_.end() && n->first.compare(0, start.size(), start) == 0; ++n) {
        if (n->first.find('\\', start.size()) != std::string::npos)
            continue;
        DirEntry e;
        e.name = n->second.name;
        e.directory = n->second.directory;
        e.size = n->second.bytes.size();
        e.lastWrite = n->second.lastWrite;
        out->push_back(e);
    }
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::Stat(const std::string& path, DirEntry* out) {
    const FsStatus s = Check(path);
    if (s != FsStatus::Ok)
        return s;
    auto it = nodes_.find(Key(path));
    if (it == nodes_.end())
        return FsStatus::NotFound;
    out->name = it->second.name;
    out->directory = it->second.directory;
    out->size = it->second.bytes.size();
    out->lastWrite = it->second.lastWrite;
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::OpenRead(const std::string& path, std::unique_ptr<FileReader>* out) {
    FsStatus s = Check(path);
    if (s != FsStatus::Ok)
        return s;
    for (const std::string& l : locked) {
        if (Key(l) == Key(path))
            return FsStatus::Denied;
    }
    auto it = nodes_.find(Key(path));
    if (it == nodes_.end() || it->second.directory)
        return FsStatus::NotFound;
    *out = std::make_unique<MemoryFileReader>(this, path, it->second.bytes);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::Create(const std::string& path, std::unique_ptr<FileWriter>* out) {
    const FsStatus s = Check(path);
    if (s != FsStatus::Ok)
        return s;
    const std::string key = Key(path);
    if (!ParentIsFolder(key))
        return FsStatus::NotFound;
    Node& n = nodes_[key];
    if (n.directory)
        return FsStatus::Denied;
    n.name = NameOf(path);
    n.bytes.clear();
    changes.push_back("create " + path);
    *out = std::make_unique<MemoryFileWriter>(this, key);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    FsStatus s = Check(from);
    if (s == FsStatus::Ok)
        s = Check(to);
    if (s != FsStatus::Ok)
        return s;
    const std::string a = Key(from), b = Key(to);
    auto it = nodes_.find(a);
    if (it == nodes_.end() || !ParentIsFolder(b))
        return FsStatus::NotFound;
    auto target = nodes_.find(b);
    if (target != nodes_.end() && (target->second.directory || it->second.directory))
        return FsStatus::Failed;
    std::map<std::string, Node> moved;
    for (auto n = nodes_.begin(); n != nodes_.end();) {
        if (n->first == a || StartsWithNoCase(n->first, a + "\\")) {
            moved[b + n->first.substr(a.size())] = n->second;
            n = nodes_.erase(n);
        } else {
            ++n;
        }
    }
    moved[b].name = NameOf(to);
    for (auto& m : moved)
        nodes_[m.first] = m.second;
    changes.push_back("rename " + from + " " + to);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::RemoveFile(const std::string& path) {
    const FsStatus s = Check(path);
    if (s != FsStatus::Ok)
        return s;
    auto it = nodes_.find(Key(path));
    if (it == nodes_.end())
        return FsStatus::NotFound;
    if (it->second.directory)
        return FsStatus::Denied;
    nodes_.erase(it);
    changes.push_back("remove " + path);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::RemoveFolder(const std::string& path) {
    const FsStatus s = Check(path);
    if (s != FsStatus::Ok)
        return s;
    const std::string key = Key(path);
    auto it = nodes_.find(key);
    if (it == nodes_.end())
        return FsStatus::NotFound;
    if (!it->second.directory)
        return FsStatus::Failed;
    auto next = std::next(it);
    if (next != nodes_.end() && next->first.compare(0, key.size() + 1, key + "\\") == 0)
        return FsStatus::Failed;
    nodes_.erase(it);
    changes.push_back("rmdir " + path);
    return FsStatus::Ok;
}

FsStatus MemoryFileSystem::MakeFolder(const std::string& path) {
    const FsStatus s = Check(path);
    if (s != FsStatus::Ok)
        return s;
    const std::string key = Key(path);
    auto it = nodes_.find(key);
    if (it != nodes_.end())
        return it->second.directory ? FsStatus::Ok : FsStatus::Failed;
    if (!ParentIsFolder(key))
        return FsStatus::NotFound;
    Node& n = nodes_[key];
    n.name = NameOf(path);
    n.directory = true;
    changes.push_back("mkdir " + path);
    return FsStatus::Ok;
}

bool MemoryFileSystem::DrivePresent(char letter) {
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return absentDrives.find(letter) == std::string::npos &&
           nodes_.count(Key(std::string(1, letter) + ":")) > 0;
}

void MemoryFileSystem::AddRoot(const std::string& root) {
    Node& n = nodes_[Key(root)];
    n.name = WithoutTrailingSlash(root);
    n.directory = true;
}

void MemoryFileSystem::AddFolder(const std::string& path) {
    std::string p = path;
    while (!p.empty() && p.back() == '\\')
        p.pop_back();
    const std::string key = Key(p);
    if (key.empty() || nodes_.count(key))
        return;
    const bool root = ParentKey(key).empty();
    if (!root)
        AddFolder(p.substr(0, p.find_last_of('\\')));
    Node& n = nodes_[key];
    n.name = root ? p : NameOf(p);
    n.directory = true;
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& bytes,
                               uint64_t lastWrite) {
    AddFolder(path.substr(0, path.find_last_of('\\')));
    Node& n = nodes_[Key(path)];
    n.name = NameOf(path);
    n.directory = false;
    n.bytes = bytes;
    n.lastWrite = lastWrite;
}

bool MemoryFileSystem::Exists(const std::string& path) const { return nodes_.count(Key(path)) > 0; }

std::string MemoryFileSystem::Content(const std::string& path) const {
    auto it = nodes_.find(Key(path));
    return it == nodes_.end() || it->second.directory ? "<missing>" : it->second.bytes;
}

std::vector<std::string> MemoryFileSystem::Below(const std::string& folder) const {
    std::vector<std::string> out;
    const std::string start = Key(folder) + "\\";
    for (auto n = nodes_.lower_bound(start);
         n != nodes_.end() && n->first.compare(0, start.size(), start) == 0; ++n)
        out.push_back(n->first.substr(start.size()));
    return out;
}

} // namespace engine
