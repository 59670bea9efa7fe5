// What every fuzz target uses to state a property: a failed check prints
// what broke and aborts, so libFuzzer keeps the input that shows it.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace pv::fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
  std::abort();
}

}  // namespace pv::fuzz

// Kept in release builds, unlike assert().
#define PV_FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::pv::fuzz::Fail(#condition, __FILE__, __LINE__))
