// Linear static analysis of a 3-D frame of Euler-Bernoulli beams: 6 degrees of freedom per node
// (translations along L, W, H, rotations about L, W, H), 12 per beam, springs to ground, and one
// sparse Cholesky factorisation per group of load cases that share constraints and springs.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <Eigen/Core>
#include <Eigen/SparseCore>

struct ModelFile;

// A failure of the solver: an unusable model, a mechanism, a numerical breakdown. A mechanism
// also says where: the free node and dof (0-based) and the load case (1-based).
class SolverError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  int node = -1, dof = -1, load_case = 0;
};

// Section values of a beam: area (mm2), second moments about the section's W and H axes (mm4)
// and the torsion constant (mm4).
struct Section {
  double A = 0, Iw = 0, Ih = 0, J = 0;
};

// A solid circle of diameter d (mm): A = pi d^2 / 4, Iw = Ih = pi d^4 / 64, J = pi d^4 / 32.
Section circle_section(double d);
// A round tube of outer diameter D and wall t (mm), d = D - 2t inside: A = pi (D^2 - d^2) / 4,
// Iw = Ih = pi (D^4 - d^4) / 64, J = 2 Iw. A wall of 0, or of half the diameter or more, is solid.
Section tube_section(double D, double t);

// The cross-section a member is built with: a solid circle (a design beam as optimised), a round
// tube or rod of a standard size, or a general section known only by its values (a non-design
// bar's sketch, its W and H axes those of the element).
struct MemberSection {
  enum class Shape { circle, tube, general };
  Shape shape = Shape::general;
  double outer = 0;   // circle and tube: outer diameter, mm
  double wall = 0;    // tube: wall thickness, mm (0 for a solid rod)
  Section values;     // A, Iw, Ih, J as the analysis takes them
  std::string name;   // a standard size's name, else empty
  // A standard tube's product as its list gives it: cold-formed or not; none: as the checks are set.
  std::optional<bool> cold_formed;
};
MemberSection circle_member(double d);
MemberSection tube_member(double outer, double wall, std::string name);
MemberSection general_member(const Section& values);

struct FrameElement {
  int node1 = 0, node2 = 0;  // 0-based
  int prop = 0;              // 0-based property set
  bool design = false;       // value 1 of its set negative
  double E = 0, G = 0;       // N/mm2
  double length = 0;         // mm
  Eigen::Matrix3d axes;      // rows: x (node 1 to node 2), y (section W axis), z (section H axis)
  Section section;           // the set's section; for a design element only a placeholder
};

// Strain energy u^T K u of an element for unit section values (E and G left out), summed over
// the load cases: the axial part per mm2 of A, the bending parts per mm4 of Iw and Ih, and the
// torsion part per mm4 of J. The element's energy is E (A axial + Iw bend_w + Ih bend_h) + G J torsion.
struct UnitEnergies {
  double axial = 0, bend_w = 0, bend_h = 0, torsion = 0;
};

// The 12 x 12 stiffness of a beam in its own axes (x, y = W, z = H), dofs u, v, w, rx, ry, rz at
// node 1 then node 2. E, G in N/mm2, section in mm, length in mm.
Eigen::Matrix<double, 12, 12> local_stiffness(double E, double G, const Section& s, double length);
// The geometric stiffness of the same beam under the axial force N (N, tension positive: it
// stiffens, compression softens), from the same cubic shape functions, with the torsional term
// N Ip / (A L), Ip = Iw + Ih.
Eigen::Matrix<double, 12, 12> local_geometric_stiffness(double N, const Section& s, double length);

// The axes of a beam from p1 to p2 (mm), as rows: x from node 1 to node 2, y the section's W axis
// (the part of the reference across the beam), z = x cross y its H axis. The reference is a point
// off node 1 for a design element, a direction for a non-design one. A beam of zero length or a
// reference along it is a SolverError naming `name`.
Eigen::Matrix3d beam_axes(const Eigen::Vector3d& p1, const Eigen::Vector3d& p2, const Eigen::Vector3d& ref, bool design,
                          const std::string& name);

// The axes of element j (0-based) of a model file, as beam_axes gives them from its nodes and
// reference; what the analysis of the model takes for that element.
Eigen::Matrix3d element_axes(const ModelFile& model, size_t j);

class FrameAnalysis {
 public:
  // Builds the elements and the load-case groups from the model file and checks that every loaded
  // case is held: a mechanism, a zero-length element, a reference parallel to its element, a
  // non-positive material or section value, or a load that nothing holds is a SolverError naming
  // what is wrong. Each group's symbolic factorisation is done here, once.
  explicit FrameAnalysis(const ModelFile& model);
  ~FrameAnalysis();
  FrameAnalysis(const FrameAnalysis&) = delete;
  FrameAnalysis& operator=(const FrameAnalysis&) = delete;

  const std::vector<FrameElement>& elements() const { return elements_; }
  int node_count() const { return n_node_; }
  int case_count() const;
  bool has_load() const;
  // Why no case has a load: none was given, or every load acts on a fixed dof (named).
  std::string why_unloaded() const;

  // Solves every loaded case with one section per element and returns the total compliance,
  // the sum over the cases of f^T u (N mm). Cases without a load have u = 0.
  double solve(const std::vector<Section>& sections);

  double compliance(int c) const { return case_compliance_[static_cast<size_t>(c)]; }  // N mm, case 0-based
  // Displacement of node i (0-based) along dof k (0..5: L, W, H in mm, rotations in rad), case c.
  double displacement(int c, int node, int dof) const;
  // The 12 displacements of element j's ends in its own axes (u, v, w, rx, ry, rz at node 1,
  // then node 2), case c.
  Eigen::Matrix<double, 12, 1> local_displacements(int c, int j) const;
  const std::vector<UnitEnergies>& energies() const { return energies_; }
  int factorisations() const { return factorisations_; }
  double factorisation_seconds() const { return factorisation_seconds_; }  // spent in numeric factorisation
  // Conjugate-gradient iterations so far, each one product with the stiffness and one solve
  // with an earlier factor, for all the loaded cases of a group together.
  int iterations() const { return iterations_; }
  double last_solve_seconds() const { return last_solve_seconds_; }  // the last solve(), whole
  // The BLAS threads the solves use: two for a dense factor on a machine with a core to spare
  // (solver_threads_worth), else one.
  int threads() const { return threads_; }
  double factor_flops() const;  // of the densest group's factorisation
  void set_threads(int n) { threads_ = std::max(n, 1); }  // to compare, whatever pays

  // Factor reuse (on by default): a group's factor from an earlier solve preconditions a
  // conjugate-gradient solve of the new stiffness, started from the last displacements; the
  // group is factorised afresh when iterating would cost more than a factorisation (counted in
  // flops, so the path of a run does not depend on the machine's load) or the residual stops
  // falling. Off, every solve factorises.
  void set_factor_reuse(bool on) { reuse_ = on; }
  int groups() const { return static_cast<int>(groups_.size()); }
  // Element by element (off by default): every solve builds each element's stiffness from its
  // section by the triple product with its axes, and its energies from its displacements turned
  // into its own axes. The way cycles were computed before, kept as the reference the faster
  // path is checked and measured against. Either way gives the same matrix and energies up to
  // rounding.
  void set_element_by_element(bool on) { element_by_element_ = on; }
  // What a factorisation of group g is counted as, in conjugate-gradient iterations.
  double factor_worth(int g) const;
  // The lower triangle of group g's stiffness as last assembled (N/mm, N, N mm), free dofs only.
  const Eigen::SparseMatrix<double, Eigen::ColMajor, int>& stiffness(int g) const;

 private:
  struct Case;
  struct Group;
  void build_elements(const ModelFile& model);
  void build_groups(const ModelFile& model);
  Case read_case(const ModelFile& model, size_t b, const std::vector<char>& on_element) const;
  void join_group(Case& c, int index);
  void build_group(Group& g, const std::vector<char>& on_element) const;
  void build_pattern(Group& g, const Case& c) const;
  void find_slots(Group& g, const Case& c) const;
  std::vector<std::vector<int>> pieces(const std::vector<char>& joins) const;
  std::pair<int, int> free_motion(const Case& c, const std::vector<int>& nodes) const;
  void check_supports(const Group& g) const;
  std::string breakdown_reason(const Case& c, int node, int dof) const;
  bool pin_loose_pieces(Group& g, const std::vector<Section>& sections, const std::vector<int>& loaded) const;
  void build_parts();
  void assemble(Group& g, const std::vector<Section>& sections);
  void add_energies(const std::vector<int>& loaded);
  Eigen::MatrixXd solve_group(Group& g, const Eigen::MatrixXd& f, const std::vector<int>& loaded);
  Eigen::MatrixXd solve_factorising(Group& g, const Eigen::MatrixXd& f, const std::vector<int>& loaded);
  bool solve_iterating(Group& g, const Eigen::MatrixXd& f, Eigen::MatrixXd& u);

  int n_node_ = 0;
  std::vector<Eigen::Vector3d> nodes_;  // L, W, H, mm
  std::vector<FrameElement> elements_;
  std::vector<Case> cases_;
  std::vector<std::unique_ptr<Group>> groups_;
  std::vector<double> case_compliance_;
  std::vector<Eigen::VectorXd> displacements_;  // per case, 6 per node
  std::vector<UnitEnergies> energies_;
  int factorisations_ = 0;
  double factorisation_seconds_ = 0;
  int iterations_ = 0;
  double last_solve_seconds_ = 0;
  // Per element, the lower triangle (local rows a >= b, 78 entries) of its stiffness in the global
  // axes for a unit area and for a unit second moment of a circle (Iw = Ih = 1, J = 2): the parts
  // that only the section scales, built once.
  std::vector<double> area_parts_, moment_parts_;
  bool reuse_ = true;
  bool element_by_element_ = false;
  int threads_ = 1;
};

// Threads of the BLAS below CHOLMOD, for the whole process; OpenMP regions stay switched off.
void set_solver_threads(int n);
// The BLAS threads that pay for an analysis whose densest factorisation takes factor_flops, on a
// machine of `cores` cores whose load (the run queue over the last minute) is `load`: two only for
// a factorisation of about a second or more (measured on an idle machine, a whole run at 35000
// elements took 0.82 of its wall time with two, at 15000 and 25000 0.95, at 5000 1.16 times as
// long, each for twice the CPU) and only with a core to spare; else one.
int solver_threads_worth(double factor_flops, unsigned cores, double load);
