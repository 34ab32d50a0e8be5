#include "window/accessible_name_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <memory>
#include <utility>

#include "window/com_ptr_win.h"

namespace kelto {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// oleacc's annotation service and the two properties Kelto gives, as oleacc.h
// declares them; defined here, since Kelto links no oleacc.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kPropName = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr MSAAPROPID kPropKeyboardShortcut = {
    0x7d9bceee, 0x7d1e, 0x4979, {0x93, 0x82, 0x51, 0x80, 0xf4, 0x17, 0x2c, 0x34}};

BSTR AllocString(const std::wstring& text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// The system's accessible object for a control, with its own name in place of the one
// the system would give; every other answer is the system's. It is one COM object:
// every interface it hands out leads back to it, never to the system's unnamed object,
// so it offers only the interfaces it implements itself.
class NamedAccessible final : public IAccessible, public IOleWindow {
 public:
  // Copies the name: a screen reader may hold the object after the control is gone.
  NamedAccessible(ComPtr<IAccessible> standard, HWND control, std::wstring name,
                  std::wstring shortcut)
      : standard_(std::move(standard)),
        control_(control),
        name_(std::move(name)),
        shortcut_(std::move(shortcut)) {}
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

  // The answers of our own: the name, and the access key where the control has one.
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (name == nullptr) {
      return E_POINTER;
    }
    if (!IsSelf(child)) {
      return standard_->get_accName(child, name);
    }
    *name = AllocString(name_);
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    if (shortcut == nullptr) {
      return E_POINTER;
    }
    if (!IsSelf(child) || shortcut_.empty()) {
      return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    *shortcut = AllocString(shortcut_);
    return *shortcut != nullptr ? S_OK : E_OUTOFMEMORY;
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
  static bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
  }

  ComPtr<IAccessible> standard_;
  HWND control_;
  std::wstring name_;
  std::wstring shortcut_;
  LONG references_ = 1;
};

}  // namespace

AccessibleNames::~AccessibleNames() {
  services_.Reset();  // before COM is left
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
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                              services_.Out()))) {
    services_.Reset();
  }
  return createStdAccessibleObject_ != nullptr && lresultFromObject_ != nullptr;
}

// The name, and the access key, annotated on the control's client object; false where
// the system has no annotation service or will not take them.
bool AccessibleNames::Annotate(HWND control, const NamedControl& named) {
  if (!services_) {
    return false;
  }
  if (FAILED(services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       kPropName, named.name.c_str()))) {
    return false;
  }
  if (!named.shortcut.empty() &&
      FAILED(services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       kPropKeyboardShortcut, named.shortcut.c_str()))) {
    ClearAnnotation(control);
    return false;
  }
  return true;
}

void AccessibleNames::ClearAnnotation(HWND control) {
  const MSAAPROPID properties[] = {kPropName, kPropKeyboardShortcut};
  services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, properties,
                            static_cast<int>(std::size(properties)));
}

// The system's accessible object for the control, with its name in place of the one
// the system would give; 0, for the system's own answer, where that cannot be had.
LRESULT AccessibleNames::Answer(HWND control, const NamedControl& named, WPARAM wParam) {
  if (!Load()) {
    return 0;
  }
  ComPtr<IAccessible> standard;
  if (FAILED(createStdAccessibleObject_(control, OBJID_CLIENT, __uuidof(IAccessible),
                                        standard.Out()))) {
    return 0;
  }
  const ComPtr<IAccessible> object(
      new NamedAccessible(std::move(standard), control, named.name, named.shortcut));
  // LresultFromObject takes the references it needs.
  return lresultFromObject_(__uuidof(IAccessible), wParam, object.Get());
}

LRESULT CALLBACK AccessibleNames::NamedControlProc(HWND control, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* named = reinterpret_cast<NamedControl*>(data);
  AccessibleNames& names = *named->names;
  // At the first request of any object, annotated before the system makes its own.
  if (message == WM_GETOBJECT && !named->tried) {
    named->tried = true;
    names.Load();
    named->annotated = names.Annotate(control, *named);
    names.annotated_ = names.annotated_ || named->annotated;
  }
  if (message == WM_GETOBJECT && !named->annotated && static_cast<LONG>(lParam) == OBJID_CLIENT) {
    LRESULT answer = 0;
    try {
      answer = names.Answer(control, *named, wParam);
    } catch (...) {
      // No exception may unwind through the system's frames; out of memory, the
      // control goes by the system's own name.
      answer = 0;
    }
    if (answer != 0) {
      return answer;
    }
  }
  if (message == WM_NCDESTROY) {
    if (named->annotated) {
      names.ClearAnnotation(control);
    }
    RemoveWindowSubclass(control, NamedControlProc, kSubclassId);
    delete named;
  }
  return DefSubclassProc(control, message, wParam, lParam);
}

bool AccessibleNames::Set(HWND control, const std::wstring& name, const std::wstring& shortcut) {
  auto owned = std::make_unique<NamedControl>(NamedControl{name, shortcut, this});
  if (control == nullptr || !SetWindowSubclass(control, NamedControlProc, kSubclassId,
                                               reinterpret_cast<DWORD_PTR>(owned.get()))) {
    return false;
  }
  static_cast<void>(owned.release());  // freed when the control is destroyed
  return true;
}

}  // namespace kelto
