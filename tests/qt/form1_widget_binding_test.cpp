// The Qt front through the real counter call and real ticks of Timer1. Each
// test function runs in a program of its own, in a folder with the scripted
// counter library beside it or with none.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "failure_report_watch.h"
#include "form1_widget.h"

using window::Form1Widget;

namespace {

struct TickSeen {
  qint64 after_ms;    // since the window was created
  QStringList texts;  // cnt, onesamp, ave once the tick is over
};

// Notes every tick of Timer1 that ran (an early expiry only re-arms it).
class TickLog {
 public:
  explicit TickLog(Form1Widget& widget) : widget_(widget), deadline_(widget.form().schedule().next_deadline()) {
    since_creation_.start();
    // Connected after the window's own handler, so it sees each tick's result.
    QObject::connect(widget.findChild<QTimer*>("Timer1"), &QTimer::timeout, &widget, [this] { Note(); });
  }

  QList<TickSeen> ticks;

 private:
  void Note() {
    const auto deadline = widget_.form().schedule().next_deadline();
    if (deadline == deadline_) return;
    deadline_ = deadline;
    QStringList texts;
    for (const char* name : {"cnt", "onesamp", "ave"}) texts << widget_.findChild<QLineEdit*>(name)->text();
    ticks << TickSeen{since_creation_.elapsed(), texts};
  }

  Form1Widget& widget_;
  window::Form1::Clock::time_point deadline_;
  QElapsedTimer since_creation_;
};

}  // namespace

class Form1WidgetBindingTest : public QObject {
  Q_OBJECT

 private slots:
  void scriptedReadingsOnRealTicks();
  void missingLibraryIsReportedOnce();
  void libraryWithoutReadTicksIsReportedOnce();
  void unloadableLibraryIsReportedOnce();

 private:
  void ExpectOneReportNaming(const QStringList& names, int report_stands_for_ms = 0);
};

// Run with VANTREL_SCRIPT=100,100,1100,2147483600,50,-2147483648,2147483647:
// a dropped sample, a wrap, a correction still below zero and the full span.
void Form1WidgetBindingTest::scriptedReadingsOnRealTicks() {
  Form1Widget widget;
  TickLog log(widget);
  widget.show();

  const QList<QStringList> expected{
      {"", "", ""},
      {"", "", ""},
      {"1", "1000", "1000"},
      {"2", "2147482500", "1073741750"},
      {"3", "97", "715827865"},
      {"3", "97", "715827865"},
      {"4", "4294967295", "1610612723"},
  };
  QTRY_COMPARE_WITH_TIMEOUT(log.ticks.size(), expected.size(), 10000);
  for (qsizetype k = 0; k < log.ticks.size(); ++k) {
    QCOMPARE(log.ticks[k].texts, expected[k]);
    // Each tick keeps to its deadline, creation + k * 1000 ms, never earlier.
    QVERIFY2(log.ticks[k].after_ms >= 1000 * (k + 1), qPrintable(QString::number(log.ticks[k].after_ms)));
  }
}

// The first tick fails to bind the counter library: one report holding each
// of `names`, shown with Timer1 stopped, no box written, and exit status 1
// once the report is closed.
void Form1WidgetBindingTest::ExpectOneReportNaming(const QStringList& names, int report_stands_for_ms) {
  Form1Widget widget;
  TickLog log(widget);
  widget.show();

  FailureReportWatch watch;
  watch.report_stands_for_ms = report_stands_for_ms;
  const int status = watch.RunUntilProgramEnds(widget.findChild<QTimer*>("Timer1"), [] {});
  QCOMPARE(status, 1);
  QCOMPARE(watch.reports.size(), 1);
  QVERIFY2(watch.reports[0].startsWith("tickmeter: "), qPrintable(watch.reports[0]));
  for (const QString& name : names) QVERIFY2(watch.reports[0].contains(name), qPrintable(watch.reports[0]));
  QVERIFY(!watch.timer1_active_during_report);
  QCOMPARE(log.ticks.size(), 1);
  QVERIFY(log.ticks[0].after_ms >= 1000);
  QCOMPARE(log.ticks[0].texts, QStringList({"", "", ""}));
}

// Run with no Vantrel.dll beside the program (one in the current directory
// included).
void Form1WidgetBindingTest::missingLibraryIsReportedOnce() { ExpectOneReportNaming({"\"Vantrel.dll\""}); }

// Run with the no_read_ticks library beside the program. The report stands
// for 2.5 s, while further ticks fall due: still one report.
void Form1WidgetBindingTest::libraryWithoutReadTicksIsReportedOnce() {
  ExpectOneReportNaming({"\"Vantrel.dll\"", "\"ReadTicks\""}, 2500);
}

// Run with a Vantrel.dll beside the program that the loader refuses.
void Form1WidgetBindingTest::unloadableLibraryIsReportedOnce() { ExpectOneReportNaming({"\"Vantrel.dll\""}); }

QTEST_MAIN(Form1WidgetBindingTest)
#include "form1_widget_binding_test.moc"
