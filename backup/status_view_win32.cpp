// The status view's controls, its "gub1" worker, paging, scrolling and the backup log viewer.
#include "backup/status_view_win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/globals.h"
#include "app/log.h"
#include "res/resource.h"
#include "setup/launch.h"
#include "setup/screen_results.h"
#include "skin/look.h"
#include "skin/place_controls_win32.h"
#include "skin/resources_win32.h"
#include "skin/worker_win32.h"

namespace backup {

namespace {

constexpr UINT_PTR kStartTimer = 1;
constexpr UINT_PTR kScrollTimer = 2;
constexpr UINT kStartDelayMs = 500;
constexpr UINT kScrollTickMs = 200;
constexpr int kGridColumns = 4;
constexpr int kTotalRow = 6;
constexpr int kIconIds[3] = {ICON_STATE_COMPLETE, ICON_STATE_INCOMPLETE, ICON_STATE_FAILED};

int Cell(int row, int column) { return IDC_GRID + row * kGridColumns + column; }

// What the worker hands back: the transport's result and the block, when one came.
struct QueryAnswer {
    uint32_t result = 0;
    StatusBlock block;
};

void DropCopy(const std::string& name) {
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_TEMPORARY);
    DeleteFileA(name.c_str());
}

} // namespace

StatusViewScreen::StatusViewScreen(const std::string& text) : Screen(IDD_STATUS_VIEW) {
    SetHeading(text);
}

StatusViewScreen::~StatusViewScreen() {
    for (HICON icon : icons)
        if (icon)
            DestroyIcon(icon);
}

void StatusViewScreen::SetHeading(const std::string& text) {
    heading = text;
    address = StatusAddressFromHeading(text);
}

std::string StatusViewScreen::String(int id) const {
    return skin::LoadString(static_cast<UINT>(id));
}

bool StatusViewScreen::OnInitDialog() {
    InitSkin(IDB_BG_STATUS);
    skin::PlaceControls(*this, IDD_STATUS_VIEW);
    scroll.CreateFromPlaceholder(Hwnd(), IDC_STATUS_SCROLL);
    for (int i = 0; i < 3; ++i)
        icons[i] = static_cast<HICON>(LoadImageA(
            skin::ResourceModule(), MAKEINTRESOURCEA(kIconIds[i]), IMAGE_ICON, 16, 16, 0));
    skin::SetLabelText(*this, IDC_DEVICE,
                       heading.empty() ? String(STR_STATUS_DEFAULT_HEADING) : heading);
    // the grid's rows stay empty until the worker has drawn the first page
    for (int row = 1; row <= kTotalRow; ++row)
        for (int column = 0; column < kGridColumns; ++column)
            SetCell(row, column, "", false);
    skin::SetLabelText(*this, IDC_MESSAGE_TEXT, String(STR_STATUS_WAITING));
    ShowItem(IDC_MESSAGE_TEXT, true);
    EnableItem(IDC_BACK, false);

    logBase = LogBaseFolder();
    StartTimer(kStartTimer, kStartDelayMs);
    SetFocusTo(IDC_BACK);
    return false;
}

std::shared_ptr<CommandChannel> StatusViewScreen::MakeChannel() {
    return std::make_shared<CommandChannel>();
}

std::string StatusViewScreen::LogBaseFolder() {
    char folder[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                                folder)))
        return std::string();
    return std::string(folder) + "\\Kelvox\\TOV\\";
}

void StatusViewScreen::SetBusyCursor() {
    // the arrow with the hourglass for the whole system while the appliance is asked
    HCURSOR busy = CopyCursor(LoadCursor(nullptr, IDC_APPSTARTING));
    if (busy && !SetSystemCursor(busy, 32512 /* OCR_NORMAL */))
        DestroyCursor(busy);
}

void StatusViewScreen::RestoreCursors() { SystemParametersInfoA(SPI_SETCURSORS, 0, nullptr, 0); }

void StatusViewScreen::OnTimer(UINT_PTR id) {
    if (id == kStartTimer) {
        StopTimer(kStartTimer);
        StartQuery();
    } else if (id == kScrollTimer && !scroll.ThumbHeld()) {
        // the thumb has been let go: the page follows it
        StopTimer(kScrollTimer);
        scrollTimer = false;
        first = scroll.GetScrollPos();
        DrawPage(true);
    }
}

void StatusViewScreen::StartQuery() {
    if (queryStarted)
        return;
    // The worker holds only the channel, the address and the link: once the screen has gone
    // its answer is dropped by the link, and nothing it touches goes with the screen.
    std::shared_ptr<CommandChannel> channel = MakeChannel();
    const std::string target = address;
    // Back and X wait for the answer; Enter and Alt+F4 still end the screen.
    EnableItem(IDC_BACK, false);
    EnableItem(IDC_CLOSE, false);
    queryStarted = StartWorker(0, [channel, target](skin::WorkerLink& link) -> uint32_t {
        WriteLog(LOG_TRACE, "Backup Status Thread Started...");
        QueryAnswer answer;
        answer.result = CMD_BAD_REPLY;
        if (!target.empty()) {
            // the screen awaits this thread as it goes: once it has gone, stop waiting
            channel->SetAbandoned([&link] { return link.Closed(); });
            channel->SetTarget(target);
            answer.result = channel->SendGub1(answer.block);
            if (answer.result != CMD_OK)
                WriteLog(LOG_ERROR, "--- FAILED: gub1 to %s: 0x%08X", target.c_str(),
                         answer.result);
        }
        link.DeliverValue(WM_STATUS_ANSWER, std::move(answer));
        WriteLog(LOG_TRACE, "Backup Status Thread Ended...");
        return 0;
    });
    if (!queryStarted) {
        EnableItem(IDC_BACK, true);
        EnableItem(IDC_CLOSE, true);
        DrawPage(false);
        return;
    }
    cursorBusy = true;
    SetBusyCursor();
}

void StatusViewScreen::TakeAnswer(LPARAM lParam) {
    std::unique_ptr<skin::Parcel<QueryAnswer>> answer = Link()->TakeValue<QueryAnswer>(lParam);
    if (!answer)
        return;
    if (cursorBusy) {
        cursorBusy = false;
        RestoreCursors();
    }
    EnableItem(IDC_BACK, true);
    EnableItem(IDC_CLOSE, true);
    if (answer->value.block.bytes)
        block = std::move(answer->value.block);
    haveList = ReadStatusBlock(block.bytes.get(), block.size, &list);
    SortByName(list.users);
    DrawPage(false);
}

void StatusViewScreen::SetCell(int row, int column, const std::string& text, bool shown) {
    const int id = Cell(row, column);
    if (column == 3 && row >= 1 && row <= kStatusPageRows) {
        if (!shown)
            SetIcon(row, 0);
    } else {
        skin::SetLabelText(*this, id, text);
    }
    ShowItem(id, shown);
}

void StatusViewScreen::SetIcon(int row, int iconId) {
    HICON icon = nullptr;
    for (int i = 0; i < 3; ++i)
        if (kIconIds[i] == iconId)
            icon = icons[i];
    SendMessageA(Item(Cell(row, 3)), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void StatusViewScreen::DrawPage(bool keep) {
    skin::SetLabelText(*this, IDC_DEVICE,
                       heading.empty() ? String(STR_STATUS_DEFAULT_HEADING) : heading);
    const StatusPage page = LayOutPage(haveList ? &list : nullptr, first, keep);
    if (page.kind == PageKind::NoBlock) {
        skin::SetLabelText(*this, IDC_MESSAGE_TEXT, String(STR_STATUS_NOT_FOUND));
        ShowItem(IDC_MESSAGE_TEXT, true);
        for (int row = 0; row <= kTotalRow; ++row)
            for (int column = 0; column < kGridColumns; ++column)
                SetCell(row, column, "", false);
        ShowWindow(scroll.Hwnd(), SW_HIDE);
        PageDrawn();
        return;
    }
    ShowItem(IDC_MESSAGE_TEXT, false);
    for (int column = 0; column < kGridColumns; ++column)
        ShowItem(Cell(0, column), true);
    first = page.first;
    scroll.SetScrollRange(0, page.scrollMax);
    scroll.SetScrollPos(first);
    ShowWindow(scroll.Hwnd(), page.scrollShown ? SW_SHOW : SW_HIDE);

    for (int r = 0; r < kStatusPageRows; ++r) {
        const StatusRow& row = page.rows[r];
        const int gridRow = r + 1;
        if (page.kind == PageKind::NoUsers && r == 0) {
            SetCell(gridRow, 0, String(STR_STATUS_NO_USER), true);
            for (int column = 1; column < kGridColumns; ++column)
                SetCell(gridRow, column, "", false);
            continue;
        }
        SetCell(gridRow, 0, row.name, row.filled);
        SetCell(gridRow, 1, row.space, row.filled);
        SetCell(gridRow, 2, row.date, row.filled && !row.date.empty());
        if (row.filled && row.icon) {
            SetIcon(gridRow, row.icon);
            ShowItem(Cell(gridRow, 3), true);
        } else {
            SetCell(gridRow, 3, "", false);
        }
    }

    const StatusTotals& t = page.totals;
    SetCell(kTotalRow, 0, "", false);
    SetCell(kTotalRow, 3, "", false);
    SetCell(kTotalRow, 1, t.used, t.shown);
    if (skin::SkinLabel* free = FindLabel(Cell(kTotalRow, 2)))
        free->SetColours(t.low ? skin::kWarningRed : skin::kBodyGrey, skin::kTransparentBack);
    SetCell(kTotalRow, 2,
            t.freeShown ? FillPercentOne(String(STR_STATUS_FREE_SPACE), t.freeNumber)
                        : std::string(),
            t.shown && t.freeShown);
    PageDrawn();
}

void StatusViewScreen::Scroll(int code) {
    int position = scroll.GetScrollPos();
    switch (code) {
    case SB_LINEUP:
        --position;
        break;
    case SB_LINEDOWN:
        ++position;
        break;
    case SB_PAGEUP:
        position -= kStatusPageRows;
        break;
    case SB_PAGEDOWN:
        position += kStatusPageRows;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = static_cast<int>(list.users.size());
        break;
    case SB_THUMBTRACK:
        // the page follows once the thumb is let go (see the scroll timer)
        if (!scrollTimer)
            scrollTimer = StartTimer(kScrollTimer, kScrollTickMs);
        return;
    case SB_THUMBPOSITION:
        scroll.SetScrollPos(scroll.GetTrackPos());
        if (scrollTimer)
            return;
        position = scroll.GetScrollPos();
        break;
    default:
        return;
    }
    scroll.SetScrollPos(position);
    first = scroll.GetScrollPos();
    DrawPage(true);
}

void StatusViewScreen::ShowInformation(int stringId, const std::string& user) {
    const std::string text = FillPercentOne(String(stringId), user);
    MessageBoxA(Hwnd(), text.c_str(), String(STR_STATUS_BOX_CAPTION).c_str(),
                MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
}

void StatusViewScreen::EndViewer() {
    if (!viewer)
        return;
    if (WaitForSingleObject(viewer, 0) == WAIT_TIMEOUT)
        TerminateProcess(viewer, 0);
    CloseHandle(viewer);
    viewer = nullptr;
}

void StatusViewScreen::RemoveCopy() {
    if (!copyName.empty())
        DropCopy(copyName);
    copyName.clear();
}

void StatusViewScreen::OpenLog(int x, int y) {
    CellBox cells[kStatusPageRows];
    for (int r = 0; r < kStatusPageRows; ++r) {
        RECT rc;
        GetWindowRect(Item(Cell(r + 1, 2)), &rc);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rc), 2);
        cells[r] = {rc.left, rc.top, rc.right, rc.bottom};
    }
    const int row = DateRowAt(x, y, cells);
    if (row == 0 || ItemText(Cell(row, 2)).size() < 5)
        return;
    const std::string user = ItemText(Cell(row, 0));
    if (user.empty())
        return;

    const std::string log = BackupLogPath(logBase, user);
    const std::string copy = FillPercentOne(String(STR_STATUS_LOG_COPY), user);
    // An earlier copy is read-only and hidden: make it writable before copying over it.
    SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_TEMPORARY);
    if (!CopyFileA(log.c_str(), copy.c_str(), FALSE)) {
        ShowInformation(STR_STATUS_NO_LOG, user);
        return;
    }
    SetFileAttributesA(copy.c_str(),
                       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY);
    EndViewer();
    // one copy at a time: another user's earlier copy goes with its viewer
    if (copyName != copy)
        RemoveCopy();
    copyName = copy;

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_ICON;
    info.hwnd = Hwnd();
    info.lpVerb = "open";
    info.lpFile = copy.c_str();
    info.lpClass = ".txt";
    info.nShow = SW_MAXIMIZE;
    info.hIcon = icons[0];
    const BOOL opened = ShellExecuteExA(&info);
    viewer = info.hProcess;
    const intptr_t code = reinterpret_cast<intptr_t>(info.hInstApp);
    WriteLog(LOG_TRACE, "  Backup log of '%s' opened as <%s>: %d", user.c_str(), copy.c_str(),
             static_cast<int>(code));
    if (!opened || code <= 32) {
        const int message = ViewerFailureStringId(code);
        if (message)
            ShowInformation(message, user);
    }
}

void StatusViewScreen::OnEnter(int) {
    // Enter is Back wherever the focus is, also while the query runs: the worker never touches
    // the screen, so it may go at any time
    EndDialog(setup::RESULT_BACK);
}

bool StatusViewScreen::OnCommand(int id, int code, HWND control) {
    if (id == IDC_CLOSE && code == BN_CLICKED && !IsWindowEnabled(Item(IDC_CLOSE)))
        return true;
    if (Screen::OnCommand(id, code, control))
        return true;
    if (code != BN_CLICKED)
        return false;
    if (id == IDC_BACK) {
        EndDialog(setup::RESULT_BACK);
        return true;
    }
    if (id == IDC_HELP_BUTTON || id == IDC_HELP_LINK) {
        setup::LaunchTarget(app::InstallDirectory() + String(STR_STATUS_HELP_FILE));
        return true;
    }
    return false;
}

INT_PTR StatusViewScreen::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
    case WM_STATUS_ANSWER:
        TakeAnswer(lParam);
        handled = true;
        return TRUE;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == scroll.Hwnd() && scroll.Hwnd()) {
            Scroll(LOWORD(wParam));
            handled = true;
            return TRUE;
        }
        break;
    case WM_LBUTTONDBLCLK:
        OpenLog(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        handled = true;
        return TRUE;
    default:
        break;
    }
    return Screen::OnMessage(message, wParam, lParam, handled);
}

void StatusViewScreen::OnDestroy() {
    EndViewer();
    RemoveCopy();
    if (scrollTimer) {
        StopTimer(kScrollTimer);
        scrollTimer = false;
    }
    StopTimer(kStartTimer);
    // A worker still asking the appliance gives up within a second of the link's closing (the
    // dialog awaits it); its answer dies with the link.
    if (cursorBusy) {
        cursorBusy = false;
        RestoreCursors();
    }
    block = StatusBlock();
    list = StatusList();
    haveList = false;
}

} // namespace backup
