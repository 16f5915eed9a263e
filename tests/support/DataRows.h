#pragma once

#include <QTest>

#include <tuple>

// The columns of a data-driven test in one line: columns<QString, int>("url", "timeout").
template <typename... T, typename... Name> void columns(Name... names) {
    (QTest::addColumn<T>(names), ...);
}

// The current row's values, as QFETCH reads them: const auto [url, n] = fetch<QString, int>("url", "n").
template <typename... T, typename... Name> std::tuple<T...> fetch(Name... names) {
    return {*static_cast<T*>(QTest::qData(names, qMetaTypeId<T>()))...};
}
