#pragma once

#include <QProcessEnvironment>
#include <QtGlobal>

// The proxy variables curl reads: a test's loopback traffic must never go through a proxy the machine names.
inline constexpr const char* kProxyVariables[] = {"http_proxy",  "https_proxy", "HTTP_PROXY",
                                                  "HTTPS_PROXY", "ALL_PROXY",   "all_proxy"};

// For this process.
inline void unsetProxies() {
    for (const char* name : kProxyVariables)
        qunsetenv(name);
}

// For a child process started with this environment.
inline QProcessEnvironment withoutProxies(QProcessEnvironment environment) {
    for (const char* name : kProxyVariables)
        environment.remove(QString::fromLatin1(name));
    return environment;
}
