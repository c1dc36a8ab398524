// SPDX-License-Identifier: MIT
#pragma once
// What a restore would say about an address book, placed on the records and
// fields it is about. The program's own rules run over each record as its
// saved line would be read back, in file order, but unlike a restore they go
// on past a failing record, so every problem shows at once; the dangling
// member rule runs at the end.

#include "preview/AddressBookDocument.h"

#include <cstddef>
#include <string>
#include <vector>

namespace q57::preview {

struct Finding {
    size_t record = 0;   // index in the document
    size_t field = 0;    // position in the file line; 0 for the record as a whole
    std::string message; // the status log line, without its line break
};

std::vector<Finding> findProblems(const AddressBookDocument &document);

} // namespace q57::preview
