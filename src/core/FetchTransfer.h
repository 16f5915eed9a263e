#pragma once

#include "core/Fingerprint.h"
#include "core/PageFetcher.h"

#include <curl/curl.h>

#include <QByteArray>
#include <QString>

#include <chrono>

// One request of the page fetcher from its first hop to its last, and the curl handle of the hop under way.
// Internal to the page fetcher, whose worker thread alone touches them.
namespace page_fetch {

struct Request {
    quint64 id;
    quint64 generation;
    QByteArray url;
    int timeoutSeconds;
    FetchRequest what;
    NetworkOptions net;
    bool admitted = false; // the pace gave its first hop a place already, in fetch()
};

using SteadyClock = std::chrono::steady_clock;

// One request from its first hop to its last: each redirect is a new hop, paced as a first request is.
struct Transfer {
    Request request;
    QByteArray url;    // of this hop
    QString host;      // of this hop, as the pace knows it
    QString firstHost; // the page's own: its headers go there only
    int hops = 0;
    CURL* easy = nullptr;
    curl_slist* headerList = nullptr;
    Crc32Stream crc;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    bool started = false;
    SteadyClock::time_point deadline; // of the whole request, from its first hop
    bool overran = false;             // stopped by the deadline inside the body callback
    QByteArray body;                  // while it stays within the request's cap
    bool bodyTooLarge = false;
    long status = 0;           // of the latest response head
    QByteArray statusPhrase;   // its reason phrase
    bool failedStatus = false; // the body of an error answer was refused
    QByteArray etag, lastModified, retryAfter;
    qint64 wireBytes = 0;  // of the hops before this one
    bool viaProxy = false; // this hop goes through a proxy

    void release() {
        if (easy)
            curl_easy_cleanup(easy);
        curl_slist_free_all(headerList);
        easy = nullptr;
        headerList = nullptr;
    }
    ~Transfer() { release(); }
};

// Makes the hop's curl handle, set up for its address, its deadline and what the request asks: false when
// curl has none to give. caFile and caDir name a private certificate authority, when not empty.
bool openHop(Transfer& t, const QByteArray& caFile, const QByteArray& caDir);

// The error number of a failed transfer, told apart where curl's code alone would mislead.
int errorNumberOf(const Transfer& t, CURLcode code);

} // namespace page_fetch
