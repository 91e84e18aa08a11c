#pragma once
// Stands in for the user at the meter's failure report: runs the event loop
// until the program ends, closing every report as it appears and noting what
// it said and whether Timer1 was still running behind it.
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>

struct FailureReportWatch {
  QStringList reports;  // "title: text", one per report shown
  bool timer1_active_during_report = false;
  // How long the user reads each report before closing it; Timer1's ticks
  // keep falling due meanwhile.
  int report_stands_for_ms = 0;

  // Runs `start` inside the event loop and returns the program's exit status.
  int RunUntilProgramEnds(QTimer* timer1, const std::function<void()>& start) {
    QTimer dismisser;
    QMessageBox* open_report = nullptr;
    QElapsedTimer open_for;
    QObject::connect(&dismisser, &QTimer::timeout, [&] {
      auto* report = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!report) return;
      if (report != open_report) {
        open_report = report;
        open_for.start();
        reports << report->windowTitle() + QStringLiteral(": ") + report->text();
      }
      timer1_active_during_report = timer1_active_during_report || timer1->isActive();
      if (open_for.elapsed() < report_stands_for_ms) return;
      open_report = nullptr;
      report->button(QMessageBox::Ok)->click();
    });
    dismisser.start(10);
    QTimer::singleShot(0, start);
    // A program that never ends fails the test rather than hanging it.
    QTimer::singleShot(15000, [] { QCoreApplication::exit(-1); });
    return QCoreApplication::exec();
  }
};
