// The start-up window and its three ways on.
#include "ui/frm_splash.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include "ui/qt_controls.h"
#include "ui/shell.h"

namespace {
// A ground structure before optimisation: every pair of lattice points joined.
QPixmap ground_structure_picture() {
  QPixmap pm(150, 100);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0, 128), 1));
  std::vector<QPointF> pts;
  for (int i = 0; i <= 3; ++i)
    for (int j = 0; j <= 2; ++j) pts.emplace_back(15 + 40 * i, 15 + 35 * j);
  for (size_t a = 0; a < pts.size(); ++a)
    for (size_t b = a + 1; b < pts.size(); ++b) p.drawLine(pts[a], pts[b]);
  return pm;
}

// The same frame after optimisation: a few thick members carry the load.
QPixmap optimised_picture() {
  QPixmap pm(150, 100);
  pm.fill(Qt::white);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(128, 0, 0), 4, Qt::SolidLine, Qt::RoundCap));
  const QPointF a(15, 15), b(15, 85), c(75, 50), d(135, 50);
  p.drawLine(a, c);
  p.drawLine(b, c);
  p.setPen(QPen(QColor(128, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c, d);
  p.drawLine(a, d);
  p.drawLine(b, d);
  return pm;
}

QLabel* make_picture(QWidget* parent, const char* name, const QPixmap& pm, Twips at) {
  QLabel* l = make_label(parent, name, {}, at);
  l->setPixmap(pm);
  l->setFrameShape(QFrame::Box);
  return l;
}
}  // namespace

frmSplash::frmSplash() : FormWindow("frmSplash", "MARULLA", 9000, 6000) {
  setWindowFlag(Qt::WindowStaysOnTopHint, false);
  Frame1 = make_frame(this, "Frame1", {}, {120, 60, 8760, 5400});
  Frame1->installEventFilter(this);
  QLabel* title = make_label(Frame1, "Label1", "MARULLA", {240, 120, 8000, 750});
  QFont big = title->font();
  big.setPointSize(28);
  big.setBold(true);
  title->setFont(big);
  QLabel* program = make_label(Frame1, "Label2", "Topology Optimization Program", {240, 960, 8000, 450});
  QFont mid = program->font();
  mid.setPointSize(16);
  program->setFont(mid);
  QLabel* beams = make_label(Frame1, "Label3", "using Beam Elements", {240, 1410, 8000, 450});
  beams->setFont(mid);
  make_picture(Frame1, "Image1", ground_structure_picture(), {240, 2040, 2250, 1500});
  make_picture(Frame1, "Image2", optimised_picture(), {2700, 2040, 2250, 1500});
  make_label(Frame1, "Label4", "You must verify your results.", {240, 3720, 8000, 300});
  QLabel* notice = make_label(Frame1, "Label5",
                              "No responsibility is assumed by the authors for the validity, accuracy or "
                              "applicability of any result obtained from this system.",
                              {240, 4020, 8200, 600});
  notice->setWordWrap(true);
  make_label(Frame1, "Label6", "DOS/V", {7560, 4800, 900, 300});
  Command1 = make_button(Frame1, "Command1", "Start", {5400, 2100, 1500, 450});
  Command3 = make_button(Frame1, "Command3", "POST", {5400, 2640, 1500, 450});
  Command2 = make_button(Frame1, "Command2", "Exit", {5400, 3180, 1500, 450});
  wire();
}

void frmSplash::wire() {
  on_click(Command1, this, &frmSplash::Command1_Click);
  on_click(Command3, this, &frmSplash::Command3_Click);
  on_click(Command2, this, &frmSplash::Command2_Click);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
    run_guarded([this] { Frame1_Click(); });
    return true;
  }
  return FormWindow::eventFilter(watched, event);
}

void frmSplash::Command1_Click() {
  shell().unload("frmSplash");
  open_modelling();
}

void frmSplash::Command2_Click() { shell().end_program(); }

void frmSplash::Command3_Click() {
  shell().unload("frmSplash");
  open_post_processing();
}

void frmSplash::Frame1_Click() { Command1_Click(); }

void frmSplash::Form_KeyPress(int) { Command1_Click(); }
