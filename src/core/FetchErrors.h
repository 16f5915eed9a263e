#pragma once

#include <curl/curl.h>

#include <QString>

// What a failed fetch tells its user, and which failure a curl code is. Internal to the page fetcher.

// The text of one of FetchError's numbers, naming the timeout where it is one.
QString describeFetchError(int errorNumber, int timeoutSeconds);

// The FetchError number of a curl code, by the code alone.
int fetchErrorOf(CURLcode code);
