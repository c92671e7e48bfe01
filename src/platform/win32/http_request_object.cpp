// The request-object-shaped client: Windows' own "WinHttp.WinHttpRequest.5.1" object,
// driven through its automation interface. Every failed call leaves an empty result.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <vector>

#include "platform/http_request_object.h"
#include "platform/win32/wide_text.h"

namespace qovra::platform {
namespace {

using win32::narrowText;
using win32::wideText;

// A VARIANT that clears itself.
struct Variant {
  VARIANT v;
  Variant() { VariantInit(&v); }
  ~Variant() { VariantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
};

void setText(Variant& arg, std::string_view text) {
  arg.v.vt = VT_BSTR;
  const std::wstring wide = wideText(text);
  arg.v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

void setLong(Variant& arg, long value) {
  arg.v.vt = VT_I4;
  arg.v.lVal = value;
}

void setBool(Variant& arg, bool value) {
  arg.v.vt = VT_BOOL;
  arg.v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// Bytes as the one-dimensional byte array the object takes and gives.
void setBytes(Variant& arg, std::string_view bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!array) return;
  void* data = nullptr;
  if (SUCCEEDED(SafeArrayAccessData(array, &data))) {
    if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
  }
  arg.v.vt = VT_ARRAY | VT_UI1;
  arg.v.parray = array;
}

std::string bytesOf(const VARIANT& v) {
  if (v.vt != (VT_ARRAY | VT_UI1) || !v.parray) return {};
  LONG low = 0, high = -1;
  SafeArrayGetLBound(v.parray, 1, &low);
  SafeArrayGetUBound(v.parray, 1, &high);
  if (high < low) return {};
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(v.parray, &data))) return {};
  std::string bytes(static_cast<const char*>(data), static_cast<std::size_t>(high - low + 1));
  SafeArrayUnaccessData(v.parray);
  return bytes;
}

std::string textOf(const VARIANT& v) {
  if (v.vt != VT_BSTR || !v.bstrVal) return {};
  return narrowText(std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)));
}

class ComRequestObject final : public HttpRequestObject {
 public:
  ComRequestObject() : com_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {
    CLSID clsid;
    if (SUCCEEDED(CLSIDFromProgID(L"WinHttp.WinHttpRequest.5.1", &clsid))) {
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&object_));
    }
  }
  ~ComRequestObject() override {
    if (object_) object_->Release();
    if (SUCCEEDED(com_)) CoUninitialize();
  }
  bool valid() const { return object_ != nullptr; }

  bool open(std::string_view method, std::string_view url, bool async) override {
    Variant args[3];
    setText(args[2], method);
    setText(args[1], url);
    setBool(args[0], async);
    return call(L"Open", DISPATCH_METHOD, args, 3);
  }

  void setTimeouts(int resolveMs, int connectMs, int sendMs, int receiveMs) override {
    Variant args[4];
    setLong(args[3], resolveMs);
    setLong(args[2], connectMs);
    setLong(args[1], sendMs);
    setLong(args[0], receiveMs);
    call(L"SetTimeouts", DISPATCH_METHOD, args, 4);
  }

  bool setRequestHeader(std::string_view name, std::string_view value) override {
    Variant args[2];
    setText(args[1], name);
    setText(args[0], value);
    return call(L"SetRequestHeader", DISPATCH_METHOD, args, 2);
  }

  void setOption(int index, long value) override {
    Variant args[2];
    setLong(args[1], index);
    setLong(args[0], value);
    call(L"Option", DISPATCH_PROPERTYPUT, args, 2);
  }

  long option(int index) const override {
    Variant args[1], result;
    setLong(args[0], index);
    if (!call(L"Option", DISPATCH_PROPERTYGET, args, 1, &result.v)) return 0;
    if (FAILED(VariantChangeType(&result.v, &result.v, 0, VT_I4))) return 0;
    return result.v.lVal;
  }

  void setProxy(int setting, std::string_view server, std::string_view bypass) override {
    Variant args[3];
    setLong(args[2], setting);
    setText(args[1], server);
    setText(args[0], bypass);
    // Without a server only the setting goes: it is the last in automation order.
    if (setting == kProxyServer) {
      call(L"SetProxy", DISPATCH_METHOD, args, 3);
    } else {
      call(L"SetProxy", DISPATCH_METHOD, &args[2], 1);
    }
  }

  void setCredentials(std::string_view user, std::string_view password, bool forProxy) override {
    Variant args[3];
    setText(args[2], user);
    setText(args[1], password);
    setLong(args[0], forProxy ? 1 : 0);
    call(L"SetCredentials", DISPATCH_METHOD, args, 3);
  }

  // The body goes as bytes, so what arrives is exactly what the box sends.
  bool send(std::string_view body) override {
    Variant args[1];
    if (body.empty()) return call(L"Send", DISPATCH_METHOD, nullptr, 0);
    setBytes(args[0], body);
    return call(L"Send", DISPATCH_METHOD, args, 1);
  }

  bool waitForResponse(double seconds) override {
    Variant args[1], result;
    setLong(args[0], static_cast<long>(seconds));
    return call(L"WaitForResponse", DISPATCH_METHOD, args, 1, &result.v) && result.v.vt == VT_BOOL &&
           result.v.boolVal != VARIANT_FALSE;
  }

  int status() const override {
    Variant result;
    if (!call(L"Status", DISPATCH_PROPERTYGET, nullptr, 0, &result.v)) return 0;
    if (FAILED(VariantChangeType(&result.v, &result.v, 0, VT_I4))) return 0;
    return static_cast<int>(result.v.lVal);
  }

  std::string allResponseHeaders() const override { return textResult(L"GetAllResponseHeaders", nullptr, 0); }

  std::string responseHeader(std::string_view name) const override {
    Variant args[1];
    setText(args[0], name);
    return textResult(L"GetResponseHeader", args, 1);
  }

  std::string responseBody() const override {
    Variant result;
    if (!call(L"ResponseBody", DISPATCH_PROPERTYGET, nullptr, 0, &result.v)) return {};
    return bytesOf(result.v);
  }

  std::string responseText() const override {
    Variant result;
    if (!call(L"ResponseText", DISPATCH_PROPERTYGET, nullptr, 0, &result.v)) return {};
    return textOf(result.v);
  }

 private:
  std::string textResult(const wchar_t* method, Variant* args, UINT count) const {
    Variant result;
    if (!call(method, DISPATCH_METHOD, args, count, &result.v)) return {};
    return textOf(result.v);
  }

  // Invoke by name; `args` in the automation order (last argument first). A property put
  // names its value argument as such.
  bool call(const wchar_t* name, WORD kind, Variant* args, UINT count, VARIANT* result = nullptr) const {
    if (!object_) return false;
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
    std::vector<VARIANT> raw(count);
    for (UINT i = 0; i < count; ++i) raw[i] = args[i].v;
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{raw.data(), nullptr, count, 0};
    if (kind == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &putId;
      params.cNamedArgs = 1;
    }
    EXCEPINFO failure{};
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, &failure, nullptr);
    SysFreeString(failure.bstrSource);
    SysFreeString(failure.bstrDescription);
    SysFreeString(failure.bstrHelpFile);
    return SUCCEEDED(hr);
  }

  HRESULT com_;
  IDispatch* object_ = nullptr;
};

}  // namespace

std::shared_ptr<HttpRequestObject> createHttpRequestObject() {
  auto object = std::make_shared<ComRequestObject>();
  return object->valid() ? object : nullptr;
}

std::string systemProxySetting() {
  wchar_t value[1024];
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
                   L"ProxyServer", RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return narrowText(value);
}

}  // namespace qovra::platform
