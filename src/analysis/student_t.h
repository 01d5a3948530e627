#pragma once

namespace qel {

// The regularized incomplete beta function I_x(a, b) for a, b > 0 and x in [0, 1].
double regularizedIncompleteBeta(double x, double a, double b);

// The p-quantile of Student's t distribution with dof degrees of freedom (dof >= 1, 0 < p < 1):
// the t with P(T <= t) = p. Found by inverting the incomplete beta, to about 1e-12 relative.
double studentTQuantile(double p, int dof);

} // namespace qel
