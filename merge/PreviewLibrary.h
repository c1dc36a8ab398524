// SPDX-License-Identifier: MIT
#pragma once
// The preview library for the length of one preview: found in the first of
// the given folders that holds a libGlimpsa.so which loads and exports
// GlimpsaShow, unloaded when done.

#include "merge/AddressBookMerge.h"

#include <memory>
#include <string>
#include <vector>

class QLibrary;

namespace q57 {

class PreviewLibrary {
public:
    PreviewLibrary();
    ~PreviewLibrary();
    PreviewLibrary(const PreviewLibrary &) = delete;
    PreviewLibrary &operator=(const PreviewLibrary &) = delete;

    // False when no folder holds a usable library.
    bool load(const std::vector<std::string> &folders);
    // Runs the preview; returns when the user is done with it, with
    // GlimpsaShow's answer: 0 only when the user saved the book.
    int show() const;
    void unload();

private:
    std::unique_ptr<QLibrary> library_;
    PreviewFunction show_ = nullptr;
};

} // namespace q57
