// Multigrid: the set-up's 5-point system again on ever coarser meshes, each made
// from the one above by joining 2 × 2 cells into one, and the V-cycle over them
// that preconditions the fast solver's conjugate gradients.
#pragma once

#include <cstdint>
#include <vector>

#include "mesh/Mesh.h"

class Multigrid {
 public:
  // The hierarchy of mesh.CoefDiag / CoefEast / CoefSouth. The fine level reads
  // the mesh's arrays in place: the mesh must outlive the hierarchy and keep its
  // coefficients while it is used.
  explicit Multigrid(const Mesh& mesh);

  // z = B r by one V(1,1) cycle started from zero: a damped Jacobi sweep, the
  // residual carried to the next coarser mesh and corrected there, a damped
  // Jacobi sweep. B is symmetric, and positive definite when A is. r and z hold
  // MeshSize² values and must be distinct.
  void Precondition(const float* r, float* z);

  // y = A x on the fine mesh, the same sums in the same order as ApplyMatrix.
  void Apply(const float* x, float* y) const;

  int Levels() const { return static_cast<int>(levels_.size()); }
  int CoarsestSide() const { return levels_.empty() ? 0 : levels_.back().n; }

 private:
  struct Level {
    int n = 0;  // cells per side
    const float* diag = nullptr;
    const float* east = nullptr;
    const float* south = nullptr;
    std::vector<float> ownDiag, ownEast, ownSouth;  // the coarse levels' own coefficients
    std::vector<float> smooth;                      // ω / diagonal, 0 where the diagonal is not positive
    std::vector<float> b, x, r;                     // right-hand side, correction, residual
  };
  void Cycle(std::size_t level);
  void SolveCoarsest();

  std::vector<Level> levels_;
  // The coarsest system as a dense Cholesky factor, row-major lower triangle;
  // empty when that system is not positive definite (then Jacobi sweeps serve).
  std::vector<double> coarseFactor_;
  std::vector<double> coarseWork_;
};
