// Laying out the report's blocks on pages. The layout runs twice: once to count the pages (for
// "page n of N"), once to paint them; both take the same measures from the PDF device, so they
// break the pages at the same places.
#include "ui/pdf_report.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "formats/errors.h"
#include "formats/fields.h"
#include "ui/qt_canvas.h"

namespace {

constexpr int dpi = 300;
constexpr double margin_mm = 15;
constexpr double body_pt = 9, table_pt = 7, smallest_table_pt = 4.5;

double mm(double v) { return v * dpi / 25.4; }

QFont font(double points, bool bold = false, bool italic = false) {
  QFont f("Helvetica");
  f.setPointSizeF(points);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

QString q(const std::string& s) { return QString::fromStdString(s); }

class PageLayout {
 public:
  // `painter` null: the pass that only counts the pages.
  PageLayout(QPdfWriter& device, QPainter* painter, const Report& r, int pages)
      : device_(device), painter_(painter), report_(r), pages_(pages), width_(device.width()),
        bottom_(device.height() - mm(8)) {}

  int run() {
    begin_page();
    for (const ReportBlock& b : report_.blocks) block(b);
    return page_;
  }

 private:
  void block(const ReportBlock& b) {
    switch (b.kind) {
      case ReportBlock::Kind::heading: return text(b.text, font(14, true), mm(6), mm(12));
      case ReportBlock::Kind::subheading: return text(b.text, font(11, true), mm(4), mm(10));
      case ReportBlock::Kind::paragraph: return text(b.text, font(body_pt), mm(1.5), 0);
      case ReportBlock::Kind::table: return table(b.text, b.table);
      case ReportBlock::Kind::picture: return picture(b.text, b.picture);
    }
  }

  QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, &device_); }

  void begin_page() {
    ++page_;
    if (painter_ && page_ > 1) device_.newPage();
    y_ = mm(10);
    if (!painter_) return;
    const QFont small = font(7.5);
    painter_->setFont(small);
    painter_->setPen(Qt::black);
    const QRectF head(0, 0, width_, mm(6));
    painter_->drawText(head, Qt::AlignLeft | Qt::AlignVCenter, q(report_.header));
    painter_->drawText(head, Qt::AlignRight | Qt::AlignVCenter, "Marulla");
    painter_->drawLine(QPointF(0, mm(7)), QPointF(width_, mm(7)));
    const QRectF foot(0, device_.height() - mm(5), width_, mm(5));
    painter_->drawText(foot, Qt::AlignHCenter | Qt::AlignBottom, QString("page %1 of %2").arg(page_).arg(pages_));
  }

  // Room for `height` more on this page, else a new one.
  void need(double height) {
    if (y_ + height > bottom_ && y_ > mm(10)) begin_page();
  }

  // A wrapped text, kept whole on a page with `keep` of room after it (a heading's first lines).
  void text(const std::string& s, const QFont& f, double space_before, double keep) {
    const QRectF box = metrics(f).boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, q(s));
    y_ += space_before;
    need(box.height() + keep);
    if (painter_) {
      painter_->setFont(f);
      painter_->setPen(Qt::black);
      painter_->drawText(QRectF(0, y_, width_, box.height()), Qt::TextWordWrap, q(s));
    }
    y_ += box.height() + mm(1);
  }

  // The table's font and column widths: its natural widths at table_pt, narrowed (with the font)
  // until the table fits the page's width.
  struct Columns {
    QFont plain, bold;
    std::vector<double> widths;
    double row_height = 0;
  };
  Columns columns(const ReportTable& t) const {
    std::vector<double> natural(t.header.size(), 0);
    const QFontMetricsF bold = metrics(font(table_pt, true));
    const QFontMetricsF plain = metrics(font(table_pt));
    for (size_t c = 0; c < t.header.size(); ++c) natural[c] = bold.horizontalAdvance(q(t.header[c]));
    for (const auto& row : t.rows)
      for (size_t c = 0; c < row.size() && c < natural.size(); ++c)
        natural[c] = std::max(natural[c], plain.horizontalAdvance(q(row[c])));
    const double pad = mm(1.6);
    double total = 0;
    for (double& w : natural) total += (w += pad);
    const double scale = std::min(1.0, width_ / total);
    const double points = std::max(smallest_table_pt, table_pt * scale);
    Columns cols{font(points), font(points, true), {}, 0};
    for (double w : natural) cols.widths.push_back(w * points / table_pt);
    cols.row_height = metrics(cols.plain).height() * 1.25;
    return cols;
  }

  void row(const std::vector<std::string>& cells, const ReportTable& t, const Columns& cols, bool header, bool total) {
    if (painter_) {
      painter_->setFont(header || total ? cols.bold : cols.plain);
      painter_->setPen(Qt::black);
      double x = 0;
      double full = 0;
      for (double w : cols.widths) full += w;
      if (header) painter_->fillRect(QRectF(0, y_, full, cols.row_height), QColor(225, 225, 225));
      if (total) painter_->drawLine(QPointF(0, y_), QPointF(full, y_));
      for (size_t c = 0; c < cols.widths.size(); ++c) {
        const QRectF cell(x + mm(0.8), y_, cols.widths[c] - mm(1.6), cols.row_height);
        const Qt::Alignment side = !header && t.numeric[c] ? Qt::AlignRight : Qt::AlignLeft;
        if (c < cells.size()) painter_->drawText(cell, side | Qt::AlignVCenter, q(cells[c]));
        x += cols.widths[c];
      }
    }
    y_ += cols.row_height;
  }

  void table(const std::string& caption, const ReportTable& t) {
    const Columns cols = columns(t);
    const QFont caption_font = font(body_pt, false, true);
    const double caption_height = metrics(caption_font).height() * 1.3;
    y_ += mm(2);
    need(caption_height + cols.row_height * 3);
    auto head = [&](bool continued) {
      if (painter_) {
        painter_->setFont(caption_font);
        painter_->setPen(Qt::black);
        painter_->drawText(QRectF(0, y_, width_, caption_height), Qt::AlignLeft | Qt::AlignVCenter,
                           q(caption + (continued ? " (continued)" : "")));
      }
      y_ += caption_height;
      row(t.header, t, cols, true, false);
    };
    head(false);
    for (size_t i = 0; i < t.rows.size(); ++i) {
      if (y_ + cols.row_height > bottom_) {
        begin_page();
        head(true);
      }
      row(t.rows[i], t, cols, false, t.last_row_total && i + 1 == t.rows.size());
    }
    y_ += mm(1);
  }

  void picture(const std::string& caption, const ReportPicture& p) {
    const double w = std::min(mm(p.width_mm), width_);
    const double h = w * p.height / p.width;
    const QFont caption_font = font(body_pt, false, true);
    const double caption_height = metrics(caption_font).height() * 1.3;
    y_ += mm(2);
    need(h + caption_height);
    if (painter_) {
      QtCanvas canvas(nullptr);
      canvas.resize(static_cast<int>(p.width / twips_per_pixel), static_cast<int>(p.height / twips_per_pixel));
      canvas.clear();
      p.draw(canvas);
      const QRectF target((width_ - w) / 2, y_, w, h);
      painter_->drawImage(target, canvas.image());
      painter_->setPen(QColor(128, 128, 128));
      painter_->drawRect(target);
      painter_->setFont(caption_font);
      painter_->setPen(Qt::black);
      painter_->drawText(QRectF(0, y_ + h, width_, caption_height), Qt::AlignHCenter | Qt::AlignVCenter, q(caption));
    }
    y_ += h + caption_height;
  }

  QPdfWriter& device_;
  QPainter* painter_;
  const Report& report_;
  int pages_;
  double width_, bottom_;
  double y_ = 0;
  int page_ = 0;
};

void set_up(QPdfWriter& writer, const Report& r) {
  writer.setResolution(dpi);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(margin_mm, margin_mm, margin_mm, margin_mm), QPageLayout::Millimeter));
  writer.setCreator("Marulla");
  writer.setTitle(q(r.title));
}

}  // namespace

void write_pdf_report(const Report& r, const std::string& path) {
  // The pages are made in memory before the file is opened, so that a report stopped while they
  // are made leaves no file behind; then they are written whole.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    set_up(writer, r);
    const int pages = PageLayout(writer, nullptr, r, 0).run();
    QPainter painter;
    if (!painter.begin(&writer)) raise_error(err::write_failed, path + ": the PDF writer cannot start");
    PageLayout(writer, &painter, r, pages).run();
    if (!painter.end()) raise_error(err::write_failed, path + ": the PDF writer failed");
  }
  DataFileWriter out(path);
  out.bytes(std::string_view(buffer.data().constData(), static_cast<size_t>(buffer.data().size())));
  out.commit();
}
