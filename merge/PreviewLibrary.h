// SPDX-License-Identifier: MIT
#pragma once
// The preview library for the length of one preview: found in the first of
// the given folders that holds a libGlimpsa.so which loads and exports
// GlimpsaShow, unloaded when done. A library that others could have put
// there (files/TrustedLocation.h) is refused, not loaded and not passed over
// for one in a later folder.

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

    // False when no folder holds a usable library, or the first one found
    // was refused (refusal() then says why).
    bool load(const std::vector<std::string> &folders);
    // Why the library found was not loaded, naming the file or folder; "" when
    // it was loaded or none was found.
    const std::string &refusal() const { return refusal_; }
    // Runs the preview; returns when the user is done with it, with
    // GlimpsaShow's answer: 0 only when the user saved the book.
    int show() const;
    void unload();

private:
    std::unique_ptr<QLibrary> library_;
    PreviewFunction show_ = nullptr;
    std::string refusal_;
};

} // namespace q57
