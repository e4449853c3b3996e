// SPDX-License-Identifier: GPL-3.0-or-later
#include "interpolation.h"

#include <algorithm>
#include <cstdlib>

namespace vostrel::nec {
namespace {

double binomial(int n, int k)
{
    double c = 1;
    for (int i = 1; i <= k; ++i) {
        c = c * (n - k + i) / i;
    }
    return c;
}

} // namespace

std::complex<double> interpolateEvenly(
    double first, double step, const std::vector<std::complex<double>>& values, double x, int degree)
{
    const int n = static_cast<int>(values.size()) - 1; // the last node's index
    if (n < 0) {
        return {};
    }
    if (n == 0) {
        return values.front();
    }
    const int d = std::clamp(degree, 0, n);
    std::complex<double> numerator;
    double denominator = 0;
    for (int k = 0; k <= n; ++k) {
        const double offset = (x - (first + k * step)) / step; // in steps: the sums stay well scaled
        if (offset == 0) {
            return values[static_cast<std::size_t>(k)];
        }
        double weight = 0;
        for (int i = std::max(0, k - d); i <= std::min(k, n - d); ++i) {
            weight += binomial(d, k - i);
        }
        if ((k - d) % 2 != 0) {
            weight = -weight;
        }
        const double term = weight / offset;
        numerator += term * values[static_cast<std::size_t>(k)];
        denominator += term;
    }
    return numerator / denominator;
}

} // namespace vostrel::nec
