#pragma once

// The program's version, as project(VERSION) in CMakeLists.txt gives it ("0.1.0").
const char* quovelVersion();
