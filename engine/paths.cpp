// Path arithmetic of the backup layout.
#include "engine/paths.h"

#include <cstring>

namespace engine {

namespace {

char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::string Lower(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        c = LowerChar(c);
    return out;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithNoCase(a, b);
}

bool StartsWithNoCase(const std::string& a, const std::string& b) {
    if (a.size() < b.size())
        return false;
    for (size_t i = 0; i < b.size(); ++i) {
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    }
    return true;
}

std::string Join(const std::string& a, const std::string& b) {
    if (a.empty())
        return b;
    if (a.back() == '\\')
        return a + b;
    return a + "\\" + b;
}

std::string WithoutTrailingSlash(const std::string& path) {
    std::string out = path;
    while (out.size() > 1 && out.back() == '\\' && !(out.size() == 3 && out[1] == ':'))
        out.pop_back();
    return out;
}

std::string WithTrailingSlash(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path;
    return path + "\\";
}

std::string LastComponent(const std::string& path) {
    const std::string trimmed = WithoutTrailingSlash(path);
    const size_t at = trimmed.find_last_of('\\');
    return at == std::string::npos ? trimmed : trimmed.substr(at + 1);
}

std::string ShareRootOf(const std::string& path) {
    if (path.size() < 5 || path[0] != '\\' || path[1] != '\\' || path[2] == '\\')
        return "";
    const size_t server = path.find('\\', 2);
    if (server == std::string::npos || server + 1 >= path.size() || path[server + 1] == '\\')
        return "";
    const size_t share = path.find('\\', server + 1);
    return path.substr(0, share);
}

std::string AccountOf(const std::string& shareRoot) { return LastComponent(shareRoot); }

std::string StripColons(const std::string& source) {
    std::string out;
    out.reserve(source.size());
    for (char c : source) {
        if (c != ':')
            out += c;
    }
    return out;
}

std::string PrefixOf(const std::string& source, const std::string& destination) {
    const std::string tail = StripColons(source);
    if (tail.empty() || destination.size() <= tail.size())
        return "";
    const size_t cut = destination.size() - tail.size();
    if (!SameName(destination.substr(cut), tail))
        return "";
    std::string prefix = destination.substr(0, cut);
    if (prefix.back() != '\\' || ShareRootOf(prefix).empty())
        return "";
    return prefix;
}

std::string LevelFolder(const std::string& prefix, int level) {
    if (level <= 1)
        return WithoutTrailingSlash(prefix);
    return Join(Join(prefix, kHistoryFolder), "Level" + std::to_string(level));
}

std::string LevelPath(const std::string& prefix, int level, const std::string& rel) {
    return Join(LevelFolder(prefix, level), rel);
}

bool IsTempName(const std::string& name) {
    const size_t n = std::strlen(kTempSuffix);
    return name.size() > n && SameName(name.substr(name.size() - n), kTempSuffix);
}

std::string TempPathFor(const std::string& path) { return path + kTempSuffix; }

std::string LocalPathForRel(const std::string& rel) {
    if (rel.empty() || !((rel[0] >= 'A' && rel[0] <= 'Z') || (rel[0] >= 'a' && rel[0] <= 'z')))
        return "";
    if (rel.size() == 1)
        return rel + ":\\";
    if (rel[1] != '\\')
        return "";
    return rel.substr(0, 1) + ":" + rel.substr(1);
}

int LevelNumber(const std::string& folderName) {
    if (folderName.size() < 6 || folderName.size() > 9 || !StartsWithNoCase(folderName, "Level"))
        return 0;
    int n = 0;
    for (size_t i = 5; i < folderName.size(); ++i) {
        const char c = folderName[i];
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + (c - '0');
    }
    return n >= 2 ? n : 0;
}

} // namespace engine
