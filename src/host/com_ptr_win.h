// Owners for the thread's COM apartment, COM references, BSTRs, VARIANTs and EXCEPINFO.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace korvane {

// The calling thread's single-threaded apartment, for as long as this lives.
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) CoUninitialize();
  }
  explicit operator bool() const { return ok_; }

 private:
  bool ok_;
};

template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef& other) : p_(other.p_) {
    if (p_) p_->AddRef();
  }
  ComRef& operator=(ComRef other) {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComRef() { Reset(); }

  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // Releases what is held, then hands out the slot for an out-parameter.
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(std::wstring_view text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }
  BSTR Get() const { return b_; }
  explicit operator bool() const { return b_ != nullptr; }

 private:
  BSTR b_;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }
  VARIANT* Put() {
    VariantClear(&v_);
    return &v_;
  }
  const VARIANT& Get() const { return v_; }
  VARIANT* Ptr() { return &v_; }

 private:
  VARIANT v_;
};

class ExcepInfo {
 public:
  ExcepInfo() = default;
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
  ~ExcepInfo() {
    SysFreeString(e_.bstrSource);
    SysFreeString(e_.bstrDescription);
    SysFreeString(e_.bstrHelpFile);
  }
  EXCEPINFO* Ptr() { return &e_; }

 private:
  EXCEPINFO e_{};
};

}  // namespace korvane
