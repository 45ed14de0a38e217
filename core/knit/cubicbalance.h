#pragma once

// The balance of the pulls on one stitch node. Every yarn piece pulls with the cube of its
// stretch, so the node settles where Σ ω (t − δ)³ = 0, t and δ in pitches from the node. The sum
// is the cubic A t³ + B t² + Cs t + D with A = Σ ω, B = −3 Σ ωδ, Cs = 3 Σ ωδ², D = −Σ ωδ³.

#include <cstdint>

namespace warplon {

// The four sums of the balance, added piece by piece in the order the pieces are visited.
struct BalanceSums
{
    double a = 0.0;
    double b = 0.0;
    double cs = 0.0;
    double d = 0.0;

    void add(double weight, double delta)
    {
        a += weight;
        b -= 3.0 * weight * delta;
        cs += 3.0 * weight * delta * delta;
        d -= weight * delta * delta * delta;
    }
};

// A real root of t³ + b t² + e t + f = 0 with b = B ÷ A, e = Cs ÷ A, f = D ÷ A: by the
// trigonometric form when the cubic has three real roots, else by Cardano's formula. The
// caller leaves the node where it is when A is 0; this returns 0 then.
double BalanceRoot(const BalanceSums &sums);

// The root of Σ weights[i] (t − deltas[i])³ = 0 over n pieces.
double SolveBalance(const double *weights, const double *deltas, int32_t n);

} // namespace warplon
