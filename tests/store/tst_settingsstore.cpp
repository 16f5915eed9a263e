#include "store/SecretStore.h"
#include "store/SettingsStore.h"
#include "support/DataRows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestSettingsStore : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString iniPath() const { return m_dir->filePath(u"Quovel.conf"_qs); }
    QString timeout() const {
        return SettingsStore::atPath(iniPath()).get(SettingKeys::kSettings, Settings::kTimeout.name(),
                                                    u"default"_qs);
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void saveThenGet_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("section sign") << u"§"_qs;
        QTest::newRow("commas and blanks") << u" a, b ,c "_qs;
        QTest::newRow("INI specials") << u"[x]=;#\"\\ @y"_qs;
        QTest::newRow("leading @") << u"@Variant(\\0)"_qs;
        QTest::newRow("line break") << u"a\r\nb"_qs;
        QTest::newRow("empty") << QString();
    }
    void saveThenGet() {
        QFETCH(QString, text);
        SettingsStore store = SettingsStore::atPath(iniPath());
        QCOMPARE(timeout(), u"default"_qs);
        QVERIFY(store.save(SettingKeys::kSettings, Settings::kTimeout.name(), text));
        // Read by a new instance while the first one lives: the value must be on disk at once.
        QCOMPARE(timeout(), text);
        QCOMPARE(store.get(SettingKeys::kMainWindow, Settings::kTimeout.name(), u"none"_qs), u"none"_qs);
    }

    void checkOptions_data() {
        // text: Timeout, Parallel, MaxTextBytes and HistoryVersions alike
        columns<QString, int, int, qint64, int>("text", "timeout", "parallel", "textBytes", "versions");
        const qint64 floor = 64 * 1024;
        QTest::newRow("not set: defaults") << QString() << 15 << 6 << qint64(8 * 1024 * 1024) << 10;
        QTest::newRow("blanks around a number") << u" 20 "_qs << 20 << 20 << floor << 20;
        QTest::newRow("zero: each at its minimum") << u"0"_qs << 15 << 1 << floor << 1;
        QTest::newRow("negative") << u"-3"_qs << 15 << 1 << floor << 1;
        QTest::newRow("not a whole number: defaults") << u"2.5"_qs << 15 << 6 << qint64(8 * 1024 * 1024) << 10;
        QTest::newRow("large: parallel capped") << u"100"_qs << 100 << 64 << floor << 100;
        QTest::newRow("huge: each at its maximum")
            << u"99999999999"_qs << 32767 << 64 << qint64(256 * 1024 * 1024) << 1000;
    }
    void checkOptions() {
        const auto [text, timeout, parallel, textBytes, versions] =
            fetch<QString, int, int, qint64, int>("text", "timeout", "parallel", "textBytes", "versions");
        SettingsStore store = SettingsStore::atPath(iniPath());
        if (!text.isNull()) {
            for (const Setting& s :
                 {Settings::kTimeout, Settings::kParallel, Settings::kMaxTextBytes, Settings::kHistoryVersions})
                QVERIFY(store.save(SettingKeys::kSettings, s.name(), text));
        }
        const CheckOptions options = store.checkOptions();
        QCOMPARE(options.timeoutSeconds, timeout);
        QCOMPARE(options.parallel, parallel);
        QCOMPARE(options.maxTextBytes, textBytes);
        QCOMPARE(store.number(Settings::kHistoryVersions), versions);
    }

    void networkSettings_data() {
        columns<QString, QString, QString, int, int, int>("every", "delay", "proxy", "fullEvery", "delayMs",
                                                          "mode");
        using P = NetworkOptions::Proxy;
        QTest::newRow("not set: defaults") << QString() << QString() << QString() << 10 << 0 << int(P::System);
        QTest::newRow("below: brought up") << u"0"_qs << u"-5"_qs << u" None "_qs << 1 << 0 << int(P::None);
        QTest::newRow("above: brought down")
            << u"5000"_qs << u"700000"_qs << u"proxy.lan:3128"_qs << 1000 << 600000 << int(P::Manual);
        QTest::newRow("no numbers: defaults")
            << u"x"_qs << u"x"_qs << u"proxy.lan"_qs << 10 << 0 << int(P::System);
    }
    void networkSettings() {
        const auto [every, delay, proxy, fullEvery, delayMs, mode] =
            fetch<QString, QString, QString, int, int, int>("every", "delay", "proxy", "fullEvery", "delayMs",
                                                            "mode");
        SettingsStore store = SettingsStore::atPath(iniPath());
        if (!every.isNull()) {
            QVERIFY(store.save(SettingKeys::kSettings, Settings::kFullRequestEvery.name(), every));
            QVERIFY(store.save(SettingKeys::kSettings, Settings::kHostDelayMs.name(), delay));
            QVERIFY(store.save(SettingKeys::kSettings, SettingKeys::kProxy, proxy));
        }
        const CheckOptions options = store.checkOptions();
        QCOMPARE(options.fullRequestEvery, fullEvery);
        QCOMPARE(options.network.hostDelayMs, delayMs);
        QCOMPARE(int(options.network.proxy), mode);
    }

    // Secrets live in a file of the user's alone, follow a site's URL, and never go through a planted link.
    void secrets() {
        const QString path = SecretStore::besideSettings(iniPath());
        const QString elsewhere = m_dir->filePath(u"elsewhere"_qs);
        QVERIFY(QFile::link(elsewhere, path));
        SecretStore store(path);
        QVERIFY(store.setLines(u"http://a/"_qs, {u"Cookie: s=1"_qs}).ok());
        QVERIFY(!QFileInfo(path).isSymLink() && !QFile::exists(elsewhere));
        QCOMPARE(QFileInfo(path).permissions() & 0x0777, QFile::ReadUser | QFile::WriteUser);
        QVERIFY(store.rekey(u"http://a/"_qs, u"http://b/"_qs).ok());
        QCOMPARE(SecretStore(path).read(), (SecretHeaders{{u"http://b/"_qs, {u"Cookie: s=1"_qs}}}));
        QVERIFY(store.setLines(u"http://b/"_qs, {}).ok());
        QVERIFY(SecretStore(path).read().isEmpty());
    }

    void corruptFileGivesDefaults_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("NUL bytes") << QByteArray(1000, '\0');
        QTest::newRow("unclosed section") << QByteArray("[Settings\nTimeout\n");
        QTest::newRow("bad variant") << QByteArray(
            "[Settings]\nTimeout=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10zz)\n");
        QTest::newRow("UTF-16") << QByteArray("\xff\xfe[\0S\0]\0", 8);
        QTest::newRow("a folder in its place: saving fails") << QByteArray();
    }
    void corruptFileGivesDefaults() {
        QFETCH(QByteArray, content);
        QFile file(iniPath());
        QVERIFY(content.isEmpty() ? QDir().mkpath(iniPath())
                                  : file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QCOMPARE(timeout(), u"default"_qs);
        // A damaged file does not block saving.
        QCOMPARE(
            SettingsStore::atPath(iniPath()).save(SettingKeys::kSettings, Settings::kTimeout.name(), u"20"_qs),
            !content.isEmpty());
        QCOMPARE(timeout(), content.isEmpty() ? u"default"_qs : u"20"_qs);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
