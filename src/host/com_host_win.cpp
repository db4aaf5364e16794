// Attach through the running object table, then every member reached by name at each call.
#include "host/com_host_win.h"

#include <string>

namespace korvane {

bool ComHost::Attach(std::wstring_view prog_id) {
  if (filter_.rules().refuse_calls_inside_sent_messages && InInputSyncCall()) return false;
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(std::wstring(prog_id).c_str(), &clsid))) return false;
  ComRef<IUnknown> running;
  if (FAILED(GetActiveObject(clsid, nullptr, running.Put())) || !running) return false;
  ComRef<IDispatch> dispatch;
  if (FAILED(running->QueryInterface(IID_IDispatch, dispatch.PutVoid())) || !dispatch) return false;
  dispatch_ = dispatch;
  return true;
}

HostStatus ComHost::ExecuteMacros(std::wstring_view macro) {
  const Bstr text(macro);
  if (!text) return static_cast<HostStatus>(E_OUTOFMEMORY);
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = text.Get();  // still owned by `text`
  Variant ignored;
  return static_cast<HostStatus>(InvokeByName(L"ExecuteMacros", DISPATCH_METHOD, &arg, 1, ignored));
}

HostReading ComHost::ReadProperty(const wchar_t* name) {
  Variant value;
  const HRESULT hr = InvokeByName(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, 0, value);
  if (FAILED(hr)) return {static_cast<HostStatus>(hr), std::nullopt};
  return {kHostOk, NumberFromVariant(value.Get())};
}

HRESULT ComHost::InvokeByName(const wchar_t* name, WORD flags, VARIANT* args, UINT arg_count, Variant& result) {
  // The call may pump messages; a close handled meanwhile drops dispatch_,
  // so the proxy is kept alive here until the call has returned.
  const ComRef<IDispatch> host = dispatch_;
  if (!host) return CO_E_OBJNOTCONNECTED;
  if (filter_.rules().refuse_calls_inside_sent_messages && InInputSyncCall()) return RPC_E_CANTCALLOUT_ININPUTSYNCCALL;
  return RetryWhileBusy(filter_, [&] {
    LPOLESTR member = const_cast<LPOLESTR>(name);
    DISPID id = DISPID_UNKNOWN;
    const HRESULT looked_up = host->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(looked_up)) return looked_up;
    DISPPARAMS params{args, nullptr, arg_count, 0};
    ExcepInfo exception;
    UINT bad_arg = 0;
    return host->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.Put(), exception.Ptr(), &bad_arg);
  });
}

std::optional<HostNumber> NumberFromVariant(const VARIANT& value) {
  switch (value.vt) {
    case VT_I1: return HostNumber::Signed(value.cVal);
    case VT_I2: return HostNumber::Signed(value.iVal);
    case VT_I4: return HostNumber::Signed(value.lVal);
    case VT_INT: return HostNumber::Signed(value.intVal);
    case VT_I8: return HostNumber::Signed(value.llVal);
    case VT_UI1: return HostNumber::Unsigned(value.bVal);
    case VT_UI2: return HostNumber::Unsigned(value.uiVal);
    case VT_UI4: return HostNumber::Unsigned(value.ulVal);
    case VT_UINT: return HostNumber::Unsigned(value.uintVal);
    case VT_UI8: return HostNumber::Unsigned(value.ullVal);
    case VT_R4: return HostNumber::Single(value.fltVal);
    case VT_R8: return HostNumber::Floating(value.dblVal);
    case VT_CY:
    case VT_DECIMAL:
    case VT_BSTR: {
      Variant converted;
      if (FAILED(VariantChangeTypeEx(converted.Put(), const_cast<VARIANT*>(&value), LOCALE_USER_DEFAULT, 0, VT_R8)))
        return std::nullopt;
      return HostNumber::Floating(converted.Get().dblVal);
    }
    default: return std::nullopt;
  }
}

}  // namespace korvane
