// SPDX-License-Identifier: MIT
#include "BackupFixture.h"

#include "formats/AddressBookFile.h"
#include "preview/QuietFormatContext.h"

#include <sstream>

namespace q57::preview::test {

std::string backupWritten(const std::string &deviceText)
{
    QuietFormatContext quiet;
    std::istringstream device(deviceText);
    std::ostringstream firstPass;
    writeAddressBookFile(quiet.context(), device, firstPass);
    std::istringstream lines(firstPass.str());
    std::ostringstream file;
    quoteAddressBookFields(quiet.context(), lines, file);
    return file.str();
}

std::string sampleDeviceBook()
{
    return "0\t1\tFamily\t20\t21\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t2004\t541\t3373\n"
           "1\t0\tWork=Play\t22\n"
           "20\t3\t1\tAnna\tSmith, Jr\t\tanna@example.org\thome@example.org\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\n"
           "21\t0\t1\tBob\t\"The Builder\"\t\t\t\t\t\t555 1234\n"
           "22\t17\t0\tCarl\t\tMr\tcarl@example.org\t\t\t\t0171 (22)\t\t\t\t\tA=B "
           "Ltd\t\t\t\t\t\tnote\t2005\t3097\t0\t\t\n"
           "23\t300\t1\tDora\n";
}

} // namespace q57::preview::test
