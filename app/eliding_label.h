// A status bar label that gives up the middle of its text, not the whole
// bar, when the window is narrow; the full text stays in its tooltip.
#pragma once

#include <QLabel>
#include <QPainter>

namespace grix {

class ElidingLabel : public QLabel {
  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override {
        return {fontMetrics().horizontalAdvance(QStringLiteral("Suites: ...")),
                QLabel::minimumSizeHint().height()};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
    }
};

}  // namespace grix
