#pragma once

#include "core/CheckRun.h"
#include "core/SiteList.h"
#include "store/Setting.h"
#include "support/FixedClock.h"
#include "support/TestHttpServer.h"

#include <QSignalSpy>
#include <QTest>

// One check run's world: a loopback server, a list, a fixed clock, and what the run reports; a deadline of 2 s.
struct World {
    TestHttpServer server;
    SiteList list;
    FixedClock clock;
    CheckOptions options; // read by the run at the start of each run, as the settings are
    CheckRun run;
    QSignalSpy finished{&run, &CheckRun::finished};
    QSignalSpy status{&run, &CheckRun::statusText};
    QSignalSpy beeps{&run, &CheckRun::beep};

    explicit World(int parallel = 6, int hosts = 1)
        : server(hosts)
        , options{2, parallel, Settings::kMaxTextBytes.defaultValue}
        , run(list, clock, [this] { return options; }) {}
    // A url starting with '/' is a path of the server.
    void add(const QString& k, const QString& url, const QString& crc = QStringLiteral("0"), bool ticked = true) {
        QVERIFY(list.add(k, url.startsWith(u'/') ? server.url(url) : url));
        list.setField(list.rowOfKey(k), SiteList::Field::Crc, crc);
        list.setTicked(list.rowOfKey(k), ticked);
    }
    const SiteEntry& entry(const QString& k) const { return list.entryAt(list.rowOfKey(k)); }
    bool waitRuns(int n = 1) {
        return QTest::qWaitFor([&] { return finished.count() >= n; }, 30000);
    }
    CheckRunReport report(int index = 0) const { return finished.at(index).at(0).value<CheckRunReport>(); }
    QString lastStatus() const { return status.isEmpty() ? QString() : status.last().at(0).toString(); }
};
