#include "controls/win32/accessible_object.h"

#include <oleacc.h>

#include <new>

#include "controls/shell_open.h"
#include "platform/platform.h"

namespace {

using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// `text` (in the ANSI code page, as the windows hold it) as a new BSTR;
// nullptr and S_FALSE for "".
HRESULT ToBstr(const char* text, BSTR* out) {
    *out = nullptr;
    if (!text || !*text) return S_FALSE;
    const auto allocate = platform::SystemFunction<SysAllocStringLenFn>("oleaut32.dll", "SysAllocStringLen");
    const int size = lstrlenA(text);
    const int wide = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    if (!allocate || wide <= 0) return E_OUTOFMEMORY;
    *out = allocate(nullptr, static_cast<UINT>(wide));
    if (!*out) return E_OUTOFMEMORY;
    MultiByteToWideChar(CP_ACP, 0, text, size, *out, wide);
    return S_OK;
}

// WindowFromAccessibleObject finds the window through the parent, the
// standard window object, which answers IOleWindow.
class Object final : public IAccessible {
public:
    // Takes over the reference to `standard`.
    Object(HWND window, const a11y::Behaviour& behaviour, IAccessible* standard)
        : window_(window), behaviour_(behaviour), standard_(standard) {}
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
            IsEqualIID(iid, __uuidof(IAccessible)))
            *out = static_cast<IAccessible*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: automation clients use IAccessible itself.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: what controls/accessible decides.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Text(child, name, &a11y::Report::name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return Text(child, value, &a11y::Report::value);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return Text(child, action, &a11y::Report::defaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child)) return behaviour_.whole ? E_INVALIDARG : standard_->get_accRole(child, role);
        return Number(role, [](const a11y::Report& report) { return report.role; });
    }
    // Ours, with the standard object's word on whether the window shows.
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!IsSelf(child)) return behaviour_.whole ? E_INVALIDARG : standard_->get_accState(child, state);
        return Number(state, [this, child](const a11y::Report& report) {
            VARIANT shown;
            shown.vt = VT_EMPTY;
            if (FAILED(standard_->get_accState(child, &shown)) || shown.vt != VT_I4) shown.lVal = 0;
            return report.state | (shown.lVal & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
        });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) && behaviour_.whole) return E_INVALIDARG;
        if (!IsSelf(child) || !behaviour_.act) return standard_->accDoDefaultAction(child);
        a11y::Report report;
        const HRESULT result = Describe(report);
        if (FAILED(result)) return result;
        return behaviour_.act(window_) ? S_OK : E_FAIL;
    }
    // The standard object's, a whole object's own: no children, hit testing
    // inside finds the object itself.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!behaviour_.whole) return standard_->get_accChildCount(count);
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (behaviour_.whole && (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD)) {
            if (!end) return E_POINTER;
            end->vt = VT_EMPTY;
            return S_FALSE;
        }
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override {
        const HRESULT result = standard_->accHitTest(x, y, found);
        if (behaviour_.whole && result == S_OK && found && found->vt != VT_EMPTY) {
            if (found->vt == VT_DISPATCH && found->pdispVal) found->pdispVal->Release();
            found->vt = VT_I4;
            found->lVal = CHILDID_SELF;
        }
        return result;
    }

    // The standard object's (which finds no child of a link's: its label
    // never takes the focus).
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard_->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return standard_->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~Object() { standard_->Release(); }

    // The window's report now (describing allocates nothing and cannot
    // throw); E_FAIL once the window is gone.
    HRESULT Describe(a11y::Report& report) const { return behaviour_.describe(window_, report) ? S_OK : E_FAIL; }

    HRESULT Text(VARIANT child, BSTR* out, const char* a11y::Report::*field) const {
        if (!IsSelf(child)) {
            if (out) *out = nullptr;
            return E_INVALIDARG;
        }
        if (!out) return E_POINTER;
        *out = nullptr;
        a11y::Report report;
        const HRESULT result = Describe(report);
        return FAILED(result) ? result : ToBstr(report.*field, out);
    }

    // A number of the object itself, taken from its report by `read`.
    template <class Read>
    HRESULT Number(VARIANT* out, Read read) const {
        if (!out) return E_POINTER;
        out->vt = VT_EMPTY;
        a11y::Report report;
        const HRESULT result = Describe(report);
        if (FAILED(result)) return result;
        out->lVal = read(report);
        out->vt = VT_I4;
        return S_OK;
    }

    HWND window_;
    const a11y::Behaviour& behaviour_;
    IAccessible* standard_;
    ULONG references_ = 1;
};

}  // namespace

LRESULT a11y::AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const Behaviour& behaviour) {
    if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT))
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    // Marshalling the object to the caller needs COM on this thread.
    ShellOpen::StartCom();
    const auto answer = platform::SystemFunction<LresultFromObjectFn>("oleacc.dll", "LresultFromObject");
    const auto standard =
        platform::SystemFunction<CreateStdAccessibleObjectFn>("oleacc.dll", "CreateStdAccessibleObject");
    IAccessible* made = nullptr;
    if (!answer || !standard ||
        FAILED(standard(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&made))) || !made)
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    Object* object = new (std::nothrow) Object(window, behaviour, made);
    if (!object) {
        made->Release();
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    }
    // LresultFromObject keeps a reference of its own until the caller has
    // taken the object, or lets it go when nobody does.
    const LRESULT result = answer(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result;
}
