#include "win32/accessible.h"

// clang-format off
#include <initguid.h>
#include <oleacc.h>
// clang-format on

#include <atomic>
#include <new>

namespace tw::win {
namespace {

DEFINE_GUID(kIidAccessible, 0x618736e0, 0x3c3d, 0x11cf, 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71);

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT ReturnText(const std::wstring& text, BSTR* out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// One object per WM_GETOBJECT; it keeps only the window handle.
class ControlAccessible final : public IAccessible {
 public:
  explicit ControlAccessible(HWND control) : control_(control) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: readers use the vtable; there is no type library.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (!IsWindow(control_)) return E_FAIL;
    return AccessibleObjectFromWindow(control_, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    if (child != nullptr) *child = nullptr;
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    AccessibleFacts facts;
    if (const HRESULT hr = Read(child, facts); hr != S_OK) return hr;
    return ReturnText(facts.name, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Nothing(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return Nothing(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    AccessibleFacts facts;
    if (role == nullptr) return E_POINTER;
    if (const HRESULT hr = Read(child, facts); hr != S_OK) return hr;
    role->vt = VT_I4;
    role->lVal = facts.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    AccessibleFacts facts;
    if (state == nullptr) return E_POINTER;
    if (const HRESULT hr = Read(child, facts); hr != S_OK) return hr;
    long bits = facts.state | STATE_SYSTEM_FOCUSABLE;
    if (GetFocus() == control_) bits |= STATE_SYSTEM_FOCUSED;
    if (!IsWindowVisible(control_)) bits |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(control_)) bits = (bits | STATE_SYSTEM_UNAVAILABLE) & ~STATE_SYSTEM_FOCUSABLE;
    state->vt = VT_I4;
    state->lVal = bits;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return Nothing(child, help); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file != nullptr) *file = nullptr;
    if (topic != nullptr) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
    return Nothing(child, keys);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (focus == nullptr) return E_POINTER;
    VariantInit(focus);
    if (GetFocus() != control_) return S_FALSE;
    focus->vt = VT_I4;
    focus->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection == nullptr) return E_POINTER;
    VariantInit(selection);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    AccessibleFacts facts;
    if (const HRESULT hr = Read(child, facts); hr != S_OK) return hr;
    return ReturnText(facts.defaultAction, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!IsWindow(control_)) return E_FAIL;
    if ((flags & SELFLAG_TAKEFOCUS) != 0) SetFocus(control_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    if (!IsSelf(child)) return E_INVALIDARG;
    RECT r{};
    if (!GetWindowRect(control_, &r)) return E_FAIL;
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
    if (end != nullptr) VariantInit(end);
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    if (child == nullptr) return E_POINTER;
    VariantInit(child);
    RECT r{};
    if (!GetWindowRect(control_, &r)) return E_FAIL;
    const POINT p{x, y};
    if (!PtInRect(&r, p)) return S_FALSE;
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    AccessibleFacts facts;
    if (const HRESULT hr = Read(child, facts); hr != S_OK) return hr;
    if (facts.defaultAction.empty() || !IsWindowEnabled(control_)) return DISP_E_MEMBERNOTFOUND;
    // Posted: the click may open a modal window, and the reader must not wait for it.
    return PostMessageW(control_, kAccessibleDoDefaultMessage, 0, 0) ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  HRESULT Read(const VARIANT& child, AccessibleFacts& facts) const {
    if (!IsSelf(child)) return E_INVALIDARG;
    if (!IsWindow(control_)) return E_FAIL;
    return SendMessageW(control_, kAccessibleFactsMessage, 0, reinterpret_cast<LPARAM>(&facts)) == 1 ? S_OK
                                                                                                     : E_FAIL;
  }
  static HRESULT Nothing(const VARIANT& child, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    return IsSelf(child) ? S_FALSE : E_INVALIDARG;
  }

  HWND control_;
  std::atomic<ULONG> references_{1};
};

}  // namespace

const IID& AccessibleIid() noexcept { return kIidAccessible; }

LRESULT AnswerGetObject(HWND control, WPARAM wParam, LPARAM lParam) noexcept {
  if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT))
    return DefWindowProcW(control, WM_GETOBJECT, wParam, lParam);
  ControlAccessible* object = new (std::nothrow) ControlAccessible(control);
  if (object == nullptr) return 0;
  const LRESULT result = LresultFromObject(kIidAccessible, wParam, object);
  object->Release();  // LresultFromObject holds its own reference
  return result;
}

std::wstring SpokenText(std::wstring text) {
  std::wstring spoken;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;  // "&&" says one "&"
    spoken.push_back(text[i]);
  }
  return spoken;
}

}  // namespace tw::win
