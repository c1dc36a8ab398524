// SPDX-License-Identifier: MIT
#pragma once
// The address book in its two text forms. Device form: TAB-separated fields,
// lines ended by LF, the address selection and group membership as decimal
// masks. File form (.adr): lines ended by CR LF, the selection as a list of
// two-letter codes, fields holding ",", "=" or a double quote in double quotes.

#include <iosfwd>

namespace q57 {

struct FormatContext;

// Device form to file lines: contact selections become code lists, LF becomes
// CR LF (backupPass1 of the Address Book).
bool writeAddressBookFile(FormatContext &context, std::istream &input, std::ostream &output);

// Puts every field that holds ",", "=" or a double quote in double quotes,
// doubling the double quotes inside (backupPass2 of the Address Book).
bool quoteAddressBookFields(FormatContext &context, std::istream &input, std::ostream &output);

// File form to device form, checking every record (restorePass2 of the Address
// Book). Sets the item's recordCount and highestRecordId and leaves the tables
// that checkDeviceCapacity reads. False after the first failing record, whose
// findings are in the status log.
bool readAddressBookFile(FormatContext &context, std::istream &input, std::ostream &output);

} // namespace q57
