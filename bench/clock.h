// A monotonic clock in milliseconds. Its own file: <chrono> holds a "µs"
// literal that the CP932 execution character set of our sources cannot take.
#pragma once

namespace velandra::bench {
double NowMs();
}
