// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>
#include <vector>

namespace vostrel::nec {

// Floater and Hormann's barycentric rational interpolation of values at
// evenly spaced nodes (M. S. Floater, K. Hormann, "Barycentric rational
// interpolation with no poles and high rates of approximation", Numerische
// Mathematik 107, 2007): no poles on the real line, exact at the nodes and
// for polynomials of degree `degree` or less, the error of order
// h^(degree+1) for a smooth function. For evenly spaced nodes the weights
// are (-1)^(k-d) times a sum of binomial coefficients C(d, k-i) (their
// section 3). `degree` is cut to the nodes' count less one.
//   nodes 0, 1, 2 with values 0, 1, 4, degree 2, at 1.5 -> 2.25 (x squared)
//   nodes 0, 1, 2, 3 with values 1, 3, 5, 7, degree 3, at 2.5 -> 6
//   at a node -> that node's value, exactly
//   one node -> its value everywhere
// `values` has one value per node, the nodes from `first` in steps of
// `step` (> 0); none: 0.
std::complex<double> interpolateEvenly(
    double first, double step, const std::vector<std::complex<double>>& values, double x, int degree = 3);

} // namespace vostrel::nec
