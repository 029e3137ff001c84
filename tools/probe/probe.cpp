// qt-probe: lists the controls of the running main window, for the
// end-to-end tests. One line per child window, tab-separated:
//   name  class  visible(0/1)  enabled(0/1)  x y w h (client coordinates of
//   the main window)  sx sy (screen position)  text (CR/LF escaped)
// followed by "focus <name>", "tab <selected index>", "window <x y w h>" of
// the client area on the screen, "frame <x y w h>" of the whole window on
// the screen, "workarea <x y w h>" (the screen's, without the task bar),
// "style <hex>", "foreground <program, other or ->" (whose window is in the
// foreground) and one "box <title> <texts>" line per message box the program
// shows.
// Control names come from the window's own layout table, by control ID.
//
//   qt-probe deny KEY   gives HKEY_CURRENT_USER\KEY an empty access list:
//                       from then on nobody may open or delete it.
//   qt-probe readonly KEY [32|64]
//                       lets everyone read HKEY_LOCAL_MACHINE\KEY and nobody
//                       change it: a user without write rights there; in the
//                       32-bit or the 64-bit registry view, if one is named.
//   qt-probe opened FILE ... ADDRESS
//                       appends "ADDRESS<tab>PARENT" as one line to FILE,
//                       PARENT the image name of the process that started
//                       it ("-" if gone): the test's handler of addresses
//                       the shell opens.
//   qt-probe access [CAPTION]
//                       what a screen reader sees of the program's own
//                       window classes: one line per such window, tab-
//                       separated: name, role (hex), accName, accValue,
//                       accState (hex), accDefaultAction of its client
//                       object ("-" for a value the object does not give,
//                       "error HRESULT" when there is no object).
//   qt-probe act NAME [CAPTION]
//                       performs that control's accDoDefaultAction.
//   qt-probe window     shows a window of its own, "qt-probe window", at the
//                       screen's top left, and ends once it has been active
//                       and another window takes the activation from it (1
//                       when that has not happened within a minute): another
//                       program for the user to switch to.
// Under Wine 8 only a 32-bit caller gets the objects of another process's
// windows (a 64-bit one gets E_NOINTERFACE): the end-to-end test runs this
// program's 32-bit build for both verbs.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>

#include "app/layout.h"

namespace {

HWND g_main = nullptr;

std::string NameOf(HWND hwnd) {
    const int id = GetDlgCtrlID(hwnd);
    if (const layout::Control* control = layout::ById(id)) return control->name;
    char buf[32];
    std::snprintf(buf, sizeof buf, "#%d", id);
    return buf;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

BOOL CALLBACK List(HWND hwnd, LPARAM) {
    char cls[64] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "tooltips_class32") return TRUE;
    std::string text;
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        std::string buf(length + 1, '\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutA(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&buf[0]), SMTO_ABORTIFHUNG, 2000,
                            &got);
        text.assign(buf.c_str());
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    POINT tl{r.left, r.top};
    ScreenToClient(g_main, &tl);
    std::printf("%s\t%s\t%d\t%d\t%ld %ld %ld %ld\t%ld %ld\t%s\n", NameOf(hwnd).c_str(), cls,
                IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0, tl.x, tl.y, r.right - r.left,
                r.bottom - r.top, r.left, r.top, Escape(text).c_str());
    return TRUE;
}

// A message box of the program: its title and the texts of its labels.
BOOL CALLBACK ListBox(HWND hwnd, LPARAM) {
    char cls[64] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) return TRUE;
    char title[256] = {0};
    GetWindowTextA(hwnd, title, sizeof title);
    std::string texts;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[512] = {0};
        GetClassNameA(child, cls, sizeof cls);
        if (std::string(cls) == "Static" && GetWindowTextA(child, text, sizeof text) > 0) texts += text;
    }
    std::printf("box\t%s\t%s\n", title, Escape(texts).c_str());
    return TRUE;
}

// Gives root\path (in registry view `view`) an access list that allows
// everyone `everyoneMay` (0: nothing) and nobody anything else.
int Restrict(HKEY root, const char* path, REGSAM everyoneMay, REGSAM view = 0) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, WRITE_DAC | view, &key) != ERROR_SUCCESS) return 1;
    SECURITY_DESCRIPTOR sd;
    alignas(DWORD) BYTE aclBytes[128];
    auto* acl = reinterpret_cast<ACL*>(aclBytes);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    bool made = InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) &&
                InitializeAcl(acl, sizeof aclBytes, ACL_REVISION);
    if (made && everyoneMay)
        made = AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone) &&
               AddAccessAllowedAce(acl, ACL_REVISION, everyoneMay, everyone);
    made = made && SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    const LONG status = made ? RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd) : ERROR_INVALID_PARAMETER;
    if (everyone) FreeSid(everyone);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? 0 : 1;
}

// The image name of the process that started this one ("explorer.exe"), "-"
// when it is no longer there.
std::string ParentImage() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return "-";
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    std::string image = "-";
    for (BOOL more = parent && Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ProcessID == parent) image = entry.szExeFile;
    CloseHandle(snapshot);
    return image;
}

int Opened(const char* file, const char* address) {
    const std::string parent = ParentImage();
    std::FILE* out = std::fopen(file, "ab");
    if (!out) return 1;
    const bool written = std::fprintf(out, "%s\t%s\n", address, parent.c_str()) >= 0;
    return std::fclose(out) == 0 && written ? 0 : 1;
}

// The window classes the program registers: the page frames, header and
// picture boxes (app/win32/panel.cpp) and the hyperlink control
// (controls/win32/url_link_window.cpp). System controls keep the system's objects.
bool IsOurs(HWND hwnd) {
    char cls[64] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpiA(cls, "QorvelTweakerFrame") == 0 || lstrcmpiA(cls, "Qorvel_Tweaker.URLLink") == 0;
}

std::string Narrow(BSTR text) {
    if (!text) return "";
    const int length = SysStringLen(text);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], size, nullptr, nullptr);
    return Escape(out);
}

// A text property's answer: the text, "-" when the call gives none. `text`
// by reference: it is read once the call that fills it has returned.
std::string Answer(HRESULT status, BSTR& text) {
    std::string out = status == S_OK ? Narrow(text) : "-";
    SysFreeString(text);
    return out;
}

std::string Number(HRESULT status, VARIANT& v) {
    char buf[32] = "-";
    if (status == S_OK && v.vt == VT_I4) std::snprintf(buf, sizeof buf, "%lx", static_cast<unsigned long>(v.lVal));
    VariantClear(&v);
    return buf;
}

IAccessible* ObjectOf(HWND hwnd, HRESULT& status) {
    IAccessible* object = nullptr;
    status = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object));
    if (FAILED(status) && object) object->Release();
    return SUCCEEDED(status) ? object : nullptr;
}

BOOL CALLBACK ListAccessible(HWND hwnd, LPARAM) {
    if (!IsOurs(hwnd)) return TRUE;
    HRESULT status = S_OK;
    IAccessible* object = ObjectOf(hwnd, status);
    if (!object) {
        std::printf("%s\terror %08lx\n", NameOf(hwnd).c_str(), static_cast<unsigned long>(status));
        return TRUE;
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    BSTR name = nullptr, value = nullptr, action = nullptr;
    const std::string roleText = Number(object->get_accRole(self, &role), role);
    const std::string nameText = Answer(object->get_accName(self, &name), name);
    const std::string valueText = Answer(object->get_accValue(self, &value), value);
    const std::string stateText = Number(object->get_accState(self, &state), state);
    const std::string actionText = Answer(object->get_accDefaultAction(self, &action), action);
    object->Release();
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\n", NameOf(hwnd).c_str(), roleText.c_str(), nameText.c_str(), valueText.c_str(),
                stateText.c_str(), actionText.c_str());
    return TRUE;
}

struct Target {
    const char* name;
    HWND hwnd;
};

BOOL CALLBACK FindNamed(HWND hwnd, LPARAM param) {
    auto* target = reinterpret_cast<Target*>(param);
    if (!IsOurs(hwnd) || NameOf(hwnd) != target->name) return TRUE;
    target->hwnd = hwnd;
    return FALSE;
}

// accDoDefaultAction on the client object of the control named `name`.
int Act(HWND window, const char* name) {
    Target target{name, nullptr};
    EnumChildWindows(window, FindNamed, reinterpret_cast<LPARAM>(&target));
    if (!target.hwnd) return 2;
    HRESULT status = S_OK;
    IAccessible* object = ObjectOf(target.hwnd, status);
    if (!object) return 1;
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    status = object->accDoDefaultAction(self);
    object->Release();
    return status == S_OK ? 0 : 1;
}

// The access and act verbs, with COM initialised around them.
int Accessibility(int argc, char** argv) {
    const bool act = std::string(argv[1]) == "act";
    const int captionAt = act ? 3 : 2;
    if (act && argc < 3) return 2;
    HWND window = FindWindowA(nullptr, argc > captionAt ? argv[captionAt] : "Qorvel Tweaker");
    if (!window) {
        std::printf("no window\n");
        return 2;
    }
    const HRESULT init = CoInitialize(nullptr);
    int status = 0;
    if (act)
        status = Act(window, argv[2]);
    else
        EnumChildWindows(window, ListAccessible, 0);
    if (SUCCEEDED(init)) CoUninitialize();
    return status;
}

// The window of "qt-probe window": ten times a second it looks which window
// is in the foreground, and it goes once it has had the foreground and lost
// it, or after a minute.
bool g_wasActive = false;
int g_ticks = 0;

LRESULT CALLBACK OtherWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        const bool active = GetForegroundWindow() == hwnd;
        if ((g_wasActive && !active) || ++g_ticks >= 600) DestroyWindow(hwnd);
        g_wasActive = g_wasActive || active;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int OtherWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OtherWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "QtProbeWindow";
    if (!RegisterClassA(&wc)) return 2;
    const HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "qt-probe window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                      200, 120, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 2;
    SetTimer(hwnd, 1, 100, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return g_wasActive && g_ticks < 600 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::string(argv[1]) == "deny") return Restrict(HKEY_CURRENT_USER, argv[2], 0);
    if (argc > 2 && std::string(argv[1]) == "readonly") {
        const std::string view = argc > 3 ? argv[3] : "";
        return Restrict(HKEY_LOCAL_MACHINE, argv[2], KEY_READ,
                        view == "64"   ? KEY_WOW64_64KEY
                        : view == "32" ? KEY_WOW64_32KEY
                                       : 0);
    }
    if (argc > 3 && std::string(argv[1]) == "opened") return Opened(argv[2], argv[argc - 1]);
    if (argc > 1 && std::string(argv[1]) == "window") return OtherWindow();
    if (argc > 1 && (std::string(argv[1]) == "access" || std::string(argv[1]) == "act"))
        return Accessibility(argc, argv);
    const char* caption = argc > 1 ? argv[1] : "Qorvel Tweaker";
    g_main = FindWindowA(nullptr, caption);
    if (!g_main) {
        std::printf("no window\n");
        return 2;
    }
    EnumChildWindows(g_main, List, 0);
    GUITHREADINFO info;
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(g_main, nullptr), &info) && info.hwndFocus)
        std::printf("focus\t%s\n", info.hwndFocus == g_main ? "Main_App" : NameOf(info.hwndFocus).c_str());
    else
        std::printf("focus\t-\n");
    HWND tab = FindWindowExA(g_main, nullptr, WC_TABCONTROLA, nullptr);
    std::printf("tab\t%ld\n", tab ? static_cast<long>(SendMessageA(tab, TCM_GETCURSEL, 0, 0)) : -1L);
    // Each tab's rectangle, in the main window's client coordinates.
    // TCM_GETITEMRECT fills a RECT in the program's own memory: the probe
    // lends it one there and reads it back.
    const long tabs = tab ? static_cast<long>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0)) : 0;
    DWORD pid = 0;
    GetWindowThreadProcessId(g_main, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    void* remote = process ? VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE) : nullptr;
    for (long i = 0; remote && i < tabs; ++i) {
        RECT r = {0, 0, 0, 0};
        SIZE_T got = 0;
        if (!SendMessageA(tab, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote)) ||
            !ReadProcessMemory(process, remote, &r, sizeof r, &got))
            continue;
        MapWindowPoints(tab, g_main, reinterpret_cast<POINT*>(&r), 2);
        std::printf("tabrect\t%ld\t%ld %ld %ld %ld\n", i, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
    // A tooltip the program shows now, with its text.
    const DWORD thread = GetWindowThreadProcessId(g_main, nullptr);
    for (HWND tip = FindWindowExA(nullptr, nullptr, "tooltips_class32", nullptr); tip;
         tip = FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) {
        if (GetWindowThreadProcessId(tip, nullptr) != thread || !IsWindowVisible(tip)) continue;
        char text[256] = {0};
        SendMessageTimeoutA(tip, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                            nullptr);
        std::printf("tooltip\t%s\n", text);
    }
    RECT client;
    GetClientRect(g_main, &client);
    POINT origin{0, 0};
    ClientToScreen(g_main, &origin);
    std::printf("window\t%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    RECT frame, work;
    GetWindowRect(g_main, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    std::printf("frame\t%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
    std::printf("workarea\t%ld %ld %ld %ld\n", work.left, work.top, work.right - work.left, work.bottom - work.top);
    std::printf("style\t%08lx\n", static_cast<unsigned long>(GetWindowLongA(g_main, GWL_STYLE)));
    const HWND foreground = GetForegroundWindow();
    DWORD foreground_pid = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &foreground_pid);
    std::printf("foreground\t%s\n", !foreground ? "-" : foreground_pid == pid ? "program" : "other");
    EnumThreadWindows(thread, ListBox, 0);
    return 0;
}
