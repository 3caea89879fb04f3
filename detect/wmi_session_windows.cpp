// The WMI session over COM: ROOT\CIMV2 of the local machine, asked one WQL query per class.
#include <windows.h>

#include <wbemidl.h>

#include <optional>
#include <string>
#include <utility>

#include "windows_variant.h"
#include "wmi_session.h"

namespace freqsmith::detect {
namespace {

// Owns one reference to a COM object.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }

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

// A step of COM or the service that failed.
struct Failed {
  HRESULT code;
};

void check(HRESULT result) {
  if (FAILED(result)) throw Failed{result};
}

bool isIdentifier(std::string_view name) {
  if (name.empty() || (name.front() >= '0' && name.front() <= '9')) return false;
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(c >= '0' && c <= '9') && c != '_') return false;
  }
  return true;
}

// "SELECT a, b FROM Class"; nullopt unless every name is a plain identifier, since anything
// else would change what the statement asks. Naming the properties matters on real
// Windows: for Win32_Processor the service works out every property it is asked for, and
// all of them take about a second per core.
std::optional<std::wstring> selectStatement(std::string_view className,
                                            std::span<const std::string_view> properties) {
  if (!isIdentifier(className) || properties.empty()) return std::nullopt;
  std::string statement = "SELECT ";
  for (std::size_t i = 0; i < properties.size(); ++i) {
    if (!isIdentifier(properties[i])) return std::nullopt;
    if (i > 0) statement += ", ";
    statement += properties[i];
  }
  return wideFromUtf8(statement + " FROM " + std::string(className));
}

// How long one step of an enumeration may wait for the service. Nothing waits for the worker
// that asks, but a bound lets one stuck in the service end some time after it was given up.
constexpr long kNextTimeoutMs = 30'000;

// The identity and impersonation the calls through `proxy` carry. Set on every proxy, the
// service's and each enumerator's, because the program never calls CoInitializeSecurity:
// that is process-wide, allowed once and only before any other COM call of the process,
// which from this worker would race the OLE set-up of Qt's GUI thread. Microsoft's "Setting
// the Security on IWbemServices and Other Proxies" says a blanket on the proxies is enough
// for a local connection; the instances the enumerator hands over are copies in this
// process, which need none.
HRESULT setBlanket(IUnknown* proxy) {
  return CoSetProxyBlanket(proxy, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                           RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
}

class ComSession final : public WmiSession {
 public:
  ComSession() = default;
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;
  ~ComSession() override {
    // The service's proxy goes before COM does.
    services_.reset();
    if (uninitialize_) CoUninitialize();
  }

  WmiAnswer select(std::string_view className,
                   std::span<const std::string_view> properties) override {
    WmiAnswer answer;
    try {
      if (!opened_) {
        opened_ = true;
        open();
      }
      if (!services_.get()) throw Failed{openFailure_};
      query(className, properties, answer);
    } catch (const Failed& failed) {
      answer.error = hresultText(failed.code);
    }
    return answer;
  }

 private:
  // One connection for the three classes; should it fail, each class is told so.
  void open() {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (init == RPC_E_CHANGED_MODE) {
      // The thread is already in the multi-threaded apartment, where COM works as well; that
      // initialisation belongs to someone else and must not be undone here.
    } else if (FAILED(init)) {
      openFailure_ = init;
      return;
    } else {
      // S_OK, or S_FALSE on a thread already in a single-threaded apartment: ours to balance.
      uninitialize_ = true;
    }
    ComPtr<IWbemLocator> locator;
    const Bstr path(L"ROOT\\CIMV2");
    HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWbemLocator, locator.putVoid());
    if (SUCCEEDED(result)) result = path ? S_OK : E_OUTOFMEMORY;
    // The local machine as the current user; the maximum wait keeps a service that does not
    // answer from blocking its caller for good.
    if (SUCCEEDED(result)) {
      result =
          locator->ConnectServer(path.get(), nullptr, nullptr, nullptr,
                                 WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr, nullptr, services_.put());
    }
    if (SUCCEEDED(result)) result = setBlanket(services_.get());
    if (FAILED(result)) {
      services_.reset();
      openFailure_ = result;
    }
  }

  void query(std::string_view className, std::span<const std::string_view> properties,
             WmiAnswer& answer) {
    const std::optional<std::wstring> statement = selectStatement(className, properties);
    if (!statement) throw Failed{static_cast<HRESULT>(WBEM_E_INVALID_QUERY)};
    const Bstr language(L"WQL");
    const Bstr query(*statement);
    if (!language || !query) throw Failed{E_OUTOFMEMORY};
    // Forward-only and returning at once: the instances are read in one pass in the
    // service's order, without the service keeping a copy of each for going back.
    ComPtr<IEnumWbemClassObject> enumerator;
    check(services_->ExecQuery(language.get(), query.get(),
                               WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                               enumerator.put()));
    check(setBlanket(enumerator.get()));
    std::vector<std::wstring> names;
    for (const std::string_view property : properties) {
      names.push_back(wideFromUtf8(property).value_or(std::wstring()));
    }
    for (;;) {
      ComPtr<IWbemClassObject> object;
      ULONG returned = 0;
      // A query that returns at once reports an unknown class or a broken repository only here.
      const HRESULT result = enumerator->Next(kNextTimeoutMs, 1, object.put(), &returned);
      check(result);
      if (result == static_cast<HRESULT>(WBEM_S_TIMEDOUT)) throw Failed{result};
      if (returned == 0 || !object.get()) break;
      std::vector<WmiValue>& values = answer.instances.emplace_back();
      for (const std::wstring& name : names) {
        Variant value;
        CIMTYPE type = CIM_EMPTY;
        const bool read = SUCCEEDED(object->Get(name.c_str(), 0, value.put(), &type, nullptr));
        values.push_back(read ? propertyFromVariant(value.get(), type) : WmiValue());
      }
    }
  }

  bool opened_ = false;
  bool uninitialize_ = false;
  HRESULT openFailure_ = S_OK;
  ComPtr<IWbemServices> services_;
};

}  // namespace

std::unique_ptr<WmiSession> openWmiSession() {
  return std::make_unique<ComSession>();
}

}  // namespace freqsmith::detect
