#include "StatusLabel.h"

#include <QCoreApplication>
#include <QLabel>

namespace rzt::ui {

namespace {
// Painting on every event of a large run would cost more than the analysis.
constexpr qint64 kPaintIntervalMs = 40;
}  // namespace

void StatusLabel::setText(const std::string& text) {
  label_.setText(QString::fromStdString(text));
  if (!live_) return;
  if (sincePaint_.isValid() && sincePaint_.elapsed() < kPaintIntervalMs) return;
  sincePaint_.start();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void StatusLabel::setLive(bool live) {
  live_ = live;
  sincePaint_.invalidate();
}

std::string StatusLabel::text() const { return label_.text().toStdString(); }

}  // namespace rzt::ui
