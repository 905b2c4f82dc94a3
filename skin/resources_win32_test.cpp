// Every resource id of the screens in the program and in each language library, and the shape
// of the dialog templates.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "res/resource.h"

namespace {

const int kStringIds[] = {
#include "res/gen/string_ids.inc"
};
const int kDialogIds[] = {529, 530, 543, 562, 563, 567, 570, 580, 581, 582, 583, 584,
                          587, 588, 590, 591, 593, 596, 603, 607, 608, 641, 642};
const int kButtonBitmaps[] = {533, 534, 535, 536, 537, 538, 539, 540, 541, 542, 569,
                              573, 574, 575, 576, 577, 578, 595, 638, 639, 640};
const int kIcons[] = {565, 611, 612, 613};
struct Background {
    int id, width, height;
};
const Background kBackgrounds[] = {{532, 650, 364}, {545, 650, 364}, {548, 650, 364},
                                   {561, 650, 364}, {579, 650, 364}, {631, 650, 364},
                                   {632, 650, 364}, {633, 504, 294}};

std::string BinDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1);
}

class Module {
public:
    explicit Module(const std::string& file) {
        h_ = LoadLibraryExA((BinDir() + file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~Module() {
        if (h_) {
            FreeLibrary(h_);
        }
    }
    HMODULE Get() const { return h_; }

private:
    HMODULE h_;
};

bool HasString(HMODULE m, int id) {
    char buf[8];
    return LoadStringA(m, id, buf, sizeof buf) > 0;
}

void ExpectScreenResources(const std::string& file, bool program) {
    Module m(file);
    ASSERT_NE(m.Get(), nullptr) << file;
    for (int id : kStringIds) {
        EXPECT_TRUE(HasString(m.Get(), id)) << file << " string " << id;
    }
    for (int id : {1, 2, 212, 213}) {
        EXPECT_TRUE(HasString(m.Get(), id)) << file << " string " << id;
    }
    for (int id : kDialogIds) {
        EXPECT_NE(FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_DIALOG), nullptr)
            << file << " dialog " << id;
    }
    for (int id : kButtonBitmaps) {
        EXPECT_NE(FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_BITMAP), nullptr)
            << file << " bitmap " << id;
    }
    for (int id : kIcons) {
        EXPECT_NE(FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_GROUP_ICON), nullptr)
            << file << " icon " << id;
    }
    for (const Background& b : kBackgrounds) {
        HRSRC r = FindResourceA(m.Get(), MAKEINTRESOURCEA(b.id), RT_BITMAP);
        if (!program) {
            EXPECT_EQ(r, nullptr) << "backgrounds live only in the program: " << b.id;
            continue;
        }
        ASSERT_NE(r, nullptr) << b.id;
        const auto* info =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(m.Get(), r)));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->biWidth, b.width) << b.id;
        EXPECT_EQ(info->biHeight, b.height) << b.id;
        EXPECT_EQ(info->biBitCount, 24) << b.id;
    }
}

TEST(Resources, TheProgramHasEveryScreenResource) { ExpectScreenResources("tovManager.exe", true); }

TEST(Resources, EachLanguageLibraryHasTheSameIds) {
    for (const char* lib : {"tovspa.dll", "tovita.dll", "tovger.dll", "tovfra.dll"}) {
        ExpectScreenResources(lib, false);
    }
}

TEST(Resources, TemplatesArePopUpVerdana8OfTheirSize) {
    Module m("tovManager.exe");
    ASSERT_NE(m.Get(), nullptr);
    for (int id : kDialogIds) {
        HRSRC r = FindResourceA(m.Get(), MAKEINTRESOURCEA(id), RT_DIALOG);
        ASSERT_NE(r, nullptr) << id;
        const auto* p = static_cast<const WORD*>(LockResource(LoadResource(m.Get(), r)));
        // DLGTEMPLATEEX: version 1, signature 0xFFFF
        ASSERT_EQ(p[0], 1);
        ASSERT_EQ(p[1], 0xFFFF);
        DWORD style;
        std::memcpy(&style, p + 6, sizeof style);
        EXPECT_EQ(style & (WS_POPUP | DS_SETFONT), static_cast<DWORD>(WS_POPUP | DS_SETFONT)) << id;
        EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_SYSMENU | WS_THICKFRAME), 0u) << id;
        const short cx = static_cast<short>(p[11]), cy = static_cast<short>(p[12]);
        const bool small = id == IDD_MESSAGE || id == IDD_REPLACE_FILE;
        EXPECT_EQ(cx, small ? 288 : 371) << id;
        EXPECT_EQ(cy, small ? 181 : 224) << id;
        // menu, class and title are empty (one zero word each), then the font: points, weight,
        // italic and charset, face
        const WORD* q = p + 13;
        EXPECT_EQ(q[0], 0);
        EXPECT_EQ(q[1], 0);
        EXPECT_EQ(q[2], 0);
        EXPECT_EQ(q[3], 8) << id;
        const wchar_t* face = reinterpret_cast<const wchar_t*>(q + 6);
        EXPECT_EQ(std::wstring(face), L"Verdana") << id;
    }
}

} // namespace
