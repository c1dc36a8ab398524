// SPDX-License-Identifier: MIT
#pragma once
// Where the window takes its help document and the preview library from. An
// installed program uses only the folders it was installed with; a program
// that runs from its own build tree uses the build tree's copies instead, so
// that a developer tries what was just built. Nothing is ever taken from
// beside a program merely because it sits there: a copy of the program in a
// folder others can write to would otherwise load whatever they put beside it.

#include <string>

namespace q57::ui {

// What the program was built with.
struct ResourcePlaces {
    std::string installedData;    // the installed help document's folder
    std::string installedLibrary; // the installed preview library's folder
    std::string buildTree;        // the top of the build tree; "" to never use it
    std::string buildTreeFolder;  // where the build tree keeps the help document and library
};

// The folders in use, each ending in "/".
struct ResourceFolders {
    std::string data;
    std::string library;
};

// The build tree's folder when `programDirectory` is inside `buildTree` (links
// resolved), else the installed folders.
ResourceFolders resourceFoldersFor(const std::string &programDirectory, const ResourcePlaces &places);

} // namespace q57::ui
