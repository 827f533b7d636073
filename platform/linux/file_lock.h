// platform/linux/file_lock.h: the lock call behind the stream opener's share modes, replaceable
// by tests that need a file system which cannot lock.
#pragma once

namespace pixelfold::platform {

// flock's signature; the call fails with errno set.
using FileLockCall = int (*)(int fd, int operation);

// Tests only: `call` takes flock's place for every later open; null puts flock back.
void SetFileLockCall(FileLockCall call) noexcept;

}  // namespace pixelfold::platform
