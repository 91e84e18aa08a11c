#include "form1_widget.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QTimer>

#include "form_description.h"

namespace window {
namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A rectangle of kForm1 in this widget's logical pixels, each axis at its own DPI.
QRect ToQRect(const TwipsRect& twips, const QWidget& widget) {
  const PixelRect x = ToPixels(twips, widget.logicalDpiX());
  const PixelRect y = ToPixels(twips, widget.logicalDpiY());
  return QRect(x.left, y.top, x.width, y.height);
}

}  // namespace

Form1Widget::Form1Widget(measure::CounterRead read_counter, QWidget* parent)
    : QWidget(parent), timer1_(new QTimer(this)) {
  setObjectName(ToQString(kForm1.name));
  setWindowTitle(ToQString(kForm1.caption));
  static_assert(kForm1.background_system_colour == kSystemColourHighlight);
  QPalette background = palette();
  background.setColor(QPalette::Window, background.color(QPalette::Highlight));
  setPalette(background);
  setAutoFillBackground(true);
  // A top-level widget's geometry is its client area.
  setGeometry(ToQRect(kForm1.client_area, *this));

  timer1_->setObjectName(ToQString(kForm1.timer_name));
  timer1_->setSingleShot(true);
  timer1_->setTimerType(Qt::PreciseTimer);
#ifdef TICKMETER_NAIVE_TIMER
  // The benchmarks' baseline, never shipped: Timer1 fires unheeded and a plain
  // periodic 1000 ms QTimer at Qt's default (coarse) precision drives every tick.
  auto* naive_timer = new QTimer(this);
  connect(naive_timer, &QTimer::timeout, this, [this] { form_->OnTimer1(form_->schedule().next_deadline()); });
  naive_timer->start(kForm1.timer_interval);
#else
  connect(timer1_, &QTimer::timeout, this, [this] { form_->OnTimer1(); });
#endif

  // Plain geometry, no layout: the boxes keep their place when the window is resized.
  for (const DisplayBoxDescription& box : kForm1.boxes) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(ToQString(box.name));
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setGeometry(ToQRect(box.rect, *this));
  }
  const auto tab_order = BoxesInTabOrder(kForm1);
  for (std::size_t i = 1; i < tab_order.size(); ++i)
    setTabOrder(Edit(tab_order[i - 1].name), Edit(tab_order[i].name));

  boxes_.reset(new BoxAdapters{LineEditBox(Edit("cnt")), LineEditBox(Edit("onesamp")), LineEditBox(Edit("ave"))});
  form_ = Form1::Create(*this, std::move(read_counter));
}

Form1Widget::~Form1Widget() = default;

QLineEdit* Form1Widget::Edit(std::string_view name) const {
  return findChild<QLineEdit*>(ToQString(name), Qt::FindDirectChildrenOnly);
}

measure::MeterBoxes Form1Widget::Boxes() { return {boxes_->cnt, boxes_->onesamp, boxes_->ave}; }

void Form1Widget::ArmTimer1(std::chrono::milliseconds delay) { timer1_->start(delay); }

void Form1Widget::StopTimer1() { timer1_->stop(); }

void Form1Widget::ShowFailureReport(const std::string& message) {
  QMessageBox::critical(this, QStringLiteral("tickmeter"), QString::fromStdString(message));
}

void Form1Widget::EndProgram(int exit_status) { QCoreApplication::exit(exit_status); }

bool Form1Widget::LineEditBox::ReplaceText(const std::string& text) {
  const QString new_text = QString::fromStdString(text);
  edit_->setText(new_text);
  return edit_->text() == new_text;
}

}  // namespace window
