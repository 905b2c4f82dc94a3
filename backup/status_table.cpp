// The status table: reading the "gub1" block, ordering its users, and the texts of a page.
#include "backup/status_table.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace backup {

namespace {

constexpr size_t kHeadSize = 5;
constexpr size_t kFixedSize = 12;

uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The bytes up to the first zero byte, at most length of them.
std::string TextUpToZero(const uint8_t* p, size_t length) {
    size_t n = 0;
    while (n < length && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::string Format(const char* format, unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

bool ReadStatusBlock(const uint8_t* block, size_t size, StatusList* list) {
    list->users.clear();
    list->capacity = 0;
    if (!block || size < kHeadSize)
        return false;
    const uint16_t count = ReadLE16(block);
    list->capacity = ReadLE16(block + 2);
    size_t at = kHeadSize;
    for (uint16_t i = 0; i < count; ++i) {
        if (size - at < kFixedSize)
            break;
        UserStatus user;
        user.used = ReadLE16(block + at);
        user.unit = static_cast<char>(block[at + 2]);
        user.date = TextUpToZero(block + at + 3, 8);
        user.state = static_cast<char>(block[at + 11]);
        at += kFixedSize;
        size_t length = 0;
        while (at + length < size && length < kStatusNameLength && block[at + length] != '\n')
            ++length;
        user.name = TextUpToZero(block + at, length);
        at += length;
        if (at < size && block[at] == '\n')
            ++at;
        list->users.push_back(std::move(user));
    }
    return true;
}

void SortByName(std::vector<UserStatus>& users) {
    for (size_t i = 0; i < users.size(); ++i)
        for (size_t j = i + 1; j < users.size(); ++j)
            if (users[j].name < users[i].name)
                std::swap(users[i], users[j]);
}

std::string SpaceText(const UserStatus& user) {
    if (user.used == 0)
        return "0 MB";
    std::string text = Format("%llu ", user.used);
    if (user.unit != 0)
        text += user.unit;
    return text + "B";
}

std::string DateText(const UserStatus& user) {
    if (user.date.size() < 8)
        return std::string();
    const std::string& d = user.date;
    return d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(4, 4);
}

int StateStringId(char state) {
    switch (state) {
    case '0':
        return STR_STATUS_COMPLETE;
    case '1':
    case '3':
        return STR_STATUS_FAILED;
    case '2':
        return STR_STATUS_INCOMPLETE;
    default:
        return 0;
    }
}

int StateIconId(char state) {
    switch (StateStringId(state)) {
    case STR_STATUS_COMPLETE:
        return ICON_STATE_COMPLETE;
    case STR_STATUS_FAILED:
        return ICON_STATE_FAILED;
    case STR_STATUS_INCOMPLETE:
        return ICON_STATE_INCOMPLETE;
    default:
        return 0;
    }
}

StatusTotals ComputeTotals(const StatusList& list) {
    StatusTotals t;
    for (const UserStatus& u : list.users) {
        if (u.unit == 'M')
            t.megabytes += u.used;
        else if (u.unit == 'G')
            t.megabytes += 1024ull * u.used;
        else if (u.unit == 'K')
            t.kilobytes += u.used;
    }
    t.megabytes += t.kilobytes / 1024;
    if (t.megabytes == 0 && t.kilobytes == 0)
        return t;
    t.shown = true;
    // Single precision, as the appliance's own pages count: 500 MB of 250 GB leaves 249.50.
    const float c = list.capacity;
    float percent = 0;
    if (t.megabytes >= 1024) {
        // exactly 1024 MB counts as 1 GB
        const uint64_t gigabytes = t.megabytes / 1024;
        t.used = Format("%llu GB", gigabytes);
        if (c > 0) {
            percent = static_cast<float>(t.megabytes) * (1.0f / 1024.0f) * 100.0f / c;
            t.freeGigabytes = c - static_cast<float>(gigabytes);
        }
    } else if (t.megabytes > 0) {
        t.used = Format("%llu MB", t.megabytes);
        if (c > 0) {
            percent = static_cast<float>(t.megabytes) * 100.0f / (c * 1024.0f);
            t.freeGigabytes = (c * 1000.0f - static_cast<float>(t.megabytes)) * 0.001f;
        }
    } else {
        t.used = Format("%llu KB", t.kilobytes);
        if (c > 0) {
            percent = std::floor(static_cast<float>(t.kilobytes) * 100.0f / (c * 1048576.0f));
            t.freeGigabytes = (c * 1000000.0f - static_cast<float>(t.kilobytes)) * 0.000001f;
        }
    }
    // Without a capacity nothing can be said about the free space.
    if (c > 0) {
        t.freeShown = true;
        char number[48];
        std::snprintf(number, sizeof number, "%.02f", static_cast<double>(t.freeGigabytes));
        t.freeNumber = number;
        t.low = 100.0f - std::floor(percent) <= 5.0f;
    }
    return t;
}

std::string FillPercentOne(const std::string& format, const std::string& value) {
    std::string text;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '1') {
            text += value;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

StatusPage LayOutPage(const StatusList* list, int first, bool keep) {
    StatusPage page;
    if (!list)
        return page;
    const int n = static_cast<int>(list->users.size());
    page.scrollMax = n > kStatusPageRows ? n - kStatusPageRows : 0;
    page.scrollShown = n > kStatusPageRows;
    if (!keep || first < 0 || first >= n)
        first = 0;
    if (first > page.scrollMax)
        first = page.scrollMax;
    page.first = first;
    if (n == 0) {
        page.kind = PageKind::NoUsers;
        return page;
    }
    page.kind = PageKind::Users;
    for (int r = 0; r < kStatusPageRows && first + r < n; ++r) {
        const UserStatus& u = list->users[static_cast<size_t>(first + r)];
        StatusRow& row = page.rows[r];
        row.filled = true;
        row.name = u.name;
        row.space = SpaceText(u);
        row.date = DateText(u);
        row.icon = row.date.empty() ? 0 : StateIconId(u.state);
    }
    page.totals = ComputeTotals(*list);
    return page;
}

int DateRowAt(int x, int y, const CellBox (&dateCells)[kStatusPageRows]) {
    for (int r = 0; r < kStatusPageRows; ++r) {
        const CellBox& c = dateCells[r];
        const int centre = (c.left + c.right) / 2;
        if (x >= centre - 10 && x <= centre + 10 && y >= c.top && y < c.bottom)
            return r + 1;
    }
    return 0;
}

std::string StatusAddressFromHeading(const std::string& heading) {
    const size_t open = heading.find('(');
    std::string address;
    for (size_t i = open == std::string::npos ? 0 : open + 1; i < heading.size(); ++i)
        if (heading[i] != ')')
            address += heading[i];
    return address;
}

std::string BackupLogPath(const std::string& base, const std::string& user) {
    return base + "log\\kelback_" + user + ".log";
}

int ViewerFailureStringId(intptr_t shellResult) {
    switch (shellResult) {
    case 2: // file not found
    case 3: // path not found
        return STR_STATUS_NO_LOG;
    case 8:  // out of memory
    case 26: // sharing violation
    case 27: // incomplete association
    case 28: // DDE time-out
    case 29: // DDE failed
    case 30: // DDE busy
    case 31: // no association
    case 32: // library not found
        return STR_STATUS_VIEWER_FAILED;
    default:
        return 0;
    }
}

} // namespace backup
