#include "window/accessible_name_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <utility>

#include "window/com_ptr_win.h"

namespace kelto {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// The system's accessible object for a control, with its own name in place of the one
// the system would give; every other answer is the system's. It is one COM object:
// every interface it hands out leads back to it, never to the system's unnamed object,
// so it offers only the interfaces it implements itself.
class NamedAccessible final : public IAccessible, public IOleWindow {
 public:
  // Copies the name: a screen reader may hold the object after the control is gone.
  NamedAccessible(ComPtr<IAccessible> standard, HWND control, const std::wstring& name)
      : standard_(std::move(standard)), control_(control), name_(name) {}
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  // IUnknown, for both interfaces
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualIID(iid, __uuidof(IUnknown)) || IsEqualIID(iid, __uuidof(IDispatch)) ||
        IsEqualIID(iid, __uuidof(IAccessible))) {
      *object = static_cast<IAccessible*>(this);
    } else if (IsEqualIID(iid, __uuidof(IOleWindow))) {
      *object = static_cast<IOleWindow*>(this);
    } else {
      // The system's other interfaces (IEnumVARIANT, IServiceProvider, ...) would lead
      // back to its unnamed object; a client does without them.
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  // IOleWindow: how a client finds the control the object stands for.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) {
      return E_POINTER;
    }
    *window = control_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // The one answer of our own.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (name == nullptr) {
      return E_POINTER;
    }
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) {
      return standard_->get_accName(child, name);
    }
    *name = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  // IDispatch and the rest of IAccessible, as the system answers them.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(iid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    return standard_->Invoke(id, iid, locale, flags, params, result, exception, argumentError);
  }
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return standard_->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    return standard_->get_accRole(child, role);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
    return standard_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
    return standard_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

 private:
  ~NamedAccessible() = default;

  ComPtr<IAccessible> standard_;
  HWND control_;
  std::wstring name_;
  LONG references_ = 1;
};

}  // namespace

AccessibleNames::~AccessibleNames() {
  if (joinedCom_) {
    CoUninitialize();
  }
}

bool AccessibleNames::Load() {
  if (loadTried_) {
    return createStdAccessibleObject_ != nullptr && lresultFromObject_ != nullptr;
  }
  loadTried_ = true;
  // The screen reader's objects are marshalled through COM; a library may have joined
  // this thread to it already, in either model, which serves as well.
  joinedCom_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  // From the system folder only, by its full name. It stays loaded for the rest of the
  // process: a screen reader may hold objects whose code lives in it.
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return false;
  }
  const HMODULE oleacc = LoadLibraryW((std::wstring(system, length) + L"\\oleacc.dll").c_str());
  if (oleacc == nullptr) {
    return false;
  }
  createStdAccessibleObject_ = reinterpret_cast<CreateStdAccessibleObjectProc>(
      reinterpret_cast<void*>(GetProcAddress(oleacc, "CreateStdAccessibleObject")));
  lresultFromObject_ = reinterpret_cast<LresultFromObjectProc>(
      reinterpret_cast<void*>(GetProcAddress(oleacc, "LresultFromObject")));
  return createStdAccessibleObject_ != nullptr && lresultFromObject_ != nullptr;
}

// The system's accessible object for the control, with its name in place of the one
// the system would give; 0, for the system's own answer, where that cannot be had.
LRESULT AccessibleNames::Answer(HWND control, const std::wstring& name, WPARAM wParam) {
  if (!Load()) {
    return 0;
  }
  ComPtr<IAccessible> standard;
  if (FAILED(createStdAccessibleObject_(control, OBJID_CLIENT, __uuidof(IAccessible),
                                        standard.Out()))) {
    return 0;
  }
  const ComPtr<IAccessible> named(new NamedAccessible(std::move(standard), control, name));
  // LresultFromObject takes the references it needs.
  return lresultFromObject_(__uuidof(IAccessible), wParam, named.Get());
}

LRESULT CALLBACK AccessibleNames::NamedControlProc(HWND control, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* named = reinterpret_cast<NamedControl*>(data);
  if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    LRESULT answer = 0;
    try {
      answer = named->names->Answer(control, named->name, wParam);
    } catch (...) {
      // No exception may unwind through the system's frames; out of memory, the
      // control goes by the system's own name.
    }
    if (answer != 0) {
      return answer;
    }
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(control, NamedControlProc, kSubclassId);
    delete named;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

bool AccessibleNames::Set(HWND control, const std::wstring& name) {
  auto owned = std::make_unique<NamedControl>(NamedControl{name, this});
  if (control == nullptr || !SetWindowSubclass(control, NamedControlProc, kSubclassId,
                                               reinterpret_cast<DWORD_PTR>(owned.get()))) {
    return false;
  }
  owned.release();  // freed when the control is destroyed
  return true;
}

}  // namespace kelto
