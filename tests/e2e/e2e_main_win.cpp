// Test entry: per-monitor DPI aware, so window rectangles are read in real pixels.
#include <windows.h>

#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
