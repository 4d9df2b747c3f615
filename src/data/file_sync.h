// The one call that forces a file's data to disk. Saves go through it, so a test can
// see which files a save syncs, and when.
#pragma once

namespace yorbel::data {

using FileSyncCall = int (*)(int fd);

// Like fsync(2): 0 on success, -1 with errno set on failure.
int SyncFileDescriptor(int fd);

// Replaces the call (nullptr restores fsync) and returns the one before.
FileSyncCall SetFileSyncCall(FileSyncCall call);

}  // namespace yorbel::data
