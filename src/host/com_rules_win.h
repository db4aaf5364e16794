// Which of Windows' COM rules the panel keeps itself, and the one test those rules rest on.
#pragma once

#include <windows.h>

namespace korvane {

// Inside a message that another thread or program sent and is still waiting on. Windows refuses a
// COM call made there (RPC_E_CANTCALLOUT_ININPUTSYNCCALL); work that calls the host is posted back
// to the window's own queue instead. A notification, whose sender does not wait, is not such a send.
inline bool InInputSyncCall() { return (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND; }

// korvane.exe leaves these rules to the runtime it runs on; under Wine, which keeps neither, a test
// build keeps Windows' own.
struct ComRules {
  // A host call inside such a send is refused, as Windows refuses it.
  bool refuse_calls_inside_sent_messages = false;
  // The filter hears of the messages that arrive while a call waits (Windows need not tell it).
  bool filter_told_of_messages = true;
};
inline constexpr ComRules kWindowsComRules{true, false};

}  // namespace korvane
