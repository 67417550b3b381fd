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
#include <string>

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
    const auto& blocks = report_.blocks;
    for (size_t i = 0; i < blocks.size(); ++i) block(blocks[i], keeps_next(i) ? lead(i + 1) : 0);
    return page_;
  }

 private:
  // `keep`: the room a heading (or a paragraph that leads into what follows) needs after it,
  // so that it never ends a page.
  void block(const ReportBlock& b, double keep) {
    switch (b.kind) {
      case ReportBlock::Kind::heading: return text(b.text, heading_font(b), mm(6), keep);
      case ReportBlock::Kind::subheading: return text(b.text, heading_font(b), mm(4), keep);
      case ReportBlock::Kind::paragraph: return text(b.text, font(body_pt), mm(1.5), keep);
      case ReportBlock::Kind::table: return tables(b.text, b.table);
      case ReportBlock::Kind::picture: return picture(b.text, b.picture);
    }
  }

  // Headings stay with what follows them, and so does a paragraph before a table or a picture
  // (which it introduces) unless the page would hold little else.
  bool keeps_next(size_t i) const {
    const auto& blocks = report_.blocks;
    if (blocks[i].kind != ReportBlock::Kind::paragraph) return true;
    return i + 1 < blocks.size() && (blocks[i + 1].kind == ReportBlock::Kind::table ||
                                     blocks[i + 1].kind == ReportBlock::Kind::picture);
  }

  static QFont heading_font(const ReportBlock& b) {
    return b.kind == ReportBlock::Kind::heading ? font(14, true) : font(11, true);
  }

  // The height of the start of block i that must share a page with the headings before it: a
  // heading with what follows it, a paragraph's first lines, a table's caption, header and first
  // rows, a picture whole.
  double lead(size_t i) const {
    const auto& blocks = report_.blocks;
    if (i >= blocks.size()) return 0;
    const ReportBlock& b = blocks[i];
    switch (b.kind) {
      case ReportBlock::Kind::heading:
      case ReportBlock::Kind::subheading:
        return text_height(b.text, heading_font(b)) + mm(6) + lead(i + 1);
      case ReportBlock::Kind::paragraph:
        return mm(1.5) + text_height(b.text, font(body_pt)) + (keeps_next(i) ? lead(i + 1) : 0);
      case ReportBlock::Kind::table: {
        const Columns cols = columns(b.table);
        return mm(2) + caption_height(b.text) + cols.row_height * static_cast<double>(1 + rows_kept_first(b.table));
      }
      case ReportBlock::Kind::picture: return mm(2) + picture_height(b.picture) + caption_height(b.text);
    }
    return 0;
  }

  // The rows a table starts a page with: a short table whole, a long one its first three.
  static size_t rows_kept_first(const ReportTable& t) { return t.rows.size() <= 12 ? t.rows.size() : 3; }

  double text_height(const std::string& s, const QFont& f) const {
    return metrics(f).boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, q(s)).height();
  }
  // A caption wraps at the page's width, with a little room below.
  double caption_height(const std::string& caption) const {
    return text_height(caption, font(body_pt, false, true)) + metrics(font(body_pt)).height() * 0.3;
  }
  double picture_height(const ReportPicture& p) const { return std::min(mm(p.width_mm), width_) * p.height / p.width; }

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
  // Each column's width at table_pt: its widest cell or header, with the cell's padding.
  std::vector<double> natural_widths(const ReportTable& t) const {
    std::vector<double> natural(t.header.size(), 0);
    const QFontMetricsF bold = metrics(font(table_pt, true));
    const QFontMetricsF plain = metrics(font(table_pt));
    for (size_t c = 0; c < t.header.size(); ++c) natural[c] = bold.horizontalAdvance(q(t.header[c]));
    for (const auto& row : t.rows)
      for (size_t c = 0; c < row.size() && c < natural.size(); ++c)
        natural[c] = std::max(natural[c], plain.horizontalAdvance(q(row[c])));
    for (double& w : natural) w += mm(1.6);
    return natural;
  }
  Columns columns(const ReportTable& t) const {
    const std::vector<double> natural = natural_widths(t);
    double total = 0;
    for (double w : natural) total += w;
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

  // A table too wide for the page even at the smallest font goes in parts side by side in the
  // text: each part repeats the first column (what its rows are) and takes as many of the next
  // columns as fit.
  void tables(const std::string& caption, const ReportTable& t) {
    const std::vector<double> natural = natural_widths(t);
    const double room = width_ * table_pt / smallest_table_pt;
    std::vector<std::vector<size_t>> parts{{0}};
    double used = natural.empty() ? 0 : natural[0];
    for (size_t c = 1; c < natural.size(); ++c) {
      if (used + natural[c] > room && parts.back().size() > 1) {
        parts.push_back({0});
        used = natural[0];
      }
      parts.back().push_back(c);
      used += natural[c];
    }
    if (parts.size() == 1) return table(caption, t);
    for (size_t k = 0; k < parts.size(); ++k)
      table(caption + " (part " + std::to_string(k + 1) + " of " + std::to_string(parts.size()) + ")",
            columns_of(t, parts[k]));
  }

  static ReportTable columns_of(const ReportTable& t, const std::vector<size_t>& keep) {
    ReportTable part;
    part.last_row_total = t.last_row_total;
    for (size_t c : keep) {
      part.header.push_back(t.header[c]);
      part.numeric.push_back(c < t.numeric.size() && t.numeric[c]);
    }
    for (const auto& row : t.rows) {
      std::vector<std::string> cells;
      for (size_t c : keep) cells.push_back(c < row.size() ? row[c] : "");
      part.rows.push_back(cells);
    }
    return part;
  }

  void table(const std::string& caption, const ReportTable& t) {
    const Columns cols = columns(t);
    const QFont caption_font = font(body_pt, false, true);
    y_ += mm(2);
    need(caption_height(caption) + cols.row_height * static_cast<double>(1 + rows_kept_first(t)));
    auto head = [&](bool continued) {
      const std::string text = caption + (continued ? " (continued)" : "");
      const double height = caption_height(text);
      if (painter_) {
        painter_->setFont(caption_font);
        painter_->setPen(Qt::black);
        painter_->drawText(QRectF(0, y_, width_, height), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, q(text));
      }
      y_ += height;
      row(t.header, t, cols, true, false);
    };
    head(false);
    for (size_t i = 0; i < t.rows.size(); ++i) {
      // The last two rows (a sum and what it is taken with) stay together.
      const double rows_kept = i + 2 == t.rows.size() ? 2 : 1;
      if (y_ + cols.row_height * rows_kept > bottom_) {
        begin_page();
        head(true);
      }
      row(t.rows[i], t, cols, false, t.last_row_total && i + 1 == t.rows.size());
    }
    y_ += mm(1);
  }

  void picture(const std::string& caption, const ReportPicture& p) {
    const double w = std::min(mm(p.width_mm), width_);
    const double h = picture_height(p);
    const QFont caption_font = font(body_pt, false, true);
    const double caption_height = this->caption_height(caption);
    y_ += mm(2);
    need(h + caption_height);
    if (painter_) {
      QtCanvas canvas(nullptr);
      canvas.set_background(Qt::white);
      canvas.resize(static_cast<int>(p.width / twips_per_pixel), static_cast<int>(p.height / twips_per_pixel));
      canvas.clear();
      p.draw(canvas);
      const QRectF target((width_ - w) / 2, y_, w, h);
      painter_->drawImage(target, canvas.image());
      painter_->setPen(QColor(128, 128, 128));
      painter_->drawRect(target);
      painter_->setFont(caption_font);
      painter_->setPen(Qt::black);
      painter_->drawText(QRectF(0, y_ + h, width_, caption_height), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         q(caption));
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
