// platform/windows/windows_api.h: the real Windows SDK headers, with the few additions that
// both systems share.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <ole2.h>
#include <oleauto.h>
#include <windows.h>

#include <io.h>
#include <share.h>

#include <cstddef>
#include <cstdio>

// What the library exports: the .def file names the exports; this gives them their C names.
#define PIXELFOLD_EXPORT extern "C"

// A UTF-16 literal of the platform's WCHAR type.
#define WTEXT(text) L##text
