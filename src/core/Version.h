#pragma once

// The program's version, as project(VERSION) in CMakeLists.txt gives it ("0.1.0").
const char* quovelVersion();
// "Quovel/VERSION (+HOMEPAGE)": the user agent of every request unless one is set, so that a site's owner can
// find out who asks.
const char* defaultUserAgent();
