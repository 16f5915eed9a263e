#include "support/DataRows.h"
#include "ui/frmSplash.h"

#include <QTest>

// The about window: the banner's colour cycle, the mail link, and what closes the window.
class TestFrmSplash : public QObject {
    Q_OBJECT
private slots:
    void bannerColours_data() {
        // drawn: invalid: the window's own text colour
        columns<int, QColor>("ticks", "drawn");
        QTest::newRow("first tick, initial colour") << 1 << QColor();
        QTest::newRow("step 0") << 2 << QColor(128, 128, 128);
        QTest::newRow("step 3, red just below a half") << 5 << QColor(191, 227, 232);
        QTest::newRow("step 9") << 11 << QColor(255, 186, 162);
        QTest::newRow("step 35") << 37 << QColor(106, 24, 3);
        QTest::newRow("cycle restarts") << 38 << QColor(128, 128, 128);
    }

    void bannerColours() {
        const auto [ticks, drawn] = fetch<int, QColor>("ticks", "drawn");
        frmSplash splash;
        for (int i = 0; i < ticks; ++i)
            splash.bannerTick();
        QCOMPARE(splash.bannerDrawnColour(),
                 drawn.isValid() ? drawn : splash.palette().color(QPalette::WindowText));
    }

    void closing_data() {
        // target: object clicked, or "key"
        columns<QString, bool>("target", "closes");
        QTest::newRow("key") << "key" << true;
        QTest::newRow("frame") << "Frame1" << true;
        QTest::newRow("logo") << "imgLogo" << true;
        QTest::newRow("authors") << "lblAuthors" << true;
        QTest::newRow("credits") << "txtInfo" << true;
        QTest::newRow("mail me") << "cbtMailMe" << false;
    }

    void closing() {
        const auto [target, closes] = fetch<QString, bool>("target", "closes");
        frmSplash splash;
        QStringList mailed;
        splash.setMailOpener([&](const QUrl& link) { mailed << link.toString(QUrl::FullyEncoded); });
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        if (target == u"key")
            QTest::keyClick(&splash, Qt::Key_Q);
        else
            QTest::mouseClick(splash.findChild<QWidget*>(target), Qt::LeftButton);
        QCOMPARE(splash.isVisible(), !closes);
        QCOMPARE(splash.isBannerRunning(), !closes);
        // Spaces and quotes reach the mail program percent-encoded.
        QCOMPARE(mailed.join(u' '),
                 closes ? QString()
                        : QStringLiteral("mailto:" QUOVEL_CONTACT_EMAIL "?Subject=Quovel&Body="
                                         "%22Ho%20provato%20Quovel%20e%20trovo%20che%20sia...%22"));
    }
};

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
