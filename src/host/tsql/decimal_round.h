// Rounding a real to a decimal scale as a decimal(p, s) conversion does: half
// away from zero on the value's shortest decimal form, so 1.005 * 3 (held as
// 3.0149999999999997) rounds to 3.02 at two places, as 3.015 would.
#pragma once

namespace orva::tsql {

// scale < 0 returns v unchanged.
double RoundDecimal(double v, int scale);

}  // namespace orva::tsql
