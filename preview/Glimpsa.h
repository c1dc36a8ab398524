// SPDX-License-Identifier: MIT
#pragma once
// The preview library's one export. The program that loads libGlimpsa.so
// writes the control file "~BABTmp002.tmp" in its private temporary folder
// (the path of the address book to show, CR LF, the path of the result file)
// and calls GlimpsaShow on its window thread. The editor opens modal over the
// caller's active window; Save replaces the result file whole, Cancel leaves
// it untouched.
//
// Returns GlimpsaSaved (0) only when the user saved the book to the result
// file. Any other value means the result file was not written and the caller
// leaves the user's file alone:
//   1 GlimpsaNotSaved   the user cancelled or closed the editor without saving
//   2 GlimpsaNoWidgets  the caller has a Qt application without widgets
//   3 GlimpsaNotShown   the control file or the book could not be read, or the
//                       book was refused (a FIFO, a device, a file over
//                       2 MiB), after a message box saying so
//   4 GlimpsaFailed     the editor ran out of memory or failed otherwise,
//                       after a message saying so; the caller goes on

#if defined(__GNUC__)
#define GLIMPSA_EXPORT __attribute__((visibility("default")))
#else
#define GLIMPSA_EXPORT
#endif

enum {
    GlimpsaSaved = 0,
    GlimpsaNotSaved = 1,
    GlimpsaNoWidgets = 2,
    GlimpsaNotShown = 3,
    GlimpsaFailed = 4,
};

#ifdef __cplusplus
extern "C" {
#endif

GLIMPSA_EXPORT int GlimpsaShow(void);

#ifdef __cplusplus
}
#endif
