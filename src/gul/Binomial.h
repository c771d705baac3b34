#pragma once

namespace gul {

// Binomial coefficient C(n, k) as a float, from a process-wide Pascal triangle
// that grows on demand and is kept for the life of the process. 0 outside
// 0 <= k <= n.
float Binomial(int n, int k);

} // namespace gul
