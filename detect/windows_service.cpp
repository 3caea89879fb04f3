// COM and WMI behind the management-service interface.
#include "windows_service.h"

#include <windows.h>

#include <wbemidl.h>

#include <memory>
#include <string>
#include <utility>

#include "windows_variant.h"

namespace freqsmith::detect {
namespace {

// Owns one reference to a COM object.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { reset(); }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // For the out-parameter of a call that hands over a new reference.
  T** put() {
    reset();
    return &pointer_;
  }
  void** putVoid() { return reinterpret_cast<void**>(put()); }

  void reset() {
    if (pointer_) std::exchange(pointer_, nullptr)->Release();
  }

 private:
  T* pointer_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const std::wstring& text)
      : text_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(text_); }

  BSTR get() const { return text_; }
  explicit operator bool() const { return text_ != nullptr; }

 private:
  BSTR text_;
};

class Variant {
 public:
  Variant() { VariantInit(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&value_); }

  const VARIANT& get() const { return value_; }
  VARIANT* put() {
    VariantClear(&value_);
    return &value_;
  }

 private:
  VARIANT value_;
};

// How long one step of an enumeration may wait for the service. Bounded, so a stuck
// service delays start-up instead of hanging it.
constexpr long kNextTimeoutMs = 30'000;

// What a connection and its instances share. The services pointer must go before COM is
// uninitialised, and COM must stay up until nothing refers to a COM object any more, so
// this lives until the last of them is gone.
class Session {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  ~Session() {
    services_.reset();
    if (uninitialize_) CoUninitialize();
  }

  // Only an initialisation that succeeded (S_OK, or S_FALSE for a thread already in a
  // single-threaded apartment) is ours to balance.
  void initialisedCom() { uninitialize_ = true; }
  ComPtr<IWbemServices>& services() { return services_; }

 private:
  bool uninitialize_ = false;
  ComPtr<IWbemServices> services_;
};

class WindowsInstance final : public ServiceInstance {
 public:
  WindowsInstance(std::shared_ptr<Session> session, ComPtr<IWbemClassObject> object)
      : session_(std::move(session)), object_(std::move(object)) {}

  std::optional<Property> property(std::string_view name) const override {
    try {
      // Get stops at the first NUL, so such a name would read a different property.
      if (name.empty() || name.find('\0') != std::string_view::npos) return std::nullopt;
      const std::optional<std::wstring> wide = wideFromUtf8(name);
      if (!wide) return std::nullopt;
      Variant value;
      CIMTYPE type = CIM_EMPTY;
      if (FAILED(object_->Get(wide->c_str(), 0, value.put(), &type, nullptr))) {
        return std::nullopt;
      }
      std::optional<PropertyValue> converted = propertyFromVariant(value.get(), type);
      if (!converted) return std::nullopt;
      return Property{std::move(*converted), Source::Wmi};
    } catch (...) {
      return std::nullopt;
    }
  }

 private:
  // Declared first so it is destroyed last, after the object is released.
  std::shared_ptr<Session> session_;
  ComPtr<IWbemClassObject> object_;
};

class WindowsConnection final : public ServiceConnection {
 public:
  explicit WindowsConnection(std::shared_ptr<Session> session) : session_(std::move(session)) {}

  std::vector<std::unique_ptr<ServiceInstance>> instancesOf(std::string_view className) override {
    std::vector<std::unique_ptr<ServiceInstance>> instances;
    try {
      if (className.empty() || className.find('\0') != std::string_view::npos) return instances;
      const std::optional<std::wstring> wide = wideFromUtf8(className);
      if (!wide) return instances;
      const Bstr name(*wide);
      if (!name) return instances;
      // Forward-only and returning at once: the instances are read one pass in the
      // service's order, without the service keeping a copy of each for going back.
      ComPtr<IEnumWbemClassObject> enumerator;
      if (FAILED(session_->services()->CreateInstanceEnum(
              name.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
              enumerator.put()))) {
        return instances;
      }
      for (;;) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        const HRESULT result = enumerator->Next(kNextTimeoutMs, 1, object.put(), &returned);
        if (FAILED(result) || returned == 0 || !object) break;
        instances.push_back(std::make_unique<WindowsInstance>(session_, std::move(object)));
      }
    } catch (...) {
      // Out of memory halfway: what was read so far is still in the service's order.
    }
    return instances;
  }

 private:
  std::shared_ptr<Session> session_;
};

std::unique_ptr<ServiceConnection> open() {
  auto session = std::make_shared<Session>();

  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (init == RPC_E_CHANGED_MODE) {
    // The thread is already in the multi-threaded apartment, where COM works as well; that
    // initialisation belongs to someone else and must not be undone here.
  } else if (FAILED(init)) {
    return nullptr;
  } else {
    session->initialisedCom();
  }

  // Process-wide and allowed once: a second connection, or a host program that set it
  // first, gets RPC_E_TOO_LATE and keeps the settings already made.
  const HRESULT security =
      CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                           RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  if (FAILED(security) && security != RPC_E_TOO_LATE) return nullptr;

  ComPtr<IWbemLocator> locator;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              locator.putVoid()))) {
    return nullptr;
  }
  const Bstr path(L"ROOT\\CIMV2");
  if (!path) return nullptr;
  // The local machine as the current user; the maximum wait keeps a service that does not
  // answer from blocking start-up for good.
  if (FAILED(locator->ConnectServer(path.get(), nullptr, nullptr, nullptr,
                                    WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr, nullptr,
                                    session->services().put()))) {
    return nullptr;
  }
  if (FAILED(CoSetProxyBlanket(session->services().get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE,
                               nullptr, RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE,
                               nullptr, EOAC_NONE))) {
    return nullptr;
  }
  return std::make_unique<WindowsConnection>(std::move(session));
}

}  // namespace

std::unique_ptr<ServiceConnection> WindowsService::connect() {
  try {
    return open();
  } catch (...) {
    // The detection treats an unreachable service as nothing to write; that is all an
    // allocation failure here can mean to it.
    return nullptr;
  }
}

}  // namespace freqsmith::detect
