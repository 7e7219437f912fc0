#include "clock.h"

#include <chrono>

namespace velandra::bench {
double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace velandra::bench
