#pragma once
// Form1 as a Qt widget: the three boxes, Timer1 and the failure report in
// Qt's terms around the shared tick path. Every figure comes from kForm1.
#include <QWidget>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "counter_call.h"
#include "form1.h"

QT_BEGIN_NAMESPACE
class QLineEdit;
class QTimer;
QT_END_NAMESPACE

namespace window {

class Form1Widget : public QWidget, public Form1Front {
  Q_OBJECT

 public:
  // `read_counter` lets a test stand in for the counter library.
  explicit Form1Widget(measure::CounterRead read_counter = measure::ReadTicks, QWidget* parent = nullptr);
  ~Form1Widget() override;

  // The shared tick path behind this window.
  Form1& form() { return *form_; }

  measure::MeterBoxes Boxes() override;
  void ArmTimer1(std::chrono::milliseconds delay) override;
  void StopTimer1() override;
  void ShowFailureReport(const std::string& message) override;
  void EndProgram(int exit_status) override;

 private:
  // The sampler's view of one QLineEdit.
  class LineEditBox : public measure::TextBox {
   public:
    explicit LineEditBox(QLineEdit* edit) : edit_(edit) {}
    bool ReplaceText(const std::string& text) override;

   private:
    QLineEdit* edit_;
  };

  struct BoxAdapters {
    LineEditBox cnt;
    LineEditBox onesamp;
    LineEditBox ave;
  };

  QLineEdit* Edit(std::string_view name) const;

  QTimer* timer1_;
  std::unique_ptr<BoxAdapters> boxes_;
  std::shared_ptr<Form1> form_;
};

}  // namespace window
