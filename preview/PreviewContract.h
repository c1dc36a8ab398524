// SPDX-License-Identifier: MIT
#pragma once
// What the program and the preview library libGlimpsa.so agree on: the
// library's file name, its one export and that export's type and answers,
// and the files through which the two talk in the program's private temporary
// folder. The program writes the control file (the path of the book to show,
// CR LF, the path of the result file) and calls the export on its window
// thread; the library reads the control file and writes the result file only
// when the user saves.
//
// Both sides include this header and nothing else of each other: it needs no
// library, so the merge builds against it (target q57preview_contract)
// without linking the preview.

namespace q57 {

// The library, loaded by name from a trusted folder, and its one export.
inline constexpr const char *PreviewLibraryName = "libGlimpsa.so";
inline constexpr const char *PreviewFunctionName = "GlimpsaShow";
// GlimpsaShow's type: C linkage, no arguments, one of the answers below.
using PreviewFunction = int (*)();

// The files of one preview, all in the private temporary folder.
inline constexpr const char *StagingFileName = "~merge.tmp";     // the book the program hands over
inline constexpr const char *ControlFileName = "~BABTmp002.tmp"; // names the book and the result file
inline constexpr const char *ResultFileName = "~BABTmp003.tmp";  // the book the user saved

} // namespace q57

// GlimpsaShow's answers. Only GlimpsaSaved (0) means the user saved the book
// to the result file; after any other the result file was not written and the
// program leaves the user's file alone.
enum GlimpsaAnswer {
    GlimpsaSaved = 0,     // the user saved the book to the result file
    GlimpsaNotSaved = 1,  // the user cancelled or closed the editor without saving
    GlimpsaNoWidgets = 2, // the caller has a Qt application without widgets
    GlimpsaNotShown = 3,  // the control file or the book could not be read, or the book was
                          // refused (a FIFO, a device, a file over 2 MiB), after a message box saying so
    GlimpsaFailed = 4,    // the editor ran out of memory or failed otherwise, after a message
                          // saying so; the caller goes on
};
