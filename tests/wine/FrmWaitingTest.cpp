#include "startup/FrmWaiting.h"
#include "tests/wine/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace velmora {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

TEST(FrmWaiting, StaysOnTopUntilTheLoadFinishesThenCloses) {
  bool loadFinished = false;
  FrmWaiting splash([&] { return loadFinished; });
  ASSERT_TRUE(splash.Show());
  const HWND w = splash.hwnd();
  test::PumpFor(300ms);
  ASSERT_TRUE(splash.IsOpen());
  EXPECT_TRUE(::IsWindowVisible(w));
  const LONG_PTR ex = ::GetWindowLongPtrA(w, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);  // no taskbar button
  RECT r;
  ::GetWindowRect(w, &r);
  EXPECT_GT(r.right - r.left, 100);  // sized around its picture
  EXPECT_NEAR((r.left + r.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);

  // Another window activated later does not cover it.
  const HWND other = ::CreateWindowA("STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                     nullptr, nullptr, nullptr, nullptr);
  ::SetForegroundWindow(other);
  test::PumpFor(50ms);
  EXPECT_TRUE(::GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);

  const auto finished = steady_clock::now();
  loadFinished = true;
  ASSERT_TRUE(test::PumpUntil([&] { return !splash.IsOpen(); }, 1s));
  const auto closedAfter = duration_cast<milliseconds>(steady_clock::now() - finished).count();
  std::printf("splash closed %lld ms after the load finished\n",
              static_cast<long long>(closedAfter));
  EXPECT_LE(closedAfter, 50);  // one 10 ms tick, with the timer's granularity
  EXPECT_FALSE(::IsWindow(w));
  ::DestroyWindow(other);
}

TEST(FrmWaiting, UnloadBeforeTheLoadFinishesIsClean) {
  FrmWaiting splash([] { return false; });
  ASSERT_TRUE(splash.Show());
  splash.Unload();
  EXPECT_FALSE(splash.IsOpen());
  splash.Unload();  // a second unload does nothing
  test::PumpFor(30ms);
}

}  // namespace
}  // namespace velmora
