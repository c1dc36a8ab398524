// SPDX-License-Identifier: MIT
#pragma once
// Address books as a backup writes them: a device-form text run through the
// backup's two passes, for comparing the editor's saved files with.

#include <string>

namespace q57::preview::test {

// The file form a backup makes of `deviceText` (LF-ended device lines).
std::string backupWritten(const std::string &deviceText);

// A device-form book with groups, selections, trailing empty fields and
// fields holding commas, equals signs and double quotes.
std::string sampleDeviceBook();

} // namespace q57::preview::test
