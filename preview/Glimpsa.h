// SPDX-License-Identifier: MIT
#pragma once
// The preview library's one export. The program that loads libGlimpsa.so
// writes the control file "~BABTmp002.tmp" in its private temporary folder
// (the path of the address book to show, CR LF, the path of the result file)
// and calls GlimpsaShow on its window thread. The editor opens modal over the
// caller's active window; Save replaces the result file whole, Cancel leaves
// it untouched. Returns 0 when the user is done, nonzero when the control file
// or the book could not be read (after a message box saying so).

#if defined(__GNUC__)
#define GLIMPSA_EXPORT __attribute__((visibility("default")))
#else
#define GLIMPSA_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

GLIMPSA_EXPORT int GlimpsaShow(void);

#ifdef __cplusplus
}
#endif
