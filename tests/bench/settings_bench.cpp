// Prints what a settings write (with its flush) and a table load cost on this
// system, against the real registry of the Wine prefix it runs in (the two
// values it writes are deleted again). scripts/bench.sh runs it; by hand:
//   scripts/wine-exec.sh build/windows/bin/settings_bench.exe
#include <windows.h>

#include <string>

#include "settings/win32/reg_keys.h"
#include "tests/bench/figure.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
  using pv::settings::SettingId;
  constexpr int kRounds = 200;
  LARGE_INTEGER frequency, start, middle, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < kRounds; ++i)
    pv::settings::CRegKeys::Save(SettingId::kLastScene, static_cast<uint32_t>(i % 3));
  QueryPerformanceCounter(&middle);
  uint32_t sum = 0;
  for (int i = 0; i < kRounds; ++i)
    sum += pv::settings::CRegKeys::Load(SettingId::kSpotlightSize, {.maxEffectSize = 1080}).value;
  QueryPerformanceCounter(&end);
  pv::bench::PrintFigure("setting write + RegFlushKey (200 writes)",
                         1e6 * Seconds(start, middle, frequency) / kRounds, -1, "us per value", "<= 1000");
  pv::bench::PrintFigure("setting load with its range (200 loads)",
                         1e6 * Seconds(middle, end, frequency) / kRounds, -1, "us per value", "<= 1000");
  RegDeleteValueW(HKEY_CURRENT_USER, std::wstring(pv::settings::CRegKeys::GetKeyName(14)).c_str());
  RegDeleteValueW(HKEY_CURRENT_USER, std::wstring(pv::settings::CRegKeys::GetKeyName(6)).c_str());
  return sum == 0 ? 1 : 0;  // a load that read nothing is no figure
}
