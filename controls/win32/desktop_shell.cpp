#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>

#include <vector>

#include "controls/desktop_shell.h"

namespace {

// The service under which a browser window offers its top-level browser.
const GUID kTopLevelBrowser = {0x4c96be40, 0x915c, 0x11cf, {0x99, 0xd3, 0x00, 0xaa, 0x00, 0x4a, 0xe8, 0x37}};

// One interface pointer, released on scope exit.
template <class T>
class Interface {
public:
    Interface() = default;
    ~Interface() {
        if (p_) p_->Release();
    }
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;
    T* operator->() const { return p_; }
    T** out() { return &p_; }
    void** any() { return reinterpret_cast<void**>(&p_); }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// A BSTR of an ANSI text, freed on scope exit.
class WideText {
public:
    WideText(LPCSTR text) {
        using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
        free_ = platform::SystemFunction<FreeFn>("oleaut32.dll", "SysFreeString");
        const auto alloc = platform::SystemFunction<SysAllocStringFn>("oleaut32.dll", "SysAllocString");
        const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        if (!free_ || !alloc || length <= 0) return;
        std::vector<OLECHAR> wide(static_cast<std::size_t>(length));
        if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length) == length) bstr_ = alloc(wide.data());
    }
    ~WideText() {
        if (bstr_) free_(bstr_);
    }
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    BSTR get() const { return bstr_; }

private:
    using FreeFn = void(WINAPI*)(BSTR);
    FreeFn free_ = nullptr;
    BSTR bstr_ = nullptr;
};

// The desktop's shell dispatch object: the desktop window of the shell
// windows collection, its top-level browser, the active view, the view's
// background object and its application. False at the first step the shell
// does not offer.
bool DesktopDispatch(Interface<IShellDispatch2>& shell) {
    using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
    const auto create = platform::SystemFunction<CoCreateInstanceFn>("ole32.dll", "CoCreateInstance");
    Interface<IShellWindows> windows;
    if (!create ||
        FAILED(create(__uuidof(ShellWindows), nullptr, CLSCTX_LOCAL_SERVER, __uuidof(IShellWindows), windows.any())))
        return false;
    VARIANT desktopFolder{};  // CSIDL_DESKTOP
    desktopFolder.vt = VT_I4;
    VARIANT none{};
    long window = 0;
    Interface<IDispatch> desktop;
    if (windows->FindWindowSW(&desktopFolder, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.out()) != S_OK ||
        !desktop)
        return false;
    Interface<IServiceProvider> services;
    Interface<IShellBrowser> browser;
    Interface<IShellView> view;
    Interface<IDispatch> background;
    Interface<IShellFolderViewDual> folderView;
    Interface<IDispatch> application;
    return SUCCEEDED(desktop->QueryInterface(__uuidof(IServiceProvider), services.any())) &&
           SUCCEEDED(services->QueryService(kTopLevelBrowser, __uuidof(IShellBrowser), browser.any())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.out())) && view &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), background.any())) &&
           SUCCEEDED(background->QueryInterface(__uuidof(IShellFolderViewDual), folderView.any())) &&
           SUCCEEDED(folderView->get_Application(application.out())) && application &&
           SUCCEEDED(application->QueryInterface(__uuidof(IShellDispatch2), shell.any())) && shell;
}

}  // namespace

bool DesktopShell::Open(LPCSTR operation, LPCSTR file, INT show, HRESULT& result) {
    Interface<IShellDispatch2> shell;
    if (!DesktopDispatch(shell)) return false;
    WideText target(file), verb(operation);
    if (!target.get() || !verb.get()) {
        result = E_OUTOFMEMORY;
        return true;
    }
    VARIANT none{}, operationVariant{}, showVariant{};
    operationVariant.vt = VT_BSTR;
    operationVariant.bstrVal = verb.get();
    showVariant.vt = VT_I4;
    showVariant.lVal = show;
    result = shell->ShellExecute(target.get(), none, none, operationVariant, showVariant);
    return true;
}
