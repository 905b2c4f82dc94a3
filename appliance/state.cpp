// What the appliance does behind each command, over the text files of its state folder.
#include "appliance/state.h"

#include "appliance/backup_status.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace appliance {

namespace {

std::vector<std::vector<std::string>> ReadTable(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // No comment lines: the tables hold what the commands stored, and an account or share
        // may well be called "#team".
        if (line.empty())
            continue;
        std::vector<std::string> cells;
        size_t at = 0;
        for (;;) {
            size_t tab = line.find('\t', at);
            cells.push_back(
                line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
            if (tab == std::string::npos)
                break;
            at = tab + 1;
        }
        rows.push_back(cells);
    }
    return rows;
}

// Writes beside the file and renames, so a reader never sees half a table.
bool WriteWhole(const std::string& path, const std::string& text) {
    std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out << text;
        if (!out.flush())
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

bool MakeDir(const std::string& path) { return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST; }

bool HasControlOrTab(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F)
            return true;
    return false;
}

bool ValidShareName(const std::string& s) {
    if (s.empty() || s == "." || s == ".." || HasControlOrTab(s))
        return false;
    return s.find('/') == std::string::npos && s.find('\\') == std::string::npos;
}

} // namespace

std::string StatusReply(uint32_t status) { return LE32(status); }

std::string NamedReply(const char* word, uint32_t value, const std::string& body) {
    return std::string(word, 4) + " " + LE32(value) + "\n" + body;
}

std::string ErroReply(uint32_t code) { return NamedReply("erro", code, std::string()); }

StateFolder::StateFolder(std::string d) : dir(std::move(d)) {}

bool StateFolder::Prepare(std::string* error) {
    if (!MakeDir(dir) || !MakeDir(dir + "/shares")) {
        *error = "cannot create the state folder " + dir;
        return false;
    }
    std::string publicName = Setting("public", "Public");
    if (!ValidShareName(publicName) || !MakeDir(dir + "/shares/" + publicName)) {
        *error = "cannot create the public share folder for \"" + publicName + "\"";
        return false;
    }
    return true;
}

std::vector<Account> StateFolder::LoadAccounts() const {
    std::vector<Account> accounts;
    for (auto& row : ReadTable(Path("accounts.tsv"))) {
        Account a;
        a.name = row[0];
        a.password = row.size() > 1 ? row[1] : "";
        a.hasPassword = row.size() > 2 ? row[2] == "1" : !a.password.empty();
        accounts.push_back(a);
    }
    return accounts;
}

std::vector<Share> StateFolder::LoadShares() const {
    std::vector<Share> shares;
    for (auto& row : ReadTable(Path("shares.tsv"))) {
        Share s;
        s.name = row[0];
        s.user = row.size() > 1 ? row[1] : "";
        s.extra = row.size() > 2 ? row[2] : "";
        shares.push_back(s);
    }
    return shares;
}

std::vector<StatusRecord> StateFolder::LoadStatus() const {
    std::vector<StatusRecord> records;
    for (auto& row : ReadTable(Path("backup-status.tsv"))) {
        if (row.size() < 5)
            continue;
        StatusRecord r;
        r.used = static_cast<unsigned>(std::strtoul(row[0].c_str(), nullptr, 10));
        r.unit = row[1].empty() ? 'M' : row[1][0];
        r.date = row[2];
        r.state = row[3].empty() ? '0' : row[3][0];
        r.name = row[4];
        records.push_back(r);
    }
    return records;
}

std::vector<StatusRecord> StateFolder::StatusFromShares() const {
    std::vector<StatusRecord> records;
    std::vector<Share> shares = LoadShares();
    for (auto& account : LoadAccounts()) {
        uint64_t bytes = 0;
        bool hasShare = false;
        BackupState latest;
        for (auto& share : shares) {
            if (share.user != account.name || !ValidShareName(share.name))
                continue;
            hasShare = true;
            const std::string folder = dir + "/shares/" + share.name;
            bytes += FolderBytes(folder);
            BackupState state = LatestBackupState(folder);
            if (IsNewer(state, latest))
                latest = state;
        }
        if (!hasShare)
            continue;
        StatusRecord r;
        SpaceInUnits(bytes, &r.used, &r.unit);
        r.date = latest.date;
        r.state = latest.date.empty() ? '\0' : latest.state;
        r.name = account.name.substr(0, 32);
        records.push_back(r);
    }
    return records;
}

std::string StateFolder::Setting(const std::string& key, const std::string& fallback) const {
    std::ifstream in(Path("settings"));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        size_t eq = line.find('=');
        if (eq != std::string::npos && line.compare(0, eq, key) == 0 && eq == key.size())
            return line.substr(eq + 1);
    }
    return fallback;
}

bool StateFolder::SaveAccounts(const std::vector<Account>& accounts) const {
    std::string text;
    for (auto& a : accounts)
        text += a.name + "\t" + a.password + "\t" + (a.hasPassword ? "1" : "0") + "\n";
    return WriteWhole(Path("accounts.tsv"), text);
}

bool StateFolder::SaveShares(const std::vector<Share>& shares) const {
    std::string text;
    for (auto& s : shares)
        text += s.name + "\t" + s.user + "\t" + s.extra + "\n";
    return WriteWhole(Path("shares.tsv"), text);
}

bool StateFolder::AddShare(const std::string& name, const std::string& user,
                           const std::string& extra, uint32_t* status) const {
    if (!ValidShareName(name) || HasControlOrTab(user) || HasControlOrTab(extra)) {
        *status = ST_BAD_SHARE_NAME;
        return false;
    }
    std::vector<Share> shares = LoadShares();
    for (auto& s : shares) {
        if (s.name == name) {
            *status = ST_SHARE_EXISTS;
            return false;
        }
    }
    if (!MakeDir(dir + "/shares/" + name)) {
        *status = ST_STORAGE_FAILED;
        return false;
    }
    shares.push_back(Share{name, user, extra});
    *status = SaveShares(shares) ? 0 : ST_STORAGE_FAILED;
    return *status == 0;
}

std::string StateFolder::Answer(const Request& r) {
    const std::string& w = r.word;
    auto expect = [&r](size_t n) { return r.fields.size() == n; };

    if (w == "crat") {
        if (!expect(2))
            return ErroReply(ERR_BAD_FIELDS);
        const std::string& name = r.fields[0];
        if (name.empty() || HasControlOrTab(name) || HasControlOrTab(r.fields[1]))
            return StatusReply(ST_BAD_ACCOUNT_NAME);
        std::vector<Account> accounts = LoadAccounts();
        for (auto& a : accounts)
            if (a.name == name)
                return StatusReply(ST_ACCOUNT_EXISTS);
        accounts.push_back(Account{name, r.fields[1], !r.fields[1].empty()});
        return StatusReply(SaveAccounts(accounts) ? 0 : ST_STORAGE_FAILED);
    }
    if (w == "shar" || w == "pshr") {
        if (!expect(3))
            return ErroReply(ERR_BAD_FIELDS);
        // The second field names the share; the first is the user it is made for.
        uint32_t status = 0;
        AddShare(r.fields[1], r.fields[0], r.fields[2], &status);
        return StatusReply(status);
    }
    if (w == "frst") {
        if (!expect(0))
            return ErroReply(ERR_BAD_FIELDS);
        return StatusReply(
            static_cast<uint32_t>(std::strtoul(Setting("frst", "0").c_str(), nullptr, 0)));
    }
    if (w == "host") {
        if (!expect(4))
            return ErroReply(ERR_BAD_FIELDS);
        std::string text = "clock=" + r.fields[0] + "\nfield2=" + r.fields[1] +
                           "\nfield3=" + r.fields[2] + "\nlanguage=" + r.fields[3] + "\n";
        return StatusReply(WriteWhole(Path("host"), text) ? 0 : ST_STORAGE_FAILED);
    }
    if (w == "lsts") {
        if (!expect(0))
            return ErroReply(ERR_BAD_FIELDS);
        std::vector<Account> accounts = LoadAccounts();
        std::string body = Setting("public", "Public") + "\npublic\n";
        for (auto& a : accounts)
            body += a.name + "\n" + (a.hasPassword ? "private" : "open") + "\n";
        return NamedReply("lsst", static_cast<uint32_t>(accounts.size() + 1), body);
    }
    if (w == "spvt") {
        if (!expect(2))
            return ErroReply(ERR_BAD_FIELDS);
        return StatusReply(WriteWhole(Path("spvt.bin"), r.fields[1]) ? 0 : ST_STORAGE_FAILED);
    }
    if (w == "gub1") {
        if (!expect(0))
            return ErroReply(ERR_BAD_FIELDS);
        // backup-status.tsv, when there is one, stands in for what the shares say
        std::vector<StatusRecord> records =
            std::ifstream(Path("backup-status.tsv")) ? LoadStatus() : StatusFromShares();
        uint32_t capacity =
            static_cast<uint32_t>(std::strtoul(Setting("capacity", "500").c_str(), nullptr, 0));
        std::string body;
        uint32_t count = 0;
        for (auto& rec : records) {
            std::string date = rec.date;
            // a short date ends with zero bytes, as the firmware's does when none is known
            date.resize(8, '\0');
            std::string record;
            record += static_cast<char>(rec.used & 0xFF);
            record += static_cast<char>((rec.used >> 8) & 0xFF);
            record += rec.unit;
            record += date;
            record += rec.state;
            record += rec.name + "\n";
            // the reply stays within one 4096-byte frame
            if (10 + body.size() + record.size() > 4096)
                break;
            body += record;
            ++count;
        }
        uint32_t value = (capacity & 0xFFFF) << 16 | (count & 0xFFFF);
        return NamedReply("gubr", value, body);
    }
    if (w == "gps1") {
        if (!expect(0))
            return ErroReply(ERR_BAD_FIELDS);
        return NamedReply("gpsr", 1, Setting("public", "Public") + "\n");
    }
    if (w == "gsp1") {
        if (!expect(1))
            return ErroReply(ERR_BAD_FIELDS);
        // 1: the account has a password, 2: it has none, 0: no such account.
        uint8_t answer = 0;
        for (auto& a : LoadAccounts())
            if (a.name == r.fields[0])
                answer = a.hasPassword ? 1 : 2;
        return NamedReply("gspr", 1, std::string(1, static_cast<char>(answer)) + "\n");
    }
    return ErroReply(ERR_UNKNOWN_COMMAND);
}

} // namespace appliance
