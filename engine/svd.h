#pragma once
// Singular value decompositions after Golub and Reinsch: Householder reduction to bidiagonal
// form, accumulation of the transformations, and diagonalisation by implicitly shifted QR
// sweeps. Convergence and splitting tests compare x + |value| with x, x a norm-like scale of
// the bidiagonal form; at most 30 sweeps per singular value. Singular values are left unsorted;
// a negative one is made positive by negating the matching column of V.
//
// A column of A that is exactly zero (a parameter without influence) is split off first: its
// singular value is exactly 0 at its own index, its right singular vector is its unit vector,
// every other right singular vector is exactly 0 in its row, and its column of U (its entry of
// U^T b) is 0. The other values and vectors are those of the matrix of the remaining columns,
// numbered by their columns' indices. A matrix without a zero column is decomposed as a whole.

#include "base/real.h"
#include "engine/real_matrix.h"

namespace tarvolin {

// A = U diag(w) V^T for the m x n matrix held in rows 1..m, columns 1..n of a; any m, n.
// A is copied into u first (u may be the same object as a); w gets n values (w[1..n]), v
// n x n values (v must not be u). U is m x n: when m < n its columns for the zero singular
// values are not orthonormal, the others are. Returns IERR: 0 on success, else the number of
// the singular value that did not converge (the decomposition is then partial: values and
// vectors above that index are final). Throws std::invalid_argument when a matrix has fewer
// rows or columns than the problem needs.
int SVD(const RealMatrix& a, int m, int n, RealMatrix& u, Real* w, RealMatrix& v);

// Least-squares form (EISPACK MINFIT): decomposes the m x n matrix in rows 1..m, columns 1..n
// of a, applying the left transformations to the right-hand side in column n+1. In place:
// afterwards rows 1..n of columns 1..n hold V, and rows 1..n of column n+1 hold U^T times the
// right-hand side. When m < n the problem is completed by zero rows: rows m+1..n of column
// n+1 are zeroed before the QR sweeps, whatever they held. a must therefore have at least
// max(m, n) rows and n + 1 columns (else std::invalid_argument). work[1..n] is the
// superdiagonal scratch vector. W and V are bit for bit those SVD gives for the same matrix.
// Returns IERR as SVD does.
int SvdSolve(RealMatrix& a, int m, int n, Real* w, Real* work);

}  // namespace tarvolin
