// The host automation interface over COM late binding (IDispatch by name).
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <optional>

#include "host/com_ptr_win.h"
#include "host/host_automation.h"
#include "host/message_filter_win.h"

namespace korvane {

class ComHost final : public HostAutomation {
 public:
  // `filter` is the thread's registered filter, whose wait a busy host's retries share and whose
  // COM rules the binding keeps.
  explicit ComHost(BusyHostFilter& filter) : filter_(filter) {}
  bool Attach(std::wstring_view prog_id) override;
  void Release() override { dispatch_.Reset(); }
  HostStatus ExecuteMacros(std::wstring_view macro) override;
  HostReading AudioFq() override { return ReadProperty(L"AudioFq"); }
  HostReading FqA() override { return ReadProperty(L"FqA"); }

 private:
  HRESULT InvokeByName(const wchar_t* name, WORD flags, VARIANT* args, UINT arg_count, Variant& result);
  HostReading ReadProperty(const wchar_t* name);

  ComRef<IDispatch> dispatch_;
  BusyHostFilter& filter_;
};

// A VARIANT as a number: integer types keep their sign and width, R4 stays
// single, R8, CY and DECIMAL become double, numeric text is read in the
// user's locale.
// Anything else is not a number.
std::optional<HostNumber> NumberFromVariant(const VARIANT& value);

}  // namespace korvane
