// The resources as the program reaches them: by number from its own module, and the window
// shapes as the windows' own region builders make them from the tables.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "shapes.h"
#include "win32/window_test_support.h"
#include "windows/window_regions.h"

namespace {

static_assert(sizeof(ShapePoint) == sizeof(POINT), "shape tables are handed to GDI as POINTs");

HINSTANCE module() { return GetModuleHandleA(nullptr); }

// The About template's own dialog procedure is not under test here.
INT_PTR CALLBACK silentDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Owns a GDI object for the length of a test.
struct Gdi {
    HGDIOBJ object;
    explicit Gdi(HGDIOBJ o) : object(o) {}
    ~Gdi() {
        if (object) DeleteObject(object);
    }
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;
    HRGN region() const { return static_cast<HRGN>(object); }
};

const POINT* points(const ShapePoint* p) { return reinterpret_cast<const POINT*>(p); }


TEST(Resources, EveryBitmapLoadsByNumberAtItsSize) {
    const struct { int id, width, height; } bitmaps[] = {
        {IDB_BALL, 50, 350},  {IDB_BACKBOARD, 187, 134},  {IDB_NET, 83, 76},
        {IDB_ABOUT, 400, 300}, {IDB_SCOREBOARD, 187, 42}, {IDB_DIGITS, 14, 150}};
    for (const auto& b : bitmaps) {
        Gdi bitmap(LoadImageA(module(), MAKEINTRESOURCEA(b.id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        ASSERT_NE(bitmap.object, nullptr) << "bitmap " << b.id;
        BITMAP info{};
        ASSERT_EQ(GetObjectA(bitmap.object, sizeof info, &info), static_cast<int>(sizeof info));
        EXPECT_EQ(info.bmWidth, b.width) << "bitmap " << b.id;
        EXPECT_EQ(info.bmHeight, b.height) << "bitmap " << b.id;
    }
}

TEST(Resources, EverySoundIsAWaveResourceByNumber) {
    for (int id : {IDW_FLOOR, IDW_WALL, IDW_CHEER, IDW_BIG_CHEER, IDW_RIM}) {
        HRSRC found = FindResourceA(module(), MAKEINTRESOURCEA(id), "WAVE");
        ASSERT_NE(found, nullptr) << "sound " << id;
        HGLOBAL loaded = LoadResource(module(), found);
        ASSERT_NE(loaded, nullptr);
        const char* bytes = static_cast<const char*>(LockResource(loaded));
        ASSERT_NE(bytes, nullptr);
        ASSERT_GT(SizeofResource(module(), found), 44u);
        EXPECT_EQ(std::memcmp(bytes, "RIFF", 4), 0) << "sound " << id;
        EXPECT_EQ(std::memcmp(bytes + 8, "WAVE", 4), 0) << "sound " << id;
    }
}

std::wstring itemText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

constexpr LANGID russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
constexpr LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

struct MenuTexts {
    const wchar_t* sound;
    const wchar_t* reset;
    const wchar_t* about;
    const wchar_t* exit;
};
const MenuTexts russianMenu{
    L"\u0417\u0432\u0443\u043a",
    L"\u041e\u0431\u043d\u0443\u043b\u0438\u0442\u044c \u0440\u0435\u0437\u0443\u043b\u044c\u0442\u0430\u0442",
    L"\u041e \u043f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u0435", L"\u0412\u044b\u0445\u043e\u0434"};
const MenuTexts englishMenu{L"Sound", L"Reset score", L"About", L"Exit"};

// What a user of each language gets: their own where it exists, English otherwise.
const struct {
    LANGID user;
    LANGID served;
    const MenuTexts* menu;
} languages[] = {{russian, russian, &russianMenu}, {english, english, &englishMenu}, {german, english, &englishMenu}};

TEST(Resources, MenuInTheUsersLanguageHasOnePopupWithTheFourCommandsAndSoundChecked) {
    for (const auto& language : languages) {
        SCOPED_TRACE(testing::Message() << "user language " << std::hex << language.user);
        ThreadLanguage as(language.user);
        HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(IDR_MENU));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(GetMenuItemCount(menu), 1);
        EXPECT_EQ(itemText(menu, 0), L"");
        HMENU popup = GetSubMenu(menu, 0);
        ASSERT_NE(popup, nullptr);
        const MenuTexts& texts = *language.menu;
        const struct { UINT id; const wchar_t* text; bool checked; } items[] = {
            {IDM_SOUND, texts.sound, true},
            {IDM_RESET_SCORE, texts.reset, false},
            {IDM_ABOUT, texts.about, false},
            {IDM_EXIT, texts.exit, false}};
        EXPECT_EQ(GetMenuItemCount(popup), 4) << "no separators";
        for (UINT i = 0; i < 4; ++i) {
            EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), items[i].id);
            EXPECT_EQ(itemText(popup, i), items[i].text) << "item " << i;
            const UINT state = GetMenuState(popup, items[i].id, MF_BYCOMMAND);
            EXPECT_EQ((state & MF_CHECKED) != 0, items[i].checked) << "item " << i;
        }
        DestroyMenu(menu);
    }
}

TEST(Resources, PicturesWithWordsComeInTheUsersLanguageTheOthersInOneCopy) {
    for (const auto& language : languages) {
        SCOPED_TRACE(testing::Message() << "user language " << std::hex << language.user);
        ThreadLanguage as(language.user);
        const struct { int type, id; } worded[] = {
            {2, IDB_ABOUT}, {2, IDB_SCOREBOARD}, {10, IDR_MASTER_ABOUT}, {10, IDR_MASTER_SCOREBOARD}};
        for (const auto& r : worded) {
            HRSRC picked = FindResourceA(module(), MAKEINTRESOURCEA(r.id), MAKEINTRESOURCEA(r.type));
            ASSERT_NE(picked, nullptr) << r.id;
            EXPECT_EQ(picked, FindResourceExA(module(), MAKEINTRESOURCEA(r.type), MAKEINTRESOURCEA(r.id), language.served))
                << "picture " << r.id;
        }
        for (int id : {IDB_BALL, IDB_BACKBOARD, IDB_NET, IDB_DIGITS})
            EXPECT_EQ(FindResourceA(module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)),
                      FindResourceExA(module(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(id),
                                      MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)))
                << "bitmap " << id;
    }
    // the two languages' pictures differ, and only in their words
    for (int id : {IDB_ABOUT, IDB_SCOREBOARD}) {
        HRSRC ru = FindResourceExA(module(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(id), russian);
        HRSRC en = FindResourceExA(module(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(id), english);
        ASSERT_NE(ru, nullptr);
        ASSERT_NE(en, nullptr);
        ASSERT_EQ(SizeofResource(module(), ru), SizeofResource(module(), en)) << "same size, " << id;
        EXPECT_NE(std::memcmp(LockResource(LoadResource(module(), ru)), LockResource(LoadResource(module(), en)),
                              SizeofResource(module(), ru)),
                  0)
            << id;
    }
}

// One string of a version block, or "" when it is missing.
std::string versionString(const std::vector<char>& block, const char* table, const char* key) {
    const std::string path = std::string("\\StringFileInfo\\") + table + "\\" + key;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return "";
    return value;
}

TEST(Resources, VersionBlockNamesTheProgramInBothLanguages) {
    const struct { LANGID language; const char* table; } blocks[] = {{russian, "041904B0"}, {english, "040904B0"}};
    for (const auto& b : blocks) {
        SCOPED_TRACE(b.table);
        HRSRC found = FindResourceExA(module(), MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), b.language);
        ASSERT_NE(found, nullptr);
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module(), found)));
        // VerQueryValue may write into the block it reads: a copy, as GetFileVersionInfo gives
        std::vector<char> block(bytes, bytes + SizeofResource(module(), found));
        block.resize(block.size() * 2);
        EXPECT_EQ(versionString(block, b.table, "FileDescription"), "Quorvel Basketball");
        EXPECT_EQ(versionString(block, b.table, "ProductName"), "Quorvel Basketball");
        EXPECT_EQ(versionString(block, b.table, "OriginalFilename"), "basketball.exe");
        EXPECT_EQ(versionString(block, b.table, "LegalCopyright").rfind("Copyright (c) 20", 0), 0u)
            << versionString(block, b.table, "LegalCopyright");

        // the numbers and the texts tell the same version
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                    std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                    std::to_string(HIWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(versionString(block, b.table, "FileVersion"), numbers);
        EXPECT_EQ(versionString(block, b.table, "ProductVersion"), numbers);

        struct { WORD language, codePage; }* translation = nullptr;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                   &length));
        ASSERT_EQ(length, 4u);
        EXPECT_EQ(translation->language, b.language);
        EXPECT_EQ(translation->codePage, 1200u);
    }
}

TEST(Resources, AboutDialogTemplateIsAnExtendedTemplateWithoutControls) {
    HRSRC found = FindResourceA(module(), MAKEINTRESOURCEA(IDD_ABOUT), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const auto* t = static_cast<const unsigned char*>(LockResource(LoadResource(module(), found)));
    ASSERT_NE(t, nullptr);
    auto u16 = [t](int at) { return static_cast<unsigned>(t[at] | (t[at + 1] << 8)); };
    auto u32 = [&](int at) { return u16(at) | (u16(at + 2) << 16); };
    EXPECT_EQ(u16(0), 1u);
    EXPECT_EQ(u16(2), 0xFFFFu);
    EXPECT_EQ(u32(4), 0u) << "helpID";
    EXPECT_EQ(u32(8), static_cast<unsigned>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(u32(12), 0x80800040u) << "WS_POPUP | WS_BORDER | DS_SETFONT";
    EXPECT_EQ(u16(16), 0u) << "no controls";
    EXPECT_EQ(u16(18), 0u);
    EXPECT_EQ(u16(20), 0u);
    EXPECT_EQ(u16(22), 186u);
    EXPECT_EQ(u16(24), 94u);
    EXPECT_EQ(u16(26), 0u) << "no menu";
    EXPECT_EQ(u16(28), 0u) << "standard class";
    EXPECT_EQ(u16(30), 0u) << "no title";
    EXPECT_EQ(u16(32), 8u) << "point size";
    EXPECT_EQ(u16(34), 0u) << "weight";
    EXPECT_EQ(t[36], 0u) << "italic";
    EXPECT_EQ(t[37], 1u) << "charset";
    std::wstring face;
    for (int at = 38; u16(at) != 0; at += 2) face += static_cast<wchar_t>(u16(at));
    EXPECT_EQ(face, L"MS Sans Serif");

    // and the dialog manager makes a captionless tool window of it
    HWND dialog = CreateDialogParamA(module(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, silentDialog, 0);
    ASSERT_NE(dialog, nullptr);
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_EQ(style & WS_CAPTION, WS_BORDER) << "a border, no caption";
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    DestroyWindow(dialog);
}

TEST(Resources, IconAndHandCursorLoadByNumber) {
    HICON icon = LoadIconA(module(), MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, 32);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    HANDLE small = LoadImageA(module(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0);
    ASSERT_NE(small, nullptr);
    DestroyIcon(static_cast<HICON>(small));

    HCURSOR hand = LoadCursorA(module(), MAKEINTRESOURCEA(IDC_GRAB_HAND));
    ASSERT_NE(hand, nullptr);
    ICONINFO cursor{};
    ASSERT_TRUE(GetIconInfo(hand, &cursor));
    EXPECT_FALSE(cursor.fIcon);
    EXPECT_EQ(cursor.xHotspot, 10u);
    EXPECT_EQ(cursor.yHotspot, 5u);
    if (cursor.hbmColor) DeleteObject(cursor.hbmColor);
    DeleteObject(cursor.hbmMask);
    // the image itself carries the number 3
    EXPECT_NE(FindResourceA(module(), MAKEINTRESOURCEA(3), MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_NE(FindResourceA(module(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(3)), nullptr);
    EXPECT_NE(FindResourceA(module(), MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(3)), nullptr);
}

// The system's own choice of image for each size it asks for at some display scale: an
// image made for that size, not one it would have to stretch.
TEST(Resources, SystemFindsAnIconAndCursorImageOfEverySize) {
    const struct {
        bool icon;
        unsigned group;
        int size;
    } cases[] = {{true, IDI_APP, 16},  {true, IDI_APP, 20},  {true, IDI_APP, 24},
                 {true, IDI_APP, 32},  {true, IDI_APP, 40},  {true, IDI_APP, 48},
                 {true, IDI_APP, 64},  {true, IDI_APP, 256}, {false, IDC_GRAB_HAND, 32},
                 {false, IDC_GRAB_HAND, 48}, {false, IDC_GRAB_HAND, 64}};
    for (const auto& c : cases) {
        const std::string what = std::string(c.icon ? "icon " : "cursor ") + std::to_string(c.size);
        HRSRC group = FindResourceA(module(), MAKEINTRESOURCEA(c.group),
                                    MAKEINTRESOURCEA(c.icon ? 14 : 12));  // RT_GROUP_ICON/CURSOR
        ASSERT_NE(group, nullptr) << what;
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module(), group)));
        const int id = LookupIconIdFromDirectoryEx(directory, c.icon, c.size, c.size, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0) << what;
        HRSRC image = FindResourceA(module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(c.icon ? 3 : 1));
        ASSERT_NE(image, nullptr) << what;
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module(), image)));
        const BYTE* header = c.icon ? bytes : bytes + 4;  // a cursor's hot spot comes first
        LONG width = 0;
        if (std::memcmp(header, "\x89PNG", 4) == 0) {
            width = header[18] << 8 | header[19];
        } else {
            std::memcpy(&width, header + 4, sizeof width);
        }
        EXPECT_EQ(width, c.size) << what << ": image " << id;

        HANDLE loaded = LoadImageA(module(), MAKEINTRESOURCEA(c.group),
                                   c.icon ? IMAGE_ICON : IMAGE_CURSOR, c.size, c.size, 0);
        ASSERT_NE(loaded, nullptr) << what;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(loaded), &info)) << what;
        if (!c.icon) {
            EXPECT_EQ(info.xHotspot, static_cast<DWORD>(10 * c.size / 32)) << what;
        }
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(loaded));
    }
}

// Every resource below the test-only numbers (900 and up), as "type/name/language".
struct CatalogueWalk {
    std::vector<std::string> found;
    std::string type, name;
};

std::string resourceName(LPCSTR n) {
    return IS_INTRESOURCE(n) ? std::to_string(reinterpret_cast<ULONG_PTR>(n)) : std::string(n);
}

BOOL CALLBACK onLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR walk) {
    auto* w = reinterpret_cast<CatalogueWalk*>(walk);
    char lang[8];
    wsprintfA(lang, "%04x", language);
    w->found.push_back(w->type + "/" + w->name + "/" + lang);
    return TRUE;
}

BOOL CALLBACK onName(HMODULE m, LPCSTR type, LPSTR name, LONG_PTR walk) {
    if (IS_INTRESOURCE(name) && reinterpret_cast<ULONG_PTR>(name) >= 900) return TRUE;
    reinterpret_cast<CatalogueWalk*>(walk)->name = resourceName(name);
    EnumResourceLanguagesA(m, type, name, onLanguage, walk);
    return TRUE;
}

BOOL CALLBACK onType(HMODULE m, LPSTR type, LONG_PTR walk) {
    reinterpret_cast<CatalogueWalk*>(walk)->type = resourceName(type);
    EnumResourceNamesA(m, type, onName, walk);
    return TRUE;
}

std::vector<std::string> catalogue() {
    CatalogueWalk walk;
    EnumResourceTypesA(module(), onType, reinterpret_cast<LONG_PTR>(&walk));
    return walk.found;
}

TEST(Resources, NothingButTheCatalogueWordsInRussianAndEnglishTheRestNeutral) {
    const std::vector<std::string> expected = {
        "1/3/0000",    "1/4/0000",    "1/5/0000",    "2/103/0000",  "2/105/0000",  "2/106/0000",
        "2/107/0409",  "2/107/0419",  "2/117/0409",  "2/117/0419",  "2/119/0000",  "3/1/0000",
        "3/2/0000",    "3/3/0000",    "3/4/0000",    "3/5/0000",    "3/6/0000",    "3/7/0000",
        "3/8/0000",    "4/115/0409",  "4/115/0419",  "5/108/0000",  "10/203/0000", "10/205/0000",
        "10/206/0000", "10/207/0409", "10/207/0419", "10/217/0409", "10/217/0419", "10/219/0000",
        "12/102/0000", "14/101/0000", "16/1/0409",   "16/1/0419",   "WAVE/109/0000", "WAVE/110/0000",
        "WAVE/112/0000", "WAVE/113/0000", "WAVE/114/0000"};
    std::vector<std::string> found = catalogue();
    std::sort(found.begin(), found.end());
    std::vector<std::string> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(found, sorted);
}

TEST(Regions, BackboardMeetsTheRightEdgeFromY59To98AndTheBottomFrom77To110) {
    Gdi board(createBackboardRegion());
    ASSERT_NE(board.object, nullptr);
    RECT box{};
    GetRgnBox(board.region(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 187);
    EXPECT_EQ(box.bottom, 134);
    for (int y = 59; y <= 98; ++y) EXPECT_TRUE(PtInRegion(board.region(), 186, y)) << y;
    EXPECT_FALSE(PtInRegion(board.region(), 186, 58));
    EXPECT_FALSE(PtInRegion(board.region(), 186, 102));
    for (int x = 0; x < 187; ++x)
        EXPECT_EQ(PtInRegion(board.region(), x, 133) != 0, x >= 77 && x < 110) << x;
    EXPECT_TRUE(PtInRegion(board.region(), 93, 0));
    EXPECT_FALSE(PtInRegion(board.region(), 0, 0));
    EXPECT_FALSE(PtInRegion(board.region(), 186, 0));
}

TEST(Regions, ScoreboardIsTheRectangleWithItsCornersCut) {
    Gdi board(createScoreboardRegion());
    ASSERT_NE(board.object, nullptr);
    for (POINT corner : {POINT{0, 0}, POINT{186, 0}, POINT{0, 41}, POINT{186, 41}})
        EXPECT_FALSE(PtInRegion(board.region(), corner.x, corner.y)) << corner.x << "," << corner.y;
    for (POINT in : {POINT{1, 0}, POINT{185, 0}, POINT{0, 1}, POINT{186, 40}, POINT{93, 21}, POINT{160, 20}})
        EXPECT_TRUE(PtInRegion(board.region(), in.x, in.y)) << in.x << "," << in.y;
}

TEST(Regions, NetIsSeeThroughAtEveryOpeningAndInItsBottomRows) {
    Gdi net(createNetRegion());
    ASSERT_NE(net.object, nullptr);
    for (int y = 70; y < 76; ++y)
        for (int x = 0; x < 83; ++x) ASSERT_FALSE(PtInRegion(net.region(), x, y)) << x << "," << y;
    EXPECT_TRUE(PtInRegion(net.region(), 41, 3)) << "rim band";
    EXPECT_TRUE(PtInRegion(net.region(), 2, 4)) << "rim band, left end";
    // a point inside each opening (found from the opening's own region) is outside the net
    for (int h = 0, at = 0; h < netHolePolygons; at += netHoleCounts[h], ++h) {
        Gdi hole(CreatePolygonRgn(points(netHoles + at), netHoleCounts[h], ALTERNATE));
        RECT box{};
        GetRgnBox(hole.region(), &box);
        int inside = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                if (PtInRegion(hole.region(), x, y)) {
                    ++inside;
                    EXPECT_FALSE(PtInRegion(net.region(), x, y)) << "hole " << h + 1 << " at " << x << "," << y;
                }
        EXPECT_GT(inside, 0) << "hole " << h + 1;
    }
}

TEST(Regions, NetShapeMatchesTheCoveredPixelsOfItsPicture) {
    Gdi net(createNetRegion());
    Gdi bitmap(LoadImageA(module(), MAKEINTRESOURCEA(IDB_NET), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(net.object, nullptr);
    ASSERT_NE(bitmap.object, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(bitmap.object, sizeof dib, &dib), static_cast<int>(sizeof dib));
    ASSERT_EQ(dib.dsBm.bmBitsPixel, 32);
    ASSERT_EQ(dib.dsBm.bmWidth, 83);
    ASSERT_EQ(dib.dsBm.bmHeight, 76);
    const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);  // bottom-up, as the file
    int mismatches = 0;
    for (int y = 0; y < 76; ++y)
        for (int x = 0; x < 83; ++x) {
            const DWORD pixel = bits[(75 - y) * 83 + x];
            const bool visible = (pixel & 0xFFFFFF) != 0, covered = (pixel >> 24) != 0;
            // Past the shape only what its outline partly covers has a colour.
            const char* fault = PtInRegion(net.region(), x, y) ? (!visible || !covered ? " in the shape but black" : nullptr)
                                : (pixel >> 24) == 255 ? " wholly covered outside the shape"
                                : visible && !covered ? " drawn where nothing covers it"
                                                      : nullptr;
            if (fault) {
                ++mismatches;
                ADD_FAILURE() << x << "," << y << fault;
            }
        }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
