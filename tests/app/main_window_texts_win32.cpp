// The main window's texts as Windows holds them, read back through the wide
// functions, so the checks mean the same under any system locale (the suite
// runs under a Korean one and under C.UTF-8): the caption, the tab labels, a
// page label, combo items, a message box; a name the stored CP949 cannot
// hold; a project and an export under Hangul names. Screenshots of the pages
// and of the colour dialog are written for the locale the run uses.
#include <doctest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <cwchar>

#include "app_window_fixture_win32.h"
#include "core/services/ui_text_win32.h"
#include "editor/dress_page_win32.h"
#include "project/project_commands_win32.h"

using namespace apptest;

namespace {

const int CHARA_EXPRESSION = IDC_CHARA_EXPRESSION;

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring TabLabel(HWND tabs, int index)
{
    wchar_t text[64] = L"";
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(tabs, TCM_GETITEMW, index, (LPARAM)&item);
    return text;
}

std::wstring ComboItem(HWND combo, int index)
{
    wchar_t text[256] = L"";
    if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) < 256)
        SendMessageW(combo, CB_GETLBTEXT, index, (LPARAM)text);
    return text;
}

// The file's bytes read through the wide file API, whatever the system
// code page would make of the name.
std::vector<unsigned char> WideFileBytes(const std::wstring &path)
{
    std::vector<unsigned char> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    unsigned char buffer[4096];
    DWORD n = 0;
    while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    CloseHandle(h);
    return bytes;
}

// A digest of every file below `folder` (names and bytes, in name order),
// to compare the export of one locale's run with another's.
void DigestFolder(const std::wstring &folder, unsigned long long *hash, int *files)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    auto mix = [hash](const void *p, size_t n) {
        for (size_t i = 0; i < n; i++)
            *hash = (*hash ^ ((const unsigned char *)p)[i]) * 1099511628211ULL;
    };
    for (const std::wstring &name : names) {
        std::wstring path = folder + L"\\" + name;
        mix(name.data(), name.size() * sizeof(wchar_t));
        DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DigestFolder(path, hash, files);
        } else {
            std::vector<unsigned char> bytes = WideFileBytes(path);
            mix(bytes.data(), bytes.size());
            ++*files;
        }
    }
}

// Where screenshots go: the folder the suite started in, named by locale.
std::string ShotPath(const char *what, const char *extension = ".png")
{
    static std::string folder;
    if (folder.empty()) {
        char here[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof here, here);
        folder = here;
    }
    const char *locale = getenv("VOR_LC_ALL");
    return folder + "\\texts_" + (locale ? locale : "ko_KR.UTF-8") + "_" + what + extension;
}

}  // namespace

TEST_CASE("caption, tab labels, a page label and combo items read back in Korean through the wide functions")
{
    std::string shots = ShotPath("chara");  // fixes the folder before the fixture moves
    AppWindow w;
    CHECK(IsWindowUnicode(w.main));
    for (int page = 0; page < PAGE_COUNT; page++)
        CHECK(IsWindowUnicode(w.Page(page)));

    const std::wstring caption = WindowText(w.main);
    const std::wstring tail = L" - VOR \xCE90\xB9AD\xD130 \xB9CC\xB4E4\xAE30";  // " - VOR 캐릭터 만들기"
    REQUIRE(caption.size() > tail.size());
    CHECK(caption.compare(caption.size() - tail.size(), tail.size(), tail) == 0);

    HWND tabs = GetDlgItem(w.main, IDC_MAIN_TABS);
    const wchar_t *labels[PAGE_COUNT] = {L"\xC5BC\xAD74", L"\xBCF5\xC7A5", L"\xCD9C\xB825"};  // 얼굴 복장 출력
    for (int i = 0; i < PAGE_COUNT; i++) {
        CAPTURE(i);
        CHECK(TabLabel(tabs, i) == labels[i]);
    }

    // Labels of the pages, found as static controls by their UTF-16 text.
    struct Label { int page; const wchar_t *text; };
    const Label pageLabels[] = {
        {PAGE_CHARA, L"\xC774\xB984(&N):"},  // 이름(&N):
        {PAGE_CHARA, L"\xB208\xC379(&B):"},  // 눈썹(&B):
    };
    for (const Label &l : pageLabels)
        CHECK(FindWindowExW(w.Page(l.page), nullptr, L"Static", l.text) != nullptr);

    // The first expression is 기본, the others are ASCII faces; the kinds of
    // accessory start with 없음.
    HWND expressions = w.Item(PAGE_CHARA, CHARA_EXPRESSION);
    CHECK(ComboItem(expressions, 0) == L"\xAE30\xBCF8");
    CHECK(ComboItem(expressions, 1) == L"^-^");
    CHECK(ComboItem(w.Item(PAGE_DRESS, IDC_DRESS_ACCESSORY_KIND), 0) == L"\xC5C6\xC74C");

    // A name typed in Hangul reaches the model as its CP949 bytes.
    SetDlgItemTextW(w.Page(PAGE_CHARA), IDC_CHARA_NAME, L"\xD64D\xAE38\xB3D9");  // 홍길동
    w.WaitIdle();
    CHECK(std::string(w.app.character.name ? w.app.character.name : "") == "홍길동");

    const char *pages[PAGE_COUNT] = {"chara", "dress", "save"};
    for (int i = 0; i < PAGE_COUNT; i++) {
        w.ShowTab(i);
        guitest::SaveWindowPng(w.main, ShotPath(pages[i]).c_str(), true);
    }
}

TEST_CASE("a message box and the colour dialog show their Korean texts")
{
    std::string shot = ShotPath("colour");
    AppWindow w;
    std::wstring boxText, boxCaption, colourCaption;
    auto exitStep = [&] {
        HWND box = FindWindowW(L"#32770", L"VOR \xC885\xB8CC \xD655\xC778");  // VOR 종료 확인
        if (!box)
            return false;
        boxCaption = WindowText(box);
        boxText = WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), (LPARAM)GetDlgItem(box, IDNO));
        return true;
    };
    {
        pagestest::ModalScript script({exitStep}, AllTitles());
        w.Command(CMD_EXIT);
        CHECK(script.Finished());
    }
    CHECK(IsWindow(w.main));
    CHECK(boxText == L"VOR \xC744 \xC885\xB8CC \xD558\xC2DC\xACA0\xC2B5\xB2C8\xAE4C?");  // VOR 을 종료 하시겠습니까?

    auto colourStep = [&] {
        HWND d = FindWindowW(L"#32770", L"\xC0C9 \xC120\xD0DD");  // 색 선택
        if (!d || !IsWindowVisible(d))
            return false;
        RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        colourCaption = WindowText(d);
        CHECK(IsWindowUnicode(d));
        CHECK(FindWindowExW(d, nullptr, L"Static", L"\xC0C9\xC0C1(&H):") != nullptr);  // 색상(&H):
        guitest::SaveWindowPng(d, shot.c_str(), true);
        PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
        return true;
    };
    {
        pagestest::ModalScript script({colourStep}, AllTitles());
        w.Click(PAGE_CHARA, 1009);  // the hair colour button
        CHECK(script.Finished());
    }
    CHECK(colourCaption == L"\xC0C9 \xC120\xD0DD");
}

TEST_CASE("a name with a character CP949 cannot hold is refused with a message; the name kept stays")
{
    AppWindow w;
    UiText_SetItem(w.Page(PAGE_CHARA), IDC_CHARA_NAME, "가나");
    w.WaitIdle();
    REQUIRE(std::string(w.app.character.name) == "가나");
    std::vector<SeenBox> seen;
    {
        pagestest::ModalScript script({Answer("이름 입력", IDOK, &seen)}, AllTitles());
        SetDlgItemTextW(w.Page(PAGE_CHARA), IDC_CHARA_NAME, L"\xAC00\x0E01");  // 가 and a Thai letter
        w.RunUntil([&] { return script.Finished(); }, 5000);
        w.WaitIdle();
    }
    REQUIRE(seen.size() == 1);
    CHECK(seen[0].text == UiText_Problem(UITEXT_UNREPRESENTABLE));
    CHECK(std::string(w.app.character.name) == "가나");
    CHECK(WindowText(w.Item(PAGE_CHARA, IDC_CHARA_NAME)) == L"\xAC00\xB098");
}

// The project file under a Hangul folder and name holds the CP949 bytes the
// model keeps, under any locale; the export writes below a Hangul folder.
TEST_CASE("a project and an export under Hangul folders: the files the wide API finds, with the CP949 bytes")
{
    AppWindow w;
    SetDlgItemTextW(w.Page(PAGE_CHARA), IDC_CHARA_NAME, L"\xD64D\xAE38\xB3D9");  // 홍길동
    w.WaitIdle();
    // A fixed free folder, so that the runs of every locale write the same
    // file; it is kept as CP949 like the name.
    SavePage_SetFreeFolder(w.Page(PAGE_SAVE), "C:\\자료\\출력");
    CreateDirectoryW(L"\xC790\xB8CC", nullptr);  // 자료
    REQUIRE(ProjectCmd_SaveAs(&w.app, "자료\\홍길동.vor"));
    std::vector<unsigned char> file = WideFileBytes(L"\xC790\xB8CC\\\xD64D\xAE38\xB3D9.vor");
    REQUIRE_FALSE(file.empty());
    CHECK(std::string(file.begin(), file.end()).find("홍길동") != std::string::npos);
    CHECK(std::string(file.begin(), file.end()).find("C:\\자료\\출력") != std::string::npos);
    // A copy beside the screenshots, to compare the runs of both locales.
    FILE *copy = fopen((ShotPath("project", ".vor")).c_str(), "wb");
    if (copy) {
        fwrite(file.data(), 1, file.size(), copy);
        fclose(copy);
    }

    // Exported names are ASCII; the folder they go below need not be.
    UiText_SetItem(w.Page(PAGE_CHARA), IDC_CHARA_NAME, "Hong");
    w.WaitIdle();
    CreateDirectoryW(L"\xCD9C\xB825", nullptr);  // 출력
    SavePage_SetFreeFolder(w.Page(PAGE_SAVE), "출력");
    CheckDlgButton(w.Page(PAGE_SAVE), IDC_SAVE_FREE_RADIO, BST_CHECKED);
    std::vector<SeenBox> seen;
    {
        // Whichever box the export ends with is recorded and closed.
        auto anyBox = [&] {
            for (const char *title : {"출력 완료창", "출력 실패", "출력", "폴더명 입력", "이름 입력"})
                if (Answer(title, IDOK, &seen)())
                    return true;
            return false;
        };
        pagestest::ModalScript script({anyBox}, AllTitles());
        w.Click(PAGE_SAVE, IDC_SAVE_OUTPUT);
        w.RunUntil([&] { return script.Finished(); }, 20000);
        w.WaitIdle();
    }
    REQUIRE(seen.size() == 1);
    CHECK(seen[0].title == "출력 완료창");
    CHECK(seen[0].text.find("개별 이미지 출력을 완료했습니다\n\n") == 0);
    // 출력\Hong holds the pictures.
    DWORD attributes = GetFileAttributesW(L"\xCD9C\xB825\\Hong");
    CHECK(attributes != INVALID_FILE_ATTRIBUTES);
    CHECK((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    unsigned long long hash = 14695981039346656037ULL;
    int files = 0;
    DigestFolder(L"\xCD9C\xB825", &hash, &files);
    CHECK(files > 1);
    MESSAGE("export: " << files << " files, digest " << std::hex << hash);
    if (FILE *note = fopen((ShotPath("export", ".txt")).c_str(), "w")) {
        fprintf(note, "%d files, digest %016llx\n", files, hash);
        fclose(note);
    }
}
