// Parses the host double's script and turns its answers into VARIANTs.
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

#include "script.h"

namespace host_double {
namespace {

struct TypeName {
  const wchar_t* name;
  VARTYPE vt;
};

constexpr TypeName kTypes[] = {
    {L"I1", VT_I1},     {L"I2", VT_I2},           {L"I4", VT_I4},     {L"I8", VT_I8},
    {L"INT", VT_INT},   {L"UI1", VT_UI1},         {L"UI2", VT_UI2},   {L"UI4", VT_UI4},
    {L"UI8", VT_UI8},   {L"UINT", VT_UINT},       {L"R4", VT_R4},     {L"R8", VT_R8},
    {L"CY", VT_CY},     {L"DECIMAL", VT_DECIMAL}, {L"BSTR", VT_BSTR}, {L"EMPTY", VT_EMPTY},
    {L"NULL", VT_NULL}, {L"ERROR", VT_ERROR},     {L"BOOL", VT_BOOL}, {L"DISPATCH", VT_DISPATCH},
};

bool ParseAnswer(const std::wstring& token, Answer& answer) {
  answer.token = token;
  const std::size_t colon = token.find(L':');
  const std::wstring type = token.substr(0, colon);
  answer.text = colon == std::wstring::npos ? L"" : token.substr(colon + 1);
  if (type == L"FAIL") {
    answer.failure = static_cast<HRESULT>(std::wcstoul(answer.text.c_str(), nullptr, 0));
    return true;
  }
  for (const TypeName& t : kTypes) {
    if (type == t.name) {
      answer.vt = t.vt;
      return true;
    }
  }
  return false;
}

}  // namespace

bool LoadScript(const std::wstring& path, Script& script, std::wstring& error) {
  std::wifstream in(path.c_str());
  if (!in) {
    error = L"cannot open " + path;
    return false;
  }
  std::wstring line;
  while (std::getline(in, line)) {
    std::wistringstream words(line);
    std::wstring key;
    if (!(words >> key) || key[0] == L'#') continue;
    if (key == L"AudioFq" || key == L"FqA") {
      std::vector<Answer> answers;
      for (std::wstring token; words >> token;) {
        Answer answer;
        if (!ParseAnswer(token, answer)) {
          error = L"unknown value " + token;
          return false;
        }
        answers.push_back(answer);
      }
      if (answers.empty()) {
        error = L"no values for " + key;
        return false;
      }
      (key == L"AudioFq" ? script.audio : script.radio) = answers;
      continue;
    }
    long number = 0;
    words >> number;
    const auto as_dword = static_cast<DWORD>(number);
    const auto as_int = static_cast<int>(number);
    const std::pair<const wchar_t*, std::function<void()>> settings[] = {
        {L"delay-ms", [&] { script.delay_ms = as_dword; }},
        {L"delay-calls", [&] { script.delay_calls = as_int; }},
        {L"stall-on-call", [&] { script.stall_on_call = as_int; }},
        {L"stall-ms", [&] { script.stall_ms = as_dword; }},
        {L"freeze-after-call", [&] { script.freeze_after_call = as_int; }},
        {L"freeze-at-start", [&] { script.freeze_at_start = true; }},
        {L"exit-after-calls", [&] { script.exit_after_calls = as_int; }},
        {L"exit-in-call", [&] { script.exit_in_call = as_int; }},
        {L"disconnect-after", [&] { script.disconnect_after = as_int; }},
        {L"exception-on-call", [&] { script.exception_on_call = as_int; }},
        {L"busy-ms", [&] { script.busy_ms = as_dword; }},
        {L"busy-after-calls", [&] { script.busy_after_calls = as_int; }},
        {L"demo", [&] { script.demo = true; }},
        {L"weak", [&] { script.weak = true; }},
    };
    bool known = false;
    for (const auto& [name, apply] : settings) {
      if (key == name) {
        apply();
        known = true;
      }
    }
    if (!known) {
      error = L"unknown line " + line;
      return false;
    }
  }
  return true;
}

HRESULT MakeVariant(const Answer& answer, VARIANT& out) {
  if (answer.vt == VT_EMPTY) return S_OK;
  if (answer.vt == VT_NULL) {
    out.vt = VT_NULL;
    return S_OK;
  }
  if (answer.vt == VT_ERROR) {
    out.vt = VT_ERROR;
    out.scode = DISP_E_PARAMNOTFOUND;
    return S_OK;
  }
  if (answer.vt == VT_DISPATCH) {
    out.vt = VT_DISPATCH;
    out.pdispVal = nullptr;
    return S_OK;
  }
  // Everything else is written as text and converted the way COM itself
  // converts, in a fixed English locale so scripts read the same everywhere.
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = SysAllocString(answer.text.c_str());
  const LCID english = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
  HRESULT hr =
      answer.vt == VT_BSTR ? VariantCopy(&out, &text) : VariantChangeTypeEx(&out, &text, english, 0, answer.vt);
  VariantClear(&text);
  return hr;
}

}  // namespace host_double
