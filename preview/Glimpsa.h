// SPDX-License-Identifier: MIT
#pragma once
// The preview library's one export. The program that loads libGlimpsa.so
// writes the control file in its private temporary folder and calls
// GlimpsaShow on its window thread (preview/PreviewContract.h: the names, the
// type and the answers both sides share). The editor opens modal over the
// caller's active window; Save replaces the result file whole, Cancel leaves
// it untouched. The answer is GlimpsaSaved (0) only when the user saved the
// book to the result file.

#include "preview/PreviewContract.h"

#include <type_traits>

#if defined(__GNUC__)
#define GLIMPSA_EXPORT __attribute__((visibility("default")))
#else
#define GLIMPSA_EXPORT
#endif

extern "C" GLIMPSA_EXPORT int GlimpsaShow();

// The export is what the program calls it as.
static_assert(std::is_same_v<decltype(&GlimpsaShow), q57::PreviewFunction>);
