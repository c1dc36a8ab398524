// SPDX-License-Identifier: MIT
#pragma once
// Preferences (.opt) and folders (.fld) files: one header byte (high nibble the
// format version, low nibble the file type) followed by the device block with
// every byte complemented. The block is opaque here.

#include <iosfwd>

namespace q57 {

struct FormatContext;

bool preferencesToFile(FormatContext &context, std::istream &input, std::ostream &output);
bool preferencesFromFile(FormatContext &context, std::istream &input, std::ostream &output);
bool foldersToFile(FormatContext &context, std::istream &input, std::ostream &output);
bool foldersFromFile(FormatContext &context, std::istream &input, std::ostream &output);

} // namespace q57
