// The game's resource script, compiled by windres into this program: every
// resource under its id and type, its bytes equal to the files the script
// names, and the Swedish texts of the menu and the dialogs arriving intact.
//   resource_script_test <res directory as a Windows path>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "resource_ids.h"

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAILED: %s\n", what.c_str());
        ++failures;
    }
}

std::vector<std::uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    check(static_cast<bool>(in), "cannot read " + path);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::uint8_t> resource(LPCSTR type, int id) {
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (!info) return {};
    auto data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, info)));
    return data ? std::vector<std::uint8_t>(data, data + SizeofResource(nullptr, info)) : std::vector<std::uint8_t>{};
}

// CP1252, the code page of the program's "A" calls, from the template's UTF-16.
std::string westernText(const std::u16string& text) {
    if (text.empty()) return {};
    char out[256] = {};
    int n = WideCharToMultiByte(1252, 0, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()),
                                out, sizeof out - 1, nullptr, nullptr);
    return std::string(out, n > 0 ? n : 0);
}

// The embedded files: every line  <id> RCDATA|BITMAP|WAVE|ICON "<file>"  of the script.
void checkEmbeddedFiles(const std::string& resDir) {
    std::ifstream script(resDir + "/zifra.rc");
    check(static_cast<bool>(script), "cannot read zifra.rc");
    const std::regex line(R"(^(\d+)\s+(RCDATA|BITMAP|WAVE|ICON)\s+"([^"]+)\".*)");
    std::map<std::string, std::set<int>> found;
    for (std::string text; std::getline(script, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, line)) continue;
        int id = std::stoi(m[1]);
        std::string type = m[2], path = resDir + "/" + m[3].str();
        found[type].insert(id);
        std::vector<std::uint8_t> file = fileBytes(path);
        std::string what = type + " " + std::to_string(id);
        if (type == "ICON") {
            // The file's one image becomes an RT_ICON; the group entry names it.
            std::vector<std::uint8_t> group = resource(RT_GROUP_ICON, id);
            check(group.size() == 6 + 14, what + ": a group of one icon");
            if (group.size() != 6 + 14 || file.size() < 22) continue;
            check(group[6] == 32 && group[7] == 32 && group[8] == 16, what + ": 32 x 32, 16 colours");
            int imageId = group[18] | group[19] << 8;
            check(resource(RT_ICON, imageId) == std::vector<std::uint8_t>(file.begin() + 22, file.end()),
                  what + ": the icon's image is the file's");
            check(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)) != nullptr, what + ": LoadIconA");
            continue;
        }
        LPCSTR kind = type == "RCDATA" ? RT_RCDATA : type == "BITMAP" ? RT_BITMAP : "WAVE";
        std::size_t skip = type == "BITMAP" ? 14 : 0;  // windres keeps a bitmap without its file header
        check(file.size() > skip && resource(kind, id) == std::vector<std::uint8_t>(file.begin() + skip, file.end()),
              what + ": bytes equal " + m[3].str());
    }
    std::set<int> pictures, cues;
    for (int id : {111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 136, 137, 138, 139, 151, 152, 153, 154, 155,
                   156, 157, 158, 159, 160, 162, 163})
        pictures.insert(id);
    for (int id = 164; id <= 179; ++id) cues.insert(id);
    check(found["RCDATA"] == pictures, "every picture, and no other RCDATA");
    check(found["WAVE"] == cues, "every sound cue, 164 to 179");
    check(found["BITMAP"] == std::set<int>{150}, "the palette bitmap 150");
    check(found["ICON"] == std::set<int>{180}, "the icon 180");
}

void checkMenu() {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAIN_MENU));
    check(menu != nullptr, "LoadMenuA 128");
    if (!menu) return;
    struct Item {
        int id;
        const char* caption;
    };
    struct Popup {
        const char* caption;
        std::vector<Item> items;
    };
    const std::vector<Popup> expected = {
        {"Spel", {{40001, "Starta nytt spel (F1)"}, {40002, "Spelregler"}, {40003, "Avsluta (Alt-F4)"}}},
        {"T\xe4vling", {{40004, "T\xe4vlingsregler"}, {40005, "Om Kvippa"}}},
        {"Koppla upp",
         {{40006, "Registrera high-score"},
          {40007, "Utmana dina v\xe4nner"},
          {40008, "Bes\xf6k Zifras hemsida"},
          {40009, "Surfa till Kvippasajten"}}},
    };
    auto caption = [](HMENU m, int position) {
        char text[128] = {};
        GetMenuStringA(m, position, text, sizeof text, MF_BYPOSITION);
        return std::string(text);
    };
    check(GetMenuItemCount(menu) == 3, "three menus");
    for (int p = 0; p < static_cast<int>(expected.size()); ++p) {
        check(caption(menu, p) == expected[p].caption, std::string("menu ") + expected[p].caption);
        HMENU popup = GetSubMenu(menu, p);
        check(popup != nullptr && GetMenuItemCount(popup) == static_cast<int>(expected[p].items.size()),
              std::string("items of ") + expected[p].caption);
        if (!popup) continue;
        for (int i = 0; i < static_cast<int>(expected[p].items.size()); ++i) {
            const Item& item = expected[p].items[i];
            check(static_cast<int>(GetMenuItemID(popup, i)) == item.id && caption(popup, i) == item.caption,
                  std::string("menu item ") + item.caption);
        }
    }
    DestroyMenu(menu);
}

struct ExpectedItem {
    int id;
    int classOrdinal;
    const char* text;  // CP1252
    int x, y, cx, cy;
    DWORD required;   // style bits that must be set
    DWORD forbidden;  // style bits that must be clear
    DWORD exStyle;
};

struct ExpectedDialog {
    int id;
    const char* title;
    int cx, cy;
    DWORD required;
    DWORD forbidden;
    std::vector<ExpectedItem> items;
};

constexpr int BUTTON = 0x80, EDIT = 0x81;
constexpr DWORD BUTTON_KIND = 0xF;  // the low style bits that make a button a push, default or group box

void checkDialog(const ExpectedDialog& want) {
    std::string name = "dialog " + std::to_string(want.id);
    auto dialog = readDialogTemplate(resource(RT_DIALOG, want.id));
    check(dialog.has_value(), name + " exists and is whole");
    if (!dialog) return;
    check((dialog->style & want.required) == want.required && (dialog->style & want.forbidden) == 0, name + ": style");
    check(dialog->cx == want.cx && dialog->cy == want.cy, name + ": size");
    check(westernText(dialog->title) == want.title, name + ": title");
    check(dialog->fontSize == 8 && dialog->fontName == u"MS Sans Serif", name + ": font");
    check(dialog->items.size() == want.items.size(), name + ": number of controls");
    for (std::size_t i = 0; i < std::min(dialog->items.size(), want.items.size()); ++i) {
        const DialogItem& got = dialog->items[i];
        const ExpectedItem& item = want.items[i];
        std::string what = name + ", control " + std::to_string(i + 1) + " \"" + item.text + "\"";
        check(got.id == item.id && got.classOrdinal == item.classOrdinal, what + ": id and kind");
        check(westernText(got.text) == item.text, what + ": text");
        check(got.x == item.x && got.y == item.y && got.cx == item.cx && got.cy == item.cy, what + ": place");
        bool kindMatches = item.classOrdinal != BUTTON || (got.style & BUTTON_KIND) == (item.required & BUTTON_KIND);
        check(kindMatches && (got.style & item.required) == item.required && (got.style & item.forbidden) == 0,
              what + ": style");
        check(got.exStyle == item.exStyle, what + ": extended style");
    }
}

void checkDialogs() {
    const DWORD modal = DS_MODALFRAME | WS_POPUP | WS_CAPTION;
    const DWORD tab = WS_TABSTOP | WS_VISIBLE;
    const std::vector<ExpectedDialog> dialogs = {
        {IDD_PROMPT, "", 142, 53, modal | WS_SYSMENU, 0,
         {{IDOK, BUTTON, "Ja", 7, 32, 50, 14, BS_DEFPUSHBUTTON | tab, 0, 0},
          {IDCANCEL, BUTTON, "Nej", 85, 32, 50, 14, BS_PUSHBUTTON | tab, 0, 0},
          // Wraps the question: multi-line, and nothing that scrolls it sideways.
          {IDC_TEXT, EDIT, "", 7, 7, 122, 22, ES_MULTILINE | ES_READONLY, ES_AUTOHSCROLL | WS_HSCROLL | WS_TABSTOP, 0}}},
        {IDD_INFORMATION, "Information", 263, 170, modal, WS_SYSMENU,
         {{IDOK, BUTTON, "OK", 105, 149, 50, 14, BS_DEFPUSHBUTTON | tab, 0, 0},
          {IDC_TEXT, EDIT, "", 7, 7, 249, 124, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP, 0,
           WS_EX_CLIENTEDGE}}},
        {IDD_REGISTRATION, "Anm\xe4l din high-score", 196, 109, modal, WS_SYSMENU,
         {{IDOK, BUTTON, "OK", 7, 88, 50, 14, BS_DEFPUSHBUTTON | tab, 0, 0},
          {IDCANCEL, BUTTON, "Avbryt", 73, 88, 50, 14, BS_PUSHBUTTON | tab, 0, 0},
          {-1, BUTTON, "Anv\xe4ndarnamn (e-mailadress)", 7, 11, 182, 29, BS_GROUPBOX, 0, 0},
          {-1, BUTTON, "L\xf6senord", 7, 45, 182, 31, BS_GROUPBOX, 0, 0},
          {IDC_USER_NAME, EDIT, "", 11, 21, 171, 12, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, ES_PASSWORD, 0},
          {IDC_PASSWORD, EDIT, "", 11, 56, 171, 12, WS_BORDER | ES_AUTOHSCROLL | ES_PASSWORD | WS_TABSTOP, 0, 0},
          {IDC_NEW_USER, BUTTON, "Ny anv\xe4ndare", 139, 88, 50, 14, BS_PUSHBUTTON | tab, 0, 0}}},
    };
    for (const ExpectedDialog& dialog : dialogs) checkDialog(dialog);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: resource_script_test <res directory>\n");
        return 2;
    }
    checkEmbeddedFiles(argv[1]);
    checkMenu();
    checkDialogs();
    std::printf("%s\n", failures ? "resource script FAILED" : "resource script passed");
    return failures ? 1 : 0;
}
