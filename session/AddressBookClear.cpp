// SPDX-License-Identifier: MIT
// Emptying the device's address book: an Address Book write of no data (total 0)
// followed at once by the end of data with check value 0.

#include "DeviceSession.h"

#include "app/DataItem.h"
#include "app/ItemCatalogue.h"
#include "app/JobFlags.h"
#include "app/StatusLog.h"
#include "app/UserInteraction.h"

namespace q57 {

namespace {

constexpr uint8_t kClearTries = 3;
// Only the Address Book bit, and the backup bit clear: the device learns that
// this job restores (empties) its address book and nothing else.
constexpr uint16_t kClearSelectionMask = 0x2000;

enum ClearFailure : uint8_t {
    ClearRequestNotAcknowledged = 1,
    NoClearAnswer = 2,
    ClearNotAccepted = 3,
    ClearEndNotAcknowledged = 4,
};

} // namespace

bool DeviceSession::clearDeviceAddressBook()
{
    if (!connectDevice())
        return false;
    // The front end may be asking whether to quit; its answer decides.
    while (flags_.quitQuestionOpen)
        sleepMs(timing_.quitQuestionPoll);
    if (flags_.abortRequested)
        return false;

    ui_.statusNotice(StatusClearingAddressBook);
    DataItem &addressBook = catalogue_.item(AddressBook);
    RequestFields request;
    request.itemId = addressBook.deviceItemId;
    request.selectionMask = kClearSelectionMask;
    request.total = 0;
    log_.log("%s:\n", addressBook.displayName.c_str());
    if (!sendRequest(WriteItemRequest, request, kClearTries))
        return clearFailure(ClearRequestNotAcknowledged);
    if (!receiveResponse(timing_.clearAcceptWait))
        return clearFailure(NoClearAnswer);
    if (parseReceived().code != WriteAcceptedResponse)
        return clearFailure(ClearNotAccepted);

    RequestFields end;
    end.checkValue = 0;
    if (!sendRequest(EndOfDataRequest, end, kClearTries))
        return clearFailure(ClearEndNotAcknowledged);
    log_.log("Clearing succeeded.\n");
    return true;
}

// The message box writes "address book" in lower case, the log capitalises it.
bool DeviceSession::clearFailure(uint8_t code)
{
    showMessage(ui_, "Unable to clear address book. [%d]", code);
    log_.log("Unable to clear Address Book. [%d]\n", code);
    return false;
}

} // namespace q57
