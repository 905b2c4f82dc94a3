// The storage and backup status table: the "gub1" block read into users, their order, the pages
// the status view shows five at a time, the totals and free space, and the log file names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace backup {

// Users shown at once; the scroll bar reaches the others.
constexpr int kStatusPageRows = 5;
// The longest user name a record carries.
constexpr size_t kStatusNameLength = 32;

// String and icon numbers of the view.
constexpr int STR_STATUS_DEFAULT_HEADING = 152; // "TOV Backup Status"
constexpr int STR_STATUS_USERS = 153;
constexpr int STR_STATUS_NO_LOG = 156;        // "Could not find detail log file for user '%1' ..."
constexpr int STR_STATUS_VIEWER_FAILED = 157; // "A system error prevents openning ... %1"
constexpr int STR_STATUS_LOG_COPY = 159;      // "(%1) TOV Backup Log"
constexpr int STR_STATUS_NOT_FOUND = 161;     // "Backup status not found."
constexpr int STR_STATUS_NO_USER = 162;       // "No defined user"
constexpr int STR_STATUS_BOX_CAPTION = 165;   // "Kelvox TOV"
constexpr int STR_STATUS_WAITING = 166;       // "Getting the Storage and Backup Status..."
constexpr int STR_STATUS_COMPLETE = 181;
constexpr int STR_STATUS_INCOMPLETE = 182;
constexpr int STR_STATUS_FAILED = 183;
constexpr int STR_STATUS_FREE_SPACE = 199; // "%1 GBs free space"
constexpr int STR_STATUS_HELP_FILE = 219;  // "\help_storage.chm"
constexpr int ICON_STATE_INCOMPLETE = 611;
constexpr int ICON_STATE_FAILED = 612;
constexpr int ICON_STATE_COMPLETE = 613;

// One user's record as the block holds it.
struct UserStatus {
    uint16_t used = 0;
    char unit = 0;    // 'K', 'M' or 'G'
    std::string date; // up to 8 characters: a zero byte ends it early
    char state = 0;   // a digit
    std::string name; // at most 32 characters, up to its newline
};

// The block's users in block order, and the appliance's capacity in gigabytes.
struct StatusList {
    uint16_t capacity = 0;
    std::vector<UserStatus> users;
};

// Reads a status block: count and capacity, a newline, then the records. A record runs from its
// 12 fixed bytes over the name up to the newline that ends it, or over 32 name characters when
// none comes first (a newline right after them still belongs to the record). A record whose
// fixed bytes the block does not hold ends the list; a name cut by the end of the block ends
// there. False when there is no block (null, or shorter than its 5-byte head).
bool ReadStatusBlock(const uint8_t* block, size_t size, StatusList* list);

// Ascending by name, byte by byte (capitals before small letters), by exchange: each position
// takes every later name that is smaller than the one it holds.
void SortByName(std::vector<UserStatus>& users);

// "12 MB": the number, a blank, the unit and "B"; 0 of any unit is "0 MB".
std::string SpaceText(const UserStatus& user);
// "03/14/2025" from "03142025"; empty when the date has fewer than 8 characters.
std::string DateText(const UserStatus& user);
// The string and icon of the state digit; 0 for a digit without one.
int StateStringId(char state);
int StateIconId(char state);

// The total row: what the users use together and what is left.
struct StatusTotals {
    bool shown = false;     // false when every user uses nothing
    uint64_t megabytes = 0; // kilobytes counted in as whole megabytes
    uint64_t kilobytes = 0;
    std::string used;       // "2 GB", "500 MB" or "512 KB"
    bool freeShown = false; // false without a capacity
    float freeGigabytes = 0;
    std::string freeNumber; // "%.02f" of freeGigabytes
    bool low = false;       // 5 % or less is free: drawn in red
};
StatusTotals ComputeTotals(const StatusList& list);

// "%1" replaced by value throughout.
std::string FillPercentOne(const std::string& format, const std::string& value);

// What one page of the view shows.
enum class PageKind {
    NoBlock, // string 161, no grid
    NoUsers, // the header, and string 162 in the first name cell
    Users,
};
struct StatusRow {
    bool filled = false;
    std::string name;
    std::string space;
    std::string date; // empty: the date cell is hidden and no icon shown
    int icon = 0;
};
struct StatusPage {
    PageKind kind = PageKind::NoBlock;
    int first = 0;     // index of the user in the first row
    int scrollMax = 0; // the scroll range is 0 .. scrollMax
    bool scrollShown = false;
    StatusRow rows[kStatusPageRows];
    StatusTotals totals;
};

// The page starting at first (sorted users). Without keep, or when first is past the users, the
// page starts at the first user; first is limited to the last full page.
StatusPage LayOutPage(const StatusList* list, int first, bool keep);

// A cell of the grid in the screen's client coordinates.
struct CellBox {
    int left, top, right, bottom;
};
// The row (1 to 5) whose "Last Backup" cell a double-click at (x, y) hits: within 10 pixels of
// the cell's centre line and at the cell's height. 0 for none.
int DateRowAt(int x, int y, const CellBox (&dateCells)[kStatusPageRows]);

// The status view's address: the heading without everything up to and including its first "("
// and without every ")".
std::string StatusAddressFromHeading(const std::string& heading);

// base (ending in a backslash) + "log\kelback_" + user + ".log".
std::string BackupLogPath(const std::string& base, const std::string& user);

// The message a shell result of opening the log copy asks for: string 156 when the file or path
// is missing, 157 for the system's failures, 0 for success and every other result.
int ViewerFailureStringId(intptr_t shellResult);

} // namespace backup
