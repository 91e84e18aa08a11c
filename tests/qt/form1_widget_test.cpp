// The Qt front of Form1 on the offscreen platform, with counter readings
// handed in by the test and ticks driven past their deadlines.
#include <QLineEdit>
#include <QPalette>
#include <QTest>
#include <QTimer>

#include <deque>

#include "failure_report_watch.h"
#include "form1_widget.h"
#include "form_description.h"
#include "runtime_error.h"

using window::Form1Widget;

namespace {

using Readings = QList<qint32>;

// Plays back readings, one per call.
struct ScriptedCounter {
  std::deque<qint32> readings;
  measure::CounterRead reader() {
    return [this] {
      if (readings.empty()) throw measure::RuntimeError("No reading left in the test's script.");
      const qint32 reading = readings.front();
      readings.pop_front();
      return reading;
    };
  }
};

QLineEdit* Box(const Form1Widget& widget, const QString& name) {
  return widget.findChild<QLineEdit*>(name, Qt::FindDirectChildrenOnly);
}

QStringList Texts(const Form1Widget& widget) {
  return {Box(widget, "cnt")->text(), Box(widget, "onesamp")->text(), Box(widget, "ave")->text()};
}

QTimer* Timer1(const Form1Widget& widget) { return widget.findChild<QTimer*>("Timer1"); }

// One tick of Timer1 at its deadline, without waiting for it in real time.
void Tick(Form1Widget& widget) { widget.form().OnTimer1(widget.form().schedule().next_deadline()); }

// Feeds each reading to one tick.
void TickThrough(Form1Widget& widget, ScriptedCounter& counter, const Readings& readings) {
  for (qint32 reading : readings) {
    counter.readings.push_back(reading);
    Tick(widget);
  }
}

const QStringList kEmptyBoxes{"", "", ""};

}  // namespace

class Form1WidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void layoutInPixels_data();
  void layoutInPixels();
  void boxesKeepTheirPlaceOnResize();
  void windowSettings();
  void timer1RunsFromCreation();
  void tabOrder_data();
  void tabOrder();
  void textsAfterReadings_data();
  void textsAfterReadings();
  void typedTextStaysUntilNextAcceptedSample_data();
  void typedTextStaysUntilNextAcceptedSample();
  void failureIsReportedOnceAndEndsTheProgram_data();
  void failureIsReportedOnceAndEndsTheProgram();
  void closingBeforeTheFirstTickEndsWithoutReading();
};

void Form1WidgetTest::layoutInPixels_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("at96dpi");  // for Form1 its client area on the screen

  QTest::newRow("Form1") << "Form1" << QRect(130, 122, 196, 36);
  QTest::newRow("onesamp") << "onesamp" << QRect(48, 8, 65, 19);
  QTest::newRow("ave") << "ave" << QRect(120, 8, 65, 19);
  QTest::newRow("cnt") << "cnt" << QRect(8, 8, 33, 19);
}

void Form1WidgetTest::layoutInPixels() {
  QFETCH(QString, name);
  QFETCH(QRect, at96dpi);

  Form1Widget widget([] { return 0; });
  QCOMPARE(widget.logicalDpiX(), 96);
  QCOMPARE(widget.logicalDpiY(), 96);
  widget.show();
  QVERIFY(QTest::qWaitForWindowExposed(&widget));

  const QWidget* item = name == "Form1" ? static_cast<QWidget*>(&widget) : Box(widget, name);
  QVERIFY(item);
  QCOMPARE(item->geometry(), at96dpi);
}

void Form1WidgetTest::boxesKeepTheirPlaceOnResize() {
  Form1Widget widget([] { return 0; });
  widget.show();
  QVERIFY(QTest::qWaitForWindowExposed(&widget));
  const auto places = [&widget] {
    QList<QRect> rects;
    for (const char* name : {"cnt", "onesamp", "ave"}) rects << Box(widget, name)->geometry();
    return rects;
  };
  const QList<QRect> before = places();

  for (const QSize& size : {QSize(600, 300), QSize(60, 20)}) {
    widget.resize(size);
    QTRY_COMPARE(widget.size(), size);
    QCOMPARE(places(), before);
  }
}

void Form1WidgetTest::windowSettings() {
  Form1Widget widget([] { return 0; });
  QCOMPARE(widget.windowTitle(), QString("Form1"));
  QCOMPARE(widget.objectName(), QString("Form1"));
  QVERIFY(widget.autoFillBackground());
  QCOMPARE(widget.palette().color(QPalette::Window), widget.palette().color(QPalette::Highlight));
  QVERIFY(widget.palette().color(QPalette::Window) != QApplication::palette().color(QPalette::Window));

  // Set up in this order, each a right-aligned, editable box.
  QStringList boxes;
  for (const QObject* child : widget.children()) {
    const auto* box = qobject_cast<const QLineEdit*>(child);
    if (!box) continue;
    boxes << box->objectName();
    QCOMPARE(box->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    QVERIFY(!box->isReadOnly());
    QVERIFY(box->isEnabled());
  }
  QCOMPARE(boxes, QStringList({"onesamp", "ave", "cnt"}));
}

void Form1WidgetTest::timer1RunsFromCreation() {
  Form1Widget widget([] { return 0; });
  QTimer* timer1 = Timer1(widget);
  QVERIFY(timer1);
  QVERIFY(timer1->isActive());
  QVERIFY(timer1->isSingleShot());
  QCOMPARE(timer1->timerType(), Qt::PreciseTimer);
  // Armed a little ahead of the deadline; the tick waits out the rest.
  QCOMPARE(timer1->interval(), 996);

  Tick(widget);
  QVERIFY(timer1->isActive());
  QCOMPARE(timer1->interval(), 996);
}

void Form1WidgetTest::tabOrder_data() {
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addColumn<QStringList>("focus");

  QTest::newRow("Tab") << Qt::KeyboardModifiers() << QStringList({"cnt", "ave", "onesamp", "cnt"});
  QTest::newRow("Shift+Tab") << Qt::KeyboardModifiers(Qt::ShiftModifier)
                             << QStringList({"cnt", "onesamp", "ave", "cnt"});
}

void Form1WidgetTest::tabOrder() {
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QFETCH(QStringList, focus);

  Form1Widget widget([] { return 0; });
  widget.show();
  QApplication::setActiveWindow(&widget);
  QVERIFY(QTest::qWaitForWindowActive(&widget));
  Box(widget, focus.first())->setFocus();

  QStringList visited{QApplication::focusWidget()->objectName()};
  for (qsizetype i = 1; i < focus.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
    visited << QApplication::focusWidget()->objectName();
  }
  QCOMPARE(visited, focus);
}

void Form1WidgetTest::textsAfterReadings_data() {
  QTest::addColumn<Readings>("readings");  // one per tick
  QTest::addColumn<QStringList>("texts");  // cnt, onesamp, ave

  QTest::newRow("at creation") << Readings{} << kEmptyBoxes;
  QTest::newRow("first tick only primes") << Readings{5} << kEmptyBoxes;
  QTest::newRow("equal readings are dropped") << Readings{100, 100} << kEmptyBoxes;
  QTest::newRow("next sample covers one interval") << Readings{100, 100, 1100} << QStringList({"1", "1000", "1000"});
  QTest::newRow("wrap is corrected once") << Readings{2147483600, 50} << QStringList({"1", "97", "97"});
  QTest::newRow("full span without wrap-around") << Readings{-2147483647 - 1, 2147483647}
                                                 << QStringList({"1", "4294967295", "4294967295"});
  QTest::newRow("average is rounded down") << Readings{0, 1000, 3000, 3001} << QStringList({"3", "1", "1000"});
  QTest::newRow("total past 2^31") << Readings{0, 2000000000, 0, 2000000000}
                                   << QStringList({"3", "2000000000", "1382494549"});
}

void Form1WidgetTest::textsAfterReadings() {
  QFETCH(Readings, readings);
  QFETCH(QStringList, texts);

  ScriptedCounter counter;
  Form1Widget widget(counter.reader());
  widget.show();
  TickThrough(widget, counter, readings);
  QCOMPARE(Texts(widget), texts);
}

void Form1WidgetTest::typedTextStaysUntilNextAcceptedSample_data() {
  QTest::addColumn<Readings>("before");  // ticks before the user types
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<Readings>("after");     // ticks after
  QTest::addColumn<QStringList>("texts");  // cnt, onesamp, ave

  QTest::newRow("through the priming tick") << Readings{} << "cnt" << "42" << Readings{100}
                                            << QStringList({"42", "", ""});
  QTest::newRow("replaced by the first sample") << Readings{} << "ave" << "hello" << Readings{100, 1100}
                                                << QStringList({"1", "1000", "1000"});
  QTest::newRow("kept through a dropped sample") << Readings{100, 1100} << "onesamp" << "7" << Readings{1100}
                                                 << QStringList({"1", "10007", "1000"});
  QTest::newRow("measurement goes on underneath") << Readings{100, 1100} << "cnt" << "x" << Readings{1100, 1600}
                                                  << QStringList({"2", "500", "750"});
}

void Form1WidgetTest::typedTextStaysUntilNextAcceptedSample() {
  QFETCH(Readings, before);
  QFETCH(QString, box);
  QFETCH(QString, typed);
  QFETCH(Readings, after);
  QFETCH(QStringList, texts);

  ScriptedCounter counter;
  Form1Widget widget(counter.reader());
  widget.show();
  QApplication::setActiveWindow(&widget);
  QVERIFY(QTest::qWaitForWindowActive(&widget));
  TickThrough(widget, counter, before);

  QLineEdit* edit = Box(widget, box);
  edit->setFocus();
  edit->end(false);
  const QString typed_text = edit->text() + typed;
  QTest::keyClicks(edit, typed);
  QCOMPARE(edit->text(), typed_text);

  TickThrough(widget, counter, after);
  QCOMPARE(Texts(widget), texts);
}

void Form1WidgetTest::failureIsReportedOnceAndEndsTheProgram_data() {
  QTest::addColumn<Readings>("readings");  // a tick past the end of them finds no counter
  QTest::addColumn<QString>("narrowBox");  // a box too short for its text, if any
  QTest::addColumn<int>("ticks");
  QTest::addColumn<QString>("report");
  QTest::addColumn<QStringList>("texts");

  QTest::newRow("no counter at the first tick")
      << Readings{} << "" << 3 << "tickmeter: No reading left in the test's script." << kEmptyBoxes;
  QTest::newRow("ave refuses its text")
      << Readings{100, 1100} << "ave" << 3 << "tickmeter: The box \"ave\" refused its new text."
      << QStringList({"1", "1000", "10"});
}

void Form1WidgetTest::failureIsReportedOnceAndEndsTheProgram() {
  QFETCH(Readings, readings);
  QFETCH(QString, narrowBox);
  QFETCH(int, ticks);
  QFETCH(QString, report);
  QFETCH(QStringList, texts);

  ScriptedCounter counter;
  counter.readings.assign(readings.begin(), readings.end());
  Form1Widget widget(counter.reader());
  if (!narrowBox.isEmpty()) Box(widget, narrowBox)->setMaxLength(2);
  widget.show();

  FailureReportWatch watch;
  const int status = watch.RunUntilProgramEnds(Timer1(widget), [&] {
    // Ticks already due when the failure stops Timer1 do nothing.
    for (int i = 0; i < ticks; ++i) Tick(widget);
  });
  QCOMPARE(status, 1);
  QCOMPARE(watch.reports, QStringList{report});
  QVERIFY(!watch.timer1_active_during_report);
  QVERIFY(!Timer1(widget)->isActive());
  QCOMPARE(Texts(widget), texts);
}

void Form1WidgetTest::closingBeforeTheFirstTickEndsWithoutReading() {
  int reads = 0;
  Form1Widget widget([&reads] { return ++reads; });
  widget.show();
  QVERIFY(QTest::qWaitForWindowExposed(&widget));

  FailureReportWatch watch;
  const int status = watch.RunUntilProgramEnds(Timer1(widget), [&widget] { widget.close(); });
  QCOMPARE(status, 0);
  QCOMPARE(reads, 0);
  QVERIFY(watch.reports.isEmpty());
}

QTEST_MAIN(Form1WidgetTest)
#include "form1_widget_test.moc"
