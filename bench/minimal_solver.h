#pragma once
// The yardstick of the speciation solver: the shortest loop that solves the mass balances
//   Cbt(k) = sum_i a(i,k) C(i),   C(i) = exp( lgBETA(i) ln 10 + sum_k a(i,k) x(k) )
// for x = ln of the free concentrations the way the engine does, and nothing else: Newton
// steps J delta = r with the packed lower triangle of J and an LL^T decomposition that keeps
// the reciprocal of the diagonal, a step longer than 10 shortened, component k converged when
// |delta(k)| <= 1e-18 nb |x(k)|. No fault tests, no fallback, no absent components, no kept
// results: a dense stoichiometric table and long double throughout.
//
// Two starts: warm, from the x of the previous point; and the gradient method's, a short
// downhill simplex (nine iterations) on the squared residuals from x(k) = ln(0.214169 Cbt(k)),
// whose last centroid Newton starts from. Written with the engine's expressions, it gives the
// engine's results bit for bit, so that the two do the same work.

#include <cmath>
#include <vector>

namespace tarvolin::bench {

struct MinimalSolver {
  int nb = 0, ns = 0;
  std::vector<int> a;                   // a[i * nb + k], species i, component k (0-based)
  std::vector<long double> lnBeta;      // lgBETA(i) ln 10
  std::vector<long double> x, C, J, r;  // ln free, species, packed J (row k: columns 0..k), rhs

  void setUp(int components, const std::vector<std::vector<int>>& stoich,
             const std::vector<long double>& lgBeta) {
    nb = components;
    ns = static_cast<int>(stoich.size());
    for (int i = 0; i < ns; ++i) {
      for (int k = 0; k < nb; ++k) a.push_back(stoich[i][k]);
      lnBeta.push_back(lgBeta[i] * std::log(10.0L));
    }
    x.assign(nb, 0);
    C.assign(ns, 0);
    J.assign(nb * (nb + 1) / 2, 0);
    r.assign(nb, 0);
  }

  void species(const long double* at) {
    for (int i = 0; i < ns; ++i) {
      long double s = 0;
      for (int k = 0; k < nb; ++k) s += a[i * nb + k] * at[k];
      C[i] = std::exp(lnBeta[i] + s);
    }
  }
  long double residual(const long double* Cbt, int k) {
    long double s = 0;
    for (int i = 0; i < ns; ++i) s += a[i * nb + k] * C[i];
    return Cbt[k] - s;
  }

  void newton(const long double* Cbt) {
    for (int cycle = 1, converged = -1; cycle <= 999; ++cycle) {
      species(x.data());
      if (converged == nb) return;
      for (int k = 0, t = 0; k < nb; ++k) {
        r[k] = residual(Cbt, k);
        for (int l = 0; l <= k; ++l, ++t) {
          J[t] = 0;
          for (int i = 0; i < ns; ++i)
            J[t] += static_cast<long double>(a[i * nb + k] * a[i * nb + l]) * C[i];
        }
      }
      for (int k = 0; k < nb; ++k) {
        long double* Jk = &J[k * (k + 1) / 2];
        for (int l = 0; l <= k; ++l) {
          const long double* Jl = &J[l * (l + 1) / 2];
          long double s = 0;
          for (int t = 0; t < l; ++t) s += Jk[t] * Jl[t];
          Jk[l] = l == k ? 1 / std::sqrt(Jk[l] - s) : (Jk[l] - s) * Jl[l];
        }
        long double s = 0;
        for (int t = 0; t < k; ++t) s += Jk[t] * r[t];
        r[k] = (r[k] - s) * Jk[k];
      }
      for (int k = nb - 1; k >= 0; --k) {
        long double s = 0;
        for (int t = k + 1; t < nb; ++t) s += J[t * (t + 1) / 2 + k] * r[t];
        r[k] = (r[k] - s) * J[k * (k + 1) / 2 + k];
      }
      converged = 0;
      long double largest = 0;
      for (int k = 0; k < nb; ++k) {
        converged += std::fabs(r[k]) <= 1e-18L * nb * std::fabs(x[k]);
        largest = std::fmax(largest, std::fabs(r[k]));
      }
      for (int k = 0; k < nb; ++k) x[k] += largest > 10 ? r[k] * (10 / largest) : r[k];
    }
  }

  // The gradient method's start: nine iterations of the downhill simplex (reflection 1,
  // expansion 2, contraction 0.5, shrink towards the best; ties to the lowest vertex).
  void simplexStart(const long double* Cbt, long double step) {
    const int n = nb, m = n + 1;
    std::vector<long double> v(m * n), F(m), c(n), p1(n), p2(n);
    auto value = [&](const long double* at) {
      species(at);
      long double f = 0;
      for (int k = 0; k < nb; ++k) {
        const long double d = residual(Cbt, k);
        f += d * d;
      }
      return f;
    };
    const long double sc = step / (n * std::sqrt(2.0L));
    const long double p = sc * (n - 1 + std::sqrt(n + 1.0L)), q = sc * (std::sqrt(n + 1.0L) - 1);
    for (int k = 0; k < n; ++k) v[k] = Cbt[k] > 0 ? std::log(0.214169L * Cbt[k]) : std::log(1e-18L);
    for (int j = 1; j < m; ++j)
      for (int k = 0; k < n; ++k) v[j * n + k] = v[k] - (k == j - 1 ? p : q);
    for (int j = 0; j < m; ++j) F[j] = value(&v[j * n]);
    for (int it = 1; it <= 9; ++it) {
      int h = 0, l = 0;
      for (int j = 1; j < m; ++j) h = F[j] > F[h] ? j : h, l = F[j] < F[l] ? j : l;
      const long double Fh = F[h], Fl = F[l];
      for (int k = 0; k < n; ++k) {
        long double s = 0;
        for (int j = 0; j < m; ++j) s += v[j * n + k];
        c[k] = (s - v[h * n + k]) / n;
        p1[k] = 2 * c[k] + -1.0L * v[h * n + k];
      }
      const long double Fr = value(p1.data());
      auto take = [&](const std::vector<long double>& pt, long double f) {
        for (int k = 0; k < n; ++k) v[h * n + k] = pt[k];
        F[h] = f;
      };
      int s = h == 0 ? 1 : 0;
      for (int j = 0; j < m; ++j) s = j != h && F[j] > F[s] ? j : s;
      if (Fr < Fl) {
        for (int k = 0; k < n; ++k) p2[k] = 2 * p1[k] + -1.0L * c[k];
        const long double Fe = value(p2.data());
        Fe < Fl ? take(p2, Fe) : take(p1, Fr);
      } else if (Fr <= F[s]) {
        take(p1, Fr);
      } else {
        const bool moved = Fr <= Fh;
        if (moved)
          for (int k = 0; k < n; ++k) v[h * n + k] = p1[k];
        for (int k = 0; k < n; ++k) p2[k] = 0.5L * c[k] + 0.5L * v[h * n + k];
        const long double Fk = value(p2.data());
        if (Fk < Fh) {
          take(p2, Fk);
        } else {
          for (int j = 0; j < m; ++j) {
            if (j == l && !(moved && h == l)) continue;
            for (int k = 0; k < n; ++k) v[j * n + k] = (v[j * n + k] + v[l * n + k]) / 2;
            F[j] = value(&v[j * n]);
          }
        }
      }
      if (std::sqrt(Fl) < 1e-18L) break;
    }
    for (int k = 0; k < n; ++k) x[k] = c[k];
  }
};

}  // namespace tarvolin::bench
