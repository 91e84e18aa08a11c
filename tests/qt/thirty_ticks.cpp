// The meter as its main runs it, with the real counter library beside it,
// closed like a user would close it after Timer1's 30th tick. Run under
// Valgrind to show that nothing of the program's own leaks.
#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "form1_widget.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  window::Form1Widget form1;
  form1.show();

  constexpr int kTicks = 30;
  int ticks = 0;
  auto deadline = form1.form().schedule().next_deadline();
  // Connected after the window's own handler: each tick has run when it is seen.
  QObject::connect(form1.findChild<QTimer*>("Timer1"), &QTimer::timeout, &form1, [&] {
    if (form1.form().schedule().next_deadline() == deadline) return;  // an early expiry, no tick
    deadline = form1.form().schedule().next_deadline();
    if (++ticks == kTicks) form1.close();
  });

  const int status = QApplication::exec();
  const measure::SamplerFields& fields = form1.form().fields();
  std::printf("%d ticks, %s samples accepted, exit status %d\n", ticks, fields.num.ToText().c_str(), status);
  return status == 0 && ticks == kTicks && fields.num.IsAboveZero() ? 0 : 1;
}
