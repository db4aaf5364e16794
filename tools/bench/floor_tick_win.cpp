// The benchmark floor's tick: the poll's host calls made plainly by name, both readouts written.
#include "floor_tick_win.h"

#include <oleauto.h>

#include <cwchar>

#include "host/com_ptr_win.h"
#include "panel/controls.h"

namespace floor_tick {

double CallByName(IDispatch* host, const wchar_t* name, WORD flags, VARIANTARG* arg) {
  LPOLESTR member = const_cast<LPOLESTR>(name);
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(host->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id))) return 0;
  DISPPARAMS params{arg, nullptr, arg ? 1u : 0u, 0};
  korvane::Variant value;
  if (FAILED(host->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, value.Put(), nullptr, nullptr))) return 0;
  korvane::Variant number;
  return SUCCEEDED(VariantChangeType(number.Put(), value.Ptr(), 0, VT_R8)) ? number.Get().dblVal : 0;
}

void ReadAndShow(IDispatch* host, HWND readouts) {
  wchar_t text[64];
  std::swprintf(text, 64, L"%g Hz", CallByName(host, L"AudioFq"));
  SetDlgItemTextW(readouts, korvane::kIdText2, text);
  std::swprintf(text, 64, L"%.15g kHz ", CallByName(host, L"FqA") / 1000.0);
  SetDlgItemTextW(readouts, korvane::kIdText3, text);
  CallByName(host, L"AudioFq");
  CallByName(host, L"AudioFq");
}

}  // namespace floor_tick
