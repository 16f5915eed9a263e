#include "ui/frmPreferences.h"
#include "support/DataRows.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

// The timing preferences: interval total and floor, the boxes' keyboard, and the timeout kept on close.
class TestFrmPreferences : public QObject {
    Q_OBJECT
    QStringList m_events; // "start N" and "stop", as raised
    QStringList m_stored; // the timeouts reported for storing
    ScriptedPrompter m_prompter;
    std::unique_ptr<frmPreferences> open(int entries) {
        m_events.clear();
        m_stored.clear();
        m_prompter = {};
        auto dialog = std::make_unique<frmPreferences>(entries, QStringLiteral("20"), m_prompter);
        connect(dialog.get(), &frmPreferences::TimerStarted, this,
                [this](qint32 s) { m_events << u"start " + QString::number(s); });
        connect(dialog.get(), &frmPreferences::TimerStop, this, [this] { m_events << QStringLiteral("stop"); });
        connect(dialog.get(), &frmPreferences::timeoutToSave, this, [this](const QString& t) { m_stored << t; });
        dialog->show();
        [&] {
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        }();
        return dialog;
    }

private slots:
    void interval_data() {
        // hms: typed into hours, minutes, seconds, "-" leaving a box as it is; yes: the answer to the floor
        // question; events: "ask COUNT/FLOOR" for the floor question, "refused" for a message
        columns<int, QString, bool, QString, QString>("entries", "hms", "yes", "total", "events");
        // clang-format off
        QTest::newRow("nothing typed")       << 10 << "-,-,-"     << true  << "0"        << "stop";
        QTest::newRow("84 of 85, yes")       << 10 << ",1,24"     << true  << "84s"      << "ask 10/85,start 85";
        QTest::newRow("84 of 85, no")        << 10 << ",1,24"     << false << "84s"      << "ask 10/85,stop";
        QTest::newRow("85 taken")            << 10 << ",1,25"     << false << "85s"      << "start 85";
        QTest::newRow("empty list")          << 0  << "-,-,4"     << true  << "4s"       << "ask 0/5,start 5";
        QTest::newRow("hms")                 << 0  << "1,2,5"     << true  << "3725s"    << "start 3725";
        QTest::newRow("no carry")            << 0  << ",99,"      << true  << "5940s"    << "start 5940";
        QTest::newRow("all cleared")         << 0  << ",,"        << true  << "0s"       << "stop";
        QTest::newRow("longest armable")     << 0  << "596,31,23" << true  << "2147483s" << "start 2147483";
        QTest::newRow("too long stays open") << 0  << "596,31,24" << true  << "2147484s" << "refused";
        // clang-format on
    }

    void interval() {
        const auto [entries, hms, yes, total, events] =
            fetch<int, QString, bool, QString, QString>("entries", "hms", "yes", "total", "events");
        const auto dialog = open(entries);
        m_prompter.answers << yes;
        const QStringList typed = hms.split(u',');
        for (int i = 0; i < 3; ++i) {
            if (typed[i] == u"-")
                continue;
            QLineEdit* box = dialog->txtHMS(2 - i);
            box->selectAll();
            QTest::keyClick(box, Qt::Key_Backspace);
            QTest::keyClicks(box, typed[i]);
        }
        QCOMPARE(dialog->lblTotale()->text(), total);
        QTest::mouseClick(dialog->cmdOK(), Qt::LeftButton);
        static const QRegularExpression floorNamed(
            QStringLiteral("presenti (\\d+) diversi url.*impostato a (\\d+) secondi."),
            QRegularExpression::DotMatchesEverythingOption);
        for (const ScriptedPrompter::Shown& shown : std::as_const(m_prompter.shown)) {
            const QRegularExpressionMatch named = floorNamed.match(shown.text);
            m_events.prepend(shown.title == u"Intervallo troppo breve!" && named.hasMatch()
                                 ? u"ask " + named.captured(1) + u'/' + named.captured(2)
                                 : QStringLiteral("refused"));
        }
        QCOMPARE(m_events.join(u','), events);
        QCOMPARE(dialog->isVisible(), events == u"refused");
    }

    void keyboard_data() {
        // box: 0..2 the interval boxes, 3 the timeout box; keys: pressed in turn; focus: where it is after each
        columns<int, QString, QString, QString>("box", "keys", "text", "focus");
        // clang-format off
        QTest::newRow("digit replaces the selection") << 1 << "7"         << "7"  << "txtHMS1";
        QTest::newRow("letter dropped")               << 1 << "A"         << "0"  << "txtHMS1";
        QTest::newRow("paste dropped")                << 0 << "Ctrl+V"    << "0"  << "txtHMS0";
        QTest::newRow("backspace stays")              << 2 << "Backspace" << ""   << "txtHMS2";
        QTest::newRow("enter in hours")               << 2 << "Return"    << "0"  << "txtHMS1";
        QTest::newRow("enter in seconds")             << 0 << "Enter"     << "0"  << "cmdOK";
        QTest::newRow("enter in timeout")             << 3 << "Return"    << "20" << "cmdOK";
        // The first arrow at an edge arms the move, the next one makes it; one latch of each kind serves every box.
        QTest::newRow("edge latches") << 1 << "Left Left Right Right Left Right Right Left" << "0"
            << "txtHMS1 txtHMS2 txtHMS2 txtHMS1 txtHMS1 txtHMS1 txtHMS0 txtHMS1";
        // clang-format on
    }

    void keyboard() {
        const auto [box, keys, text, focus] =
            fetch<int, QString, QString, QString>("box", "keys", "text", "focus");
        QApplication::clipboard()->setText(QStringLiteral("5"));
        const auto dialog = open(0);
        QLineEdit* target = box == 3 ? dialog->txtTimeout() : dialog->txtHMS(box);
        target->setFocus(Qt::TabFocusReason);
        if (box == 3)
            target->end(false);
        QStringList focused;
        for (const QString& key : keys.split(u' ')) {
            const QKeyCombination pressed = QKeySequence(key)[0];
            QTest::keyClick(QApplication::focusWidget(), pressed.key(), pressed.keyboardModifiers());
            focused << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(target->text(), text);
        QCOMPARE(focused.join(u' '), focus);
    }

    void timeout_data() {
        columns<QString, bool, QString, QString>("typed", "warned", "box", "stored");
        // clang-format off
        QTest::newRow("15")                     << "15"    << false << "15"    << "15";
        QTest::newRow("14")                     << "14"    << true  << "15"    << "15";
        QTest::newRow("not a number")           << "abc"   << false << "abc"   << "15";
        QTest::newRow("half to even, down")     << "20.5"  << false << "20.5"  << "20";
        QTest::newRow("half to even, up")       << "21.5"  << false << "21.5"  << "22";
        QTest::newRow("above the 16-bit range") << "40000" << false << "40000" << "32767";
        // clang-format on
    }

    void timeout() {
        const auto [typed, warned, box, stored] =
            fetch<QString, bool, QString, QString>("typed", "warned", "box", "stored");
        const auto dialog = open(3);
        dialog->txtTimeout()->setFocus(Qt::TabFocusReason);
        dialog->txtTimeout()->selectAll();
        QTest::keyClicks(dialog->txtTimeout(), typed);
        QTest::keyClick(dialog->txtTimeout(), Qt::Key_Tab);
        QCOMPARE(m_prompter.shown.size(), warned ? 1 : 0);
        QCOMPARE(dialog->txtTimeout()->text(), box);
        dialog->close(); // the close box: no schedule event, the timeout is still kept
        QCOMPARE(m_events, QStringList());
        QCOMPARE(m_stored, QStringList{stored});
    }
};

QTEST_MAIN(TestFrmPreferences)
#include "tst_frmpreferences.moc"
