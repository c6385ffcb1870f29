#include "app/proportional_scaler.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QHeaderView>
#include <QLayout>
#include <QList>
#include <QVariant>
#include <cmath>

namespace velmora::app {
namespace {

constexpr const char* kDesignGeometry = "velmoraDesignGeometry";
constexpr const char* kDesignFont = "velmoraDesignFont";
constexpr const char* kDesignColumns = "velmoraDesignColumns";
constexpr const char* kDesignFixed = "velmoraDesignFixed";

int Scaled(int design, double scale) {
  return static_cast<int>(std::lround(design * scale));
}

QRect ScaledRect(const QRect& design, double scale) {
  // Scaling the edges rather than the size keeps neighbouring widgets touching.
  const int left = Scaled(design.left(), scale);
  const int top = Scaled(design.top(), scale);
  const int right = Scaled(design.left() + design.width(), scale);
  const int bottom = Scaled(design.top() + design.height(), scale);
  return {left, top, right - left, bottom - top};
}

// A widget a layout places gets its geometry from the layout, not from us.
bool PlacedByLayout(const QWidget& widget) {
  const QWidget* parent = widget.parentWidget();
  return parent != nullptr && parent->layout() != nullptr && parent->layout()->indexOf(&widget) >= 0;
}

QFont ScaledFont(QFont font, double scale) {
  if (font.pixelSize() > 0) {
    font.setPixelSize(std::max(1, Scaled(font.pixelSize(), scale)));
  } else if (font.pointSizeF() > 0) {
    font.setPointSizeF(font.pointSizeF() * scale);
  }
  return font;
}

constexpr const char* kColumnFactor = "velmoraColumnFactor";

QHeaderView* ColumnHeader(QAbstractItemView& view) {
  QHeaderView* header = nullptr;
  for (QHeaderView* candidate : view.findChildren<QHeaderView*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (candidate->orientation() == Qt::Horizontal) {
      header = candidate;
    }
  }
  return header;
}

double ColumnFactor(const QAbstractItemView& view) {
  const QVariant factor = view.property(kColumnFactor);
  return factor.isValid() ? factor.toDouble() : 1.0;
}

// The design widths, taken from the shown ones at the factor they were shown at when first met. A hidden
// column shows 0 then; it gets its design width when its owner gives it one.
QList<double> DesignColumns(QAbstractItemView& view, const QHeaderView& header) {
  QList<double> design = view.property(kDesignColumns).value<QList<double>>();
  if (design.size() != header.count()) {
    design.clear();
    for (int column = 0; column < header.count(); ++column) {
      design.append(header.sectionSize(column) / ColumnFactor(view));
    }
    view.setProperty(kDesignColumns, QVariant::fromValue(design));
  }
  return design;
}

void ScaleColumns(QAbstractItemView& view, double factor) {
  QHeaderView* header = ColumnHeader(view);
  if (header == nullptr || header->count() == 0) {
    return;
  }
  const QList<double> design = DesignColumns(view, *header);
  view.setProperty(kColumnFactor, factor);
  for (int column = 0; column < header->count(); ++column) {
    // Resizing a hidden section would show it; it keeps its design width for when it comes back.
    if (!header->isSectionHidden(column)) {
      header->resizeSection(column, static_cast<int>(design[column] * factor));
    }
  }
}

}  // namespace

void TProportionalScaler::SetShownColumnWidth(QAbstractItemView& view, int column, int width) {
  QHeaderView* header = ColumnHeader(view);
  if (header == nullptr || column < 0 || column >= header->count()) {
    return;
  }
  QList<double> design = DesignColumns(view, *header);
  design[column] = width / ColumnFactor(view);
  view.setProperty(kDesignColumns, QVariant::fromValue(design));
  if (!header->isSectionHidden(column)) {
    header->resizeSection(column, width);
  }
}

double TProportionalScaler::TruncatedRatio(double factor) {
  return std::trunc(factor * 1000000.0) / 1000000.0;
}

QRect TProportionalScaler::DesignGeometry(QWidget& widget) {
  const QVariant recorded = widget.property(kDesignGeometry);
  if (!recorded.isValid()) {
    // A widget met for the first time stands where its creator put it at design size.
    widget.setProperty(kDesignGeometry, widget.geometry());
    widget.setProperty(kDesignFixed,
                       widget.minimumSize() == widget.maximumSize() && widget.minimumSize() == widget.size());
    return widget.geometry();
  }
  return recorded.toRect();
}

void TProportionalScaler::SetDesignGeometry(QWidget& widget, const QRect& design) {
  widget.setProperty(kDesignGeometry, design);
  widget.setGeometry(ScaledRect(design, scale_));
}

void TProportionalScaler::ScaleTo(double scale, double column_factor) {
  scale_ = scale;
  column_factor_ = column_factor;
  Scale(root_, true);
}

void TProportionalScaler::Scale(QWidget& widget, bool is_root) {
  const QRect design = DesignGeometry(widget);
  if (!PlacedByLayout(widget)) {
    // A fixed-size widget keeps its fixed size at every scale.
    if (widget.property(kDesignFixed).toBool()) {
      widget.setFixedSize(ScaledRect(design, scale_).size());
    }
    widget.setGeometry(ScaledRect(design, scale_));
  }

  QVariant font = widget.property(kDesignFont);
  if (!font.isValid() && (is_root || widget.testAttribute(Qt::WA_SetFont))) {
    font = widget.font();
    widget.setProperty(kDesignFont, font);
  }
  if (font.isValid()) {
    widget.setFont(ScaledFont(font.value<QFont>(), scale_));
  }

  if (auto* view = qobject_cast<QAbstractItemView*>(&widget)) {
    ScaleColumns(*view, column_factor_);
  }
  // A scroll area's inner parts (viewport, bars, header) are its own business.
  if (qobject_cast<QAbstractScrollArea*>(&widget) != nullptr) {
    return;
  }
  for (QWidget* child : widget.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (!child->isWindow()) {
      Scale(*child, false);
    }
  }
}

}  // namespace velmora::app
