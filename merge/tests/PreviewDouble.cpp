// SPDX-License-Identifier: MIT
// Stand-ins for the preview library, built three ways from this one source
// (see CMakeLists.txt), each as a libGlimpsa.so in a folder of its own:
//  - PREVIEW_DOUBLE_UNCHANGED: the user looks and changes nothing;
//  - PREVIEW_DOUBLE_EDITING: the user's edit leaves EditedAddressBook in the
//    result file;
//  - PREVIEW_DOUBLE_ANSWERING: does what the test wrote in
//    "preview-double-answer.txt" in the private temporary folder: its first
//    line is the value GlimpsaShow returns (0 saved, anything else cancelled
//    or failed); the bytes after that line, when there is a line break, go
//    into the result file first;
//  - PREVIEW_DOUBLE_WITHOUT_ENTRY: a library that loads but has no GlimpsaShow.
// Like the real library, a double learns what to show only from the control
// file in the private temporary folder. It leaves what it saw there for the
// tests: the control file's bytes in "preview-double-saw.txt" and the result
// file's bytes as the call found them in "preview-double-result-before.txt".

#include "app/TempFolder.h"
#include "preview/PreviewContract.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string readBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
    file.close();
    return !file.fail();
}

[[maybe_unused]] int showAddressBook()
{
    const std::string folder = q57::findPrivateFolder(q57::FolderBases::fromEnvironment(), getpid()).path;
    const std::string control = readBytes(folder + q57::ControlFileName);
    const size_t lineBreak = control.find("\r\n");
    const std::string resultPath = lineBreak == std::string::npos ? std::string() : control.substr(lineBreak + 2);
    bool ok = writeBytes(folder + "preview-double-saw.txt", control) &&
              writeBytes(folder + "preview-double-result-before.txt", readBytes(resultPath));
#ifdef PREVIEW_DOUBLE_EDITING
    ok = ok && writeBytes(resultPath, "16\t[WA]\t1\tEdited\tContact\r\n");
#endif
#ifdef PREVIEW_DOUBLE_ANSWERING
    const std::string answer = readBytes(folder + "preview-double-answer.txt");
    const size_t end = answer.find('\n');
    if (end != std::string::npos)
        ok = ok && writeBytes(resultPath, answer.substr(end + 1));
    if (ok)
        return std::stoi(answer.substr(0, end));
#endif
    return ok ? GlimpsaSaved : GlimpsaNotSaved;
}

} // namespace

#ifdef PREVIEW_DOUBLE_WITHOUT_ENTRY
extern "C" __attribute__((visibility("default"))) int GlimpsaHide()
{
    return 0;
}
#else
extern "C" __attribute__((visibility("default"))) int GlimpsaShow()
{
    return showAddressBook();
}
#endif
