// tickmeter: the meter window on Qt 6 Widgets.
#include <QApplication>
#include <QIcon>

#include "form1_widget.h"

int main(int argc, char* argv[]) {
  // The meter takes no command line: Qt sees only the program's name.
  int qt_argc = argc > 0 ? 1 : 0;
  QApplication app(qt_argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/tickmeter.png")));
  window::Form1Widget form1;
  form1.show();
  return QApplication::exec();
}
