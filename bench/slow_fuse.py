#!/usr/bin/python3
"""A folder seen through FUSE as through a distant share: every request answers DELAY
seconds late. Names and attributes are cached for 1 s, and listings give each entry's
type, as a network file system's client does.

Usage: slow_fuse.py SOURCE MOUNTPOINT [DELAY]   (runs until unmounted: fusermount -u)
Needs: python3-fusepy (Debian), /dev/fuse.
"""
import errno
import os
import sys
import time

try:
    import fusepy as fuse  # Debian's name for the module
except ImportError:
    import fuse


class SlowPassthrough(fuse.Operations):
    def __init__(self, root, delay):
        self.root = root
        self.delay = delay

    def _path(self, path):
        time.sleep(self.delay)
        return os.path.join(self.root, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._path(path))
        except OSError as error:
            raise fuse.FuseOSError(error.errno)
        return {key: getattr(st, key) for key in (
            "st_atime", "st_ctime", "st_gid", "st_mode", "st_mtime", "st_nlink", "st_size",
            "st_uid", "st_ino")}

    def readdir(self, path, fh):
        full = self._path(path)
        yield ".", {"st_mode": 0o40755}, 0
        yield "..", {"st_mode": 0o40755}, 0
        with os.scandir(full) as entries:
            for entry in entries:
                mode = 0o40755 if entry.is_dir(follow_symlinks=False) else 0o100644
                yield entry.name, {"st_mode": mode, "st_ino": entry.inode()}, 0

    def open(self, path, flags):
        return os.open(self._path(path), flags)

    def read(self, path, size, offset, fh):
        time.sleep(self.delay)
        return os.pread(fh, size, offset)

    def flush(self, path, fh):
        time.sleep(self.delay)
        return 0

    def release(self, path, fh):
        time.sleep(self.delay)
        os.close(fh)
        return 0

    def opendir(self, path):
        time.sleep(self.delay)
        return 0

    def releasedir(self, path, fh):
        time.sleep(self.delay)
        return 0

    def statfs(self, path):
        st = os.statvfs(self._path(path))
        return {key: getattr(st, key) for key in (
            "f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree", "f_files",
            "f_flag", "f_frsize", "f_namemax")}


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    delay = float(sys.argv[3]) if len(sys.argv) > 3 else 0.002
    fuse.FUSE(SlowPassthrough(os.path.abspath(sys.argv[1]), delay), sys.argv[2],
              foreground=True, nothreads=False, ro=True, readdir_ino=True,
              entry_timeout=1, attr_timeout=1, max_read=131072)


if __name__ == "__main__":
    main()
