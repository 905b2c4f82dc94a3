// The backup wizard's folder page without its window: the check-box tree, its click rules, the
// item paths and the selection that Next writes.
#include "backup/folder_tree.h"

#include "app/log.h"

#include <cctype>

namespace backup {

namespace {

constexpr uint32_t kHiddenSystemDirectory = 0x16;

bool EndsInBackslash(const std::string& s) { return !s.empty() && s.back() == '\\'; }

// Whether path lies strictly below folder, as a whole component.
bool IsBelow(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() <= folder.size() || path.compare(0, folder.size(), folder))
        return false;
    return EndsInBackslash(folder) || path[folder.size()] == '\\';
}

} // namespace

bool ListsDrive(const std::string& root, unsigned type) {
    if (type == kDriveRemote || type == kDriveCdRom || type == kDriveRamDisk)
        return false;
    for (const char* floppy : {"A:", "B:", "a:", "b:"}) {
        if (root.find(floppy) != std::string::npos)
            return false;
    }
    return true;
}

std::vector<std::string> SplitDriveStrings(const char* strings, size_t size) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < size && strings[at]) {
        size_t end = at;
        while (end < size && strings[end])
            ++end;
        out.emplace_back(strings + at, end - at);
        at = end + 1;
    }
    return out;
}

bool ListsFolder(const std::string& name, uint32_t attributes) {
    if (!(attributes & kAttrDirectory) || attributes == kHiddenSystemDirectory)
        return false;
    return !name.empty() && name[0] != '.';
}

std::string LastComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '\\')
        p.pop_back();
    const size_t slash = p.find_last_of('\\');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::vector<ConfiguredSource> ConfiguredSourcesOf(const ShareBackupConfig& config) {
    std::vector<ConfiguredSource> out;
    for (const BackupEntry& e : config.Entries()) {
        if (ContainsPath(LeadBytes(), e.destination, config.ShareRoot()))
            out.push_back({e.source, e.flag});
    }
    return out;
}

int FolderTree::AddNode(int parent, const std::string& text, const std::string& path) {
    Node n;
    n.text = text;
    n.path = path;
    n.parent = parent;
    nodes_.push_back(std::move(n));
    const int id = static_cast<int>(nodes_.size()) - 1;
    if (parent == kRoot)
        top_.push_back(id);
    else
        nodes_[static_cast<size_t>(parent)].children.push_back(id);
    return id;
}

int FolderTree::Exact(const std::string& path) const {
    for (auto it = configured_.rbegin(); it != configured_.rend(); ++it) {
        if (it->source == path)
            return it->flag == 0 ? 1 : -1;
    }
    return 0;
}

void FolderTree::Below(const std::string& path, bool* included, bool* excluded) const {
    *included = *excluded = false;
    for (const ConfiguredSource& c : configured_) {
        if (!IsBelow(c.source, path))
            continue;
        if (c.flag == 0)
            *included = true;
        else
            *excluded = true;
    }
}

void FolderTree::SetInitial(int id, bool parentIncluded) {
    Node& n = nodes_[static_cast<size_t>(id)];
    const int exact = Exact(n.path);
    bool below = false, excludedBelow = false;
    Below(n.path, &below, &excludedBelow);
    // under an included folder a child is included unless it was excluded itself
    n.included = parentIncluded ? exact != -1 : exact == 1;
    if (n.included)
        n.state = excludedBelow ? CheckState::Partly : CheckState::Checked;
    else
        n.state = below ? CheckState::Partly : CheckState::Unchecked;
}

int FolderTree::AddDocuments(const std::string& fullPath) {
    const int id = AddNode(kRoot, LastComponent(fullPath), fullPath);
    documents_ = id;
    SetInitial(id, false);
    const int ph = AddNode(id, "", "");
    nodes_[static_cast<size_t>(ph)].placeholder = true;
    return id;
}

int FolderTree::AddDrive(const std::string& root) {
    const int id = AddNode(kRoot, root, root);
    SetInitial(id, false);
    const int ph = AddNode(id, "", "");
    nodes_[static_cast<size_t>(ph)].placeholder = true;
    return id;
}

int FolderTree::AddFolder(int parent, const std::string& name) {
    // the placeholder goes once real children arrive
    if (NeverExpanded(parent))
        RemovePlaceholder(parent);
    const int id = AddNode(parent, name, "");
    nodes_[static_cast<size_t>(id)].path = ItemPath(id);
    const Node& p = nodes_[static_cast<size_t>(parent)];
    SetInitial(id, p.included);
    Node& n = nodes_[static_cast<size_t>(id)];
    if (p.decided) {
        // the user's click above decided this folder too
        n.decided = true;
        n.included = p.included;
        n.state = p.included ? CheckState::Checked : CheckState::Unchecked;
    }
    const int ph = AddNode(id, "", "");
    nodes_[static_cast<size_t>(ph)].placeholder = true;
    if (nodes_[static_cast<size_t>(id)].state != CheckState::Unchecked) {
        for (int a = parent; a != kRoot; a = nodes_[static_cast<size_t>(a)].parent) {
            Node& up = nodes_[static_cast<size_t>(a)];
            if (up.state != CheckState::Unchecked)
                break;
            up.state = CheckState::Partly;
        }
    }
    return id;
}

bool FolderTree::NeverExpanded(int id) const {
    const Node& n = nodes_[static_cast<size_t>(id)];
    return !n.children.empty() && nodes_[static_cast<size_t>(n.children[0])].placeholder;
}

int FolderTree::RemovePlaceholder(int id) {
    if (!NeverExpanded(id))
        return -1;
    Node& n = nodes_[static_cast<size_t>(id)];
    const int ph = n.children[0];
    n.children.erase(n.children.begin());
    nodes_[static_cast<size_t>(ph)].parent = kRoot - 1; // detached
    return ph;
}

int FolderTree::Child(int parent, const std::string& text) const {
    const std::vector<int>& list =
        parent == kRoot ? top_ : nodes_[static_cast<size_t>(parent)].children;
    for (int c : list) {
        if (!nodes_[static_cast<size_t>(c)].placeholder &&
            nodes_[static_cast<size_t>(c)].text == text)
            return c;
    }
    return -1;
}

std::string FolderTree::ItemPath(int id) const {
    std::vector<int> chain;
    for (int a = id; a >= 0; a = nodes_[static_cast<size_t>(a)].parent)
        chain.push_back(a);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Node& n = nodes_[static_cast<size_t>(*it)];
        const std::string part = *it == documents_ ? n.path : n.text;
        path = it == chain.rbegin() ? part : path + '\\' + part;
    }
    // a drive text ends in a backslash already
    const size_t doubled = path.find("\\\\", 1);
    if (doubled != std::string::npos)
        path.erase(doubled, 1);
    return path;
}

void FolderTree::SetState(int id, CheckState state, bool included, std::vector<int>* changed) {
    Node& n = nodes_[static_cast<size_t>(id)];
    if (n.state != state)
        changed->push_back(id);
    n.state = state;
    n.included = included;
}

std::vector<int> FolderTree::Toggle(int id) {
    std::vector<int> changed;
    const bool on = nodes_[static_cast<size_t>(id)].state == CheckState::Unchecked;
    const CheckState now = on ? CheckState::Checked : CheckState::Unchecked;
    std::vector<int> stack{id};
    while (!stack.empty()) {
        const int k = stack.back();
        stack.pop_back();
        if (nodes_[static_cast<size_t>(k)].placeholder)
            continue;
        SetState(k, now, on, &changed);
        nodes_[static_cast<size_t>(k)].decided = true;
        const std::vector<int>& kids = nodes_[static_cast<size_t>(k)].children;
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    for (int a = nodes_[static_cast<size_t>(id)].parent; a != kRoot;
         a = nodes_[static_cast<size_t>(a)].parent) {
        Node& up = nodes_[static_cast<size_t>(a)];
        if (on || up.included) {
            // an included folder with something excluded below it stays included
            SetState(a, CheckState::Partly, up.included, &changed);
            continue;
        }
        bool any = false;
        for (int c : up.children) {
            const Node& k = nodes_[static_cast<size_t>(c)];
            if (!k.placeholder && c != id && k.state != CheckState::Unchecked)
                any = true;
        }
        SetState(a, any ? CheckState::Partly : CheckState::Unchecked, false, &changed);
    }
    return changed;
}

void FolderTree::KeepConfiguredBelow(const std::string& path, std::vector<ConfiguredSource>* out,
                                     std::vector<bool>* used) const {
    for (size_t i = 0; i < configured_.size(); ++i) {
        if ((*used)[i] || !IsBelow(configured_[i].source, path))
            continue;
        (*used)[i] = true;
        out->push_back(configured_[i]);
    }
}

void FolderTree::Walk(const std::vector<int>& list, bool inside, std::vector<ConfiguredSource>* out,
                      std::vector<bool>* used) const {
    for (int id : list) {
        const Node& n = nodes_[static_cast<size_t>(id)];
        if (n.placeholder)
            continue;
        if (n.included) {
            if (!inside)
                out->push_back({n.path, 0});
        } else if (inside) {
            out->push_back({n.path, 1});
        }
        if (NeverExpanded(id)) {
            // the placeholder stands for the folders below that were never shown: what the
            // selection said of them stays, unless the user's click decided them
            if (!n.decided && (n.included || n.state == CheckState::Partly))
                KeepConfiguredBelow(n.path, out, used);
            continue;
        }
        Walk(n.children, n.included, out, used);
    }
}

std::vector<ConfiguredSource> FolderTree::Selection() const {
    std::vector<ConfiguredSource> out;
    std::vector<bool> used(configured_.size(), false);
    Walk(top_, false, &out, &used);
    return out;
}

bool WriteSelection(ShareBackupConfig& config, const FolderTree& tree) {
    const std::vector<ConfiguredSource> selection = tree.Selection();
    std::unique_ptr<WriteHandle> h = config.RewriteKeepingOthers();
    if (!h) {
        WriteLog(LOG_ERROR, "--- FAILED: The backup selection could not be written");
        return false;
    }
    bool ok = true;
    for (const ConfiguredSource& s : selection)
        ok = config.AddEntry(*h, s.source, s.flag) && ok;
    ok = h->Close() && ok;
    WriteLog(LOG_TRACE, "  Backup selection written: %u folders%s",
             static_cast<unsigned>(selection.size()), ok ? "" : " (FAILED)");
    return ok;
}

} // namespace backup
