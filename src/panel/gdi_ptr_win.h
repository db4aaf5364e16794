// Owners for GDI and icon handles, as the COM ones are owned: freed once, by their owner.
#pragma once

#include <windows.h>

#include <utility>

namespace korvane {

template <typename Handle, typename Free>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  void Reset(Handle handle = nullptr) {
    if (const Handle held = std::exchange(handle_, handle)) Free{}(held);
  }
  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyIconHandle {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct DeleteMemoryDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};

using UniqueFont = UniqueHandle<HFONT, DeleteGdiObject>;
using UniqueIcon = UniqueHandle<HICON, DestroyIconHandle>;
using UniqueMemoryDc = UniqueHandle<HDC, DeleteMemoryDc>;

// A window's (or, for null, the screen's) DC from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace korvane
