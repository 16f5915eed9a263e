#include "store/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <unistd.h>

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void defaultsWhenEmpty_data();
    void defaultsWhenEmpty();
    void saveThenGet_data();
    void saveThenGet();
    void survivesRestart();
    void replacesEarlierValue();
    void userStoreLocation();
    void corruptFileGivesDefaults_data();
    void corruptFileGivesDefaults();
    void directoryInPlace();
    void unreadableFile();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Quovel.conf")); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_home;
};

void TestSettingsStore::initTestCase() {
    QVERIFY(m_home.isValid());
    // The user scope goes to a temporary folder: the real settings are never touched.
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
}

void TestSettingsStore::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSettingsStore::defaultsWhenEmpty_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::newRow("timeout") << SettingKeys::kSettings << SettingKeys::kTimeout << SettingKeys::kDefaultTimeout;
    QTest::newRow("placement") << SettingKeys::kMainWindow << SettingKeys::kPlacement
                               << SettingKeys::kDefaultPlacement;
}

void TestSettingsStore::defaultsWhenEmpty() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    const SettingsStore store = SettingsStore::atPath(iniPath());
    QCOMPARE(store.get(section, key, defaultValue), defaultValue);
    QCOMPARE(SettingKeys::kDefaultTimeout, QStringLiteral("15"));
    QCOMPARE(SettingKeys::kDefaultPlacement, QString::fromUtf8("1551§1551§4425§8535§0"));
}

void TestSettingsStore::saveThenGet_data() {
    QTest::addColumn<QString>("text");
    const auto s = [](const char* utf8) {
        return QString::fromUtf8(utf8);
    };
    QTest::newRow("number") << s("30");
    QTest::newRow("placement record") << s("1500§2250§8550§5700§2");
    QTest::newRow("only section sign") << s("§");
    QTest::newRow("commas and blanks") << s(" a, b ,c ");
    QTest::newRow("ini specials") << s("[x]=;#\"\\ @y");
    QTest::newRow("leading at") << s("@Variant(\\0)");
    QTest::newRow("line breaks") << s("a\r\nb");
    QTest::newRow("accents") << s("perché così");
    QTest::newRow("empty") << QString();
}

void TestSettingsStore::saveThenGet() {
    QFETCH(QString, text);
    {
        SettingsStore store = SettingsStore::atPath(iniPath());
        QVERIFY(store.save(SettingKeys::kMainWindow, SettingKeys::kPlacement, text));
        QCOMPARE(store.get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QStringLiteral("default")), text);
    }
    // A fresh instance reads what the first one wrote to the file.
    const SettingsStore again = SettingsStore::atPath(iniPath());
    QCOMPARE(again.get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QStringLiteral("default")), text);
}

void TestSettingsStore::survivesRestart() {
    SettingsStore first = SettingsStore::atPath(iniPath());
    QVERIFY(first.save(SettingKeys::kSettings, SettingKeys::kTimeout, QStringLiteral("42")));
    // Saved without the first store being destroyed: the value is on disk at once.
    const SettingsStore second = SettingsStore::atPath(iniPath());
    QCOMPARE(second.get(SettingKeys::kSettings, SettingKeys::kTimeout, SettingKeys::kDefaultTimeout),
             QStringLiteral("42"));
    // Sections are apart: the same key elsewhere still gives its default.
    QCOMPARE(second.get(SettingKeys::kMainWindow, SettingKeys::kTimeout, QStringLiteral("none")),
             QStringLiteral("none"));
}

void TestSettingsStore::replacesEarlierValue() {
    SettingsStore store = SettingsStore::atPath(iniPath());
    QVERIFY(store.save(SettingKeys::kSettings, SettingKeys::kTimeout, QStringLiteral("20")));
    QVERIFY(store.save(SettingKeys::kSettings, SettingKeys::kTimeout, QStringLiteral("25")));
    QVERIFY(store.save(SettingKeys::kMainWindow, SettingKeys::kPlacement, QString::fromUtf8("1§2§3§4§0")));
    const SettingsStore again = SettingsStore::atPath(iniPath());
    QCOMPARE(again.get(SettingKeys::kSettings, SettingKeys::kTimeout, QString()), QStringLiteral("25"));
    QCOMPARE(again.get(SettingKeys::kMainWindow, SettingKeys::kPlacement, QString()),
             QString::fromUtf8("1§2§3§4§0"));
}

void TestSettingsStore::userStoreLocation() {
    SettingsStore store;
    QCOMPARE(store.application(), QStringLiteral("Quovel"));
    QCOMPARE(QDir::cleanPath(store.fileName()),
             QDir(m_home.path()).filePath(QStringLiteral("Quovel/Quovel.conf")));
    QVERIFY(store.save(SettingKeys::kSettings, SettingKeys::kTimeout, QStringLiteral("33")));
    const SettingsStore again;
    QCOMPARE(again.get(SettingKeys::kSettings, SettingKeys::kTimeout, QString()), QStringLiteral("33"));
}

void TestSettingsStore::corruptFileGivesDefaults_data() {
    QTest::addColumn<QByteArray>("content");
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(static_cast<char>((i * 7919 + 13) % 256));
    QTest::newRow("binary noise") << noise;
    QTest::newRow("nul bytes") << QByteArray(1000, '\0');
    QTest::newRow("unclosed section") << QByteArray("[frmQVL\n[Settings\nTimeout\n");
    QTest::newRow("unclosed quote") << QByteArray("[Settings]\nOther=\"abc\n");
    QTest::newRow("bad variant") << QByteArray("[Settings]\nTimeout=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10zz)\n");
    QTest::newRow("utf16 bom") << QByteArray("\xff\xfe[\0S\0]\0", 8);
}

void TestSettingsStore::corruptFileGivesDefaults() {
    QFETCH(QByteArray, content);
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    SettingsStore store = SettingsStore::atPath(iniPath());
    QCOMPARE(store.get(SettingKeys::kSettings, SettingKeys::kTimeout, SettingKeys::kDefaultTimeout),
             SettingKeys::kDefaultTimeout);
    QCOMPARE(store.get(SettingKeys::kMainWindow, SettingKeys::kPlacement, SettingKeys::kDefaultPlacement),
             SettingKeys::kDefaultPlacement);
    // A damaged file does not block saving: the value is written and read back after a restart.
    QVERIFY(store.save(SettingKeys::kSettings, SettingKeys::kTimeout, QStringLiteral("20")));
    const SettingsStore again = SettingsStore::atPath(iniPath());
    QCOMPARE(again.get(SettingKeys::kSettings, SettingKeys::kTimeout, QString()), QStringLiteral("20"));
}

void TestSettingsStore::directoryInPlace() {
    QVERIFY(QDir().mkpath(iniPath()));
    SettingsStore store = SettingsStore::atPath(iniPath());
    QCOMPARE(store.get(SettingKeys::kSettings, SettingKeys::kTimeout, SettingKeys::kDefaultTimeout),
             SettingKeys::kDefaultTimeout);
    QVERIFY(!store.save(SettingKeys::kSettings, SettingKeys::kTimeout, QStringLiteral("20")));
}

void TestSettingsStore::unreadableFile() {
    if (::geteuid() == 0)
        QSKIP("root reads every file");
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nTimeout=20\n");
    file.close();
    QVERIFY(QFile::setPermissions(iniPath(), QFileDevice::Permissions{}));
    const SettingsStore store = SettingsStore::atPath(iniPath());
    QCOMPARE(store.get(SettingKeys::kSettings, SettingKeys::kTimeout, SettingKeys::kDefaultTimeout),
             SettingKeys::kDefaultTimeout);
    QVERIFY(QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
