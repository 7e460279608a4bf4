# Takes the lock the Linux build takes on its lock file, an open-file-
# description lock (fcntl F_OFD_SETLK) on the file's first byte, and says in
# REPORT what came of it: "locked" or "busy".
#
#   python3 ofd_lock.py LOCKFILE REPORT [RELEASE]
#
# With RELEASE it keeps the lock until that file exists, lets go, and then
# says "released".
import fcntl
import os
import struct
import sys
import time


def report(text):
    with open(sys.argv[2] + ".new", "w") as out:
        out.write(text)
    os.replace(sys.argv[2] + ".new", sys.argv[2])


fd = os.open(sys.argv[1], os.O_RDWR | os.O_CREAT, 0o644)
# struct flock on x86-64 Linux: l_type, l_whence, l_start, l_len, l_pid.
lock = struct.pack("@hh4xqqi4x", fcntl.F_WRLCK, os.SEEK_SET, 0, 1, 0)
try:
    fcntl.fcntl(fd, fcntl.F_OFD_SETLK, lock)
except OSError:
    report("busy")
    sys.exit(0)
report("locked")
if len(sys.argv) > 3:
    for _ in range(1500):
        if os.path.exists(sys.argv[3]):
            break
        time.sleep(0.02)
    os.close(fd)
    report("released")
