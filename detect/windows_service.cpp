// COM and WMI behind the management-service interface.
#include "windows_service.h"

#include <windows.h>

#include <wbemidl.h>

#include <memory>
#include <string>
#include <utility>

#include "cpuid_reader.h"
#include "windows_variant.h"
#include "wql.h"

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

// How long one step of an enumeration may wait for the service. Nothing waits for the worker
// that asks, but a bound lets one stuck in a service end some time after it was given up.
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
  // `cpuid` stands in for a processor's bus clock that the service does not know; nullptr
  // for instances of other classes.
  WindowsInstance(std::shared_ptr<Session> session, ComPtr<IWbemClassObject> object,
                  std::shared_ptr<const CpuidReader> cpuid)
      : session_(std::move(session)), object_(std::move(object)), cpuid_(std::move(cpuid)) {}

  std::optional<Property> property(std::string_view name) const override {
    if (cpuid_ && sameName(name, kBusClockProperty)) return busClockOr(read(name), cpuid_.get());
    return read(name);
  }

 private:
  std::optional<Property> read(std::string_view name) const {
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

  // Declared first so it is destroyed last, after the object is released.
  std::shared_ptr<Session> session_;
  ComPtr<IWbemClassObject> object_;
  std::shared_ptr<const CpuidReader> cpuid_;
};

// The codes with which the service says that a class does not exist, which is not a
// failure: such a class simply has no instances.
bool unknownClass(HRESULT result) {
  return result == static_cast<HRESULT>(WBEM_E_INVALID_CLASS) ||
         result == static_cast<HRESULT>(WBEM_E_NOT_FOUND);
}

class WindowsConnection final : public ServiceConnection {
 public:
  WindowsConnection(std::shared_ptr<Session> session, std::shared_ptr<const CpuidReader> cpuid)
      : session_(std::move(session)), cpuid_(std::move(cpuid)) {}

  std::vector<std::unique_ptr<ServiceInstance>> instancesOf(std::string_view className) override {
    return select(className, {});
  }

  // Naming the properties matters on real Windows: for Win32_Processor the service works
  // out every property it is asked for, and all of them take about a second per core.
  std::vector<std::unique_ptr<ServiceInstance>> select(
      std::string_view className, std::span<const std::string> properties) override {
    const std::optional<std::string> statement = selectStatement(className, properties);
    if (!statement) return {};
    return run(*statement, sameName(className, "Win32_Processor") ? cpuid_ : nullptr);
  }

 private:
  std::vector<std::unique_ptr<ServiceInstance>> run(
      const std::string& statement, const std::shared_ptr<const CpuidReader>& cpuid) {
    std::vector<std::unique_ptr<ServiceInstance>> instances;
    const std::optional<std::wstring> wide = wideFromUtf8(statement);
    if (!wide) return instances;
    const Bstr language(L"WQL");
    const Bstr query(*wide);
    if (!language || !query) throw ServiceFailure(hresultText(E_OUTOFMEMORY));
    // Forward-only and returning at once: the instances are read one pass in the service's
    // order, without the service keeping a copy of each for going back.
    ComPtr<IEnumWbemClassObject> enumerator;
    const HRESULT asked = session_->services()->ExecQuery(
        language.get(), query.get(), WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
        enumerator.put());
    if (unknownClass(asked)) return instances;
    if (FAILED(asked)) throw ServiceFailure(hresultText(asked));
    for (;;) {
      ComPtr<IWbemClassObject> object;
      ULONG returned = 0;
      const HRESULT result = enumerator->Next(kNextTimeoutMs, 1, object.put(), &returned);
      // A query that returns at once reports an unknown class only here.
      if (unknownClass(result)) break;
      if (FAILED(result)) throw ServiceFailure(hresultText(result));
      if (result == static_cast<HRESULT>(WBEM_S_TIMEDOUT))
        throw ServiceFailure(hresultText(result));
      if (returned == 0 || !object) break;
      instances.push_back(std::make_unique<WindowsInstance>(session_, std::move(object), cpuid));
    }
    return instances;
  }

  std::shared_ptr<Session> session_;
  std::shared_ptr<const CpuidReader> cpuid_;
};

// Throws ServiceFailure with the code of the step that failed.
void check(HRESULT result) {
  if (FAILED(result)) throw ServiceFailure(hresultText(result));
}

std::unique_ptr<ServiceConnection> open(std::shared_ptr<const CpuidReader> cpuid) {
  auto session = std::make_shared<Session>();

  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (init == RPC_E_CHANGED_MODE) {
    // The thread is already in the multi-threaded apartment, where COM works as well; that
    // initialisation belongs to someone else and must not be undone here.
  } else {
    check(init);
    session->initialisedCom();
  }

  // Process-wide and allowed once: a second connection, or a host program that set it
  // first, gets RPC_E_TOO_LATE and keeps the settings already made.
  const HRESULT security =
      CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                           RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  if (security != RPC_E_TOO_LATE) check(security);

  ComPtr<IWbemLocator> locator;
  check(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                         locator.putVoid()));
  const Bstr path(L"ROOT\\CIMV2");
  if (!path) check(E_OUTOFMEMORY);
  // The local machine as the current user; the maximum wait keeps a service that does not
  // answer from blocking its caller for good.
  check(locator->ConnectServer(path.get(), nullptr, nullptr, nullptr,
                               WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr, nullptr,
                               session->services().put()));
  check(CoSetProxyBlanket(session->services().get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                          RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE));
  return std::make_unique<WindowsConnection>(std::move(session), std::move(cpuid));
}

}  // namespace

WindowsService::WindowsService(std::shared_ptr<const CpuidReader> cpuid)
    : cpuid_(std::move(cpuid)) {}

std::unique_ptr<ServiceConnection> WindowsService::connect() {
  return open(cpuid_);
}

}  // namespace freqsmith::detect
