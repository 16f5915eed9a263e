#include "schedule/frmPreferences.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// The timing preferences: interval total and floor, the boxes' keyboard, and the timeout kept on close.
class TestFrmPreferences : public QObject {
    Q_OBJECT
private slots:
    void interval_data();
    void interval();
    void keyboard_data();
    void keyboard();
    void edgeLatches();
    void timeout_data();
    void timeout();

private:
    // Everything the dialog reported: "start N", "stop", then "timeout T" on closing.
    QStringList m_events;
    void watch(frmPreferences& dialog) {
        m_events.clear();
        connect(&dialog, &frmPreferences::TimerStarted, this,
                [this](qint32 s) { m_events << u"start " + QString::number(s); });
        connect(&dialog, &frmPreferences::TimerStop, this, [this] { m_events << QStringLiteral("stop"); });
        connect(&dialog, &frmPreferences::timeoutToSave, this,
                [this](const QString& t) { m_events << u"timeout " + t; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
};

void TestFrmPreferences::interval_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("hms"); // typed into hours, minutes, seconds; "-" leaves the box as it is
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("asked"); // what the floor question names, "count/floor"
    QTest::addColumn<QString>("events");
    const QString none;
    QTest::newRow("nothing typed") << 10 << "-,-,-" << true << "0" << none << "stop,timeout 20";
    QTest::newRow("84 of 85, yes") << 10 << ",1,24" << true << "84s"
                                   << "10/85"
                                   << "start 85,timeout 20";
    QTest::newRow("84 of 85, no") << 10 << ",1,24" << false << "84s"
                                  << "10/85"
                                  << "stop,timeout 20";
    QTest::newRow("85 taken") << 10 << ",1,25" << false << "85s" << none << "start 85,timeout 20";
    QTest::newRow("empty list") << 0 << "-,-,4" << true << "4s"
                                << "0/5"
                                << "start 5,timeout 20";
    QTest::newRow("hms") << 0 << "1,2,5" << true << "3725s" << none << "start 3725,timeout 20";
    QTest::newRow("no carry") << 0 << ",99," << true << "5940s" << none << "start 5940,timeout 20";
    QTest::newRow("all cleared") << 0 << ",," << true << "0s" << none << "stop,timeout 20";
    QTest::newRow("longest armable") << 0 << "596,31,23" << true << "2147483s" << none
                                     << "start 2147483,timeout 20";
    QTest::newRow("too long stays open") << 0 << "596,31,24" << true << "2147484s" << none << "";
}

void TestFrmPreferences::interval() {
    QFETCH(int, entries);
    QFETCH(QString, hms);
    const QStringList boxes = hms.split(u',');
    QFETCH(bool, yes);
    QFETCH(QString, total);
    QFETCH(QString, asked);
    QFETCH(QString, events);
    ScriptedPrompter prompter;
    prompter.answers << yes;
    frmPreferences dialog(entries, QStringLiteral("20"), prompter);
    watch(dialog);
    for (int i = 0; i < 3; ++i) {
        if (boxes[i] == u"-")
            continue;
        QLineEdit* box = dialog.txtHMS(2 - i);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, boxes[i]);
    }
    QCOMPARE(dialog.lblTotale()->text(), total);
    QTest::mouseClick(dialog.cmdOK(), Qt::LeftButton);
    QCOMPARE(m_events.join(u','), events);
    QCOMPARE(dialog.isVisible(), events.isEmpty());
    if (!asked.isEmpty()) {
        const QStringList countFloor = asked.split(u'/');
        QCOMPARE(prompter.shown.value(0).title, QStringLiteral("Intervallo troppo breve!"));
        QVERIFY(prompter.shown[0].text.contains(u"presenti " + countFloor[0] + u" diversi url"));
        QVERIFY(prompter.shown[0].text.contains(u"impostato a " + countFloor[1] + u" secondi."));
    } else {
        QCOMPARE(prompter.shown.size(), events.isEmpty() ? 1 : 0); // the refusal of a too long interval
    }
}

void TestFrmPreferences::keyboard_data() {
    QTest::addColumn<int>("box"); // 0..2 the interval boxes, 3 the timeout box
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("focus");
    QTest::newRow("digit replaces the selection") << 1 << int(Qt::Key_7) << 0 << "7"
                                                  << "txtHMS1";
    QTest::newRow("letter dropped") << 1 << int(Qt::Key_A) << 0 << "0"
                                    << "txtHMS1";
    QTest::newRow("paste dropped") << 0 << int(Qt::Key_V) << int(Qt::ControlModifier) << "0"
                                   << "txtHMS0";
    QTest::newRow("backspace stays") << 2 << int(Qt::Key_Backspace) << 0 << ""
                                     << "txtHMS2";
    QTest::newRow("enter in hours") << 2 << int(Qt::Key_Return) << 0 << "0"
                                    << "txtHMS1";
    QTest::newRow("enter in minutes") << 1 << int(Qt::Key_Enter) << 0 << "0"
                                      << "txtHMS0";
    QTest::newRow("enter in seconds") << 0 << int(Qt::Key_Return) << 0 << "0"
                                      << "cmdOK";
    QTest::newRow("enter in timeout") << 3 << int(Qt::Key_Return) << 0 << "20"
                                      << "cmdOK";
    QTest::newRow("letters in timeout") << 3 << int(Qt::Key_A) << 0 << "20a"
                                        << "txtTimeout";
}

void TestFrmPreferences::keyboard() {
    QFETCH(int, box);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, focus);
    QApplication::clipboard()->setText(QStringLiteral("5"));
    ScriptedPrompter prompter;
    frmPreferences dialog(0, QStringLiteral("20"), prompter);
    watch(dialog);
    QLineEdit* target = box == 3 ? dialog.txtTimeout() : dialog.txtHMS(box);
    target->setFocus(Qt::TabFocusReason);
    if (box == 3)
        target->end(false);
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(target->text(), text);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
}

void TestFrmPreferences::edgeLatches() {
    ScriptedPrompter prompter;
    frmPreferences dialog(0, QStringLiteral("20"), prompter);
    watch(dialog);
    dialog.txtHMS(1)->setFocus(Qt::TabFocusReason);
    // The first arrow at an edge arms the move, the next one makes it; the latches serve every box.
    const struct {
        Qt::Key key;
        int focus;
    } steps[] = {{Qt::Key_Left, 1}, {Qt::Key_Left, 2},  {Qt::Key_Right, 2}, {Qt::Key_Right, 1},
                 {Qt::Key_Left, 1}, {Qt::Key_Right, 1}, {Qt::Key_Right, 0}, {Qt::Key_Left, 1}};
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key);
        QCOMPARE(QApplication::focusWidget(), dialog.txtHMS(step.focus));
    }
}

void TestFrmPreferences::timeout_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("warned");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("stored");
    QTest::newRow("15") << "15" << false << "15"
                        << "15";
    QTest::newRow("14") << "14" << true << "15"
                        << "15";
    QTest::newRow("not a number") << "abc" << false << "abc"
                                  << "15";
    QTest::newRow("half to even, down") << "20.5" << false << "20.5"
                                        << "20";
    QTest::newRow("half to even, up") << "21.5" << false << "21.5"
                                      << "22";
    QTest::newRow("above the 16-bit range") << "40000" << false << "40000"
                                            << "32767";
}

void TestFrmPreferences::timeout() {
    QFETCH(QString, typed);
    QFETCH(bool, warned);
    QFETCH(QString, box);
    QFETCH(QString, stored);
    ScriptedPrompter prompter;
    frmPreferences dialog(3, QStringLiteral("20"), prompter);
    watch(dialog);
    dialog.txtTimeout()->setFocus(Qt::TabFocusReason);
    dialog.txtTimeout()->selectAll();
    QTest::keyClicks(dialog.txtTimeout(), typed);
    QTest::keyClick(dialog.txtTimeout(), Qt::Key_Tab);
    QCOMPARE(prompter.shown.size(), warned ? 1 : 0);
    if (warned)
        QCOMPARE(prompter.shown[0].title, QStringLiteral("Attenzione!"));
    QCOMPARE(dialog.txtTimeout()->text(), box);
    dialog.close(); // the close box: no schedule event, the timeout is still kept
    QCOMPARE(m_events, QStringList{u"timeout " + stored});
}

QTEST_MAIN(TestFrmPreferences)
#include "tst_frmpreferences.moc"
