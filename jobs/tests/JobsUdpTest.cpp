// SPDX-License-Identifier: MIT
// The backup and restore over UDP on 127.0.0.2: the same files as over the
// serial line, and a restore that puts the device's data back unchanged.

#include "JobWorld.h"

namespace q57::testing {
namespace {

class JobsUdpTest : public JobWorld {};

TEST_F(JobsUdpTest, BackupRestoreBackupOverUdp)
{
    startDevice({}, true);
    ASSERT_TRUE(run(JobRunner::Job::Backup, choose(AllItems, "first")));
    expectSampleBackup("first", AllItems);
    ASSERT_TRUE(run(JobRunner::Job::Restore, choose(AllItems, "first")));
    expectDeviceUnchanged();
    ASSERT_TRUE(run(JobRunner::Job::Backup, choose(AllItems, "second")));
    expectSampleBackup("second", AllItems);
}

} // namespace
} // namespace q57::testing
