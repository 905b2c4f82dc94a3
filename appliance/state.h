// The appliance's lasting state, kept as small text files in its state folder.
#pragma once

#include "appliance/request.h"

#include <cstdint>
#include <string>
#include <vector>

namespace appliance {

// Refusals of this appliance, from the code ranges the client knows.
constexpr uint32_t ST_ACCOUNT_EXISTS = 0x10000001;
constexpr uint32_t ST_BAD_ACCOUNT_NAME = 0x10000002;
constexpr uint32_t ST_SHARE_EXISTS = 0x20000001;
constexpr uint32_t ST_BAD_SHARE_NAME = 0x20000004;
constexpr uint32_t ST_STORAGE_FAILED = 0x20000005;
constexpr uint32_t ERR_UNPARSABLE = 0xB0000001;
constexpr uint32_t ERR_UNKNOWN_COMMAND = 0xB0000002;
constexpr uint32_t ERR_BAD_FIELDS = 0xB0000003;

struct Account {
    std::string name;
    std::string password;
    bool hasPassword = false;
};

struct Share {
    std::string name;
    std::string user;
    std::string extra;
};

struct StatusRecord {
    unsigned used = 0;
    char unit = 'M';
    std::string date; // 8 characters
    char state = '0';
    std::string name;
};

class StateFolder {
public:
    explicit StateFolder(std::string dir);
    // Creates the folder, its shares folder and the public share; false when it cannot.
    bool Prepare(std::string* error);
    // Answers one parsed request, changing the files where the command does.
    std::string Answer(const Request& request);

    const std::string& Dir() const { return dir; }

    std::vector<Account> LoadAccounts() const;
    std::vector<Share> LoadShares() const;
    std::vector<StatusRecord> LoadStatus() const;
    // One record per account with a share: the bytes below its share folders and the newest
    // state the backup engine left there.
    std::vector<StatusRecord> StatusFromShares() const;
    std::string Setting(const std::string& key, const std::string& fallback) const;

private:
    std::string Path(const char* name) const { return dir + "/" + name; }
    bool SaveAccounts(const std::vector<Account>& accounts) const;
    bool SaveShares(const std::vector<Share>& shares) const;
    bool AddShare(const std::string& name, const std::string& user, const std::string& extra,
                  uint32_t* status) const;

    std::string dir;
};

std::string StatusReply(uint32_t status);
std::string NamedReply(const char* word, uint32_t value, const std::string& body);
std::string ErroReply(uint32_t code);

} // namespace appliance
