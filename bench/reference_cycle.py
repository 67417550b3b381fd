#!/usr/bin/env python3
"""One cycle of stiffness optimisation of a 3-D beam frame, with NumPy and SciPy.

The yardstick bench_solver sets our whole run against: the textbook cycle of the same
formulation on the same frame. Assemble the stiffness of 12-dof Euler-Bernoulli beams with solid
circular sections (d = Dmax x^p, every design beam at the uniform start that meets the volume
target), springs to ground and fixed dofs; factorise it once with SciPy's sparse direct solver and
solve every load case; the compliance, the element energies and the sensitivities; then one
optimality-criteria update with bisection on the volume multiplier.

Usage: reference_cycle.py FRAME [REPEATS]

FRAME is the plain-text dump bench_solver writes, one item a line, nodes and dofs 1-based:
  settings Dmax init_ratio volume_ratio move_limit penalty
  node x y z
  element node1 node2 design E G A Iw Ih J ref_x ref_y ref_z
  cases count
  fixed case node dof
  load case node dof value
  spring case node dof stiffness
A design element's reference is a point off node 1; a non-design one's is a direction, and its
section values A, Iw, Ih, J are used as given. Prints the best of REPEATS cycles (default 3) in
wall and in CPU time (all threads), the compliance of the uniform design and the sum of the
updated design's x = d / Dmax over the design beams.
"""
import sys
import time

import numpy as np
import scipy.sparse as sparse
import scipy.sparse.linalg as linalg


def read_frame(path):
    rows = {}
    with open(path) as f:
        for line in f:
            key, *values = line.split()
            rows.setdefault(key, []).append(values)
    frame = {
        "settings": np.array(rows["settings"][0], dtype=float),
        "nodes": np.array(rows["node"], dtype=float),
        "elements": np.array(rows["element"], dtype=float),
        "cases": int(rows["cases"][0][0]),
    }
    for key in ("fixed", "load", "spring"):
        frame[key] = np.array(rows.get(key, []), dtype=float).reshape(-1, 4 if key != "fixed" else 3)
    return frame


def axes(frame):
    """Per element its length and the rotation R whose rows are the element's x, y (W), z (H)."""
    el = frame["elements"]
    nodes = frame["nodes"]
    p1 = nodes[el[:, 0].astype(int) - 1]
    p2 = nodes[el[:, 1].astype(int) - 1]
    length = np.linalg.norm(p2 - p1, axis=1)
    x = (p2 - p1) / length[:, None]
    ref = el[:, 9:12] - np.where(el[:, 2:3] > 0, p1, 0.0)
    y = ref - np.sum(ref * x, axis=1)[:, None] * x
    y /= np.linalg.norm(y, axis=1)[:, None]
    z = np.cross(x, y)
    return length, np.stack([x, y, z], axis=1)


def local_stiffness(E, G, A, Iw, Ih, J, L):
    """The 12 x 12 stiffness of each beam in its own axes; dofs u, v, w, rx, ry, rz at each end."""
    k = np.zeros((len(L), 12, 12))
    for a, b, s in ((0, 6, E * A / L), (3, 9, G * J / L)):
        k[:, a, a] = k[:, b, b] = s
        k[:, a, b] = k[:, b, a] = -s
    L2, L3 = L * L, L * L * L
    b = np.array([[12 / L3, 6 / L2, -12 / L3, 6 / L2],
                  [6 / L2, 4 / L, -6 / L2, 2 / L],
                  [-12 / L3, -6 / L2, 12 / L3, -6 / L2],
                  [6 / L2, 2 / L, -6 / L2, 4 / L]]).transpose(2, 0, 1)
    # Bending about H moves v with slope rz; bending about W moves w with slope -ry.
    for dofs, signs, EI in (([1, 5, 7, 11], np.array([1, 1, 1, 1]), E * Ih),
                            ([2, 4, 8, 10], np.array([1, -1, 1, -1]), E * Iw)):
        k[:, np.array(dofs)[:, None], dofs] += EI[:, None, None] * np.outer(signs, signs) * b
    return k


def cycle(frame):
    dmax, init_ratio, volume_ratio, move, p = frame["settings"]
    el = frame["elements"]
    n_dof = 6 * len(frame["nodes"])
    design = el[:, 2] > 0
    E, G = el[:, 3], el[:, 4]
    L, R = axes(frame)
    # A run at p > 1 starts at p = 1 and raises it stage by stage.
    p = 1.0 if p > 1 else p
    x = np.full(int(design.sum()), np.sqrt(volume_ratio))

    # Sections: design beams solid circles of d = Dmax x^p, the others as given.
    A, Iw, Ih, J = (el[:, 5].copy(), el[:, 6].copy(), el[:, 7].copy(), el[:, 8].copy())
    d = dmax * x ** p
    A[design] = np.pi * d ** 2 / 4
    Iw[design] = Ih[design] = np.pi * d ** 4 / 64
    J[design] = 2 * Iw[design]

    T = np.zeros((len(L), 12, 12))
    for blk in range(4):
        T[:, 3 * blk:3 * blk + 3, 3 * blk:3 * blk + 3] = R
    k_global = T.transpose(0, 2, 1) @ local_stiffness(E, G, A, Iw, Ih, J, L) @ T
    n1 = el[:, 0].astype(int) - 1
    n2 = el[:, 1].astype(int) - 1
    dofs = np.concatenate([6 * n1[:, None] + np.arange(6), 6 * n2[:, None] + np.arange(6)], axis=1)
    on_element = np.zeros(n_dof, dtype=bool)
    on_element[dofs.ravel()] = True

    # Per load case its fixed dofs, springs and loads; cases with the same supports share a factor.
    fixed = np.zeros((frame["cases"], n_dof), dtype=bool)
    springs = np.zeros((frame["cases"], n_dof))
    loads = np.zeros((frame["cases"], n_dof))
    dof_of = lambda rows: 6 * (rows[:, 1].astype(int) - 1) + rows[:, 2].astype(int) - 1
    fixed[frame["fixed"][:, 0].astype(int) - 1, dof_of(frame["fixed"])] = True
    springs[frame["spring"][:, 0].astype(int) - 1, dof_of(frame["spring"])] = frame["spring"][:, 3]
    loads[frame["load"][:, 0].astype(int) - 1, dof_of(frame["load"])] = frame["load"][:, 3]
    loads[fixed] = 0  # a support takes a load on a fixed dof
    loaded = np.flatnonzero(np.any(loads != 0, axis=1))

    u = np.zeros((n_dof, frame["cases"]))
    groups = {}
    for c in loaded:
        groups.setdefault((fixed[c].tobytes(), springs[c].tobytes()), []).append(c)
    for cases in groups.values():
        c0 = cases[0]
        free = ~fixed[c0] & (on_element | (springs[c0] > 0))
        index = np.full(n_dof, -1)
        index[free] = np.arange(free.sum())
        rows = np.broadcast_to(index[dofs][:, :, None], k_global.shape)
        cols = np.broadcast_to(index[dofs][:, None, :], k_global.shape)
        keep = (rows >= 0) & (cols >= 0)
        diagonal = np.flatnonzero(free & (springs[c0] > 0))
        K = sparse.coo_matrix((np.concatenate([k_global[keep], springs[c0][diagonal]]),
                               (np.concatenate([rows[keep], index[diagonal]]),
                                np.concatenate([cols[keep], index[diagonal]]))),
                              shape=(free.sum(), free.sum())).tocsc()
        lu = linalg.splu(K)
        u[np.ix_(free, cases)] = lu.solve(loads[cases][:, free].T)
    compliance = np.sum(loads * u.T)

    # Sensitivities: -dC/dx = sum over the cases of u^T dK/dx u, with dK/dx the local stiffness
    # of the section's derivatives (the stiffness is linear in A, I and J).
    dd = p * dmax * x ** (p - 1)
    dA = np.pi / 2 * d * dd
    dI = np.pi / 16 * d ** 3 * dd
    dk = local_stiffness(E[design], G[design], dA, dI, dI, 2 * dI, L[design])
    u_local = T[design] @ u[dofs[design]]
    gain = np.maximum(np.sum(u_local * (dk @ u_local), axis=(1, 2)), 0)
    dV = np.pi / 2 * dmax ** 2 * x * L[design]

    # Optimality criteria: x (gain / (lambda dV))^eta within the move limit, lambda by bisection
    # so that the volume meets its target.
    eta = 1 / (2 * (p + 1))
    ratio = gain / dV
    if ratio.size == 0 or ratio.max() <= 0:
        return compliance, x  # the design beams carry nothing: no direction to move in
    lower = np.maximum(np.sqrt(init_ratio), x - move)
    upper = np.minimum(1.0, x + move)
    target = volume_ratio * np.sum(np.pi / 4 * dmax ** 2 * L[design])
    volume = lambda xs: np.sum(np.pi / 4 * (dmax * xs) ** 2 * L[design])
    step = lambda lam: np.clip(x * (ratio / lam) ** eta, lower, upper)
    lo = hi = ratio.max()
    while volume(step(lo)) < target and lo > 1e-300:
        lo /= 4
    while volume(step(hi)) > target and hi < 1e300:
        hi *= 4
    while hi / lo > 1 + 1e-13:
        mid = np.sqrt(lo * hi)
        if volume(step(mid)) > target:
            lo = mid
        else:
            hi = mid
    x_next = step(np.sqrt(lo * hi))
    return compliance, x_next


def main():
    frame = read_frame(sys.argv[1])
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    best = best_cpu = float("inf")
    for _ in range(repeats):
        started, started_cpu = time.perf_counter(), time.process_time()
        compliance, x_next = cycle(frame)
        best = min(best, time.perf_counter() - started)
        best_cpu = min(best_cpu, time.process_time() - started_cpu)
    print(f"seconds {best:.6f}")
    print(f"cpu_seconds {best_cpu:.6f}")
    print(f"compliance {compliance!r}")
    print(f"sum_of_next_x {np.sum(x_next)!r}")


if __name__ == "__main__":
    main()
