#include "data/file_sync.h"

#include <unistd.h>

namespace yorbel::data {
namespace {

FileSyncCall g_sync = &::fsync;

}  // namespace

int SyncFileDescriptor(int fd) {
    return g_sync(fd);
}

FileSyncCall SetFileSyncCall(FileSyncCall call) {
    const FileSyncCall before = g_sync;
    g_sync = call ? call : &::fsync;
    return before;
}

}  // namespace yorbel::data
